// The plan window on the demo book: its tree against the plan table, its figures against sums
// the book gives through SQLite itself, the value buttons, the captions that keep the settings
// apart, and what the window says when a read fails.
#include "plan/frmfingrafplan.h"
#include "platform/chart/chartcontrol.h"
#include "platform/widgets/keyedtree.h"
#include "windowsupport.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace TestSupport;

namespace {

const QString kPlanCaption = QStringLiteral("Pregled plana i realizacije po mjesecima");
const QString kBudgetCaption = QStringLiteral("Pregled plana i realizacije budžeta po mjesecima");
const QString kAccess = QStringLiteral("Greška u pristupu podacima : ");

QString mm(int month)
{
    return QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
}

// The plan rows of a node, and the turnover of the account and partner pairs they name, asked of
// the book directly: EXISTS over the plan rows rather than the window's list of pairs.
struct BookSums
{
    QString book;
    int firm, plan, year;
    QString condition; // on the plan table

    QString planWhere() const
    {
        return QStringLiteral("BrojPoduzeca=%1 AND GODINAKNJ=%2 AND brojplana=%3 AND %4")
            .arg(firm)
            .arg(year)
            .arg(plan)
            .arg(condition);
    }
    QVariant planned(int month) const
    {
        return scalar(book, QStringLiteral("SELECT SUM(Iznos%1) FROM FINPLAN WHERE %2")
                                .arg(mm(month), planWhere()));
    }
    QVariant realised(int month, const QString &side) const
    {
        return scalar(book,
                      QStringLiteral("SELECT SUM(p.%1%2) FROM PROMET p WHERE p.BROJPODUZECA=%3 AND "
                                     "p.GODINAKNJ=%4 AND EXISTS (SELECT 1 FROM FINPLAN WHERE %5 "
                                     "AND KONTO=p.SINTKONTO AND KOMITENT=p.ANALKONTO)")
                          .arg(side, mm(month))
                          .arg(firm)
                          .arg(year)
                          .arg(planWhere()));
    }
    QVariant index(int month, const QString &side) const
    {
        const QVariant p = planned(month), r = realised(month, side);
        return scalar(book, QStringLiteral("SELECT CASE WHEN %1 <> 0 THEN "
                                           "ROUND(%2 * 100.0 / %1, 2) END")
                                .arg(p.isNull() ? QStringLiteral("NULL") : p.toString(),
                                     r.isNull() ? QStringLiteral("0") : r.toString()));
    }
};

QStringList labels(Recordset &rs)
{
    QStringList out;
    for (int r = 0; r < rs.RecordCount(); ++r)
        out << rs.valueAt(r, 0).toString();
    return out;
}

bool near(const QVariant &actual, const QVariant &expected, double tolerance = 0.005)
{
    if (actual.isNull() || expected.isNull())
        return actual.isNull() == expected.isNull();
    return qAbs(actual.toDouble() - expected.toDouble()) < tolerance;
}

void run(const QString &book, const QString &sql)
{
    sqlite3 *db = nullptr;
    QVERIFY(sqlite3_open(book.toUtf8().constData(), &db) == SQLITE_OK);
    char *error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    QVERIFY2(rc == SQLITE_OK, error);
    sqlite3_close(db);
}

} // namespace

class TstFrmFinGrafPlan : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void captionNamesPlanVariantAndTable_data();
    void captionNamesPlanVariantAndTable();
    void controlsThatDiffer();
    void treeHoldsThePlanOfTheYear();
    void figuresMatchTheBook_data();
    void figuresMatchTheBook();
    void monthRangeGivesItsColumns();
    void monthsWithoutAPlanColumnFail_data();
    void monthsWithoutAPlanColumnFail();
    void yearChangeRedrawsWithTheOldTree();
    void refillForgetsTheClickedNode();
    void plansAndVariantsKeepTheirOwnSettings();
    void indexViewExportsWhatTheGridShows();
    void failedGroupReadStillFillsTheOtherSide();
    void failedAccountReadDrawsNothing();

