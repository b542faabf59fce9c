#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class Recordset;

/// The group share report's figures: the turnover of each partner on each account of a group, per
/// year, with subtotals per account and per year and the group's grand total, and the shares:
/// a partner's amount in per cent of its account's amount, an account's in per cent of the
/// group's amount in that year, month by month and on the totals over the months. A share whose
/// base is zero is none.
struct GroupShares
{
    enum Level { Partner, Account, Year, Group };
    struct Line
    {
        Level level = Partner;
        QString year, account, accountName, partner, partnerName;
        QVector<double> amounts; ///< one per month column
        double total = 0;
        int base = -1; ///< the line its shares are of: its account's or its year's; -1 for none
    };
    QStringList months; ///< the month columns of the rows, "Mj01" ...
    QVector<Line> lines;

    /// The line's share in a month column, and on the totals; none where the base is zero.
    std::optional<double> share(int line, int month) const;
    std::optional<double> totalShare(int line) const;

    /// From rows with "Godina", "Konto", "NazivKonta", "Komit", "Komitent" and month columns.
    static GroupShares from(const Recordset &rows);
};
