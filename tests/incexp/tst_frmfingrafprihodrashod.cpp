// The income and expense window on a copy of the demo book: groups, accounts and partners drawn
// as the book sums them, the group commands and their definitions, the share reports, and the
// carry-over of a year's groups.
#include "incexp/frmfindefkontaprihrash.h"
#include "incexp/frmfingrafprihodrashod.h"
#include "incexp/groupshares.h"
#include "output/frmispiscr.h"
#include "output/report.h"
#include "output/reportviewer.h"
#include "platform/chart/chartcontrol.h"
#include "windowsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace TestSupport;

namespace {
const QString kNoGroup = QStringLiteral("Niste zadali ime grupe (PRIHODI-RASHODI)!");
const QString kCopied = QStringLiteral("Uspješno prepisani podaci!");
// The book's condition for the accounts a group has in the year of the turnover row.
QString groupAccounts(const QString &key)
{
    return QStringLiteral("SINTKONTO IN (SELECT Konto FROM FINPRIHRASH WHERE BrojPoduzeca=1 AND "
                          "ImeGrupe='%1' AND Godina=GODINAKNJ)")
        .arg(QString(key).replace(u'\'', QStringLiteral("''")));
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
    void figuresMatchTheBook_data();
    void figuresMatchTheBook();
    void keylessPartnerDrawsByTheCodeInItsText();
    void emptyYearTriesTheStandingGroups();
    void newGroupFromFirstTickToDeletion();
    void groupCommandsRefused();
    void definitionSavedUnderItsNewKey_data();
    void definitionSavedUnderItsNewKey();
    void failedSaveRollsBack();
    void shareReportsOfAGroup();
    void carryOverYearOutOfRange();
    void carryOverTranslatesThroughLastYearsChart();
    void carryOverThatFailsSaysSo();
    void carryOverIntoAYearWithGroupsAddsOnlyWhatIsMissing();

private:
    frmFinGrafPrihodRashod *open(qint16 year = kLastYear)
    {
        m_fx->store(QStringLiteral("Pregled prihoda i rashoda po mjesecima"),
                    {"PočetnaGodina", QString::number(kFirstYear)});
        return m_w = m_fx->openMethod<frmFinGrafPrihodRashod>(3, QString(), 1, year);
    }
    void change(const QString &sql) { QCOMPARE(execute(m_fx->book, sql), QString()); }
    int rows(const QString &where) const
    {
        return m_fx->ask("SELECT COUNT(*) FROM FINPRIHRASH WHERE BrojPoduzeca=1 AND " + where)
            .toInt();
    }
    // The carry-over from a year, the accounts as they are (0) or translated by the chart of the
    // year before the window's (1), answered Yes or No; what the window said.
    QStringList carryOver(int translation, const QString &year,
                          Dialogs::Answer answer = Dialogs::AnswerYes)
    {
        m_fx->dialogs->messages.clear();
        m_fx->dialogs->inputs.push_back(year);
        m_fx->dialogs->answers.push_back(answer);
        m_w->mnuPrepišiProšlu[translation]->trigger();
        return m_fx->dialogs->texts();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<WindowFixture> m_fx;
    QPointer<frmFinGrafPrihodRashod> m_w;
};

void TstFrmFinGrafPrihodRashod::init()
{
    m_fx = std::make_unique<WindowFixture>();
    m_fx->book = demoBookCopy(m_dir);
}

void TstFrmFinGrafPrihodRashod::cleanup()
{
    cPristupPodacima::setTrace({});
    m_fx.reset();
    cPristupPodacima::closeAllConnections();
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
    CLICK_PATH(m_w, "PrihodiP", "7500");
}

void TstFrmFinGrafPrihodRashod::figuresMatchTheBook_data()
{
    QTest::addColumn<QString>("setup"); // rows of FINPRIHRASH the book gets first
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("account"); // the group's node itself when empty
    QTest::addColumn<int>("partner");     // the account's child, none when negative
    QTest::addColumn<QString>("word");    // of the rows' labels
    QTest::addColumn<QString>("figure");  // the book's, of a month
    QTest::addColumn<QString>("title");   // its beginning
    const auto row = [](const char *name, const QString &setup, const char *group,
                        const char *account, int partner, const char *word, const char *figure,
                        const QString &title) {
        QTest::newRow(name) << setup << QString::fromUtf8(group) << QString::fromUtf8(account)
                            << partner << QString::fromUtf8(word) << QString::fromUtf8(figure)
                            << title;
    };
    const QString on1200 = QStringLiteral("1200     Kupci u zemlji");
    const QString add = QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, ");
    const QString allYears =
        QStringLiteral("INSERT INTO FINPRIHRASH SELECT 1, 'KupciP', '1200', "
                       "GODINAKNJ FROM (SELECT DISTINCT GODINAKNJ FROM KONTO)");
    row("income group", {}, "PrihodiP", "", -1, "PRIH", "POT%1", "Prihodi");
    row("expense group", {}, "Plaće i doprinosiR", "", -1, "RASH", "DUG%1", "Plaće i doprinosi");
    row("balance group", {}, "Bruto marža robeS", "", -1, "PRIH-RASH", "POT%1-DUG%1",
        "Bruto marža robe");
    row("a key ending in another letter is a balance", add + "'UkupnoX', '7500', 2026)", "UkupnoX",
        "", -1, "PRIH-RASH", "POT%1-DUG%1", "Ukupno");
    row("each year its own accounts",
        add + "'MijenaR', '4200', 2025), (1, 'MijenaR', '4201', 2026)", "MijenaR", "", -1, "RASH",
        "DUG%1", "Mijena");
    row("income account", allYears, "KupciP", "1200", -1, "PRIH", "POT%1", "Prihodi " + on1200);
    row("balance account", add + "'KupciS', '1200', 2026)", "KupciS", "1200", -1, "PRIH-RASH",
        "POT%1-DUG%1", "Prihodi-Rashodi (Saldo): " + on1200);
    row("income partner", allYears, "KupciP", "1200", 0, "PRIH", "POT%1",
        "Prihodi: " + on1200 + " - ");
    row("expense partner", add + "'KupciR', '1200', 2026)", "KupciR", "1200", 1, "RASH", "DUG%1",
        "Rashodi: " + on1200 + " - ");
    row("balance partner", add + "'KupciS', '1200', 2026)", "KupciS", "1200", 0, "Saldo",
        "POT%1-DUG%1", "Saldo: " + on1200 + " - ");
}

void TstFrmFinGrafPrihodRashod::figuresMatchTheBook()
{
    QFETCH(QString, setup);
    QFETCH(QString, group);
    QFETCH(QString, account);
    QFETCH(int, partner);
    QFETCH(QString, word);
    QFETCH(QString, figure);
    QFETCH(QString, title);
    if (!setup.isEmpty())
        change(setup);
    open();
    int fills = 0;
    cPristupPodacima::setTrace([&](const QString &stage, const QString &sql) {
        fills += stage == u"sql" && sql.contains(QStringLiteral("AS Naziv, P.ANALKONTO"));
    });
    // an account's key: its code in eight places, then the group's key
    const QString key = account.isEmpty() ? group : account.leftJustified(8) + group;
    CLICK_NODE(node, m_w->tv, key);
    const int children = node->childCount();
    CLICK(m_w->tv, key); // the partners are loaded once
    QCOMPARE(node->childCount(), children);
    QCOMPARE(fills, account.isEmpty() ? 0 : 1);
    QString condition = groupAccounts(group);
    if (account.isEmpty())
        QCOMPARE(children, rows("Godina=2026 AND ImeGrupe='" + group + u'\''));
    else
        condition += " AND SINTKONTO='" + account + u'\'';
    if (partner >= 0) {
        CHILD_NODE(partnerNode, node, partner);
        const QString code = KeyedTree::key(partnerNode).mid(3);
        QCOMPARE(KeyedTree::key(partnerNode), "A" + group.right(1) + u':' + code);
        QVERIFY(partnerNode->text(0).endsWith(" (" + code + u')'));
        emit m_w->tv->nodeClicked(partnerNode);
        condition = "SINTKONTO='" + account + "' AND ANALKONTO=" + code;
    }
    m_w->MSChart1->setTitleText(QString());
    m_w->Command1_Click(); // the Prikaži button draws what the last click chose
    QCOMPARE(m_fx->said(), QStringList());
    QVERIFY2(m_w->MSChart1->titleText().startsWith(title), qPrintable(m_w->MSChart1->titleText()));
    QCOMPARE(m_w->txtkonto->text(), account.isEmpty() && word == u"PRIH-RASH" ? word : account);
    m_fx->compareRows(
        m_w, {word}, [&](const QString &, int m) { return figure.arg(mm(m)); }, condition,
        kFirstYear);
}

// A partner on two accounts of one kind has its key under the account loaded first; under the
// other its node has none, and draws that account's turnover by the code in its text.
void TstFrmFinGrafPrihodRashod::keylessPartnerDrawsByTheCodeInItsText()
{
    open();
    CLICK(m_w->tv, QStringLiteral("1200    Naplata od kupacaP"));
    CLICK_NODE(account, m_w->tv, QStringLiteral("1210    Naplata od kupacaP"));
    QTreeWidgetItem *keyless = nullptr;
    for (int i = 0; !keyless && i < account->childCount(); ++i)
        if (KeyedTree::key(account->child(i)).isEmpty())
            keyless = account->child(i);
    QVERIFY(keyless);
    emit m_w->tv->nodeClicked(keyless);
    const QString code = keyless->text(0).section(u'(', -1).chopped(1);
    FIND_NODE(keyed, m_w->tv, "AP:" + code);
    QCOMPARE(keyed->parent()->text(0).left(4), QStringLiteral("1200"));
    const Recordset &rs = m_w->chartRecordset();
    QVERIFY(rs.RecordCount() > 0);
    for (int r = 0; r < rs.RecordCount(); ++r)
        COMPARE_FIGURE(rs.valueAt(r, rs.fieldIndex(QStringLiteral("Mj06"))).toDouble(),
                       m_fx->total(QStringLiteral("POT06"),
                                   "SINTKONTO='1210' AND ANALKONTO=" + code +
                                       " AND GODINAKNJ=" + rs.valueAt(r, 0).toString().right(4)),
                       rs.valueAt(r, 0).toString());
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

// A new group: its name as typed, an apostrophe and all, without the blanks around and cut to 30,
// at first an income group; drawn, renamed and deleted as any other, its other years kept.
void TstFrmFinGrafPrihodRashod::newGroupFromFirstTickToDeletion()
{
    open();
    m_fx->dialogs->inputs.push_back(QStringLiteral("  Prihodi d'Oro od najma poslovnih prostora "));
    QString openedWith;
    m_w->setDefinitionScript([&](frmFinDefKontaPrihRash &d) {
        openedWith = d.storedKey();
        QVERIFY(d.optPrihodi->isChecked());
        QVERIFY(d.tickOnly({QStringLiteral("7500")}));
        QVERIFY(d.cmdSpremi_Click());
    });
    m_w->mnuRadSaGrupom[0]->trigger();
    const QString key = QStringLiteral("Prihodi d'Oro od najma poslovnP");
    QCOMPARE(openedWith, key);
    QCOMPARE(m_fx->dialogs->prompts.value(0),
             QStringLiteral("Upišite naziv nove grupe konta (maksimalno 30 znakova, PRIHODI i "
                            "RASHODI već rezervirano):"));
    CLICK_NODE(group, m_w->tv, key); // the tree is refreshed
    QCOMPARE(KeyedTree::tag(group), QStringLiteral("SviPrihodi"));
    COMPARE_FIGURE(drawn(m_w, QStringLiteral("PRIH 2026"), 2),
                   m_fx->total(QStringLiteral("POT02"), "SINTKONTO='7500' AND GODINAKNJ=2026"),
                   "7500");
    CLICK(m_w->tv, "7500    " + key);
    QCOMPARE(m_fx->said(), QStringList());

    QVERIFY(m_w->spremiDefiniciju(key, QStringLiteral("O'Neil"), QString(),
                                  QStringList{"7500", "7501"}));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='O''NeilP' AND Godina=2026")), 2);
    QCOMPARE(rows(QStringLiteral("ImeGrupe LIKE 'Prihodi d''Oro%'")), 0);
    change(QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'O''NeilP', '7500', 2025)"));
    CLICK(m_w->tv, QStringLiteral("O'NeilP"));
    m_fx->dialogs->answers = {Dialogs::AnswerNo, Dialogs::AnswerYes};
    m_w->cmdVP[2]->click();
    QCOMPARE(m_fx->dialogs->messages.value(0).text,
             QStringLiteral("Želite li zaista izbrisati grupu: O'NeilP?"));
    QCOMPARE(m_fx->dialogs->messages.value(0).title, QStringLiteral("Brisanje grupe"));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='O''NeilP' AND Godina=2026")), 2);
    m_w->cmdVP[2]->click();
    QCOMPARE(rows(QStringLiteral("ImeGrupe='O''NeilP' AND Godina=2026")), 0);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='O''NeilP' AND Godina=2025")), 1);
    QVERIFY(!m_w->tv->node(QStringLiteral("O'NeilP")));
    QCOMPARE(m_w->selectedGroupKey(), QStringLiteral("O'NeilP")); // kept
}

// Commands that need a group, with none chosen; a new group's name taken anywhere in the tree, or
// blank: said, and nothing opened or written.
void TstFrmFinGrafPrihodRashod::groupCommandsRefused()
{
    open();
    bool opened = false;
    m_w->setDefinitionScript([&](frmFinDefKontaPrihRash &) { opened = true; });
    const int all = rows(QStringLiteral("1=1"));
    for (int command : {1, 2, 4})
        m_w->mnuRadSaGrupom_Click(command);
    m_w->mnuIspisP_Click(1);
    QCOMPARE(m_fx->dialogs->texts(), QStringList(4, kNoGroup));
    for (const auto &message : std::as_const(m_fx->dialogs->messages))
        QCOMPARE(message.icon, Dialogs::Information);
    QVERIFY(!m_w->lastPreview());
    m_fx->dialogs->messages.clear();
    for (const char *name : {"Prihodi", "   "}) {
        m_fx->dialogs->inputs.push_back(QString::fromUtf8(name));
        m_w->mnuRadSaGrupom_Click(0);
    }
    QCOMPARE(m_fx->dialogs->messages.size(), 1);
    QCOMPARE(m_fx->dialogs->messages[0].text, QStringLiteral("Već postoji grupa: Prihodi"));
    QCOMPARE(m_fx->dialogs->messages[0].title, QStringLiteral("Nova grupa konta"));
    QCOMPARE(m_fx->dialogs->messages[0].icon, Dialogs::Exclamation);
    QVERIFY(!opened);
    QCOMPARE(rows(QStringLiteral("1=1")), all);
}

void TstFrmFinGrafPrihodRashod::definitionSavedUnderItsNewKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name"); // the group's own when null
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("accounts"); // none given when empty: the group's stay
    QTest::addColumn<QString>("saved");        // the new key; empty when refused
    QTest::addColumn<QString>("tag");
    const auto row = [](const char *name, const char *key, const QString &newName, const char *kind,
                        const QStringList &accounts, const char *saved, const char *tag) {
        QTest::newRow(name) << QString::fromUtf8(key) << newName << QString::fromUtf8(kind)
                            << accounts << QString::fromUtf8(saved) << QString::fromUtf8(tag);
    };
    row("kind changed", "PrihodiP", {}, "R", {"7500", "7501", "7600", "7720"}, "PrihodiR",
        "SviRashodi");
    row("renamed without accounts", "Plaće i doprinosiR", "Plaće", "", {}, "PlaćeR", "SviRashodi");
    row("renamed onto another group", "Prihodi od prodajeP", "Prihodi", "", {}, "", "");
    row("the name of a group of another kind", "Prihodi od prodajeP", "Prihodi", "S", {},
        "PrihodiS", "PrihRash");
}

void TstFrmFinGrafPrihodRashod::definitionSavedUnderItsNewKey()
{
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QStringList, accounts);
    QFETCH(QString, saved);
    QFETCH(QString, tag);
    open();
    const auto accountsOf = [&](const QString &group, int year) {
        return m_fx
            ->ask(QStringLiteral("SELECT group_concat(Konto) FROM (SELECT Konto FROM FINPRIHRASH "
                                 "WHERE BrojPoduzeca=1 AND ImeGrupe='%1' AND Godina=%2 ORDER BY "
                                 "Konto)")
                      .arg(group)
                      .arg(year))
            .toString();
    };
    const QString before = accountsOf(key, kLastYear), yearBefore = accountsOf(key, kLastYear - 1);
    QCOMPARE(m_w->spremiDefiniciju(key, name, kind,
                                   accounts.isEmpty() ? std::nullopt
                                                      : std::optional<QStringList>(accounts)),
             !saved.isEmpty());
    if (saved.isEmpty()) {
        QCOMPARE(m_fx->said(), QStringList{QStringLiteral("Već postoji grupa: Prihodi")});
        QCOMPARE(accountsOf(key, kLastYear), before);
        return;
    }
    QCOMPARE(accountsOf(saved, kLastYear), accounts.isEmpty() ? before : accounts.join(u','));
    QCOMPARE(accountsOf(key, kLastYear), QString());
    QCOMPARE(accountsOf(key, kLastYear - 1), yearBefore); // other years untouched
    FIND_NODE(group, m_w->tv, saved);
    QCOMPARE(KeyedTree::tag(group), tag);
}

void TstFrmFinGrafPrihodRashod::failedSaveRollsBack()
{
    change(QStringLiteral("CREATE TRIGGER odbij BEFORE INSERT ON FINPRIHRASH WHEN "
                          "NEW.Konto='7720' BEGIN SELECT RAISE(ABORT, 'konto odbijen'); END"));
    open();
    const int before = rows(QStringLiteral("ImeGrupe='PrihodiP'"));
    bool stillOpen = false;
    m_w->setDefinitionScript([&](frmFinDefKontaPrihRash &d) {
        QVERIFY(d.tickOnly({QStringLiteral("7500"), QStringLiteral("7720")}));
        QVERIFY(!d.cmdSpremi_Click());
        stillOpen = d.result() != QDialog::Accepted;
    });
    CLICK(m_w->tv, QStringLiteral("PrihodiP"));
    m_fx->dialogs->messages.clear();
    m_w->mnuRadSaGrupom_Click(4);
    QVERIFY(stillOpen);
    const QStringList said = m_fx->said();
    QCOMPARE(said.size(), 1);
    QVERIFY2(said[0].startsWith(QStringLiteral("Desila se greška:  u spremanju podataka. "
                                               "Ponovite! ")) &&
                 said[0].contains(QStringLiteral("konto odbijen")),
             qPrintable(said[0]));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP'")), before); // the delete rolled back
}

// The shares of a group of accounts kept by partner (customers) and of an account without
// partners (services), over the years in the boxes, by months and in total side by side: a row
// for each year, account and partner the book has; the shares add up to the group's chart, and
// on paper every month column, the total and the share column, whatever the page's width, and
// 7600's share as the book gives it.
void TstFrmFinGrafPrihodRashod::shareReportsOfAGroup()
{
    open();
    CLICK(m_w->tv, QStringLiteral("Naplata od kupacaP"));
    m_w->txtGodina[0]->setText(QStringLiteral("2025"));
    m_fx->dialogs->progressSteps.clear();
    m_w->mnuIspisP[1]->trigger();
    QCOMPARE(m_fx->dialogs->progressSteps, QVector<int>({0, 60, 100})); // opening it
    QPointer<frmIspisCR> byMonth = m_w->lastPreview();
    m_w->mnuIspisP[2]->trigger();
    QPointer<frmIspisCR> total = m_w->lastPreview();
    QCOMPARE(m_fx->said(), QStringList());
    QVERIFY(byMonth && total && byMonth != total);
    QCOMPARE(byMonth->windowTitle(), QStringLiteral("Naplata od kupaca - UČEŠĆE U %"));
    QCOMPARE(byMonth->Report->text(QStringLiteral("Naslov")), byMonth->windowTitle());
    QCOMPARE(byMonth->Report->documentName(), QStringLiteral("Učešće u % po mjesecima"));
    QCOMPARE(total->Report->documentName(), QStringLiteral("Učešće u % ukupno"));
    Recordset shares = byMonth->Report->database().rows();
    const int rowCount = shares.RecordCount();
    QCOMPARE(rowCount,
             m_fx->ask(QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT GODINAKNJ, "
                                      "SINTKONTO, ANALKONTO FROM PROMET WHERE BROJPODUZECA=1 AND "
                                      "SINTKONTO IN ('1200', '1210', '7600') AND GODINAKNJ >= "
                                      "2025)"))
                 .toInt());
    QCOMPARE(total->Report->database().rows().RecordCount(), rowCount);
    for (int year : {2025, 2026}) {
        QVERIFY(shares.setFilter(QStringLiteral("Konto='7600' AND Godina=%1").arg(year)));
        QCOMPARE(shares.RecordCount(), 1); // no partner
        QCOMPARE(shares.value(QStringLiteral("Komit")).toInt(), 0);
        QVERIFY(shares.value(QStringLiteral("Komitent")).toString().isEmpty());
        QVERIFY(shares.setFilter(QStringLiteral("Godina=%1").arg(year)));
        for (int month : {1, 6, 12}) {
            double sum = 0;
            for (int r = 0; r < shares.RecordCount(); ++r)
                sum += shares.valueAt(r, shares.fieldIndex("Mj" + mm(month))).toDouble();
            COMPARE_FIGURE(drawn(m_w, QStringLiteral("PRIH %1").arg(year), month), sum,
                           QStringLiteral("%1 Mj%2, the shares").arg(year).arg(mm(month)));
        }
    }
    for (const auto &[preview, column] :
         {std::pair{byMonth, QStringLiteral("POT06")},
          std::pair{total, QStringLiteral("POT01+POT02+POT03+POT04+POT05+POT06+POT07+POT08+POT09+"
                                          "POT10+POT11+POT12")}}) {
        const QString pdf = m_fx->printDir.filePath(QStringLiteral("udjeli.pdf"));
        QString error;
        m_fx->dialogs->progressSteps.clear();
        QVERIFY2(preview->CRVRadnici->ExportPdf(pdf, &error), qPrintable(error));
        QCOMPARE(m_fx->said(), QStringList());
        QCOMPARE(m_fx->dialogs->progressSteps.first(), 0);
        QCOMPARE(m_fx->dialogs->progressSteps.last(), 100);
        const QString text = output(QStringLiteral("pdftotext"),
                                    {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        const GroupShares g = GroupShares::from(preview->Report->database().rows());
        QVERIFY(g.months.size() >= 12);
        for (const QString &month : g.months)
            QVERIFY2(text.contains(month), qPrintable(month));
        QVERIFY(text.contains(QStringLiteral("Ukupno grupa")));
        QVERIFY(text.contains(QStringLiteral("Učešće %")));
        QVERIFY(text.contains(QStringLiteral("stupci %1 – ").arg(g.months.first())));
        const QString in2026 = QStringLiteral(" AND GODINAKNJ=2026");
        const QString printed =
            QLocale().toString(
                m_fx->total(column, "SINTKONTO='7600'" + in2026) * 100 /
                    m_fx->total(column, "SINTKONTO IN ('1200', '1210', '7600')" + in2026),
                'f', 2) +
            QStringLiteral(" %");
        bool found = false;
        for (const QString &line : text.split(u'\n'))
            found = found ||
                    (line.contains(QStringLiteral("Ukupno konto 7600")) && line.contains(printed));
        QVERIFY2(found, qPrintable(printed));
    }
    byMonth->close();
    QVERIFY(total); // each preview lives on its own
    QCOMPARE(total->Report->database().rows().RecordCount(), rowCount);
}

// A year outside 2000..2100 is refused; one inside is asked about, and No copies nothing.
void TstFrmFinGrafPrihodRashod::carryOverYearOutOfRange()
{
    open();
    const int all = rows(QStringLiteral("1=1"));
    for (const char *year : {"", "lani", "1999", "2101"})
        QCOMPARE(carryOver(0, QString::fromLatin1(year), Dialogs::AnswerNo),
                 QStringList{QStringLiteral("Greška. Godina < 2000 ili veća od 2100!")});
    for (const char *year : {"2000", "2100"})
        QCOMPARE(carryOver(0, QString::fromLatin1(year), Dialogs::AnswerNo),
                 QStringList{QStringLiteral("Želite li prebaciti grupe prihoda i rashoda u "
                                            "tekuću 2026 godinu, iz godine %1 ?\r\nNe smiju "
                                            "postojati isti podaci u tekućoj godini!")
                                 .arg(QLatin1String(year))});
    QCOMPARE(m_fx->dialogs->prompts,
             QStringList(6, QStringLiteral("Unesite godinu iz koje prebacujete podatke:")));
    QCOMPARE(rows(QStringLiteral("1=1")), all);
}

// Translated by the chart of the year before the window's, whatever the year copied from: there
// 7500 becomes 7501, and 7600 and 4200 have no code and are left out, as the window says.
void TstFrmFinGrafPrihodRashod::carryOverTranslatesThroughLastYearsChart()
{
    change(QStringLiteral("UPDATE KONTO SET SifKonta1='7501' WHERE BROJPODUZECA=1 AND "
                          "GODINAKNJ=2025 AND SIFKONTA='7500'; UPDATE KONTO SET SifKonta1=NULL "
                          "WHERE BROJPODUZECA=1 AND GODINAKNJ=2025 AND SIFKONTA IN ('7600', "
                          "'4200'); DELETE FROM FINPRIHRASH WHERE Godina=2026"));
    open();
    const QStringList said = carryOver(1, QStringLiteral("2024"));
    QCOMPARE(said.value(1), kCopied);
    QCOMPARE(m_fx->dialogs->messages.value(2).icon, Dialogs::Information);
    QCOMPARE(said.value(2),
             QStringLiteral("Nisu prepisana konta koja nemaju šifru za 2026. godinu:\r\n"
                            "Naplata od kupaca: 7600\r\nPlaće i doprinosi: 4200\r\n"
                            "Prihodi od prodaje: 7600\r\nPrihodi-Rashodi (Dobit): 4200, 7600\r\n"
                            "Prihodi: 7600\r\nRashodi: 4200"));
    // 7501 once, though both 7500 and 7501 of 2024 become 7501
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026 AND Konto='7501'")), 1);
    QCOMPARE(rows(QStringLiteral("Godina=2026 AND (Konto IS NULL OR Konto IN ('', '7500', "
                                 "'7600', '4200'))")),
             0);
    QVERIFY(m_w->tv->node(QStringLiteral("PrihodiP"))); // the tree is refreshed
    // a second run finds every row there and copies none again
    const int copied = rows(QStringLiteral("Godina=2026"));
    QVERIFY(copied > 0);
    QCOMPARE(carryOver(1, QStringLiteral("2024")).value(1), kCopied);
    QCOMPARE(rows(QStringLiteral("Godina=2026")), copied);
}

void TstFrmFinGrafPrihodRashod::carryOverThatFailsSaysSo()
{
    change(QStringLiteral("CREATE TRIGGER odbij BEFORE INSERT ON FINPRIHRASH BEGIN SELECT "
                          "RAISE(ABORT, 'prepisivanje odbijeno'); END"));
    open();
    const int all = rows(QStringLiteral("1=1"));
    const QStringList said = carryOver(0, QStringLiteral("2025"));
    QCOMPARE(said.size(), 2);
    QVERIFY2(said[1].startsWith(QStringLiteral("Desila se greška: ")) &&
                 said[1].contains(QStringLiteral("prepisivanje odbijeno")),
             qPrintable(said[1]));
    QCOMPARE(rows(QStringLiteral("1=1")), all);
}

void TstFrmFinGrafPrihodRashod::carryOverIntoAYearWithGroupsAddsOnlyWhatIsMissing()
{
    // 2026 holds every group of 2025 but one, and one of its rows twice already
    change(QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'PrihodiP', '7500', 2025)"));
    open();
    const int services = rows(QStringLiteral("ImeGrupe='Troškovi uslugaR' AND Godina=2025"));
    QVERIFY(services > 0);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='Troškovi uslugaR' AND Godina=2026")), 0);
    const int before = rows(QStringLiteral("Godina=2026"));
    QCOMPARE(carryOver(0, QStringLiteral("2025")),
             QStringList({QStringLiteral("Želite li prebaciti grupe prihoda i rashoda u tekuću "
                                         "2026 godinu, iz godine 2025 ?\r\nNe smiju postojati "
                                         "isti podaci u tekućoj godini!"),
                          kCopied}));
    QCOMPARE(rows(QStringLiteral("Godina=2026")), before + services);
    QCOMPARE(m_fx->ask(QStringLiteral("SELECT max(n) FROM (SELECT count(*) AS n FROM FINPRIHRASH "
                                      "WHERE BrojPoduzeca=1 AND Godina=2026 GROUP BY ImeGrupe, "
                                      "Konto)"))
                 .toInt(),
             1);
    FIND_NODE(services2026, m_w->tv, QStringLiteral("Troškovi uslugaR"));
    QCOMPARE(services2026->childCount(), services);
}

QTEST_MAIN(TstFrmFinGrafPrihodRashod)
#include "tst_frmfingrafprihodrashod.moc"
