// Three-dimensional charts on a real X screen with OpenGL (run under xvfb-run).
#include "opengldriver.h"
#include "platform/chart/chart3d.h"
#include "platform/chart/chartcontrol.h"
#include "platform/data/recordset.h"
#include "platform/widgets/keyedtree.h"
#include "windowsupport.h"

#include <Q3DBars>
#include <Q3DSurface>
#include <QBar3DSeries>
#include <QBarDataProxy>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLogValue3DAxisFormatter>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStatusBar>
#include <QSurface3DSeries>
#include <QTest>
#include <QValue3DAxis>

class TstChart3D : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void eachCodeDrawsItsSeriesIn3D_data();
    void eachCodeDrawsItsSeriesIn3D();
    void orientationTurnsColumnsIntoSeries();
    void barSelectionReportsSeriesAndPoint();
    void ribbonSelectionReportsSeriesAndPoint();
    void doubleClicksReachTheWindow();
    void stackingLogScaleAndPatterns();
    void windowCopiesAndPrintsThe3DPicture();
    void hiddenChartStillGivesItsPicture();
    void noGraphIsMadeUntilA3DChartHasFigures();
    void oddTablesDrawWithoutFailing_data();
    void oddTablesDrawWithoutFailing();

private:
    // Three series (rows) by twelve months; the second has no value in May, so its ribbon breaks.
    static Recordset table();
    // Pixels of the picture close in hue to colour: the series is really on the picture.
    static int pixelsLike(const QImage &image, const QColor &colour);
    // A turnover window on screen with the chart of account 120 drawn.
    static ChartWindow *openOn120(WindowFixture &fx);
    std::unique_ptr<ChartControl> m_chart;
};

void TstChart3D::initTestCase()
{
    QString why;
    QVERIFY2(Chart3D::available(&why), qPrintable(why));
}

void TstChart3D::cleanupTestCase()
{
    TestSupport::keepOpenGLDriverLoaded();
}

void TstChart3D::init()
{
    m_chart = std::make_unique<ChartControl>();
    m_chart->resize(800, 500);
    m_chart->setDataSource(table());
    m_chart->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_chart.get()));
}

void TstChart3D::cleanup()
{
    m_chart.reset();
}

Recordset TstChart3D::table()
{
    QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString}};
    for (int m = 1; m <= 12; ++m)
        fields.append({QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')), QMetaType::Double});
    QVector<QVector<QVariant>> rows;
    for (int r = 0; r < 3; ++r) {
        QVector<QVariant> row{QStringLiteral("DUG %1").arg(2024 + r)};
        for (int m = 1; m <= 12; ++m)
            row.append(r == 1 && m == 5 ? QVariant() : QVariant(1000.0 * (r + 1) + 150.0 * m));
        rows.append(row);
    }
    Recordset rs;
    rs.assign(fields, rows);
    return rs;
}

ChartWindow *TstChart3D::openOn120(WindowFixture &fx)
{
    ChartWindow *w = fx.open();
    if (!w)
        return nullptr;
    w->resize(1000, 700);
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        return nullptr;
    QTreeWidgetItem *account =
        w->tv->node(QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    if (!account) {
        qWarning("no node of account 120 in the tree");
        return nullptr;
    }
    emit w->tv->nodeClicked(account);
    return w;
}

int TstChart3D::pixelsLike(const QImage &image, const QColor &colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.hsvSaturationF() < 0.35 || c.valueF() < 0.2)
                continue;
            const int d = std::abs(c.hsvHue() - colour.hsvHue());
            if (std::min(d, 360 - d) <= 12)
                ++n;
        }
    return n;
}

void TstChart3D::eachCodeDrawsItsSeriesIn3D_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("bars");
    QTest::addColumn<int>("pieces"); // drawn on the surface
    QTest::newRow("3D Bar") << 0 << true << 0;
    // a line or a step breaks where a value is missing; an area lies on the ground there
    QTest::newRow("3D Linija") << 2 << false << 4;
    QTest::newRow("3D Područje") << 4 << false << 3;
    QTest::newRow("3D Korak") << 6 << false << 4;
    // a block for each value of the first two series (one is missing), a ribbon for the last
    QTest::newRow("3D Kombinacija") << 8 << false << 12 + 11 + 1;
}

