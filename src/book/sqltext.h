#pragma once

#include <QString>

/// Pieces every window's statements are built from, and the one place that renders the values
/// spliced into them: texts have their apostrophes doubled, numbers are plain decimal digits,
/// partner codes follow one policy (partnerCode), table names are plain (isPlainName).
namespace SqlText {

/// A whole number (a firm, a year, a plan) as a statement takes it: plain decimal digits.
QString number(qint64 value);

/// Whether a table name may stand in a statement as it is: ASCII letters, digits and _, not
/// starting with a digit, at most 128 of them (blanks round it aside). The entry refuses others.
bool isPlainName(const QString &name);

/// A table of the book's schema as a statement names it: "dbo." and the plain name.
QString table(const QString &name);

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
