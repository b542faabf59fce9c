#include "platform/chart/chartcontrol.h"
#include "platform/widgets/keyedtree.h"
#include "turnover/frmfingrafpromet.h"
#include "windowsupport.h"

#include <QBarSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>

using namespace TestSupport;

class TstFrmFinGrafPromet : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void treeListsSyntheticAccountsAndDrawsTheLastOne();
    void accountWithoutTurnoverDrawsAnEmptyChart();
    void secondClickLoadsChildrenOnce();
    void eachDrawingRebuildsTheChartOnce();
    void debitRowsPerYearMatchTheBook();
    void bothKindsGiveTwoRowsPerYear();
    void partnerChartMatchesTheBook();
    void firstMonthAfterLastShowsTheMessage();
    void yearBoxWithoutNumberReadsZero();
    void apostropheInAccountCharts();
    void failedDrawingKeepsChartRows();
    void cumulativeBalancesAreOpposite();
    void cumulativeYearWithoutTurnoverHasNoRow();
    void pathNotInTheTreeSaysWhichAndWhatThereIs();
    void firstRunShowsBarsAndTextsWhole();

private:
    frmFinGrafPromet *openAt(const QString &first, const QString &last, bool cumulative = false);
    WindowFixture *m_fx = nullptr;
    QPointer<ChartWindow> m_w;
    QString m_book;
};

void TstFrmFinGrafPromet::init()
{
    m_book = demoBook();
    m_fx = new WindowFixture;
}

void TstFrmFinGrafPromet::cleanup()
{
    if (m_w)
        m_w->close();
    delete m_fx;
}

frmFinGrafPromet *TstFrmFinGrafPromet::openAt(const QString &first, const QString &last,
                                              bool cumulative)
{
    m_fx->settings->save(cumulative
                             ? QStringLiteral("Pregled kumulativnog salda na kontima po mjesecima")
                             : QStringLiteral("Pregled prometa na kontima po mjesecima"),
                         QStringLiteral("Settings"), QStringLiteral("PočetnaGodina"), first);
    m_fx->settings->save(cumulative
                             ? QStringLiteral("Pregled kumulativnog salda na kontima po mjesecima")
                             : QStringLiteral("Pregled prometa na kontima po mjesecima"),
                         QStringLiteral("Settings"), QStringLiteral("KonačnaGodina"), last);
    m_w = m_fx->open(cumulative);
    return qobject_cast<frmFinGrafPromet *>(m_w.data());
}

void TstFrmFinGrafPromet::treeListsSyntheticAccountsAndDrawsTheLastOne()
{
    m_w = m_fx->open(); // first run: the stored range 1998.. differs from the load's, so it draws
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(m_w->tv->topLevelItemCount(),
             scalar(m_book, QStringLiteral("SELECT count(DISTINCT SIFKONTA) FROM KONTO WHERE "
                                           "BrojPoduzeca=1 AND length(SIFKONTA)=3"))
                 .toInt());
    QVERIFY(m_w->tv->topLevelItemCount() > 0);
    QTreeWidgetItem *first = m_w->tv->topLevelItem(0);
    QCOMPARE(KeyedTree::key(first), QStringLiteral("Sint: 020 Građevinski objekti"));
    QCOMPARE(first->text(0), QStringLiteral("020 Građevinski objekti"));
    QCOMPARE(KeyedTree::tag(first), QStringLiteral("Sint"));
    // restoring the settings already drew the last node of the fill
    QCOMPARE(m_w->lastNode(), m_w->tv->topLevelItem(m_w->tv->topLevelItemCount() - 1));
    QCOMPARE(m_w->txtkonto->text(), QStringLiteral("999"));
    QVERIFY(m_w->lastNode()->isExpanded());
    // the first picture is a chart with figures: one row per year the book has turnover on 999
    QCOMPARE(m_w->chartRecordset().RecordCount(),
             scalar(m_book, QStringLiteral("SELECT count(DISTINCT GODINAKNJ) FROM PROMET WHERE "
                                           "BROJPODUZECA=1 AND SINTKONTO LIKE '999%' AND "
                                           "GODINAKNJ BETWEEN %1 AND %2")
                                .arg(m_w->txtGodina[0]->text(), m_w->txtGodina[1]->text()))
                 .toInt());
    QVERIFY(m_w->chartRecordset().RecordCount() > 0);
}

void TstFrmFinGrafPromet::accountWithoutTurnoverDrawsAnEmptyChart()
{
    const int year = kLastYear;
    openAt(QString::number(year - 5), QString::number(year));
    CLICK_NODE(idle, m_w->tv, QStringLiteral("Sint: 050 Dugotrajna imovina u pripremi"));
    QCOMPARE(idle->childCount(), 0);
    QVERIFY(idle->isExpanded());
    QCOMPARE(m_w->lastNode(), idle);
    QCOMPARE(m_w->chartRecordset().RecordCount(), 0); // an empty chart, no message
    QVERIFY(m_fx->dialogs->messages.isEmpty());
}

