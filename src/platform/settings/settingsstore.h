#pragma once

#include <QHash>
#include <QString>

/// The per-user settings store: strings addressed by application name, section and key.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    /// The stored string, or defaultValue when the key is absent.
    virtual QString get(const QString &app, const QString &section, const QString &key,
                        const QString &defaultValue) const = 0;
    virtual void save(const QString &app, const QString &section, const QString &key,
                      const QString &value) = 0;
};

/// INI files under the user's configuration folder:
/// $XDG_CONFIG_HOME/TarnFinGrafPromet11/<application name>.ini, one group per section.
class IniSettingsStore : public SettingsStore
{
public:
    QString get(const QString &app, const QString &section, const QString &key,
                const QString &defaultValue) const override;
    void save(const QString &app, const QString &section, const QString &key,
              const QString &value) override;
    static QString fileFor(const QString &app);
};

/// Settings that live only in memory, for work that must not touch the user's files.
class MemorySettingsStore : public SettingsStore
{
public:
    QString get(const QString &app, const QString &section, const QString &key,
                const QString &defaultValue) const override;
    void save(const QString &app, const QString &section, const QString &key,
              const QString &value) override;
    QHash<QString, QString> values; ///< by app + '/' + section + '/' + key
};
