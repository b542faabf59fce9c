#include "report.h"

#include "output/recordsetmodel.h"

#include <QPrinter>

#include <algorithm>

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

ReportTable Report::headedTable(const QString &shows) const
{
    ReportTable t;
    t.title = text(QStringLiteral("Naslov"));
    t.heading << text(QStringLiteral("NazivFirme"));
    if (!text(QStringLiteral("Filter")).isEmpty())
        t.heading << text(QStringLiteral("Filter"));
    t.heading << shows;
    return t;
}

QStringList Report::groups(const Recordset &rows) const
{
    QStringList labels;
    Recordset rs = rows;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        const QString label = rs.value(0).toString();
        if (labels.isEmpty() || labels.last() != label)
            labels << label;
    }
    return labels;
}

CRFinPoMjes::CRFinPoMjes()
    : Report(QStringLiteral("Promet konta"),
             {QStringLiteral("Naslov"), QStringLiteral("NazivFirme"), QStringLiteral("Filter")})
{
}

ReportTable CRFinPoMjes::table(const Recordset &rows) const
{
    ReportTable t =
        headedTable(QStringLiteral("Iznosi po mjesecima Mj01 – Mj12 i ukupno za godinu."));

    const int labelField = std::max(0, rows.fieldIndex(QStringLiteral("Godina")));
    QVector<int> monthField;
    for (int m = 1; m <= 12; ++m)
        monthField << rows.fieldIndex(QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')));

    // the amounts once, as numbers: every page and the widths read them
    const int n = rows.RecordCount();
    QVector<double> amounts(size_t(n + 1) * 13);
    QVector<bool> blank(n * 12); // a month without a value shows nothing
    QStringList labels;
    for (int r = 0; r < n; ++r) {
        labels << rows.valueAt(r, labelField).toString();
        for (int m = 0; m < 12; ++m) {
            const QVariant v = monthField[m] >= 0 ? rows.valueAt(r, monthField[m]) : QVariant();
            blank[r * 12 + m] = v.isNull();
            const double d = v.toDouble();
            amounts[r * 13 + m] = d;
            amounts[r * 13 + 12] += d;
            amounts[n * 13 + m] += d;
            amounts[n * 13 + 12] += d;
        }
    }

    ReportTable::Column label(QStringLiteral("Godina"), false, true);
    label.widest = QStringLiteral("Ukupno");
    for (const QString &l : std::as_const(labels))
        if (l.size() > label.widest.size())
            label.widest = l;
    t.columns << label;
    for (int m = 0; m < 13; ++m) {
        ReportTable::Column c(m < 12 ? QStringLiteral("Mj%1").arg(m + 1, 2, 10, QLatin1Char('0'))
                                     : QStringLiteral("Ukupno"),
                              true);
        double low = 0, high = 0;
        for (int r = 0; r <= n; ++r) {
            low = std::min(low, amounts[r * 13 + m]);
            high = std::max(high, amounts[r * 13 + m]);
        }
        c.widest = ReportTable::widestNumber(
            low, high, [](double v) { return RecordsetModel::formatAmount(v); });
        t.columns << c;
    }
    t.rowCount = n + 1;
    t.row = [n, labels, amounts, blank](int r) {
        ReportTable::Row row;
        row.total = r == n;
        row.cells << (row.total ? QStringLiteral("Ukupno") : labels.value(r));
        for (int m = 0; m < 13; ++m)
            row.cells << (!row.total && m < 12 && blank[r * 12 + m]
                              ? QString()
                              : RecordsetModel::formatAmount(amounts[r * 13 + m]));
        return row;
    };
    return t;
}
