#include "incexp/frmfindefkontaprihrash.h"
#include "incexp/frmfingrafprihodrashod.h"
#include "incexp/groupshares.h"
#include "incexp/incexpstatements.h"
#include "output/frmispiscr.h"
#include "output/report.h"
#include "output/reportviewer.h"
#include "platform/chart/chartcontrol.h"
#include "platform/widgets/keyedtree.h"
#include "windowsupport.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

double accountSum(const QString &book, const QString &account, int year, const QString &column,
                  const QString &partner = QString())
{
    return scalar(book, QStringLiteral("SELECT TOTAL(%1) FROM PROMET WHERE BROJPODUZECA=1 AND "
                                       "SINTKONTO='%2' AND GODINAKNJ=%3%4")
                            .arg(column, account)
                            .arg(year)
                            .arg(partner.isEmpty() ? QString()
                                                   : QStringLiteral(" AND ANALKONTO=") + partner))
        .toDouble();
}

// What the book itself says a group's accounts turned over: each account summed on its own, then
// added up, with the accounts the group has in that year.
double groupSum(const QString &book, const QString &key, int year, const QString &column)
{
    double total = 0;
    for (int i = 0;; ++i) {
        const QVariant account = scalar(
            book, QStringLiteral("SELECT Konto FROM FINPRIHRASH WHERE ImeGrupe='%1' AND Godina=%2 "
                                 "AND BrojPoduzeca=1 ORDER BY Konto LIMIT 1 OFFSET %3")
                      .arg(key)
                      .arg(year)
                      .arg(i));
        if (!account.isValid())
            return total;
        total += accountSum(book, account.toString(), year, column);
    }
}

// The chart's value for a row label and a month.
double chartValue(ChartWindow *w, const QString &label, int month)
{
    Recordset &rs = w->chartRecordset();
    const int field = rs.fieldIndex(QStringLiteral("Mj%1").arg(month, 2, 10, QLatin1Char('0')));
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        if (rs.value(0).toString() == label)
            return rs.value(field).toDouble();
    return qQNaN();
}

void run(const QString &book, const QString &sql)
{
    const QString error = execute(book, sql);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

} // namespace

class TstFrmFinGrafPrihodRashod : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void treeListsGroupsByNameWithTheirAccounts();
    void pathNotInTheTreeSaysWhichAndWhatThereIs();
    void groupFiguresMatchTheBook_data();
    void groupFiguresMatchTheBook();
    void accountAndPartnerFiguresMatchTheBook();
    void eachYearSumsItsOwnAccounts();
    void keyEndingInAnotherLetterChartsAsBalance();
    void emptyYearTriesTheStandingGroups();
    void secondClickDoesNotReloadPartners();
    void buttonOnPartnerNodeDrawsThePartner();
    void newGroupIsCutTo30AndStartsAsIncome();
    void newGroupNameTakenAnywhereInTheTree();
    void kindChangeMovesTheRows();
    void groupWithApostropheLivesAndDies();
    void deleteAsksWithTheFullKeyAndKeepsOtherYears();
    void commandsWithoutAGroupSelected();
    void failedSaveRollsBack();
    void shareReportsOpenSideBySide();
    void sharesKeepTurnoverWithoutPartnerAndAddUpToTheGroup();
    void shareReportsPrintEveryColumnAndTheBooksShares_data();
    void shareReportsPrintEveryColumnAndTheBooksShares();
    void sharePrintWithoutAGroup();
    void carryOverYearOutOfRange_data();
    void carryOverYearOutOfRange();
    void carryOverTranslatesThroughLastYearsChart();
    void carryOverThatFailsSaysSo();
    void carryOverIntoAYearWithGroupsAddsOnlyWhatIsMissing();
    void carryOverLeavesOutAccountsWithoutACode();
    void renameOntoAnExistingGroupIsRefused();
    void definitionWithoutAccountsKeepsThem();

private:
    frmFinGrafPrihodRashod *open(qint16 year = kLastYear);
    int rows(const QString &where) const;

    QTemporaryDir m_dir;
    QString m_book;
    WindowFixture *m_fx = nullptr;
    QPointer<frmFinGrafPrihodRashod> m_w;
};

void TstFrmFinGrafPrihodRashod::init()
{
    m_book = demoBookCopy(m_dir);
    m_fx = new WindowFixture;
}

void TstFrmFinGrafPrihodRashod::cleanup()
{
    cPristupPodacima::setTrace({});
    if (m_w)
        m_w->close();
    delete m_fx;
    cPristupPodacima::closeAllConnections();
}

frmFinGrafPrihodRashod *TstFrmFinGrafPrihodRashod::open(qint16 year)
{
    m_fx->settings->save(QStringLiteral("Pregled prihoda i rashoda po mjesecima"),
                         QStringLiteral("Settings"), QStringLiteral("PočetnaGodina"),
                         QStringLiteral("2021"));
    m_w = qobject_cast<frmFinGrafPrihodRashod *>(m_fx->openMethod(3, sqliteConn(m_book), 1, year));
    return m_w;
}

int TstFrmFinGrafPrihodRashod::rows(const QString &where) const
{
    return scalar(m_book,
                  QStringLiteral("SELECT COUNT(*) FROM FINPRIHRASH WHERE BrojPoduzeca=1 AND ") +
                      where)
        .toInt();
}

