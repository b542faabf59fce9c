// The plan window on the demo book: its tree and figures against what SQLite itself reads from
// the book, the value buttons, the captions that keep the settings apart, and failed reads.
#include "platform/chart/chartcontrol.h"
#include "windowsupport.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using namespace TestSupport;

namespace {
const QString kAccess = QStringLiteral("Greška u pristupu podacima : ");
}

class TstFrmFinGrafPlan : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_fx = std::make_unique<WindowFixture>(); }
    void cleanup()
    {
        m_fx.reset();
        cPristupPodacima::closeAllConnections();
    }
    void treeHoldsThePlanOfTheYear();
    void figuresMatchTheBook_data();
    void figuresMatchTheBook();
    void monthsAndYearsWithoutFigures();
    void failedReadsNeverDrawTheWrongTurnover();
    void keyOfTwoNodesIsKnownAsShared();
    void planWithoutRowsSaysSoAndDrawsNothing_data();
    void planWithoutRowsSaysSoAndDrawsNothing();

private:
    ChartWindow *open(int method = 4, qint16 plan = 1, qint16 firm = 1, qint16 year = kLastYear,
                      const QString &table = QStringLiteral("PROMET"))
    {
        return m_w = m_fx->openMethod(method, QString(), firm, year, table, plan);
    }
    // The book copied for a change, the window opened on the copy.
    void change(const QString &sql)
    {
        m_fx->book = demoBookCopy(m_dir);
        QCOMPARE(execute(m_fx->book, sql), QString());
    }

    QTemporaryDir m_dir;
    std::unique_ptr<WindowFixture> m_fx;
    QPointer<ChartWindow> m_w;
};

void TstFrmFinGrafPlan::treeHoldsThePlanOfTheYear()
{
    QVERIFY(open());
    const QString where = QStringLiteral("FROM FINPLAN WHERE BrojPoduzeca=1 AND GODINAKNJ=%1 AND "
                                         "brojplana=1 AND ")
                              .arg(kLastYear);
    FIND_NODE(expenses, m_w->tv, QStringLiteral("R****"));
    QStringList groups;
    for (int i = 0; i < expenses->childCount(); ++i)
        groups << expenses->child(i)->text(0);
    QCOMPARE(groups.join(u'|'), m_fx->ask("SELECT group_concat(GRUPA, '|') FROM (SELECT DISTINCT "
                                          "GRUPA " +
                                          where + "TIP='R' ORDER BY GRUPA)")
                                    .toString());
    // two roots, every group, every named subgroup and every named item of one, once
    int nodes = 0;
    for (QTreeWidgetItemIterator it(m_w->tv); *it; ++it)
        ++nodes;
    QCOMPARE(nodes,
             m_fx->ask("SELECT 2 + (SELECT count(DISTINCT TIP||'/'||GRUPA) " + where +
                       "1) + (SELECT count(DISTINCT TIP||'/'||GRUPA||'/'||PODGRUPA) " + where +
                       "PODGRUPA<>'') + (SELECT count(DISTINCT TIP||'/'||GRUPA||'/'||"
                       "PODGRUPA||'/'||ANALITIKA) " +
                       where + "PODGRUPA<>'' AND ANALITIKA<>'')")
                 .toInt());
    FIND_NODE(bakery, m_w->tv,
              QStringLiteral("PGPA*Naplata od kupacaKljučni kupciPekara D'Oro d.o.o."));
    FIND_NODE(keyCustomers, m_w->tv, QStringLiteral("PGP**Naplata od kupacaKljučni kupci"));
    QCOMPARE(bakery->parent(), keyCustomers);
    QCOMPARE(KeyedTree::tag(bakery),
             QStringLiteral("Prihodi / Naplata od kupaca / Ključni kupci / Pekara D'Oro d.o.o."));
    FIND_NODE(financial, m_w->tv, QStringLiteral("PG***Financijski prihodi"));
    QCOMPARE(financial->childCount(), 0);
    QVERIFY(m_fx->dialogs->messages.isEmpty());

    // a path the tree does not hold: what is there instead
    QString notFound;
    QVERIFY(!m_w->clickPath({QStringLiteral("P"), QStringLiteral("Nema")}, &notFound));
    QCOMPARE(notFound, QStringLiteral("Grupa \"Nema\" nije u stablu pod \"Prihodi\". Ondje su: "
                                      "Financijski prihodi, Naplata od kupaca, Prihodi od "
                                      "prodaje."));
    QVERIFY(!m_w->clickPath({QStringLiteral("R"), QStringLiteral("Usluge"), QStringLiteral("Nema")},
                            &notFound));
    QCOMPARE(notFound, QStringLiteral("Podgrupa \"Nema\" nije u stablu pod \"Rashodi / "
                                      "Usluge\". Ondje su: Najam, Prijevoz, Telekomunikacije."));
}

