#include "groupshares.h"

#include "platform/data/recordset.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace {

std::optional<double> ratio(double part, double base)
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

} // namespace

std::optional<double> GroupShares::share(int line, int month) const
{
    const Line &l = lines.at(line);
    if (l.base < 0)
        return std::nullopt;
    return ratio(l.amounts.value(month), lines.at(l.base).amounts.value(month));
}

std::optional<double> GroupShares::totalShare(int line) const
{
    const Line &l = lines.at(line);
    if (l.base < 0)
        return std::nullopt;
    return ratio(l.total, lines.at(l.base).total);
}

GroupShares GroupShares::from(const Recordset &rs)
{
    GroupShares out;
    QVector<int> monthFields;
    for (int f = 0; f < rs.fieldCount(); ++f)
        if (rs.fieldName(f).startsWith(QStringLiteral("Mj"), Qt::CaseInsensitive)) {
            out.months << rs.fieldName(f);
            monthFields << f;
        }
    const int n = monthFields.size();
    const int yearField = rs.fieldIndex(QStringLiteral("Godina"));
    const int accountField = rs.fieldIndex(QStringLiteral("Konto"));
    const int accountNameField = rs.fieldIndex(QStringLiteral("NazivKonta"));
    const int partnerField = rs.fieldIndex(QStringLiteral("Komit"));
    const int partnerNameField = rs.fieldIndex(QStringLiteral("Komitent"));
    auto text = [&](int row, int field) { return rs.valueAt(row, field).toString(); };

    // year, account, partner: in order, whatever order the statement returned; the rows are
    // read in place (a report of many thousand rows holds them once)
    struct Key
    {
        int year;
        QString account;
        qlonglong partner;
        QString partnerText;
        int row;
        bool operator<(const Key &o) const
        {
            return std::tie(year, account, partner, partnerText) <
                   std::tie(o.year, o.account, o.partner, o.partnerText);
        }
        bool sameAs(const Key &o) const
        {
            return year == o.year && account == o.account && partner == o.partner &&
                   partnerText == o.partnerText;
        }
    };
    std::vector<Key> keys;
    const int count = rs.RecordCount();
    keys.reserve(size_t(count));
    for (int r = 0; r < count; ++r) {
        const QString partner = text(r, partnerField).trimmed();
        keys.push_back({text(r, yearField).trimmed().toInt(), text(r, accountField).trimmed(),
                        partner.toLongLong(), partner, r});
    }
    std::stable_sort(keys.begin(), keys.end());

    Line group;
    group.level = Group;
    group.amounts.resize(n);
    out.lines.reserve(int(keys.size()) + 1);
    size_t k = 0;
    while (k < keys.size()) {
        Line year;
        year.level = Year;
        year.year = text(keys[k].row, yearField).trimmed();
        year.amounts.resize(n);
        const int yearKey = keys[k].year;
        QVector<int> accountLines;
        while (k < keys.size() && keys[k].year == yearKey) {
            Line account;
            account.level = Account;
            account.year = year.year;
            account.account = keys[k].account;
            account.accountName = text(keys[k].row, accountNameField);
            account.amounts.resize(n);
            const int firstPartner = out.lines.size();
            const QString accountKey = keys[k].account;
            while (k < keys.size() && keys[k].year == yearKey && keys[k].account == accountKey) {
                const int row = keys[k].row;
                Line l;
                l.year = year.year;
                l.account = accountKey;
                l.accountName = account.accountName;
                l.partner = keys[k].partnerText;
                l.partnerName = text(row, partnerNameField);
                l.amounts.resize(n);
                // rows of one key (the statement groups them, so rarely) make one line
                for (const size_t start = k; k < keys.size() && keys[k].sameAs(keys[start]); ++k)
                    for (int m = 0; m < n; ++m) {
                        const double v = rs.valueAt(keys[k].row, monthFields[m]).toDouble();
                        const double amount = std::isfinite(v) ? v : 0;
                        l.amounts[m] += amount;
                        l.total += amount;
                    }
                add(account, l);
                out.lines << l;
            }
            const int accountAt = out.lines.size();
            for (int p = firstPartner; p < accountAt; ++p)
                out.lines[p].base = accountAt;
            accountLines << accountAt;
            add(year, account);
            out.lines << account;
        }
        const int yearAt = out.lines.size();
        for (int a : std::as_const(accountLines))
            out.lines[a].base = yearAt;
        add(group, year);
        out.lines << year;
    }
    out.lines << group;
    return out;
}