void TstFrmFinGrafPrihodRashod::treeListsGroupsByNameWithTheirAccounts()
{
    QVERIFY(open());
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QStringList names;
    for (int i = 0; i < m_w->tv->topLevelItemCount(); ++i)
        names << m_w->tv->topLevelItem(i)->text(0);
    QCOMPARE(names, QStringList({"Bruto marža robe", "Naplata od kupaca", "Plaćanja dobavljačima",
                                 "Plaće i doprinosi", "Prihodi", "Prihodi od prodaje",
                                 "Prihodi-Rashodi (Dobit)", "Rashodi"}));
    FIND_NODE(wages, m_w->tv, QStringLiteral("Plaće i doprinosiR"));
    QCOMPARE(KeyedTree::tag(wages), QStringLiteral("SviRashodi"));
    FIND_NODE(income, m_w->tv, QStringLiteral("PrihodiP"));
    QCOMPARE(KeyedTree::tag(income), QStringLiteral("SviPrihodi"));
    FIND_NODE(margin, m_w->tv, QStringLiteral("Bruto marža robeS"));
    QCOMPARE(KeyedTree::tag(margin), QStringLiteral("PrihRash"));
    CHILD_NODE(account, wages, 0);
    QCOMPARE(KeyedTree::key(account), QStringLiteral("4200    Plaće i doprinosiR"));
    QCOMPARE(account->text(0), QStringLiteral("4200     Neto plaće i nadnice"));
    QCOMPARE(KeyedTree::tag(account), QStringLiteral("RashKonto"));
    QVERIFY(!m_w->fraIznosi);
    QCOMPARE(m_w->cmdVP[0]->toolTip(), QStringLiteral("Nova grupa"));
    QVERIFY(!m_w->cmdVP[3]);
}

void TstFrmFinGrafPrihodRashod::groupFiguresMatchTheBook_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("sign"); // +1 credit, -1 debit, 0 credit minus debit
    QTest::addColumn<QString>("text");
    QTest::newRow("income") << "PrihodiP"
                            << "PRIH" << 1 << "";
    QTest::newRow("expense") << "Plaće i doprinosiR"
                             << "RASH" << -1 << "";
    QTest::newRow("balance") << "Bruto marža robeS"
                             << "PRIH-RASH" << 0 << "PRIH-RASH";
}

void TstFrmFinGrafPrihodRashod::groupFiguresMatchTheBook()
{
    QFETCH(QString, key);
    QFETCH(QString, word);
    QFETCH(int, sign);
    QFETCH(QString, text);
    open();
    CLICK(m_w->tv, key);
    QCOMPARE(m_w->txtkonto->text(), text);
    QCOMPARE(m_w->selectedGroupKey(), key);
    QCOMPARE(m_w->MSChart1->titleText(), IncExpSql::groupName(key));
    QCOMPARE(m_w->chartRecordset().RecordCount(), 6);
    for (int year : {2021, 2026})
        for (int month : {0, 1, 7, 12}) {
            const QString mm = QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
            const double credit = groupSum(m_book, key, year, QStringLiteral("POT") + mm);
            const double debit = groupSum(m_book, key, year, QStringLiteral("DUG") + mm);
            const double expected = sign > 0 ? credit : sign < 0 ? debit : credit - debit;
            QCOMPARE(chartValue(m_w, word + u' ' + QString::number(year), month), expected);
        }
}

void TstFrmFinGrafPrihodRashod::accountAndPartnerFiguresMatchTheBook()
{
    run(m_book, QStringLiteral("INSERT INTO FINPRIHRASH SELECT 1, 'KupciP', '1200', GODINAKNJ "
                               "FROM (SELECT DISTINCT GODINAKNJ FROM KONTO)"));
    open();
    CLICK_NODE(account, m_w->tv, QStringLiteral("1200    KupciP"));
    QCOMPARE(m_w->txtkonto->text(), QStringLiteral("1200"));
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Prihodi ") + account->text(0));
    for (int month : {0, 5, 12}) {
        const QString pot = QStringLiteral("POT%1").arg(month, 2, 10, QLatin1Char('0'));
        QCOMPARE(chartValue(m_w, QStringLiteral("PRIH 2025"), month),
                 accountSum(m_book, QStringLiteral("1200"), 2025, pot));
    }
    QVERIFY(account->childCount() > 10);
    CHILD_NODE(partner, account, 0);
    QCOMPARE(KeyedTree::tag(partner), QStringLiteral("PKomit"));
    QVERIFY(KeyedTree::key(partner).startsWith(QStringLiteral("AP:")));
    const QString code = KeyedTree::key(partner).mid(3);
    QVERIFY(partner->text(0).endsWith(QStringLiteral(" (") + code + u')'));
    emit m_w->tv->nodeClicked(partner);
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Prihodi: ") + account->text(0) +
                                             QStringLiteral(" - ") + partner->text(0));
    for (int year : {2021, 2026})
        QCOMPARE(chartValue(m_w, QStringLiteral("PRIH ") + QString::number(year), 3),
                 accountSum(m_book, QStringLiteral("1200"), year, QStringLiteral("POT03"), code));
}

