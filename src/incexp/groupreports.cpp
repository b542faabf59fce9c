#include "groupreports.h"

#include "groupshares.h"
#include "output/recordsetmodel.h"

#include <QLocale>

#include <memory>

namespace {

QStringList fields()
{
    return {QStringLiteral("Naslov"), QStringLiteral("NazivFirme"), QStringLiteral("Filter")};
}

QString percent(const std::optional<double> &v)
{
    return v ? QLocale().toString(*v, 'f', 2) + QStringLiteral(" %") : QString();
}

// The longer of two texts: a column's width is that of its longest text.
void keepLonger(QString &widest, const QString &text)
{
    if (text.size() > widest.size())
        widest = text;
}

// The table of both reports; byMonth adds a share beside every month, otherwise one share column
// on the total.
ReportTable shareTable(const Report &r, const Recordset &rows, bool byMonth, const QString &base)
{
    auto g = std::make_shared<const GroupShares>(GroupShares::from(rows));
    const QString range = g->months.isEmpty()
                              ? QStringLiteral("bez mjeseci")
                              : g->months.first() + QStringLiteral(" – ") + g->months.last();
    ReportTable t = r.headedTable(QStringLiteral("Mjeseci %1. %2").arg(range, base));

    const QString labels[] = {QStringLiteral("Godina"), QStringLiteral("Konto"),
                              QStringLiteral("Naziv konta"), QStringLiteral("Komit"),
                              QStringLiteral("Komitent")};
    for (const QString &l : labels)
        t.columns << ReportTable::Column(l, false, true);
    const int months = g->months.size();
    for (int m = 0; m < months; ++m) {
        t.columns << ReportTable::Column(g->months[m], true, false, byMonth ? m + 1 : 0);
        if (byMonth)
            t.columns << ReportTable::Column(QStringLiteral("%"), true, false, m + 1, false);
    }
    t.columns << ReportTable::Column(QStringLiteral("Ukupno"), true, false, -1);
    t.columns << ReportTable::Column(QStringLiteral("Učešće %"), true, false, -1);

    auto row = [g, byMonth, months](int i) {
        const GroupShares::Line &l = g->lines[i];
        ReportTable::Row out;
        out.total = l.level != GroupShares::Partner;
        QString label[5] = {l.year, l.account, l.accountName, l.partner, l.partnerName};
        if (l.level == GroupShares::Account) {
            label[3] = QString();
            label[4] = QStringLiteral("Ukupno konto ") + l.account;
        } else if (l.level == GroupShares::Year) {
            label[1] = label[2] = label[3] = QString();
            label[4] = QStringLiteral("Ukupno ") + l.year;
        } else if (l.level == GroupShares::Group) {
            label[4] = QStringLiteral("Ukupno grupa");
        }
        for (const QString &text : label)
            out.cells << text;
        for (int m = 0; m < months; ++m) {
            out.cells << RecordsetModel::formatAmount(l.amounts[m]);
            if (byMonth)
                out.cells << percent(g->share(i, m));
        }
        out.cells << RecordsetModel::formatAmount(l.total) << percent(g->totalShare(i));
        return out;
    };

    // the widths: the longest label, and each number column's extremes as they are shown
    QVector<double> low(months + 1, 0), high(months + 1, 0);
    double lowShare = 0, highShare = 0;
    for (int i = 0; i < g->lines.size(); ++i) {
        const GroupShares::Line &l = g->lines[i];
        keepLonger(t.columns[0].widest, l.year);
        keepLonger(t.columns[1].widest, l.account);
        keepLonger(t.columns[2].widest, l.accountName);
        keepLonger(t.columns[3].widest, l.partner);
        keepLonger(t.columns[4].widest, l.partnerName);
        for (int m = 0; m <= months; ++m) {
            const double v = m < months ? l.amounts[m] : l.total;
            low[m] = std::min(low[m], v);
            high[m] = std::max(high[m], v);
            const std::optional<double> s = m < months ? g->share(i, m) : g->totalShare(i);
            if (s) {
                lowShare = std::min(lowShare, *s);
                highShare = std::max(highShare, *s);
            }
        }
    }
    keepLonger(t.columns[4].widest, QStringLiteral("Ukupno konto ") + t.columns[1].widest);
    const QString shareWidest =
        ReportTable::widestNumber(lowShare, highShare, [](double v) { return percent(v); });
    auto amount = [](double v) { return RecordsetModel::formatAmount(v); };
    int c = 5;
    for (int m = 0; m <= months; ++m) {
        t.columns[c].widest = ReportTable::widestNumber(low[m], high[m], amount);
        ++c;
        if (byMonth || m == months)
            t.columns[c++].widest = shareWidest;
    }
    t.rowCount = g->lines.size();
    t.row = row;
    return t;
}

} // namespace

CRFinPoMjesGrupa::CRFinPoMjesGrupa() : Report(QStringLiteral("Učešće u % po mjesecima"), fields())
{
}

ReportTable CRFinPoMjesGrupa::table(const Recordset &rows) const
{
    return shareTable(*this, rows, true,
                      QStringLiteral("Učešće u % po mjesecima: komitent u prometu svog konta u "
                                     "mjesecu, konto u prometu grupe u mjesecu iste godine."));
}

CRFinPoMjesGrupaZb::CRFinPoMjesGrupaZb() : Report(QStringLiteral("Učešće u % ukupno"), fields()) {}

ReportTable CRFinPoMjesGrupaZb::table(const Recordset &rows) const
{
    return shareTable(*this, rows, false,
                      QStringLiteral("Učešće u % ukupno za odabrane mjesece: komitent u prometu "
                                     "svog konta, konto u prometu grupe iste godine."));
}
