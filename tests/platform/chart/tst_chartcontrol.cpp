// The flat chart control without a screen: its files, what its drawings own, and what they show:
// axes, colours, pies, names and notes.
#include "platform/chart/chartcontrol.h"
#include "platform/data/recordset.h"
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

Recordset table()
{
    QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString}};
    for (int m = 1; m <= 12; ++m)
        fields.append({QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')), QMetaType::Double});
    QVector<QVector<QVariant>> rows;
    for (int year = 2024; year <= 2026; ++year) {
        QVector<QVariant> row{QString::number(year)};
        for (int m = 1; m <= 12; ++m)
            row.append(1000.0 * m + year);
        rows.append(row);
    }
    Recordset rs;
    rs.assign(fields, rows);
    return rs;
}

// A table of the given rows (labels) by twelve months, each value from value(row, month).
Recordset table(const QStringList &labels, const std::function<QVariant(int, int)> &value)
{
    QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString}};
    for (int m = 1; m <= 12; ++m)
        fields.append({QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')), QMetaType::Double});
    QVector<QVector<QVariant>> rows;
    for (int r = 0; r < labels.size(); ++r) {
        QVector<QVariant> row{labels[r]};
        for (int m = 1; m <= 12; ++m)
            row.append(value(r, m));
        rows.append(row);
    }
    Recordset rs;
    rs.assign(fields, rows);
    return rs;
}

QStringList years(int count)
{
    QStringList labels;
    for (int y = 0; y < count; ++y)
        labels << QString::number(2021 + y);
    return labels;
}

QChart *drawn(ChartControl &chart)
{
    return chart.findChild<QChartView *>()->chart();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstChartControl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void savedFileIsWhole_data();
    void savedFileIsWhole();
    void areaLinesGoWithTheirArea();
    void seriesMap_data();
    void seriesMap();
    void logarithmicAxisHoldsTheValues();
    void nothingAboveZeroIsDrawnOnTheLinearAxis();
    void everySeriesHasAColourOfItsOwn();
    void piesStandInAGridUnderTheirNames();
    void windowsTitlesNameTheSeries();
    void barGroupsWidenWithTheirBars();

private:
    std::unique_ptr<ChartControl> m_chart;
};

void TstChartControl::init()
{
    m_chart = std::make_unique<ChartControl>();
    m_chart->resize(800, 500);
    m_chart->setDataSource(table());
    m_chart->setTitleText(QStringLiteral("Promet 120"));
}

void TstChartControl::cleanup()
{
    m_chart.reset();
}

void TstChartControl::savedFileIsWhole_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "grafikon.png";
    QTest::newRow("svg") << "grafikon.svg";
    QTest::newRow("pdf") << "grafikon.pdf";
}

void TstChartControl::savedFileIsWhole()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QString error;
    QVERIFY2(m_chart->save(path, QSize(1000, 600), &error), qPrintable(error));
    const QByteArray bytes = readAll(path);
    QString why;
    if (name.endsWith(u"png"))
        QCOMPARE(QImage::fromData(bytes).size(), QSize(1000, 600));
    else if (name.endsWith(u"svg"))
        QVERIFY(bytes.trimmed().endsWith("</svg>"));
    else
        QVERIFY2(StagedFile::completePdf(path, &why), qPrintable(why));
}

void TstChartControl::areaLinesGoWithTheirArea()
{
    m_chart->setChartType(5);
    auto *view = m_chart->findChild<QChartView *>();
    QVERIFY(view);
    QList<QPointer<QLineSeries>> lines;
    for (QAbstractSeries *s : view->chart()->series())
        if (auto *area = qobject_cast<QAreaSeries *>(s))
            lines << area->upperSeries() << area->lowerSeries();
    QCOMPARE(lines.size(), 6);
    m_chart->refresh(); // a new drawing: the old one goes, and with it the lines of its areas
    for (const auto &line : lines)
        QVERIFY(line.isNull());
}

namespace {

// A model of rows (a label, then a value per month; an invalid value is a gap).
ChartModel modelOf(int code, bool stacked, ChartModel::Scale scale,
                   const QVector<QVector<QVariant>> &rows)
{
    QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString}};
    for (int m = 1; m < (rows.isEmpty() ? 1 : rows.first().size()); ++m)
        fields.append({QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')), QMetaType::Double});
    Recordset rs;
    rs.assign(fields, rows);
    ChartModel model;
    model.chartType = code;
    model.stacked = stacked;
    model.scale = scale;
    model.table = ChartTable::fromRecordset(rs);
    return model;
}

QString runsText(const SeriesMap::Drawn &d)
{
    QStringList runs;
    for (const SeriesMap::Run &r : d.runs)
        runs << QStringLiteral("%1-%2").arg(r.first).arg(r.last);
    return runs.join(u',');
}

QString valuesText(const QVector<std::optional<double>> &values)
{
    QStringList out;
    for (const auto &v : values)
        out << (v ? QString::number(*v) : QStringLiteral("-"));
    return out.join(u',');
}

} // namespace

