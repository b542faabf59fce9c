#include "atomicfile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QSaveFile>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The staged files not yet committed or removed, where a signal handler can find them: fixed
// slots of plain bytes, claimed and released with atomic flags, never allocated or freed.
constexpr int kStagedSlots = 64;
constexpr int kStagedPathBytes = 4096;
enum SlotState : int { SlotFree, SlotFilling, SlotHeld };
struct StagedSlot
{
    std::atomic<int> state{SlotFree};
    char path[kStagedPathBytes];
};
StagedSlot g_staged[kStagedSlots];

// The slot now holding path; -1 when every slot is taken or the path is too long (the file is
// then only not removed by a signal).
int holdStaged(const QByteArray &path)
{
    if (path.size() >= kStagedPathBytes)
        return -1;
    for (int i = 0; i < kStagedSlots; ++i) {
        int expected = SlotFree;
        if (g_staged[i].state.compare_exchange_strong(expected, SlotFilling)) {
            std::memcpy(g_staged[i].path, path.constData(), size_t(path.size()) + 1);
            g_staged[i].state.store(SlotHeld);
            return i;
        }
    }
    return -1;
}

QString causeOf(int code, const QString &fallback)
{
    if (code != 0)
        return qt_error_string(code);
    return fallback.isEmpty() ? QStringLiteral("nepoznat uzrok") : fallback;
}

QString incomplete(const QString &target, const QString &cause)
{
    return QStringLiteral("Datoteka \"%1\" nije zapisana do kraja: %2").arg(target, cause);
}

// Makes a finished rename last: the directory entry is on the disk too. Not every file system
// can sync a directory; that is no failure of the write.
void syncDirectoryOf(const QString &path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// errno of a failed fsync of the file at path; 0 when it worked.
int syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int code = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return code;
}

// Asks the file system for more room in the file at path (made when missing): the system's words
// when it refuses, empty when it gives it.
QString refusedRoom(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return {};
    static const char block[1 << 16] = {};
    size_t left = sizeof block;
    int code = 0;
    while (left > 0 && code == 0) {
        errno = 0;
        const ssize_t n = ::write(fd, block, left);
        if (n > 0)
            left -= size_t(n);
        else
            code = errno != 0 ? errno : EIO;
    }
    ::close(fd);
    return code != 0 ? qt_error_string(code) : QString();
}

quint32 littleEndian(const QByteArray &b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | uchar(b[at + i]);
    return v;
}

quint32 bigEndian(const QByteArray &b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | uchar(b[at + i]);
    return v;
}

} // namespace

AtomicFile::AtomicFile(QString target)
    : m_target(std::move(target)), m_file(std::make_unique<QSaveFile>(m_target))
{
}

AtomicFile::~AtomicFile()
{
    discard();
}

bool AtomicFile::open(OpenMode mode)
{
    if (mode & ReadOnly) {
        m_error = QStringLiteral("Datoteka \"%1\" se otvara samo za pisanje.").arg(m_target);
        return false;
    }
    if (!m_file || !m_file->open(WriteOnly)) {
        m_error = QStringLiteral("Datoteka \"%1\" se ne može zapisati: %2")
                      .arg(m_target, m_file ? m_file->errorString() : QStringLiteral("zatvorena"));
        return false;
    }
    // The saved file buffers; this device passes each write straight on and counts it.
    return QIODevice::open(WriteOnly | Unbuffered);
}

qint64 AtomicFile::writeData(const char *data, qint64 size)
{
    if (!m_file || !m_error.isEmpty())
        return -1;
    errno = 0;
    const qint64 done = m_file->write(data, size);
    if (done != size) {
        m_error = incomplete(m_target, causeOf(errno, m_file->errorString()));
        return -1;
    }
    m_written += size;
    return size;
}

void AtomicFile::cancel(const QString &why)
{
    if (m_error.isEmpty())
        m_error = why;
}

