#include "chartprint.h"

#include "platform/chart/chartcontrol.h"
#include "platform/printing/printers.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

bool printChart(ChartControl &chart, Printers *printers, int screenDpi, QString *error)
{
    QImage picture;
    if (chart.copyToClipboard(error)) {
        picture = QGuiApplication::clipboard()->image();
        if (picture.isNull())
            *error = QStringLiteral("Međuspremnik (clipboard) ne sadrži sliku grafikona.");
    }
    std::unique_ptr<QPrinter> printer;
    if (!picture.isNull() && printers)
        printer = printers->defaultPrinter(error);
    else if (!picture.isNull())
        *error = QStringLiteral("Nije postavljen zadani pisač (printer).");
    QPainter painter;
    if (printer && !painter.begin(printer.get())) {
        // a printer that writes a file says which file and why not
        if (const auto *file = dynamic_cast<const PdfFilePrinter *>(printer.get()))
            *error = QStringLiteral("Ispis u datoteku \"%1\" nije moguć: %2")
                         .arg(file->path(), file->whyNoJob());
        else
            *error =
                QStringLiteral("Ispis na pisač \"%1\" nije moguć.").arg(printer->printerName());
    }
    if (!painter.isActive())
        return false;
    const double scale = printer->resolution() / double(std::max(1, screenDpi));
    painter.drawImage(QRectF(0, 0, picture.width() * scale, picture.height() * scale), picture);
    if (painter.end())
        return true;
    *error = QStringLiteral("Ispis na pisač \"%1\" nije dovršen.").arg(printer->printerName());
    return false;
}
