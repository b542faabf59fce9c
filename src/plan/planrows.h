#pragma once

#include "output/monthlytotals.h"

#include <QString>
#include <QVariant>

class Recordset;

/// What the plan windows show of the plan's row and the realisation's row, by the value buttons.
namespace PlanRows {

/// The value buttons: 0 "Plan", 1 "Realizacija", 2 "Indeks".
enum class View { Plan, Realizacija, Indeks };

/// Puts the rows PLAN_<year> and REAL_<year> in the order the view shows them: the chosen one
/// first, so that the comparison is always on screen. The index view has the plan, the
/// realisation and below them the row INDEKS_<year>. A row the statement did not give is taken
/// as one without values.
void arrange(Recordset &rows, View view);

/// The realisation in per cent of the plan, to two decimals; null (a gap) where the plan is zero
/// or missing. A missing realisation is nothing realised.
QVariant index(const QVariant &plan, const QVariant &realisation);

/// The record set filter that lets the index row through, for the chart of the index view.
QString indexFilter();

/// A row as the chart's reader sees it: "Plan 2026", "Realizacija 2026", "Indeks 2026" for the
/// rows PLAN_2026, REAL_2026 and INDEKS_2026 (the figures keep the rows' own names).
QString seriesTitle(const QString &row);
/// The palette place of a row, the same in every view: the plan first, the realisation second,
/// the index third; -1 for another row.
int colourSlot(const QString &row);

/// How the monthly report totals the rows arrange gave: the plan and the realisation are summed,
/// the index row's year figure is the index of their sums, and plan and realisation, being no
/// like things, have no total line.
MonthlyTotals totals(const Recordset &rows);

} // namespace PlanRows
