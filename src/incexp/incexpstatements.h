#pragma once

#include <QString>

/// The statements of the income and expense windows and the text functions they are built with.
/// Names, keys and codes spliced in have their apostrophes doubled; numbers arrive as plain
/// decimal text.
namespace IncExpSql {

/// What a group is read as, by the last letter of its key: income (the credit side), expense
/// (the debit side), or the balance of the two for any other letter.
enum class Kind { Income, Expense, Balance };
Kind kindOfKey(const QString &groupKey);
/// The same for a node's tag ("SviPrihodi", "PrihKonto", "PKomit" are income, ...).
Kind kindOfTag(const QString &tag);
/// The group's name: its key without the kind letter.
QString groupName(const QString &groupKey);

// The window's text functions.
QString PadR(const QString &text, int width);
QString PadL(const QString &text, int width);
QString PadC(const QString &text, int width);

/// The account code an account node's key begins with.
QString accountOfKey(const QString &accountNodeKey);

QString groupList(int firm, int year);
QString groupAccounts(const QString &groupKey, int firm, int year);

/// Where the rows of a drawing come from and which years.
struct Scope
{
    QString table;
    int firm = 0;
    QString firstYear;
    QString lastYear;
};

/// A whole group's chart.
QString groupChart(Kind kind, const QString &groupKey, qint16 firstMonth, qint16 lastMonth,
                   const Scope &s);
/// One account of a group.
QString accountChart(Kind kind, const QString &account, const QString &groupKey, qint16 firstMonth,
                     qint16 lastMonth, const Scope &s);
/// One partner on an account, on the turnover table alone; empty when the code is no number.
QString partnerChart(Kind kind, const QString &account, const QString &partner, qint16 firstMonth,
                     qint16 lastMonth, const Scope &s);

/// Removes a group's rows of one year.
QString deleteGroup(const QString &groupKey, int firm, int year);

// The definition dialog.
QString chartOfAccounts(int firm, int year);
QString groupRows(const QString &groupKey, int firm);
/// The record set filter that finds an account's row of the year.
QString accountRowFilter(const QString &account, int year);

} // namespace IncExpSql