void TstChart3D::eachCodeDrawsItsSeriesIn3D()
{
    QFETCH(int, code);
    QFETCH(bool, bars);
    QFETCH(int, pieces);
    // the value axis writes its numbers as the flat charts do, in the reader's own way
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
    auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
    QSignalSpy said(m_chart.get(), &ChartControl::statusMessage);
    m_chart->setLegendVisible(false); // only the graph itself may bring the colours
    m_chart->setChartType(code);
    QVERIFY(m_chart->drawnIn3D());
    Chart3D *view = m_chart->view3D();
    QVERIFY(view);
    QCOMPARE(view->seriesDrawn(), 3);
    QCOMPARE(said.count(), 0);
    if (bars) {
        auto *graph = qobject_cast<Q3DBars *>(view->graph());
        QVERIFY(graph);
        QCOMPARE(graph->seriesList().value(0)->dataProxy()->rowCount(), 3);
        QCOMPARE(graph->seriesList().value(0)->dataProxy()->rowLabels(),
                 QStringList({QStringLiteral("DUG 2024"), QStringLiteral("DUG 2025"),
                              QStringLiteral("DUG 2026")}));
    } else {
        auto *graph = qobject_cast<Q3DSurface *>(view->graph());
        QVERIFY(graph);
        QCOMPARE(graph->seriesList().size(), pieces);
        // the last series is a ribbon along all its points, the others stand as blocks
        if (code == 8)
            QCOMPARE(graph->seriesList().last()->dataProxy()->columnCount(), 12);
    }
    QCOMPARE(view->graph()->locale().name(), QStringLiteral("hr_HR"));
    const QImage image = m_chart->picture(QSize(640, 400));
    QCOMPARE(image.size(), QSize(640, 400));
    for (int s = 0; s < 3; ++s)
        QVERIFY2(pixelsLike(image, defaultSeriesColor(s)) > 300,
                 qPrintable(QStringLiteral("series %1 is not on the picture").arg(s + 1)));
}

void TstChart3D::orientationTurnsColumnsIntoSeries()
{
    m_chart->setChartType(2);
    m_chart->setSeriesInRow(false);
    QCOMPARE(m_chart->view3D()->seriesDrawn(), 12);
    m_chart->setChartType(0);
    auto *graph = qobject_cast<Q3DBars *>(m_chart->view3D()->graph());
    QCOMPARE(graph->seriesList().value(0)->dataProxy()->rowCount(), 12);
    QCOMPARE(graph->seriesList().value(0)->dataProxy()->columnLabels().size(), 3);
}

void TstChart3D::barSelectionReportsSeriesAndPoint()
{
    m_chart->setChartType(0);
    QSignalSpy selected(m_chart.get(), &ChartControl::pointSelected);
    auto *graph = qobject_cast<Q3DBars *>(m_chart->view3D()->graph());
    graph->seriesList().value(0)->setSelectedBar(QPoint(1, 3)); // (row, column) from 0
    QTRY_COMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0).value(0).toInt(), 2);
    QCOMPARE(selected.at(0).value(1).toInt(), 4);
    QCOMPARE(m_chart->model().dataValueText(2, 4), QStringLiteral("2600"));
}

void TstChart3D::ribbonSelectionReportsSeriesAndPoint()
{
    m_chart->setChartType(6); // steps: two columns for every month
    QSignalSpy selected(m_chart.get(), &ChartControl::pointSelected);
    auto *graph = qobject_cast<Q3DSurface *>(m_chart->view3D()->graph());
    // pieces in order: series 1, series 2 up to April, series 2 from June, series 3
    QSurface3DSeries *after = graph->seriesList().value(2);
    after->setSelectedPoint(QPoint(1, 3)); // June has columns 0 and 1, July 2 and 3
    QTRY_COMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0).value(0).toInt(), 2);
    QCOMPARE(selected.at(0).value(1).toInt(), 7);
}

void TstChart3D::doubleClicksReachTheWindow()
{
    m_chart->setTitleText(QStringLiteral("Naslov"));
    m_chart->setChartType(0);
    QSignalSpy title(m_chart.get(), &ChartControl::titleActivated);
    QSignalSpy legend(m_chart.get(), &ChartControl::legendActivated);
    QSignalSpy series(m_chart.get(), &ChartControl::seriesActivated);
    auto *label = m_chart->view3D()->findChild<QLabel *>();
    QVERIFY(label && label->isVisible());
    QCOMPARE(label->text(), QStringLiteral("Naslov"));
    QTest::mouseDClick(label, Qt::LeftButton);
    QCOMPARE(title.count(), 1);
    auto *legendBox = m_chart->view3D()->findChild<ChartLegend *>();
    QVERIFY(legendBox && legendBox->isVisible());
    QTest::mouseDClick(legendBox, Qt::LeftButton);
    QCOMPARE(legend.count(), 1);

    auto *graph = qobject_cast<Q3DBars *>(m_chart->view3D()->graph());
    graph->seriesList().value(0)->setSelectedBar(QPoint(2, 0));
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(graph, &click);
    QCOMPARE(series.count(), 1);
    QCOMPARE(series.at(0).value(0).toInt(), 3);
}

