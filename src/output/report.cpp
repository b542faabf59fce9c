#include "report.h"

#include "output/recordsetmodel.h"

#include <QPrinter>

#include <algorithm>
#include <cmath>

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

CRFinPoMjes::CRFinPoMjes(MonthlyTotals totals)
    : Report(QStringLiteral("Promet konta"),
             {QStringLiteral("Naslov"), QStringLiteral("NazivFirme"), QStringLiteral("Filter")}),
      m_totals(std::move(totals))
{
}

ReportTable CRFinPoMjes::table(const Recordset &rows) const
{
    using Figure = MonthlyTotals::Figure;
    const int labelField = std::max(0, rows.fieldIndex(QStringLiteral("Godina")));
    QVector<int> monthField;
    for (int m = 1; m <= 12; ++m)
        monthField << rows.fieldIndex(QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')));

    // The figures once, as numbers: every page and the widths read them. Line n is the total
    // line when there is one; a figure without a value shows nothing.
    const int n = rows.RecordCount();
    const bool totalLine = m_totals.totalLine;
    const int lines = n + (totalLine ? 1 : 0);
    QVector<double> figures(size_t(lines) * 13);
    QVector<bool> blank(size_t(lines) * 13);
    QVector<bool> percent(lines);
    QStringList labels;
    QVector<MonthlyTotals::Rule> rules;
    QHash<QString, double> sums; // of each row's months, by label: what an index measures
    for (int r = 0; r < n; ++r) {
        labels << rows.valueAt(r, labelField).toString();
        rules << m_totals.ruleOf(labels.last());
        double sum = 0;
        int last = -1;
        for (int m = 0; m < 12; ++m) {
            const QVariant v = monthField[m] >= 0 ? rows.valueAt(r, monthField[m]) : QVariant();
            blank[r * 13 + m] = v.isNull();
            figures[r * 13 + m] = v.toDouble();
            sum += figures[r * 13 + m];
            if (!v.isNull())
                last = m;
        }
        sums.insert(labels.last(), sum);
        if (rules.last().figure == Figure::Sum) {
            figures[r * 13 + 12] = sum;
        } else if (rules.last().figure == Figure::Balance) {
            blank[r * 13 + 12] = last < 0;
            figures[r * 13 + 12] = last < 0 ? 0 : figures[r * 13 + last];
        }
    }
    for (int r = 0; r < n; ++r) {
        if (rules[r].figure != Figure::Index)
            continue;
        percent[r] = true;
        const double of = sums.value(rules[r].of), per = sums.value(rules[r].per);
        const double index = std::round(of / per * 100.0 * 100.0) / 100.0;
        blank[r * 13 + 12] = !sums.contains(rules[r].of) || !sums.contains(rules[r].per) ||
                             per == 0 || !std::isfinite(index);
        figures[r * 13 + 12] = blank[r * 13 + 12] ? 0 : index;
    }
    if (totalLine)
        for (int r = 0; r < n; ++r)
            for (int m = 0; m < 13; ++m)
                figures[n * 13 + m] += figures[r * 13 + m];

    // every row a running balance: the year's figure is where the balance stood
    const bool balances = n > 0 ? std::all_of(rules.cbegin(), rules.cend(),
                                              [](const MonthlyTotals::Rule &rule) {
                                                  return rule.figure == Figure::Balance;
                                              })
                                : m_totals.rest.figure == Figure::Balance;
    QString shows = balances
                        ? QStringLiteral("Iznosi po mjesecima Mj01 – Mj12; saldo je stanje "
                                         "zadnjeg mjeseca s iznosom.")
                        : QStringLiteral("Iznosi po mjesecima Mj01 – Mj12 i ukupno za godinu.");
    for (int r = 0; r < n; ++r)
        if (percent[r])
            shows += QStringLiteral(" %1 je u postocima; za godinu: ukupno %2 / ukupno %3 × 100.")
                         .arg(labels[r], rules[r].of, rules[r].per);
    ReportTable t = headedTable(shows);

    ReportTable::Column label(QStringLiteral("Godina"), false, true);
    if (totalLine)
        label.widest = QStringLiteral("Ukupno");
    for (const QString &l : std::as_const(labels))
        if (l.size() > label.widest.size())
            label.widest = l;
    t.columns << label;
    auto amount = [](double v) { return RecordsetModel::formatAmount(v); };
    auto inPercent = [](double v) {
        return RecordsetModel::formatAmount(v) + QStringLiteral(" %");
    };
    for (int m = 0; m < 13; ++m) {
        ReportTable::Column c(m < 12 ? QStringLiteral("Mj%1").arg(m + 1, 2, 10, QLatin1Char('0'))
                              : balances ? QStringLiteral("Saldo")
                                         : QStringLiteral("Ukupno"),
                              true);
        double low[2] = {0, 0}, high[2] = {0, 0}; // amounts, per cents
        for (int r = 0; r < lines; ++r) {
            low[percent[r]] = std::min(low[percent[r]], figures[r * 13 + m]);
            high[percent[r]] = std::max(high[percent[r]], figures[r * 13 + m]);
        }
        c.widest = ReportTable::widestNumber(low[0], high[0], amount);
        if (percent.contains(true)) {
            const QString widest = ReportTable::widestNumber(low[1], high[1], inPercent);
            if (widest.size() >= c.widest.size())
                c.widest = widest;
        }
        t.columns << c;
    }
    t.rowCount = lines;
    t.row = [n, labels, figures, blank, percent, amount, inPercent](int r) {
        ReportTable::Row row;
        row.total = r == n;
        row.cells << (row.total ? QStringLiteral("Ukupno") : labels.value(r));
        for (int m = 0; m < 13; ++m) {
            const double v = figures[r * 13 + m];
            row.cells << (blank[r * 13 + m] ? QString() : percent[r] ? inPercent(v) : amount(v));
        }
        return row;
    };
    return t;
}
