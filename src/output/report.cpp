#include "report.h"

#include "output/recordsetmodel.h"

#include <QFont>
#include <QPrinter>
#include <QTextDocument>

bool Report::Database::SetDataSource(const Recordset &rs, int kind)
{
    if (kind != 3)
        return false;
    m_rows = rs;
    return true;
}

Report::Report(QString documentName, const QStringList &textFields)
    : m_documentName(std::move(documentName))
{
    for (const QString &name : textFields)
        m_fields.insert(name, TextField());
}

Report::~Report() = default;

Report::TextField *Report::textField(const QString &name)
{
    auto it = m_fields.find(name);
    return it == m_fields.end() ? nullptr : &it.value();
}

QString Report::text(const QString &name) const
{
    return m_fields.value(name).text();
}

void Report::setPrinter(std::unique_ptr<QPrinter> printer)
{
    m_printer = std::move(printer);
    if (m_printer)
        m_printer->setDocName(m_documentName);
}

QStringList Report::groups(const Recordset &rows) const
{
    QStringList labels;
    Recordset rs = rows;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        labels << rs.value(0).toString();
    return labels;
}

CRFinPoMjes::CRFinPoMjes()
    : Report(QStringLiteral("Promet konta"),
             {QStringLiteral("Naslov"), QStringLiteral("NazivFirme"), QStringLiteral("Filter")})
{
}

void CRFinPoMjes::compose(QTextDocument &doc, const Recordset &rows) const
{
    auto esc = [](const QString &s) { return s.toHtmlEscaped(); };
    const QString cell = QStringLiteral("<td align=\"right\" style=\"white-space:nowrap\">%1</td>");
    QString html = QStringLiteral("<html><body>");
    html += QStringLiteral("<h2>%1</h2>").arg(esc(text(QStringLiteral("Naslov"))));
    html += QStringLiteral("<p><b>%1</b></p>").arg(esc(text(QStringLiteral("NazivFirme"))));
    if (!text(QStringLiteral("Filter")).isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(esc(text(QStringLiteral("Filter"))));
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">"
                           "<tr><th align=\"left\">Godina</th>");
    for (int m = 1; m <= 12; ++m)
        html += QStringLiteral("<th align=\"right\">Mj%1</th>").arg(m, 2, 10, QLatin1Char('0'));
    html += QStringLiteral("<th align=\"right\">Ukupno</th></tr>");

    Recordset rs = rows;
    int monthField[13];
    for (int m = 1; m <= 12; ++m)
        monthField[m] = rs.fieldIndex(QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')));
    const int labelField = rs.fieldIndex(QStringLiteral("Godina"));
    double totals[13] = {};
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        html += QStringLiteral("<tr><td style=\"white-space:nowrap\">%1</td>")
                    .arg(esc(rs.value(labelField >= 0 ? labelField : 0).toString()));
        double rowTotal = 0;
        for (int m = 1; m <= 12; ++m) {
            const QVariant v = monthField[m] >= 0 ? rs.value(monthField[m]) : QVariant();
            html += cell.arg(v.isNull() ? QString() : RecordsetModel::formatAmount(v));
            totals[m] += v.toDouble();
            rowTotal += v.toDouble();
        }
        html += cell.arg(RecordsetModel::formatAmount(rowTotal)) + QStringLiteral("</tr>");
        totals[0] += rowTotal;
    }
    html += QStringLiteral("<tr><td><b>Ukupno</b></td>");
    for (int m = 1; m <= 12; ++m)
        html += QStringLiteral("<td align=\"right\" style=\"white-space:nowrap\"><b>%1</b></td>")
                    .arg(RecordsetModel::formatAmount(totals[m]));
    html += QStringLiteral("<td align=\"right\" "
                           "style=\"white-space:nowrap\"><b>%1</b></td></tr></table></body></html>")
                .arg(RecordsetModel::formatAmount(totals[0]));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(6);
    doc.setDefaultFont(font);
    doc.setHtml(html);
    doc.setMetaInformation(QTextDocument::DocumentTitle, documentName());
}
