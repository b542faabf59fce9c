// Three-dimensional charts on a real X screen with OpenGL (run under xvfb-run). What is drawn, the
// series map decides (tst_chartcontrol); here the 3D view itself: its graphs and pictures, its
// selections and double clicks, its axis and its colours, and when none is made.
#include "opengldriver.h"
#include "platform/chart/chart3d.h"
#include "platform/chart/chartcontrol.h"
#include "platform/data/monthtable.h"

#include <Q3DBars>
#include <Q3DSurface>
#include <QLabel>
#include <QLogValue3DAxisFormatter>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {

// Three series (rows) by twelve months; the second has no value in May, so its ribbon breaks.
Recordset table()
{
    QVector<QVector<QVariant>> rows;
    for (int r = 0; r < 3; ++r) {
        rows.append({QStringLiteral("DUG %1").arg(2024 + r)});
        for (int m = 1; m <= 12; ++m)
            rows[r].append(r == 1 && m == 5 ? QVariant() : QVariant(1000.0 * (r + 1) + 150.0 * m));
    }
    return monthTable(rows);
}

// Pixels of the picture close in hue to colour: the series is really on the picture.
int pixelsLike(const QImage &image, const QColor &colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int d = std::abs(c.hsvHue() - colour.hsvHue());
            n += c.hsvSaturationF() >= 0.35 && c.valueF() >= 0.2 && std::min(d, 360 - d) <= 12;
        }
    return n;
}

} // namespace

class TstChart3D : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(Chart3D::available(&why), qPrintable(why));
    }
    void cleanupTestCase() { TestSupport::keepOpenGLDriverLoaded(); }
    void init();
    void cleanup() { m_chart.reset(); }
    void eachCodeDrawsIn3D_data();
    void eachCodeDrawsIn3D();
    void theViewsOwnWays();

private:
    std::unique_ptr<ChartControl> m_chart;
};

void TstChart3D::init()
{
    m_chart = std::make_unique<ChartControl>();
    m_chart->resize(800, 500);
    m_chart->setDataSource(table());
    m_chart->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_chart.get()));
}

void TstChart3D::eachCodeDrawsIn3D_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("pieces"); // drawn on the surface
    QTest::newRow("3D Bar") << 0 << 0;
    // a piece for each run: a line or a step breaks at the gap, an area lies on the ground there
    QTest::newRow("3D Linija") << 2 << 4;
    QTest::newRow("3D Područje") << 4 << 3;
    QTest::newRow("3D Korak") << 6 << 4;
    // a block for each value of the first two series (one is missing), a ribbon for the last
    QTest::newRow("3D Kombinacija") << 8 << 12 + 11 + 1;
}

// On screen and off it (the drawing after a node click copies the picture before the window may
// be on screen) every 3D code draws its series in 3D, with nothing to say. A chart without rows
// makes no graph: every window passes through "3D Bar" while it fills its type list, before it
// has figures, and a graph then cost each window an OpenGL context, about 30 MB and half a
// second, for a chart nobody chose. Whatever odd table comes after the figures, every 3D code
// draws something or nothing, and gives a picture.
void TstChart3D::eachCodeDrawsIn3D()
{
    QFETCH(int, code);
    QFETCH(int, pieces);
    ChartControl hidden;
    hidden.setChartType(code);
    hidden.setDataSource(monthTable({}, 3));
    QVERIFY(!hidden.view3D() && !hidden.drawnIn3D());
    hidden.setDataSource(table());
    for (ChartControl *chart : {m_chart.get(), &hidden}) {
        QSignalSpy said(chart, &ChartControl::statusMessage);
        chart->setLegendVisible(false); // only the graph itself may bring the colours
        chart->setChartType(code);
        QVERIFY(chart->drawnIn3D());
        QCOMPARE(chart->view3D()->seriesDrawn(), 3);
        QCOMPARE(said.count(), 0);
        const QImage image = chart->picture(QSize(640, 400));
        for (int s = 0; s < 3; ++s)
            QVERIFY2(pixelsLike(image, defaultSeriesColor(s)) > 300,
                     qPrintable(QStringLiteral("series %1 is not on the picture").arg(s + 1)));
    }
    if (auto *surface = qobject_cast<Q3DSurface *>(m_chart->view3D()->graph())) {
        QCOMPARE(surface->seriesList().size(), pieces);
        // a combination's ribbon runs along every point
        QVERIFY(code != 8 || surface->seriesList().last()->dataProxy()->columnCount() == 12);
    }

    const QString year = QStringLiteral("DUG 2026");
    const QVector<QVector<QVector<QVariant>>> odd{{},
                                                  {{year}},
                                                  {{year, 5.0}},
                                                  {{year, QVariant(), QVariant()}},
                                                  {{year, -500.0, 250.0, 0.0}}};
    for (const auto &rows : odd)
        for (ChartModel::Scale scale : {ChartModel::Linear, ChartModel::Percent}) {
            m_chart->setDataSource(monthTable(rows, rows.value(0).size() - 1));
            m_chart->setScale(scale);
            QVERIFY(m_chart->drawnIn3D());
            QVERIFY(m_chart->view3D()->seriesDrawn() <= rows.size());
            QCOMPARE(m_chart->picture(QSize(320, 200)).size(), QSize(320, 200));
        }
}

