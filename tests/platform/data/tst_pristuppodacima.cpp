#include "platform/data/booklock.h"
#include "platform/data/connectionstring.h"
#include "platform/data/pristuppodacima.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace TestSupport;

class TstPristupPodacima : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void connectionForms_data();
    void connectionForms();
    void openFailures_data();
    void openFailures();
    void lockedBookIsWaitedForThenRefused();
    void failureTraceHearsEveryCause();
    void readsIntoARecordset();
    void traceSeesBothStages();
    void unitOfWork_data();
    void unitOfWork();
    void odbcReadsSqliteBook();

private:
    const QString m_book = demoBook();
    const QString m_conn = sqliteConn(m_book);
    QTemporaryDir m_empty; // a folder without a book
};

void TstPristupPodacima::cleanup()
{
    cPristupPodacima::setTrace(nullptr);
    cPristupPodacima::closeAllConnections();
}

void TstPristupPodacima::connectionForms_data()
{
    QTest::addColumn<QString>("conn");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("detail");

    QTest::newRow("sql server login")
        << "Provider=SQLOLEDB.1;Data Source=knjig;Initial Catalog=Fin;User ID=sa;Password=a;b"
        << int(ConnectionTarget::SqlServer)
        << "DRIVER={FreeTDS};SERVER=knjig;PORT=1433;DATABASE=Fin;UID=sa;PWD=a;TDS_Version=7.4;"
           "ClientCharset=UTF-8;";
    QTest::newRow("sql server integrated, instance")
        << "Provider=SQLOLEDB;Integrated Security=SSPI;Data Source=srv\\SQL;Initial Catalog=Fin"
        << int(ConnectionTarget::SqlServer)
        << "DRIVER={FreeTDS};SERVER=srv\\SQL;DATABASE=Fin;Trusted_Connection=Yes;TDS_Version=7.4;"
           "ClientCharset=UTF-8;";
    // a password with a semicolon and a doubled quote is quoted in the host's string, and braced
    // for ODBC; a quoted value may end the string
    QTest::newRow("quoted values")
        << "Provider=SQLOLEDB;Data Source=s;User ID=u;Password=\"x;\"\"y\";Initial Catalog=\"Fin\""
        << int(ConnectionTarget::SqlServer)
        << "DRIVER={FreeTDS};SERVER=s;PORT=1433;DATABASE=Fin;UID=u;PWD={x;\"y};TDS_"
           "Version=7.4;ClientCharset=UTF-8;";
    QTest::newRow("odbc driver unchanged")
        << "Driver=SQLite3;Database=/tmp/a.db" << int(ConnectionTarget::Odbc)
        << "Driver=SQLite3;Database=/tmp/a.db";
    QTest::newRow("dsn") << "DSN=Knjig;UID=x" << int(ConnectionTarget::Odbc) << "DSN=Knjig;UID=x";
    QTest::newRow("sqlite provider") << "Provider=SQLite;Data Source=/a b/k.sqlite"
                                     << int(ConnectionTarget::Sqlite) << "/a b/k.sqlite";
    QTest::newRow("bare path") << "/var/k.db" << int(ConnectionTarget::Sqlite) << "/var/k.db";
    QTest::newRow("unknown provider") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb"
                                      << int(ConnectionTarget::Invalid) << "";
    QTest::newRow("no form") << "Server=x;Database=y" << int(ConnectionTarget::Invalid) << "";
    QTest::newRow("plain word") << "knjigovodstvo" << int(ConnectionTarget::Invalid) << "";
    QTest::newRow("empty") << "  " << int(ConnectionTarget::Invalid) << "";
}

void TstPristupPodacima::connectionForms()
{
    QFETCH(QString, conn);
    QFETCH(int, kind);
    QFETCH(QString, detail);
    const ConnectionTarget t = ConnectionTarget::parse(conn);
    QCOMPARE(int(t.kind), kind);
    if (kind == ConnectionTarget::Sqlite)
        QCOMPARE(t.sqlitePath, detail);
    else if (kind == ConnectionTarget::Invalid)
        QVERIFY(!t.error.isEmpty());
    else
        QCOMPARE(t.odbcString, detail);
}

