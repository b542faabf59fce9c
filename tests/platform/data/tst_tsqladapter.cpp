#include "platform/data/sqlitefunctions.h"
#include "platform/data/tsqladapter.h"

#include <QTest>

class TstTSqlAdapter : public QObject
{
    Q_OBJECT
private slots:
    void adapt_data();
    void adapt();
    void tokensJoinBackToInput_data();
    void tokensJoinBackToInput();
    void setTextSizeIsNoop();
    void str_data();
    void str();
    void len();
};

void TstTSqlAdapter::adapt_data()
{
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<QString>("sqlite");

    QTest::newRow("turnover row label joins text")
        << "SELECT 'DUG '+LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG00) as Mj00 From dbo.PROMET WHERE "
           " "
           "BROJPODUZECA=1 AND (SINTKONTO LIKE '120%') AND GODINAKNJ>=2021 AND GODINAKNJ<=2026 "
           "GROUP BY GODINAKNJ"
        << "SELECT 'DUG '||LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG00) as Mj00 From dbo.PROMET "
           "WHERE  "
           "BROJPODUZECA=1 AND (SINTKONTO LIKE '120%') AND GODINAKNJ>=2021 AND GODINAKNJ<=2026 "
           "GROUP BY GODINAKNJ";
    // numbers keep their arithmetic
    QTest::newRow("cumulative sums stay additions")
        << "SELECT SUM(DUG00-POT00+DUG01-POT01) as Mj01 FROM dbo.PROMET"
        << "SELECT SUM(DUG00-POT00+DUG01-POT01) as Mj01 FROM dbo.PROMET";
    QTest::newRow("top 100 percent dropped")
        << "SELECT DISTINCT TOP 100 PERCENT SIFKONTA AS Konto, NAZIVKONTA From dbo.KONTO Where "
           "(BrojPoduzeca = 1) "
           "And (Len(SIFKONTA) = 3) ORDER BY KONTO"
        << "SELECT DISTINCT SIFKONTA AS Konto, NAZIVKONTA From dbo.KONTO Where (BrojPoduzeca = 1) "
           "And (Len(SIFKONTA) = 3) ORDER BY KONTO";
    QTest::newRow("a comment inside top 100 percent stays")
        << "SELECT TOP --x\n100 /*y*/ PERCENT A FROM B"
        << "SELECT --x\n/*y*/ A FROM B";
    QTest::newRow("left becomes substr") << "WHERE LEFT(SINTKONTO,3)='120'"
                                         << "WHERE substr(SINTKONTO,1,3)='120'";
    QTest::newRow("nested left") << "SELECT LEFT(LEFT(x, 5), 3)"
                                 << "SELECT substr(substr(x,1, 5),1, 3)";
    QTest::newRow("left join untouched") << "A LEFT JOIN B ON A.x=B.x"
                                         << "A LEFT JOIN B ON A.x=B.x";
    QTest::newRow("partner name chain")
        << "SELECT DISTINCT TOP 100 PERCENT RTRIM(K.ImeKomit1) + ' ' + RTRIM(M.MJESTOKOM) AS Naziv"
        << "SELECT DISTINCT RTRIM(K.ImeKomit1) || ' ' || RTRIM(M.MJESTOKOM) AS Naziv";
    QTest::newRow("insert gains into")
        << "INSERT dbo.FinPrihRash SELECT F.BrojPoduzeca FROM dbo.FinPrihRash F"
        << "INSERT INTO dbo.FinPrihRash SELECT F.BrojPoduzeca FROM dbo.FinPrihRash F";
    QTest::newRow("insert into kept") << "INSERT INTO X VALUES (1)"
                                      << "INSERT INTO X VALUES (1)";
    // nothing inside a string literal or a quoted identifier is rewritten
    QTest::newRow("literal untouched") << "SELECT 'a+b TOP 100 PERCENT LEFT(x,1)' + 'c'"
                                       << "SELECT 'a+b TOP 100 PERCENT LEFT(x,1)' || 'c'";
    QTest::newRow("doubled quote in literal") << "SELECT 'D''Oro' + 'x'"
                                              << "SELECT 'D''Oro' || 'x'";
    QTest::newRow("bracketed identifier") << "SELECT [A+B] + 1 FROM T"
                                          << "SELECT [A+B] + 1 FROM T";
    QTest::newRow("numbers add") << "SELECT 1 + 2, a+b"
                                 << "SELECT 1 + 2, a+b";
    QTest::newRow("unicode literal prefix") << "WHERE X=N'Čakovec'"
                                            << "WHERE X='Čakovec'";
    QTest::newRow("empty-string test") << "AND PODGRUPA<>'' ORDER BY PODGRUPA"
                                       << "AND PODGRUPA<>'' ORDER BY PODGRUPA";
    QTest::newRow("comment untouched") << "SELECT 1 -- a + 'b'\n"
                                       << "SELECT 1 -- a + 'b'\n";
    QTest::newRow("text function on the right") << "SELECT Godina + STR(1)"
                                                << "SELECT Godina || STR(1)";
    QTest::newRow("unclosed left kept") << "SELECT LEFT(x"
                                        << "SELECT LEFT(x";
    QTest::newRow("empty") << ""
                           << "";
    // dropping a prefix or a phrase must not join what stood around it
    QTest::newRow("prefixed literal after a literal") << "'N'N'+P'"
                                                      << "'N' '+P'";
    QTest::newRow("top 100 percent between literals") << "SELECT 'a'TOP 100 PERCENT'b'"
                                                      << "SELECT 'a' 'b'";
    QTest::newRow("top 100 percent between minus signs") << "SELECT 1-TOP 100 PERCENT -1"
                                                         << "SELECT 1- -1";
}