void TstChartControl::seriesMap_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("stacked");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QVector<QVector<QVariant>>>("rows");
    QTest::addColumn<QString>("runs");  // of each series, "first-last" runs, "|" between series
    QTest::addColumn<QString>("top");   // of the last series
    QTest::addColumn<QString>("base");  // of the last series
    QTest::addColumn<bool>("lastLine"); // the last series drawn as a line
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    const QVariant gap;
    const QVector<QVector<QVariant>> two{{QStringLiteral("2025"), 1.0, 2.0, gap, 4.0},
                                         {QStringLiteral("2026"), -1.0, 5.0, 6.0, 7.0}};
    const int linear = ChartModel::Linear, log = ChartModel::Logarithmic;
    // a gap breaks a bar series' run; unstacked bars take in zero and every value
    QTest::newRow("bars") << 1 << false << linear << two << "0-1,3-3|0-3"
                          << "-1,5,6,7"
                          << "0,0,0,0" << false << -1.0 << 7.0;
    // stacked, what rises above zero and what falls below it at each point
    QTest::newRow("stacked bars") << 1 << true << linear << two << "0-1,3-3|0-3"
                                  << "0,7,6,11"
                                  << "1,2,0,4" << false << -1.0 << 11.0;
    QTest::newRow("stacked lines") << 3 << true << linear << two << "0-1,3-3|0-3"
                                   << "0,7,6,11"
                                   << "1,2,0,4" << true << 0.0 << 11.0;
    // an area has no gaps: a missing value lies on what it stands on
    QTest::newRow("areas") << 5 << false << linear << QVector<QVector<QVariant>>{two[1], two[0]}
                           << "0-3|0-3"
                           << "1,2,0,4"
                           << "0,0,0,0" << false << -1.0 << 7.0;
    QTest::newRow("steps") << 7 << false << linear << two << "0-1,3-3|0-3"
                           << "-1,5,6,7"
                           << "0,0,0,0" << true << -1.0 << 7.0;
    // the last of several is the line over the bars; one alone is a bar
    QTest::newRow("combination") << 9 << false << linear << two << "0-1,3-3|0-3"
                                 << "-1,5,6,7"
                                 << "0,0,0,0" << true << -1.0 << 7.0;
    QTest::newRow("combination of one")
        << 9 << false << linear << QVector<QVector<QVariant>>{two[1]} << "0-3"
        << "-1,5,6,7"
        << "0,0,0,0" << false << -1.0 << 7.0;
    // whole powers of the base round the values above zero; zero and below are gaps there
    QTest::newRow("logarithmic") << 3 << false << log
                                 << QVector<QVector<QVariant>>{{QStringLiteral("2026"), 1500.0,
                                                                -3.0, 0.0, 93000.0}}
                                 << "0-0,3-3"
                                 << "1500,-,-,93000"
                                 << "0,0,0,0" << true << 1000.0 << 100000.0;
    // nothing above zero: the linear axis after all
    QTest::newRow("logarithmic, nothing above zero")
        << 3 << false << log << QVector<QVector<QVariant>>{{QStringLiteral("2026"), -5.0, 0.0}}
        << "0-1"
        << "-5,0"
        << "0,0" << true << -5.0 << 0.0;
    QTest::newRow("pie") << 14 << false << linear << two << "0-1,3-3|0-3"
                         << "-1,5,6,7"
                         << "0,0,0,0" << false << 0.0 << 1.0;
    QTest::newRow("no rows") << 1 << false << linear << QVector<QVector<QVariant>>{} << ""
                             << ""
                             << "" << false << 0.0 << 1.0;
}

void TstChartControl::seriesMap()
{
    QFETCH(int, code);
    QFETCH(bool, stacked);
    QFETCH(int, scale);
    QFETCH(QVector<QVector<QVariant>>, rows);
    QFETCH(QString, runs);
    QFETCH(QString, top);
    QFETCH(QString, base);
    QFETCH(bool, lastLine);
    QFETCH(double, low);
    QFETCH(double, high);
    const SeriesMap map = mapSeries(modelOf(code, stacked, ChartModel::Scale(scale), rows));
    QCOMPARE(int(map.look), int(SeriesMap::lookOf(code)));
    QCOMPARE(map.series.size(), rows.size());
    QStringList allRuns;
    for (const SeriesMap::Drawn &d : map.series)
        allRuns << runsText(d);
    QCOMPARE(allRuns.join(u'|'), runs);
    if (!map.series.isEmpty()) {
        QCOMPARE(valuesText(map.series.last().top), top);
        QStringList bases;
        for (double b : map.series.last().base)
            bases << QString::number(b);
        QCOMPARE(bases.join(u','), base);
        QCOMPARE(map.series.last().asLine, lastLine);
        QCOMPARE(map.series.last().title, rows.last().first().toString());
    }
    QCOMPARE(map.low, low);
    QCOMPARE(map.high, high);
    QCOMPARE(map.floor(), map.logarithmic ? low : 0.0);
}

