#pragma once

// Two ways for a test to run out of room: a file size limit on this process (always allowed), and
// a small tmpfs of its own (only where the test may mount one); and how a test reads what a write
// left behind.
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>

namespace FullDisk {

/// No file of this process may grow past the given size while it lives. The signal the kernel
/// sends on the attempt is ignored, so the write fails with EFBIG as it would on a full disk.
class SizeLimit
{
public:
    explicit SizeLimit(rlim_t bytes) : m_oldHandler(signal(SIGXFSZ, SIG_IGN))
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        const rlimit tiny{bytes, m_saved.rlim_max};
        m_ok = setrlimit(RLIMIT_FSIZE, &tiny) == 0;
    }
    ~SizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_oldHandler);
    }
    SizeLimit(const SizeLimit &) = delete;
    SizeLimit &operator=(const SizeLimit &) = delete;
    bool isSet() const { return m_ok; }

private:
    void (*m_oldHandler)(int);
    rlimit m_saved{};
    bool m_ok = false;
};

/// A tmpfs of the given size, mounted over a new temporary folder (and so, like the folder, not
/// copied); whyNot() says why there is none (the test then skips).
class SmallDisk
{
public:
    explicit SmallDisk(const QString &size)
    {
        const QByteArray options = "size=" + size.toLatin1();
        if (::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", 0,
                    options.constData()) != 0)
            m_whyNot = QStringLiteral("this test may not mount a tmpfs: ") +
                       QString::fromLocal8Bit(std::strerror(errno));
    }
    ~SmallDisk()
    {
        if (isMounted())
            ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_whyNot.isEmpty(); }
    QString whyNot() const { return m_whyNot; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    /// Takes up all the disk's room; empty() gives it back.
    bool fill() const
    {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        return true;
    }
    /// Gives the disk's room back.
    bool empty() const { return QFile::remove(filePath(QStringLiteral("filler"))); }

private:
    QTemporaryDir m_dir;
    QString m_whyNot;
};

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

/// The files in a folder, hidden ones too and a small disk's filler left out: what a write left.
inline QStringList filesIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(QStringLiteral("filler"));
    return names;
}

} // namespace FullDisk
