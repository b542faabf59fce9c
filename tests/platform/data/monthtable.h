#pragma once

// A table shaped as the windows draw theirs: a row's label under "Godina", then its figure for
// each month under Mj01, Mj02, ...; an invalid value is a month without a figure.
#include "platform/data/recordset.h"

#include <QVariant>
#include <QVector>

inline Recordset monthTable(const QVector<QVector<QVariant>> &rows, int months = 12)
{
    QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString}};
    for (int m = 1; m <= months; ++m)
        fields.append({QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')), QMetaType::Double});
    Recordset rs;
    rs.assign(fields, rows);
    return rs;
}
