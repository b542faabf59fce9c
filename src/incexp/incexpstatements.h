#pragma once

#include <QString>
#include <QStringList>

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

// The group share data set and the carry-over.
/// " AND (P.SINTKONTO='a' OR P.SINTKONTO='b' ) ", one term per group row; empty for no rows.
QString shareAccountCondition(const QStringList &accounts);
QString shareColumns(Kind kind, qint16 firstMonth, qint16 lastMonth);
/// Year, account and name, partner code and name, and the month columns, per year, account and
/// partner with turnover on the group's accounts. Turnover booked without a partner record (code 0
/// on accounts kept without partners) stays in, with an empty partner name, so that the shares
/// add up to the group's turnover.
QString shareData(const QString &accountCondition, const QString &monthColumns, const Scope &s);
/// Copies a year's groups into the current year: translation 0 keeps the account codes, 1 and 2
/// read them from SifKonta1 or SifKonta2 of the chart of the year before the current one. A row
/// the current year already holds is not copied again (nor twice within the copy), and an account
/// without a code (none translated) is not copied at all.
QString carryOver(int translation, int firm, int currentYear, int sourceYear);
/// The group key and account of each source row that carryOver leaves out for want of a code.
QString carryOverLeftOut(int translation, int firm, int currentYear, int sourceYear);

} // namespace IncExpSql
