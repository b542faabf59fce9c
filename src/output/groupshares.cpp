#include "groupshares.h"

#include "platform/data/recordset.h"

#include <QMap>

#include <cmath>
#include <tuple>

namespace {

std::optional<double> share(double part, double base)
{
    if (base == 0 || !std::isfinite(part) || !std::isfinite(base))
        return std::nullopt;
    return part * 100.0 / base;
}

void add(GroupShares::Line &sum, const GroupShares::Line &line)
{
    for (int m = 0; m < sum.amounts.size(); ++m)
        sum.amounts[m] += line.amounts[m];
    sum.total += line.total;
}

void setShares(GroupShares::Line &line, const GroupShares::Line &base)
{
    line.shares.resize(line.amounts.size());
    for (int m = 0; m < line.amounts.size(); ++m)
        line.shares[m] = share(line.amounts[m], base.amounts[m]);
    line.totalShare = share(line.total, base.total);
}

} // namespace

GroupShares GroupShares::from(const Recordset &source)
{
    GroupShares out;
    Recordset rs = source;
    QVector<int> monthFields;
    for (int f = 0; f < rs.fieldCount(); ++f)
        if (rs.fieldName(f).startsWith(QStringLiteral("Mj"), Qt::CaseInsensitive)) {
            out.months << rs.fieldName(f);
            monthFields << f;
        }
    const int n = monthFields.size();
    auto field = [&](const char *name) { return rs.value(QString::fromLatin1(name)).toString(); };

    // year, account, partner: in order, whatever order the statement returned
    using Key = std::tuple<int, QString, qlonglong, QString>;
    QMap<Key, Line> partners;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        Line l;
        l.year = field("Godina").trimmed();
        l.account = field("Konto").trimmed();
        l.accountName = field("NazivKonta");
        l.partner = field("Komit").trimmed();
        l.partnerName = field("Komitent");
        l.amounts.resize(n);
        for (int m = 0; m < n; ++m) {
            const double v = rs.value(monthFields[m]).toDouble();
            l.amounts[m] = std::isfinite(v) ? v : 0;
            l.total += l.amounts[m];
        }
        const Key key{l.year.toInt(), l.account, l.partner.toLongLong(), l.partner};
        if (partners.contains(key))
            add(partners[key], l);
        else
            partners.insert(key, l);
    }

    Line group;
    group.level = Group;
    group.amounts.resize(n);
    auto it = partners.cbegin();
    while (it != partners.cend()) {
        Line year;
        year.level = Year;
        year.year = it->year;
        year.amounts.resize(n);
        QVector<Line> yearLines;
        QVector<int> accountAt;
        while (it != partners.cend() && it->year == year.year) {
            Line account;
            account.level = Account;
            account.year = it->year;
            account.account = it->account;
            account.accountName = it->accountName;
            account.amounts.resize(n);
            QVector<Line> accountLines;
            while (it != partners.cend() && it->year == year.year &&
                   it->account == account.account) {
                accountLines << *it;
                add(account, *it);
                ++it;
            }
            for (Line &p : accountLines)
                setShares(p, account);
            yearLines += accountLines;
            accountAt << yearLines.size();
            yearLines << account;
            add(year, account);
        }
        for (int at : std::as_const(accountAt))
            setShares(yearLines[at], year);
        out.lines += yearLines;
        out.lines << year;
        add(group, year);
    }
    out.lines << group;
    return out;
}
