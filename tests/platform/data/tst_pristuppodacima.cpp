#include "platform/data/booklock.h"
#include "platform/data/connectionstring.h"
#include "platform/data/pristuppodacima.h"
#include "testsupport.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace TestSupport;

class TstPristupPodacima : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void connectionForms_data();
    void connectionForms();
    void openFailures_data();
    void openFailures();
    void missingBookIsNeverCreated();
    void lockedBookIsWaitedForThenRefused();
    void failureTraceHearsEveryCause();
    void emptyResultIsAValidRecordset();
    void failedOpenKeepsRecordset();
    void setTextSizeSucceeds();
    void textComparesWithoutCase();
    void traceSeesBothStages();

    void firmAndTreeStatements();
    void turnoverStatements();
    void cumulativeStatement();
    void incomeExpenseStatements();
    void planAndRealisationUnion();
    void carryOverInsert();

    void unitOfWorkCommits();
    void failedInsertRollsBackDelete();
    void closingWithoutCommitRollsBack();

    void odbcReadsSqliteBook();
    void unreachableSqlServerFails();

private:
    QString m_book;
    QString m_conn;
    int m_first = 0;
    int m_last = 0;
};

void TstPristupPodacima::initTestCase()
{
    m_book = demoBook();
    m_conn = sqliteConn(m_book);
    m_last = kLastYear;
    m_first = kFirstYear;
}

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
    // a password with a semicolon is quoted in the host's string and braced for ODBC
    QTest::newRow("quoted password") << "Provider=SQLOLEDB;Data Source=s;User ID=u;Password=\"x;y\""
                                     << int(ConnectionTarget::SqlServer)
                                     << "DRIVER={FreeTDS};SERVER=s;PORT=1433;UID=u;PWD={x;y};TDS_"
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
    QTest::newRow("no form") << "nešto posve krivo"
                             << "Neprepoznat niz";
    QTest::newRow("unknown provider") << "Provider=Jet;Data Source=x"
                                      << "Nepoznat davatelj";
    QTest::newRow("missing file") << "Provider=SQLite;Data Source=/nema/ove/knjige.sqlite"
                                  << "ne postoji";
    QTest::newRow("not a database")
        << QStringLiteral("Provider=SQLite;Data Source=") + QFINDTESTDATA("tst_pristuppodacima.cpp")
        << "nije baza podataka";
    QTest::newRow("missing odbc driver") << "Driver=NemaTakvog;Database=x"
                                         << "Spajanje na bazu podataka nije uspjelo";
}

void TstPristupPodacima::openFailures()
{
    QFETCH(QString, conn);
    QFETCH(QString, cause);
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(!db.OtvoriRecordset(conn, QStringLiteral("SELECT 1"), rs, true, false));
    QVERIFY2(db.OpisGreske().contains(cause), qPrintable(db.OpisGreske()));
    QVERIFY(!db.IzvrsiNaredbu(conn, QStringLiteral("SELECT 1")));
    QVERIFY(!db.OpisGreske().isEmpty());
    db.OtvoriVezu(conn);
    QVERIFY(!db.PocniTransakciju());
    QVERIFY(db.OpisGreske().contains(cause));
}

void TstPristupPodacima::missingBookIsNeverCreated()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nova.sqlite"));
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(!db.OtvoriRecordset(sqliteConn(path), QStringLiteral("SELECT 1"), rs, true, false));
    db.OtvoriVezu(path);
    QVERIFY(!QFileInfo::exists(path));
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

void TstPristupPodacima::emptyResultIsAValidRecordset()
{
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(db.OtvoriRecordset(
        m_conn, QStringLiteral("SELECT * FROM dbo.KONTO WHERE BrojPoduzeca=99"), rs, true, false));
    QVERIFY(rs.Bof() && rs.Eof());
    QCOMPARE(rs.fieldName(2), QStringLiteral("SIFKONTA"));
    QVERIFY(db.OpisGreske().isEmpty());
}

