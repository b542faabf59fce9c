#include "plan/planrows.h"
#include "plan/planstatements.h"
#include "platform/data/recordset.h"

#include <QTest>

Q_DECLARE_METATYPE(PlanSql::Node)

using namespace PlanSql;

namespace {
const Scope kScope{1, 2, QStringLiteral("2026")};
const Node kIncome{QStringLiteral("P"), {}};
const Node kServices{QStringLiteral("R"), {QStringLiteral("Usluge")}};
const Node kRent{QStringLiteral("R"), {QStringLiteral("Usluge"), QStringLiteral("Najam")}};
const Node kBakery{QStringLiteral("P"),
                   {QStringLiteral("Naplata od kupaca"), QStringLiteral("Ključni kupci"),
                    QStringLiteral("Pekara D'Oro d.o.o.")}};

Recordset twoRows(const QVariantList &plan, const QVariantList &real)
{
    QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString}};
    for (int m = 1; m <= plan.size(); ++m)
        fields.append({QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')), QMetaType::Double});
    // the union gives no order: the realisation may come first
    QVector<QVariant> r{QStringLiteral("REAL_2026")}, p{QStringLiteral("PLAN_2026")};
    r += QVector<QVariant>(real.begin(), real.end());
    p += QVector<QVariant>(plan.begin(), plan.end());
    Recordset rs;
    rs.assign(fields, {r, p});
    return rs;
}

QStringList labels(const Recordset &rs)
{
    QStringList out;
    for (int r = 0; r < rs.RecordCount(); ++r)
        out << rs.valueAt(r, 0).toString();
    return out;
}

const QVariant kNull = QVariant(QMetaType(QMetaType::Double));
} // namespace

class TstPlanStatements : public QObject
{
    Q_OBJECT
private slots:
    void statements_data();
    void statements();
    void keysAndTags_data();
    void keysAndTags();
    void monthsWithoutAColumnGiveNoStatement_data();
    void monthsWithoutAColumnGiveNoStatement();
    void rowsInTheOrderOfTheView();
    void index_data();
    void index();
};

