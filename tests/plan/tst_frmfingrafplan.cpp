// The plan window on the demo book: its tree and figures against what SQLite itself reads from
// the book, the value buttons, the captions that keep the settings apart, and failed reads.
#include "plan/frmfingrafplan.h"
#include "platform/chart/chartcontrol.h"
#include "platform/widgets/keyedtree.h"
#include "windowsupport.h"

#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>

using namespace TestSupport;

namespace {

const QString kAccess = QStringLiteral("Greška u pristupu podacima : ");

QString mm(int month)
{
    return QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
}

// A node's plan rows, and the turnover of the account and partner pairs they name, asked of the
// book directly: EXISTS over the plan rows rather than the window's list of pairs.
struct BookSums
{
    QString book, where; // where: firm, year, plan and the node's condition on FINPLAN

    QVariant planned(int m) const
    {
        return scalar(
            book, QStringLiteral("SELECT SUM(Iznos%1) FROM FINPLAN WHERE %2").arg(mm(m), where));
    }
    QVariant realised(int m, const QString &side) const
    {
        return scalar(book,
                      QStringLiteral("SELECT SUM(p.%1%2) FROM PROMET p, (SELECT DISTINCT "
                                     "BrojPoduzeca F, GODINAKNJ Y FROM FINPLAN WHERE %3) k "
                                     "WHERE p.BROJPODUZECA=k.F AND p.GODINAKNJ=k.Y AND EXISTS "
                                     "(SELECT 1 FROM FINPLAN WHERE %3 AND KONTO=p.SINTKONTO "
                                     "AND KOMITENT=p.ANALKONTO)")
                          .arg(side, mm(m), where));
    }
};

bool near(const QVariant &actual, const QVariant &expected, double tolerance = 0.005)
{
    if (actual.isNull() || expected.isNull())
        return actual.isNull() == expected.isNull();
    return qAbs(actual.toDouble() - expected.toDouble()) < tolerance;
}

QString labels(const Recordset &rs)
{
    QStringList out;
    for (int r = 0; r < rs.RecordCount(); ++r)
        out << rs.valueAt(r, 0).toString();
    return out.join(u' ');
}

} // namespace

class TstFrmFinGrafPlan : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void captionKeepsSettingsApart_data();
    void captionKeepsSettingsApart();
    void treeHoldsThePlanOfTheYear();
    void figuresMatchTheBook_data();
    void figuresMatchTheBook();
    void monthsAndYearsWithoutFigures();
    void failedReadsNeverDrawTheWrongTurnover();
    void pathNotInTheTreeSaysWhichAndWhatThereIs();
    void keyOfTwoNodesIsKnownAsShared();
    void planWithoutRowsSaysSoAndDrawsNothing_data();
    void planWithoutRowsSaysSoAndDrawsNothing();

private:
    frmFinGrafPlan *open(int method = 4, qint16 plan = 1, qint16 firm = 1, qint16 year = 2026,
                         const QString &table = QStringLiteral("PROMET"))
    {
        m_w = qobject_cast<frmFinGrafPlan *>(
            m_fx->openMethod(method, sqliteConn(m_book), firm, year, table, plan));
        return m_w;
    }

    QTemporaryDir m_dir;
    QString m_book;
    WindowFixture *m_fx = nullptr;
    QPointer<frmFinGrafPlan> m_w;
};

void TstFrmFinGrafPlan::init()
{
    m_book = demoBook();
    m_fx = new WindowFixture;
}

void TstFrmFinGrafPlan::cleanup()
{
    if (m_w)
        m_w->close();
    delete m_fx;
    cPristupPodacima::closeAllConnections();
}

void TstFrmFinGrafPlan::captionKeepsSettingsApart_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("plan");
    QTest::addColumn<QString>("caption");
    QTest::newRow("plan") << 4 << "PROMET" << 1
                          << "Pregled plana i realizacije po mjesecima Broj plana: 1";
    QTest::newRow("plan, cost centres")
        << 4 << " prometmt " << 2
        << "Pregled plana i realizacije po mjesecima po mjestima troška Broj plana: 2";
    QTest::newRow("budget, cost centres")
        << 5 << "PROMETMT" << 2
        << "Pregled plana i realizacije budžeta po mjesecima po mjestima troška Broj plana: 2";
}

