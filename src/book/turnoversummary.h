#pragma once

#include "platform/data/tsqladapter.h"
#include "summarytable.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

struct sqlite3;

/// The turnover summary of the embedded book. For a turnover table (PROMET, PROMETMT) the table
/// <name>_SAZETAK holds, per firm, year and account code, the number of turnover rows and the sums
/// of DUG00..DUG12 and POT00..POT12 over them (NULL where every amount behind a sum is NULL, as SUM
/// gives). Triggers on the turnover table keep it exact through every insert, update and delete,
/// a row moving to another account or year included: each sum carries the rounding error of every
/// addition, so it stays the rows' exact sum rounded once, whatever amounts came and went. An
/// amount of 10^15 or more (a slip, as a rule) is kept out of the sums and counted; while a key
/// holds one, statements read the turnover rows (readsRows). The adapter answers account-level
/// statements from the summary (summaryrewrite.h), a few hundred rows instead of every turnover
/// row of the account.
///
/// A book gets a summary only when asked: the demo book is made with one, and `fingraf sazetak`
/// adds one. A book without one is read as it always was.
namespace TurnoverSummary {

/// The turnover tables that can have a summary.
QStringList turnoverTables();
/// The summary table of a turnover table.
QString summaryTable(const QString &table);

/// The summaries of the book open as schema (for instance "dbo") that can answer statements: each
/// with its table and triggers exactly as add() makes them for the turnover table as it is now.
QVector<SummaryTable> usable(sqlite3 *db, const QString &schema);

/// Hears how far a long piece of work has come, in per cent (0 to 100, each value once).
using Progress = std::function<void(int percent)>;

/// Whether some key of the summary holds an amount kept out of its sums, so that statements must
/// read the turnover rows (also when that cannot be told).
bool readsRows(sqlite3 *db, const QString &schema, const SummaryTable &summary);

enum class Mode {
    Add,    ///< a table that has a summary keeps it
    Rebuild ///< every summary is dropped, whatever it holds, and made anew from the rows
};

/// Gives each turnover table of the book open in db (its main schema) that has no summary one,
/// filled from the present rows, all in one transaction; on failure the book stays as it was.
/// *added lists the tables that got one, empty when each had one already. A book another program
/// holds locked is waited for (booklock.h), then refused.
bool add(sqlite3 *db, QStringList *added, QString *error, const Progress &progress = {},
         Mode mode = Mode::Add);

/// add() on the book at path, which must exist and be writable; never creates a file.
bool addToBook(const QString &path, QStringList *added, QString *error,
               const Progress &progress = {}, Mode mode = Mode::Add);

/// Compares each summary of the book open in db with the count and sums of its turnover rows,
/// key by key: *differences names each key that differs (missing on either side, a count, or a
/// sum by a cent or more) and how. false with *error when there is nothing fingraf can check: a
/// turnover table without its summary, or with one fingraf does not keep.
bool check(sqlite3 *db, QStringList *differences, QString *error);

/// check() on the book at path, opened for reading only.
bool checkBook(const QString &path, QStringList *differences, QString *error);

} // namespace TurnoverSummary