void TstPlanStatements::statements_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    const QString where = QStringLiteral(
        " From dbo.FINPLAN Where BrojPoduzeca = 1 And GODINAKNJ=2026 and brojplana=2");
    QTest::newRow("income groups")
        << groupFill(QStringLiteral("P"), kScope)
        << "SELECT DISTINCT TOP 100 PERCENT GRUPA" + where + " AND TIP='P' ORDER BY GRUPA";
    QTest::newRow("expense groups")
        << groupFill(QStringLiteral("R"), kScope)
        << "SELECT DISTINCT TOP 100 PERCENT GRUPA" + where + " AND TIP='R' ORDER BY GRUPA";
    QTest::newRow("subgroups, apostrophe doubled")
        << subgroupFill(QStringLiteral("R"), QStringLiteral("Plaće d'Oro"), kScope)
        << "SELECT DISTINCT TOP 100 PERCENT PODGRUPA" + where +
               " AND TIP='R' AND GRUPA='Plaće d''Oro' AND PODGRUPA<>'' ORDER BY PODGRUPA";
    QTest::newRow("analytic items")
        << analyticFill(QStringLiteral("P"), QStringLiteral("Naplata od kupaca"),
                        QStringLiteral("Ključni kupci"), kScope)
        << "SELECT DISTINCT TOP 100 PERCENT ANALITIKA" + where +
               " AND TIP='P' AND GRUPA='Naplata od kupaca' AND PODGRUPA='Ključni kupci' AND "
               "ANALITIKA<>'' ORDER BY ANALITIKA";

    QTest::newRow("plan columns 1-3")
        << StupciPlana(1, 3)
        << QStringLiteral("SUM(Iznos01) as Mj01,SUM(Iznos02) as Mj02,SUM(Iznos03) as Mj03");
    QTest::newRow("plan columns 12")
        << StupciPlana(12, 12) << QStringLiteral("SUM(Iznos12) as Mj12");
    QTest::newRow("plan columns 5-3") << StupciPlana(5, 3) << QString();
    QTest::newRow("credit columns") << StupciPrometa(9, 10, QStringLiteral("POT"))
                                    << QStringLiteral("SUM(POT09) as Mj09,SUM(POT10) as Mj10");
    QTest::newRow("debit columns")
        << StupciPrometa(1, 1, QStringLiteral("DUG")) << QStringLiteral("SUM(DUG01) as Mj01");

    QTest::newRow("root condition") << UvjetCvora(kIncome) << QStringLiteral(" AND TIP='P' ");
    QTest::newRow("group condition")
        << UvjetCvora(kServices) << QStringLiteral(" AND TIP='R' AND GRUPA='Usluge' ");
    QTest::newRow("subgroup condition")
        << UvjetCvora(kRent)
        << QStringLiteral(" AND TIP='R' AND GRUPA='Usluge' AND PODGRUPA='Najam' ");
    QTest::newRow("analytic condition, apostrophe doubled")
        << UvjetCvora(kBakery)
        << QStringLiteral(" AND TIP='P' AND GRUPA='Naplata od kupaca' AND PODGRUPA='Ključni "
                          "kupci' AND ANALITIKA='Pekara D''Oro d.o.o.' ");
    // a node that is none of the four levels has no condition, and so no statement
    QTest::newRow("no side") << UvjetCvora({QString(), {QStringLiteral("Usluge")}}) << QString();
    QTest::newRow("below the analytic level")
        << UvjetCvora({QStringLiteral("R"),
                       {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                        QStringLiteral("d")}})
        << QString();
    QTest::newRow("no side, no account statement")
        << accountPairs({QStringLiteral("X"), {}}, kScope) << QString();

    QTest::newRow("account pairs of a group")
        << accountPairs(kServices, kScope)
        << QStringLiteral("SELECT KONTO,KOMITENT FROM FINPLAN WHERE BROJPODUZECA=1 AND "
                          "GODINAKNJ=2026 and brojplana=2 AND TIP='R' AND GRUPA='Usluge' ");
    QTest::newRow("account condition, two pairs")
        << UvjetKonta({{QStringLiteral("4100"), QStringLiteral("0")},
                       {QStringLiteral("4101"), QStringLiteral("0")}})
        << QStringLiteral(" AND ( (SINTKONTO='4100' AND ANALKONTO=0) OR  (SINTKONTO='4101' AND "
                          "ANALKONTO=0) ) ");
    QTest::newRow("account condition, one pair")
        << UvjetKonta({{QStringLiteral("2200"), QStringLiteral("11")}})
        << QStringLiteral(" AND ( (SINTKONTO='2200' AND ANALKONTO=11) ) ");
    // the partner code goes in without quotes: only its number can get there
    QTest::newRow("account condition, quoted account and a partner that is no number")
        << UvjetKonta({{QStringLiteral("12'0"), QStringLiteral("7) OR (1=1")},
                       {QStringLiteral("1200"), QString()}})
        << QStringLiteral(" AND ( (SINTKONTO='12''0' AND ANALKONTO=7) OR  (SINTKONTO='1200' AND "
                          "ANALKONTO=0) ) ");
    // no planned account: nothing realised, rather than every turnover row of the firm
    QTest::newRow("account condition, no pair") << UvjetKonta({}) << QStringLiteral(" AND (1=0) ");

    const QString pairs = QStringLiteral(" AND ( (SINTKONTO='4100' AND ANALKONTO=0) ) ");
    QTest::newRow("realisation of income is credit")
        << UpitRealizacije(1, 2, kIncome, kScope, pairs)
        << "SELECT 'REAL_2026' AS Godina,SUM(POT01) as Mj01,SUM(POT02) as Mj02 From dbo.PROMET "
           "WHERE BROJPODUZECA=1 AND GODINAKNJ=2026" +
               pairs;
    QTest::newRow("realisation of expense is debit")
        << UpitRealizacije(3, 3, kRent, kScope, pairs)
        << "SELECT 'REAL_2026' AS Godina,SUM(DUG03) as Mj03 From dbo.PROMET WHERE "
           "BROJPODUZECA=1 AND GODINAKNJ=2026" +
               pairs;
    // two blanks between the table and WHERE, and before UNION
    QTest::newRow("plan and realisation")
        << planChart(1, 2, kServices, kScope, pairs)
        << "SELECT 'PLAN_2026' AS Godina,SUM(Iznos01) as Mj01,SUM(Iznos02) as Mj02 FROM "
           "dbo.FinPlan  WHERE BROJPODUZECA=1 AND GODINAKNJ=2026 and brojplana=2 AND TIP='R' AND "
           "GRUPA='Usluge'  UNION SELECT 'REAL_2026' AS Godina,SUM(DUG01) as Mj01,SUM(DUG02) as "
           "Mj02 From dbo.PROMET WHERE BROJPODUZECA=1 AND GODINAKNJ=2026" +
               pairs;
    QTest::newRow("plan and realisation of an analytic item")
        << planChart(12, 12, kBakery, {2, 1, QStringLiteral("2025")}, pairs)
        << "SELECT 'PLAN_2025' AS Godina,SUM(Iznos12) as Mj12 FROM dbo.FinPlan  WHERE "
           "BROJPODUZECA=2 AND GODINAKNJ=2025 and brojplana=1 AND TIP='P' AND GRUPA='Naplata od "
           "kupaca' AND PODGRUPA='Ključni kupci' AND ANALITIKA='Pekara D''Oro d.o.o.'  UNION "
           "SELECT 'REAL_2025' AS Godina,SUM(POT12) as Mj12 From dbo.PROMET WHERE BROJPODUZECA=2 "
           "AND GODINAKNJ=2025" +
               pairs;
}