void TstFrmFinGrafPlan::captionKeepsSettingsApart()
{
    QFETCH(int, method);
    QFETCH(QString, table);
    QFETCH(int, plan);
    QFETCH(QString, caption);
    const QString prefix = caption + QStringLiteral("/Settings/");
    m_fx->settings->values.insert(prefix + QStringLiteral("PočetniMjesec"), QStringLiteral("4"));
    QVERIFY(open(method, qint16(plan), 1, 2025, table));
    QCOMPARE(m_w->windowTitle(), caption);
    QCOMPARE(m_w->txtMj[0]->text(), QStringLiteral("4"));
    QCOMPARE(m_w->txtGodina[0]->text(), QStringLiteral("2025"));    // the host's year
    QVERIFY(!m_w->lastNode() && m_fx->dialogs->messages.isEmpty()); // nothing drawn yet
    m_fx->settings->values.clear();
    m_w->close();
    QCOMPARE(m_fx->settings->values.size(), 11); // no years kept
    QCOMPARE(m_fx->settings->values.value(prefix + QStringLiteral("PočetniMjesec")),
             QStringLiteral("4"));
}

void TstFrmFinGrafPlan::treeHoldsThePlanOfTheYear()
{
    QVERIFY(open(4, 2, 1, 2025));
    const QString where =
        QStringLiteral("FROM FINPLAN WHERE BrojPoduzeca=1 AND GODINAKNJ=2025 AND brojplana=2 AND ");
    FIND_NODE(expenses, m_w->tv, QStringLiteral("R****"));
    QStringList groups;
    for (int i = 0; i < expenses->childCount(); ++i)
        groups << expenses->child(i)->text(0);
    QCOMPARE(groups.join(u'|'),
             scalar(m_book, "SELECT group_concat(GRUPA, '|') FROM (SELECT DISTINCT GRUPA " + where +
                                "TIP='R' ORDER BY GRUPA)")
                 .toString());
    // two roots, every group, every named subgroup and every named item of one, once
    int nodes = 0;
    for (QTreeWidgetItemIterator it(m_w->tv); *it; ++it)
        ++nodes;
    QCOMPARE(nodes,
             2 + scalar(m_book, "SELECT count(DISTINCT TIP||'/'||GRUPA) " + where + "1").toInt() +
                 scalar(m_book, "SELECT count(DISTINCT TIP||'/'||GRUPA||'/'||PODGRUPA) " + where +
                                    "PODGRUPA<>''")
                     .toInt() +
                 scalar(m_book, "SELECT count(DISTINCT TIP||'/'||GRUPA||'/'||PODGRUPA||'/'||"
                                "ANALITIKA) " +
                                    where + "PODGRUPA<>'' AND ANALITIKA<>''")
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
}

void TstFrmFinGrafPlan::figuresMatchTheBook_data()
{
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<int>("plan");
    QTest::addColumn<int>("firm");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("tag");
    QTest::newRow("income root") << QStringList{"P"} << "TIP='P'" << 1 << 1 << 2026 << "Prihodi";
    QTest::newRow("expense group") << QStringList{"R", "Usluge"} << "TIP='R' AND GRUPA='Usluge'"
                                   << 1 << 1 << 2026 << "Rashodi / Usluge";
    QTest::newRow("subgroup, plan 2 of the second firm")
        << QStringList{"P", "Prihodi od prodaje", "Roba"}
        << "TIP='P' AND GRUPA='Prihodi od prodaje' AND PODGRUPA='Roba'" << 2 << 2 << 2025
        << "Prihodi / Prihodi od prodaje / Roba";
    QTest::newRow("item with an apostrophe, a partner on a customer account")
        << QStringList{"P", "Naplata od kupaca", "Ključni kupci", "Pekara D'Oro d.o.o."}
        << "TIP='P' AND ANALITIKA='Pekara D''Oro d.o.o.'" << 1 << 1 << 2026
        << "Prihodi / Naplata od kupaca / Ključni kupci / Pekara D'Oro d.o.o.";
    // two partners of one supplier account: theirs, not the account's whole turnover
    QTest::newRow("two partners on one account")
        << QStringList{"R", "Plaćanja dobavljačima"} << "TIP='R' AND GRUPA='Plaćanja dobavljačima'"
        << 1 << 1 << 2026 << "Rashodi / Plaćanja dobavljačima";
}

void TstFrmFinGrafPlan::figuresMatchTheBook()
{
    QFETCH(QStringList, path);
    QFETCH(QString, condition);
    QFETCH(int, plan);
    QFETCH(int, firm);
    QFETCH(int, year);
    QFETCH(QString, tag);
    QVERIFY(open(4, qint16(plan), qint16(firm), qint16(year)));
    QVERIFY(m_w->clickPath(path));
    const BookSums book{m_book, QStringLiteral("BrojPoduzeca=%1 AND GODINAKNJ=%2 AND brojplana=%3 "
                                               "AND %4")
                                    .arg(firm)
                                    .arg(year)
                                    .arg(plan)
                                    .arg(condition)};
    const QString side = path.first() == u"P" ? QStringLiteral("POT") : QStringLiteral("DUG");
    const QString y = QString::number(year);
    Recordset &rs = m_w->chartRecordset();
    QCOMPARE(labels(rs), "PLAN_" + y + " REAL_" + y); // "Plan": the plan first
    QCOMPARE(m_w->MSChart1->titleText(), "Plan i realizacija: " + tag);
    double planned = 0, realised = 0;
    for (int m = 1; m <= 12; ++m) {
        QVERIFY2(near(rs.valueAt(0, m), book.planned(m)), qPrintable(mm(m)));
        QVERIFY2(near(rs.valueAt(1, m), book.realised(m, side)), qPrintable(mm(m)));
        planned += rs.valueAt(0, m).toDouble();
        realised += rs.valueAt(1, m).toDouble();
    }
    QVERIFY(planned > 0 && realised > 0);
    // the reader sees the rows by their meaning; each keeps its colour in every view
    const ChartModel &chart = m_w->MSChart1->model();
    QCOMPARE(chart.titleOf(0), "Plan " + y);
    QCOMPARE(chart.titleOf(1), "Realizacija " + y);
    const QColor planColour = chart.fillColor(0), realColour = chart.fillColor(1);
    QVERIFY(planColour != realColour);

    m_w->optVrijednost[1]->click(); // "Realizacija": the same rows, what was booked first
    QCOMPARE(labels(rs), "REAL_" + y + " PLAN_" + y);
    QVERIFY(near(rs.valueAt(0, 5), book.realised(5, side)));
    QCOMPARE(chart.titleOf(0), "Realizacija " + y);
    QCOMPARE(chart.fillColor(0), realColour);
    QCOMPARE(chart.fillColor(1), planColour);

    // "Indeks": plan, realisation and index for grid and export, the index alone in the chart
    m_w->optVrijednost[2]->click();
    QCOMPARE(labels(rs), "PLAN_" + y + " REAL_" + y + " INDEKS_" + y);
    for (int m = 1; m <= 12; ++m) {
        const double p = book.planned(m).toDouble(), r = book.realised(m, side).toDouble();
        QVERIFY2(near(rs.valueAt(2, m), r * 100 / p, 0.0051), qPrintable(mm(m)));
    }
    QCOMPARE(m_w->MSChart1->model().table.rowLabels, QStringList{"INDEKS_" + y});
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
    QVERIFY(m_w->clickPath({QStringLiteral("R"), QStringLiteral("Usluge")}));
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
    QCOMPARE(m_fx->dialogs->texts(), QStringList{kAccess + QStringLiteral("Usluge")});

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
    m_book = demoBookCopy(m_dir);
    QString columns;
    for (int m = 1; m <= 12; ++m)
        columns += QStringLiteral(", Iznos") + mm(m);
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(m_book.toUtf8().constData(), &db), SQLITE_OK);
    const QString fail = QStringLiteral("abs(-9223372036854775807-1)");
    const QByteArray sql =
        ("ALTER TABLE FINPLAN RENAME TO T; CREATE VIEW FINPLAN AS SELECT BrojPoduzeca, GODINAKNJ, "
         "brojplana, TIP, CASE WHEN TIP='P' THEN " +
         fail + " ELSE GRUPA END AS GRUPA, PODGRUPA, ANALITIKA, CASE WHEN GRUPA='Usluge' THEN " +
         fail + " ELSE KONTO END AS KONTO, KOMITENT" + columns + " FROM T")
            .toUtf8();
    QCOMPARE(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    QVERIFY(open());
    QCOMPARE(m_fx->dialogs->texts(), QStringList{QStringLiteral("GREŠKA u punjenju podataka!")});
    FIND_NODE(income, m_w->tv, QStringLiteral("P****"));
    QCOMPARE(income->childCount(), 0);
    QVERIFY(m_w->clickPath({QStringLiteral("R"), QStringLiteral("Plaće")})); // the other side
    const QVariant shown = m_w->chartRecordset().valueAt(1, 1);
    QVERIFY(!shown.isNull());
    m_fx->dialogs->messages.clear();
    QVERIFY(
        m_w->clickPath({QStringLiteral("R"), QStringLiteral("Usluge"), QStringLiteral("Najam")}));
    QCOMPARE(m_fx->dialogs->texts(),
             (QStringList{QStringLiteral("Desila se greška: u čitanju postavljanju filtra za "
                                         "konto/komit!"),
                          kAccess + QStringLiteral("Najam")}));
    QCOMPARE(m_w->chartRecordset().valueAt(1, 1), shown);
}

void TstFrmFinGrafPlan::pathNotInTheTreeSaysWhichAndWhatThereIs()
{
    QVERIFY(open());
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

void TstFrmFinGrafPlan::keyOfTwoNodesIsKnownAsShared()
{
    // names joined without a separator: "AB" / "C" and "A" / "BC" ask for the same key, which
    // the tree gives to the first; both are known to have been given it
    QTemporaryDir dir;
    m_book = demoBookCopy(dir);
    QCOMPARE(execute(m_book,
                     QStringLiteral("INSERT INTO FINPLAN (BrojPoduzeca, GODINAKNJ, brojplana, TIP, "
                                    "GRUPA, PODGRUPA, KONTO) VALUES (1, %1, 1, 'P', 'AB', 'C', "
                                    "'7500'), (1, %1, 1, 'P', 'A', 'BC', '7501')")
                         .arg(kLastYear)),
             QString());
    QVERIFY(open());
    const QList<QTreeWidgetItem *> given = m_w->tv->nodesGiven(QStringLiteral("PGP**ABC"));
    QCOMPARE(given.size(), 2);
    QCOMPARE(given[0]->parent()->text(0) + u'/' + given[0]->text(0), QStringLiteral("A/BC"));
    QCOMPARE(given[1]->parent()->text(0) + u'/' + given[1]->text(0), QStringLiteral("AB/C"));
    QCOMPARE(m_w->tv->node(QStringLiteral("PGP**ABC")), given[0]); // the first one added
    QCOMPARE(m_w->tv->nodesGiven(QStringLiteral("PG***Prihodi od prodaje")).size(), 1);
    QVERIFY(m_w->tv->nodesGiven(QStringLiteral("nema")).isEmpty());
}

void TstFrmFinGrafPlan::planWithoutRowsSaysSoAndDrawsNothing_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("plan");
    QTest::addColumn<int>("firm");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("planned"); // a year of the plan, 0 for none
    QTest::newRow("no such plan") << 4 << 9 << 1 << 2026 << 0;
    QTest::newRow("a plan of other years") << 4 << 1 << 1 << 2022 << 2026;
    QTest::newRow("a firm without plans") << 4 << 1 << 7 << 2026 << 0;
    QTest::newRow("no such budget plan") << 5 << 9 << 1 << 2026 << 0;
}

void TstFrmFinGrafPlan::planWithoutRowsSaysSoAndDrawsNothing()
{
    QFETCH(int, method);
    QFETCH(int, plan);
    QFETCH(int, firm);
    QFETCH(int, year);
    QFETCH(int, planned);
    QVERIFY(open(method, qint16(plan), qint16(firm), qint16(year)));
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
    m_fx->dialogs->messages.clear();
    QVERIFY(m_w->clickPath({QStringLiteral("R")}));
    m_w->optVrijednost[2]->click();
    QCOMPARE(m_fx->dialogs->texts(), (QStringList{said, said}));
    QVERIFY(!m_w->chartRecordset().isOpen());
    QCOMPARE(m_w->MSChart1->model().table.rows(), 0);

    // a year of the plan in the year box and a refill: the plan is there to draw
    if (!planned)
        return;
    m_fx->dialogs->messages.clear();
    m_w->txtGodina[0]->setText(QString::number(planned));
    m_w->mnuNapuniKonta->trigger();
    QVERIFY(m_w->clickPath({QStringLiteral("R")}));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(labels(m_w->chartRecordset()),
             QStringLiteral("PLAN_%1 REAL_%1 INDEKS_%1").arg(planned));
}

QTEST_MAIN(TstFrmFinGrafPlan)
#include "tst_frmfingrafplan.moc"
