#pragma once

#include "platform/data/tsqladapter.h"
#include "summarytable.h"

/// Points a statement on a turnover table at the table's summary (turnoversummary.h) when the
/// answer cannot differ: the statement reads of the turnover table nothing but the firm, the year,
/// the account code and the month amounts, sums the amounts with SUM alone, and returns groups or
/// distinct values, never rows of the turnover table. Whatever the analysis does not recognise
/// leaves the statement as it is.
namespace SummaryRewrite {

/// The statement (its tokens, as TSqlAdapter::tokenize gives them) reading the summaries instead
/// of their turnover tables, or an empty string when it must read the turnover rows themselves.
QString rewrite(const QVector<TSqlAdapter::Token> &tokens, const QVector<SummaryTable> &tables);

} // namespace SummaryRewrite