void TstFrmFinGrafPrihodRashod::eachYearSumsItsOwnAccounts()
{
    run(m_book, QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'MijenaR', '4200', 2025), "
                               "(1, 'MijenaR', '4201', 2026)"));
    open();
    CLICK_NODE(group, m_w->tv, QStringLiteral("MijenaR"));
    QCOMPARE(group->childCount(), 1); // the window's year holds 4201 only
    QCOMPARE(chartValue(m_w, QStringLiteral("RASH 2025"), 4),
             accountSum(m_book, QStringLiteral("4200"), 2025, QStringLiteral("DUG04")));
    QCOMPARE(chartValue(m_w, QStringLiteral("RASH 2026"), 4),
             accountSum(m_book, QStringLiteral("4201"), 2026, QStringLiteral("DUG04")));
    QCOMPARE(m_w->chartRecordset().RecordCount(), 2);
}

void TstFrmFinGrafPrihodRashod::keyEndingInAnotherLetterChartsAsBalance()
{
    run(m_book, QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'UkupnoX', '7500', 2026)"));
    open();
    FIND_NODE(group, m_w->tv, QStringLiteral("UkupnoX"));
    QCOMPARE(group->text(0), QStringLiteral("Ukupno"));
    QCOMPARE(KeyedTree::tag(group), QStringLiteral("PrihRash"));
    CHILD_NODE(account, group, 0);
    QCOMPARE(KeyedTree::tag(account), QStringLiteral("SalKonto"));
    CLICK(m_w->tv, QStringLiteral("UkupnoX"));
    QCOMPARE(m_w->txtkonto->text(), QStringLiteral("PRIH-RASH"));
    QCOMPARE(chartValue(m_w, QStringLiteral("PRIH-RASH 2026"), 6),
             accountSum(m_book, QStringLiteral("7500"), 2026, QStringLiteral("POT06")) -
                 accountSum(m_book, QStringLiteral("7500"), 2026, QStringLiteral("DUG06")));
}

void TstFrmFinGrafPrihodRashod::emptyYearTriesTheStandingGroups()
{
    open(1995);
    QCOMPARE(m_fx->dialogs->texts(),
             QStringList({"Nisu upisanih grupa!", "Nisu upisana konta za grupu: Prihodi !",
                          "Nisu upisana konta za grupu: Rashodi !",
                          "Nisu upisana konta za grupu: Prihodi-Rashodi (Dobit) !"}));
    QCOMPARE(m_w->tv->topLevelItemCount(), 0);
}

void TstFrmFinGrafPrihodRashod::secondClickDoesNotReloadPartners()
{
    run(m_book, QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'KupciS', '1200', 2026)"));
    open();
    int fills = 0;
    cPristupPodacima::setTrace([&](const QString &stage, const QString &sql) {
        if (stage == u"sql" && sql.contains(QStringLiteral("AS Naziv, P.ANALKONTO")))
            ++fills;
    });
    CLICK_NODE(account, m_w->tv, QStringLiteral("1200    KupciS"));
    const int partners = account->childCount();
    QVERIFY(partners > 0);
    CHILD_NODE(partner, account, 0);
    QCOMPARE(KeyedTree::key(partner).left(3), QStringLiteral("AS:"));
    CLICK(m_w->tv, QStringLiteral("1200    KupciS"));
    QCOMPARE(fills, 1);
    QCOMPARE(account->childCount(), partners);
}

void TstFrmFinGrafPrihodRashod::buttonOnPartnerNodeDrawsThePartner()
{
    run(m_book, QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'KupciR', '1200', 2026)"));
    open();
    CLICK_NODE(account, m_w->tv, QStringLiteral("1200    KupciR"));
    CHILD_NODE(partner, account, 1);
    emit m_w->tv->nodeClicked(partner);
    const QString title = m_w->MSChart1->titleText();
    QVERIFY(title.startsWith(QStringLiteral("Rashodi: ")));
    m_w->MSChart1->setTitleText(QString());
    m_fx->dialogs->messages.clear();
    m_w->Command1_Click();
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(m_w->MSChart1->titleText(), title);
    QVERIFY(m_w->lastSql().contains(QStringLiteral("ANALKONTO=") + KeyedTree::key(partner).mid(3)));
}

void TstFrmFinGrafPrihodRashod::newGroupIsCutTo30AndStartsAsIncome()
{
    open();
    const QString typed =
        QStringLiteral("  Prihodi od najma poslovnih prostora  "); // 35 and blanks
    m_fx->dialogs->inputs.push_back(typed);
    QString openedWith;
    m_w->setDefinitionScript([&](frmFinDefKontaPrihRash &d) {
        openedWith = d.storedKey();
        QVERIFY(d.optPrihodi->isChecked());
        QVERIFY(d.tickOnly({QStringLiteral("7600")}));
        QVERIFY(d.cmdSpremi_Click());
    });
    m_w->mnuRadSaGrupom[0]->trigger();
    const QString key = typed.trimmed().left(30) + u'P';
    QCOMPARE(openedWith, key);
    QCOMPARE(m_fx->dialogs->prompts.value(0),
             QStringLiteral("Upišite naziv nove grupe konta (maksimalno 30 znakova, PRIHODI i "
                            "RASHODI već rezervirano):"));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='%1' AND Godina=2026 AND Konto='7600'").arg(key)), 1);
    FIND_NODE(group, m_w->tv, key); // the tree is refreshed
    QCOMPARE(KeyedTree::tag(group), QStringLiteral("SviPrihodi"));
}

