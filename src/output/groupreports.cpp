#include "groupreports.h"

#include "output/groupshares.h"
#include "output/recordsetmodel.h"

#include <QFont>
#include <QLocale>
#include <QTextDocument>

namespace {

QStringList fields()
{
    return {QStringLiteral("Naslov"), QStringLiteral("NazivFirme"), QStringLiteral("Filter")};
}

QString esc(const QString &s)
{
    return s.toHtmlEscaped();
}

QString percent(const std::optional<double> &v)
{
    return v ? QLocale().toString(*v, 'f', 2) + QStringLiteral(" %") : QString();
}

// One table of both reports; byMonth adds a share beside every month, otherwise one share column
// on the total.
QString table(const Report &r, const GroupShares &g, bool byMonth, const QString &base)
{
    const QString num = QStringLiteral("<td align=\"right\" style=\"white-space:nowrap\">%1</td>");
    QString html = QStringLiteral("<html><body>");
    html += QStringLiteral("<h2>%1</h2>").arg(esc(r.text(QStringLiteral("Naslov"))));
    html += QStringLiteral("<p><b>%1</b></p>").arg(esc(r.text(QStringLiteral("NazivFirme"))));
    if (!r.text(QStringLiteral("Filter")).isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(esc(r.text(QStringLiteral("Filter"))));
    html += QStringLiteral("<p><i>%1</i></p>").arg(esc(base));
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">"
                           "<thead><tr><th>Godina</th><th>Konto</th><th>Naziv konta</th>"
                           "<th>Komit</th><th>Komitent</th>");
    for (const QString &m : g.months)
        html += QStringLiteral("<th align=\"right\">%1</th>").arg(esc(m)) +
                (byMonth ? QStringLiteral("<th align=\"right\">%</th>") : QString());
    html += QStringLiteral("<th align=\"right\">Ukupno</th><th align=\"right\">Učešće %</th>"
                           "</tr></thead>");
    for (const GroupShares::Line &l : g.lines) {
        const bool sum = l.level != GroupShares::Partner;
        const QString b = sum ? QStringLiteral("<b>") : QString();
        const QString bEnd = sum ? QStringLiteral("</b>") : QString();
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
        html += QStringLiteral("<tr>");
        for (const QString &t : label)
            html +=
                QStringLiteral("<td style=\"white-space:nowrap\">%1%2%3</td>").arg(b, esc(t), bEnd);
        for (int m = 0; m < g.months.size(); ++m) {
            html += num.arg(b + RecordsetModel::formatAmount(l.amounts[m]) + bEnd);
            if (byMonth)
                html += num.arg(percent(l.shares.value(m)));
        }
        html += num.arg(b + RecordsetModel::formatAmount(l.total) + bEnd);
        html += num.arg(percent(l.totalShare)) + QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table></body></html>");
    return html;
}

void setUp(QTextDocument &doc, const QString &html, const QString &name)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(5.5);
    doc.setDefaultFont(font);
    doc.setHtml(html);
    doc.setMetaInformation(QTextDocument::DocumentTitle, name);
}

} // namespace

CRFinPoMjesGrupa::CRFinPoMjesGrupa() : Report(QStringLiteral("Učešće u % po mjesecima"), fields())
{
}

void CRFinPoMjesGrupa::compose(QTextDocument &doc, const Recordset &rows) const
{
    setUp(doc,
          table(*this, GroupShares::from(rows), true,
                QStringLiteral("Učešće u % po mjesecima: komitent u prometu svog konta u "
                               "mjesecu, konto u prometu grupe u mjesecu iste godine.")),
          documentName());
}

CRFinPoMjesGrupaZb::CRFinPoMjesGrupaZb() : Report(QStringLiteral("Učešće u % ukupno"), fields()) {}

void CRFinPoMjesGrupaZb::compose(QTextDocument &doc, const Recordset &rows) const
{
    setUp(doc,
          table(*this, GroupShares::from(rows), false,
                QStringLiteral("Učešće u % ukupno za odabrane mjesece: komitent u prometu svog "
                               "konta, konto u prometu grupe iste godine.")),
          documentName());
}
