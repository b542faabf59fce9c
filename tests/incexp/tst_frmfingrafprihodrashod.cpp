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
// No partner chosen; the first partner without a key, one that has its key under account 1200 of
// the group, loaded first.
constexpr int kNone = -1, kKeyless = -2;
// A text as the book's SQL spells it.
QString quoted(QString text)
{
    return text.replace(u'\'', QStringLiteral("''"));
}
// What the carry-over from a year into the window's asks first.
QString question(const QString &year)
{
    return QStringLiteral("Želite li prebaciti grupe prihoda i rashoda u tekuću 2026 godinu, iz "
                          "godine %1 ?\r\nNe smiju postojati isti podaci u tekućoj godini!")
        .arg(year);
}
} // namespace

class TstFrmFinGrafPrihodRashod : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void treeOfTheYearsGroups();
    void figuresMatchTheBook_data();
    void figuresMatchTheBook();
    void groupCommands();
    void definitionSavedUnderItsNewKey_data();
    void definitionSavedUnderItsNewKey();
    void shareReportsOfAGroup();
    void carryOverOfAYearsGroups();

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

// A year without groups tries the standing ones; the last year lists its groups by name with
// their accounts, and a path the tree does not hold says which part and what there is.
void TstFrmFinGrafPrihodRashod::treeOfTheYearsGroups()
{
    open(1995);
    QCOMPARE(m_fx->said(),
             QStringList({"Nisu upisanih grupa!", "Nisu upisana konta za grupu: Prihodi !",
                          "Nisu upisana konta za grupu: Rashodi !",
                          "Nisu upisana konta za grupu: Prihodi-Rashodi (Dobit) !"}));
    QCOMPARE(m_w->tv->topLevelItemCount(), 0);
    m_w->close();
    QVERIFY(open());
    QCOMPARE(m_fx->said(), QStringList());
    QStringList groups;
    for (int i = 0; i < m_w->tv->topLevelItemCount(); ++i)
        groups << m_w->tv->topLevelItem(i)->text(0);
    QCOMPARE(groups, QStringList({"Bruto marža robe", "Naplata od kupaca", "Plaćanja dobavljačima",
                                  "Plaće i doprinosi", "Prihodi", "Prihodi od prodaje",
                                  "Prihodi-Rashodi (Dobit)", "Rashodi"}));
    FIND_NODE(wages, m_w->tv, QStringLiteral("Plaće i doprinosiR"));
    CHILD_NODE(account, wages, 0);
    QCOMPARE(account->text(0), QStringLiteral("4200     Neto plaće i nadnice"));

    // a group's name without its kind letter gets the keys of that name; an account's key is no
    // group
    const QString keys = QStringLiteral(
        "Bruto marža robeS, Naplata od kupacaP, Plaćanja dobavljačimaR, Plaće i doprinosiR, "
        "PrihodiP, Prihodi od prodajeP, Prihodi-Rashodi (Dobit)S, RashodiR.");
    const std::pair<QStringList, QString> misses[] = {
        {{"Prihodi"},
         "Grupa \"Prihodi\" nije u stablu: ključ grupe je njezin naziv i slovo vrste (P prihodi, R "
         "rashodi, S saldo). Ondje su: PrihodiP."},
        {{"7500    PrihodiP"}, "Grupa \"7500    PrihodiP\" nije u stablu. Ondje su: " + keys},
        {{"PrihodiP", "4200"},
         "Konto 4200 nije u grupi \"PrihodiP\". Ondje su: 7500, 7501, 7600, 7720."}};
    for (const auto &[path, said] : misses) {
        QString notFound;
        QVERIFY(!m_w->clickPath(path, &notFound));
        QCOMPARE(notFound, said);
    }
    CLICK_PATH(m_w, "PrihodiP", "7500");
}