void TstFrmFinGrafPrihodRashod::newGroupNameTakenAnywhereInTheTree()
{
    open();
    bool opened = false;
    m_w->setDefinitionScript([&](frmFinDefKontaPrihRash &) { opened = true; });
    m_fx->dialogs->inputs.push_back(QStringLiteral("Prihodi"));
    m_w->mnuRadSaGrupom_Click(0);
    QVERIFY(!opened);
    QCOMPARE(m_fx->dialogs->messages.value(0).text, QStringLiteral("Već postoji grupa: Prihodi"));
    QCOMPARE(m_fx->dialogs->messages.value(0).title, QStringLiteral("Nova grupa konta"));
    QCOMPARE(m_fx->dialogs->messages.value(0).icon, Dialogs::Exclamation);
    m_fx->dialogs->inputs.push_back(QStringLiteral("   "));
    m_w->mnuRadSaGrupom_Click(0);
    QVERIFY(!opened);
}

void TstFrmFinGrafPrihodRashod::kindChangeMovesTheRows()
{
    open();
    const int before = rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026"));
    QVERIFY(m_w->spremiDefiniciju(QStringLiteral("PrihodiP"), QString(), QStringLiteral("R"),
                                  QStringList{"7500", "7501", "7600", "7720"}));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026")), 0);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiR' AND Godina=2026")), before);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2025")), before); // untouched
    FIND_NODE(group, m_w->tv, QStringLiteral("PrihodiR"));
    QCOMPARE(KeyedTree::tag(group), QStringLiteral("SviRashodi"));
}

void TstFrmFinGrafPrihodRashod::groupWithApostropheLivesAndDies()
{
    open();
    m_fx->dialogs->inputs.push_back(QStringLiteral("Prihodi d'Oro"));
    m_w->setDefinitionScript([](frmFinDefKontaPrihRash &d) {
        QVERIFY(d.tickOnly({QStringLiteral("7500")}));
        QVERIFY(d.cmdSpremi_Click());
    });
    m_w->mnuRadSaGrupom_Click(0);
    CLICK(m_w->tv, QStringLiteral("Prihodi d'OroP"));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(chartValue(m_w, QStringLiteral("PRIH 2026"), 2),
             accountSum(m_book, QStringLiteral("7500"), 2026, QStringLiteral("POT02")));
    CLICK(m_w->tv, QStringLiteral("7500    Prihodi d'OroP"));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QVERIFY(m_w->spremiDefiniciju(QStringLiteral("Prihodi d'OroP"), QStringLiteral("O'Neil"),
                                  QString(), QStringList{"7500", "7501"}));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='O''NeilP'")), 2);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='Prihodi d''OroP'")), 0);
    CLICK(m_w->tv, QStringLiteral("O'NeilP"));
    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    m_w->mnuRadSaGrupom_Click(2);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='O''NeilP'")), 0);
    QVERIFY(!m_w->tv->node(QStringLiteral("O'NeilP")));
}

void TstFrmFinGrafPrihodRashod::deleteAsksWithTheFullKeyAndKeepsOtherYears()
{
    open();
    CLICK(m_w->tv, QStringLiteral("Plaće i doprinosiR"));
    m_fx->dialogs->messages.clear();
    m_fx->dialogs->answers.push_back(Dialogs::AnswerNo);
    m_w->cmdVP[2]->click();
    QCOMPARE(m_fx->dialogs->messages.value(0).text,
             QStringLiteral("Želite li zaista izbrisati grupu: Plaće i doprinosiR?"));
    QCOMPARE(m_fx->dialogs->messages.value(0).title, QStringLiteral("Brisanje grupe"));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='Plaće i doprinosiR' AND Godina=2026")), 2);
    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    m_w->cmdVP[2]->click();
    QCOMPARE(rows(QStringLiteral("ImeGrupe='Plaće i doprinosiR' AND Godina=2026")), 0);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='Plaće i doprinosiR' AND Godina=2025")), 2);
    QVERIFY(!m_w->tv->node(QStringLiteral("Plaće i doprinosiR")));
    QCOMPARE(m_w->selectedGroupKey(), QStringLiteral("Plaće i doprinosiR")); // kept
}

void TstFrmFinGrafPrihodRashod::commandsWithoutAGroupSelected()
{
    open();
    bool opened = false;
    m_w->setDefinitionScript([&](frmFinDefKontaPrihRash &) { opened = true; });
    const int all = rows(QStringLiteral("1=1"));
    for (int command : {1, 2, 4}) {
        m_fx->dialogs->messages.clear();
        m_w->mnuRadSaGrupom_Click(command);
        QCOMPARE(m_fx->dialogs->texts(),
                 QStringList{QStringLiteral("Niste zadali ime grupe (PRIHODI-RASHODI)!")});
        QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::Information);
    }
    QVERIFY(!opened);
    QCOMPARE(rows(QStringLiteral("1=1")), all);
}

