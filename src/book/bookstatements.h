#pragma once

#include "summarytable.h"

#include "platform/data/tsqladapter.h"

#include <QSet>
#include <QString>
#include <QVector>

/// How a statement runs on the embedded book: from the turnover summary where its answer cannot
/// differ (summaryrewrite.h), over a narrowed turnover table (distinctrewrite.h), else as the
/// adapter makes it.
namespace BookStatements {

/// The statement for SQLite on a book with these summaries (none: as the adapter makes it) and
/// the columns that name their table's rowid (DistinctRewrite::rowKeys). A statement answered
/// from a summary says so in via ("iz sažetka").
TSqlAdapter::Result adapt(const QString &tsql, const QVector<SummaryTable> &summaries,
                          const QSet<QString> &rowKeys = {});

/// Has every connection to an embedded book opened from now on run its statements so, and read
/// the turnover rows while a key of a summary holds an amount kept out of its sums. Calling it
/// again changes nothing.
void install();

/// Whether statements may be answered from a summary (the default). Off, every statement reads
/// the turnover rows, for measuring what the summary saves.
void setSummariesUsed(bool use);

} // namespace BookStatements