void TstPlanStatements::statements()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TstPlanStatements::keysAndTags_data()
{
    QTest::addColumn<Node>("node");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("tag");
    QTest::newRow("income root") << kIncome << QStringLiteral("P****") << QStringLiteral("Prihodi");
    QTest::newRow("expense root") << Node{QStringLiteral("R"), {}} << QStringLiteral("R****")
                                  << QStringLiteral("Rashodi");
    QTest::newRow("group") << kServices << QStringLiteral("RG***Usluge")
                           << QStringLiteral("Rashodi / Usluge");
    QTest::newRow("subgroup") << kRent << QStringLiteral("RGP**UslugeNajam")
                              << QStringLiteral("Rashodi / Usluge / Najam");
    QTest::newRow("analytic item")
        << kBakery << QStringLiteral("PGPA*Naplata od kupacaKljučni kupciPekara D'Oro d.o.o.")
        << QStringLiteral("Prihodi / Naplata od kupaca / Ključni kupci / Pekara D'Oro d.o.o.");
    // a group without a name still gets its node
    QTest::newRow("nameless group") << Node{QStringLiteral("P"), {QString()}}
                                    << QStringLiteral("PG***") << QStringLiteral("Prihodi / ");
}

void TstPlanStatements::keysAndTags()
{
    QFETCH(Node, node);
    QFETCH(QString, key);
    QFETCH(QString, tag);
    QCOMPARE(nodeKey(node), key);
    QCOMPARE(nodeTag(node), tag);
}

void TstPlanStatements::monthsWithoutAColumnGiveNoStatement_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("first after last") << 5 << 3;
    QTest::newRow("month 0: the plan has no Iznos00") << 0 << 12;
    QTest::newRow("month 13") << 1 << 13;
}

