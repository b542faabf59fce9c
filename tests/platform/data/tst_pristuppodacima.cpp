#include "platform/data/booklock.h"
#include "platform/data/connectionstring.h"
#include "platform/data/pristuppodacima.h"
#include "testsupport.h"

#include <QElapsedTimer>

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
    void readsIntoARecordset();
    void unitOfWork_data();
    void unitOfWork();

private:
    const QString m_book = demoBook();
    const QString m_conn = sqliteConn(m_book);
    QTemporaryDir m_empty; // a folder without a book
};

void TstPristupPodacima::cleanup()
{
    cPristupPodacima::setTrace(nullptr);
    cPristupPodacima::setFailureTrace(nullptr);
    cPristupPodacima::closeAllConnections();
}

void TstPristupPodacima::connectionForms_data()
{
    QTest::addColumn<QString>("conn");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("detail");

    // a password with a semicolon and a doubled quote is quoted in the host's string, and braced
    // for ODBC; a part without a value is passed over; a quoted value may end the string
    QTest::newRow("sql server login, quoted values")
        << "Provider=SQLOLEDB.1;Data Source=s;User ID=u;Password=\"x;\"\"y\";b;Initial "
           "Catalog=\"Fin\""
        << int(ConnectionTarget::SqlServer)
        << "DRIVER={FreeTDS};SERVER=s;PORT=1433;DATABASE=Fin;UID=u;PWD={x;\"y};TDS_"
           "Version=7.4;ClientCharset=UTF-8;";
    QTest::newRow("sql server integrated, instance")
        << "Provider=SQLOLEDB;Integrated Security=SSPI;Data Source=srv\\SQL;Initial Catalog=Fin"
        << int(ConnectionTarget::SqlServer)
        << "DRIVER={FreeTDS};SERVER=srv\\SQL;DATABASE=Fin;Trusted_Connection=Yes;TDS_Version=7.4;"
           "ClientCharset=UTF-8;";
    QTest::newRow("odbc driver unchanged")
        << "Driver=SQLite3;Database=/tmp/a.db" << int(ConnectionTarget::Odbc)
        << "Driver=SQLite3;Database=/tmp/a.db";
    QTest::newRow("sqlite provider") << "Provider=SQLite;Data Source=/a b/k.sqlite"
                                     << int(ConnectionTarget::Sqlite) << "/a b/k.sqlite";
    QTest::newRow("bare path") << "/var/k.db" << int(ConnectionTarget::Sqlite) << "/var/k.db";
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
    else
        QCOMPARE(t.odbcString, detail);
}

void TstPristupPodacima::openFailures_data()
{
    QTest::addColumn<QString>("conn");
    QTest::addColumn<QString>("cause");
    const QString missing = m_empty.filePath(QStringLiteral("nova.sqlite"));
    QTest::newRow("unknown provider") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb"
                                      << "Nepoznat davatelj";
    for (const char *form : {"nešto posve krivo", "Server=x;Database=y"})
        QTest::addRow("no form: %s", form) << QString::fromUtf8(form) << "Neprepoznat niz";
    QTest::newRow("empty") << "  "
                           << "prazan";
    QTest::newRow("missing file") << sqliteConn(missing) << "ne postoji";
    QTest::newRow("not a database")
        << QStringLiteral("Provider=SQLite;Data Source=") + QFINDTESTDATA("tst_pristuppodacima.cpp")
        << "nije baza podataka";
    QTest::newRow("missing odbc driver") << "Driver=NemaTakvog;Database=x"
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
    QVERIFY(db.OpisGreske().contains(cause));
    db.OtvoriVezu(conn);
    QVERIFY(!db.PocniTransakciju());
    QVERIFY(db.OpisGreske().contains(cause));
    QVERIFY(QDir(m_empty.path()).isEmpty());
}