bool AtomicFile::commit()
{
    if (!m_file) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("Datoteka \"%1\" nije otvorena.").arg(m_target);
        return false;
    }
    if (m_error.isEmpty()) {
        errno = 0;
        if (!m_file->flush()) {
            m_error = incomplete(m_target, causeOf(errno, m_file->errorString()));
        } else if (m_file->size() != m_written) {
            m_error = incomplete(
                m_target,
                QStringLiteral("na disku je %1 od %2 bajtova").arg(m_file->size()).arg(m_written));
        } else if (::fsync(m_file->handle()) != 0) {
            m_error = incomplete(m_target, qt_error_string(errno));
        }
    }
    if (!m_error.isEmpty()) {
        discard();
        return false;
    }
    if (!m_file->commit()) {
        m_error = QStringLiteral("Datoteka \"%1\" se ne može zamijeniti novom: %2")
                      .arg(m_target, m_file->errorString());
        discard();
        return false;
    }
    m_file.reset();
    QIODevice::close();
    syncDirectoryOf(m_target);
    return true;
}

void AtomicFile::discard()
{
    // An open saved file removes its new file when it goes, and the target is untouched.
    m_file.reset();
    if (isOpen())
        QIODevice::close();
}

bool AtomicFile::writeFile(const QString &target, const QByteArray &bytes, QString *error)
{
    AtomicFile file(target);
    if (file.open())
        file.write(bytes);
    if (file.commit())
        return true;
    *error = file.errorText();
    return false;
}

bool AtomicFile::saveImage(const QImage &image, const QString &target, QString *error)
{
    QByteArray format = QFileInfo(target).suffix().toLower().toLatin1();
    if (format.isEmpty())
        format = "png";
    // Encoded in memory first: the image writers do not all survive a failing device (the PNG
    // writer leaks its picture when a write fails), and a failed encoding is no disk's fault.
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, format);
    if (!writer.write(image)) {
        *error = QStringLiteral("Slika se ne može zapisati u \"%1\": %2")
                     .arg(target, writer.errorString());
        return false;
    }
    return writeFile(target, encoded.data(), error);
}

bool AtomicFile::copyFile(const QString &source, const QString &target, QString *error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Datoteka \"%1\" se ne može pročitati: %2")
                     .arg(source, in.errorString());
        return false;
    }
    AtomicFile out(target);
    if (out.open()) {
        const qint64 size = in.size();
        qint64 copied = 0;
        QByteArray chunk;
        while (!(chunk = in.read(1 << 16)).isEmpty() && out.write(chunk) >= 0)
            copied += chunk.size();
        if (in.error() != QFileDevice::NoError || copied != size)
            out.cancel(QStringLiteral("Datoteka \"%1\" nije pročitana do kraja: %2")
                           .arg(source, causeOf(0, in.errorString())));
    }
    if (out.commit())
        return true;
    *error = out.errorText();
    return false;
}

StagedFile::StagedFile(QString target) : m_target(std::move(target))
{
    // Beside what the target stands for, as the saved file does: a link stays a link.
    const QFileInfo info(m_target);
    if (info.isSymLink())
        m_target = info.symLinkTarget();
    const QString base = QFileInfo(m_target).absoluteFilePath();
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    do {
        QString suffix;
        for (int i = 0; i < 6; ++i)
            suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(36)]);
        m_path = base + u'.' + suffix;
    } while (QFileInfo::exists(m_path));
    m_slot = holdStaged(QFile::encodeName(m_path));
}

StagedFile::~StagedFile()
{
    discard();
}

bool StagedFile::exists() const
{
    return QFileInfo::exists(m_path);
}

void StagedFile::discard()
{
    QFile::remove(m_path);
    forget();
}

void StagedFile::forget()
{
    if (m_slot >= 0)
        g_staged[m_slot].state.store(SlotFree);
    m_slot = -1;
}

void StagedFile::removeAllStaged()
{
    for (StagedSlot &slot : g_staged)
        if (slot.state.load() == SlotHeld)
            ::unlink(slot.path);
}

QString StagedFile::diskCause() const
{
    return refusedRoom(m_path);
}

QString StagedFile::whyNotCreatable() const
{
    const QByteArray path = QFile::encodeName(m_path);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno == EEXIST ? QString() : qt_error_string(errno);
    ::close(fd);
    ::unlink(path.constData());
    return {};
}