private:
    frmFinGrafPlan *open(int method = 4, qint16 plan = 1, qint16 firm = 1, qint16 year = 2026,
                         const QString &table = QStringLiteral("PROMET"));
    bool clickPath(const QStringList &path);

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

frmFinGrafPlan *TstFrmFinGrafPlan::open(int method, qint16 plan, qint16 firm, qint16 year,
                                        const QString &table)
{
    if (m_w)
        m_w->close();
    m_w = qobject_cast<frmFinGrafPlan *>(
        m_fx->openMethod(method, sqliteConn(m_book), firm, year, table, plan));
    return m_w;
}

bool TstFrmFinGrafPlan::clickPath(const QStringList &path)
{
    m_fx->dialogs->messages.clear();
    return m_w->clickPath(path);
}

void TstFrmFinGrafPlan::captionNamesPlanVariantAndTable_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("plan");
    QTest::addColumn<QString>("caption");
    QTest::newRow("plan 1") << 4 << "PROMET" << 1 << kPlanCaption + " Broj plana: 1";
    QTest::newRow("plan 2, cost centres")
        << 4 << " prometmt " << 2 << kPlanCaption + " po mjestima troška Broj plana: 2";
    QTest::newRow("budget plan 2, cost centres")
        << 5 << "PROMETMT" << 2 << kBudgetCaption + " po mjestima troška Broj plana: 2";
    QTest::newRow("budget plan 1") << 5 << "PROMET" << 1 << kBudgetCaption + " Broj plana: 1";
}

void TstFrmFinGrafPlan::captionNamesPlanVariantAndTable()
{
    QFETCH(int, method);
    QFETCH(QString, table);
    QFETCH(int, plan);
    QFETCH(QString, caption);
    QVERIFY(open(method, qint16(plan), 1, 2026, table));
    QCOMPARE(m_w->windowTitle(), caption);
    QCOMPARE(m_w->BrojPlana, plan);
    m_fx->settings->values.clear();
    m_w->close();
    QCOMPARE(m_fx->settings->values.size(), 11); // no years kept
    for (auto it = m_fx->settings->values.cbegin(); it != m_fx->settings->values.cend(); ++it)
        QVERIFY2(it.key().startsWith(caption + QStringLiteral("/Settings/")), qPrintable(it.key()));
    QCOMPARE(m_fx->settings->values.value(caption + QStringLiteral("/Settings/PočetniMjesec")),
             QStringLiteral("1"));
}

void TstFrmFinGrafPlan::controlsThatDiffer()
{
    // a stored year is not read: the window shows the host's bookkeeping year
    m_fx->settings->save(kPlanCaption + QStringLiteral(" Broj plana: 1"),
                         QStringLiteral("Settings"), QStringLiteral("PočetnaGodina"),
                         QStringLiteral("2021"));
    QVERIFY(open(4, 1, 1, 2025));
    QCOMPARE(m_w->txtGodina[0]->text(), QStringLiteral("2025"));
    QVERIFY(!m_w->txtGodina[1] && !m_w->Label4 && !m_w->UpDown2);
    QCOMPARE(m_w->Label3->text(), QStringLiteral("Za godinu:"));
    QCOMPARE(m_w->txtMj[0]->text(), QStringLiteral("1"));
    QCOMPARE(m_w->txtMj[1]->text(), QStringLiteral("12"));
    QCOMPARE(m_w->optVrijednost.size(), 3);
    const QStringList captions{QStringLiteral("Plan"), QStringLiteral("Realizacija"),
                               QStringLiteral("Indeks")};
    const QStringList tips{QStringLiteral("Prikaz samo plana"),
                           QStringLiteral("Prikaz samo realizacije"),
                           QStringLiteral("Prikaz indeksa")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m_w->optVrijednost[i]->text(), captions[i]);
        QCOMPARE(m_w->optVrijednost[i]->toolTip(), tips[i]);
    }
    QVERIFY(m_w->optVrijednost[0]->isChecked());
    QCOMPARE(m_w->mnuNapuniKonta->text(), QStringLiteral("Napuni listu"));
    QCOMPARE(m_w->txtkonto->text(), QString());
    // nothing is clicked at first, so nothing is drawn and nothing is said
    QVERIFY(!m_w->lastNode());
    QVERIFY(!m_w->MSChart1->isVisible());
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    m_w->Command1->click();
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(m_w->chartRecordset().fieldCount(), 0);
}

