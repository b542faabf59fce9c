#include "windowsupport.h"

#include <QtCharts>

using namespace TestSupport;

class TstChartInteraction : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_fx.reset(); } // closing the window
    void pointValuesAndThreeDimensionalEntries();
    void seriesColourPenOrFill_data();
    void seriesColourPenOrFill();
    void doubleClicksOnTheChart();

private:
    void drawRows(int rows);
    QChartView *view() const { return m_w->MSChart1->findChild<QChartView *>(); }
    std::unique_ptr<WindowFixture> m_fx;
    QPointer<ChartWindow> m_w;
};

void TstChartInteraction::init()
{
    m_fx = std::make_unique<WindowFixture>();
    m_w = m_fx->open();
    m_w->resize(1000, 700);
    QApplication::processEvents();
}

// Rows "DUG 2021".. with three months, one series per row.
void TstChartInteraction::drawRows(int rows)
{
    QVector<QVector<QVariant>> data;
    for (int r = 0; r < rows; ++r)
        data.append({QStringLiteral("DUG %1").arg(2021 + r), -1234.5 * (r + 1), 100.0 * (r + 1),
                     1234.5678 + r});
    m_w->chartRecordset().assign({{QStringLiteral("Godina"), QMetaType::QString},
                                  {QStringLiteral("Mj01"), QMetaType::Double},
                                  {QStringLiteral("Mj02"), QMetaType::Double},
                                  {QStringLiteral("Mj03"), QMetaType::Double}},
                                 data);
    m_w->MSChart1->setDataSource(m_w->chartRecordset());
    m_w->MSChart1->setTitleText(QStringLiteral("Naslov grafikona"));
    QApplication::processEvents();
}

// The value label and the tip give the chart's own text of a point, chosen by a click on a bar or
// on a line, or by the chart's signal; the 3D entries without OpenGL.
void TstChartInteraction::pointValuesAndThreeDimensionalEntries()
{
    // half way up the bar, and on the line, at Mj02, whose value is 100
    for (const auto &[typeIndex, height] : {std::pair{1, 50.0}, std::pair{3, 100.0}}) {
        m_w->cmbType->setCurrentIndex(typeIndex);
        drawRows(1);
        m_w->lblVrijednost->clear();
        QChart *chart = view()->chart();
        const QPointF at = chart->mapToPosition(QPointF(1, height), chart->series().value(0));
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {},
                          view()->mapFromScene(chart->mapToScene(at)));
        QCOMPARE(m_w->lblVrijednost->text(), QStringLiteral("100"));
    }
    drawRows(2);
    emit m_w->MSChart1->pointSelected(2, 1);
    QCOMPARE(m_w->lblVrijednost->text(), QStringLiteral("-2469"));
    emit m_w->MSChart1->pointSelected(1, 3);
    QCOMPARE(m_w->lblVrijednost->text(), QStringLiteral("1234.5678"));
    emit m_w->MSChart1->pointSelected(7, 9); // outside the data: an empty value, no failure
    QCOMPARE(m_w->lblVrijednost->text(), QString());
    QCOMPARE(m_w->MSChart1->valueTip(1, 3), QStringLiteral("DUG 2021 - Mj03: 1,234.57"));
    QCOMPARE(m_w->MSChart1->valueTip(1, 9), QString());
    // the per cent axis draws each value in per cent of the largest: -1234.5 of 2469
    m_w->cmbScale->setCurrentIndex(1);
    QCOMPARE(*m_w->MSChart1->model().series().value(0).values.value(0), -50.0);

    // the offscreen platform has no OpenGL: the 3D entries draw their flat counterparts, and the
    // window says so once in its status line, however often a 3D entry is drawn
    QSignalSpy said(m_w->MSChart1, &ChartControl::statusMessage);
    const int chartHeight = m_w->MSChart1->height();
    for (int index : {0, 2, 4, 6, 8, 1, 0}) {
        m_w->cmbType->setCurrentIndex(index);
        drawRows(2);
        QVERIFY(!m_w->MSChart1->drawnIn3D());
        QCOMPARE(view()->chart()->series().isEmpty(), false);
        QVERIFY(!m_w->MSChart1->picture(QSize(400, 300)).isNull());
    }
    QCOMPARE(said.count(), 1);
    QCOMPARE(m_w->statusBar()->currentMessage(),
             QStringLiteral("3D prikaz nije dostupan (nema OpenGL-a): grafikon je nacrtan u 2D."));
    // the status line takes its room from the chart, which follows the smaller client area
    QVERIFY(m_w->statusBar()->isVisible());
    QVERIFY(m_w->MSChart1->height() < chartHeight);
}

void TstChartInteraction::seriesColourPenOrFill_data()
{
    QTest::addColumn<int>("typeIndex");
    QTest::addColumn<bool>("pen");
    QTest::newRow("2D line") << 3 << true;
    QTest::newRow("3D line") << 2 << true;
    QTest::newRow("2D bar") << 1 << false;
    QTest::newRow("2D area") << 5 << false;
    QTest::newRow("pie") << 10 << false;
}

