#pragma once

#include <QHash>
#include <QString>

/// How a report of monthly amounts makes each row's figure for the year and whether the rows add
/// up to a total line. What the rows hold is the business of the window that drew them: it names
/// the rows by their labels, and the report only follows.
struct MonthlyTotals
{
    enum class Figure {
        Sum,     ///< the months added up
        Balance, ///< a running balance: the last month that has a value
        Index,   ///< in per cent, months as they are; the year is one row's sum per another's
    };
    struct Rule
    {
        Figure figure = Figure::Sum;
        QString of;  ///< Index: the row whose sum is measured
        QString per; ///< Index: the row whose sum is a hundred per cent
    };

    /// Rules by row label; a row not named here takes rest.
    QHash<QString, Rule> rows;
    Rule rest;
    /// The rows are like things whose sum means something: the months and the year figures added
    /// up on a line of their own.
    bool totalLine = true;

    Rule ruleOf(const QString &label) const { return rows.value(label, rest); }
};
