#include "output/tablepages.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QSet>
#include <QTest>

#include <memory>

namespace {

// A4 landscape with 10 mm margins, in points: the preview's and the PDF's page.
const QSizeF kLandscape(841.89 - 2 * 28.35, 595.28 - 2 * 28.35);

// The share report's shape: five label columns on every band, then a month and its share for
// each of the months, then the total and its share; rows made on demand and counted.
ReportTable shareShaped(int months, int rows, std::shared_ptr<int> made = {})
{
    ReportTable t;
    t.title = QStringLiteral("Naplata od kupaca - UČEŠĆE U %");
    t.heading << QStringLiteral("Tarnel d.o.o.");
    const char *labels[][2] = {{"Godina", "2026"},
                               {"Konto", "1200"},
                               {"Naziv konta", "Potraživanja od kupaca u inozemstvu"},
                               {"Komit", "30000"},
                               {"Komitent", "Ugostiteljstvo-Babić j.d.o.o. Zagreb"}};
    for (const auto &[label, widest] : labels) {
        t.columns << ReportTable::Column(QString::fromUtf8(label), false, true);
        t.columns.last().widest = QString::fromUtf8(widest);
    }
    for (int m = 0; m < months; ++m) {
        t.columns << ReportTable::Column(QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')),
                                         true, false, m + 1);
        t.columns.last().widest = QStringLiteral("-12,345,678.90");
        t.columns << ReportTable::Column(QStringLiteral("%"), true, false, m + 1, false);
        t.columns.last().widest = QStringLiteral("100.00 %");
    }
    t.columns << ReportTable::Column(QStringLiteral("Ukupno"), true, false, -1);
    t.columns.last().widest = QStringLiteral("-123,456,789.00");
    t.columns << ReportTable::Column(QStringLiteral("Učešće %"), true, false, -1);
    t.columns.last().widest = QStringLiteral("100.00 %");
    t.rowCount = rows;
    const int columns = t.columns.size();
    t.row = [columns, made](int r) {
        if (made)
            ++*made;
        ReportTable::Row row;
        for (int c = 0; c < columns; ++c)
            row.cells << QStringLiteral("r%1c%2").arg(r).arg(c);
        row.total = r % 10 == 9;
        return row;
    };
    return t;
}

} // namespace

class TstTablePages : public QObject
{
    Q_OBJECT
private slots:
    void everyColumnOnceReadableAndWhole_data();
    void everyColumnOnceReadableAndWhole();
    void everyRowOnceInEachBand();
    void fewRowsStackTheBandsOnOnePage();
    void aPageMakesOnlyItsOwnRows();
    void aPageSaysWhichColumnsItHolds();
    void widestNumberHoldsEveryValue_data();
    void widestNumberHoldsEveryValue();
};

void TstTablePages::everyColumnOnceReadableAndWhole_data()
{
    QTest::addColumn<int>("months");
    QTest::addColumn<QSizeF>("page");
    QTest::newRow("thirteen months, landscape") << 13 << kLandscape;
    QTest::newRow("one month, landscape") << 1 << kLandscape;
    QTest::newRow("thirteen months, portrait") << 13 << kLandscape.transposed();
}

// Every column on exactly one band (the labels on each), a month never apart from its share,
// no band wider than the page, no text under seven points and no header wider than its column.
void TstTablePages::everyColumnOnceReadableAndWhole()
{
    QFETCH(int, months);
    QFETCH(QSizeF, page);
    const ReportTable table = shareShaped(months, 40);
    const TablePages pages(table, page);
    QVERIFY(pages.pointSize() >= TablePages::kSmallestPoints);
    QFont bold(QStringLiteral("DejaVu Sans"));
    bold.setPixelSize(int(std::lround(pages.pointSize() * TablePages::kUnitsPerInch / 72)));
    bold.setBold(true);
    const QFontMetricsF metrics(bold);
    QHash<int, int> seen;
    for (int p = 0; p < pages.bandCount(); ++p) {
        const QVector<int> columns = pages.columnsOf(p);
        QCOMPARE(columns.mid(0, 5), QVector<int>({0, 1, 2, 3, 4}));
        for (int i = 5; i < columns.size(); ++i) {
            ++seen[columns[i]];
            const ReportTable::Column &c = table.columns[columns[i]];
            if (c.group > 0 && c.named) // a month: its share column follows it on the band
                QVERIFY(i + 1 < columns.size() && columns[i + 1] == columns[i] + 1);
        }
    }
    QCOMPARE(seen.size(), table.columns.size() - 5);
    for (int count : std::as_const(seen))
        QCOMPARE(count, 1);
    // widths: a band within the page; a header never broken or cut, an amount never shortened
    for (int p = 0; p < pages.bandCount(); ++p) {
        qreal width = 0;
        for (int c : pages.columnsOf(p)) {
            const ReportTable::Column &column = table.columns[c];
            QVERIFY(pages.columnWidth(c) > metrics.horizontalAdvance(column.header));
            if (column.number)
                QVERIFY(pages.columnWidth(c) > metrics.horizontalAdvance(column.widest));
            width += pages.columnWidth(c);
        }
        QVERIFY(width <= page.width() * TablePages::kUnitsPerInch / 72);
    }
}

