// The turnover window and its cumulative balance on the demo book: the tree, the figures of each
// amount kind against what SQLite itself sums from the book, and the boxes that read wrong.
#include "windowsupport.h"

#include <QtCharts>

using namespace TestSupport;

namespace {

const QString kCaptions[] = {QStringLiteral("Pregled prometa na kontima po mjesecima"),
                             QStringLiteral("Pregled kumulativnog salda na kontima po mjesecima")};
const QString k120 = QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji");

// The book's figure of a row's word for a month: the month's column, or for the cumulative window
// the balance of every month up to it.
QString figure(const QString &word, int month, bool cumulative)
{
    const QString term = word == u"DUG"           ? QStringLiteral("DUG%1")
                         : word == u"POT"         ? QStringLiteral("POT%1")
                         : word == u"SALDO (D-P)" ? QStringLiteral("DUG%1-POT%1")
                                                  : QStringLiteral("POT%1-DUG%1");
    QStringList terms;
    for (int m = cumulative ? 0 : month; m <= month; ++m)
        terms << term.arg(mm(m));
    return terms.join(u'+');
}

} // namespace

class TstFrmFinGrafPromet : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_fx = std::make_unique<WindowFixture>(); }
    void cleanup() { m_fx.reset(); }
    void treeListsSyntheticAccountsDrawsTheLastOneNamesWhatItLacks();
    void figuresMatchTheBook_data();
    void figuresMatchTheBook();
    void clicksLoadChildrenOnceAndChartsShowWhole();

private:
    // The window with the years from kLastYear - back to kLastYear stored in its settings.
    ChartWindow *openAt(int back, bool cumulative = false)
    {
        m_fx->store(kCaptions[cumulative], {"PočetnaGodina", QString::number(kLastYear - back),
                                            "KonačnaGodina", QString::number(kLastYear)});
        return m_w = m_fx->open(cumulative);
    }

    std::unique_ptr<WindowFixture> m_fx;
    QPointer<ChartWindow> m_w;
};

void TstFrmFinGrafPromet::treeListsSyntheticAccountsDrawsTheLastOneNamesWhatItLacks()
{
    m_w = m_fx->open(); // first run: the stored range 1998.. differs from the load's, so it draws
    QCOMPARE(m_fx->said(), QStringList());
    QCOMPARE(m_w->tv->topLevelItemCount(),
             m_fx->ask(QStringLiteral("SELECT count(DISTINCT SIFKONTA) FROM KONTO WHERE "
                                      "BrojPoduzeca=1 AND length(SIFKONTA)=3"))
                 .toInt());
    QTreeWidgetItem *first = m_w->tv->topLevelItem(0);
    QVERIFY(first);
    QCOMPARE(KeyedTree::key(first) + u'|' + first->text(0) + u'|' + KeyedTree::tag(first),
             QStringLiteral("Sint: 020 Građevinski objekti|020 Građevinski objekti|Sint"));
    // restoring the settings already drew the last node of the fill: a row a year, the book's
    QCOMPARE(m_w->lastNode(), m_w->tv->topLevelItem(m_w->tv->topLevelItemCount() - 1));
    QCOMPARE(m_w->txtkonto->text(), QStringLiteral("999"));
    QVERIFY(m_w->lastNode()->isExpanded());
    m_fx->compareRows(
        m_w, {"DUG"}, [](const QString &word, int m) { return figure(word, m, false); },
        QStringLiteral("SINTKONTO LIKE '999%'"), 1998);

    // a path the tree does not hold: which, and what there is (hundreds of partners are not listed)
    QString notFound;
    QVERIFY(!m_w->clickPath({QStringLiteral("777")}, &notFound));
    QVERIFY2(notFound.startsWith(QStringLiteral("Konto 777 nije u stablu. Ondje su: 020, 050, ")),
             qPrintable(notFound));
    QVERIFY(notFound.endsWith(QStringLiteral(", 999.")));
    // (an analytic account under a synthetic one the tree has: the launcher's test)
    QVERIFY(!m_w->clickPath({QStringLiteral("120"), QStringLiteral("3")}, &notFound));
    QCOMPARE(notFound, QStringLiteral("Komitenti su pod analitičkim kontima, a 120 je sintetički "
                                      "konto."));
    QVERIFY(!m_w->clickPath({QStringLiteral("1200"), QStringLiteral("99999")}, &notFound));
    QCOMPARE(notFound, QStringLiteral("Komitent 99999 nije na kontu 1200."));
}

