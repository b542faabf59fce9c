#include "turnover/turnoverstatements.h"

#include <QTest>

using namespace TurnoverSql;

class TstTurnoverStatements : public QObject
{
    Q_OBJECT
private slots:
    void charts_data();
    void charts();
    void treeFills();
};

void TstTurnoverStatements::charts_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");
    const QString dugWhere = " From dbo.PROMET WHERE BROJPODUZECA=1 AND (SINTKONTO LIKE '120%') "
                             "AND GODINAKNJ>=2010 AND GODINAKNJ<=2011";
    QTest::newRow("account debit")
        << "account" << 0
        << "SELECT 'DUG '+LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG01) as Mj01 From dbo.PROMET WHERE "
           " BROJPODUZECA=1 AND (SINTKONTO LIKE '120%') AND GODINAKNJ>=2010 AND GODINAKNJ<=2011 "
           "GROUP BY GODINAKNJ";
    QTest::newRow("account credit")
        << "account" << 1
        << "SELECT 'POT '+LTRIM(str(GODINAKNJ)) as Godina,SUM(POT01) as Mj01" + dugWhere +
               "  GROUP BY GODINAKNJ";
    QTest::newRow("account both")
        << "account" << 2
        << "SELECT 'DUG '+LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG01) as Mj01" + dugWhere +
               "  GROUP BY GODINAKNJ UNION " +
               "SELECT 'POT '+LTRIM(str(GODINAKNJ)) as Godina,SUM(POT01) as Mj01" + dugWhere +
               "  GROUP BY GODINAKNJ";
    QTest::newRow("account D-P")
        << "account" << 3
        << "SELECT 'SALDO (D-P) '+LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG01-POT01) as Mj01" +
               dugWhere + "  GROUP BY GODINAKNJ ";
    QTest::newRow("account P-D")
        << "account" << 4
        << "SELECT 'SALDO (P-D) '+LTRIM(str(GODINAKNJ)) as Godina,SUM(POT01-DUG01) as Mj01" +
               dugWhere + "  GROUP BY GODINAKNJ ";
    const QString p = " AND (SINTKONTO='120') AND ANALKONTO= 7 AND GODINAKNJ>=2010 AND "
                      "GODINAKNJ<=2011  GROUP BY GODINAKNJ";
    QTest::newRow("partner debit") << "partner" << 0
                                   << "SELECT 'DUG '+LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG01) as "
                                      "Mj01 From dbo.PROMET WHERE  BROJPODUZECA=1" +
                                          p;
    QTest::newRow("partner credit") << "partner" << 1
                                    << "SELECT 'POT '+LTRIM(str(GODINAKNJ)) as Godina,SUM(POT01) "
                                       "as Mj01 From dbo.PROMET WHERE BROJPODUZECA=1" +
                                           p;
    // both sides match the account as a prefix, as the account chart does
    const QString pl = " From dbo.PROMET WHERE BROJPODUZECA=1 AND (SINTKONTO LIKE '120%') AND "
                       "ANALKONTO= 7 AND GODINAKNJ>=2010 AND GODINAKNJ<=2011  GROUP BY GODINAKNJ";
    QTest::newRow("partner both")
        << "partner" << 2
        << "SELECT 'DUG '+LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG01) as Mj01" + pl +
               " UNION SELECT 'POT '+LTRIM(str(GODINAKNJ)) as Godina,SUM(POT01) as Mj01" + pl;
    QTest::newRow("partner D-P")
        << "partner" << 3
        << "SELECT 'SALDO (D-P) '+LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG01-POT01) as Mj01 From "
           "dbo.PROMET WHERE BROJPODUZECA=1" +
               p;
    QTest::newRow("partner P-D")
        << "partner" << 4
        << "SELECT 'SALDO (P-D) '+LTRIM(str(GODINAKNJ)) as Godina,SUM(POT01-DUG01) as Mj01 From "
           "dbo.PROMET WHERE BROJPODUZECA=1" +
               p;
    QTest::newRow("cumulative account D-P")
        << "cumAccount" << 0
        << "SELECT 'SALDO (D-P) '+LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG00-POT00+DUG01-POT01) as "
           "Mj01 From dbo.PROMET WHERE  BROJPODUZECA=1 AND (SINTKONTO LIKE '120%') AND "
           "GODINAKNJ>=2010 AND GODINAKNJ<=2011 GROUP BY GODINAKNJ";
    QTest::newRow("cumulative account P-D") << "cumAccount" << 1
                                            << "SELECT 'SALDO (P-D) '+LTRIM(str(GODINAKNJ)) as "
                                               "Godina,SUM(POT00-DUG00+POT01-DUG01) as Mj01" +
                                                   dugWhere + "  GROUP BY GODINAKNJ";
    QTest::newRow("cumulative partner D-P")
        << "cumPartner" << 0
        << "SELECT 'SALDO (D-P) '+LTRIM(str(GODINAKNJ)) as Godina,SUM(DUG00-POT00+DUG01-POT01) as "
           "Mj01 From dbo.PROMET WHERE  BROJPODUZECA=1" +
               p;
    QTest::newRow("cumulative partner P-D")
        << "cumPartner" << 1
        << "SELECT 'SALDO (P-D) '+LTRIM(str(GODINAKNJ)) as Godina,SUM(POT00-DUG00+POT01-DUG01) as "
           "Mj01 From dbo.PROMET WHERE BROJPODUZECA=1" +
               p;
}