void TstFrmFinGrafPlan::figuresMatchTheBook_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<int>("plan");
    QTest::addColumn<int>("firm");
    QTest::addColumn<int>("year");
    const auto row = [](const char *name, const QStringList &path, int plan = 1, int firm = 1,
                        int year = kLastYear) {
        QTest::newRow(name) << path << plan << firm << year;
    };
    row("income root", {"P"});
    row("expense group", {"R", "Usluge"});
    row("subgroup, plan 2 of the second firm", {"P", "Prihodi od prodaje", "Roba"}, 2, 2, 2025);
    row("item with an apostrophe, a partner on a customer account",
        {"P", "Naplata od kupaca", "Ključni kupci", "Pekara D'Oro d.o.o."});
    // two partners of one supplier account: theirs, not the account's whole turnover
    row("two partners on one account", {"R", "Plaćanja dobavljačima"});
}

void TstFrmFinGrafPlan::figuresMatchTheBook()
{
    QFETCH(QStringList, path);
    QFETCH(int, plan);
    QFETCH(int, firm);
    QFETCH(int, year);
    QVERIFY(open(4, qint16(plan), qint16(firm), qint16(year)));
    CLICK_PATH(m_w, path);
    // the node's plan rows, and the turnover of the account and partner pairs they name, asked
    // of the book directly: EXISTS over the plan rows rather than the window's list of pairs
    QString where = QStringLiteral("BrojPoduzeca=%1 AND GODINAKNJ=%2 AND brojplana=%3")
                        .arg(firm)
                        .arg(year)
                        .arg(plan);
    const char *columns[] = {"TIP", "GRUPA", "PODGRUPA", "ANALITIKA"};
    for (int i = 0; i < path.size(); ++i)
        where += QStringLiteral(" AND %1='%2'")
                     .arg(QLatin1String(columns[i]), QString(path[i]).replace(u'\'', "''"));
    QStringList names = path; // as the titles name the node
    names[0] = path[0] == u"P" ? QStringLiteral("Prihodi") : QStringLiteral("Rashodi");
    const QString tag = names.join(QStringLiteral(" / "));
    const QString side = path.first() == u"P" ? QStringLiteral("POT") : QStringLiteral("DUG");
    double planned[13] = {}, realised[13] = {}, plannedYear = 0, realisedYear = 0;
    const QString y = QString::number(year);
    Recordset &rs = m_w->chartRecordset();
    QCOMPARE(labels(rs), "PLAN_" + y + " REAL_" + y); // "Plan": the plan first
    QCOMPARE(m_w->MSChart1->titleText(), "Plan i realizacija: " + tag);
    for (int m = 1; m <= 12; ++m) {
        planned[m] =
            m_fx->ask(
                    QStringLiteral("SELECT TOTAL(Iznos%1) FROM FINPLAN WHERE %2").arg(mm(m), where))
                .toDouble();
        realised[m] = m_fx->ask(QStringLiteral("SELECT TOTAL(p.%1%2) FROM PROMET p WHERE "
                                               "p.BROJPODUZECA=%3 AND p.GODINAKNJ=%4 AND EXISTS "
                                               "(SELECT 1 FROM FINPLAN WHERE %5 AND "
                                               "KONTO=p.SINTKONTO AND KOMITENT=p.ANALKONTO)")
                                    .arg(side, mm(m))
                                    .arg(firm)
                                    .arg(year)
                                    .arg(where))
                          .toDouble();
        COMPARE_FIGURE(rs.valueAt(0, m).toDouble(), planned[m], "plan " + mm(m));
        COMPARE_FIGURE(rs.valueAt(1, m).toDouble(), realised[m], "realisation " + mm(m));
        plannedYear += planned[m];
        realisedYear += realised[m];
    }
    QVERIFY(plannedYear > 0 && realisedYear > 0);
    // the reader sees the rows by their meaning; each keeps its colour in every view
    const ChartModel &chart = m_w->MSChart1->model();
    QCOMPARE(chart.titleOf(0), "Plan " + y);
    QCOMPARE(chart.titleOf(1), "Realizacija " + y);
    const QColor planColour = chart.fillColor(0), realColour = chart.fillColor(1);
    QVERIFY(planColour != realColour);

    m_w->optVrijednost[1]->click(); // "Realizacija": the same rows, what was booked first
    QCOMPARE(labels(rs), "REAL_" + y + " PLAN_" + y);
    COMPARE_FIGURE(rs.valueAt(0, 5).toDouble(), realised[5], "realisation first");
    QCOMPARE(chart.titleOf(0), "Realizacija " + y);
    QCOMPARE(chart.fillColor(0), realColour);
    QCOMPARE(chart.fillColor(1), planColour);

    // "Indeks": plan, realisation and index for grid and export, the index alone in the chart
    m_w->optVrijednost[2]->click();
    QCOMPARE(labels(rs), "PLAN_" + y + " REAL_" + y + " INDEKS_" + y);
    for (int m = 1; m <= 12; ++m)
        COMPARE_FIGURE(rs.valueAt(2, m).toDouble(), realised[m] * 100 / planned[m],
                       "index " + mm(m));
    QCOMPARE(chart.table.rowLabels, QStringList{"INDEKS_" + y});
    QCOMPARE(chart.titleOf(0), "Indeks " + y);
    QVERIFY(chart.fillColor(0) != planColour && chart.fillColor(0) != realColour);
    QCOMPARE(m_w->MSChart1->titleText(), "Indeks realizacije / plana: " + tag);
    m_w->mnuUExcel->trigger();
    QCOMPARE(m_fx->spreadsheets->sheets.size(), 1);
    QCOMPARE(m_fx->spreadsheets->sheets.first()->rowCount(), 4); // header and the three rows
    QVERIFY(m_fx->dialogs->messages.isEmpty());
}

