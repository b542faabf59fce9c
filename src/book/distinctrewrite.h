#pragma once

#include "platform/data/tsqladapter.h"
#include "summarytable.h"

#include <QSet>

struct sqlite3;

/// Narrows the turnover table of a SELECT DISTINCT to the distinct values it gives the rest of the
/// statement before anything is joined to it. The partner list of an account reads one turnover
/// row per partner and year, and joins each to the partner and its place, only to keep one of
/// every six; read as
///   (SELECT DISTINCT P.ANALKONTO FROM dbo.PROMET P WHERE <the conditions on P>) P
/// the join sees each partner once; and the DISTINCT of the whole becomes a GROUP BY of every item
/// of the select list, which SQLite sorts once instead of keeping a set besides. The answer cannot
/// differ: the conditions that move in read nothing but the turnover row, what stays outside reads
/// of it only the columns kept, and the result is a set of distinct rows either way. Whatever the
/// analysis does not recognise leaves the statement as it is.
namespace DistinctRewrite {

/// The statement (its tokens, as TSqlAdapter::tokenize gives them) with its turnover table
/// narrowed, or an empty string when it stays as it is. rowKeys ("TABLE.COLUMN", upper case)
/// are the columns that name their table's rowid: a join on one adds at most one row, so where
/// every join is on one the narrowed rows stay distinct and need no grouping.
QString rewrite(const QVector<TSqlAdapter::Token> &tokens, const QVector<SummaryTable> &tables,
                const QSet<QString> &rowKeys = {});

/// The columns of the tables of the book open as schema that name their table's rowid (its only
/// primary key column, declared INTEGER), as "TABLE.COLUMN" in upper case.
QSet<QString> rowKeys(sqlite3 *db, const QString &schema);

} // namespace DistinctRewrite
