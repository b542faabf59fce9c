#include "incexp/groupshares.h"
#include "platform/data/recordset.h"

#include <QTest>

namespace {

// year, account, name, partner, partner name, Mj01, Mj02
Recordset rows(const QVector<QVector<QVariant>> &data)
{
    Recordset rs;
    rs.assign({{QStringLiteral("Godina"), QMetaType::Int},
               {QStringLiteral("Konto"), QMetaType::QString},
               {QStringLiteral("NazivKonta"), QMetaType::QString},
               {QStringLiteral("Komit"), QMetaType::Int},
               {QStringLiteral("Komitent"), QMetaType::QString},
               {QStringLiteral("Mj01"), QMetaType::Double},
               {QStringLiteral("Mj02"), QMetaType::Double}},
              data);
    return rs;
}

} // namespace

class TstGroupShares : public QObject
{
    Q_OBJECT
private slots:
    void sharesAndSubtotals();
    void zeroBaseHasNoShare();
};

// Figures worked out by hand: account 1200 in 2025 has partners 3 (30, 0) and 17 (90, 40),
// account 1210 partner 5 (80, 0); the group's 2025 months are 200 and 40.
void TstGroupShares::sharesAndSubtotals()
{
    const GroupShares g = GroupShares::from(rows({
        {2025, "1210", "Kupci u inozemstvu", 5, "Ino d.o.o.", 80.0, 0.0},
        {2025, "1200", "Kupci u zemlji", 17, "Drugi", 90.0, 40.0},
        {2025, "1200", "Kupci u zemlji", 3, "Prvi", 30.0, 0.0},
        {2026, "1200", "Kupci u zemlji", 3, "Prvi", 10.0, 10.0},
    }));
    QCOMPARE(g.months, QStringList({"Mj01", "Mj02"}));
    QStringList order;
    for (const auto &l : g.lines)
        order << QStringLiteral("%1/%2/%3/%4").arg(l.level).arg(l.year, l.account, l.partner);
    QCOMPARE(order, QStringList({"0/2025/1200/3", "0/2025/1200/17", "1/2025/1200/", "0/2025/1210/5",
                                 "1/2025/1210/", "2/2025//", "0/2026/1200/3", "1/2026/1200/",
                                 "2/2026//", "3///"}));
    QCOMPARE(*g.share(0, 0), 25.0);                               // 30 of 120
    QCOMPARE(*g.share(0, 1), 0.0);                                // 0 of 40
    QCOMPARE(*g.totalShare(0), 18.75);                            // 30 of 160
    QCOMPARE(g.lines[2].amounts, QVector<double>({120.0, 40.0})); // account 1200 in 2025
    QCOMPARE(*g.share(2, 0), 60.0);                               // 120 of 200
    QCOMPARE(*g.share(2, 1), 100.0);                              // 40 of 40
    QCOMPARE(*g.totalShare(2), 160.0 * 100 / 240);
    QVERIFY(!g.share(5, 0) && !g.totalShare(9)); // a year and the group have no base
    QCOMPARE(g.lines[5].total, 240.0);           // the year
    QCOMPARE(g.lines.last().total, 260.0);       // the group, both years
}

void TstGroupShares::zeroBaseHasNoShare()
{
    const GroupShares g = GroupShares::from(rows({
        {2025, "1200", "Kupci", 3, "Prvi", 0.0, 50.0},
        {2025, "1200", "Kupci", 4, "Drugi", 0.0, -50.0},
    }));
    QVERIFY(!g.share(0, 0));   // the account's month is 0: no share, no division
    QVERIFY(!g.totalShare(0)); // the account's total is 0 as well
    QVERIFY(!g.share(0, 1));   // 50 and -50 make an account month of 0
    QVERIFY(!g.share(2, 0));   // the account in a year whose month is 0
}

QTEST_MAIN(TstGroupShares)
#include "tst_groupshares.moc"
