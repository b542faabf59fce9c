#pragma once

#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

class QImage;
class QSaveFile;

/// How this program writes every file. The new content goes to a file beside the target; it
/// replaces the target only when all of it is there: every write complete, the size on disk what
/// was written, flushed and synced to the disk. When anything fails the target stays as it was,
/// the new file is removed and errorText() says why (the cause only: the caller's message puts
/// "Desila se greška: " before it).
///
/// A short write is not always reported by the write itself (a full disk, a file size limit):
/// that is why the size is compared before the rename.
class AtomicFile : public QIODevice
{
public:
    explicit AtomicFile(QString target);
    /// What was not committed is discarded.
    ~AtomicFile() override;

    /// Opens for writing only.
    bool open(OpenMode mode = WriteOnly) override;
    /// Checks, flushes and syncs what was written and puts it in the target's place.
    bool commit();
    /// Gives up: commit() will fail with this cause and leave the target as it was.
    void cancel(const QString &why);

    QString target() const { return m_target; }
    QString errorText() const { return m_error; }
    bool isSequential() const override { return true; }

    /// The whole file at once.
    static bool writeFile(const QString &target, const QByteArray &bytes, QString *error);
    /// A picture in the format its name's extension says (PNG when none).
    static bool saveImage(const QImage &image, const QString &target, QString *error);
    /// A copy of source, checked the same way: also from one file system to another.
    static bool copyFile(const QString &source, const QString &target, QString *error);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    void discard();

    QString m_target;
    std::unique_ptr<QSaveFile> m_file;
    qint64 m_written = 0;
    QString m_error;
};

/// For writers that make their file themselves, by name (the PDF printer, the workbook
/// library, SQLite): a free name beside the target to write to, and commit() moves that file over
/// the target once a check of its content says it is complete. Left uncommitted, it is removed.
class StagedFile
{
public:
    /// Whether the file at path is complete; why not in *why.
    using Check = std::function<bool(const QString &path, QString *why)>;

    explicit StagedFile(QString target);
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    /// Where the writer writes: a name beside the target that no file has yet.
    QString path() const { return m_path; }
    QString target() const { return m_target; }
    /// Whether the writer has made the file yet.
    bool exists() const;
    /// Syncs the written file, checks it and renames it over the target.
    bool commit(const Check &complete);
    /// Removes what the writer left.
    void discard();
    QString errorText() const { return m_error; }
    /// Why a writer cannot make the file: the system's answer to making it now (a folder that
    /// may not be written, one that is missing); empty when it can be made.
    QString whyNotCreatable() const;
    /// Whether the disk refuses the file more room now (full, a file size limit, a quota), in the
    /// system's words; empty when it gives it. The writers that make their file by name drop the
    /// errors of their writes: this is how their failure finds its cause. Leaves the file
    /// incomplete: for a job that failed.
    QString diskCause() const;

    /// Removes every staged file that is neither committed nor discarded yet. It calls nothing but
    /// unlink(), so a signal handler may call it: a program ended by a signal leaves nothing
    /// beside its targets.
    static void removeAllStaged();

    /// A PDF whose cross-reference table is where its trailer says.
    static bool completePdf(const QString &path, QString *why);
    /// A zip archive (an .xlsx workbook) whose central directory is where its end record says.
    static bool completeZip(const QString &path, QString *why);
    /// An SQLite database as long as its header says.
    static bool completeSqlite(const QString &path, QString *why);

private:
    void forget();

    QString m_target;
    QString m_path;
    QString m_error;
    int m_slot = -1; ///< where removeAllStaged() finds the path; -1 when it does not
};
