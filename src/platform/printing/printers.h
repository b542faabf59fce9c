#pragma once

#include <QPrinter>
#include <QString>

#include <functional>
#include <memory>

class Dialogs;
class StagedFile;

/// Where printing goes: the default printer on the desktop, a PDF file in tests and without a
/// screen.
class Printers
{
public:
    virtual ~Printers() = default;
    /// The default printer, ready to print on; null with *error when there is none.
    virtual std::unique_ptr<QPrinter> defaultPrinter(QString *error) = 0;
};

/// The system's default printer (CUPS).
class DesktopPrinters : public Printers
{
public:
    std::unique_ptr<QPrinter> defaultPrinter(QString *error) override;
};

/// A printer whose every job is a PDF file at one path. The job is written beside it and
/// replaces it only when complete (see StagedFile): a job cut short by a full disk leaves the
/// file that was there.
class PdfFilePrinter : public QPrinter
{
public:
    /// failed hears of a job that could not be written when nobody called finishJob() for it.
    explicit PdfFilePrinter(QString path, std::function<void(const QString &)> failed = {});
    /// Finishes the last job.
    ~PdfFilePrinter() override;

    /// After a job has ended: puts its file in place. True when it did, or when there was no
    /// job; otherwise the target is as it was and *error says why. After a failed job the
    /// printer writes nothing more (Qt's PDF engine keeps the failure): print on a new one.
    bool finishJob(QString *error);
    /// Whether a job has been printed that finishJob() has not yet put in place.
    bool hasJob() const;
    /// Drops the job printed (a job the user stopped): the target stays as it was.
    void discardJob();
    /// Why a job could not begin: the system's word on making its file beside the target (a
    /// folder that may not be written, say).
    QString whyNoJob() const;
    QString path() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<StagedFile> m_job;
    std::function<void(const QString &)> m_failed;
};

/// A printer that writes each print job to the same PDF file (a PdfFilePrinter). A job that
/// cannot be written is told as "Desila se greška: " and its cause in a message box, when there
/// are boxes to tell it in, and kept in lastError().
class PdfPrinters : public Printers
{
public:
    explicit PdfPrinters(QString path, std::shared_ptr<Dialogs> dialogs = {});
    std::unique_ptr<QPrinter> defaultPrinter(QString *error) override;
    QString path() const { return m_path; }
    /// Why the last job that failed was not written; empty when none failed.
    QString lastError() const { return *m_lastError; }

private:
    QString m_path;
    std::shared_ptr<Dialogs> m_dialogs;
    std::shared_ptr<QString> m_lastError = std::make_shared<QString>();
};
