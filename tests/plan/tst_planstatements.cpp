#include "plan/planrows.h"
#include "plan/planstatements.h"
#include "platform/data/recordset.h"

#include <QTest>

Q_DECLARE_METATYPE(PlanSql::Node)

using namespace PlanSql;

namespace {
const Scope kScope{1, 2, QStringLiteral("2026")};
const Node kServices{QStringLiteral("R"), {QStringLiteral("Usluge")}};
const Node kBakery{QStringLiteral("P"),
                   {QStringLiteral("Naplata od kupaca"), QStringLiteral("Ključni kupci"),
                    QStringLiteral("Pekara D'Oro d.o.o.")}};
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
    QTest::newRow("groups") << groupFill(QStringLiteral("R"), kScope)
                            << "SELECT DISTINCT TOP 100 PERCENT GRUPA" + where +
                                   " AND TIP='R' ORDER BY GRUPA";
    QTest::newRow("subgroups") << subgroupFill(QStringLiteral("R"), QStringLiteral("d'Oro"), kScope)
                               << "SELECT DISTINCT TOP 100 PERCENT PODGRUPA" + where +
                                      " AND TIP='R' AND GRUPA='d''Oro' AND PODGRUPA<>'' ORDER BY "
                                      "PODGRUPA";
    QTest::newRow("analytic items")
        << analyticFill(QStringLiteral("P"), QStringLiteral("G"), QStringLiteral("S"), kScope)
        << "SELECT DISTINCT TOP 100 PERCENT ANALITIKA" + where +
               " AND TIP='P' AND GRUPA='G' AND PODGRUPA='S' AND ANALITIKA<>'' ORDER BY ANALITIKA";
    QTest::newRow("plan columns")
        << StupciPlana(1, 3) << "SUM(Iznos01) as Mj01,SUM(Iznos02) as Mj02,SUM(Iznos03) as Mj03";
    QTest::newRow("turnover columns")
        << StupciPrometa(9, 10, QStringLiteral("POT")) << "SUM(POT09) as Mj09,SUM(POT10) as Mj10";
    QTest::newRow("root") << UvjetCvora({QStringLiteral("P"), {}}) << " AND TIP='P' ";
    QTest::newRow("subgroup") << UvjetCvora({QStringLiteral("R"),
                                             {QStringLiteral("Usluge"), QStringLiteral("Najam")}})
                              << " AND TIP='R' AND GRUPA='Usluge' AND PODGRUPA='Najam' ";
    QTest::newRow("analytic item, apostrophe doubled")
        << UvjetCvora(kBakery)
        << " AND TIP='P' AND GRUPA='Naplata od kupaca' AND PODGRUPA='Ključni kupci' AND "
           "ANALITIKA='Pekara D''Oro d.o.o.' ";
    // a node that is none of the four levels has no condition, and so no statement
    QTest::newRow("no side") << accountPairs({QStringLiteral("X"), {}}, kScope) << QString();
    QTest::newRow("account pairs")
        << accountPairs(kServices, kScope)
        << "SELECT KONTO,KOMITENT FROM FINPLAN WHERE BROJPODUZECA=1 AND GODINAKNJ=2026 and "
           "brojplana=2 AND TIP='R' AND GRUPA='Usluge' ";
    QTest::newRow("account condition")
        << UvjetKonta({{QStringLiteral("4100"), QStringLiteral("0")},
                       {QStringLiteral("4101"), QStringLiteral("0")}})
        << " AND ( (SINTKONTO='4100' AND ANALKONTO=0) OR  (SINTKONTO='4101' AND ANALKONTO=0) ) ";
    // the partner code goes in without quotes: a line whose partner is no number reads nothing,
    // and one without a partner reads the account's own turnover
    QTest::newRow("quoted account, partner no number")
        << UvjetKonta({{QStringLiteral("12'0"), QStringLiteral("7) OR (1=1")}}) << " AND (1=0) ";
    QTest::newRow("partner no number beside one without a partner")
        << UvjetKonta({{QStringLiteral("1200"), QStringLiteral("7) OR (1=1")},
                       {QStringLiteral("12'0"), QString()}})
        << " AND ( (SINTKONTO='12''0' AND ANALKONTO=0) ) ";
    // nothing planned on an account: nothing realised, not every turnover row of the firm
    QTest::newRow("no account") << UvjetKonta({}) << " AND (1=0) ";
    // two blanks between the table and WHERE, and before UNION; expense is debit
    QTest::newRow("plan and realisation")
        << planChart(1, 2, kServices, kScope, QStringLiteral(" AND (1=0) "))
        << "SELECT 'PLAN_2026' AS Godina,SUM(Iznos01) as Mj01,SUM(Iznos02) as Mj02 FROM "
           "dbo.FinPlan  WHERE BROJPODUZECA=1 AND GODINAKNJ=2026 and brojplana=2 AND TIP='R' AND "
           "GRUPA='Usluge'  UNION SELECT 'REAL_2026' AS Godina,SUM(DUG01) as Mj01,SUM(DUG02) as "
           "Mj02 From dbo.PROMET WHERE BROJPODUZECA=1 AND GODINAKNJ=2026 AND (1=0) ";
    QTest::newRow("income is credit")
        << UpitRealizacije(12, 12, kBakery, {2, 1, QStringLiteral("2025")}, QString())
        << "SELECT 'REAL_2025' AS Godina,SUM(POT12) as Mj12 From dbo.PROMET WHERE "
           "BROJPODUZECA=2 AND GODINAKNJ=2025";
    for (const auto &[first, last] : {std::pair{5, 3}, std::pair{0, 12}, std::pair{1, 13}})
        QTest::addRow("months %d-%d have no plan column", first, last)
            << planChart(qint16(first), qint16(last), kServices, kScope, QString()) << QString();
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
    QTest::newRow("root") << Node{QStringLiteral("R"), {}} << "R****"
                          << "Rashodi";
    QTest::newRow("group") << kServices << "RG***Usluge"
                           << "Rashodi / Usluge";
    QTest::newRow("analytic item")
        << kBakery << "PGPA*Naplata od kupacaKljučni kupciPekara D'Oro d.o.o."
        << "Prihodi / Naplata od kupaca / Ključni kupci / Pekara D'Oro d.o.o.";
    QTest::newRow("nameless group") << Node{QStringLiteral("P"), {QString()}} << "PG***"
                                    << "Prihodi / ";
}