void TstPristupPodacima::openFailures_data()
{
    QTest::addColumn<QString>("conn");
    QTest::addColumn<QString>("cause");
    const QString missing = m_empty.filePath(QStringLiteral("nova.sqlite"));
    QTest::newRow("no form") << "nešto posve krivo"
                             << "Neprepoznat niz";
    QTest::newRow("unknown provider") << "Provider=Jet;Data Source=x"
                                      << "Nepoznat davatelj";
    QTest::newRow("missing file") << sqliteConn(missing) << "ne postoji";
    QTest::newRow("missing file, named alone") << missing << "ne postoji";
    QTest::newRow("not a database")
        << QStringLiteral("Provider=SQLite;Data Source=") + QFINDTESTDATA("tst_pristuppodacima.cpp")
        << "nije baza podataka";
    QTest::newRow("missing odbc driver") << "Driver=NemaTakvog;Database=x"
                                         << "Spajanje na bazu podataka nije uspjelo: ";
    QTest::newRow("unreachable sql server") << "Provider=SQLOLEDB;Data Source=127.0.0.1,1;Initial "
                                               "Catalog=Fin;User ID=sa;Password=krivo"
                                            << "Spajanje na bazu podataka nije uspjelo: ";
}

// Every way to a book that fails says why, the system's own words after ours; a book that is
// not there is never made.
void TstPristupPodacima::openFailures()
{
    QFETCH(QString, conn);
    QFETCH(QString, cause);
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(!db.OtvoriRecordset(conn, QStringLiteral("SELECT 1"), rs, true, false));
    QVERIFY2(db.OpisGreske().contains(cause), qPrintable(db.OpisGreske()));
    QVERIFY2(db.OpisGreske().size() > cause.size() + 10, qPrintable(db.OpisGreske()));
    QVERIFY(!db.IzvrsiNaredbu(conn, QStringLiteral("SELECT 1")));
    QVERIFY(!db.OpisGreske().isEmpty());
    db.OtvoriVezu(conn);
    QVERIFY(!db.PocniTransakciju());
    QVERIFY(db.OpisGreske().contains(cause));
    QCOMPARE(QDir(m_empty.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
}
void TstPristupPodacima::lockedBookIsWaitedForThenRefused()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    const QString conn = sqliteConn(book);
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(book.toUtf8().constData(), &other), SQLITE_OK);
    auto hold = [&](const char *lock) {
        return sqlite3_exec(
                   other,
                   (QByteArray(lock) + "; UPDATE CONFIG SET NazivFirme=NazivFirme;").constData(),
                   nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    auto release = [&] { sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr); };

    // another program holds the whole book: the connection waits once, then says so; it is not
    // opened read-only instead (which would wait a second time, and fail every write after)
    QVERIFY(hold("BEGIN EXCLUSIVE"));
    cPristupPodacima db;
    QElapsedTimer waited;
    waited.start();
    QVERIFY(!db.checkConnection(conn, false));
    QVERIFY(waited.elapsed() >= BookLock::kWaitMs - 100);
    QVERIFY(waited.elapsed() < 2 * BookLock::kWaitMs - 500);
    QCOMPARE(db.OpisGreske(), BookLock::heldByAnother(book));
    release();
    QVERIFY2(db.checkConnection(conn, true), qPrintable(db.OpisGreske()));
    QVERIFY2(db.IzvrsiNaredbu(conn, QStringLiteral("UPDATE dbo.CONFIG SET OIB=OIB")),
             qPrintable(db.OpisGreske()));

    // a write reservation lets the book be read, and refuses a command that writes
    QVERIFY(hold("BEGIN IMMEDIATE"));
    QVERIFY(db.checkConnection(conn, false));
    QVERIFY(!db.checkConnection(conn, true));
    QCOMPARE(db.OpisGreske(), BookLock::heldByAnother(book));
    QVERIFY(!db.IzvrsiNaredbu(conn, QStringLiteral("UPDATE dbo.CONFIG SET OIB=OIB")));
    QVERIFY2(db.OpisGreske().contains(QStringLiteral("drži zaključanom drugi program")),
             qPrintable(db.OpisGreske()));
    release();
    sqlite3_close(other);
    // the engine says a lock is held as busy, or between connections of one process that share
    // a cache as locked, in its primary or an extended code
    for (int code : {SQLITE_BUSY, SQLITE_BUSY_SNAPSHOT, SQLITE_LOCKED, SQLITE_LOCKED_SHAREDCACHE})
        QVERIFY(BookLock::isBusy(code));
    QVERIFY(!BookLock::isBusy(SQLITE_READONLY));
}

void TstPristupPodacima::failureTraceHearsEveryCause()
{
    QStringList heard;
    cPristupPodacima::setFailureTrace([&](const QString &cause) { heard << cause; });
    const auto forget = qScopeGuard([] { cPristupPodacima::setFailureTrace({}); });
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(!db.OtvoriRecordset(m_conn, QStringLiteral("SELECT * FROM dbo.NEMA"), rs, true, false));
    QVERIFY(!db.IzvrsiNaredbu(sqliteConn(QStringLiteral("/nema/knjige.sqlite")),
                              QStringLiteral("SELECT 1")));
    QVERIFY(db.OtvoriRecordset(m_conn, QStringLiteral("SELECT 1"), rs, true, false));
    QCOMPARE(heard.size(), 2);
    QVERIFY2(heard[0].contains(QStringLiteral("no such table")), qPrintable(heard[0]));
    QVERIFY(heard[1].contains(QStringLiteral("ne postoji")));
}

void TstPristupPodacima::readsIntoARecordset()
{
    cPristupPodacima db;
    Recordset rs;
    // an empty result still names its fields
    QVERIFY(db.OtvoriRecordset(
        m_conn, QStringLiteral("SELECT * FROM dbo.KONTO WHERE BrojPoduzeca=99"), rs, true, false));
    QVERIFY(rs.Bof() && rs.Eof());
    QCOMPARE(rs.fieldName(2), QStringLiteral("SIFKONTA"));
    QVERIFY(db.OpisGreske().isEmpty());
    // a column of expressions has the type of its first value that is not NULL
    QVERIFY(db.OtvoriRecordset(m_conn, QStringLiteral("SELECT NULL AS a UNION ALL SELECT 2.5"), rs,
                               true, false));
    QCOMPARE(rs.fieldType(0), QMetaType::Double);
    QVERIFY(rs.value(0).isNull());
    // texts compare without regard to case, as on SQL Server
    QVERIFY(db.OtvoriRecordset(
        m_conn,
        QStringLiteral("SELECT (SELECT count(*) FROM FINPRIHRASH WHERE IMEGRUPE='prihodip'), "
                       "(SELECT count(*) FROM dbo.FinPrihRash WHERE ImeGrupe='PrihodiP')"),
        rs, true, false));
    QVERIFY(rs.value(0).toInt() > 0);
    QCOMPARE(rs.value(0), rs.value(1));
    // a statement that fails leaves the record set as it was: a first month after the last gives
    // an empty column list
    const QVariant groups = rs.value(0);
    QVERIFY(!db.OtvoriRecordset(
        m_conn, QStringLiteral("SELECT 'DUG '+LTRIM(str(GODINAKNJ)) as Godina, From dbo.PROMET"),
        rs, true, false));
    QVERIFY(!db.OpisGreske().isEmpty());
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs.value(0), groups);
}