// The flat chart draws from the map: on a logarithmic axis nothing reaches zero, an area stands
// on the axis' floor, and the note says what could not be drawn.
void TstChartControl::logarithmicAxisHoldsTheValues()
{
    // 3 years; every third month is below zero, and one is zero
    m_chart->setDataSource(table(years(3), [](int r, int m) {
        const double v = 1500.0 * m + 40000.0 * r;
        return QVariant(m % 3 == 0 ? (m == 12 ? 0.0 : -v) : v);
    }));
    m_chart->setScale(ChartModel::Logarithmic);
    for (int code : {1, 3, 5, 9}) {
        m_chart->setChartType(code);
        QChart *chart = drawn(*m_chart);
        auto *axis = qobject_cast<QLogValueAxis *>(chart->axes(Qt::Vertical).value(0));
        QVERIFY(axis);
        QCOMPARE(axis->min(), 1000.0);
        QCOMPARE(axis->max(), 100000.0);
        for (QAbstractSeries *series : chart->series()) {
            if (auto *line = qobject_cast<QLineSeries *>(series))
                for (const QPointF &p : line->points())
                    QVERIFY(p.y() > 0);
            if (auto *area = qobject_cast<QAreaSeries *>(series))
                for (const QPointF &p : area->lowerSeries()->points())
                    QVERIFY2(p.y() >= axis->min(), qPrintable(QString::number(p.y())));
        }
        QCOMPARE(m_chart->noteText(),
                 QStringLiteral("Na logaritamskoj osi nisu nacrtani iznosi jednaki nuli ili "
                                "manji od nule (12)."));
    }
}

void TstChartControl::nothingAboveZeroIsDrawnOnTheLinearAxis()
{
    m_chart->setDataSource(table(years(2), [](int, int m) { return QVariant(-100.0 * m); }));
    m_chart->setChartType(3);
    m_chart->setScale(ChartModel::Logarithmic);
    QChart *chart = drawn(*m_chart);
    QCOMPARE(chart->axes(Qt::Vertical).size(), 1);
    auto *axis = qobject_cast<QValueAxis *>(chart->axes(Qt::Vertical).first());
    QVERIFY(axis);
    QVERIFY(axis->min() <= -1200);
    QCOMPARE(m_chart->noteText(), QStringLiteral("Logaritamska os ne može prikazati nulu ni "
                                                 "negativne iznose: grafikon je nacrtan na "
                                                 "linearnoj osi."));
    int points = 0;
    for (QAbstractSeries *series : chart->series())
        points += qobject_cast<QLineSeries *>(series)->count();
    QCOMPARE(points, 24);
    // the note goes with the picture too: the chart is shorter by its line
    m_chart->setScale(ChartModel::Linear);
    QCOMPARE(m_chart->noteText(), QString());
}

void TstChartControl::everySeriesHasAColourOfItsOwn()
{
    // debit and credit over thirteen years: 26 series, no two alike
    QStringList labels;
    for (const char *side : {"DUG", "POT"})
        for (int y = 2014; y <= 2026; ++y)
            labels << QStringLiteral("%1 %2").arg(QLatin1String(side)).arg(y);
    m_chart->setDataSource(table(labels, [](int r, int m) { return QVariant(100.0 * r + m); }));
    m_chart->setChartType(1);
    QSet<QRgb> colours;
    for (int s = 0; s < 26; ++s)
        colours.insert(m_chart->model().fillColor(s).rgb());
    QCOMPARE(colours.size(), 26);
    QSet<QRgb> drawnColours;
    for (QAbstractSeries *series : drawn(*m_chart)->series())
        for (QBarSet *set : qobject_cast<QAbstractBarSeries *>(series)->barSets())
            drawnColours.insert(set->color().rgb());
    QCOMPARE(drawnColours, colours);
    // and beyond the palette the colours go on differing
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

    // a window that places its series by name: each keeps its colour in either order, and two
    // that ask for one place do not share it
    auto slot = [](const QString &name) { return name.startsWith(u'P') ? 0 : 1; };
    m_chart->setSeriesNaming({}, slot);
    m_chart->setDataSource(table({QStringLiteral("PLAN"), QStringLiteral("REAL")},
                                 [](int, int m) { return QVariant(double(m)); }));
    const QColor plan = m_chart->model().fillColor(0), real = m_chart->model().fillColor(1);
    QVERIFY(plan != real);
    m_chart->setDataSource(table({QStringLiteral("REAL"), QStringLiteral("PLAN")},
                                 [](int, int m) { return QVariant(double(m)); }));
    QCOMPARE(m_chart->model().fillColor(0), real);
    QCOMPARE(m_chart->model().fillColor(1), plan);
    m_chart->setDataSource(
        table({QStringLiteral("PLAN"), QStringLiteral("PRIJE"), QStringLiteral("REAL")},
              [](int, int m) { return QVariant(double(m)); }));
    QCOMPARE(m_chart->model().colourPlaces(), QVector<int>({0, 2, 1}));
}