void TstPristupPodacima::lockedBookIsWaitedForThenRefused()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    const QString conn = sqliteConn(book);
    sqlite3 *otherProgram = nullptr; // its connection to the book, and its statements
    QCOMPARE(sqlite3_open(book.toUtf8().constData(), &otherProgram), SQLITE_OK);
    auto other = [&](const char *sql) {
        return sqlite3_exec(otherProgram, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    };

    // another program holds the whole book: the connection waits once, then says so; it is not
    // opened read-only instead (which would wait a second time, and fail every write after)
    QVERIFY(other("BEGIN EXCLUSIVE; UPDATE CONFIG SET NazivFirme=NazivFirme;"));
    cPristupPodacima db;
    QElapsedTimer waited;
    waited.start();
    QVERIFY(!db.checkConnection(conn, false));
    QVERIFY(waited.elapsed() >= BookLock::kWaitMs - 100);
    QVERIFY(waited.elapsed() < 2 * BookLock::kWaitMs - 500);
    QCOMPARE(db.OpisGreske(), BookLock::heldByAnother(book));
    QVERIFY(other("ROLLBACK"));
    QVERIFY2(db.checkConnection(conn, true), qPrintable(db.OpisGreske())); // not read-only

    // a write reservation lets the book be read, and refuses a command that writes
    QVERIFY(other("BEGIN IMMEDIATE; UPDATE CONFIG SET NazivFirme=NazivFirme;"));
    QVERIFY(db.checkConnection(conn, false));
    QVERIFY(!db.checkConnection(conn, true));
    QCOMPARE(db.OpisGreske(), BookLock::heldByAnother(book));
    QVERIFY(!db.IzvrsiNaredbu(conn, QStringLiteral("UPDATE dbo.CONFIG SET OIB=OIB")));
    QVERIFY2(db.OpisGreske().contains(QStringLiteral("drži zaključanom drugi program")),
             qPrintable(db.OpisGreske()));
    QVERIFY(other("ROLLBACK"));
    sqlite3_close(otherProgram);
    // the engine says a lock is held as busy, or between connections of one process that share
    // a cache as locked, in its primary or an extended code
    for (int code : {SQLITE_BUSY, SQLITE_BUSY_SNAPSHOT, SQLITE_LOCKED, SQLITE_LOCKED_SHAREDCACHE})
        QVERIFY(BookLock::isBusy(code));
    QVERIFY(!BookLock::isBusy(SQLITE_READONLY));
}

