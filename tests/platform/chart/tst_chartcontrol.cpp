// The flat chart control without a screen: the series map both views draw from, as a table; the
// flat drawing of it (axes, lines, areas, bars, legend, notes); its files, colours, pies and names.
#include "platform/chart/chartcontrol.h"
#include "platform/data/monthtable.h"
#include "platform/files/atomicfile.h"

#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPieSeries>
#include <QSet>
#include <QValueAxis>

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

using Values = std::function<QVariant(int row, int month)>;

// A table of the given rows (labels) by twelve months, each value from value(row, month).
Recordset table(const QStringList &labels, const Values &value)
{
    QVector<QVector<QVariant>> rows;
    for (int r = 0; r < labels.size(); ++r) {
        rows.append({labels[r]});
        for (int m = 1; m <= 12; ++m)
            rows[r].append(value(r, m));
    }
    return monthTable(rows);
}

const Values rising = [](int r, int m) { return QVariant(100.0 * r + m); };

QStringList years(int count)
{
    QStringList labels;
    for (int y = 0; y < count; ++y)
        labels << QString::number(2021 + y);
    return labels;
}

// The runs of every series ("first-last", "|" between series), then the last series' tops ("-"
// for none) and bases and "line" or "bar", and the value axis, "low..high".
QString drawnText(const SeriesMap &map)
{
    QStringList runs, top, base, out;
    for (const SeriesMap::Drawn &d : map.series) {
        QStringList own;
        for (const SeriesMap::Run &r : d.runs)
            own << QStringLiteral("%1-%2").arg(r.first).arg(r.last);
        runs << own.join(u',');
    }
    if (!map.series.isEmpty()) {
        const SeriesMap::Drawn &last = map.series.last();
        for (int p = 0; p < last.top.size(); ++p) {
            top << (last.top[p] ? QString::number(*last.top[p]) : QStringLiteral("-"));
            base << QString::number(last.base.value(p));
        }
        out << runs.join(u'|') << top.join(u',') << base.join(u',')
            << (last.asLine ? QStringLiteral("line") : QStringLiteral("bar"));
    }
    return (out << QStringLiteral("%1..%2").arg(map.low).arg(map.high)).join(u' ');
}

} // namespace

Q_DECLARE_METATYPE(Values)

class TstChartControl : public QObject
{
    Q_OBJECT
private slots:
    void savedFileIsWhole();
    void seriesMap_data();
    void seriesMap();
    void flatChartDrawsTheMap_data();
    void flatChartDrawsTheMap();
    void coloursOfTheirOwnAndTheWindowsNames();
    void piesStandInAGridUnderTheirNames();
};