void TstFrmFinGrafPromet::figuresMatchTheBook_data()
{
    QTest::addColumn<bool>("cumulative");
    QTest::addColumn<int>("kind"); // the amount button
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<int>("back");          // years before the last in the year boxes
    QTest::addColumn<QStringList>("words"); // of the rows, each once a year of turnover
    QTest::addColumn<QString>("title");     // its beginning
    const auto row = [](const char *name, bool cumulative, int kind, const QStringList &path,
                        int back, const QStringList &words, const QString &title) {
        QTest::newRow(name) << cumulative << kind << path << back << words << title;
    };
    const QString title = QStringLiteral("Promet konta po mjesecima - Konto: ");
    // the partner's name has an apostrophe
    const QString partner = title + "1200 Kupci u zemlji - Pekara D'Oro d.o.o. ";
    row("debit of an account", false, 0, {"120"}, 1, {"DUG"},
        title + "120 Potraživanja od kupaca u zemlji");
    row("both of an account", false, 2, {"100"}, 2, {"DUG", "POT"}, title + "100 ");
    row("credit balance of an account, every year", false, 4, {"220"}, 5, {"SALDO (P-D)"},
        title + "220 ");
    row("debit balance of a partner", false, 3, {"1200", "3"}, 0, {"SALDO (D-P)"}, partner);
    row("both of a partner", false, 2, {"1200", "3"}, 1, {"DUG", "POT"}, partner);
    row("cumulative debit balance", true, 0, {"220"}, 2, {"SALDO (D-P)"}, {});
    // no export turnover in the year before the last: no row for it
    row("cumulative credit balance, a year without turnover", true, 1, {"121"}, 2, {"SALDO (P-D)"},
        {});
}

void TstFrmFinGrafPromet::figuresMatchTheBook()
{
    QFETCH(bool, cumulative);
    QFETCH(int, kind);
    QFETCH(QStringList, path);
    QFETCH(int, back);
    QFETCH(QStringList, words);
    QFETCH(QString, title);
    openAt(back, cumulative);
    QCOMPARE(m_w->windowTitle(), kCaptions[cumulative]);
    QCOMPARE(m_w->optVrijednost.size(), cumulative ? 2 : 5);
    m_w->optVrijednost[kind]->click();
    CLICK_PATH(m_w, path);
    QCOMPARE(m_fx->said(), QStringList());
    QVERIFY2(m_w->MSChart1->titleText().startsWith(title), qPrintable(m_w->MSChart1->titleText()));

    const QString condition = QStringLiteral("SINTKONTO LIKE '%1%'").arg(path[0]) +
                              (path.size() > 1 ? " AND ANALKONTO=" + path[1] : QString());
    m_fx->compareRows(
        m_w, words, [&](const QString &word, int m) { return figure(word, m, cumulative); },
        condition, kLastYear - back);
}