// What a statement reads; each is heard as the host wrote it and as the book runs it, and a
// failure once with its cause, whether of the statement or of the way to the book. The same book
// read through ODBC last.
void TstPristupPodacima::readsIntoARecordset()
{
    cPristupPodacima db;
    Recordset rs;
    const auto read = [&](const QString &sql) {
        return db.OtvoriRecordset(m_conn, sql, rs, true, false);
    };
    // an empty result still names its fields
    QVERIFY(read(QStringLiteral("SELECT * FROM dbo.KONTO WHERE BrojPoduzeca=99")));
    QVERIFY(rs.Bof() && rs.Eof());
    QCOMPARE(rs.fieldName(2), QStringLiteral("SIFKONTA"));
    // a column of expressions has the type of its first value that is not NULL
    QVERIFY(read(QStringLiteral("SELECT NULL AS a UNION ALL SELECT 2.5")));
    QCOMPARE(rs.fieldType(0), QMetaType::Double);
    QVERIFY(rs.value(0).isNull());
    // texts compare without regard to case, as on SQL Server: the book has 'PrihodiP'
    QVERIFY(read(QStringLiteral("SELECT count(*) FROM FINPRIHRASH WHERE IMEGRUPE='prihodip'")));
    QVERIFY(rs.value(0).toInt() > 0);

    QStringList seen;
    QStringList heard;
    cPristupPodacima::setTrace(
        [&](const QString &stage, const QString &sql) { seen << stage + u':' + sql; });
    cPristupPodacima::setFailureTrace([&](const QString &cause) { heard << cause; });
    QVERIFY(read(QStringLiteral("SELECT 'a'+'b'")));
    QCOMPARE(rs.value(0).toString(), QStringLiteral("ab"));
    // the host's SET TEXTSIZE has nothing to do on the book, and succeeds
    QVERIFY(db.IzvrsiNaredbu(m_conn, QStringLiteral("SET TEXTSIZE 1000000")));
    QCOMPARE(seen, QStringList({QStringLiteral("sql:SELECT 'a'+'b'"),
                                QStringLiteral("sqlite:SELECT 'a'||'b'"),
                                QStringLiteral("sql:SET TEXTSIZE 1000000")}));
    // a statement that fails leaves the record set as it was: a first month after the last gives
    // an empty column list
    QVERIFY(
        !read(QStringLiteral("SELECT 'DUG '+LTRIM(str(GODINAKNJ)) as Godina, From dbo.PROMET")));
    QCOMPARE(heard, QStringList{db.OpisGreske()});
    QVERIFY2(heard[0].contains(QStringLiteral("syntax error")), qPrintable(heard[0]));
    QCOMPARE(rs.value(0).toString(), QStringLiteral("ab"));
    QVERIFY(!db.IzvrsiNaredbu(sqliteConn(QStringLiteral("/nema/knjige.sqlite")),
                              QStringLiteral("SELECT 1")));
    QCOMPARE(heard.size(), 2);
    QVERIFY(heard[1].contains(QStringLiteral("ne postoji")));

    // through ODBC's SQLite driver, as a host may name the book; statements reach ODBC unchanged:
    // SQLite adds the two texts as numbers
    QVERIFY2(db.OtvoriRecordset(QStringLiteral("Driver=SQLite3;Database=") + m_book,
                                QStringLiteral("SELECT NAZIVKONTA, 'a'+'b' FROM KONTO WHERE "
                                               "BrojPoduzeca=1 AND SIFKONTA='6600'"),
                                rs, true, false),
             qPrintable(db.OpisGreske()));
    QCOMPARE(rs.value(0).toString(), QStringLiteral("Trgovačka roba L'Oréal"));
    QCOMPARE(rs.value(1).toInt(), 0);
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
    const QString removed =
        QStringLiteral("FINPRIHRASH WHERE BrojPoduzeca=1 AND ImeGrupe='RashodiR'");
    const QString added =
        QStringLiteral("FINPRIHRASH WHERE BrojPoduzeca=1 AND ImeGrupe='Plaće i doprinosiS'");
    const auto count = [&](const QString &rows) {
        return scalar(book, QStringLiteral("SELECT count(*) FROM ") + rows).toInt();
    };
    const int before = count(removed);
    QVERIFY(before > 0);
    Recordset rs;
    {
        cPristupPodacima db;
        db.OtvoriVezu(sqliteConn(book));
        QVERIFY(db.PocniTransakciju());
        QVERIFY(db.IzvrsiNaredbu(QString(), QStringLiteral("DELETE FROM ") + removed));
        QVERIFY(db.OtvoriRecordsetZaIzmjene(QStringLiteral("SELECT * FROM ") + added, rs, 3, -1));
        for (const char *konto : {"4200", "4201"}) {
            QVERIFY(rs.AddNew());
            rs.setValue(QStringLiteral("BrojPoduzeca"), 1);
            rs.setValue(QStringLiteral("ImeGrupe"), QStringLiteral("Plaće i doprinosiS"));
            rs.setValue(QStringLiteral("Konto"), QString::fromLatin1(konto));
            if (complete)
                rs.setValue(QStringLiteral("Godina"), kLastYear);
            QCOMPARE(rs.Update(), complete);
        }
        QCOMPARE(rs.RecordCount(), complete ? 2 : 0); // a row refused does not join the set
        if (!complete)                                // Godina may not be NULL
            QVERIFY2(rs.updateError().contains(QStringLiteral("NOT NULL")),
                     qPrintable(rs.updateError()));
        // nothing is visible to other connections before the commit
        QCOMPARE(count(removed), before);
        QCOMPARE(count(added), 0);
        if (end == u"commit")
            QVERIFY(db.PotvrdiTransakciju());
        else if (end == u"rollback")
            db.PonistiTransakciju();
        if (end != u"close")
            db.ZatvoriVezu();
    }
    QCOMPARE(count(removed), end == u"commit" ? 0 : before);
    QCOMPARE(count(added), end == u"commit" ? 2 : 0);
    QVERIFY(!rs.AddNew() || !rs.Update()); // the unit of work is over
}

QTEST_GUILESS_MAIN(TstPristupPodacima)
#include "tst_pristuppodacima.moc"