void TstChartControl::savedFileIsWhole()
{
    ChartControl chart;
    chart.setDataSource(table(years(3), rising));
    QTemporaryDir dir;
    for (const char *name : {"grafikon.png", "grafikon.svg", "grafikon.pdf"}) {
        const QString path = dir.filePath(QLatin1String(name));
        QString error;
        QVERIFY2(chart.save(path, QSize(1000, 600), &error), qPrintable(error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (path.endsWith(u"png"))
            QCOMPARE(QImage::fromData(bytes).size(), QSize(1000, 600));
        else if (path.endsWith(u"svg"))
            QVERIFY(bytes.trimmed().endsWith("</svg>"));
        else
            QVERIFY2(StagedFile::completePdf(path, &error), qPrintable(error));
    }
}

void TstChartControl::seriesMap_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("stacked");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QVector<QVector<QVariant>>>("rows");
    QTest::addColumn<QString>("drawn"); // as drawnText() writes it
    const QVariant gap;
    const QVector<QVector<QVariant>> two{{QStringLiteral("2025"), 1.0, 2.0, gap, 4.0},
                                         {QStringLiteral("2026"), -1.0, 5.0, 6.0, 7.0}};
    const QVector<QVector<QVariant>> one{two[1]}, areas{two[1], two[0]};
    const int linear = ChartModel::Linear, log = ChartModel::Logarithmic;
    // a gap breaks a bar series' run; unstacked bars take in zero and every value
    QTest::newRow("bars") << 1 << false << linear << two
                          << "0-1,3-3|0-3 -1,5,6,7 0,0,0,0 bar -1..7";
    // stacked, what rises above zero and what falls below it at each point
    QTest::newRow("stacked bars") << 1 << true << linear << two
                                  << "0-1,3-3|0-3 0,7,6,11 1,2,0,4 bar -1..11";
    QTest::newRow("stacked lines")
        << 3 << true << linear << two << "0-1,3-3|0-3 0,7,6,11 1,2,0,4 line 0..11";
    // an area has no gaps: a missing value lies on what it stands on
    QTest::newRow("areas") << 5 << false << linear << areas << "0-3|0-3 1,2,0,4 0,0,0,0 bar -1..7";
    QTest::newRow("steps") << 7 << false << linear << two
                           << "0-1,3-3|0-3 -1,5,6,7 0,0,0,0 line -1..7";
    // the last of several is the line over the bars; one alone is a bar
    QTest::newRow("combination") << 9 << false << linear << two
                                 << "0-1,3-3|0-3 -1,5,6,7 0,0,0,0 line -1..7";
    QTest::newRow("combination of one")
        << 9 << false << linear << one << "0-3 -1,5,6,7 0,0,0,0 bar -1..7";
    // whole powers of the base round the values above zero; zero and below are gaps there
    QTest::newRow("logarithmic") << 3 << false << log
                                 << QVector<QVector<QVariant>>{{QStringLiteral("2026"), 1500.0,
                                                                -3.0, 0.0, 93000.0}}
                                 << "0-0,3-3 1500,-,-,93000 0,0,0,0 line 1000..100000";
    // nothing above zero: the linear axis after all
    QTest::newRow("logarithmic, nothing above zero")
        << 3 << false << log << QVector<QVector<QVariant>>{{QStringLiteral("2026"), -5.0, 0.0}}
        << "0-1 -5,0 0,0 line -5..0";
    QTest::newRow("pie") << 14 << false << linear << two << "0-1,3-3|0-3 -1,5,6,7 0,0,0,0 bar 0..1";
    QTest::newRow("no rows") << 1 << false << linear << QVector<QVector<QVariant>>{} << "0..1";
}

void TstChartControl::seriesMap()
{
    QFETCH(int, code);
    QFETCH(bool, stacked);
    QFETCH(int, scale);
    QFETCH(QVector<QVector<QVariant>>, rows);
    QFETCH(QString, drawn);
    ChartModel model;
    model.chartType = code;
    model.stacked = stacked;
    model.scale = ChartModel::Scale(scale);
    model.table = ChartTable::fromRecordset(monthTable(rows, rows.value(0).size() - 1));
    QCOMPARE(drawnText(mapSeries(model)), drawn);
}

void TstChartControl::flatChartDrawsTheMap_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("stacked");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<Values>("values");
    QTest::addColumn<QString>("note");
    const int linear = ChartModel::Linear, log = ChartModel::Logarithmic;
    // every third month is below zero, and one is zero
    const Values signs = [](int r, int m) {
        const double v = 1500.0 * m + 40000.0 * r;
        return QVariant(m % 3 == 0 ? (m == 12 ? 0.0 : -v) : v);
    };
    for (int code : {1, 3, 5, 9})
        QTest::addRow("code %d, logarithmic", code)
            << code << false << log << years(3) << signs
            << QStringLiteral("Na logaritamskoj osi nisu nacrtani iznosi jednaki nuli ili manji "
                              "od nule (12).");
    // nothing above zero: the linear axis, and the note says why
    const Values negative = [](int, int m) { return QVariant(-100.0 * m); };
    QTest::newRow("nothing above zero, logarithmic")
        << 3 << false << log << years(2) << negative
        << QStringLiteral("Logaritamska os ne može prikazati nulu ni negativne iznose: grafikon "
                          "je nacrtan na linearnoj osi.");
    // a gap breaks a line, a step takes two points a month
    const Values gap = [](int r, int m) { return r == 1 && m == 5 ? QVariant() : rising(r, m); };
    QTest::newRow("steps, a gap") << 7 << false << linear << years(3) << gap << QString();
    QTest::newRow("areas, a gap") << 5 << false << linear << years(3) << gap << QString();
    QTest::newRow("bars") << 1 << false << linear << years(6) << rising << QString();
    QTest::newRow("stacked bars") << 1 << true << linear << years(6) << rising << QString();
}