void TstFrmFinGrafPlan::monthsAndYearsWithoutFigures()
{
    QVERIFY(open());
    CLICK_PATH(m_w, "R", "Usluge");
    Recordset &rs = m_w->chartRecordset();
    // months without a plan column fail, and the chart keeps what it showed
    for (const auto &[first, last] :
         {std::pair{"5", "3"}, std::pair{"0", "12"}, std::pair{"1", "13"}}) {
        m_w->txtMj[0]->setText(QString::fromLatin1(first));
        m_w->txtMj[1]->setText(QString::fromLatin1(last));
        const QVariant shown = rs.valueAt(0, 1);
        m_fx->dialogs->messages.clear();
        m_w->redraw();
        QCOMPARE(m_fx->dialogs->texts(), QStringList{kAccess + QStringLiteral("Usluge")});
        QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::Exclamation);
        QCOMPARE(rs.valueAt(0, 1), shown);
    }
    m_w->txtMj[0]->setText(QStringLiteral("3"));
    m_w->txtMj[1]->setText(QStringLiteral("5"));
    QCOMPARE(rs.fieldName(1) + rs.fieldName(3), QStringLiteral("Mj03Mj05"));

    // a year without a plan: no figures in either row, with the old tree, and no message
    m_fx->dialogs->messages.clear();
    m_w->txtGodina[0]->setText(QStringLiteral("2021"));
    QCOMPARE(labels(rs), QStringLiteral("PLAN_2021 REAL_2021"));
    QVERIFY(rs.valueAt(0, 1).isNull() && rs.valueAt(1, 1).isNull());
    QVERIFY(m_w->tv->node(QStringLiteral("RG***Usluge")) && m_fx->dialogs->messages.isEmpty());
    m_w->txtGodina[0]->clear();
    QCOMPARE(m_fx->said(), QStringList{kAccess + QStringLiteral("Usluge")});

    // a refill forgets the clicked node: a redraw then draws nothing and says nothing
    m_w->txtGodina[0]->setText(QStringLiteral("2024"));
    m_w->mnuNapuniKonta->trigger();
    QVERIFY(!m_w->lastNode());
    m_fx->dialogs->messages.clear();
    m_w->optVrijednost[1]->click();
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(labels(rs), QStringLiteral("PLAN_2024 REAL_2024"));
}

