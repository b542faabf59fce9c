// The definition window of an income and expense group on a copy of the demo book: the year's
// accounts it ticks, the ticking commands, and what Spremi and Prekid write.
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
    void keyGivesNameAndKind_data();
    void keyGivesNameAndKind();
    void blankKeyIsRefused();
    void ticksAreTheYearsOwn();
    void tickingByClass();
    void pageKeysSave();
    void headerClicksAlternate();
    void cancelWritesNothingAndNothingTickedRemovesTheYearsRows();
    void unreadableChartOfAccounts();

private:
    // The window for firm 1 in the book's last year, opened on a group key.
    frmFinDefKontaPrihRash *open(const QString &key, const QString &conn = QString())
    {
        auto host = std::make_shared<HostContext>();
        host->connectionString = conn.isEmpty() ? sqliteConn(m_book) : conn;
        host->brojPoduzeca = 1;
        host->godina = kLastYear;
        m_d = std::make_unique<frmFinDefKontaPrihRash>(
            Services{m_dialogs, std::make_shared<MemorySettingsStore>(), nullptr, nullptr}, host);
        m_opened = m_d->otvori(key);
        return m_d.get();
    }
    QTreeWidgetItem *row(const QString &account) const
    {
        return m_d->ListView->findItems(account, Qt::MatchExactly, 0).value(0);
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
    bool m_opened = false;
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

void TstFrmFinDefKontaPrihRash::keyGivesNameAndKind_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("option");
    QTest::newRow("income") << "PrihodiP" << 0;
    QTest::newRow("expense") << "RashodiR" << 1;
    QTest::newRow("balance") << "Prihodi-Rashodi (Dobit)S" << 2;
    QTest::newRow("any other letter") << "UkupnoX" << 2;
}

void TstFrmFinDefKontaPrihRash::keyGivesNameAndKind()
{
    QFETCH(QString, key);
    QFETCH(int, option);
    open(key);
    QVERIFY(m_opened);
    QCOMPARE(m_d->txtOperater->text(), key.chopped(1));
    const QRadioButton *options[] = {m_d->optPrihodi, m_d->optRashodi, m_d->optSaldo};
    QVERIFY(options[option]->isChecked());
    QCOMPARE(m_d->storedKey(), key);
    QCOMPARE(m_d->windowTitle(), QStringLiteral("Definiranje konta prihoda/rashoda..."));
}

void TstFrmFinDefKontaPrihRash::blankKeyIsRefused()
{
    open(QStringLiteral("   "));
    QVERIFY(!m_opened);
    QCOMPARE(m_dialogs->texts(),
             QStringList{QStringLiteral("Niste zadali ime grupe (PRIHODI-RASHODI)!")});
    QCOMPARE(m_dialogs->messages.first().icon, Dialogs::Information);
    QCOMPARE(m_d->ListView->topLevelItemCount(), 0);
}

void TstFrmFinDefKontaPrihRash::ticksAreTheYearsOwn()
{
    // a row's account matches whatever its case; a row without one matches none
    change(QStringLiteral("INSERT INTO FINPRIHRASH VALUES (1, 'PrihodiP', '1200', 2025); INSERT "
                          "INTO KONTO (BROJPODUZECA, GODINAKNJ, SIFKONTA, NAZIVKONTA) VALUES (1, "
                          "2026, '75A0', 'Probni konto'); INSERT INTO FINPRIHRASH VALUES (1, "
                          "'PrihodiP', '75a0', 2026), (1, 'PrihodiP', NULL, 2026)"));
    open(QStringLiteral("PrihodiP"));
    QCOMPARE(m_d->tickedAccounts(), QStringList({"7500", "7501", "75A0", "7600", "7720"}));
    change(QStringLiteral("DELETE FROM FINPRIHRASH WHERE Konto IS NULL OR Konto = '75a0'"));
    open(QStringLiteral("PrihodiP"));
    QCOMPARE(m_d->tickedAccounts(), QStringList({"7500", "7501", "7600", "7720"}));
    QCOMPARE(row(QStringLiteral("1200"))->checkState(0), Qt::Unchecked); // 2025 only
    for (int i = 0; i < m_d->ListView->topLevelItemCount(); ++i)
        QVERIFY(m_d->ListView->topLevelItem(i)->text(0).size() > 3); // no class or group codes
    QCOMPARE(row(QStringLiteral("7500"))->text(1),
             QStringLiteral("Prihodi od prodaje robe na veliko"));
    QVERIFY(m_d->cmdSpremi_Click());
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2025")), 5);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026")), 4);
}