// The flat chart draws what the map says: the value axis over its range, every line point in it
// and none of a gap, areas on the axis' floor, bars in their colours, the legend by the series'
// titles, and the note under the chart.
void TstChartControl::flatChartDrawsTheMap()
{
    QFETCH(int, code);
    QFETCH(bool, stacked);
    QFETCH(int, scale);
    QFETCH(QStringList, labels);
    QFETCH(Values, values);
    QFETCH(QString, note);
    ChartControl control;
    control.setDataSource(table(labels, values));
    control.setChartType(code);
    control.setStacking(stacked);
    control.setScale(ChartModel::Scale(scale));
    const SeriesMap map = mapSeries(control.model());
    QChart *chart = control.findChild<QChartView *>()->chart();
    QCOMPARE(chart->axes(Qt::Vertical).size(), 1);
    auto *log = qobject_cast<QLogValueAxis *>(chart->axes(Qt::Vertical).first());
    auto *linear = qobject_cast<QValueAxis *>(chart->axes(Qt::Vertical).first());
    QCOMPARE(bool(log), map.logarithmic);
    const double low = log ? log->min() : linear->min(), high = log ? log->max() : linear->max();
    // a logarithmic axis as the map has it, a linear one rounded out
    QVERIFY(log ? low == map.low && high == map.high : low <= map.low && high >= map.high);

    int points = 0, expected = 0;
    QStringList titles, legend;
    QList<QPointer<QLineSeries>> edges;
    for (QAbstractSeries *series : chart->series()) {
        if (auto *line = qobject_cast<QLineSeries *>(series)) {
            points += line->count();
            for (const QPointF &p : line->points())
                QVERIFY2(p.y() >= low && p.y() <= high, qPrintable(line->name()));
        }
        if (auto *area = qobject_cast<QAreaSeries *>(series)) {
            edges << area->upperSeries() << area->lowerSeries();
            for (const QPointF &p : area->lowerSeries()->points())
                QVERIFY(p.y() >= map.floor());
        }
        if (auto *bars = qobject_cast<QAbstractBarSeries *>(series)) {
            // a group of bars widens with its bars; stacked, a category holds one
            QCOMPARE(bars->barWidth(), barGroupWidth(stacked ? 1 : bars->count()));
            QVERIFY(barGroupWidth(6) > 0.9 && barGroupWidth(1) < barGroupWidth(2));
            QVERIFY(barGroupWidth(30) <= 0.95);
            for (int b = 0; b < bars->count(); ++b)
                QCOMPARE(bars->barSets().at(b)->color(), map.series[b].fill);
        }
    }
    for (const SeriesMap::Drawn &d : map.series) {
        titles << d.title;
        for (const SeriesMap::Run &r : d.runs)
            expected += d.asLine ? (r.last - r.first + 1) * (code == 7 ? 2 : 1) : 0;
    }
    QCOMPARE(points, expected);
    for (QLegendMarker *marker : chart->legend()->markers())
        if (marker->isVisible())
            legend << marker->label();
    QCOMPARE(legend, titles);
    QCOMPARE(control.noteText(), note);
    // a new drawing: the old one goes, and with it the edges of its areas
    control.refresh();
    for (const auto &edge : edges)
        QVERIFY(edge.isNull());
}