void TstTablePages::everyRowOnceInEachBand()
{
    const int rows = 1000;
    const TablePages pages(shareShaped(13, rows), kLandscape);
    QVERIFY(pages.bandCount() > 1);
    QVERIFY(pages.pageCount() > pages.bandCount());
    QVector<QSet<int>> rowsOfBand(pages.bandCount());
    for (int p = 0; p < pages.pageCount(); ++p) {
        const int band = pages.bandCount() == 1 ? 0 : p % pages.bandCount();
        for (int r = pages.firstRowOf(p); r < pages.firstRowOf(p) + pages.rowsOf(p); ++r) {
            QVERIFY(!rowsOfBand[band].contains(r));
            rowsOfBand[band] << r;
        }
    }
    for (const QSet<int> &shown : std::as_const(rowsOfBand))
        QCOMPARE(shown.size(), rows);
    QCOMPARE(pages.firstRowOf(pages.pageOfRow(777)) <= 777, true);
    QVERIFY(777 < pages.firstRowOf(pages.pageOfRow(777)) + pages.rowsOf(pages.pageOfRow(777)));
}

void TstTablePages::fewRowsStackTheBandsOnOnePage()
{
    const TablePages pages(shareShaped(13, 4), kLandscape);
    QVERIFY(pages.bandCount() > 1);
    QCOMPARE(pages.pageCount(), 1);
    QCOMPARE(pages.pageLine(0), QStringLiteral("Strana 1 od 1"));
}

// Memory and time stay bounded: a page asks for its own rows only, however long the table.
void TstTablePages::aPageMakesOnlyItsOwnRows()
{
    auto made = std::make_shared<int>(0);
    const TablePages pages(shareShaped(13, 1000000, made), kLandscape);
    QCOMPARE(*made, 0);
    QImage image(1200, 900, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(0.1, 0.1);
    const int last = pages.pageCount() - 1;
    pages.paintPage(painter, last);
    QCOMPARE(*made, pages.rowsOf(last));
    QCOMPARE(pages.firstRowOf(last) + pages.rowsOf(last), 1000000);
}

void TstTablePages::aPageSaysWhichColumnsItHolds()
{
    const TablePages pages(shareShaped(13, 1000), kLandscape);
    const int bands = pages.bandCount();
    QVERIFY(pages.pageLine(0).startsWith(
        QStringLiteral("Strana 1 od %1 · stupci Mj00 – ").arg(pages.pageCount())));
    QVERIFY2(pages.pageLine(bands - 1).endsWith(
                 QStringLiteral(" – Učešće % (%1. dio od %1)").arg(bands)),
             qPrintable(pages.pageLine(bands - 1)));
    QVERIFY(!pages.pageLine(0).contains(QStringLiteral("– %")));
}

void TstTablePages::widestNumberHoldsEveryValue_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    // as many characters either side: a minus is narrower than a digit
    QTest::newRow("a loss and a larger profit") << -99000.0 << 111905.08;
    QTest::newRow("only losses") << -181228.61 << 0.0;
    QTest::newRow("only profits") << 0.0 << 9999999.99;
    QTest::newRow("a larger loss") << -1234567.0 << 5.0;
}

// A column is as wide as its widest text: both ends of its range, in the bold of a total line.
void TstTablePages::widestNumberHoldsEveryValue()
{
    QFETCH(double, low);
    QFETCH(double, high);
    auto format = [](double v) { return QLocale::c().toString(v, 'f', 2); };
    QFont bold(QStringLiteral("DejaVu Sans"));
    bold.setPixelSize(117);
    bold.setBold(true);
    const QFontMetricsF metrics(bold);
    const qreal widest = metrics.horizontalAdvance(ReportTable::widestNumber(low, high, format));
    for (const double v : {low, high, (low + high) / 2})
        QVERIFY2(metrics.horizontalAdvance(format(v)) <= widest, qPrintable(format(v)));
}

QTEST_MAIN(TstTablePages)
#include "tst_tablepages.moc"