void TstFrmFinGrafPrihodRashod::failedSaveRollsBack()
{
    run(m_book, QStringLiteral("CREATE TRIGGER odbij BEFORE INSERT ON FINPRIHRASH WHEN "
                               "NEW.Konto='7720' BEGIN SELECT RAISE(ABORT, 'konto odbijen'); END"));
    open();
    const int before = rows(QStringLiteral("ImeGrupe='PrihodiP'"));
    bool stillOpen = false;
    m_w->setDefinitionScript([&](frmFinDefKontaPrihRash &d) {
        QVERIFY(d.tickOnly({QStringLiteral("7500"), QStringLiteral("7720")}));
        QVERIFY(!d.cmdSpremi_Click());
        stillOpen = d.result() != QDialog::Accepted;
    });
    m_fx->dialogs->messages.clear();
    CLICK(m_w->tv, QStringLiteral("PrihodiP"));
    m_w->mnuRadSaGrupom_Click(4);
    QVERIFY(stillOpen);
    QCOMPARE(m_fx->dialogs->messages.size(), 1);
    QVERIFY(m_fx->dialogs->messages.first().text.startsWith(
        QStringLiteral("Desila se greška:  u spremanju podataka. Ponovite! ")));
    QVERIFY(m_fx->dialogs->messages.first().text.contains(QStringLiteral("konto odbijen")));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP'")), before); // the delete rolled back
}

void TstFrmFinGrafPrihodRashod::shareReportsOpenSideBySide()
{
    run(m_book, QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'KupciR', '1200', 2026)"));
    open();
    CLICK(m_w->tv, QStringLiteral("KupciR"));
    m_w->txtGodina[0]->setText(QStringLiteral("2025"));
    m_fx->dialogs->messages.clear();
    m_w->mnuIspisP[1]->trigger();
    QPointer<frmIspisCR> byMonth = m_w->lastPreview();
    m_w->mnuIspisP[2]->trigger();
    QPointer<frmIspisCR> total = m_w->lastPreview();
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QVERIFY(byMonth && total && byMonth != total);
    QCOMPARE(byMonth->windowTitle(), QStringLiteral("Kupci - UČEŠĆE U %"));
    QCOMPARE(byMonth->Report->text(QStringLiteral("Naslov")), QStringLiteral("Kupci - UČEŠĆE U %"));
    QCOMPARE(byMonth->Report->documentName(), QStringLiteral("Učešće u % po mjesecima"));
    QCOMPARE(total->Report->documentName(), QStringLiteral("Učešće u % ukupno"));
    // one row per year and partner with turnover on 1200 in 2025 and 2026, as the book has them
    const int expected =
        scalar(m_book, QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT P.GODINAKNJ, "
                                      "P.ANALKONTO FROM PROMET P WHERE P.BROJPODUZECA=1 AND "
                                      "P.SINTKONTO='1200' AND P.GODINAKNJ BETWEEN 2025 AND 2026)"))
            .toInt();
    QVERIFY(expected > 0);
    QCOMPARE(byMonth->Report->database().rows().RecordCount(), expected);
    QCOMPARE(total->Report->database().rows().RecordCount(), expected);
    QVERIFY(m_w->lastSql().contains(QStringLiteral("SUM(P.DUG00) as Mj00")));
    byMonth->close();
    QVERIFY(total); // each preview lives on its own
    QCOMPARE(total->Report->database().rows().RecordCount(), expected);
    total->close();
}

// A group of accounts kept by partner (customers) and an account without partners (services):
// the share data holds the turnover of both, and adds up to the group's chart.
void TstFrmFinGrafPrihodRashod::sharesKeepTurnoverWithoutPartnerAndAddUpToTheGroup()
{
    open();
    CLICK(m_w->tv, QStringLiteral("Naplata od kupacaP"));
    m_fx->dialogs->messages.clear();
    m_w->mnuIspisP_Click(1);
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QVERIFY(m_w->lastPreview());
    Recordset shares = m_w->lastPreview()->Report->database().rows();
    QVERIFY(shares.setFilter(QStringLiteral("Konto='7600'")));
    QCOMPARE(shares.RecordCount(), kLastYear - kFirstYear + 1); // one row a year, no partner
    QCOMPARE(shares.value(QStringLiteral("Komit")).toInt(), 0);
    QVERIFY(shares.value(QStringLiteral("Komitent")).toString().isEmpty());
    shares.setFilter(QString());
    for (int year : {kFirstYear, kLastYear})
        for (int month : {1, 6, 12}) {
            const QString column = QStringLiteral("Mj%1").arg(month, 2, 10, QLatin1Char('0'));
            double total = 0;
            for (shares.MoveFirst(); !shares.Eof(); shares.MoveNext())
                if (shares.value(QStringLiteral("Godina")).toInt() == year)
                    total += shares.value(column).toDouble();
            const double chart = chartValue(m_w, QStringLiteral("PRIH %1").arg(year), month);
            QVERIFY2(qAbs(total - chart) < 0.005,
                     qPrintable(QStringLiteral("%1 %2: %3 in the shares, %4 in the chart")
                                    .arg(year)
                                    .arg(column)
                                    .arg(total, 0, 'f', 2)
                                    .arg(chart, 0, 'f', 2)));
        }
    // the service account's share of the group is there, and the book's
    const GroupShares g = GroupShares::from(shares);
    bool seen = false;
    for (int i = 0; i < g.lines.size(); ++i)
        if (const GroupShares::Line &l = g.lines[i]; l.level == GroupShares::Account &&
                                                     l.account == u"7600" &&
                                                     l.year.toInt() == kLastYear) {
            const double book = accountSum(m_book, QStringLiteral("7600"), kLastYear,
                                           QStringLiteral("POT01+POT02+POT03+POT04+POT05+POT06+"
                                                          "POT07+POT08+POT09+POT10+POT11+POT12"));
            double group = 0;
            for (const char *a : {"1200", "1210", "7600"})
                group += accountSum(m_book, QString::fromLatin1(a), kLastYear,
                                    QStringLiteral("POT01+POT02+POT03+POT04+POT05+POT06+POT07+"
                                                   "POT08+POT09+POT10+POT11+POT12"));
            const std::optional<double> share = g.totalShare(i);
            QVERIFY(share && qAbs(*share - book * 100 / group) < 0.0001);
            seen = true;
        }
    QVERIFY(seen);
}