void TstPristupPodacima::traceSeesBothStages()
{
    QStringList seen;
    cPristupPodacima::setTrace(
        [&](const QString &stage, const QString &sql) { seen << stage + u':' + sql; });
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(db.OtvoriRecordset(m_conn, QStringLiteral("SELECT 'a'+'b'"), rs, true, false));
    QCOMPARE(rs.value(0).toString(), QStringLiteral("ab"));
    // the host's SET TEXTSIZE has nothing to do on the book, and succeeds
    QVERIFY(db.IzvrsiNaredbu(m_conn, QStringLiteral("SET TEXTSIZE 1000000")));
    QCOMPARE(seen, QStringList({QStringLiteral("sql:SELECT 'a'+'b'"),
                                QStringLiteral("sqlite:SELECT 'a'||'b'"),
                                QStringLiteral("sql:SET TEXTSIZE 1000000")}));
}

void TstPristupPodacima::unitOfWork_data()
{
    // A group's rows deleted and another's inserted in one unit of work, which ends so.
    QTest::addColumn<QString>("end");
    QTest::addColumn<bool>("complete"); // the new rows have every field they need
    QTest::newRow("committed") << "commit" << true;
    QTest::newRow("rolled back after a failed insert") << "rollback" << false;
    QTest::newRow("closed without a commit") << "close" << true;
}