void TstPristupPodacima::failedOpenKeepsRecordset()
{
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(db.OtvoriRecordset(
        m_conn, QStringLiteral("SELECT NazivFirme FROM dbo.CONFIG ORDER BY 1"), rs, true, false));
    // a first month after the last gives an empty column list
    QVERIFY(!db.OtvoriRecordset(
        m_conn, QStringLiteral("SELECT 'DUG '+LTRIM(str(GODINAKNJ)) as Godina, From dbo.PROMET"),
        rs, true, false));
    QVERIFY(!db.OpisGreske().isEmpty());
    QCOMPARE(rs.RecordCount(), 2);
    QCOMPARE(rs.value(0).toString(), QStringLiteral("Konoba Stari Mlin j.d.o.o."));
}

void TstPristupPodacima::setTextSizeSucceeds()
{
    cPristupPodacima db;
    QVERIFY(db.IzvrsiNaredbu(m_conn, QStringLiteral("SET TEXTSIZE 1000000")));
}

void TstPristupPodacima::textComparesWithoutCase()
{
    cPristupPodacima db;
    Recordset a, b;
    QVERIFY(db.OtvoriRecordset(
        m_conn, QStringLiteral("SELECT count(*) FROM FINPRIHRASH WHERE IMEGRUPE='prihodip'"), a,
        true, false));
    QVERIFY(db.OtvoriRecordset(
        m_conn, QStringLiteral("SELECT count(*) FROM dbo.FinPrihRash WHERE ImeGrupe='PrihodiP'"), b,
        true, false));
    QVERIFY(a.value(0).toInt() > 0);
    QCOMPARE(a.value(0), b.value(0));
}

void TstPristupPodacima::traceSeesBothStages()
{
    QStringList seen;
    cPristupPodacima::setTrace(
        [&](const QString &stage, const QString &sql) { seen << stage + u':' + sql; });
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(db.OtvoriRecordset(m_conn, QStringLiteral("SELECT 'a'+'b'"), rs, true, false));
    QCOMPARE(seen, QStringList({QStringLiteral("sql:SELECT 'a'+'b'"),
                                QStringLiteral("sqlite:SELECT 'a'||'b'")}));
    QCOMPARE(rs.value(0).toString(), QStringLiteral("ab"));
}

void TstPristupPodacima::firmAndTreeStatements()
{
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(db.OtvoriRecordset(
        m_conn, QStringLiteral("SELECT * FROM dbo.CONFIG WHERE BROJPODUZECA=1"), rs, true, false));
    QCOMPARE(rs.value(QStringLiteral("NazivFirme")).toString(), QStringLiteral("Tarnel d.o.o."));

    const QString years = QStringLiteral("%1 AND GODINAKNJ<=%2").arg(m_first).arg(m_last);
    const QString joinedYears = QStringLiteral("%1 AND P.GODINAKNJ<=%2").arg(m_first).arg(m_last);
    QVERIFY(db.OtvoriRecordset(
        m_conn,
        QStringLiteral(
            "SELECT DISTINCT TOP 100 PERCENT SIFKONTA AS Konto, NAZIVKONTA From dbo.KONTO Where "
            "(BrojPoduzeca = 1) And (Len(SIFKONTA) = 3) AND GODINAKNJ>=") +
            years + QStringLiteral(" ORDER BY KONTO"),
        rs, true, false));
    QCOMPARE(rs.RecordCount(),
             scalar(m_book, QStringLiteral("SELECT count(DISTINCT SIFKONTA) FROM KONTO WHERE "
                                           "BrojPoduzeca=1 AND length(SIFKONTA)=3"))
                 .toInt());
    QCOMPARE(rs.value(QStringLiteral("konto")).toString(), QStringLiteral("020"));

    QVERIFY(db.OtvoriRecordset(
        m_conn,
        QStringLiteral("SELECT DISTINCT TOP 100 PERCENT P.SINTKONTO AS Konto, K.NAZIVKONTA FROM "
                       "dbo.PROMET P INNER JOIN dbo.KONTO K ON "
                       "P.BrojPoduzeca = K.BrojPoduzeca AND P.SINTKONTO = K.SIFKONTA AND "
                       "P.GODINAKNJ = K.GODINAKNJ WHERE "
                       "P.BROJPODUZECA= 1 AND LEFT(SINTKONTO,3)='120' AND P.GODINAKNJ>=") +
            joinedYears + QStringLiteral(" ORDER BY KONTO"),
        rs, true, false));
    QCOMPARE(rs.RecordCount(), 2);
    rs.MoveNext();
    QCOMPARE(rs.value(0).toString(), QStringLiteral("1201"));

    QVERIFY(db.OtvoriRecordset(
        m_conn,
        QStringLiteral(
            "SELECT DISTINCT TOP 100 PERCENT RTRIM(K.ImeKomit1) + ' ' + RTRIM(M.MJESTOKOM) AS "
            "Naziv, P.ANALKONTO FROM dbo.PROMET P "
            "INNER JOIN dbo.KOMITENT K ON P.ANALKONTO = K.SifKomit INNER JOIN dbo.PTTMJESTA M ON "
            "K.PTTBROJKOM = "
            "M.PTTBROJKOM WHERE P.BROJPODUZECA=1 AND SINTKONTO='1200' AND P.GODINAKNJ>=") +
            joinedYears + QStringLiteral(" ORDER BY Naziv"),
        rs, true, false));
    QCOMPARE(rs.RecordCount(),
             scalar(m_book, QStringLiteral("SELECT count(DISTINCT ANALKONTO) FROM PROMET WHERE "
                                           "BROJPODUZECA=1 AND SINTKONTO='1200'"))
                 .toInt());
    // the partner without a name sorts first with a null name, as on SQL Server
    QVERIFY(rs.value(0).isNull());
    QCOMPARE(rs.value(1).toInt(), 7);
    rs.setFilter(QStringLiteral("ANALKONTO=3"));
    QCOMPARE(rs.value(0).toString(),
             QStringLiteral("Pekara D'Oro d.o.o. ") +
                 scalar(m_book, QStringLiteral("SELECT MJESTOKOM FROM PTTMJESTA M JOIN KOMITENT K "
                                               "USING (PTTBROJKOM) WHERE SifKomit=3"))
                     .toString());
}