void TstFrmFinGrafPrihodRashod::shareReportsPrintEveryColumnAndTheBooksShares_data()
{
    QTest::addColumn<int>("menu");
    QTest::addColumn<QString>("column"); // the share the test finds on paper
    QTest::newRow("by months") << 1 << QStringLiteral("POT06");
    QTest::newRow("in total") << 2
                              << QStringLiteral("POT01+POT02+POT03+POT04+POT05+POT06+POT07+POT08+"
                                                "POT09+POT10+POT11+POT12");
}

// On paper: every month column, the total and the share column, whatever the page's width, and
// account 7600's share of the group (no partner on it) as the book gives it; the export says how
// far it has come.
void TstFrmFinGrafPrihodRashod::shareReportsPrintEveryColumnAndTheBooksShares()
{
    QFETCH(int, menu);
    QFETCH(QString, column);
    open();
    CLICK(m_w->tv, QStringLiteral("Naplata od kupacaP"));
    m_fx->dialogs->messages.clear();
    m_fx->dialogs->progressSteps.clear();
    m_w->mnuIspisP_Click(menu);
    QVERIFY(m_w->lastPreview());
    QCOMPARE(m_fx->dialogs->progressSteps, QVector<int>({0, 60, 100})); // opening it
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("udjeli.pdf"));
    QString error;
    m_fx->dialogs->progressSteps.clear();
    QVERIFY2(m_w->lastPreview()->CRVRadnici->ExportPdf(pdf, &error), qPrintable(error));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(m_fx->dialogs->progressSteps.first(), 0);
    QCOMPARE(m_fx->dialogs->progressSteps.last(), 100);

    const QString text =
        output(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    const GroupShares g = GroupShares::from(m_w->lastPreview()->Report->database().rows());
    QVERIFY(g.months.size() >= 12);
    for (const QString &month : g.months)
        QVERIFY2(text.contains(month), qPrintable(month));
    QVERIFY(text.contains(QStringLiteral("Ukupno grupa")));
    QVERIFY(text.contains(QStringLiteral("Učešće %")));
    QVERIFY(text.contains(QStringLiteral("stupci %1 – ").arg(g.months.first())));

    double group = 0;
    for (const char *a : {"1200", "1210", "7600"})
        group += accountSum(m_book, QString::fromLatin1(a), kLastYear, column);
    const double share =
        accountSum(m_book, QStringLiteral("7600"), kLastYear, column) * 100 / group;
    const QString printed = QLocale().toString(share, 'f', 2) + QStringLiteral(" %");
    bool found = false;
    for (const QString &line : text.split(u'\n'))
        found =
            found || (line.contains(QStringLiteral("Ukupno konto 7600")) && line.contains(printed));
    QVERIFY2(found, qPrintable(printed));
}

void TstFrmFinGrafPrihodRashod::sharePrintWithoutAGroup()
{
    open();
    m_fx->dialogs->messages.clear();
    m_w->mnuIspisP_Click(1);
    QCOMPARE(m_fx->dialogs->texts(),
             QStringList{QStringLiteral("Niste zadali ime grupe (PRIHODI-RASHODI)!")});
    QVERIFY(!m_w->lastPreview());
}

void TstFrmFinGrafPrihodRashod::carryOverYearOutOfRange_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("text") << "lani" << false;
    QTest::newRow("1999") << "1999" << false;
    QTest::newRow("2101") << "2101" << false;
    QTest::newRow("2000") << "2000" << true;
    QTest::newRow("2100") << "2100" << true;
}

