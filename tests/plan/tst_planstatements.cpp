#include "plan/planrows.h"
#include "plan/planstatements.h"
#include "platform/data/recordset.h"

#include <QTest>

using namespace PlanSql;

class TstPlanStatements : public QObject
{
    Q_OBJECT
private slots:
    void texts_data();
    void texts();
};

void TstPlanStatements::texts_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    auto row = [](const char *name, const QString &actual, const QString &expected) {
        QTest::newRow(name) << actual << expected;
    };
    const Scope s{1, 2, QStringLiteral("2026")};
    const Node services{QStringLiteral("R"), {QStringLiteral("Usluge")}};
    const Node bakery{QStringLiteral("P"),
                      {QStringLiteral("Naplata od kupaca"), QStringLiteral("Ključni kupci"),
                       QStringLiteral("Pekara D'Oro d.o.o.")}};
    const Node root{QStringLiteral("R"), {}}, nameless{QStringLiteral("P"), {QString()}};
    const QString where =
        " From dbo.FINPLAN Where BrojPoduzeca = 1 And GODINAKNJ=2026 and brojplana=2";
    row("groups", groupFill("R", s),
        "SELECT DISTINCT TOP 100 PERCENT GRUPA" + where + " AND TIP='R' ORDER BY GRUPA");
    row("subgroups", subgroupFill("R", "d'Oro", s),
        "SELECT DISTINCT TOP 100 PERCENT PODGRUPA" + where +
            " AND TIP='R' AND GRUPA='d''Oro' AND PODGRUPA<>'' ORDER BY PODGRUPA");
    row("analytic items", analyticFill("P", "G", "S", s),
        "SELECT DISTINCT TOP 100 PERCENT ANALITIKA" + where +
            " AND TIP='P' AND GRUPA='G' AND PODGRUPA='S' AND ANALITIKA<>'' ORDER BY ANALITIKA");
    row("root", UvjetCvora(root), " AND TIP='R' ");
    row("analytic item", UvjetCvora(bakery),
        " AND TIP='P' AND GRUPA='Naplata od kupaca' AND PODGRUPA='Ključni kupci' AND "
        "ANALITIKA='Pekara D''Oro d.o.o.' ");
    // a node that is none of the four levels has no condition, and so no statement
    row("no side", accountPairs({QStringLiteral("X"), {}}, s), "");
    row("account pairs", accountPairs(services, s),
        "SELECT KONTO,KOMITENT FROM FINPLAN WHERE BROJPODUZECA=1 AND GODINAKNJ=2026 and "
        "brojplana=2 AND TIP='R' AND GRUPA='Usluge' ");
    // the partner code goes in without quotes: a line whose partner is no number reads nothing,
    // and one without a partner reads the account's own turnover
    row("account condition",
        UvjetKonta({{"4100", "0"}, {"1200", "7) OR (1=1"}, {"12'0", QString()}}),
        " AND ( (SINTKONTO='4100' AND ANALKONTO=0) OR  (SINTKONTO='12''0' AND ANALKONTO=0) ) ");
    // nothing planned on an account: nothing realised, not every turnover row of the firm
    row("no account", UvjetKonta({}), " AND (1=0) ");
    // two blanks between the table and WHERE, and before UNION; expense is debit
    row("plan and realisation", planChart(1, 2, services, s, " AND (1=0) "),
        "SELECT 'PLAN_2026' AS Godina,SUM(Iznos01) as Mj01,SUM(Iznos02) as Mj02 FROM "
        "dbo.FinPlan  WHERE BROJPODUZECA=1 AND GODINAKNJ=2026 and brojplana=2 AND TIP='R' AND "
        "GRUPA='Usluge'  UNION SELECT 'REAL_2026' AS Godina,SUM(DUG01) as Mj01,SUM(DUG02) as "
        "Mj02 From dbo.PROMET WHERE BROJPODUZECA=1 AND GODINAKNJ=2026 AND (1=0) ");
    row("income is credit", UpitRealizacije(12, 12, bakery, {2, 1, "2025"}, QString()),
        "SELECT 'REAL_2025' AS Godina,SUM(POT12) as Mj12 From dbo.PROMET WHERE "
        "BROJPODUZECA=2 AND GODINAKNJ=2025");
    for (const auto &[first, last] : {std::pair{5, 3}, std::pair{0, 12}, std::pair{1, 13}})
        QTest::addRow("months %d-%d have no plan column", first, last)
            << planChart(qint16(first), qint16(last), services, s, QString()) << QString();

    row("root key", nodeKey(root), "R****");
    row("root tag", nodeTag(root), "Rashodi");
    row("nameless group key", nodeKey(nameless), "PG***");
    row("nameless group tag", nodeTag(nameless), "Prihodi / ");
    row("analytic item key", nodeKey(bakery),
        "PGPA*Naplata od kupacaKljučni kupciPekara D'Oro d.o.o.");
    row("analytic item tag", nodeTag(bakery),
        "Prihodi / Naplata od kupaca / Ključni kupci / Pekara D'Oro d.o.o.");

    // the realisation in per cent of the plan, two decimals; a gap where nothing was planned
    auto index = [](const QVariant &plan, const QVariant &realisation) {
        const QVariant v = PlanRows::index(plan, realisation);
        return v.isNull() ? QStringLiteral("gap") : v.toString();
    };
    const QVariant null = QVariant(QMetaType(QMetaType::Double));
    row("index, rounded", index(3.0, 2.0), "66.67");
    row("index, nothing realised", index(1000.0, null), "0");
    row("index, nothing planned", index(0.0, 12.0), "gap");
    row("index, no plan row", index(null, 12.0), "gap");

    // the union gives no order: the view's; a row the statement did not give is one without
    // values under the same year (the window's order in every view is checked on the book)
    auto arranged = [](PlanRows::View view) {
        Recordset rs;
        rs.assign({{QStringLiteral("Godina"), QMetaType::QString},
                   {QStringLiteral("Mj01"), QMetaType::Double}},
                  {{QStringLiteral("REAL_2026"), 50.0}});
        PlanRows::arrange(rs, view);
        QStringList out;
        for (int r = 0; r < rs.RecordCount(); ++r)
            out << rs.valueAt(r, 0).toString() + u'=' +
                       (rs.valueAt(r, 1).isNull() ? QStringLiteral("null")
                                                  : rs.valueAt(r, 1).toString());
        return out.join(u' ');
    };
    row("plan view", arranged(PlanRows::View::Plan), "PLAN_2026=null REAL_2026=50");
    row("realisation view", arranged(PlanRows::View::Realizacija), "REAL_2026=50 PLAN_2026=null");
}

void TstPlanStatements::texts()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_APPLESS_MAIN(TstPlanStatements)
#include "tst_planstatements.moc"
