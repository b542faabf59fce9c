#include "planrows.h"

#include "platform/data/recordset.h"

#include <cmath>

namespace PlanRows {

namespace {

const QString kPlan = QStringLiteral("PLAN_");
const QString kReal = QStringLiteral("REAL_");
const QString kIndex = QStringLiteral("INDEKS_");

// The row whose label begins with prefix; an empty row, labelled with the prefix and the year,
// when there is none.
QVector<QVariant> rowOf(const Recordset &rs, const QString &prefix, const QString &year)
{
    for (int r = 0; r < rs.RecordCount(); ++r)
        if (rs.valueAt(r, 0).toString().startsWith(prefix)) {
            QVector<QVariant> row;
            for (int f = 0; f < rs.fieldCount(); ++f)
                row << rs.valueAt(r, f);
            return row;
        }
    QVector<QVariant> row(rs.fieldCount());
    if (!row.isEmpty())
        row[0] = prefix + year;
    return row;
}

QString yearOf(const Recordset &rs)
{
    for (int r = 0; r < rs.RecordCount(); ++r) {
        const QString label = rs.valueAt(r, 0).toString();
        for (const QString &prefix : {kPlan, kReal})
            if (label.startsWith(prefix))
                return label.mid(prefix.size());
    }
    return {};
}

} // namespace

QVariant index(const QVariant &plan, const QVariant &realisation)
{
    bool ok = false;
    const double p = plan.isNull() ? 0 : plan.toDouble(&ok);
    if (!ok || p == 0 || !std::isfinite(p))
        return QVariant(QMetaType(QMetaType::Double));
    const double r = realisation.isNull() ? 0 : realisation.toDouble();
    const double percent = std::round(r / p * 100.0 * 100.0) / 100.0;
    return std::isfinite(percent) ? QVariant(percent) : QVariant(QMetaType(QMetaType::Double));
}

QString seriesTitle(const QString &row)
{
    static const std::pair<const QString *, QString> titles[] = {
        {&kPlan, QStringLiteral("Plan ")},
        {&kReal, QStringLiteral("Realizacija ")},
        {&kIndex, QStringLiteral("Indeks ")}};
    for (const auto &[prefix, title] : titles)
        if (row.startsWith(*prefix))
            return title + row.mid(prefix->size());
    return row;
}

int colourSlot(const QString &row)
{
    const QString *prefixes[] = {&kPlan, &kReal, &kIndex};
    for (int slot = 0; slot < 3; ++slot)
        if (row.startsWith(*prefixes[slot]))
            return slot;
    return -1;
}

QString indexFilter()
{
    return QStringLiteral("Godina LIKE '") + kIndex + QStringLiteral("*'");
}

MonthlyTotals totals(const Recordset &rows)
{
    MonthlyTotals t;
    t.totalLine = false;
    for (int r = 0; r < rows.RecordCount(); ++r) {
        const QString label = rows.valueAt(r, 0).toString();
        const QString year = label.mid(kIndex.size());
        if (label.startsWith(kIndex))
            t.rows.insert(label, {MonthlyTotals::Figure::Index, kReal + year, kPlan + year});
    }
    return t;
}

void arrange(Recordset &rows, View view)
{
    if (rows.fieldCount() == 0)
        return;
    const QString year = yearOf(rows);
    const QVector<QVariant> plan = rowOf(rows, kPlan, year);
    const QVector<QVariant> real = rowOf(rows, kReal, year);
    QVector<Recordset::FieldInfo> fields = rows.fields();
    for (int f = 1; f < fields.size(); ++f)
        fields[f].type = QMetaType::Double; // a month without any value says no type of its own
    QVector<QVector<QVariant>> out;
    switch (view) {
    case View::Plan:
        out = {plan, real};
        break;
    case View::Realizacija:
        out = {real, plan};
        break;
    case View::Indeks: {
        QVector<QVariant> ratio(fields.size());
        ratio[0] = kIndex + year;
        for (int f = 1; f < fields.size(); ++f)
            ratio[f] = index(plan[f], real[f]);
        out = {plan, real, ratio};
        break;
    }
    }
    rows.assign(fields, out);
}

} // namespace PlanRows