void TstChartControl::coloursOfTheirOwnAndTheWindowsNames()
{
    // every series has a colour of its own: the 26 of debit and credit over thirteen years, and
    // beyond the palette too
    QSet<QRgb> many;
    for (int s = 0; s < 200; ++s)
        many.insert(defaultSeriesColor(s).rgb());
    QCOMPARE(many.size(), 200);
    // where a hatch cannot be drawn (3D) each pattern has a grey of its own, darker than the walls
    QSet<int> greys;
    for (int p = 1; p <= 9; ++p)
        greys.insert(patternGrey(p).red() <= 200 ? patternGrey(p).red() : -p);
    QCOMPARE(greys.size(), 9);
    QVERIFY(*std::min_element(greys.cbegin(), greys.cend()) >= 0);

    // the colours of the series as drawn: the chosen pen, the chosen fill, and a pattern's black
    // pen
    ChartControl control;
    control.setDataSource(table(years(2), rising));
    control.setSeriesPen(1, Qt::red);
    control.setSeriesPattern(2, 4, Qt::white);
    const SeriesMap map = mapSeries(control.model());
    QCOMPARE(QList<QColor>(
                 {map.series[0].fill, map.series[0].pen, map.series[1].fill, map.series[1].pen}),
             QList<QColor>({defaultSeriesColor(0), Qt::red, Qt::white, Qt::black}));
    QCOMPARE(map.series[1].pattern, 4);
    control.resetToDefaults();

    // a window that names and places its series by name: two that ask for one place do not
    // share it, and the figures keep the rows' own names
    control.setSeriesNaming(
        [](const QString &name) { return name == u"PLAN" ? QStringLiteral("Plan") : name; },
        [](const QString &name) { return name.startsWith(u'P') ? 0 : 1; });
    control.setDataSource(
        table({QStringLiteral("PLAN"), QStringLiteral("PRIJE"), QStringLiteral("REAL")}, rising));
    QCOMPARE(control.model().colourPlaces(), QVector<int>({0, 2, 1}));
    QCOMPARE(mapSeries(control.model()).series[0].title, QStringLiteral("Plan"));
    QVERIFY(control.figuresText().contains(QStringLiteral("\r\nPLAN\t")));
}

void TstChartControl::piesStandInAGridUnderTheirNames()
{
    // six years; month 7 holds a sliver of a share in the first year and none after it, and
    // month 3 of the last year is below zero
    ChartControl control;
    control.resize(800, 500);
    control.setDataSource(table(years(6), [](int r, int m) {
        if (m == 7)
            return QVariant(r == 0 ? 0.5 : 0.0);
        return QVariant(m == 3 && r == 5 ? -400.0 : 1000.0 + 100.0 * m);
    }));
    control.setChartType(14);
    control.show(); // the pies take their places in the plot area once it has its size
    QVERIFY(QTest::qWaitForWindowExposed(&control));
    QChart *chart = control.findChild<QChartView *>()->chart();
    QStringList captions;
    for (QGraphicsItem *item : chart->childItems())
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item))
            captions << text->text();
    QCOMPARE(captions, years(6));
    const QRectF area = chart->plotArea();
    for (QAbstractSeries *series : chart->series()) {
        auto *pie = qobject_cast<QPieSeries *>(series);
        // each pie large enough to read: at 800 by 500 two rows of three
        QVERIFY2(pie->pieSize() * std::min(area.width(), area.height()) >= 130,
                 qPrintable(QString::number(pie->pieSize() * area.height())));
        // every month with a share anywhere has its slice, empty where it has none here
        QCOMPARE(pie->count(), 12);
    }
    int named = 0;
    for (QLegendMarker *marker : chart->legend()->markers())
        named += marker->isVisible();
    QCOMPARE(named, 12);
    QCOMPARE(control.noteText(), QStringLiteral("Torta ne prikazuje negativne iznose (1)."));
}

QTEST_MAIN(TstChartControl)
#include "tst_chartcontrol.moc"
