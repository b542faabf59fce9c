// The definition window of an income and expense group on a copy of the demo book: the year's
// accounts it ticks, the ticking commands, and what Spremi and Prekid write. A blank key's refusal
// and the kind and name a key gives are checked through the income and expense window's group
// commands and definitions.
#include "incexp/frmfindefkontaprihrash.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

using namespace TestSupport;

class TstFrmFinDefKontaPrihRash : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void accountsAndTheirTicks();
    void onlyASaveWrites();
    void unreadableChartOfAccounts();

private:
    // The window for firm 1 in the book's last year, opened on a group key; false when refused.
    bool open(const QString &key, const QString &conn = QString())
    {
        auto host = std::make_shared<HostContext>();
        host->connectionString = conn.isEmpty() ? sqliteConn(m_book) : conn;
        host->brojPoduzeca = 1;
        host->godina = kLastYear;
        m_d = std::make_unique<frmFinDefKontaPrihRash>(
            Services{m_dialogs, std::make_shared<MemorySettingsStore>(), nullptr, nullptr}, host);
        return m_d->otvori(key);
    }
    int rows(const QString &where) const
    {
        return scalar(m_book, "SELECT COUNT(*) FROM FINPRIHRASH WHERE BrojPoduzeca=1 AND " + where)
            .toInt();
    }
    void change(const QString &sql) { QCOMPARE(execute(m_book, sql), QString()); }

    QTemporaryDir m_dir;
    QString m_book;
    std::shared_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<frmFinDefKontaPrihRash> m_d;
};

void TstFrmFinDefKontaPrihRash::init()
{
    m_book = demoBookCopy(m_dir);
    m_dialogs = std::make_shared<ScriptedDialogs>();
}

void TstFrmFinDefKontaPrihRash::cleanup()
{
    m_d.reset();
    cPristupPodacima::closeAllConnections();
}

// A row's account matches whatever its case, a row without one matches none, nor a row of another
// year; the list holds the year's accounts without class or group codes, by code at first, and
// each click on a header sorts the other way. A class ticks the accounts it begins, the others
// keep their ticks; Cancel and blanks tick nothing. The save writes the ticked accounts of the
// year and leaves the other years; then all ticks go, and all come.
void TstFrmFinDefKontaPrihRash::accountsAndTheirTicks()
{
    change(QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'PrihodiP', '1200', 2025); INSERT "
                          "INTO KONTO (BROJPODUZECA, GODINAKNJ, SIFKONTA, NAZIVKONTA) VALUES (1, "
                          "2026, '75A0', 'Probni konto'), (1, 2026, '2120', 'Probni konto'); "
                          "INSERT INTO FINPRIHRASH VALUES (1, 'PrihodiP', '75a0', 2026), (1, "
                          "'PrihodiP', NULL, 2026)"));
    QVERIFY(open(QStringLiteral("PrihodiP")));
    const QStringList before = m_d->tickedAccounts();
    QCOMPARE(before, QStringList({"7500", "7501", "75A0", "7600", "7720"}));
    QTreeWidget *list = m_d->ListView;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        QVERIFY(list->topLevelItem(i)->text(0).size() > 3);
    QCOMPARE(list->findItems(QStringLiteral("7500"), Qt::MatchExactly).value(0)->text(1),
             QStringLiteral("Prihodi od prodaje robe na veliko"));
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("0200"));
    m_d->ListView_ColumnClick(1); // by name, descending
    m_d->ListView_ColumnClick(0);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("0200")); // codes, ascending
    m_d->ListView_ColumnClick(0);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("9990"));

    m_dialogs->inputs = {QStringLiteral(" 12 "), QString(), QStringLiteral("  ")}; // Cancel
    m_d->cmdObilježiKlasu->click();
    QCOMPARE(m_dialogs->prompts.value(0), QStringLiteral("Upišite klasu/grupu... za označavanje:"));
    const QStringList now = m_d->tickedAccounts(); // by code, descending
    QCOMPARE(now, QStringList({"7720", "7600", "75A0", "7501", "7500", "1210", "1201", "1200"}));
    m_d->cmdObilježiKlasu->click();
    m_d->cmdObilježiKlasu->click();
    QCOMPARE(m_d->tickedAccounts(), now);
    QVERIFY(m_d->cmdSpremi_Click());
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2025")), 5);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026")), now.size());
    m_d->cdmPoništi->click();
    QVERIFY(m_d->tickedAccounts().isEmpty());
    m_d->cdmObilježi->click();
    QCOMPARE(m_d->tickedAccounts().size(), list->topLevelItemCount());
}