void TstFrmFinGrafPrihodRashod::figuresMatchTheBook_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("account"); // the group's node itself when empty
    QTest::addColumn<int>("partner");     // the account's child, kNone or kKeyless
    QTest::addColumn<QString>("word");    // of the rows' labels
    QTest::addColumn<QString>("title");   // its beginning
    const auto row = [](const char *name, const QString &group, const QString &account, int partner,
                        const QString &word, const QString &title) {
        QTest::newRow(name) << group << account << partner << word << title;
    };
    const QString on1200 = QStringLiteral("1200     Kupci u zemlji");
    row("income group", "PrihodiP", "", kNone, "PRIH", "Prihodi");
    row("expense group", "Plaće i doprinosiR", "", kNone, "RASH", "Plaće i doprinosi");
    row("balance group", "Bruto marža robeS", "", kNone, "PRIH-RASH", "Bruto marža robe");
    row("each year its own accounts", "MijenaR", "", kNone, "RASH", "Mijena");
    row("income account", "KupciP", "1200", kNone, "PRIH", "Prihodi " + on1200);
    row("balance account", "KupciS", "1200", kNone, "PRIH-RASH",
        "Prihodi-Rashodi (Saldo): " + on1200);
    row("income partner", "KupciP", "1200", 0, "PRIH", "Prihodi: " + on1200 + " - ");
    row("expense partner", "KupciR", "1200", 1, "RASH", "Rashodi: " + on1200 + " - ");
    row("balance partner", "KupciS", "1200", 0, "Saldo", "Saldo: " + on1200 + " - ");
    row("partner without a key", "Naplata od kupacaP", "1210", kKeyless, "PRIH",
        "Prihodi: 1210     Kupci u inozemstvu - ");
}

void TstFrmFinGrafPrihodRashod::figuresMatchTheBook()
{
    QFETCH(QString, group);
    QFETCH(QString, account);
    QFETCH(int, partner);
    QFETCH(QString, word);
    QFETCH(QString, title);
    // KupciP in every year, MijenaR on other accounts in 2025 and 2026
    change(QStringLiteral("INSERT INTO FINPRIHRASH SELECT 1, 'KupciP', '1200', GODINAKNJ FROM "
                          "(SELECT DISTINCT GODINAKNJ FROM KONTO); INSERT INTO FINPRIHRASH VALUES "
                          "(1, 'MijenaR', '4200', 2025), (1, 'MijenaR', '4201', 2026), (1, "
                          "'KupciS', '1200', 2026), (1, 'KupciR', '1200', 2026)"));
    open();
    if (partner == kKeyless)
        CLICK(m_w->tv, "1200    " + group);
    int fills = 0;
    cPristupPodacima::setTrace([&](const QString &stage, const QString &sql) {
        fills += stage == u"sql" && sql.contains(QStringLiteral("AS Naziv, P.ANALKONTO"));
    });
    // an account's key: its code in eight places, then the group's key
    const QString key = account.isEmpty() ? group : account.leftJustified(8) + group;
    CLICK_NODE(node, m_w->tv, key);
    const int children = node->childCount();
    CLICK(m_w->tv, key); // the partners are loaded once
    QCOMPARE(fills, account.isEmpty() ? 0 : 1);
    // the group's accounts in the year of the turnover row
    QString condition = QStringLiteral("SINTKONTO IN (SELECT Konto FROM FINPRIHRASH WHERE "
                                       "BrojPoduzeca=1 AND ImeGrupe='%1' AND Godina=GODINAKNJ)")
                            .arg(quoted(group));
    if (account.isEmpty())
        QCOMPARE(children, rows("Godina=2026 AND ImeGrupe='" + group + u'\''));
    else
        condition += " AND SINTKONTO='" + account + u'\'';
    if (partner != kNone) {
        QTreeWidgetItem *partnerNode = partner >= 0 ? node->child(partner) : nullptr;
        for (int i = 0; !partnerNode && i < children; ++i)
            if (KeyedTree::key(node->child(i)).isEmpty())
                partnerNode = node->child(i);
        QVERIFY(partnerNode);
        // a partner's key: its kind's letter and its code, under the account loaded first
        const QString code = partnerNode->text(0).section(u'(', -1).chopped(1);
        const QString partnerKey = "A" + group.right(1) + u':' + code;
        QCOMPARE(KeyedTree::key(partnerNode), partner == kKeyless ? QString() : partnerKey);
        FIND_NODE(keyed, m_w->tv, partnerKey);
        QCOMPARE(keyed->parent()->text(0).left(4), partner == kKeyless ? "1200" : account);
        emit m_w->tv->nodeClicked(partnerNode);
        condition = "SINTKONTO='" + account + "' AND ANALKONTO=" + code;
    }
    m_w->MSChart1->setTitleText(QString());
    m_w->Command1_Click(); // the Prikaži button draws what the last click chose
    QCOMPARE(m_fx->said(), QStringList());
    QVERIFY2(m_w->MSChart1->titleText().startsWith(title), qPrintable(m_w->MSChart1->titleText()));
    QCOMPARE(m_w->txtkonto->text(), account.isEmpty() && word == u"PRIH-RASH" ? word : account);
    // income is the credit side, expense the debit side, a balance the one less the other
    const QString figure = word == u"PRIH" ? "POT%1" : word == u"RASH" ? "DUG%1" : "POT%1-DUG%1";
    m_fx->compareRows(
        m_w, {word}, [&](const QString &, int m) { return figure.arg(mm(m)); }, condition,
        kFirstYear);
}

