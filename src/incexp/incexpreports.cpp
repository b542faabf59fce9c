// The income and expense window's printing: the figures on display, and a group's accounts and
// partners with their shares, month by month or in total.
#include "frmfingrafprihodrashod.h"

#include "incexp/groupreports.h"
#include "incexp/incexpstatements.h"
#include "output/frmispiscr.h"
#include "platform/chart/chartcontrol.h"
#include "platform/dialogs/busycursor.h"

void frmFinGrafPrihodRashod::mnuIspisP_Click(int index)
{
    if (index == 0) {
        showReport(std::make_unique<CRFinPoMjes>(monthlyTotals()), MSChart1->titleText(),
                   chartRecordset());
        return;
    }
    if (m_groupKey.trimmed().isEmpty()) {
        dialogs().message(this, QStringLiteral("Niste zadali ime grupe (PRIHODI-RASHODI)!"),
                          Dialogs::Information);
        return;
    }
    const QString title = IncExpSql::groupName(m_groupKey) + QStringLiteral(" - UČEŠĆE U %");
    std::unique_ptr<Report> report;
    if (index == 1)
        report = std::make_unique<CRFinPoMjesGrupa>();
    else
        report = std::make_unique<CRFinPoMjesGrupaZb>();
    // A report of a large group takes seconds, most of them the statement: a box tells how far
    // it has come when it takes longer than half a second.
    const QString what = QStringLiteral("Izvještaj: ") + title;
    dialogs().progress(this, what, 0);
    const Recordset rows = groupShareRows(what);
    dialogs().progress(this, what, 60);
    showReport(std::move(report), title, rows);
    dialogs().progress(this, what, 100);
}

Recordset frmFinGrafPrihodRashod::groupShareRows(const QString &progress)
{
    BusyCursor busy;
    // a message ends the progress first
    auto tell = [&](const QString &text, Dialogs::Icon icon) {
        dialogs().progress(this, progress, 100);
        busy.restore();
        dialogs().message(this, text, icon);
    };
    Recordset groupRows, shares;
    QStringList accounts;
    if (!openFill(IncExpSql::groupRows(m_groupKey, host().brojPoduzeca), groupRows)) {
        tell(QStringLiteral("GREŠKA u punjenju konta za grupu:") + m_groupKey,
             Dialogs::Exclamation);
    } else if (groupRows.Bof() && groupRows.Eof()) {
        tell(QStringLiteral("Nisu upisana konta za grupu: ") + IncExpSql::groupName(m_groupKey) +
                 QStringLiteral(" !"),
             Dialogs::NoIcon);
    } else {
        for (groupRows.MoveFirst(); !groupRows.Eof(); groupRows.MoveNext())
            accounts << groupRows.value(QStringLiteral("Konto")).toString();
    }
    // Without the group's accounts the statement would take every account of the book: the
    // report then shows no rows.
    if (accounts.isEmpty())
        return shares;
    qint16 first = 0, last = 0;
    if (!monthRange(&first, &last) || first > last) {
        tell(QStringLiteral("Greška u pristupu podacima za grupu ") + m_groupKey,
             Dialogs::Exclamation);
        return shares;
    }
    busy.resume();
    if (!openFill(IncExpSql::shareData(
                      IncExpSql::shareAccountCondition(accounts),
                      IncExpSql::shareColumns(IncExpSql::kindOfTag(m_groupTag), first, last),
                      {ImeBazePrometa, host().brojPoduzeca, firstYear(), lastYear()}),
                  shares)) {
        tell(QStringLiteral("Greška u pristupu podacima za grupu ") + m_groupKey,
             Dialogs::Exclamation);
        shares.clear();
    }
    return shares;
}

frmIspisCR *frmFinGrafPrihodRashod::showReport(std::unique_ptr<Report> report, const QString &title,
                                               const Recordset &rows)
{
    BusyCursor busy;
    frmIspisCR *preview = frmIspisCR::prikaži(services(), this, std::move(report), title, title,
                                              host().nazivFirme, rows);
    m_lastPreview = preview;
    return preview;
}