// Each click loads a node's children once and draws once; then six years by thirteen months at
// the size a first run opens with; then apostrophes, and the boxes that read wrong.
void TstFrmFinGrafPromet::clicksLoadChildrenOnceAndChartsShowWhole()
{
    openAt(5);
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
    const int before = m_w->MSChart1->rebuildCount();
    // an account without turnover: no children and an empty chart
    CLICK_NODE(idle, m_w->tv, QStringLiteral("Sint: 050 Dugotrajna imovina u pripremi"));
    QVERIFY(idle->isExpanded() && idle->childCount() == 0);
    QCOMPARE(m_w->lastNode(), idle);
    QCOMPARE(m_w->chartRecordset().RecordCount(), 0);
    CLICK_NODE(sint, m_w->tv, k120);
    QCOMPARE(sint->childCount(), 2);
    CHILD_NODE(account, sint, 0);
    QCOMPARE(KeyedTree::key(account), QStringLiteral("K: 1200"));
    QCOMPARE(account->text(0), QStringLiteral("1200 Kupci u zemlji"));
    CLICK(m_w->tv, k120);
    QCOMPARE(sint->childCount(), 2);
    CLICK(m_w->tv, QStringLiteral("K: 1200"));
    QCOMPARE(m_w->txtkonto->text(), QStringLiteral("1200"));
    const int partners = account->childCount();
    QVERIFY(partners > 100);
    CLICK(m_w->tv, QStringLiteral("K: 1200"));
    QCOMPARE(account->childCount(), partners);
    m_w->optVrijednost[2]->click(); // the amount kind redraws the last node
    QCOMPARE(m_w->chartRecordset().RecordCount(), 12);
    QCOMPARE(m_w->MSChart1->rebuildCount(), before + 6);
    QCOMPARE(m_fx->said(), QStringList());

    m_w->optVrijednost[0]->click();
    QCOMPARE(m_w->chartRecordset().RecordCount(), 6);
    for (int type : {1, 9}) {
        m_w->cmbType->setCurrentIndex(type);
        QChart *chart = m_w->MSChart1->findChild<QChartView *>()->chart();
        QTest::qWait(0);
        auto *bars = qobject_cast<QAbstractBarSeries *>(chart->series().value(0));
        QVERIFY(bars);
        const double bar = chart->plotArea().width() / 13 * bars->barWidth() / bars->count();
        QVERIFY2(bar >= 4, qPrintable(QStringLiteral("%1: bars %2 px wide at a chart of %3 px")
                                          .arg(m_w->cmbType->currentText(), QString::number(bar),
                                               QString::number(m_w->MSChart1->width()))));
    }
    // the axis list shows its longest entry whole
    QVERIFY(m_w->cmbScale->sizeHint().width() <= m_w->cmbScale->width());

    // a partner without a name is said to have none; a name the tree cuts shows whole as a tip
    FIND_NODE(nameless, m_w->tv, QStringLiteral("A: 7"));
    QCOMPARE(nameless->parent(), account);
    QCOMPARE(nameless->text(0), QStringLiteral("Komitent bez naziva (7)"));
    QTreeWidgetItem *longest = account->child(0);
    for (int i = 0; i < account->childCount(); ++i)
        if (account->child(i)->text(0).size() > longest->text(0).size())
            longest = account->child(i);
    m_w->tv->scrollToItem(longest);
    m_w->tv->resize(160, m_w->tv->height());
    QCOMPARE(m_w->tv->cutTextAt(m_w->tv->visualItemRect(longest).center()), longest->text(0));
    m_w->tv->resize(2000, m_w->tv->height());
    QCOMPARE(m_w->tv->cutTextAt(m_w->tv->visualItemRect(longest).center()), QString());

    // the years before the last and the last: boxes that read wrong keep the chart
    m_w->txtGodina[0]->setText(QString::number(kLastYear - 1));
    // an apostrophe in an account's name, and in one typed by hand
    CLICK_PATH(m_w, "6600");
    QCOMPARE(m_w->lastNode()->text(0), QStringLiteral("6600 Trgovačka roba L'Oréal"));
    Recordset &rs = m_w->chartRecordset();
    QVERIFY(rs.RecordCount() > 0);
    m_w->txtkonto->setText(QStringLiteral("66'0"));
    m_w->Command1_Click();
    QCOMPARE(m_fx->said(), QStringList());
    QCOMPARE(rs.RecordCount(), 0);

    CLICK_PATH(m_w, "120");
    m_w->mnuNapuniKonta_Click(); // a refill reads into its own rows
    QCOMPARE(rs.RecordCount(), 2);
    CLICK_PATH(m_w, "120");
    m_w->txtMj[1]->setText(QStringLiteral("3"));
    QCOMPARE(rs.fieldCount(), 5);
    // a month out of the year, and a first month after the last
    for (const char *first : {"13", "5"})
        m_w->txtMj[0]->setText(QString::fromLatin1(first));
    const QString failed = QStringLiteral("Greška u pristupu podacima za konto : 120");
    QCOMPARE(m_fx->dialogs->texts(), (QStringList{failed, failed}));
    QCOMPARE(m_fx->dialogs->messages.last().icon, Dialogs::Exclamation);
    QCOMPARE(rs.RecordCount(), 2);
    QCOMPARE(rs.fieldName(0) + rs.fieldName(4), QStringLiteral("GodinaMj03"));
    // a year box without a number reads 0: every year up to the last
    m_w->txtMj[0]->setText(QStringLiteral("0"));
    m_w->txtGodina[0]->setText(QStringLiteral("abc"));
    QCOMPARE(rs.RecordCount(), kLastYear - kFirstYear + 1);
}

QTEST_MAIN(TstFrmFinGrafPromet)
#include "tst_frmfingrafpromet.moc"