// Commands that need a group, with none chosen, and a new group's name taken anywhere in the tree
// or blank: said, and nothing opened or written. A new group: its name as typed, an apostrophe and
// all, without the blanks around and cut to 30, at first an income group; drawn, its accounts
// defined again (command 4) and deleted as any other (only in the window's year, as the statement
// says).
void TstFrmFinGrafPrihodRashod::groupCommands()
{
    open();
    QStringList opened;
    m_w->setDefinitionScript([&](frmFinDefKontaPrihRash &d) {
        opened << d.storedKey();
        QVERIFY(d.tickOnly({QStringLiteral("7500")}));
        QVERIFY(d.cmdSpremi_Click());
    });
    const int all = rows(QStringLiteral("1=1"));
    for (int command : {1, 2, 4})
        m_w->mnuRadSaGrupom_Click(command);
    m_w->mnuIspisP_Click(1);
    QCOMPARE(m_fx->dialogs->texts(), QStringList(4, kNoGroup));
    QVERIFY(!m_w->lastPreview());
    m_fx->dialogs->messages.clear();
    for (const char *name : {"Prihodi", "   "}) {
        m_fx->dialogs->inputs.push_back(QString::fromUtf8(name));
        m_w->mnuRadSaGrupom_Click(0);
    }
    QCOMPARE(m_fx->dialogs->messages.value(0).title, QStringLiteral("Nova grupa konta"));
    QCOMPARE(m_fx->said(), QStringList{QStringLiteral("Već postoji grupa: Prihodi")});
    QCOMPARE(rows(QStringLiteral("1=1")), all);
    QCOMPARE(m_fx->dialogs->prompts.value(0),
             QStringLiteral("Upišite naziv nove grupe konta (maksimalno 30 znakova, PRIHODI i "
                            "RASHODI već rezervirano):"));

    m_fx->dialogs->inputs.push_back(QStringLiteral("  Prihodi d'Oro od najma poslovnih prostora "));
    m_w->mnuRadSaGrupom[0]->trigger();
    const QString key = QStringLiteral("Prihodi d'Oro od najma poslovnP");
    CLICK(m_w->tv, key); // the tree is refreshed
    COMPARE_FIGURE(drawn(m_w, QStringLiteral("PRIH 2026"), 2),
                   m_fx->total(QStringLiteral("POT02"), "SINTKONTO='7500' AND GODINAKNJ=2026"),
                   "7500");
    m_w->mnuRadSaGrupom_Click(4);
    QCOMPARE(opened, QStringList({key, key}));
    CLICK(m_w->tv, "7500    " + key);
    QCOMPARE(m_fx->said(), QStringList());

    const QString inYear = "ImeGrupe='" + quoted(key) + "' AND Godina=2026";
    CLICK(m_w->tv, key);
    m_fx->dialogs->answers = {Dialogs::AnswerNo, Dialogs::AnswerYes};
    m_w->cmdVP[2]->click();
    QCOMPARE(m_fx->dialogs->messages.value(0).text,
             "Želite li zaista izbrisati grupu: " + key + u'?');
    QCOMPARE(m_fx->dialogs->messages.value(0).title, QStringLiteral("Brisanje grupe"));
    QCOMPARE(rows(inYear), 1);
    m_w->cmdVP[2]->click();
    QCOMPARE(rows(inYear), 0);
    QVERIFY(!m_w->tv->node(key));
}