void TstPristupPodacima::turnoverStatements()
{
    cPristupPodacima db;
    Recordset rs;
    const QString where =
        QStringLiteral(" From dbo.PROMET WHERE BROJPODUZECA=1 AND (SINTKONTO LIKE '120%') AND "
                       "GODINAKNJ>=%1 AND GODINAKNJ<=%2  GROUP BY GODINAKNJ")
            .arg(m_first)
            .arg(m_last);
    QVERIFY(db.OtvoriRecordset(
        m_conn,
        QStringLiteral(
            "SELECT 'DUG '+LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG00) as Mj00,SUM(DUG05) as Mj05") +
            where +
            QStringLiteral(" UNION SELECT 'POT '+LTRIM(str(GODINAKNJ)) as Godina,SUM(POT00) as "
                           "Mj00,SUM(POT05) as Mj05") +
            where,
        rs, true, false));
    QCOMPARE(rs.RecordCount(), 12); // six years, debit and credit
    QCOMPARE(rs.fieldName(2), QStringLiteral("Mj05"));
    QCOMPARE(rs.fieldType(2), QMetaType::Double);
    QVERIFY(rs.setFilter(QStringLiteral("Godina='POT %1'").arg(m_last)));
    QCOMPARE(rs.RecordCount(), 1);
    const double expected =
        scalar(m_book, QStringLiteral("SELECT total(POT05) FROM PROMET WHERE BROJPODUZECA=1 AND "
                                      "substr(SINTKONTO,1,3)='120' AND GODINAKNJ=%1")
                           .arg(m_last))
            .toDouble();
    QVERIFY(expected > 0);
    QCOMPARE(rs.value(QStringLiteral("Mj05")).toDouble(), expected);
}

