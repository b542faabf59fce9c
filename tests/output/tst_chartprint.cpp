// A printed chart takes the page: turned the way the chart is, as large as the page holds, in the
// middle, its text at the size it has on the screen. On a real X screen (run under xvfb-run), so
// that a 3D chart is drawn in 3D.
#include "opengldriver.h"
#include "output/chartprint.h"
#include "platform/chart/chartcontrol.h"
#include "windowsupport.h"

#include <QComboBox>
#include <QImage>
#include <QRegularExpression>

using namespace TestSupport;

namespace {

// The rectangle of what is drawn on the page, in parts of the page's width and height.
QRectF inkOf(const QImage &page)
{
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    QRect ink;
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            if (grey.constScanLine(y)[x] < 235)
                ink |= QRect(x, y, 1, 1);
    return QTransform::fromScale(1.0 / grey.width(), 1.0 / grey.height()).mapRect(QRectF(ink));
}

} // namespace

class TstChartPrint : public QObject
{
    Q_OBJECT
private slots:
    void cleanupTestCase() { keepOpenGLDriverLoaded(); }
    void chartTakesThePage_data();
    void chartTakesThePage();
};

void TstChartPrint::chartTakesThePage_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("screenDpi"); // 0: the window's, through its menu
    QTest::addColumn<bool>("across");

    QTest::newRow("2D, wider than tall") << QSize(1000, 700) << 9 << 0 << true;
    QTest::newRow("2D, taller than wide") << QSize(560, 1000) << 9 << 0 << false;
    QTest::newRow("2D, for a screen of twice the resolution")
        << QSize(1000, 700) << 9 << 192 << true;
    QTest::newRow("3D, wider than tall") << QSize(1000, 700) << 0 << 0 << true;
}

void TstChartPrint::chartTakesThePage()
{
    QFETCH(QSize, window);
    QFETCH(int, type);
    QFETCH(int, screenDpi);
    QFETCH(bool, across);
    WindowFixture fx;
    QPointer<ChartWindow> w = fx.open();
    QVERIFY(w);
    w->resize(window);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    CLICK(w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    w->cmbType->setCurrentIndex(type);
    QCOMPARE(w->MSChart1->drawnIn3D(), type == 0);
    const QSize shown = w->MSChart1->picture().size();
    QCOMPARE(shown.width() > shown.height(), across);
    // Where the chart belongs: in its shape as large as the printable area holds, in its
    // middle; and where it is drawn there, as it draws at that size for the screen.
    QString error;
    std::unique_ptr<QPrinter> printer = fx.printers->defaultPrinter(&error);
    QVERIFY2(printer, qPrintable(error));
    printer->setPageOrientation(across ? QPageLayout::Landscape : QPageLayout::Portrait);
    const QRectF full = printer->pageLayout().fullRect(QPageLayout::Point);
    const QRectF printable = printer->pageLayout().paintRect(QPageLayout::Point);
    printer.reset();
    const QSizeF placed = QSizeF(shown).scaled(printable.size(), Qt::KeepAspectRatio);
    const QRectF chart(printable.center() - QPointF(placed.width(), placed.height()) / 2, placed);
    const int dpi = screenDpi ? screenDpi : w->logicalDpiX();
    const QRectF drawn = inkOf(w->MSChart1->picture((placed * dpi / 72).toSize()));
    const QRectF expected =
        QTransform(placed.width() / full.width(), 0, 0, placed.height() / full.height(),
                   chart.left() / full.width(), chart.top() / full.height())
            .mapRect(drawn);

    fx.dialogs->messages.clear();
    if (screenDpi) {
        QVERIFY2(printChart(*w->MSChart1, fx.printers.get(), screenDpi, &error), qPrintable(error));
    } else {
        fx.dialogs->answers.push_back(Dialogs::AnswerYes);
        w->mnuIspis_Click();
        QCOMPARE(fx.dialogs->messages.size(), 1); // the question alone
    }
    w->close();

    const QString pdf = fx.printers->path();
    const QString info = output(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.contains(QRegularExpression(across ? "Page size:\\s+842 x 595 pts"
                                                     : "Page size:\\s+595 x 842 pts")),
             qPrintable(info));
    QVERIFY(info.contains(QRegularExpression("Pages:\\s+1\\n")));
    // a 2D chart is drawn anew, not pasted as a picture (pdfimages lists its two header lines only)
    QVERIFY(type == 0 ||
            output(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).count(u'\n') == 2);

    // the page as a picture: the chart where it belongs
    output(QStringLiteral("pdftoppm"),
           {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("40"),
            QStringLiteral("-singlefile"), pdf, fx.printDir.filePath(QStringLiteral("page"))});
    const QImage page(fx.printDir.filePath(QStringLiteral("page.png")));
    QVERIFY(!page.isNull());
    const QRectF ink = inkOf(page);
    QString where;
    QDebug(&where) << "drawn" << ink << "expected" << expected;
    for (const qreal off : {ink.left() - expected.left(), ink.top() - expected.top(),
                            ink.right() - expected.right(), ink.bottom() - expected.bottom()})
        QVERIFY2(std::abs(off) < 0.03, qPrintable(where));

    // text as large as on the screen, never blown up with the chart
    const QString words =
        output(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression box(
        QStringLiteral("yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">([^<]*)<"));
    int count = 0;
    for (auto it = box.globalMatch(words); it.hasNext(); ++count) {
        const QRegularExpressionMatch m = it.next(); // of each word: its top, bottom and text
        QVERIFY2(m.captured(2).toDouble() - m.captured(1).toDouble() < 20,
                 qPrintable(m.captured()));
    }
    QVERIFY2(count > 3, qPrintable(words)); // the title and the legend at least
}

QTEST_MAIN(TstChartPrint)
#include "tst_chartprint.moc"