void TstFrmFinGrafPrihodRashod::definitionSavedUnderItsNewKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name"); // the group's own when null
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("accounts"); // none given when empty: the group's stay
    QTest::addColumn<QString>("saved");        // the new key; empty when refused
    const auto row = [](const char *name, const QString &key, const QString &newName,
                        const QString &kind, const QStringList &accounts, const QString &saved) {
        QTest::newRow(name) << key << newName << kind << accounts << saved;
    };
    row("kind changed", "PrihodiP", {}, "R", {"7500", "7501", "7600", "7720"}, "PrihodiR");
    row("renamed, an apostrophe and all", "Prihodi od prodajeP", "O'Neil", "", {"7500", "7501"},
        "O'NeilP");
    // the key's last letter chooses the kind: any other than P and R the balance
    row("another letter", "UkupnoX", {}, "", {"7500"}, "UkupnoS");
    row("renamed onto another group", "Prihodi od prodajeP", "Prihodi", "", {}, "");
    row("the name of a group of another kind", "Prihodi od prodajeP", "Prihodi", "S", {},
        "PrihodiS");
}

void TstFrmFinGrafPrihodRashod::definitionSavedUnderItsNewKey()
{
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QStringList, accounts);
    QFETCH(QString, saved);
    open();
    const auto accountsOf = [&](const QString &group) {
        return m_fx
            ->ask(QStringLiteral("SELECT group_concat(Konto) FROM (SELECT Konto FROM FINPRIHRASH "
                                 "WHERE BrojPoduzeca=1 AND ImeGrupe='%1' AND Godina=2026 ORDER BY "
                                 "Konto)")
                      .arg(quoted(group)))
            .toString();
    };
    const QString before = accountsOf(key);
    QCOMPARE(m_w->spremiDefiniciju(key, name, kind,
                                   accounts.isEmpty() ? std::nullopt
                                                      : std::optional<QStringList>(accounts)),
             !saved.isEmpty());
    if (saved.isEmpty()) {
        QCOMPARE(m_fx->said(), QStringList{QStringLiteral("Već postoji grupa: Prihodi")});
        QCOMPARE(accountsOf(key), before);
        return;
    }
    QCOMPARE(accountsOf(saved), accounts.isEmpty() ? before : accounts.join(u','));
    QCOMPARE(accountsOf(key), QString());
    FIND_NODE(group, m_w->tv, saved); // the tree is refreshed
}

// The shares of a group of accounts kept by partner (customers) and of an account without
// partners (services), over the years in the boxes, by months and in total side by side: a row
// for each year, account and partner the book has; the shares add up to the group's chart, and
// the tables end in the share column and the group's line, and give 7600's share as the book does
// (how such a table goes on paper is the table pages' and the report's own test).
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
    const QString accounts = QStringLiteral("SINTKONTO IN ('1200', '1210', '7600')");
    Recordset shares = byMonth->Report->database().rows();
    const int rowCount = shares.RecordCount();
    QCOMPARE(rowCount, m_fx->ask("SELECT COUNT(*) FROM (SELECT DISTINCT GODINAKNJ, SINTKONTO, "
                                 "ANALKONTO FROM PROMET WHERE BROJPODUZECA=1 AND " +
                                 accounts + " AND GODINAKNJ >= 2025)")
                           .toInt());
    QVERIFY(shares.setFilter(QStringLiteral("Godina=2025")));
    for (int month : {1, 6, 12}) {
        double sum = 0;
        for (int r = 0; r < shares.RecordCount(); ++r)
            sum += shares.valueAt(r, shares.fieldIndex("Mj" + mm(month))).toDouble();
        COMPARE_FIGURE(drawn(m_w, QStringLiteral("PRIH 2025"), month), sum, "Mj" + mm(month));
    }
    // 7600's share in June and in total, beside its line in 2026, as the book gives it
    const QString in2026 = QStringLiteral(" AND GODINAKNJ=2026");
    for (const auto &[preview, column] :
         {std::pair{byMonth, QStringLiteral("POT06")},
          std::pair{total, QStringLiteral("POT01+POT02+POT03+POT04+POT05+POT06+POT07+POT08+POT09+"
                                          "POT10+POT11+POT12")}}) {
        const ReportTable t = preview->Report->table(preview->Report->database().rows());
        QCOMPARE(t.columns.last().header, QStringLiteral("Učešće %"));
        // the share beside June (after the five labels and Mj00 to Mj05, each with its share), or
        // on the total
        const int at = preview == byMonth ? 5 + 2 * 6 + 1 : t.columns.size() - 1;
        QStringList printed;
        for (int r = 0; r < t.rowCount; ++r)
            if (const QStringList cells = t.row(r).cells; cells[4] == u"Ukupno konto 7600")
                printed << cells[0] + u' ' + cells[at];
        QCOMPARE(t.row(t.rowCount - 1).cells[4], QStringLiteral("Ukupno grupa"));
        const double share = m_fx->total(column, "SINTKONTO='7600'" + in2026) * 100 /
                             m_fx->total(column, accounts + in2026);
        QVERIFY2(printed.contains("2026 " + QLocale().toString(share, 'f', 2) + " %"),
                 qPrintable(printed.join(u',')));
    }
    byMonth->close();
    QVERIFY(total); // each preview lives on its own
    QCOMPARE(total->Report->database().rows().RecordCount(), rowCount);
}