// What the 3D view does itself: a selected bar or ribbon point tells its series and point (from
// 1); double clicks on the title, the legend and a selected series reach the window; the value
// axis is logarithmic, or writes per cent after the number once, whether the graph writes by
// printf or by its locale; a pattern, which 3D cannot hatch, is a grey of its own (a ribbon's
// with a black outline), and a ribbon has its line's pen colour.
void TstChart3D::theViewsOwnWays()
{
    m_chart->setTitleText(QStringLiteral("  Naslov   ")); // centred without the blanks
    m_chart->setChartType(0);
    QSignalSpy selected(m_chart.get(), &ChartControl::pointSelected);
    QSignalSpy title(m_chart.get(), &ChartControl::titleActivated);
    QSignalSpy legend(m_chart.get(), &ChartControl::legendActivated);
    QSignalSpy series(m_chart.get(), &ChartControl::seriesActivated);
    auto *bars = qobject_cast<Q3DBars *>(m_chart->view3D()->graph());
    bars->seriesList().value(0)->setSelectedBar(QPoint(1, 3)); // (row, column) from 0
    QTRY_COMPARE(selected.count(), 1);
    QCOMPARE(selected.last(), QVariantList({2, 4}));
    auto *label = m_chart->view3D()->findChild<QLabel *>();
    QVERIFY(label && label->isVisible());
    QCOMPARE(label->text(), QStringLiteral("Naslov"));
    QTest::mouseDClick(label, Qt::LeftButton);
    QCOMPARE(title.count(), 1);
    auto *legendBox = m_chart->view3D()->findChild<ChartLegend *>();
    QVERIFY(legendBox && legendBox->isVisible());
    QTest::mouseDClick(legendBox, Qt::LeftButton);
    QCOMPARE(legend.count(), 1);
    bars->seriesList().value(0)->setSelectedBar(QPoint(2, 0));
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bars, &click);
    QCOMPARE(series.count(), 1);
    QCOMPARE(series.last(), QVariantList({3}));

    m_chart->setScale(ChartModel::Logarithmic);
    QVERIFY(qobject_cast<QLogValue3DAxisFormatter *>(bars->valueAxis()->formatter()));
    m_chart->setScale(ChartModel::Percent);
    QVERIFY(!qobject_cast<QLogValue3DAxisFormatter *>(bars->valueAxis()->formatter()));
    QCOMPARE(bars->valueAxis()->labelFormat(),
             bars->locale() == QLocale::c() ? QStringLiteral("%.0f %%") : QStringLiteral("%.0f %"));
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
    m_chart->refresh();
    QLocale::setDefault(before);
    QCOMPARE(bars->valueAxis()->labelFormat(), QStringLiteral("%.0f %"));

    m_chart->setSeriesFill(2, QColor(10, 20, 30));
    m_chart->setSeriesPattern(3, 3, Qt::white);
    QCOMPARE(bars->seriesList().value(0)->rowColors(),
             QList<QColor>({defaultSeriesColor(0), QColor(10, 20, 30), patternGrey(3)}));
    m_chart->setSeriesPen(1, QColor(200, 10, 10));
    m_chart->setSeriesPen(3, QColor(200, 10, 10)); // the pattern's grey wins over it
    // steps have two columns a month; the pieces: series 1, series 2 up to April and from June,
    // series 3
    m_chart->setChartType(6);
    const auto ribbons = qobject_cast<Q3DSurface *>(m_chart->view3D()->graph())->seriesList();
    ribbons.value(2)->setSelectedPoint(QPoint(1, 3)); // June: columns 0 and 1, July: 2 and 3
    QTRY_COMPARE(selected.last(), QVariantList({2, 7}));
    QCOMPARE(ribbons.first()->baseColor(), QColor(200, 10, 10));
    QCOMPARE(ribbons.first()->drawMode(), QSurface3DSeries::DrawSurface);
    QCOMPARE(ribbons.last()->baseColor(), patternGrey(3));
    QVERIFY(ribbons.last()->drawMode() & QSurface3DSeries::DrawWireframe);
}

QTEST_MAIN(TstChart3D)
#include "tst_chart3d.moc"
