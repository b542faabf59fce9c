#pragma once

#include <QString>

/// Pieces every window's statements are built from. Texts spliced in have their apostrophes
/// doubled; numbers arrive as plain decimal text.
namespace SqlText {

/// Text between single quotes in SQL: apostrophes doubled.
QString text(const QString &value);

/// A partner code as a statement takes it, without quotes: a whole number in plain digits, with
/// whatever blanks stand round it (the tree's keys carry one), as it stands. Empty for anything
/// else, which then names no partner and gives no statement.
QString partnerCode(const QString &code);

/// The years a statement reads: " AND <column>>=<first> AND <column><=<last>", the years as plain
/// decimal text.
QString yearRange(const QString &column, const QString &firstYear, const QString &lastYear);

/// The month as two digits, "00" to "12".
QString twoDigits(int month);

/// The month columns for kind "DUG", "POT", "D-P" or "P-D"; empty when first > last.
QString KolonePoMjesecima(qint16 first, qint16 last, const QString &kind);
/// The running totals from month 0 up to each month of the range, for kind "D-P" or "P-D".
QString KolonePoMjesecimaKumulativno(qint16 first, qint16 last, const QString &kind);

/// The partners with turnover on an account in a range of years, by name: the partner level of
/// every window's tree.
QString partnerFill(const QString &table, int firm, const QString &account,
                    const QString &firstYear, const QString &lastYear);

} // namespace SqlText