void TstTurnoverStatements::charts()
{
    QFETCH(QString, which);
    QFETCH(int, kind);
    QFETCH(QString, expected);
    const Scope s{QStringLiteral("PROMET"), 1,
                  QStringLiteral("120"),    QStringLiteral(" 7"),
                  QStringLiteral("2010"),   QStringLiteral("2011")};
    QString sql;
    if (which == u"account")
        sql = accountChart(kind, 1, 1, s);
    else if (which == u"partner")
        sql = partnerChart(kind, 1, 1, s);
    else if (which == u"cumAccount")
        sql = cumulativeAccountChart(kind, 1, 1, s);
    else
        sql = cumulativePartnerChart(kind, 1, 1, s);
    QCOMPARE(sql, expected);
}

void TstTurnoverStatements::treeFills()
{
    QCOMPARE(
        topLevelFill(1, QStringLiteral("2021"), QStringLiteral("0")),
        QStringLiteral("SELECT DISTINCT TOP 100 PERCENT SIFKONTA AS Konto, NAZIVKONTA From "
                       "dbo.KONTO Where (BrojPoduzeca = 1) And "
                       "(Len(SIFKONTA) = 3) AND GODINAKNJ>=2021 AND GODINAKNJ<=0 ORDER BY KONTO"));
    // the account is spliced untrimmed, with its apostrophes doubled
    QCOMPARE(analyticFill(QStringLiteral("PROMETMT"), 2, QStringLiteral("12' "),
                          QStringLiteral("2020"), QStringLiteral("2021")),
             QStringLiteral("SELECT DISTINCT TOP 100 PERCENT P.SINTKONTO AS Konto, K.NAZIVKONTA "
                            "FROM dbo.PROMETMT P INNER JOIN dbo.KONTO K ON "
                            "P.BrojPoduzeca = K.BrojPoduzeca AND P.SINTKONTO = K.SIFKONTA AND "
                            "P.GODINAKNJ = K.GODINAKNJ WHERE P.BROJPODUZECA= 2 "
                            "AND LEFT(SINTKONTO,3)='12'' ' AND P.GODINAKNJ>=2020 AND "
                            "P.GODINAKNJ<=2021 ORDER BY KONTO"));
    QCOMPARE(partnerFill(QStringLiteral("PROMET"), 1, QStringLiteral("1200"),
                         QStringLiteral("2020"), QStringLiteral("2021")),
             QStringLiteral("SELECT DISTINCT TOP 100 PERCENT RTRIM(K.ImeKomit1) + ' ' + "
                            "RTRIM(M.MJESTOKOM) AS Naziv, P.ANALKONTO FROM dbo.PROMET P "
                            "INNER JOIN dbo.KOMITENT K ON P.ANALKONTO = K.SifKomit INNER JOIN "
                            "dbo.PTTMJESTA M ON K.PTTBROJKOM = M.PTTBROJKOM "
                            "WHERE P.BROJPODUZECA=1 AND SINTKONTO='1200' AND P.GODINAKNJ>=2020 AND "
                            "P.GODINAKNJ<=2021 ORDER BY Naziv"));
    QCOMPARE(accountChart(0, 1, 1,
                          {QStringLiteral("PROMET"), 1, QStringLiteral("6'6"), QString(),
                           QStringLiteral("1"), QStringLiteral("2")})
                 .count(QStringLiteral("'6''6%'")),
             1);
}

QTEST_GUILESS_MAIN(TstTurnoverStatements)
#include "tst_turnoverstatements.moc"
