#pragma once

#include <QSet>
#include <QString>

/// A turnover table of the book that has a summary which can answer statements in its place
/// (turnoversummary.h).
struct SummaryTable
{
    QString table;         ///< the turnover table, as PROMET
    QString summary;       ///< its summary table, as PROMET_SAZETAK
    QSet<QString> columns; ///< every column of the turnover table, in upper case
    /// No month amount can be NULL, so the sum of an expression of several amounts is that
    /// expression of their sums.
    bool amountsNotNull = false;
};