void TstFrmFinGrafPlan::failedReadsNeverDrawTheWrongTurnover()
{
    // The income side's group names cannot be read, nor the accounts of "Usluge".
    QString columns;
    for (int m = 1; m <= 12; ++m)
        columns += QStringLiteral(", Iznos") + mm(m);
    const QString fail = QStringLiteral("abs(-9223372036854775807-1)");
    change(
        "ALTER TABLE FINPLAN RENAME TO T; CREATE VIEW FINPLAN AS SELECT BrojPoduzeca, GODINAKNJ, "
        "brojplana, TIP, CASE WHEN TIP='P' THEN " +
        fail + " ELSE GRUPA END AS GRUPA, PODGRUPA, ANALITIKA, CASE WHEN GRUPA='Usluge' THEN " +
        fail + " ELSE KONTO END AS KONTO, KOMITENT" + columns + " FROM T");
    QVERIFY(open());
    QCOMPARE(m_fx->said(), QStringList{QStringLiteral("GREŠKA u punjenju podataka!")});
    FIND_NODE(income, m_w->tv, QStringLiteral("P****"));
    QCOMPARE(income->childCount(), 0);
    CLICK_PATH(m_w, "R", "Plaće"); // the other side
    const QVariant shown = m_w->chartRecordset().valueAt(1, 1);
    QVERIFY(!shown.isNull());
    m_fx->dialogs->messages.clear();
    CLICK_PATH(m_w, "R", "Usluge", "Najam");
    QCOMPARE(m_fx->said(), (QStringList{QStringLiteral("Desila se greška: u čitanju postavljanju "
                                                       "filtra za konto/komit!"),
                                        kAccess + QStringLiteral("Najam")}));
    QCOMPARE(m_w->chartRecordset().valueAt(1, 1), shown);
}

void TstFrmFinGrafPlan::keyOfTwoNodesIsKnownAsShared()
{
    // names joined without a separator: "AB" / "C" and "A" / "BC" ask for the same key, which
    // the tree gives to the first; both are known to have been given it
    change(QStringLiteral("INSERT INTO FINPLAN (BrojPoduzeca, GODINAKNJ, brojplana, TIP, GRUPA, "
                          "PODGRUPA, KONTO) VALUES (1, %1, 1, 'P', 'AB', 'C', '7500'), (1, %1, 1, "
                          "'P', 'A', 'BC', '7501')")
               .arg(kLastYear));
    QVERIFY(open());
    const QList<QTreeWidgetItem *> given = m_w->tv->nodesGiven(QStringLiteral("PGP**ABC"));
    QCOMPARE(given.size(), 2);
    QCOMPARE(given[0]->parent()->text(0) + u'/' + given[0]->text(0), QStringLiteral("A/BC"));
    QCOMPARE(given[1]->parent()->text(0) + u'/' + given[1]->text(0), QStringLiteral("AB/C"));
    QCOMPARE(m_w->tv->node(QStringLiteral("PGP**ABC")), given[0]); // the first one added
    QCOMPARE(m_w->tv->nodesGiven(QStringLiteral("PG***Prihodi od prodaje")).size(), 1);
}