void TstFrmFinGrafPlan::treeHoldsThePlanOfTheYear()
{
    QVERIFY(open(4, 2, 1, 2025));
    const QString where =
        QStringLiteral("BrojPoduzeca=1 AND GODINAKNJ=2025 AND brojplana=2 AND TIP='%1'");
    QCOMPARE(m_w->tv->topLevelItemCount(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString side = i == 0 ? QStringLiteral("P") : QStringLiteral("R");
        QTreeWidgetItem *root = m_w->tv->topLevelItem(i);
        QCOMPARE(KeyedTree::key(root), side + QStringLiteral("****"));
        QCOMPARE(root->text(0), i == 0 ? QStringLiteral("Prihodi") : QStringLiteral("Rashodi"));
        QCOMPARE(KeyedTree::tag(root), root->text(0));
        QStringList groups;
        for (int g = 0; g < root->childCount(); ++g)
            groups << root->child(g)->text(0);
        const QString expected =
            scalar(m_book, QStringLiteral("SELECT group_concat(GRUPA, '|') FROM (SELECT DISTINCT "
                                          "GRUPA FROM FINPLAN WHERE %1 ORDER BY GRUPA)")
                               .arg(where.arg(side)))
                .toString();
        QCOMPARE(groups.join(u'|'), expected);
        QVERIFY(!root->isExpanded());
    }
    // every group, every named subgroup and every named item under a named subgroup, once
    int nodes = 0;
    for (QTreeWidgetItemIterator it(m_w->tv); *it; ++it)
        ++nodes;
    const int expected =
        2 +
        scalar(m_book, QStringLiteral("SELECT count(*) FROM (SELECT DISTINCT TIP, GRUPA FROM "
                                      "FINPLAN WHERE BrojPoduzeca=1 AND GODINAKNJ=2025 AND "
                                      "brojplana=2)"))
            .toInt() +
        scalar(m_book, QStringLiteral("SELECT count(*) FROM (SELECT DISTINCT TIP, GRUPA, PODGRUPA "
                                      "FROM FINPLAN WHERE BrojPoduzeca=1 AND GODINAKNJ=2025 AND "
                                      "brojplana=2 AND PODGRUPA<>'')"))
            .toInt() +
        scalar(m_book,
               QStringLiteral("SELECT count(*) FROM (SELECT DISTINCT TIP, GRUPA, PODGRUPA, "
                              "ANALITIKA FROM FINPLAN WHERE BrojPoduzeca=1 AND GODINAKNJ=2025 AND "
                              "brojplana=2 AND PODGRUPA<>'' AND ANALITIKA<>'')"))
            .toInt();
    QCOMPARE(nodes, expected);

    // an item whose name holds an apostrophe is read like any other
    QTreeWidgetItem *bakery =
        m_w->tv->node(QStringLiteral("PGPA*Naplata od kupacaKljučni kupciPekara D'Oro d.o.o."));
    QVERIFY(bakery);
    QCOMPARE(bakery->text(0), QStringLiteral("Pekara D'Oro d.o.o."));
    QCOMPARE(KeyedTree::tag(bakery),
             QStringLiteral("Prihodi / Naplata od kupaca / Ključni kupci / Pekara D'Oro d.o.o."));
    QCOMPARE(KeyedTree::key(bakery->parent()),
             QStringLiteral("PGP**Naplata od kupacaKljučni kupci"));
    QCOMPARE(KeyedTree::key(bakery->parent()->parent()), QStringLiteral("PG***Naplata od kupaca"));
    // a group whose rows have no subgroup has no children
    QTreeWidgetItem *financial = m_w->tv->node(QStringLiteral("PG***Financijski prihodi"));
    QVERIFY(financial);
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
    QTest::newRow("income root, credit turnover")
        << QStringList{QStringLiteral("P")} << "TIP='P'" << 1 << 1 << 2026 << "Prihodi";
    QTest::newRow("expense root, debit turnover")
        << QStringList{QStringLiteral("R")} << "TIP='R'" << 1 << 1 << 2026 << "Rashodi";
    QTest::newRow("group") << QStringList{QStringLiteral("R"), QStringLiteral("Usluge")}
                           << "TIP='R' AND GRUPA='Usluge'" << 1 << 1 << 2026 << "Rashodi / Usluge";
    QTest::newRow("subgroup") << QStringList{QStringLiteral("P"),
                                             QStringLiteral("Prihodi od prodaje"),
                                             QStringLiteral("Roba")}
                              << "TIP='P' AND GRUPA='Prihodi od prodaje' AND PODGRUPA='Roba'" << 1
                              << 1 << 2026 << "Prihodi / Prihodi od prodaje / Roba";
    QTest::newRow("analytic item with an apostrophe, a partner on a customer account")
        << QStringList{QStringLiteral("P"), QStringLiteral("Naplata od kupaca"),
                       QStringLiteral("Ključni kupci"), QStringLiteral("Pekara D'Oro d.o.o.")}
        << "TIP='P' AND GRUPA='Naplata od kupaca' AND PODGRUPA='Ključni kupci' AND "
           "ANALITIKA='Pekara D''Oro d.o.o.'"
        << 1 << 1 << 2026 << "Prihodi / Naplata od kupaca / Ključni kupci / Pekara D'Oro d.o.o.";
    // two partners of one supplier account: only theirs, not the account's whole turnover
    QTest::newRow("two partners on one account")
        << QStringList{QStringLiteral("R"), QStringLiteral("Plaćanja dobavljačima")}
        << "TIP='R' AND GRUPA='Plaćanja dobavljačima'" << 1 << 1 << 2026
        << "Rashodi / Plaćanja dobavljačima";
    QTest::newRow("plan 2 of the second firm in an earlier year")
        << QStringList{QStringLiteral("R"), QStringLiteral("Plaće")} << "TIP='R' AND GRUPA='Plaće'"
        << 2 << 2 << 2025 << "Rashodi / Plaće";
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
    QVERIFY(clickPath(path));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    const BookSums book{m_book, firm, plan, year, condition};
    const QString side = path.first() == u"P" ? QStringLiteral("POT") : QStringLiteral("DUG");
    const QString y = QString::number(year);
    Recordset &rs = m_w->chartRecordset();

    // "Plan": the plan first, then what was booked
    QCOMPARE(labels(rs), (QStringList{"PLAN_" + y, "REAL_" + y}));
    QCOMPARE(rs.fieldCount(), 13);
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Plan i realizacija: ") + tag);
    QCOMPARE(m_w->MSChart1->seriesCount(), 2);
    double plannedYear = 0, realisedYear = 0;
    for (int m = 1; m <= 12; ++m) {
        const int field = rs.fieldIndex(QStringLiteral("Mj") + mm(m));
        QVERIFY2(near(rs.valueAt(0, field), book.planned(m)), qPrintable(mm(m)));
        QVERIFY2(near(rs.valueAt(1, field), book.realised(m, side)), qPrintable(mm(m)));
        plannedYear += rs.valueAt(0, field).toDouble();
        realisedYear += rs.valueAt(1, field).toDouble();
    }
    QVERIFY(plannedYear > 0);
    QVERIFY(realisedYear > 0);

    // "Realizacija": the same two rows, what was booked first
    m_w->optVrijednost[1]->click();
    QCOMPARE(labels(rs), (QStringList{"REAL_" + y, "PLAN_" + y}));
    QVERIFY(near(rs.valueAt(0, 5), book.realised(5, side)));
    QVERIFY(near(rs.valueAt(1, 5), book.planned(5)));
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Plan i realizacija: ") + tag);

    // "Indeks": the grid shows plan, realisation and index; the chart the index alone
    m_w->optVrijednost[2]->click();
    QCOMPARE(labels(rs), (QStringList{"PLAN_" + y, "REAL_" + y, "INDEKS_" + y}));
    for (int m = 1; m <= 12; ++m)
        QVERIFY2(near(rs.valueAt(2, m), book.index(m, side), 0.0101), qPrintable(mm(m)));
    QCOMPARE(m_w->MSChart1->seriesCount(), 1);
    QCOMPARE(m_w->MSChart1->model().table.rowLabels, QStringList{"INDEKS_" + y});
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Indeks realizacije / plana: ") + tag);
    m_w->mnuPregledPodataka_Click();
    QCOMPARE(m_w->dgPodaci->model()->rowCount(), 3);
    QVERIFY(m_fx->dialogs->messages.isEmpty());
}

void TstFrmFinGrafPlan::monthRangeGivesItsColumns()
{
    QVERIFY(open());
    QVERIFY(clickPath({QStringLiteral("R"), QStringLiteral("Usluge")}));
    m_w->txtMj[0]->setText(QStringLiteral("3"));
    m_w->txtMj[1]->setText(QStringLiteral("5"));
    Recordset &rs = m_w->chartRecordset();
    QCOMPARE(rs.RecordCount(), 2);
    QCOMPARE(rs.fieldCount(), 4);
    QCOMPARE(rs.fieldName(1), QStringLiteral("Mj03"));
    QCOMPARE(rs.fieldName(3), QStringLiteral("Mj05"));
    const BookSums book{m_book, 1, 1, 2026, QStringLiteral("TIP='R' AND GRUPA='Usluge'")};
    QVERIFY(near(rs.valueAt(0, 3), book.planned(5)));
    QVERIFY(near(rs.valueAt(1, 1), book.realised(3, QStringLiteral("DUG"))));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
}

void TstFrmFinGrafPlan::monthsWithoutAPlanColumnFail_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("first after last") << "5"
                                      << "3";
    QTest::newRow("month 0: a plan has no opening month") << "0"
                                                          << "12";
    QTest::newRow("month 13") << "1"
                              << "13";
}