// The chosen colour goes to the series' pen or fill; Cancel, or no colour chosen, changes nothing.
void TstChartInteraction::seriesColourPenOrFill()
{
    QFETCH(int, typeIndex);
    QFETCH(bool, pen);
    m_w->cmbType->setCurrentIndex(typeIndex);
    drawRows(3);
    const QColor chosen(10, 20, 30); // the host's red, green and blue bytes, each in its place
    m_fx->dialogs->colors.push_back(chosen);
    m_w->MSChart1_SeriesActivated(2);
    m_fx->dialogs->colors.push_back(QColor()); // Cancel
    m_w->MSChart1_SeriesActivated(2);
    m_w->MSChart1_SeriesActivated(1); // nothing queued: Cancel as well
    const auto look = m_w->MSChart1->model().looks.value(1);
    QCOMPARE(look.pen.has_value(), pen);
    QCOMPARE(look.fill.has_value(), !pen);
    QCOMPARE(pen ? *look.pen : *look.fill, chosen);
    QVERIFY(!m_w->MSChart1->model().looks.value(0).pen &&
            !m_w->MSChart1->model().looks.value(0).fill);
}

// The title and the footnote ask for their text, from the chart or the menu: Cancel keeps the
// title, OK on an empty answer clears it, and so does the title's off (on again leaves it empty);
// the legend goes, and its menu item loses the check mark. Patterns, and back to colour.
void TstChartInteraction::doubleClicksOnTheChart()
{
    drawRows(2);
    QChart *chart = view()->chart();
    const QPointF title(chart->plotArea().center().x(), chart->plotArea().top() - 8);
    m_fx->dialogs->inputs = {QStringLiteral("Novi naslov"), QString(), QStringLiteral(""),
                             QStringLiteral("Izvor: knjiga")};
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {},
                       view()->mapFromScene(chart->mapToScene(title)));
    QCOMPARE(m_fx->dialogs->prompts,
             QStringList{QStringLiteral("Unesite novi naslov na grafikonu:")});
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Novi naslov"));
    m_w->mnuPostGraf[3]->trigger();
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Novi naslov"));
    m_w->mnuPostGraf[3]->trigger();
    QCOMPARE(m_w->MSChart1->titleText(), QString());
    m_w->MSChart1->setTitleText(QStringLiteral("Novi naslov"));
    m_w->mnuPostGraf[0]->trigger();
    m_w->mnuPostGraf[0]->trigger();
    QCOMPARE(m_w->MSChart1->titleText(), QString());
    m_w->mnuPostGraf_Click(4);
    QApplication::processEvents();
    auto *footnote = m_w->MSChart1->findChild<QLabel *>();
    QVERIFY(footnote && footnote->isVisible());
    QCOMPARE(footnote->text(), QStringLiteral("Izvor: knjiga"));
    m_fx->dialogs->inputs.push_back(QStringLiteral("Drugi izvor"));
    QTest::mouseDClick(footnote, Qt::LeftButton);
    QCOMPARE(m_fx->dialogs->prompts.last(),
             QStringLiteral("Unesite footnotu - tekst na dnu grafikona:"));
    QCOMPARE(m_w->MSChart1->footnoteText(), QStringLiteral("Drugi izvor"));

    QVERIFY(m_w->mnuPostGraf[1]->isChecked());
    QLegend *legend = view()->chart()->legend(); // the chart drawn anew with the footnote
    const QPointF centre = legend->mapToScene(legend->rect().center());
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, view()->mapFromScene(centre));
    QVERIFY(!m_w->mnuPostGraf[1]->isChecked() && !m_w->MSChart1->legendVisible());
    m_w->mnuPostGraf[1]->trigger(); // the menu item brings it back
    QVERIFY(m_w->mnuPostGraf[1]->isChecked() && m_w->MSChart1->legendVisible());

    // patterns for black and white, and back to colour
    m_w->chkRedIliKolona->setChecked(true); // series in columns: the way back keeps it
    m_w->mnuPostGraf[2]->setChecked(true);  // stacking from the menu is re-applied
    drawRows(5);
    m_w->MSChart1->setStacking(true);
    m_w->MSChart1->setFootnoteText(QStringLiteral("Izvor: knjiga"));
    QCOMPARE(m_w->MSChart1->seriesCount(), 3); // three months as series
    m_w->mnuPatern_Click();
    QCOMPARE(m_w->mnuPatern->text(), QStringLiteral("Prikaz u boji - reset"));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m_w->MSChart1->model().looks.value(i).pattern, i + 1);
        QCOMPARE(*m_w->MSChart1->model().looks.value(i).fill, QColor(Qt::white));
    }
    QVERIFY(!m_w->MSChart1->picture(QSize(400, 300)).isNull());

    m_w->MSChart1->setLegendVisible(false); // the legend's menu item is checked
    m_w->mnuPatern_Click();
    QCOMPARE(m_w->mnuPatern->text(), QStringLiteral("Patern-za crno-bijelo"));
    QVERIFY(m_w->MSChart1->model().looks.isEmpty());
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Naslov grafikona"));
    QVERIFY(m_w->MSChart1->legendVisible() && !m_w->MSChart1->seriesInRow());
    QVERIFY(m_w->MSChart1->model().stacked);
    QCOMPARE(m_w->MSChart1->footnoteText(), QStringLiteral("Izvor: knjiga"));
}

QTEST_MAIN(TstChartInteraction)
#include "tst_chartinteraction.moc"