void TstPristupPodacima::cumulativeStatement()
{
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(db.OtvoriRecordset(
        m_conn,
        QStringLiteral("SELECT 'SALDO (D-P) '+LTRIM(str(GODINAKNJ)) as "
                       "Godina,SUM(DUG00-POT00+DUG01-POT01) as Mj01 From dbo.PROMET "
                       "WHERE  BROJPODUZECA=1 AND (SINTKONTO='1200') AND ANALKONTO= 3 AND "
                       "GODINAKNJ>=%1 AND GODINAKNJ<=%1 GROUP BY GODINAKNJ")
            .arg(m_last),
        rs, true, false));
    QCOMPARE(rs.value(0).toString(), QStringLiteral("SALDO (D-P) %1").arg(m_last));
    const double expected =
        scalar(m_book,
               QStringLiteral("SELECT DUG00-POT00+DUG01-POT01 FROM PROMET WHERE BROJPODUZECA=1 AND "
                              "SINTKONTO='1200' AND ANALKONTO=3 AND GODINAKNJ=%1")
                   .arg(m_last))
            .toDouble();
    QVERIFY(qAbs(rs.value(1).toDouble() - expected) < 0.005);
}

void TstPristupPodacima::incomeExpenseStatements()
{
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(db.OtvoriRecordset(
        m_conn,
        QStringLiteral(
            "SELECT DISTINCT IMEGRUPE FROM FINPRIHRASH WHERE GODINA=%1 AND BROJPODUZECA=1")
            .arg(m_last),
        rs, true, false));
    QCOMPARE(rs.RecordCount(), 8); // one group was not carried into this year

    QVERIFY(db.OtvoriRecordset(
        m_conn,
        QStringLiteral(
            "SELECT 'PRIH '+LTRIM(str(GODINAKNJ)) as Godina,SUM(POT03) as Mj03 From dbo.PROMET P "
            "INNER JOIN dbo.FinPrihRash F ON "
            "P.BrojPoduzeca=F.BrojPoduzeca AND P.GodinaKnj=F.Godina AND P.SintKonto=F.Konto WHERE "
            "P.BROJPODUZECA=1 AND "
            "F.ImeGrupe='PrihodiP' AND GODINAKNJ>=%1 AND GODINAKNJ<=%1  GROUP BY GODINAKNJ")
            .arg(m_last),
        rs, true, false));
    const double income =
        scalar(m_book, QStringLiteral("SELECT total(POT03) FROM PROMET WHERE BROJPODUZECA=1 AND "
                                      "GODINAKNJ=%1 AND SINTKONTO IN "
                                      "('7500','7501','7600','7720')")
                           .arg(m_last))
            .toDouble();
    QVERIFY(qAbs(rs.value(1).toDouble() - income) < 0.005);

    // the group share report: accounts joined with names and partners, grouped
    QVERIFY(db.OtvoriRecordset(
        m_conn,
        QStringLiteral("SELECT P.GODINAKNJ as Godina,P.SintKonto as Konto,K.NazivKonta,P.ANALKONTO "
                       "as Komit,KM.ImeKomit1 as Komitent,"
                       "SUM(P.POT01-P.DUG01) as Mj01 From dbo.PROMET P INNER JOIN dbo.KONTO K ON "
                       "P.BrojPoduzeca=K.BrojPoduzeca AND "
                       "P.SINTKONTO=K.SIFKONTA AND P.GODINAKNJ=K.GODINAKNJ LEFT OUTER JOIN "
                       "dbo.KOMITENT KM ON P.ANALKONTO=KM.SifKomit "
                       "WHERE P.BROJPODUZECA=1  AND (P.SINTKONTO='1201' OR P.SINTKONTO='2201' ) "
                       "AND P.GODINAKNJ>=%1 AND "
                       "P.GODINAKNJ<=%2  GROUP BY "
                       "P.GODINAKNJ,P.SintKonto,K.NazivKonta,P.ANALKONTO,KM.ImeKomit1")
            .arg(m_first)
            .arg(m_last),
        rs, true, false));
    QCOMPARE(rs.RecordCount(),
             scalar(m_book, QStringLiteral("SELECT count(*) FROM PROMET WHERE BROJPODUZECA=1 AND "
                                           "SINTKONTO IN ('1201','2201')"))
                 .toInt());
}

