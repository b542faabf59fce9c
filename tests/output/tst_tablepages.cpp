#include "output/tablepages.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QPainter>
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
    // a label is a key column of text; the rest are numbers
    auto add = [&t](const QString &header, const char *widest, int group, bool named = true) {
        t.columns << ReportTable::Column(header, group != 0, group == 0, group, named);
        t.columns.last().widest = QString::fromUtf8(widest);
    };
    add(QStringLiteral("Godina"), "2026", 0);
    add(QStringLiteral("Konto"), "1200", 0);
    add(QStringLiteral("Naziv konta"), "Potraživanja od kupaca u inozemstvu", 0);
    add(QStringLiteral("Komit"), "30000", 0);
    add(QStringLiteral("Komitent"), "Ugostiteljstvo-Babić j.d.o.o. Zagreb", 0);
    for (int m = 0; m < months; ++m) {
        add(QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')), "-12,345,678.90", m + 1);
        add(QStringLiteral("%"), "100.00 %", m + 1, false);
    }
    add(QStringLiteral("Ukupno"), "-123,456,789.00", -1);
    add(QStringLiteral("Učešće %"), "100.00 %", -1);
    t.rowCount = rows;
    t.row = [columns = t.columns.size(), made](int r) {
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

// The measure of text in the bold of a total line, at a size in units.
QFontMetricsF bold(int units)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(units);
    font.setBold(true);
    return QFontMetricsF(font);
}

} // namespace

class TstTablePages : public QObject
{
    Q_OBJECT
private slots:
    void everyColumnOnceReadableAndWhole_data();
    void everyColumnOnceReadableAndWhole();
    void everyRowOnceInEachBand();
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
    const QFontMetricsF metrics =
        bold(int(std::lround(pages.pointSize() * TablePages::kUnitsPerInch / 72)));
    QVector<int> seen(table.columns.size()), once(table.columns.size(), 1);
    std::fill_n(once.begin(), 5, 0); // the labels are on every band, counted on none
    for (int p = 0; p < pages.bandCount(); ++p) {
        const QVector<int> columns = pages.columnsOf(p);
        QCOMPARE(columns.mid(0, 5), QVector<int>({0, 1, 2, 3, 4}));
        qreal width = 0;
        for (int i = 0; i < columns.size(); ++i) {
            const ReportTable::Column &c = table.columns[columns[i]];
            seen[columns[i]] += i >= 5;
            if (c.group > 0 && c.named) // a month: its share column follows it on the band
                QVERIFY(i + 1 < columns.size() && columns[i + 1] == columns[i] + 1);
            // a header never broken or cut, an amount never shortened
            QVERIFY(pages.columnWidth(columns[i]) > metrics.horizontalAdvance(c.header));
            if (c.number)
                QVERIFY(pages.columnWidth(columns[i]) > metrics.horizontalAdvance(c.widest));
            width += pages.columnWidth(columns[i]);
        }
        QVERIFY(width <= page.width() * TablePages::kUnitsPerInch / 72);
    }
    QCOMPARE(seen, once);
}

// Each band shows every row once, page after page, and each page says which columns it holds;
// rows that fill less than a page stack the bands on one. Memory and time stay bounded: a page
// asks for its own rows only, however long the table.
void TstTablePages::everyRowOnceInEachBand()
{
    const int rows = 1000000;
    auto made = std::make_shared<int>(0);
    const TablePages pages(shareShaped(13, rows, made), kLandscape);
    const int bands = pages.bandCount();
    QVERIFY(bands > 1);
    QVERIFY(pages.pageCount() > bands);
    QVector<int> next(bands); // of each band, the first row no page has shown yet
    for (int p = 0; p < pages.pageCount(); ++p) {
        QCOMPARE(pages.firstRowOf(p), next[p % bands]);
        next[p % bands] += pages.rowsOf(p);
    }
    QCOMPARE(next, QVector<int>(bands, rows));
    const int page = pages.pageOfRow(777777);
    QVERIFY(pages.firstRowOf(page) <= 777777 &&
            777777 < pages.firstRowOf(page) + pages.rowsOf(page));
    QVERIFY(pages.pageLine(0).startsWith(
        QStringLiteral("Strana 1 od %1 · stupci Mj00 – ").arg(pages.pageCount())));
    QVERIFY2(pages.pageLine(bands - 1).endsWith(
                 QStringLiteral(" – Učešće % (%1. dio od %1)").arg(bands)),
             qPrintable(pages.pageLine(bands - 1)));
    QVERIFY(!pages.pageLine(0).contains(QStringLiteral("– %"))); // a share column is not named
    QCOMPARE(*made, 0);
    QImage image(1200, 900, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(0.1, 0.1);
    pages.paintPage(painter, pages.pageCount() - 1);
    QCOMPARE(*made, pages.rowsOf(pages.pageCount() - 1));

    const TablePages few(shareShaped(13, 4), kLandscape);
    QVERIFY(few.bandCount() > 1);
    QCOMPARE(few.pageLine(0), QStringLiteral("Strana 1 od 1"));
}

// A column is as wide as its widest text: both ends of its range, in the bold of a total line; as
// many characters either side, a minus is narrower than a digit.
void TstTablePages::widestNumberHoldsEveryValue()
{
    auto format = [](double v) { return QLocale::c().toString(v, 'f', 2); };
    const QFontMetricsF metrics = bold(117);
    // a loss and a larger profit (the minus with the profit's digits), only profits
    for (const auto &[low, high] : {std::pair{-99000.0, 111905.08}, {0.0, 9999999.99}}) {
        const qreal widest =
            metrics.horizontalAdvance(ReportTable::widestNumber(low, high, format));
        for (const double v : {low, high, (low + high) / 2})
            QVERIFY2(metrics.horizontalAdvance(format(v)) <= widest, qPrintable(format(v)));
    }
}

QTEST_MAIN(TstTablePages)
#include "tst_tablepages.moc"
