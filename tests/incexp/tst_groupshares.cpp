#include "incexp/groupshares.h"
#include "platform/data/recordset.h"

#include <QTest>

class TstGroupShares : public QObject
{
    Q_OBJECT
private slots:
    void sharesAndSubtotals();
};

// Figures worked out by hand: account 1200 in 2025 has partners 3 (30, 0) and 17 (90, 40),
// account 1210 partner 5 (80, 0); the group's 2025 months are 200 and 40. In 2027 the two
// partners of account 1200 cancel out: every base there is 0.
void TstGroupShares::sharesAndSubtotals()
{
    Recordset rs;
    rs.assign({{QStringLiteral("Godina"), QMetaType::Int},
               {QStringLiteral("Konto"), QMetaType::QString},
               {QStringLiteral("NazivKonta"), QMetaType::QString},
               {QStringLiteral("Komit"), QMetaType::Int},
               {QStringLiteral("Komitent"), QMetaType::QString},
               {QStringLiteral("Mj01"), QMetaType::Double},
               {QStringLiteral("Mj02"), QMetaType::Double}},
              {{2025, "1210", "Kupci u inozemstvu", 5, "Ino d.o.o.", 80.0, 0.0},
               {2025, "1200", "Kupci u zemlji", 17, "Drugi", 90.0, 40.0},
               {2025, "1200", "Kupci u zemlji", 3, "Prvi", 30.0, 0.0},
               {2026, "1200", "Kupci u zemlji", 3, "Prvi", 10.0, 10.0},
               {2027, "1200", "Kupci u zemlji", 3, "Prvi", 0.0, 50.0},
               {2027, "1200", "Kupci u zemlji", 4, "Treći", 0.0, -50.0}});
    const GroupShares g = GroupShares::from(rs);
    QCOMPARE(g.months, QStringList({"Mj01", "Mj02"}));
    QStringList order;
    for (const auto &l : g.lines)
        order << QStringLiteral("%1/%2/%3/%4").arg(l.level).arg(l.year, l.account, l.partner);
    QCOMPARE(order,
             QStringList({"0/2025/1200/3", "0/2025/1200/17", "1/2025/1200/", "0/2025/1210/5",
                          "1/2025/1210/", "2/2025//", "0/2026/1200/3", "1/2026/1200/", "2/2026//",
                          "0/2027/1200/3", "0/2027/1200/4", "1/2027/1200/", "2/2027//", "3///"}));
    QCOMPARE(*g.share(0, 0), 25.0);                               // 30 of 120
    QCOMPARE(*g.share(0, 1), 0.0);                                // 0 of 40
    QCOMPARE(*g.totalShare(0), 18.75);                            // 30 of 160
    QCOMPARE(g.lines[2].amounts, QVector<double>({120.0, 40.0})); // account 1200 in 2025
    QCOMPARE(*g.share(2, 0), 60.0);                               // 120 of 200
    QCOMPARE(*g.share(2, 1), 100.0);                              // 40 of 40
    QVERIFY(!g.share(5, 0) && !g.totalShare(13)); // a year and the group have no base
    QCOMPARE(g.lines[5].total, 240.0);            // the year
    QCOMPARE(g.lines.last().total, 260.0);        // the group, all years
    // a base of 0 gives no share, and no division: the account's months (0, and 50 - 50), its
    // total, and the year's month under the account
    QVERIFY(!g.share(9, 0) && !g.share(9, 1) && !g.totalShare(9) && !g.share(11, 0));
}

QTEST_MAIN(TstGroupShares)
#include "tst_groupshares.moc"
