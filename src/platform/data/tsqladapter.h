#pragma once

#include <QSet>
#include <QString>
#include <QVector>

/// Rewrites statements written for SQL Server so that the embedded SQLite book runs them with the
/// same meaning. Works on tokens: string literals and identifiers are never rewritten inside.
namespace TSqlAdapter {

struct Token
{
    enum Kind { Space, Word, Quoted, String, Number, Punct, Comment };
    Kind kind;
    QString text;
};

/// Splits SQL text into tokens; joining the texts gives back the input unchanged.
QVector<Token> tokenize(const QString &sql);

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

struct Result
{
    QString sql;       ///< the statement for SQLite
    bool noop = false; ///< the statement has no meaning here ("SET TEXTSIZE n") and succeeds as is
    bool fromSummary = false; ///< it reads a turnover summary instead of the turnover rows
};

/// The statement for SQLite. A statement whose answer cannot differ when read from a summary of
/// the turnover tables is pointed there (summaryrewrite.h).
/// A SELECT DISTINCT over a turnover table reads only the distinct values it needs of the table
/// (distinctrewrite.h; rowKeys as DistinctRewrite::rowKeys gives them).
Result adapt(const QString &tsql, const QVector<SummaryTable> &summaries = {},
             const QSet<QString> &rowKeys = {});

} // namespace TSqlAdapter