void TstFrmFinGrafPromet::secondClickLoadsChildrenOnce()
{
    const int year = kLastYear;
    openAt(QString::number(year - 5), QString::number(year));
    CLICK_NODE(sint, m_w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    QCOMPARE(sint->childCount(), 2);
    CHILD_NODE(account, sint, 0);
    QCOMPARE(KeyedTree::key(account), QStringLiteral("K: 1200"));
    QCOMPARE(account->text(0), QStringLiteral("1200 Kupci u zemlji"));
    CLICK(m_w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    QCOMPARE(sint->childCount(), 2);
    CLICK_NODE(anal, m_w->tv, QStringLiteral("K: 1200"));
    QCOMPARE(m_w->txtkonto->text(), QStringLiteral("1200"));
    const int partners = anal->childCount();
    QVERIFY(partners > 100);
    CLICK(m_w->tv, QStringLiteral("K: 1200"));
    QCOMPARE(anal->childCount(), partners);
}

void TstFrmFinGrafPromet::eachDrawingRebuildsTheChartOnce()
{
    const int year = kLastYear;
    openAt(QString::number(year - 5), QString::number(year));
    const int before = m_w->MSChart1->rebuildCount();
    CLICK(m_w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    QCOMPARE(m_w->MSChart1->rebuildCount(), before + 1);
    CLICK(m_w->tv, QStringLiteral("K: 1200"));
    QCOMPARE(m_w->MSChart1->rebuildCount(), before + 2);
    m_w->optVrijednost[2]->click(); // amount kind: redraws the last node
    QCOMPARE(m_w->MSChart1->rebuildCount(), before + 3);
    QCOMPARE(m_w->chartRecordset().RecordCount(), 12);
}

void TstFrmFinGrafPromet::debitRowsPerYearMatchTheBook()
{
    const int year = kLastYear;
    openAt(QString::number(year - 1), QString::number(year));
    CLICK(m_w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    Recordset &rs = m_w->chartRecordset();
    QCOMPARE(rs.RecordCount(), 2);
    QCOMPARE(rs.fieldName(1), QStringLiteral("Mj00"));
    QCOMPARE(rs.fieldName(13), QStringLiteral("Mj12"));
    for (int y = year - 1; y <= year; ++y) {
        QVERIFY(rs.setFilter(QStringLiteral("Godina='DUG %1'").arg(y)));
        QCOMPARE(rs.RecordCount(), 1);
        for (int m : {0, 7, 12}) {
            const double expected =
                scalar(m_book,
                       QStringLiteral("SELECT total(DUG%1) FROM PROMET WHERE BROJPODUZECA=1 AND "
                                      "SINTKONTO LIKE '120%' AND GODINAKNJ=%2")
                           .arg(m, 2, 10, QLatin1Char('0'))
                           .arg(y))
                    .toDouble();
            QVERIFY(qAbs(rs.value(m + 1).toDouble() - expected) < 0.005);
        }
    }
    QCOMPARE(
        m_w->MSChart1->titleText(),
        QStringLiteral("Promet konta po mjesecima - Konto: 120 Potraživanja od kupaca u zemlji"));
    QCOMPARE(m_w->MSChart1->seriesCount(), 2);
}

void TstFrmFinGrafPromet::bothKindsGiveTwoRowsPerYear()
{
    const int year = kLastYear;
    openAt(QString::number(year - 2), QString::number(year));
    CLICK(m_w->tv, QStringLiteral("Sint: 100 Novac na računima kod banaka"));
    m_w->optVrijednost[2]->click();
    Recordset &rs = m_w->chartRecordset();
    QCOMPARE(rs.RecordCount(), 6);
    QVERIFY(rs.setFilter(QStringLiteral("Godina LIKE 'POT*'")));
    QCOMPARE(rs.RecordCount(), 3);
    QCOMPARE(rs.fieldCount(), 14);
}

void TstFrmFinGrafPromet::partnerChartMatchesTheBook()
{
    const int year = kLastYear;
    openAt(QString::number(year), QString::number(year));
    CLICK(m_w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    CLICK_NODE(anal, m_w->tv, QStringLiteral("K: 1200"));
    QTreeWidgetItem *partner = nullptr;
    for (int i = 0; i < anal->childCount(); ++i)
        if (anal->child(i)->text(0).endsWith(QStringLiteral(" (3)")))
            partner = anal->child(i);
    QVERIFY(partner);
    QVERIFY(partner->text(0).startsWith(QStringLiteral("Pekara D'Oro d.o.o. ")));
    emit m_w->tv->nodeClicked(partner);
    m_w->optVrijednost[3]->click();
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(m_w->txtkonto->text(), QStringLiteral("1200"));
    const double expected =
        scalar(m_book, QStringLiteral("SELECT DUG05-POT05 FROM PROMET WHERE BROJPODUZECA=1 AND "
                                      "SINTKONTO='1200' AND ANALKONTO=3 AND GODINAKNJ=%1")
                           .arg(year))
            .toDouble();
    QVERIFY(qAbs(m_w->chartRecordset().value(QStringLiteral("Mj05")).toDouble() - expected) <
            0.005);
    QCOMPARE(m_w->MSChart1->titleText(),
             QStringLiteral("Promet konta po mjesecima - Konto: 1200 Kupci u zemlji - ") +
                 partner->text(0));
}

void TstFrmFinGrafPromet::firstMonthAfterLastShowsTheMessage()
{
    const int year = kLastYear;
    openAt(QString::number(year), QString::number(year));
    CLICK(m_w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    m_fx->dialogs->messages.clear();
    m_w->txtMj[1]->setText(QStringLiteral("3"));
    m_w->txtMj[0]->setText(QStringLiteral("5"));
    QCOMPARE(m_fx->dialogs->texts().last(),
             QStringLiteral("Greška u pristupu podacima za konto : 120"));
    QCOMPARE(m_fx->dialogs->messages.last().icon, Dialogs::Exclamation);
}

void TstFrmFinGrafPromet::yearBoxWithoutNumberReadsZero()
{
    const int year = kLastYear;
    openAt(QString::number(year), QString::number(year));
    CLICK(m_w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    m_w->txtGodina[0]->setText(QStringLiteral("abc"));
    QVERIFY(m_w->lastSql().contains(QStringLiteral("GODINAKNJ>=0 AND GODINAKNJ<=%1").arg(year)));
    QCOMPARE(m_w->chartRecordset().RecordCount(), 6);
}

void TstFrmFinGrafPromet::apostropheInAccountCharts()
{
    const int year = kLastYear;
    auto *w = openAt(QString::number(year), QString::number(year));
    CLICK(m_w->tv, QStringLiteral("Sint: 660 Roba na skladištu"));
    CLICK_NODE(n, m_w->tv, QStringLiteral("K: 6600"));
    QCOMPARE(n->text(0), QStringLiteral("6600 Trgovačka roba L'Oréal"));
    QCOMPARE(m_w->chartRecordset().RecordCount(), 1);
    w->txtkonto->setText(QStringLiteral("66'0"));
    w->Command1_Click(); // typed by hand
    QVERIFY2(m_fx->dialogs->messages.isEmpty(), qPrintable(m_fx->dialogs->texts().join(u'|')));
    QCOMPARE(m_w->chartRecordset().RecordCount(), 0);
}

void TstFrmFinGrafPromet::failedDrawingKeepsChartRows()
{
    const int year = kLastYear;
    openAt(QString::number(year - 1), QString::number(year));
    CLICK(m_w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    m_w->mnuNapuniKonta_Click(); // a refill reads into its own rows
    QCOMPARE(m_w->chartRecordset().RecordCount(), 2);
    m_w->txtMj[0]->setText(QStringLiteral("13"));
    QCOMPARE(m_w->chartRecordset().RecordCount(), 2);
    QCOMPARE(m_w->chartRecordset().fieldName(0), QStringLiteral("Godina"));
}

void TstFrmFinGrafPromet::cumulativeBalancesAreOpposite()
{
    const int year = kLastYear;
    openAt(QString::number(year - 2), QString::number(year), true);
    QCOMPARE(m_w->windowTitle(),
             QStringLiteral("Pregled kumulativnog salda na kontima po mjesecima"));
    QCOMPARE(m_w->optVrijednost.size(), 2);
    CLICK(m_w->tv, QStringLiteral("Sint: 220 Obveze prema dobavljačima u zemlji"));
    QVector<double> dp;
    Recordset &rs = m_w->chartRecordset();
    QCOMPARE(rs.RecordCount(), 3);
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        dp << rs.value(QStringLiteral("Mj12")).toDouble();
    m_w->optVrijednost[1]->click();
    int i = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext(), ++i)
        QVERIFY(qAbs(rs.value(QStringLiteral("Mj12")).toDouble() + dp[i]) < 0.005);
    const double expected =
        scalar(m_book, QStringLiteral("SELECT "
                                      "total(POT00-DUG00+POT01-DUG01+POT02-DUG02+POT03-DUG03+POT04-"
                                      "DUG04+POT05-DUG05+POT06-DUG06+POT07-DUG07"
                                      "+POT08-DUG08+POT09-DUG09+POT10-DUG10+POT11-DUG11+POT12-"
                                      "DUG12) FROM PROMET WHERE BROJPODUZECA=1 AND "
                                      "SINTKONTO LIKE '220%' AND GODINAKNJ=%1")
                           .arg(year))
            .toDouble();
    QVERIFY(rs.setFilter(QStringLiteral("Godina='SALDO (P-D) %1'").arg(year)));
    QVERIFY(qAbs(rs.value(QStringLiteral("Mj12")).toDouble() - expected) < 0.01);
}

void TstFrmFinGrafPromet::cumulativeYearWithoutTurnoverHasNoRow()
{
    const int year = kLastYear;
    openAt(QString::number(year - 2), QString::number(year), true);
    CLICK(m_w->tv, QStringLiteral("Sint: 121 Potraživanja od kupaca u inozemstvu"));
    QCOMPARE(m_w->chartRecordset().RecordCount(), 2); // no export turnover last year
}

void TstFrmFinGrafPromet::pathNotInTheTreeSaysWhichAndWhatThereIs()
{
    m_w = m_fx->open();
    QString notFound;
    QVERIFY(!m_w->clickPath({QStringLiteral("777")}, &notFound));
    QVERIFY2(notFound.startsWith(QStringLiteral("Konto 777 nije u stablu. Ondje su: 020, 050, ")),
             qPrintable(notFound));
    QVERIFY(notFound.endsWith(QStringLiteral(", 999.")));
    // an analytic account under a synthetic one the tree has: the analytic ones are listed
    QVERIFY(!m_w->clickPath({QStringLiteral("9999")}, &notFound));
    QCOMPARE(notFound, QStringLiteral("Konto 9999 nije u stablu pod kontom 999. Ondje su: 9990."));
    QVERIFY(!m_w->clickPath({QStringLiteral("120"), QStringLiteral("3")}, &notFound));
    QCOMPARE(notFound, QStringLiteral("Komitenti su pod analitičkim kontima, a 120 je sintetički "
                                      "konto."));
    // hundreds of partners are not listed
    QVERIFY(!m_w->clickPath({QStringLiteral("1200"), QStringLiteral("99999")}, &notFound));
    QCOMPARE(notFound, QStringLiteral("Komitent 99999 nije na kontu 1200."));
    QVERIFY(m_w->clickPath({QStringLiteral("1200"), QStringLiteral("3")}, &notFound));
}

void TstFrmFinGrafPromet::firstRunShowsBarsAndTextsWhole()
{
    // six years by thirteen months at the size a first run opens with
    openAt(QString::number(kLastYear - 5), QString::number(kLastYear));
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
    CLICK(m_w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    CLICK_NODE(anal, m_w->tv, QStringLiteral("K: 1200"));
    QCOMPARE(m_w->chartRecordset().RecordCount(), 6);
    for (int type : {1, 9}) {
        m_w->cmbType->setCurrentIndex(type);
        QChart *chart = m_w->MSChart1->findChild<QChartView *>()->chart();
        QTest::qWait(0);
        auto *bars = qobject_cast<QAbstractBarSeries *>(chart->series().value(0));
        QVERIFY(bars);
        const double bar = chart->plotArea().width() / 13 * bars->barWidth() / bars->count();
        QVERIFY2(bar >= 4, qPrintable(QStringLiteral("%1: bars %2 px wide at a chart of %3 px")
                                          .arg(m_w->cmbType->currentText())
                                          .arg(bar)
                                          .arg(m_w->MSChart1->width())));
    }
    // the axis list shows its longest entry whole
    QVERIFY(m_w->cmbScale->sizeHint().width() <= m_w->cmbScale->width());

    // a partner without a name is said to have none; a name the tree cuts shows whole as a tip
    QTreeWidgetItem *nameless = nullptr;
    for (int i = 0; i < anal->childCount(); ++i)
        if (anal->child(i)->text(0).endsWith(QStringLiteral(" (7)")))
            nameless = anal->child(i);
    QVERIFY(nameless);
    QCOMPARE(nameless->text(0), QStringLiteral("Komitent bez naziva (7)"));
    QTreeWidgetItem *longest = anal->child(0);
    for (int i = 0; i < anal->childCount(); ++i)
        if (anal->child(i)->text(0).size() > longest->text(0).size())
            longest = anal->child(i);
    m_w->tv->scrollToItem(longest);
    m_w->tv->resize(160, m_w->tv->height());
    QCOMPARE(m_w->tv->cutTextAt(m_w->tv->visualItemRect(longest).center()), longest->text(0));
    m_w->tv->resize(2000, m_w->tv->height());
    QCOMPARE(m_w->tv->cutTextAt(m_w->tv->visualItemRect(longest).center()), QString());
}

QTEST_MAIN(TstFrmFinGrafPromet)
#include "tst_frmfingrafpromet.moc"
