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

struct Result
{
    QString sql;       ///< the statement for SQLite
    bool noop = false; ///< the statement has no meaning here ("SET TEXTSIZE n") and succeeds as is
    /// How the statement came to be, when a rewrite of the layer above gave it: the trace shows
    /// its stage as "sqlite (<via>)".
    QString via;
};

/// The statement for SQLite.
Result adapt(const QString &tsql);

} // namespace TSqlAdapter