void TstFrmFinGrafPrihodRashod::carryOverYearOutOfRange()
{
    QFETCH(QString, answer);
    QFETCH(bool, accepted);
    open();
    const int all = rows(QStringLiteral("1=1"));
    m_fx->dialogs->messages.clear();
    m_fx->dialogs->inputs.push_back(answer);
    m_fx->dialogs->answers.push_back(Dialogs::AnswerNo);
    m_w->mnuPrepišiProšlu[0]->trigger();
    QCOMPARE(m_fx->dialogs->prompts.last(),
             QStringLiteral("Unesite godinu iz koje prebacujete podatke:"));
    if (accepted) {
        QCOMPARE(m_fx->dialogs->messages.value(0).text,
                 QStringLiteral("Želite li prebaciti grupe prihoda i rashoda u tekuću 2026 "
                                "godinu, iz godine ") +
                     answer +
                     QStringLiteral(" ?\r\nNe smiju postojati isti podaci u tekućoj godini!"));
    } else {
        QCOMPARE(m_fx->dialogs->texts(),
                 QStringList{QStringLiteral("Greška. Godina < 2000 ili veća od 2100!")});
    }
    QCOMPARE(rows(QStringLiteral("1=1")), all); // No, or refused: nothing copied
}

void TstFrmFinGrafPrihodRashod::carryOverTranslatesThroughLastYearsChart()
{
    // the chart of 2025 says 7500 becomes 7501 under the first translation; 2024's says nothing
    run(m_book, QStringLiteral("UPDATE KONTO SET SifKonta1='7501' WHERE BROJPODUZECA=1 AND "
                               "GODINAKNJ=2025 AND SIFKONTA='7500'; DELETE FROM FINPRIHRASH "
                               "WHERE Godina=2026"));
    open();
    m_fx->dialogs->messages.clear();
    m_fx->dialogs->inputs.push_back(QStringLiteral("2024"));
    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    m_w->mnuPrepišiProšlu_Click(1);
    QCOMPARE(m_fx->dialogs->texts().value(1), QStringLiteral("Uspješno prepisani podaci!"));
    // 7501 once, though both 7500 and 7501 of 2024 become 7501
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026 AND Konto='7501'")), 1);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026 AND Konto='7500'")), 0);
    QVERIFY(m_w->tv->node(QStringLiteral("PrihodiP"))); // the tree is refreshed
    // a second run finds every row there and copies none again
    const int copied = rows(QStringLiteral("Godina=2026"));
    QVERIFY(copied > 0);
    m_fx->dialogs->messages.clear();
    m_fx->dialogs->inputs.push_back(QStringLiteral("2024"));
    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    m_w->mnuPrepišiProšlu_Click(1);
    QCOMPARE(m_fx->dialogs->texts().value(1), QStringLiteral("Uspješno prepisani podaci!"));
    QCOMPARE(rows(QStringLiteral("Godina=2026")), copied);
}

void TstFrmFinGrafPrihodRashod::carryOverIntoAYearWithGroupsAddsOnlyWhatIsMissing()
{
    // 2026 holds every group of 2025 but one, and one of its rows twice already
    run(m_book, QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'PrihodiP', '7500', 2025)"));
    open();
    const QString perRow = QStringLiteral(
        "SELECT max(n) FROM (SELECT count(*) AS n FROM FINPRIHRASH WHERE BrojPoduzeca=1 AND "
        "Godina=2026 GROUP BY ImeGrupe, Konto)");
    const int services = rows(QStringLiteral("ImeGrupe='Troškovi uslugaR' AND Godina=2025"));
    QVERIFY(services > 0);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='Troškovi uslugaR' AND Godina=2026")), 0);
    const int before = rows(QStringLiteral("Godina=2026"));
    m_fx->dialogs->messages.clear();
    m_fx->dialogs->inputs.push_back(QStringLiteral("2025"));
    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    m_w->mnuPrepišiProšlu_Click(0);
    QCOMPARE(
        m_fx->dialogs->texts(),
        QStringList({QStringLiteral("Želite li prebaciti grupe prihoda i rashoda u tekuću 2026 "
                                    "godinu, iz godine 2025 ?\r\nNe smiju postojati isti "
                                    "podaci u tekućoj godini!"),
                     QStringLiteral("Uspješno prepisani podaci!")}));
    QCOMPARE(rows(QStringLiteral("Godina=2026")), before + services);
    QCOMPARE(scalar(m_book, perRow).toInt(), 1);
    FIND_NODE(services2026, m_w->tv, QStringLiteral("Troškovi uslugaR"));
    QCOMPARE(services2026->childCount(), services);
}

void TstFrmFinGrafPrihodRashod::carryOverLeavesOutAccountsWithoutACode()
{
    // the chart of 2025 gives 7600 and 4200 no code under the first translation
    run(m_book, QStringLiteral("UPDATE KONTO SET SifKonta1=NULL WHERE BROJPODUZECA=1 AND "
                               "GODINAKNJ=2025 AND SIFKONTA IN ('7600', '4200'); DELETE FROM "
                               "FINPRIHRASH WHERE Godina=2026"));
    open();
    m_fx->dialogs->messages.clear();
    m_fx->dialogs->inputs.push_back(QStringLiteral("2025"));
    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    m_w->mnuPrepišiProšlu_Click(1);
    QCOMPARE(m_fx->dialogs->texts().value(1), QStringLiteral("Uspješno prepisani podaci!"));
    QCOMPARE(m_fx->dialogs->messages.value(2).icon, Dialogs::Information);
    QCOMPARE(m_fx->dialogs->texts().value(2),
             QStringLiteral("Nisu prepisana konta koja nemaju šifru za 2026. godinu:\r\n"
                            "Naplata od kupaca: 7600\r\nPlaće i doprinosi: 4200\r\n"
                            "Prihodi od prodaje: 7600\r\nPrihodi-Rashodi (Dobit): 4200, 7600\r\n"
                            "Prihodi: 7600\r\nRashodi: 4200"));
    QCOMPARE(rows(QStringLiteral("Godina=2026 AND (Konto IS NULL OR Konto='')")), 0);
    QCOMPARE(rows(QStringLiteral("Godina=2026 AND Konto IN ('7600', '4200')")), 0);
    QCOMPARE(rows(QStringLiteral("Godina=2026")),
             rows(QStringLiteral("Godina=2025 AND Konto NOT IN ('7600', '4200')")));
}

