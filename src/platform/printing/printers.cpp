#include "printers.h"

#include <QPrinter>
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

std::unique_ptr<QPrinter> PdfPrinters::defaultPrinter(QString *error)
{
    if (m_path.isEmpty()) {
        *error = QStringLiteral("Nije zadana datoteka za ispis.");
        return nullptr;
    }
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(m_path);
    return printer;
}
