#include "platform/data/sqlitefunctions.h"
#include "platform/data/tsqladapter.h"

#include <QTest>

class TstTSqlAdapter : public QObject
{
    Q_OBJECT
private slots:
    void adapt_data();
    void adapt();
    void str_data();
    void str();
    void len();
};

void TstTSqlAdapter::adapt_data()
{
    // The window statements whole (text joined, TOP 100 PERCENT dropped) are in tst_bookstatements;
    // here each rule alone, and where it must not reach.
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<QString>("sqlite"); // none: nothing to run ("SET TEXTSIZE n")
    const auto row = [](const char *name, const char *tsql, const char *sqlite) {
        QTest::newRow(name) << tsql << sqlite;
    };
    row("a comment inside top 100 percent stays", "SELECT TOP --x\n100 /*y*/ PERCENT A FROM B",
        "SELECT --x\n/*y*/ A FROM B");
    row("left becomes substr", "WHERE LEFT(SINTKONTO,3)='120'",
        "WHERE substr(SINTKONTO,1,3)='120'");
    row("nested left", "SELECT LEFT(LEFT(x, 5), 3)", "SELECT substr(substr(x,1, 5),1, 3)");
    row("insert gains into", "INSERT dbo.FinPrihRash SELECT F.BrojPoduzeca FROM dbo.FinPrihRash F",
        "INSERT INTO dbo.FinPrihRash SELECT F.BrojPoduzeca FROM dbo.FinPrihRash F");
    // nothing inside a string literal or a quoted identifier is rewritten
    row("literal untouched", "SELECT 'a+b TOP 100 PERCENT LEFT(x,1)' + 'c'",
        "SELECT 'a+b TOP 100 PERCENT LEFT(x,1)' || 'c'");
    row("doubled quote in literal", "SELECT 'D''Oro' + 'x'", "SELECT 'D''Oro' || 'x'");
    row("unicode literal prefix", "WHERE X=N'Čakovec'", "WHERE X='Čakovec'");
    row("text function on the right", "SELECT Godina + STR(1)", "SELECT Godina || STR(1)");
    // dropping a prefix or a phrase must not join what stood around it
    row("prefixed literal after a literal", "'N'N'+P'", "'N' '+P'");
    row("top 100 percent between literals", "SELECT 'a'TOP 100 PERCENT'b'", "SELECT 'a' 'b'");
    row("top 100 percent between minus signs", "SELECT 1-TOP 100 PERCENT -1", "SELECT 1- -1");
    row("set textsize", "  set  textsize 10", nullptr);
    // numbers keep their arithmetic; unclosed literals, comments and calls are kept as they are
    for (const char *same :
         {"SELECT SUM(DUG00-POT00+DUG01-POT01) as Mj01 FROM dbo.PROMET", "SELECT 1 + 2, a+b",
          "A LEFT JOIN B ON A.x=B.x", "INSERT INTO X VALUES (1)", "SELECT [A+B] + 1 FROM T",
          "AND PODGRUPA<>'' ORDER BY PODGRUPA", "SELECT 1 -- a + 'b'\n", "SELECT LEFT(x", "",
          "SELECT 'a''b' AS [x y], \"q\"\"r\" FROM t WHERE a<>b /* c */ -- d", "SELECT 'abc",
          "SELECT /* abc", "1.5e+3 .5 12e x", "SELECT 'SET TEXTSIZE 1'"})
        QTest::addRow("unchanged: %s", same) << same << same;
}

void TstTSqlAdapter::adapt()
{
    QFETCH(QString, tsql);
    QFETCH(QString, sqlite);
    const TSqlAdapter::Result r = TSqlAdapter::adapt(tsql);
    QCOMPARE(r.noop, sqlite.isNull());
    QCOMPARE(r.sql, sqlite);
    QString joined; // the tokens join back to the input
    for (const auto &t : TSqlAdapter::tokenize(tsql))
        joined += t.text;
    QCOMPARE(joined, tsql);
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
