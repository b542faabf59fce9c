#include "chartprint.h"

#include "platform/chart/chartcontrol.h"
#include "platform/printing/printers.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>
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
    // the page turned the way the chart is: across for a chart wider than it is tall
    if (printer)
        printer->setPageOrientation(picture.width() > picture.height() ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
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
    // The chart is drawn anew for the printable area, in its shape on the screen, as large as
    // fits and in the middle: laid out in screen pixels, so that its text keeps the size it has
    // on the screen, and drawn at the printer's resolution. It is drawn through a recording,
    // which plays text back at the size of its points on the printer whatever draws it (a 3D
    // chart's legend and title too).
    const QSize page = printer->pageLayout().paintRectPixels(printer->resolution()).size();
    const double scale = printer->resolution() / double(std::max(1, screenDpi));
    const QSize size = picture.size().scaled((QSizeF(page) / scale).toSize(), Qt::KeepAspectRatio);
    QPicture drawing;
    {
        QPainter recorder(&drawing);
        recorder.setRenderHint(QPainter::Antialiasing);
        chart.render(recorder, size);
    }
    // the recording scales itself from its resolution to the printer's: the painter the rest
    const double played = printer->logicalDpiX() / double(drawing.logicalDpiX());
    painter.translate((page.width() - size.width() * scale) / 2,
                      (page.height() - size.height() * scale) / 2);
    painter.scale(scale / played, scale / played);
    painter.drawPicture(0, 0, drawing);
    if (painter.end())
        return true;
    *error = QStringLiteral("Ispis na pisač \"%1\" nije dovršen.").arg(printer->printerName());
    return false;
}
