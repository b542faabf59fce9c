#include "printers.h"

#include "platform/dialogs/dialogs.h"
#include "platform/files/atomicfile.h"

#include <QPrinterInfo>

std::unique_ptr<QPrinter> DesktopPrinters::defaultPrinter(QString *error)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        *error = QStringLiteral("Nije postavljen zadani pisač (printer).");
        return nullptr;
    }
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

PdfFilePrinter::PdfFilePrinter(QString path, std::function<void(const QString &)> failed)
    : QPrinter(QPrinter::HighResolution), m_path(std::move(path)), m_failed(std::move(failed))
{
    setOutputFormat(QPrinter::PdfFormat);
    m_job = std::make_unique<StagedFile>(m_path);
    setOutputFileName(m_job->path());
}

PdfFilePrinter::~PdfFilePrinter()
{
    QString error;
    if (!finishJob(&error) && m_failed)
        m_failed(error);
}

bool PdfFilePrinter::hasJob() const
{
    return m_job->exists();
}

void PdfFilePrinter::discardJob()
{
    m_job = std::make_unique<StagedFile>(m_path);
    setOutputFileName(m_job->path());
}

QString PdfFilePrinter::whyNoJob() const
{
    const QString why = m_job->whyNotCreatable();
    return why.isEmpty() ? QStringLiteral("nepoznat uzrok") : why;
}

bool PdfFilePrinter::finishJob(QString *error)
{
    // The PDF engine makes the file when a job begins and completes it when the job ends.
    if (printerState() == QPrinter::Active) {
        *error = QStringLiteral("Ispis u \"%1\" još traje.").arg(m_path);
        return false;
    }
    if (!m_job->exists())
        return true;
    const bool written = m_job->commit(StagedFile::completePdf);
    if (!written)
        *error = m_job->errorText();
    m_job = std::make_unique<StagedFile>(m_path); // the next job
    setOutputFileName(m_job->path());
    return written;
}

PdfPrinters::PdfPrinters(QString path, std::shared_ptr<Dialogs> dialogs)
    : m_path(std::move(path)), m_dialogs(std::move(dialogs))
{
}

std::unique_ptr<QPrinter> PdfPrinters::defaultPrinter(QString *error)
{
    if (m_path.isEmpty()) {
        *error = QStringLiteral("Nije zadana datoteka za ispis.");
        return nullptr;
    }
    m_lastError->clear();
    return std::make_unique<PdfFilePrinter>(
        m_path, [dialogs = m_dialogs, lastError = m_lastError](const QString &why) {
            *lastError = why;
            if (dialogs)
                dialogs->message(nullptr, QStringLiteral("Desila se greška: ") + why);
        });
}