void TstPlanStatements::monthsWithoutAColumnGiveNoStatement()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QCOMPARE(planChart(qint16(first), qint16(last), kServices, kScope, UvjetKonta({})), QString());
}

void TstPlanStatements::rowsInTheOrderOfTheView()
{
    const QVariantList plan{100.0, 0.0}, real{50.0, 7.0};
    Recordset rs = twoRows(plan, real);
    PlanRows::arrange(rs, PlanRows::View::Plan);
    QCOMPARE(labels(rs), (QStringList{QStringLiteral("PLAN_2026"), QStringLiteral("REAL_2026")}));
    QCOMPARE(rs.valueAt(0, 1), QVariant(100.0));
    QCOMPARE(rs.fieldCount(), 3);

    rs = twoRows(plan, real);
    PlanRows::arrange(rs, PlanRows::View::Realizacija);
    QCOMPARE(labels(rs), (QStringList{QStringLiteral("REAL_2026"), QStringLiteral("PLAN_2026")}));
    QCOMPARE(rs.valueAt(0, 2), QVariant(7.0));

    rs = twoRows(plan, real);
    PlanRows::arrange(rs, PlanRows::View::Indeks);
    QCOMPARE(labels(rs), (QStringList{QStringLiteral("PLAN_2026"), QStringLiteral("REAL_2026"),
                                      QStringLiteral("INDEKS_2026")}));
    QCOMPARE(rs.valueAt(2, 1), QVariant(50.0));
    QVERIFY(rs.valueAt(2, 2).isNull()); // nothing planned: a gap, not a division by zero
    QVERIFY(rs.setFilter(PlanRows::indexFilter()));
    QCOMPARE(labels(rs), QStringList{QStringLiteral("INDEKS_2026")});

    // a row the statement did not give is one without values, under the same year
    Recordset one;
    one.assign({{QStringLiteral("Godina"), QMetaType::QString},
                {QStringLiteral("Mj01"), QMetaType::Double}},
               {{QStringLiteral("REAL_2025"), 3.0}});
    PlanRows::arrange(one, PlanRows::View::Indeks);
    QCOMPARE(labels(one), (QStringList{QStringLiteral("PLAN_2025"), QStringLiteral("REAL_2025"),
                                       QStringLiteral("INDEKS_2025")}));
    QVERIFY(one.valueAt(0, 1).isNull());
    QVERIFY(one.valueAt(2, 1).isNull());
}

void TstPlanStatements::index_data()
{
    QTest::addColumn<QVariant>("plan");
    QTest::addColumn<QVariant>("realisation");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("on plan") << QVariant(2500.0) << QVariant(2500.0) << QVariant(100.0);
    QTest::newRow("two decimals") << QVariant(3.0) << QVariant(1.0) << QVariant(33.33);
    QTest::newRow("rounded up") << QVariant(3.0) << QVariant(2.0) << QVariant(66.67);
    QTest::newRow("over plan") << QVariant(400.0) << QVariant(1234.5) << QVariant(308.63);
    QTest::newRow("against the plan's sign")
        << QVariant(1000.0) << QVariant(-50.0) << QVariant(-5.0);
    QTest::newRow("nothing realised") << QVariant(1000.0) << kNull << QVariant(0.0);
    QTest::newRow("nothing planned") << QVariant(0.0) << QVariant(12.0) << kNull;
    QTest::newRow("no plan row") << kNull << QVariant(12.0) << kNull;
}

void TstPlanStatements::index()
{
    QFETCH(QVariant, plan);
    QFETCH(QVariant, realisation);
    QFETCH(QVariant, expected);
    const QVariant actual = PlanRows::index(plan, realisation);
    QCOMPARE(actual.isNull(), expected.isNull());
    if (!expected.isNull())
        QCOMPARE(actual.toDouble(), expected.toDouble());
}

QTEST_APPLESS_MAIN(TstPlanStatements)
#include "tst_planstatements.moc"
