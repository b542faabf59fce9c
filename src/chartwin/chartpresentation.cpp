// What acts on the chart without a query: type, scale, stacking, orientation, title, legend,
// patterns, the grid view, export and printing, and the chart's own notifications.
#include "chartwindow.h"

#include "output/chartprint.h"
#include "output/moduexcel.h"
#include "output/recordsetmodel.h"
#include "platform/chart/chartcontrol.h"
#include "platform/dialogs/busycursor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTableView>

namespace {
const QString kPatterns = QStringLiteral("Patern-za crno-bijelo");
const QString kColourReset = QStringLiteral("Prikaz u boji - reset");
const QString kChartView = QStringLiteral("Pregled podataka");
const QString kGridView = QStringLiteral("Pregled grafikona");
} // namespace

void ChartWindow::cmbType_Click()
{
    static const int codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 16};
    const int i = cmbType->currentIndex();
    if (i >= 0 && i < 12)
        MSChart1->setChartType(codes[i]);
}

void ChartWindow::cmbScale_Click()
{
    const QString text = cmbScale->currentText();
    if (text == u"Logaritamska os") {
        MSChart1->setScale(ChartModel::Logarithmic);
        MSChart1->setLogBase(10);
    } else if (text == u"Procentna os") {
        MSChart1->setScale(ChartModel::Percent);
    } else if (text == u"Linearna os") {
        MSChart1->setScale(ChartModel::Linear);
    }
}

void ChartWindow::chkNaslagati_Click()
{
    mnuPostGraf[2]->setChecked(chkNaslagati->isChecked());
    redraw();
}

void ChartWindow::chkRedIliKolona_Click()
{
    MSChart1->setSeriesInRow(!chkRedIliKolona->isChecked());
    MSChart1->refresh();
}

void ChartWindow::mnuPostGraf_Click(int index)
{
    // QAction toggles a checkable item by itself before this runs: the inversion has happened.
    switch (index) {
    case 0:
    case 1:
        displaySettings();
        break;
    case 2:
        chkNaslagati->setChecked(mnuPostGraf[2]->isChecked());
        displaySettings();
        break;
    case 3: {
        QString answer;
        if (dialogs().input(this, QStringLiteral("Unesite novi naslov na grafikonu:"),
                            QStringLiteral("Naslov na grafikonu"), MSChart1->titleText(), &answer))
            MSChart1->setTitleText(answer);
        break;
    }
    case 4: {
        QString answer;
        if (dialogs().input(this, QStringLiteral("Unesite footnotu - tekst na dnu grafikona:"),
                            QStringLiteral("Tekst na dnu grafikona"), MSChart1->footnoteText(),
                            &answer))
            MSChart1->setFootnoteText(answer);
        break;
    }
    default:
        break;
    }
}

void ChartWindow::displaySettings()
{
    if (!mnuPostGraf[0]->isChecked())
        MSChart1->setTitleText(QString());
    MSChart1->setLegendVisible(mnuPostGraf[1]->isChecked());
    MSChart1->setStacking(mnuPostGraf[2]->isChecked());
    if (mnuPregledPodataka->text() == kChartView) {
        dgPodaci->hide();
        MSChart1->show();
    } else {
        dgPodaci->show();
        MSChart1->hide();
    }
}

void ChartWindow::handToChart(const QString &title, const Shaping &shaping, BusyCursor &busy)
{
    m_chartRs.MoveFirst();
    {
        ChartControl::Batch once(*MSChart1);
        if (shaping.chartFilter.isEmpty()) {
            MSChart1->setDataSource(m_chartRs);
        } else {
            Recordset drawn = m_chartRs; // shares the rows; the filter is the copy's own
            drawn.setFilter(shaping.chartFilter);
            MSChart1->setDataSource(drawn);
        }
        MSChart1->setTitleText(title);
        displaySettings();
        MSChart1->setSeriesInRow(!chkRedIliKolona->isChecked());
        MSChart1->refresh();
    }
    QString error;
    const bool copied = MSChart1->copyToClipboard(&error);
    formatGrid();
    busy.restore();
    if (!copied)
        dialogs().message(this, QStringLiteral("Desila se greška: ") + error);
}

void ChartWindow::formatGrid()
{
    m_gridModel->setRecordset(m_chartRs);
    m_gridModel->setAmountFormat(true);
}

void ChartWindow::mnuPregledPodataka_Click()
{
    if (dgPodaci->isVisible() || mnuPregledPodataka->text() == kGridView) {
        dgPodaci->hide();
        mnuPregledPodataka->setText(kChartView);
        MSChart1->show();
        MSChart1->refresh();
    } else {
        formatGrid();
        dgPodaci->show();
        MSChart1->hide();
        mnuPregledPodataka->setText(kGridView);
    }
}

void ChartWindow::PrebaciUExcel(Recordset &rsZap)
{
    modUExcel::PrebaciUExcel(m_services, rsZap, this);
}

void ChartWindow::mnuIspis_Click()
{
    if (dialogs().message(this, QStringLiteral("Želite li ispisati grafikon?"), Dialogs::Question,
                          Dialogs::YesNo, QStringLiteral("Ispis grafikona")) != Dialogs::AnswerYes)
        return;
    QString error;
    if (!printChart(*MSChart1, m_services.printers.get(), logicalDpiX(), &error))
        dialogs().message(this, QStringLiteral("Desila se greška: ") + error);
}

void ChartWindow::MSChart1_PointSelected(int series, int point)
{
    MSChart1->setColumn(series);
    MSChart1->setRow(point);
    lblVrijednost->setText(MSChart1->data()); // as the chart gives it, unformatted
}

void ChartWindow::MSChart1_LegendActivated()
{
    // As the menu item would: its check mark flips, then the display settings apply it.
    mnuPostGraf[1]->setChecked(!mnuPostGraf[1]->isChecked());
    mnuPostGraf_Click(1);
}

void ChartWindow::MSChart1_SeriesActivated(int series)
{
    QColor chosen;
    if (!dialogs().color(this, m_dialogColor, &chosen))
        return; // Cancel leaves the series as it was
    m_dialogColor = chosen;
    const qint32 rgb = chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
    const QColor color(RedFromRGB(rgb), GreenFromRGB(rgb), BlueFromRGB(rgb));
    if (MSChart1->chartType() == 2 || MSChart1->chartType() == 3)
        MSChart1->setSeriesPen(series, color);
    else
        MSChart1->setSeriesFill(series, color);
}

void ChartWindow::mnuPatern_Click()
{
    const int count = MSChart1->seriesCount();
    if (mnuPatern->text() == kColourReset) {
        mnuPatern->setText(kPatterns);
        const QString title = MSChart1->titleText();
        ChartControl::Batch once(*MSChart1);
        MSChart1->resetToDefaults();
        MSChart1->setSeriesInRow(!chkRedIliKolona->isChecked());
        MSChart1->setLegendVisible(true);
        MSChart1->setTitleText(title);
        displaySettings();
    } else {
        mnuPatern->setText(kColourReset);
        ChartControl::Batch once(*MSChart1);
        for (int i = 1; i <= count; ++i)
            MSChart1->setSeriesPattern(i, i, QColor(255, 255, 255));
    }
}