void TstFrmFinGrafPlan::monthsWithoutAPlanColumnFail()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QVERIFY(open());
    QVERIFY(clickPath({QStringLiteral("R"), QStringLiteral("Usluge"), QStringLiteral("Najam")}));
    m_w->txtMj[0]->setText(first);
    m_w->txtMj[1]->setText(last);
    const int fields = m_w->chartRecordset().fieldCount();
    const QVariant shown = m_w->chartRecordset().valueAt(0, 1);
    m_fx->dialogs->messages.clear();
    m_w->redraw();
    QCOMPARE(m_fx->dialogs->texts(), QStringList{kAccess + QStringLiteral("Najam")});
    QCOMPARE(m_fx->dialogs->messages.value(0).icon, Dialogs::Exclamation);
    QCOMPARE(m_w->chartRecordset().fieldCount(), fields); // the chart keeps what it showed
    QCOMPARE(m_w->chartRecordset().valueAt(0, 1), shown);
    QVERIFY(!shown.isNull());
}

void TstFrmFinGrafPlan::yearChangeRedrawsWithTheOldTree()
{
    QVERIFY(open());
    QVERIFY(clickPath({QStringLiteral("P"), QStringLiteral("Prihodi od prodaje")}));
    QTreeWidgetItem *clicked = m_w->lastNode();
    const int nodes = m_w->tv->topLevelItem(0)->childCount();
    m_w->txtGodina[0]->setText(QStringLiteral("2025"));
    Recordset &rs = m_w->chartRecordset();
    QCOMPARE(labels(rs), (QStringList{QStringLiteral("PLAN_2025"), QStringLiteral("REAL_2025")}));
    const BookSums book{m_book, 1, 1, 2025,
                        QStringLiteral("TIP='P' AND GRUPA='Prihodi od prodaje'")};
    QVERIFY(near(rs.valueAt(0, 7), book.planned(7)));
    QVERIFY(near(rs.valueAt(1, 7), book.realised(7, QStringLiteral("POT"))));
    QCOMPARE(m_w->lastNode(), clicked);
    QCOMPARE(m_w->tv->topLevelItem(0)->childCount(), nodes);

    // a year without a plan: neither row has figures (the realisation of nothing planned is
    // nothing, not the firm's whole turnover)
    m_w->txtGodina[0]->setText(QStringLiteral("2021"));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(labels(rs), (QStringList{QStringLiteral("PLAN_2021"), QStringLiteral("REAL_2021")}));
    for (int f = 1; f <= 12; ++f) {
        QVERIFY(rs.valueAt(0, f).isNull());
        QVERIFY(rs.valueAt(1, f).isNull());
    }

    m_w->txtGodina[0]->setText(QString());
    QCOMPARE(m_fx->dialogs->texts(), QStringList{kAccess + QStringLiteral("Prihodi od prodaje")});
    QCOMPARE(labels(rs), (QStringList{QStringLiteral("PLAN_2021"), QStringLiteral("REAL_2021")}));
}

