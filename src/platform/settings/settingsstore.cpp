#include "settingsstore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

QString IniSettingsStore::fileFor(const QString &app)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QString name = app;
    for (QChar &c : name)
        if (c == u'/' || c == u'\\' || c == u':')
            c = u'_';
    return QDir(base).filePath(QStringLiteral("TarnFinGrafPromet11/") + name +
                               QStringLiteral(".ini"));
}

QString IniSettingsStore::get(const QString &app, const QString &section, const QString &key,
                              const QString &defaultValue) const
{
    QSettings s(fileFor(app), QSettings::IniFormat);
    const QVariant v = s.value(section + u'/' + key);
    return v.isValid() ? v.toString() : defaultValue;
}

void IniSettingsStore::save(const QString &app, const QString &section, const QString &key,
                            const QString &value)
{
    QSettings s(fileFor(app), QSettings::IniFormat);
    s.setValue(section + u'/' + key, value);
}

QString MemorySettingsStore::get(const QString &app, const QString &section, const QString &key,
                                 const QString &defaultValue) const
{
    return values.value(app + u'/' + section + u'/' + key, defaultValue);
}

void MemorySettingsStore::save(const QString &app, const QString &section, const QString &key,
                               const QString &value)
{
    values.insert(app + u'/' + section + u'/' + key, value);
}