void TstTSqlAdapter::adapt()
{
    QFETCH(QString, tsql);
    QFETCH(QString, sqlite);
    const TSqlAdapter::Result r = TSqlAdapter::adapt(tsql);
    QVERIFY(!r.noop);
    QCOMPARE(r.sql, sqlite);
}

void TstTSqlAdapter::tokensJoinBackToInput_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("statement")
        << "SELECT 'a''b' AS [x y], \"q\"\"r\" FROM t WHERE a<>b /* c */ -- d";
    QTest::newRow("unterminated string") << "SELECT 'abc";
    QTest::newRow("unterminated comment") << "SELECT /* abc";
    QTest::newRow("numbers") << "1.5e+3 .5 12e x";
}

void TstTSqlAdapter::tokensJoinBackToInput()
{
    QFETCH(QString, sql);
    QString joined;
    for (const auto &t : TSqlAdapter::tokenize(sql))
        joined += t.text;
    QCOMPARE(joined, sql);
}

void TstTSqlAdapter::setTextSizeIsNoop()
{
    QVERIFY(TSqlAdapter::adapt(QStringLiteral("SET TEXTSIZE 1000000")).noop);
    QVERIFY(TSqlAdapter::adapt(QStringLiteral("  set  textsize 10")).noop);
    QVERIFY(!TSqlAdapter::adapt(QStringLiteral("SELECT 'SET TEXTSIZE 1'")).noop);
}

void TstTSqlAdapter::str_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("year") << 2024.0 << 10 << 0 << "      2024";
    QTest::newRow("half rounds away from zero") << -1.5 << 10 << 0 << "        -2";
    QTest::newRow("too long") << 12345678901.0 << 10 << 0 << "**********";
    QTest::newRow("decimals") << 3.14159 << 6 << 2 << "  3.14";
    // SQL Server drops decimals before it gives up on the number
    QTest::newRow("decimals do not fit") << 123.456 << 4 << 2 << " 123";
}

void TstTSqlAdapter::str()
{
    QFETCH(double, value);
    QFETCH(int, length);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(SqliteFunctions::sqlServerStr(value, length, decimals), expected);
}

void TstTSqlAdapter::len()
{
    QCOMPARE(SqliteFunctions::sqlServerLen(QStringLiteral("120  ")), 3);
    QCOMPARE(SqliteFunctions::sqlServerLen(QStringLiteral("  a")), 3);
    QCOMPARE(SqliteFunctions::sqlServerLen(QString()), 0);
}

QTEST_GUILESS_MAIN(TstTSqlAdapter)
#include "tst_tsqladapter.moc"