void TstPristupPodacima::unitOfWork()
{
    QFETCH(QString, end);
    QFETCH(bool, complete);
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    const QString count =
        QStringLiteral("SELECT count(*) FROM FINPRIHRASH WHERE BrojPoduzeca=1 AND ImeGrupe='%1'");
    const QString removed = count.arg(QStringLiteral("RashodiR"));
    const QString added = count.arg(QStringLiteral("Plaće i doprinosiS"));
    const int before = scalar(book, removed).toInt();
    QVERIFY(before > 0);
    Recordset rs;
    {
        cPristupPodacima db;
        db.OtvoriVezu(sqliteConn(book));
        QVERIFY(db.PocniTransakciju());
        QVERIFY(
            db.IzvrsiNaredbu(QString(), QStringLiteral("DELETE FROM FINPRIHRASH WHERE "
                                                       "IMEGRUPE='RashodiR' AND BROJPODUZECA=1")));
        QVERIFY(db.OtvoriRecordsetZaIzmjene(
            QStringLiteral("SELECT * FROM FINPRIHRASH WHERE IMEGRUPE='Plaće i doprinosiS' AND "
                           "BROJPODUZECA=1"),
            rs, 3, -1));
        QVERIFY(rs.Eof());
        for (const char *konto : {"4200", "4201"}) {
            QVERIFY(rs.AddNew());
            rs.setValue(QStringLiteral("BrojPoduzeca"), 1);
            rs.setValue(QStringLiteral("ImeGrupe"), QStringLiteral("Plaće i doprinosiS"));
            rs.setValue(QStringLiteral("Konto"), QString::fromLatin1(konto));
            if (complete)
                rs.setValue(QStringLiteral("Godina"), kLastYear);
            QCOMPARE(rs.Update(), complete);
        }
        if (!complete) // Godina may not be NULL
            QVERIFY2(rs.updateError().contains(QStringLiteral("NOT NULL")),
                     qPrintable(rs.updateError()));
        // nothing is visible to other connections before the commit
        QCOMPARE(scalar(book, removed).toInt(), before);
        QCOMPARE(scalar(book, added).toInt(), 0);
        if (end == u"commit")
            QVERIFY(db.PotvrdiTransakciju());
        else if (end == u"rollback")
            db.PonistiTransakciju();
        if (end != u"close")
            db.ZatvoriVezu();
    }
    const bool kept = end == u"commit";
    QCOMPARE(scalar(book, removed).toInt(), kept ? 0 : before);
    QCOMPARE(scalar(book, added).toInt(), kept ? 2 : 0);
    QVERIFY(!rs.AddNew() || !rs.Update()); // the unit of work is over
}

void TstPristupPodacima::odbcReadsSqliteBook()
{
    cPristupPodacima db;
    Recordset rs;
    const QString conn = QStringLiteral("Driver=SQLite3;Database=") + m_book;
    QVERIFY2(db.OtvoriRecordset(conn,
                                QStringLiteral("SELECT SIFKONTA, NAZIVKONTA FROM KONTO WHERE "
                                               "BrojPoduzeca=1 AND SIFKONTA LIKE '66%' ORDER BY 1"),
                                rs, true, false),
             qPrintable(db.OpisGreske()));
    QVERIFY(rs.RecordCount() >= 3);
    QVERIFY(rs.setFilter(QStringLiteral("SIFKONTA='6600'")));
    QCOMPARE(rs.value(1).toString(), QStringLiteral("Trgovačka roba L'Oréal"));
    // statements reach ODBC unchanged: SQLite adds the two texts as numbers
    QVERIFY(db.OtvoriRecordset(conn, QStringLiteral("SELECT 'a'+'b' AS x"), rs, true, false));
    QCOMPARE(rs.value(0).toInt(), 0);
}

QTEST_GUILESS_MAIN(TstPristupPodacima)
#include "tst_pristuppodacima.moc"