void TstFrmFinGrafPlan::refillForgetsTheClickedNode()
{
    QVERIFY(open());
    QVERIFY(clickPath({QStringLiteral("R")}));
    m_w->txtGodina[0]->setText(QStringLiteral("2024"));
    m_w->mnuNapuniKonta->trigger();
    QVERIFY(!m_w->lastNode());
    // the tree now holds the plan of 2024, and a redraw without a node says nothing
    QVERIFY(m_w->tv->node(QStringLiteral("RG***Usluge")));
    m_fx->dialogs->messages.clear();
    m_w->txtMj[0]->setText(QStringLiteral("2"));
    m_w->optVrijednost[1]->click();
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(m_w->chartRecordset().fieldCount(), 13); // what was drawn last, months 1 to 12
    QVERIFY(m_w->tv->isVisibleTo(m_w));
}

void TstFrmFinGrafPlan::plansAndVariantsKeepTheirOwnSettings()
{
    QVERIFY(open(4, 3));
    m_w->cmbType->setCurrentIndex(3);
    m_w->txtMj[0]->setText(QStringLiteral("4"));
    m_w->close();
    for (const auto &[method, plan] : {std::pair{4, 4}, std::pair{5, 3}}) {
        QVERIFY(open(method, qint16(plan)));
        QCOMPARE(m_w->cmbType->currentIndex(), 9);
        QCOMPARE(m_w->txtMj[0]->text(), QStringLiteral("1"));
        m_w->close();
    }
    QVERIFY(open(4, 3, 1, 2026, QStringLiteral("PROMETMT")));
    QCOMPARE(m_w->cmbType->currentIndex(), 9);
    QVERIFY(open(4, 3));
    QCOMPARE(m_w->cmbType->currentIndex(), 3);
    QCOMPARE(m_w->txtMj[0]->text(), QStringLiteral("4"));
}