// Prekid writes nothing; a save that fails says why, stays open and writes nothing either;
// PageUp and PageDown save, the key kept from the list; with nothing ticked the save removes the
// group's rows of the year, and only those.
void TstFrmFinDefKontaPrihRash::onlyASaveWrites()
{
    change(QStringLiteral("CREATE TRIGGER odbij BEFORE INSERT ON FINPRIHRASH WHEN "
                          "NEW.Konto='7720' BEGIN SELECT RAISE(ABORT, 'konto odbijen'); END"));
    const QString inYear = QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026");
    QVERIFY(open(QStringLiteral("PrihodiP")));
    m_d->cdmObilježi->click();
    m_d->txtOperater->setText(QStringLiteral("Drugo"));
    m_d->cmdPrekid->click();
    QCOMPARE(m_d->result(), int(QDialog::Rejected));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='DrugoP'")), 0);
    QVERIFY(open(QStringLiteral("PrihodiP")));
    QVERIFY(m_d->tickOnly({QStringLiteral("7500"), QStringLiteral("7720")}));
    QVERIFY(!m_d->cmdSpremi_Click());
    QVERIFY(m_d->result() != QDialog::Accepted);
    const QStringList said = m_dialogs->texts();
    QVERIFY2(said.size() == 1 &&
                 said[0].startsWith(QStringLiteral("Desila se greška:  u spremanju podataka. "
                                                   "Ponovite! ")) &&
                 said[0].contains(QStringLiteral("konto odbijen")),
             qPrintable(said.join(u'\n')));
    QCOMPARE(rows(inYear), 4); // the delete rolled back
    for (int key : {Qt::Key_PageUp, Qt::Key_PageDown}) {
        QVERIFY(open(QStringLiteral("PrihodiP")));
        m_d->tickOnly({QString::fromLatin1(key == Qt::Key_PageUp ? "7500" : "7501")});
        QTreeWidgetItem *current = m_d->ListView->currentItem();
        QTest::keyClick(m_d->ListView, Qt::Key(key));
        QCOMPARE(m_d->ListView->currentItem(), current);
        QCOMPARE(m_d->result(), int(QDialog::Accepted));
        QCOMPARE(rows(inYear), 1);
    }
    QVERIFY(open(QStringLiteral("PrihodiP")));
    m_d->cdmPoništi->click();
    QVERIFY(m_d->cmdSpremi_Click());
    QCOMPARE(rows(inYear), 0);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2025")), 4);
}

void TstFrmFinDefKontaPrihRash::unreadableChartOfAccounts()
{
    QVERIFY(open(QStringLiteral("PrihodiP"),
                 sqliteConn(m_dir.filePath(QStringLiteral("nema.sqlite")))));
    QCOMPARE(m_dialogs->messages.size(), 1);
    const auto &m = m_dialogs->messages.first();
    QVERIFY2(
        m.text.startsWith(QStringLiteral("Desila se greška u pristupu KONTIMA. Ponovite!\r\n")) &&
            m.text.size() > 50, // the cause follows
        qPrintable(m.text));
    QCOMPARE(m.title, QStringLiteral("Greška u pristupu podacima"));
    QCOMPARE(m_d->ListView->topLevelItemCount(), 0);
}

QTEST_MAIN(TstFrmFinDefKontaPrihRash)
#include "tst_frmfindefkontaprihrash.moc"