void TstChartControl::piesStandInAGridUnderTheirNames()
{
    // six years; month 7 holds a sliver of a share in the first year and none after it, and
    // month 3 of the last year is below zero
    m_chart->setDataSource(table(years(6), [](int r, int m) {
        if (m == 7)
            return QVariant(r == 0 ? 0.5 : 0.0);
        if (m == 3 && r == 5)
            return QVariant(-400.0);
        return QVariant(1000.0 + 100.0 * m);
    }));
    m_chart->setChartType(14);
    m_chart->show(); // the pies take their places in the plot area once it has its size
    QVERIFY(QTest::qWaitForWindowExposed(m_chart.get()));
    QChart *chart = drawn(*m_chart);
    QStringList captions;
    for (QGraphicsItem *item : chart->childItems())
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item))
            captions << text->text();
    QCOMPARE(captions, years(6));
    const QRectF area = chart->plotArea();
    int pies = 0;
    for (QAbstractSeries *series : chart->series()) {
        auto *pie = qobject_cast<QPieSeries *>(series);
        ++pies;
        // each pie large enough to read: at 800 by 500 two rows of three
        QVERIFY2(pie->pieSize() * std::min(area.width(), area.height()) >= 130,
                 qPrintable(QString::number(pie->pieSize() * area.height())));
        // every month with a share anywhere has its slice, empty where it has none here
        QCOMPARE(pie->count(), 12);
    }
    QCOMPARE(pies, 6);
    int named = 0;
    for (QLegendMarker *marker : chart->legend()->markers())
        named += marker->isVisible();
    QCOMPARE(named, 12);
    // the sliver's month is in the legend's tip too
    QVERIFY(m_chart->categoryTip(7).contains(QStringLiteral("2021: 0.50")));
    QCOMPARE(m_chart->noteText(), QStringLiteral("Torta ne prikazuje negativne iznose (1)."));
}

void TstChartControl::windowsTitlesNameTheSeries()
{
    m_chart->setSeriesNaming(
        [](const QString &name) { return name == u"2024" ? QStringLiteral("Prva") : name; }, {});
    for (int code : {1, 3, 5, 14}) {
        m_chart->setChartType(code);
        QStringList legend;
        for (QLegendMarker *marker : drawn(*m_chart)->legend()->markers())
            if (marker->isVisible() && code != 14)
                legend << marker->label();
        if (code != 14)
            QCOMPARE(legend, QStringList({QStringLiteral("Prva"), QStringLiteral("2025"),
                                          QStringLiteral("2026")}));
    }
    QVERIFY(m_chart->valueTip(1, 1).startsWith(QStringLiteral("Prva - Mj01: ")));
    // the figures keep the rows' own names
    QVERIFY(m_chart->figuresText().contains(QStringLiteral("\r\n2024\t")));
    QCOMPARE(m_chart->data(), QStringLiteral("3024"));
}

void TstChartControl::barGroupsWidenWithTheirBars()
{
    m_chart->setDataSource(table(years(6), [](int r, int m) { return QVariant(100.0 * r + m); }));
    m_chart->setChartType(1);
    auto *bars = qobject_cast<QAbstractBarSeries *>(drawn(*m_chart)->series().value(0));
    QVERIFY(bars);
    QCOMPARE(bars->barWidth(), barGroupWidth(6));
    QVERIFY(barGroupWidth(6) > 0.9);
    QVERIFY(barGroupWidth(1) < barGroupWidth(2));
    QVERIFY(barGroupWidth(30) <= 0.95);
    // stacked, a category holds one bar
    m_chart->setStacking(true);
    bars = qobject_cast<QAbstractBarSeries *>(drawn(*m_chart)->series().value(0));
    QCOMPARE(bars->barWidth(), barGroupWidth(1));
}

QTEST_MAIN(TstChartControl)
#include "tst_chartcontrol.moc"
