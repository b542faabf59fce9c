#pragma once

#include <QString>

/// The statements of the turnover windows, built from fixed pieces. Texts spliced in have their
/// apostrophes doubled; numbers arrive as plain decimal text.
namespace TurnoverSql {

QString topLevelFill(int firm, const QString &firstYear, const QString &lastYear);
QString analyticFill(const QString &table, int firm, const QString &account,
                     const QString &firstYear, const QString &lastYear);
QString partnerFill(const QString &table, int firm, const QString &account,
                    const QString &firstYear, const QString &lastYear);

/// Where the rows come from and which years; the same for every chart statement.
struct Scope
{
    QString table;
    int firm = 0;
    QString account; ///< trimmed account code
    QString partner; ///< partner code as cut from the node key (a blank, then the code)
    QString firstYear;
    QString lastYear;
};

/// Monthly turnover, amount kind 0 "Duguje" .. 4 "Saldo P-D"; months as read from the boxes.
QString accountChart(int kind, qint16 firstMonth, qint16 lastMonth, const Scope &s);
QString partnerChart(int kind, qint16 firstMonth, qint16 lastMonth, const Scope &s);
/// Cumulative balance, kind 0 "Kum.saldo D-P" or 1 "Kum.saldo P-D".
QString cumulativeAccountChart(int kind, qint16 firstMonth, qint16 lastMonth, const Scope &s);
QString cumulativePartnerChart(int kind, qint16 firstMonth, qint16 lastMonth, const Scope &s);

} // namespace TurnoverSql