bool StagedFile::commit(const Check &complete)
{
    if (!exists()) {
        m_error = QStringLiteral("Datoteka \"%1\" nije zapisana.").arg(m_target);
        return false;
    }
    QString why;
    if (const int code = syncFile(m_path)) {
        why = qt_error_string(code);
    } else if (complete && !complete(m_path, &why)) {
        // an incomplete file the disk still has room for was cut short by its writer
        if (const QString disk = diskCause(); !disk.isEmpty())
            why = disk;
        else if (why.isEmpty())
            why = QStringLiteral("sadržaj nije potpun");
    }
    if (!why.isEmpty()) {
        m_error = incomplete(m_target, why);
        discard();
        return false;
    }
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_target).constData()) !=
        0) {
        m_error = QStringLiteral("Datoteka \"%1\" se ne može zamijeniti novom: %2")
                      .arg(m_target, qt_error_string(errno));
        discard();
        return false;
    }
    forget();
    syncDirectoryOf(m_target);
    return true;
}

bool StagedFile::completePdf(const QString &path, QString *why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *why = f.errorString();
        return false;
    }
    const qint64 size = f.size();
    if (size < 32) {
        *why = QStringLiteral("PDF je prazan");
        return false;
    }
    f.seek(std::max<qint64>(0, size - 1024));
    const QByteArray tail = f.readAll().trimmed();
    const int at = tail.lastIndexOf("startxref");
    bool ok = false;
    const qint64 xref =
        at < 0 ? -1 : tail.mid(at + 9).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
    if (!tail.endsWith("%%EOF") || !ok) {
        *why = QStringLiteral("PDF nema svoj završetak");
        return false;
    }
    // Classic tables start with "xref", cross-reference streams with an object.
    QByteArray there;
    if (xref >= 0 && xref < size && f.seek(xref))
        there = f.read(24);
    if (!there.startsWith("xref") && !there.contains(" obj")) {
        *why = QStringLiteral("tablica objekata PDF-a nije gdje je navodi njegov završetak");
        return false;
    }
    return true;
}

bool StagedFile::completeZip(const QString &path, QString *why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *why = f.errorString();
        return false;
    }
    const qint64 size = f.size();
    const qint64 from = std::max<qint64>(0, size - (22 + 0xffff));
    f.seek(from);
    const QByteArray tail = f.readAll();
    const int end = tail.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > tail.size() ||
        end + 22 + int(littleEndian(tail, end + 20, 2)) != tail.size()) {
        *why = QStringLiteral("arhivi nedostaje završni zapis");
        return false;
    }
    const quint32 directorySize = littleEndian(tail, end + 12, 4);
    const quint32 directoryAt = littleEndian(tail, end + 16, 4);
    const bool inPlace = qint64(directoryAt) + directorySize == from + end;
    if (!inPlace ||
        (directorySize > 0 && (!f.seek(directoryAt) || f.read(4) != QByteArray("PK\x01\x02", 4)))) {
        *why = QStringLiteral("sadržaj arhive nije gdje ga navodi završni zapis");
        return false;
    }
    return true;
}

bool StagedFile::completeSqlite(const QString &path, QString *why)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *why = f.errorString();
        return false;
    }
    const QByteArray header = f.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArray("SQLite format 3\0", 16))) {
        *why = QStringLiteral("baza nema svoje zaglavlje");
        return false;
    }
    const quint32 raw = bigEndian(header, 16, 2);
    const qint64 pageSize = raw == 1 ? 65536 : raw;
    // The page count in the header holds when it was written with the current change counter.
    const bool countValid = bigEndian(header, 92, 4) == bigEndian(header, 24, 4);
    const qint64 pages = bigEndian(header, 28, 4);
    const bool whole = pageSize >= 512 && (countValid && pages > 0 ? f.size() == pages * pageSize
                                                                   : f.size() % pageSize == 0);
    if (!whole) {
        *why = QStringLiteral("baza je kraća nego što kaže njezino zaglavlje");
        return false;
    }
    return true;
}