// What the series map gives (tests of the flat chart) is drawn in 3D: stacked bars at their tops,
// the logarithmic axis over its range; the scale's labels, colours and patterns are the view's.
void TstChart3D::stackingLogScaleAndPatterns()
{
    m_chart->setChartType(0);
    m_chart->setStacking(true);
    auto *graph = qobject_cast<Q3DBars *>(m_chart->view3D()->graph());
    QBarDataProxy *proxy = graph->seriesList().value(0)->dataProxy();
    QCOMPARE(proxy->itemAt(2, 0)->value(), 1150.0f + 2150.0f + 3150.0f);
    m_chart->setStacking(false);
    m_chart->setScale(ChartModel::Logarithmic);
    QVERIFY(qobject_cast<QLogValue3DAxisFormatter *>(graph->valueAxis()->formatter()));
    QCOMPARE(graph->valueAxis()->max(), 10000.0f);
    m_chart->setScale(ChartModel::Linear);
    QVERIFY(!qobject_cast<QLogValue3DAxisFormatter *>(graph->valueAxis()->formatter()));
    // per cent after the number, once, whether the graph writes by printf or by its locale
    m_chart->setScale(ChartModel::Percent);
    QCOMPARE(graph->valueAxis()->labelFormat(), graph->locale() == QLocale::c()
                                                    ? QStringLiteral("%.0f %%")
                                                    : QStringLiteral("%.0f %"));
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
    m_chart->refresh();
    QLocale::setDefault(before);
    QCOMPARE(graph->valueAxis()->labelFormat(), QStringLiteral("%.0f %"));
    m_chart->setScale(ChartModel::Linear);
    // a title padded with blanks stands centred without them
    m_chart->setTitleText(QStringLiteral("  Promet 120   "));
    QStringList titles;
    for (const QLabel *label : m_chart->view3D()->findChildren<QLabel *>())
        titles << label->text();
    QVERIFY2(titles.contains(QStringLiteral("Promet 120")), qPrintable(titles.join(u'|')));

    m_chart->setSeriesFill(2, QColor(10, 20, 30));
    QCOMPARE(graph->seriesList().value(0)->rowColors().value(1), QColor(10, 20, 30));
    for (int s = 1; s <= 3; ++s)
        m_chart->setSeriesPattern(s, s, Qt::white);
    const QList<QColor> colours = graph->seriesList().value(0)->rowColors();
    QCOMPARE(colours, QList<QColor>({patternGrey(1), patternGrey(2), patternGrey(3)}));

    // a line takes its pen colour, and a pattern's grey wins over it
    m_chart->resetToDefaults();
    m_chart->setChartType(2);
    m_chart->setSeriesPen(1, QColor(200, 10, 10));
    auto *ribbons = qobject_cast<Q3DSurface *>(m_chart->view3D()->graph());
    QCOMPARE(ribbons->seriesList().value(0)->baseColor(), QColor(200, 10, 10));
    QCOMPARE(ribbons->seriesList().value(0)->drawMode(), QSurface3DSeries::DrawSurface);
    m_chart->setSeriesPattern(1, 4, Qt::white);
    QCOMPARE(ribbons->seriesList().value(0)->baseColor(), patternGrey(4));
    QVERIFY(ribbons->seriesList().value(0)->drawMode() &
            QSurface3DSeries::DrawWireframe); // a pattern keeps a black outline in 3D too
}