void TstPristupPodacima::planAndRealisationUnion()
{
    cPristupPodacima db;
    Recordset rs;
    const QString y = QString::number(m_last);
    QVERIFY(db.OtvoriRecordset(
        m_conn,
        QStringLiteral("SELECT 'PLAN_") + y +
            QStringLiteral("' AS Godina,SUM(Iznos01) as Mj01,SUM(Iznos02) as Mj02 FROM dbo.FinPlan "
                           " WHERE BROJPODUZECA=1 AND GODINAKNJ=") +
            y +
            QStringLiteral(" and brojplana=1 AND TIP='R' AND GRUPA='Usluge'  UNION SELECT 'REAL_") +
            y +
            QStringLiteral("' AS Godina,SUM(DUG01) as Mj01,SUM(DUG02) as Mj02 From dbo.PROMET "
                           "WHERE BROJPODUZECA=1 AND GODINAKNJ=") +
            y +
            QStringLiteral(" AND ( (SINTKONTO='4100' AND ANALKONTO=0) OR  (SINTKONTO='4101' AND "
                           "ANALKONTO=0) ) "),
        rs, true, false));
    QCOMPARE(rs.RecordCount(), 2);
    QVERIFY(rs.setFilter(QStringLiteral("Godina LIKE 'PLAN*'")));
    const double plan =
        scalar(m_book, QStringLiteral("SELECT total(Iznos02) FROM FINPLAN WHERE BrojPoduzeca=1 AND "
                                      "GODINAKNJ=%1 AND brojplana=1 AND TIP='R' AND GRUPA='Usluge'")
                           .arg(y))
            .toDouble();
    QVERIFY(plan > 0);
    QVERIFY(qAbs(rs.value(2).toDouble() - plan) < 0.005);
}

void TstPristupPodacima::carryOverInsert()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    cPristupPodacima db;
    const int source = m_last - 1;
    const QString sql =
        QStringLiteral("INSERT dbo.FinPrihRash SELECT F.BrojPoduzeca,F.ImeGrupe,(SELECT SifKonta1 "
                       "FROM dbo.Konto K WHERE "
                       "K.SifKonta=F.Konto AND K.BrojPoduzeca=F.BrojPoduzeca AND K.GodinaKnj=%1) "
                       "AS Konto,%2 FROM dbo.FinPrihRash F "
                       "WHERE F.BrojPoduzeca=1 AND F.Godina=%3")
            .arg(m_last - 1)
            .arg(m_last)
            .arg(source);
    const int before =
        scalar(book,
               QStringLiteral("SELECT count(*) FROM FINPRIHRASH WHERE BrojPoduzeca=1 AND Godina=%1")
                   .arg(m_last))
            .toInt();
    const int copied =
        scalar(book,
               QStringLiteral("SELECT count(*) FROM FINPRIHRASH WHERE BrojPoduzeca=1 AND Godina=%1")
                   .arg(source))
            .toInt();
    QVERIFY2(db.IzvrsiNaredbu(sqliteConn(book), sql), qPrintable(db.OpisGreske()));
    QCOMPARE(scalar(book, QStringLiteral(
                              "SELECT count(*) FROM FINPRIHRASH WHERE BrojPoduzeca=1 AND Godina=%1")
                              .arg(m_last))
                 .toInt(),
             before + copied);
    // translation 1 moves telephone costs to 4110
    QVERIFY(scalar(book, QStringLiteral(
                             "SELECT count(*) FROM FINPRIHRASH WHERE Konto='4110' AND Godina=%1")
                             .arg(m_last))
                .toInt() > 0);
}