void TstFrmFinDefKontaPrihRash::tickingByClass()
{
    change(QStringLiteral("INSERT INTO KONTO (BROJPODUZECA, GODINAKNJ, SIFKONTA, NAZIVKONTA) "
                          "VALUES (1, 2026, '2120', 'Probni konto')"));
    open(QStringLiteral("RashodiR"));
    const QStringList before = m_d->tickedAccounts();
    m_dialogs->inputs = {QStringLiteral(" 12 "), QString(), QStringLiteral("  ")}; // Cancel
    m_d->cmdObilježiKlasu->click();
    QCOMPARE(m_dialogs->prompts.value(0), QStringLiteral("Upišite klasu/grupu... za označavanje:"));
    for (const char *a : {"1200", "1201", "1210"})
        QCOMPARE(row(QString::fromLatin1(a))->checkState(0), Qt::Checked);
    QCOMPARE(row(QStringLiteral("2120"))->checkState(0), Qt::Unchecked);
    for (const QString &a : before) // the others keep their ticks
        QCOMPARE(row(a)->checkState(0), Qt::Checked);
    const QStringList now = m_d->tickedAccounts();
    m_d->cmdObilježiKlasu->click();
    m_d->cmdObilježiKlasu->click();
    QCOMPARE(m_d->tickedAccounts(), now);
    m_d->cdmPoništi->click();
    QVERIFY(m_d->tickedAccounts().isEmpty());
    m_d->cdmObilježi->click();
    QCOMPARE(m_d->tickedAccounts().size(), m_d->ListView->topLevelItemCount());
}

void TstFrmFinDefKontaPrihRash::pageKeysSave()
{
    for (int key : {Qt::Key_PageUp, Qt::Key_PageDown}) {
        open(QStringLiteral("PrihodiP"));
        m_d->tickOnly({QString::fromLatin1(key == Qt::Key_PageUp ? "7500" : "7501")});
        QTreeWidgetItem *current = m_d->ListView->currentItem();
        QTest::keyClick(m_d->ListView, Qt::Key(key));
        QCOMPARE(m_d->ListView->currentItem(), current); // the key does not reach the list
        QCOMPARE(m_d->result(), int(QDialog::Accepted));
        QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026")), 1);
    }
}

void TstFrmFinDefKontaPrihRash::headerClicksAlternate()
{
    open(QStringLiteral("PrihodiP"));
    QTreeWidget *list = m_d->ListView;
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("0200")); // by code at first
    m_d->ListView_ColumnClick(1);
    const QString last = list->topLevelItem(0)->text(1);
    for (int i = 1; i < list->topLevelItemCount(); ++i)
        QVERIFY(list->topLevelItem(i)->text(1) <= last); // names, descending
    m_d->ListView_ColumnClick(0);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("0200")); // codes, ascending
    m_d->ListView_ColumnClick(0);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("9990"));
}

void TstFrmFinDefKontaPrihRash::cancelWritesNothingAndNothingTickedRemovesTheYearsRows()
{
    open(QStringLiteral("PrihodiP"));
    m_d->cdmObilježi->click();
    m_d->txtOperater->setText(QStringLiteral("Drugo"));
    m_d->cmdPrekid->click();
    QCOMPARE(m_d->result(), int(QDialog::Rejected));
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026")), 4);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='DrugoP'")), 0);
    open(QStringLiteral("PrihodiP"));
    m_d->cdmPoništi->click();
    QVERIFY(m_d->cmdSpremi_Click());
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2026")), 0);
    QCOMPARE(rows(QStringLiteral("ImeGrupe='PrihodiP' AND Godina=2025")), 4);
}

void TstFrmFinDefKontaPrihRash::unreadableChartOfAccounts()
{
    open(QStringLiteral("PrihodiP"), sqliteConn(m_dir.filePath(QStringLiteral("nema.sqlite"))));
    QVERIFY(m_opened);
    QCOMPARE(m_dialogs->messages.size(), 1);
    const auto &m = m_dialogs->messages.first();
    QVERIFY(
        m.text.startsWith(QStringLiteral("Desila se greška u pristupu KONTIMA. Ponovite!\r\n")));
    QVERIFY(m.text.size() > 50); // the cause follows
    QCOMPARE(m.title, QStringLiteral("Greška u pristupu podacima"));
    QCOMPARE(m.icon, Dialogs::Exclamation);
    QCOMPARE(m_d->ListView->topLevelItemCount(), 0);
}

QTEST_MAIN(TstFrmFinDefKontaPrihRash)
#include "tst_frmfindefkontaprihrash.moc"