void TstFrmFinGrafPlan::indexViewExportsWhatTheGridShows()
{
    QVERIFY(open());
    m_w->optVrijednost[2]->click();
    QVERIFY(clickPath({QStringLiteral("R"), QStringLiteral("Plaće")}));
    m_w->mnuUExcel->trigger();
    QCOMPARE(m_fx->spreadsheets->sheets.size(), 1);
    const SheetCells &sheet = *m_fx->spreadsheets->sheets.first();
    QCOMPARE(sheet.rowCount(), 4); // header, plan, realisation, index
    QCOMPARE(sheet.cell(2, 1), QVariant(QStringLiteral("PLAN_2026")));
    QCOMPARE(sheet.cell(4, 1), QVariant(QStringLiteral("INDEKS_2026")));
    const BookSums book{m_book, 1, 1, 2026, QStringLiteral("TIP='R' AND GRUPA='Plaće'")};
    QVERIFY(near(sheet.cell(4, 2), book.index(1, QStringLiteral("DUG")), 0.0101));
}

void TstFrmFinGrafPlan::failedGroupReadStillFillsTheOtherSide()
{
    // The income side's group names cannot be read; the account of "Usluge" neither.
    const QString book = demoBookCopy(m_dir);
    QString columns;
    for (int m = 1; m <= 12; ++m)
        columns += QStringLiteral(", Iznos") + mm(m);
    run(book, QStringLiteral("ALTER TABLE FINPLAN RENAME TO FINPLAN_T; CREATE VIEW FINPLAN AS "
                             "SELECT BrojPoduzeca, GODINAKNJ, brojplana, TIP, CASE WHEN TIP='P' "
                             "THEN abs(-9223372036854775807-1) ELSE GRUPA END AS GRUPA, PODGRUPA, "
                             "ANALITIKA, CASE WHEN GRUPA='Usluge' THEN "
                             "abs(-9223372036854775807-1) ELSE KONTO END AS KONTO, KOMITENT") +
                  columns + QStringLiteral(" FROM FINPLAN_T"));
    m_book = book;
    QVERIFY(open());
    QCOMPARE(m_fx->dialogs->texts(), QStringList{QStringLiteral("GREŠKA u punjenju podataka!")});
    QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::Exclamation);
    QCOMPARE(m_w->tv->node(QStringLiteral("P****"))->childCount(), 0);
    QVERIFY(m_w->tv->node(QStringLiteral("R****"))->childCount() > 0);
    QVERIFY(m_w->tv->node(QStringLiteral("RGP**UslugeNajam")));
}