void TstPlanStatements::keysAndTags()
{
    QFETCH(Node, node);
    QFETCH(QString, key);
    QFETCH(QString, tag);
    QCOMPARE(nodeKey(node), key);
    QCOMPARE(nodeTag(node), tag);
}

void TstPlanStatements::rowsInTheOrderOfTheView()
{
    // the union gives no order: here the realisation comes first
    Recordset rs;
    const QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString},
                                               {QStringLiteral("Mj01"), QMetaType::Double},
                                               {QStringLiteral("Mj02"), QMetaType::Double}};
    const QVector<QVector<QVariant>> union2{{QStringLiteral("REAL_2026"), 50.0, 7.0},
                                            {QStringLiteral("PLAN_2026"), 100.0, 0.0}};
    auto labels = [&] {
        QStringList out;
        for (int r = 0; r < rs.RecordCount(); ++r)
            out << rs.valueAt(r, 0).toString();
        return out.join(u' ');
    };
    rs.assign(fields, union2);
    PlanRows::arrange(rs, PlanRows::View::Plan);
    QCOMPARE(labels(), QStringLiteral("PLAN_2026 REAL_2026"));
    QCOMPARE(rs.valueAt(0, 1), QVariant(100.0));
    rs.assign(fields, union2);
    PlanRows::arrange(rs, PlanRows::View::Realizacija);
    QCOMPARE(labels(), QStringLiteral("REAL_2026 PLAN_2026"));
    rs.assign(fields, union2);
    PlanRows::arrange(rs, PlanRows::View::Indeks);
    QCOMPARE(labels(), QStringLiteral("PLAN_2026 REAL_2026 INDEKS_2026"));
    QCOMPARE(rs.valueAt(2, 1), QVariant(50.0));
    QVERIFY(rs.valueAt(2, 2).isNull()); // nothing planned: a gap, not a division by zero
    QVERIFY(rs.setFilter(PlanRows::indexFilter()));
    QCOMPARE(labels(), QStringLiteral("INDEKS_2026"));
    // a row the statement did not give is one without values, under the same year
    rs.assign(fields, {union2.first()});
    PlanRows::arrange(rs, PlanRows::View::Plan);
    QCOMPARE(labels(), QStringLiteral("PLAN_2026 REAL_2026"));
    QVERIFY(rs.valueAt(0, 1).isNull());
}

void TstPlanStatements::index_data()
{
    QTest::addColumn<QVariant>("plan");
    QTest::addColumn<QVariant>("realisation");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("two decimals, rounded") << QVariant(3.0) << QVariant(2.0) << QVariant(66.67);
    QTest::newRow("over plan") << QVariant(400.0) << QVariant(1234.5) << QVariant(308.63);
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
    QCOMPARE(actual.toDouble(), expected.toDouble());
}

QTEST_APPLESS_MAIN(TstPlanStatements)
#include "tst_planstatements.moc"