void TstFrmFinGrafPlan::planWithoutRowsSaysSoAndDrawsNothing_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("plan");
    QTest::addColumn<int>("firm");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("planned"); // a year of the plan, 0 for none
    QTest::addColumn<QString>("caption");
    const auto row = [](const char *name, int method, const char *table, int plan, int firm,
                        int year, int planned, const char *kind) {
        QTest::newRow(name) << method << QString::fromLatin1(table) << plan << firm << year
                            << planned
                            << QStringLiteral("Pregled plana i realizacije %1 Broj plana: %2")
                                   .arg(QString::fromUtf8(kind))
                                   .arg(plan);
    };
    row("no such plan", 4, "PROMET", 9, 1, 2026, 0, "po mjesecima");
    row("a plan of other years, cost centres", 4, " prometmt ", 1, 1, 2022, 2026,
        "po mjesecima po mjestima troška");
    row("a firm without plans", 4, "PROMET", 1, 7, 2026, 0, "po mjesecima");
    row("no such budget plan, cost centres", 5, "PROMETMT", 9, 1, 2026, 0,
        "budžeta po mjesecima po mjestima troška");
}

// A plan without rows for the firm and year is said to have none, on opening and on every click.
// The caption names the kind, the cost centres and the plan, and keeps their settings apart.
void TstFrmFinGrafPlan::planWithoutRowsSaysSoAndDrawsNothing()
{
    QFETCH(int, method);
    QFETCH(QString, table);
    QFETCH(int, plan);
    QFETCH(int, firm);
    QFETCH(int, year);
    QFETCH(int, planned);
    QFETCH(QString, caption);
    m_fx->store(caption, {"PočetniMjesec", "4", "PočetnaGodina", "1999"}); // years not kept
    QVERIFY(open(method, qint16(plan), qint16(firm), qint16(year), table));
    QCOMPARE(m_w->windowTitle(), caption);
    QCOMPARE(m_w->txtMj[0]->text(), QStringLiteral("4"));
    QCOMPARE(m_w->txtGodina[0]->text(), QString::number(year)); // the host's year
    const QString said = QStringLiteral("Plan broj %1 nema nijedne stavke za poduzeće %2 u %3. "
                                        "godini: nema se što prikazati.")
                             .arg(plan)
                             .arg(firm)
                             .arg(year);
    QCOMPARE(m_fx->dialogs->texts(), QStringList{said});
    QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::Information);
    FIND_NODE(income, m_w->tv, QStringLiteral("P****"));
    FIND_NODE(expenses, m_w->tv, QStringLiteral("R****"));
    QCOMPARE(income->childCount() + expenses->childCount(), 0);

    // a click on a side says it again and draws nothing, whatever the value buttons show
    CLICK_PATH(m_w, "R");
    m_w->optVrijednost[2]->click();
    QCOMPARE(m_fx->said(), (QStringList{said, said, said}));
    QVERIFY(!m_w->chartRecordset().isOpen());
    QCOMPARE(m_w->MSChart1->model().table.rows(), 0);

    // a year of the plan in the year box and a refill: the plan is there to draw
    if (!planned)
        return;
    m_w->txtGodina[0]->setText(QString::number(planned));
    m_w->mnuNapuniKonta->trigger();
    CLICK_PATH(m_w, "R");
    QCOMPARE(m_fx->said(), QStringList());
    QCOMPARE(labels(m_w->chartRecordset()),
             QStringLiteral("PLAN_%1 REAL_%1 INDEKS_%1").arg(planned));
}

QTEST_MAIN(TstFrmFinGrafPlan)
#include "tst_frmfingrafplan.moc"