void TstFrmFinGrafPlan::failedAccountReadDrawsNothing()
{
    const QString book = demoBookCopy(m_dir);
    QString columns;
    for (int m = 1; m <= 12; ++m)
        columns += QStringLiteral(", Iznos") + mm(m);
    run(book, QStringLiteral("ALTER TABLE FINPLAN RENAME TO FINPLAN_T; CREATE VIEW FINPLAN AS "
                             "SELECT BrojPoduzeca, GODINAKNJ, brojplana, TIP, GRUPA, PODGRUPA, "
                             "ANALITIKA, CASE WHEN GRUPA='Usluge' THEN "
                             "abs(-9223372036854775807-1) ELSE KONTO END AS KONTO, KOMITENT") +
                  columns + QStringLiteral(" FROM FINPLAN_T"));
    m_book = book;
    QVERIFY(open());
    QVERIFY(clickPath({QStringLiteral("R"), QStringLiteral("Plaće")}));
    Recordset &rs = m_w->chartRecordset();
    const QVariant shown = rs.valueAt(1, 1);
    QVERIFY(!shown.isNull());
    // the realisation is never drawn from every turnover row of the firm instead
    QVERIFY(clickPath({QStringLiteral("R"), QStringLiteral("Usluge"), QStringLiteral("Najam")}));
    QCOMPARE(m_fx->dialogs->texts(),
             (QStringList{QStringLiteral("Desila se greška: u čitanju postavljanju filtra za "
                                         "konto/komit!"),
                          kAccess + QStringLiteral("Najam")}));
    QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::Exclamation);
    QCOMPARE(rs.valueAt(1, 1), shown);
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Plan i realizacija: Rashodi / Plaće"));
}

QTEST_MAIN(TstFrmFinGrafPlan)
#include "tst_frmfingrafplan.moc"