void TstChart3D::windowCopiesAndPrintsThe3DPicture()
{
    WindowFixture fx;
    ChartWindow *w = openOn120(fx);
    QVERIFY(w);
    QGuiApplication::clipboard()->clear();
    w->cmbType->setCurrentIndex(0); // "3D Bar"
    QVERIFY(w->MSChart1->drawnIn3D());
    QVERIFY(w->statusBar()->currentMessage().isEmpty()); // nothing to say where 3D is drawn

    fx.dialogs->answers.push_back(Dialogs::AnswerYes);
    w->mnuIspis_Click();
    QVERIFY2(fx.dialogs->messages.size() == 1, qPrintable(fx.dialogs->texts().join(u'|')));
    const QImage copied = QGuiApplication::clipboard()->image();
    QVERIFY(!copied.isNull());
    const int series = w->MSChart1->seriesCount();
    QVERIFY(series > 0);
    for (int s = 0; s < std::min(series, 3); ++s)
        QVERIFY2(pixelsLike(copied, defaultSeriesColor(s)) > 100, qPrintable(QString::number(s)));
    QVERIFY(QFileInfo(fx.printDir.filePath(QStringLiteral("print.pdf"))).size() > 10000);
    w->close();
}

// The drawing after a node click copies the picture before the window may be on screen.
void TstChart3D::hiddenChartStillGivesItsPicture()
{
    ChartControl hidden;
    hidden.setDataSource(table());
    hidden.setLegendVisible(false);
    hidden.setChartType(4);
    QVERIFY(hidden.drawnIn3D());
    const QImage image = hidden.picture(QSize(640, 400));
    for (int s = 0; s < 3; ++s)
        QVERIFY(pixelsLike(image, defaultSeriesColor(s)) > 300);
}

// Every window passes through "3D Bar" while it fills its type list. Making a graph then cost
// each window an OpenGL context, about 30 MB and half a second, for a chart nobody chose.
void TstChart3D::noGraphIsMadeUntilA3DChartHasFigures()
{
    WindowFixture fx;
    ChartWindow *w = openOn120(fx);
    QVERIFY(w);
    QCOMPARE(w->cmbType->currentIndex(), 9);
    QVERIFY(!w->MSChart1->view3D());
    w->cmbType->setCurrentIndex(2);
    QVERIFY(w->MSChart1->view3D());
    QVERIFY(w->MSChart1->drawnIn3D());
    w->close();

    ChartControl empty;
    empty.setChartType(0);
    QVERIFY(!empty.view3D());
    QVERIFY(!empty.drawnIn3D());
}

void TstChart3D::oddTablesDrawWithoutFailing_data()
{
    QTest::addColumn<QVector<QVector<QVariant>>>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("scale");
    QTest::newRow("no rows") << QVector<QVector<QVariant>>{} << 3 << int(ChartModel::Linear);
    QTest::newRow("no value columns")
        << QVector<QVector<QVariant>>{{QStringLiteral("DUG 2026")}} << 0 << int(ChartModel::Linear);
    QTest::newRow("one month") << QVector<QVector<QVariant>>{{QStringLiteral("DUG 2026"), 5.0}} << 1
                               << int(ChartModel::Linear);
    QTest::newRow("all empty") << QVector<QVector<QVariant>>{{QStringLiteral("DUG 2026"),
                                                              QVariant(), QVariant()}}
                               << 2 << int(ChartModel::Linear);
    QTest::newRow("negative only, logarithmic")
        << QVector<QVector<QVariant>>{{QStringLiteral("P-D 2026"), -5.0, 0.0}} << 2
        << int(ChartModel::Logarithmic);
    QTest::newRow("mixed signs, per cent")
        << QVector<QVector<QVariant>>{{QStringLiteral("D-P 2026"), -500.0, 250.0, 0.0}} << 3
        << int(ChartModel::Percent);
}

// Whatever the table, every 3D code draws something or nothing, and gives a picture.
void TstChart3D::oddTablesDrawWithoutFailing()
{
    QFETCH(QVector<QVector<QVariant>>, rows);
    QFETCH(int, columns);
    QFETCH(int, scale);
    QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString}};
    for (int c = 1; c <= columns; ++c)
        fields.append({QStringLiteral("Mj%1").arg(c), QMetaType::Double});
    Recordset rs;
    rs.assign(fields, rows);
    m_chart->setChartType(0); // a 3D chart with figures, then a node whose table is odd
    m_chart->setDataSource(rs);
    m_chart->setScale(ChartModel::Scale(scale));
    for (int code : {0, 2, 4, 6, 8}) {
        m_chart->setChartType(code);
        QVERIFY(m_chart->drawnIn3D());
        QVERIFY(m_chart->view3D()->seriesDrawn() <= rows.size());
        QCOMPARE(m_chart->picture(QSize(320, 200)).size(), QSize(320, 200));
    }
}

QTEST_MAIN(TstChart3D)
#include "tst_chart3d.moc"