// A year outside 2000..2100 is refused; one inside is asked about, and No copies nothing. Into a
// year with groups only what is missing is copied, never a row twice; translated by the chart of
// the year before the window's, whatever the year copied from: there 7500 becomes 7501, and 7600
// and 4200 have no code and are left out, as the window says. A copy that fails says why and
// copies nothing.
void TstFrmFinGrafPrihodRashod::carryOverOfAYearsGroups()
{
    // 2026 holds every group of 2025 but Troškovi usluga, and one of its rows twice already
    change(QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'PrihodiP', '7500', 2025); UPDATE "
                          "KONTO SET SifKonta1='7501' WHERE BROJPODUZECA=1 AND GODINAKNJ=2025 AND "
                          "SIFKONTA='7500'; UPDATE KONTO SET SifKonta1=NULL WHERE BROJPODUZECA=1 "
                          "AND GODINAKNJ=2025 AND SIFKONTA IN ('7600', '4200')"));
    open();
    const int all = rows(QStringLiteral("1=1"));
    for (const QString year : {"", "lani", "1999", "2101", "2000", "2100"})
        QCOMPARE(carryOver(0, year, Dialogs::AnswerNo),
                 QStringList{year.toInt() >= 2000 && year.toInt() <= 2100
                                 ? question(year)
                                 : QStringLiteral("Greška. Godina < 2000 ili veća od 2100!")});
    QCOMPARE(m_fx->dialogs->prompts,
             QStringList(6, QStringLiteral("Unesite godinu iz koje prebacujete podatke:")));
    QCOMPARE(rows(QStringLiteral("1=1")), all);
    const int services = rows(QStringLiteral("ImeGrupe='Troškovi uslugaR' AND Godina=2025"));
    QCOMPARE(carryOver(0, QStringLiteral("2025")), QStringList({question("2025"), kCopied}));
    QCOMPARE(rows(QStringLiteral("1=1")), all + services);
    FIND_NODE(services2026, m_w->tv, QStringLiteral("Troškovi uslugaR")); // the tree is refreshed
    QCOMPARE(services2026->childCount(), services);

    change(QStringLiteral("DELETE FROM FINPRIHRASH WHERE Godina=2026"));
    const QStringList said = carryOver(1, QStringLiteral("2024"));
    QCOMPARE(said.value(1), kCopied);
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
    const int copied = rows(QStringLiteral("1=1"));

    change(QStringLiteral("CREATE TRIGGER odbij BEFORE INSERT ON FINPRIHRASH BEGIN SELECT "
                          "RAISE(ABORT, 'prepisivanje odbijeno'); END"));
    const QStringList failed = carryOver(0, QStringLiteral("2025"));
    QVERIFY2(failed.size() == 2 && failed[1].startsWith(QStringLiteral("Desila se greška: ")) &&
                 failed[1].contains(QStringLiteral("prepisivanje odbijeno")),
             qPrintable(failed.join(u'\n')));
    QCOMPARE(rows(QStringLiteral("1=1")), copied);
}

QTEST_MAIN(TstFrmFinGrafPrihodRashod)
#include "tst_frmfingrafprihodrashod.moc"