void TstFrmFinGrafPrihodRashod::renameOntoAnExistingGroupIsRefused()
{
    open();
    const int sales = rows(QStringLiteral("ImeGrupe='Prihodi od prodajeP'"));
    const int income = rows(QStringLiteral("ImeGrupe='PrihodiP'"));
    m_fx->dialogs->messages.clear();
    QVERIFY(!m_w->spremiDefiniciju(QStringLiteral("Prihodi od prodajeP"), QStringLiteral("Prihodi"),
                                   QString(), std::nullopt));
    QCOMPARE(m_fx->dialogs->texts(), QStringList{QStringLiteral("Već postoji grupa: Prihodi")});
    QCOMPARE(rows(QStringLiteral("ImeGrupe='Prihodi od prodajeP'")), sales);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP'")), income);
    // the same name as another kind is another group
    QVERIFY(m_w->spremiDefiniciju(QStringLiteral("Prihodi od prodajeP"), QStringLiteral("Prihodi"),
                                  QStringLiteral("S"), std::nullopt));
}

void TstFrmFinGrafPrihodRashod::definitionWithoutAccountsKeepsThem()
{
    open();
    const QStringList before = {QStringLiteral("4200"), QStringLiteral("4201")};
    QVERIFY(m_w->spremiDefiniciju(QStringLiteral("Plaće i doprinosiR"), QStringLiteral("Plaće"),
                                  QString(), std::nullopt));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PlaćeR' AND Godina=2026 AND Konto IN ('4200', "
                                 "'4201')")),
             before.size());
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PlaćeR' AND Godina=2026")), before.size());
    QCOMPARE(rows(QStringLiteral("ImeGrupe='Plaće i doprinosiR' AND Godina=2026")), 0);
}

void TstFrmFinGrafPrihodRashod::carryOverThatFailsSaysSo()
{
    run(m_book, QStringLiteral("CREATE TRIGGER odbij BEFORE INSERT ON FINPRIHRASH BEGIN SELECT "
                               "RAISE(ABORT, 'prepisivanje odbijeno'); END"));
    open();
    const int all = rows(QStringLiteral("1=1"));
    m_fx->dialogs->messages.clear();
    m_fx->dialogs->inputs.push_back(QStringLiteral("2025"));
    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    m_w->mnuPrepišiProšlu_Click(0);
    QCOMPARE(m_fx->dialogs->messages.size(), 2);
    QVERIFY(m_fx->dialogs->messages[1].text.startsWith(QStringLiteral("Desila se greška: ")));
    QVERIFY(m_fx->dialogs->messages[1].text.contains(QStringLiteral("prepisivanje odbijeno")));
    QVERIFY(!m_fx->dialogs->texts().contains(QStringLiteral("Uspješno prepisani podaci!")));
    QCOMPARE(rows(QStringLiteral("1=1")), all);
}

void TstFrmFinGrafPrihodRashod::pathNotInTheTreeSaysWhichAndWhatThereIs()
{
    QVERIFY(open());
    QString notFound;
    // a group's name without its kind letter: the keys of that name
    QVERIFY(!m_w->clickPath({QStringLiteral("Prihodi")}, &notFound));
    QCOMPARE(notFound, QStringLiteral("Grupa \"Prihodi\" nije u stablu: ključ grupe je njezin "
                                      "naziv i slovo vrste (P prihodi, R rashodi, S saldo). "
                                      "Ondje su: PrihodiP."));
    QVERIFY(!m_w->clickPath({QStringLiteral("Nema")}, &notFound));
    QVERIFY2(notFound.startsWith(QStringLiteral("Grupa \"Nema\" nije u stablu. Ondje su: ")),
             qPrintable(notFound));
    QVERIFY(notFound.contains(QStringLiteral("RashodiR")));
    // an account key is no group
    QVERIFY(!m_w->clickPath({QStringLiteral("7500    PrihodiP")}, &notFound));
    QVERIFY(!m_w->clickPath({QStringLiteral("PrihodiP"), QStringLiteral("4200")}, &notFound));
    QCOMPARE(notFound, QStringLiteral("Konto 4200 nije u grupi \"PrihodiP\". Ondje su: 7500, "
                                      "7501, 7600, 7720."));
    QVERIFY(m_w->clickPath({QStringLiteral("PrihodiP"), QStringLiteral("7500")}, &notFound));
}

QTEST_MAIN(TstFrmFinGrafPrihodRashod)
#include "tst_frmfingrafprihodrashod.moc"
