// The plan window on the demo book: its tree and figures against what SQLite itself reads from
// the book, the value buttons, the captions that keep the settings apart, and failed reads.
#include "windowsupport.h"

using namespace TestSupport;

namespace {
const QString kAccess = QStringLiteral("Greška u pristupu podacima : ");
}

class TstFrmFinGrafPlan : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_fx = std::make_unique<WindowFixture>(); }
    void cleanup() { m_fx.reset(); }
    void treeMonthsAndYears();
    void figuresMatchTheBook_data();
    void figuresMatchTheBook();
    void failedReadsNeverDrawTheWrongTurnover();
    void planWithoutRowsSaysSoAndDrawsNothing_data();
    void planWithoutRowsSaysSoAndDrawsNothing();

private:
    ChartWindow *open(int method = 4, qint16 plan = 1, qint16 firm = 1, qint16 year = kLastYear,
                      const QString &table = QStringLiteral("PROMET"))
    {
        return m_w = m_fx->openMethod(method, QString(), firm, year, table, plan);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<WindowFixture> m_fx;
    QPointer<ChartWindow> m_w;
};

// The tree of the year's plan and the paths it does not hold; the months and years without
// figures.
void TstFrmFinGrafPlan::treeMonthsAndYears()
{
    QVERIFY(open());
    // two roots, every group, every named subgroup and every named item of one, once
    int nodes = 0;
    for (QTreeWidgetItemIterator it(m_w->tv); *it; ++it)
        ++nodes;
    QCOMPARE(nodes, m_fx->ask(QStringLiteral(
                                  "SELECT 2 + count(DISTINCT TIP||'/'||GRUPA) + count(DISTINCT "
                                  "CASE WHEN PODGRUPA<>'' THEN TIP||'/'||GRUPA||'/'||PODGRUPA "
                                  "END) + count(DISTINCT CASE WHEN PODGRUPA<>'' AND ANALITIKA<>'' "
                                  "THEN TIP||'/'||GRUPA||'/'||PODGRUPA||'/'||ANALITIKA END) FROM "
                                  "FINPLAN WHERE BrojPoduzeca=1 AND GODINAKNJ=%1 AND brojplana=1")
                                  .arg(kLastYear))
                        .toInt());
    FIND_NODE(bakery, m_w->tv,
              QStringLiteral("PGPA*Naplata od kupacaKljučni kupciPekara D'Oro d.o.o."));
    FIND_NODE(keyCustomers, m_w->tv, QStringLiteral("PGP**Naplata od kupacaKljučni kupci"));
    QCOMPARE(bakery->parent(), keyCustomers);
    FIND_NODE(financial, m_w->tv, QStringLiteral("PG***Financijski prihodi"));
    QCOMPARE(financial->childCount(), 0);
    QVERIFY(m_fx->dialogs->messages.isEmpty());

    // a path the tree does not hold: what is there instead, the groups and subgroups in order
    QString notFound;
    QVERIFY(!m_w->clickPath({QStringLiteral("P"), QStringLiteral("Nema")}, &notFound));
    QCOMPARE(notFound, QStringLiteral("Grupa \"Nema\" nije u stablu pod \"Prihodi\". Ondje su: "
                                      "Financijski prihodi, Naplata od kupaca, Prihodi od "
                                      "prodaje."));
    QVERIFY(!m_w->clickPath({QStringLiteral("R"), QStringLiteral("Usluge"), QStringLiteral("Nema")},
                            &notFound));
    QCOMPARE(notFound, QStringLiteral("Podgrupa \"Nema\" nije u stablu pod \"Rashodi / "
                                      "Usluge\". Ondje su: Najam, Prijevoz, Telekomunikacije."));

    CLICK_PATH(m_w, "R", "Usluge");
    Recordset &rs = m_w->chartRecordset();
    // months without a plan column (the statements' test has each kind) fail, and the chart
    // keeps what it showed
    const QVariant shown = rs.valueAt(0, 1);
    m_w->txtMj[0]->setText(QStringLiteral("0"));
    QCOMPARE(m_fx->dialogs->messages.value(0).icon, Dialogs::Exclamation);
    QCOMPARE(m_fx->said(), QStringList{kAccess + QStringLiteral("Usluge")});
    QCOMPARE(rs.valueAt(0, 1), shown);
    m_w->txtMj[0]->setText(QStringLiteral("3"));
    m_w->txtMj[1]->setText(QStringLiteral("5"));
    QCOMPARE(rs.fieldName(1) + rs.fieldName(3), QStringLiteral("Mj03Mj05"));

    // a year without a plan: no figures in either row, with the old tree, and no message
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
    QString where =
        QString::asprintf("BrojPoduzeca=%d AND GODINAKNJ=%d AND brojplana=%d", firm, year, plan);
    const char *columns[] = {"TIP", "GRUPA", "PODGRUPA", "ANALITIKA"};
    for (int i = 0; i < path.size(); ++i)
        where += QStringLiteral(" AND %1='%2'")
                     .arg(QLatin1String(columns[i]), QString(path[i]).replace(u'\'', "''"));
    const QString tag = path.join(QStringLiteral(" / ")) // as the titles name the node
                            .replace(0, 1, path[0] == u"P" ? "Prihodi" : "Rashodi");
    // the month as MM
    const QString planSql = "SELECT TOTAL(IznosMM) FROM FINPLAN WHERE " + where;
    const QString realSql = QStringLiteral("SELECT TOTAL(p.%1MM) FROM PROMET p WHERE "
                                           "p.BROJPODUZECA=%2 AND p.GODINAKNJ=%3 AND EXISTS "
                                           "(SELECT 1 FROM FINPLAN WHERE %4 AND "
                                           "KONTO=p.SINTKONTO AND KOMITENT=p.ANALKONTO)")
                                .arg(path[0] == u"P" ? "POT" : "DUG", QString::number(firm),
                                     QString::number(year), where);
    double planned[13] = {}, realised[13] = {}, plannedYear = 0, realisedYear = 0;
    const QString y = QString::number(year);
    Recordset &rs = m_w->chartRecordset();
    QCOMPARE(labels(rs), "PLAN_" + y + " REAL_" + y); // "Plan": the plan first
    QCOMPARE(m_w->MSChart1->titleText(), "Plan i realizacija: " + tag);
    for (int m = 1; m <= 12; ++m) {
        plannedYear += planned[m] = m_fx->ask(QString(planSql).replace("MM", mm(m))).toDouble();
        realisedYear += realised[m] = m_fx->ask(QString(realSql).replace("MM", mm(m))).toDouble();
        COMPARE_FIGURE(rs.valueAt(0, m).toDouble(), planned[m], "plan " + mm(m));
        COMPARE_FIGURE(rs.valueAt(1, m).toDouble(), realised[m], "realisation " + mm(m));
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
    QVERIFY(chart.fillColor(0) == realColour && chart.fillColor(1) == planColour);

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
    QVERIFY(m_fx->dialogs->messages.isEmpty());
}

void TstFrmFinGrafPlan::failedReadsNeverDrawTheWrongTurnover()
{
    // The income side's group names cannot be read, nor the accounts of "Usluge". Names joined
    // without a separator: "AB" / "C" and "A" / "BC" ask for the same key, which the tree gives to
    // the first; both are known to have been given it.
    // (the view's first GRUPA and KONTO are the ones read, the table's follow them renamed)
    m_fx->book = demoBookCopy(m_dir);
    const QString changed = execute(
        m_fx->book,
        QStringLiteral("ALTER TABLE FINPLAN RENAME TO T; CREATE VIEW FINPLAN AS SELECT CASE WHEN "
                       "TIP='P' THEN %1 ELSE GRUPA END AS GRUPA, CASE WHEN GRUPA='Usluge' THEN %1 "
                       "ELSE KONTO END AS KONTO, * FROM T; INSERT INTO T (BrojPoduzeca, "
                       "GODINAKNJ, brojplana, TIP, GRUPA, PODGRUPA, KONTO) VALUES (1, %2, 1, 'R', "
                       "'AB', 'C', '7500'), (1, %2, 1, 'R', 'A', 'BC', '7501')")
            .arg(QStringLiteral("abs(-9223372036854775807-1)"))
            .arg(kLastYear));
    QCOMPARE(changed, QString());
    QVERIFY(open());
    const QList<QTreeWidgetItem *> given = m_w->tv->nodesGiven(QStringLiteral("RGP**ABC"));
    QCOMPARE(given.size(), 2);
    QCOMPARE(given[0]->parent()->text(0) + u'/' + given[0]->text(0), QStringLiteral("A/BC"));
    QCOMPARE(given[1]->parent()->text(0) + u'/' + given[1]->text(0), QStringLiteral("AB/C"));
    QCOMPARE(m_w->tv->node(QStringLiteral("RGP**ABC")), given[0]); // the first one added
    QCOMPARE(m_w->tv->nodesGiven(QStringLiteral("RG***Plaće")).size(), 1);
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

void TstFrmFinGrafPlan::planWithoutRowsSaysSoAndDrawsNothing_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("plan");
    QTest::addColumn<int>("firm");
    QTest::addColumn<int>("year");     // the host's; the plan of another year is of kLastYear
    QTest::addColumn<QString>("kind"); // in the caption
    QTest::newRow("no such plan") << 4 << QStringLiteral("PROMET") << 9 << 1 << kLastYear
                                  << QStringLiteral("po mjesecima");
    QTest::newRow("a plan of other years, cost centres")
        << 4 << QStringLiteral(" prometmt ") << 1 << 1 << 2022
        << QStringLiteral("po mjesecima po mjestima troška");
    QTest::newRow("a firm without plans")
        << 4 << QStringLiteral("PROMET") << 1 << 7 << kLastYear << QStringLiteral("po mjesecima");
    QTest::newRow("no such budget plan, cost centres")
        << 5 << QStringLiteral("PROMETMT") << 9 << 1 << kLastYear
        << QStringLiteral("budžeta po mjesecima po mjestima troška");
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
    QFETCH(QString, kind);
    const QString caption =
        QStringLiteral("Pregled plana i realizacije %1 Broj plana: %2").arg(kind).arg(plan);
    m_fx->store(caption, {"PočetniMjesec", "4", "PočetnaGodina", "1999"}); // years not kept
    QVERIFY(open(method, qint16(plan), qint16(firm), qint16(year), table));
    QCOMPARE(m_w->windowTitle(), caption);
    // the month from the settings, the host's year
    QCOMPARE(m_w->txtMj[0]->text() + u' ' + m_w->txtGodina[0]->text(),
             QStringLiteral("4 %1").arg(year));
    const QString said = QString::asprintf(
        "Plan broj %d nema nijedne stavke za poduzeće %d u %d. godini: nema se što prikazati.",
        plan, firm, year);
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
    if (year == kLastYear)
        return;
    m_w->txtGodina[0]->setText(QString::number(kLastYear));
    m_w->mnuNapuniKonta->trigger();
    CLICK_PATH(m_w, "R");
    QCOMPARE(m_fx->said(), QStringList());
    QCOMPARE(labels(m_w->chartRecordset()),
             QStringLiteral("PLAN_%1 REAL_%1 INDEKS_%1").arg(kLastYear));
}

QTEST_MAIN(TstFrmFinGrafPlan)
#include "tst_frmfingrafplan.moc"