void TstPristupPodacima::unitOfWorkCommits()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    cPristupPodacima db;
    db.OtvoriVezu(sqliteConn(book));
    QVERIFY(db.PocniTransakciju());
    QVERIFY(db.IzvrsiNaredbu(
        QString(),
        QStringLiteral(
            "DELETE FROM FINPRIHRASH WHERE IMEGRUPE='Plaće i doprinosiR' AND BROJPODUZECA=1")));
    Recordset rs;
    QVERIFY(db.OtvoriRecordsetZaIzmjene(
        QStringLiteral(
            "SELECT * FROM FINPRIHRASH WHERE IMEGRUPE='Plaće i doprinosiS' AND BROJPODUZECA=1"),
        rs, 3, -1));
    QVERIFY(rs.Eof());
    for (const char *konto : {"4200", "4201"}) {
        QVERIFY(rs.AddNew());
        rs.setValue(QStringLiteral("BrojPoduzeca"), 1);
        rs.setValue(QStringLiteral("ImeGrupe"), QStringLiteral("Plaće i doprinosiS"));
        rs.setValue(QStringLiteral("Konto"), QString::fromLatin1(konto));
        rs.setValue(QStringLiteral("Godina"), m_last);
        QVERIFY2(rs.Update(), qPrintable(rs.updateError()));
    }
    // nothing is visible to other connections before the commit
    QCOMPARE(
        scalar(book, QStringLiteral(
                         "SELECT count(*) FROM FINPRIHRASH WHERE ImeGrupe='Plaće i doprinosiS'"))
            .toInt(),
        0);
    QVERIFY(db.PotvrdiTransakciju());
    db.ZatvoriVezu();
    QCOMPARE(
        scalar(book, QStringLiteral(
                         "SELECT count(*) FROM FINPRIHRASH WHERE ImeGrupe='Plaće i doprinosiS'"))
            .toInt(),
        2);
    QCOMPARE(scalar(book, QStringLiteral("SELECT count(*) FROM FINPRIHRASH WHERE ImeGrupe='Plaće i "
                                         "doprinosiR' AND BrojPoduzeca=1"))
                 .toInt(),
             0);
    QVERIFY(!rs.AddNew() || !rs.Update()); // the unit of work is over
}

void TstPristupPodacima::failedInsertRollsBackDelete()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    const QString count = QStringLiteral(
        "SELECT count(*) FROM FINPRIHRASH WHERE ImeGrupe='RashodiR' AND BrojPoduzeca=1");
    const int before = scalar(book, count).toInt();
    QVERIFY(before > 0);
    cPristupPodacima db;
    db.OtvoriVezu(sqliteConn(book));
    QVERIFY(db.PocniTransakciju());
    QVERIFY(db.IzvrsiNaredbu(
        QString(),
        QStringLiteral("DELETE FROM FINPRIHRASH WHERE IMEGRUPE='RashodiR' AND BROJPODUZECA=1")));
    Recordset rs;
    QVERIFY(db.OtvoriRecordsetZaIzmjene(
        QStringLiteral("SELECT * FROM FINPRIHRASH WHERE IMEGRUPE='RashodiR' AND BROJPODUZECA=1"),
        rs, 3, -1));
    QVERIFY(rs.AddNew());
    rs.setValue(QStringLiteral("BrojPoduzeca"), 1);
    rs.setValue(QStringLiteral("ImeGrupe"), QStringLiteral("RashodiR"));
    QVERIFY(!rs.Update()); // Godina may not be null
    QVERIFY(rs.updateError().contains(QStringLiteral("NOT NULL")));
    db.PonistiTransakciju();
    db.ZatvoriVezu();
    QCOMPARE(scalar(book, count).toInt(), before);
}

void TstPristupPodacima::closingWithoutCommitRollsBack()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    {
        cPristupPodacima db;
        db.OtvoriVezu(sqliteConn(book));
        QVERIFY(db.PocniTransakciju());
        QVERIFY(db.IzvrsiNaredbu(QString(), QStringLiteral("DELETE FROM FINPRIHRASH")));
    }
    QVERIFY(scalar(book, QStringLiteral("SELECT count(*) FROM FINPRIHRASH")).toInt() > 0);
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

void TstPristupPodacima::unreachableSqlServerFails()
{
    cPristupPodacima db;
    Recordset rs;
    QVERIFY(!db.OtvoriRecordset(QStringLiteral("Provider=SQLOLEDB;Data Source=127.0.0.1,1;Initial "
                                               "Catalog=Fin;User ID=sa;Password=krivo"),
                                QStringLiteral("SELECT 1"), rs, true, false));
    QVERIFY2(db.OpisGreske().startsWith(QStringLiteral("Spajanje na bazu podataka nije uspjelo: ")),
             qPrintable(db.OpisGreske()));
    QVERIFY(db.OpisGreske().size() > 45);
}

QTEST_GUILESS_MAIN(TstPristupPodacima)
#include "tst_pristuppodacima.moc"
