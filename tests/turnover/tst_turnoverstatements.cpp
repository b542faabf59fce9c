#include "turnover/turnoverstatements.h"

#include <QTest>

using namespace TurnoverSql;

class TstTurnoverStatements : public QObject
{
    Q_OBJECT
private slots:
    void statements_data();
    void statements();
};

void TstTurnoverStatements::statements_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    auto row = [](const char *name, const QString &actual, const QString &expected) {
        QTest::newRow(name) << actual << expected;
    };
    auto head = [](const char *label, const char *columns) {
        return QStringLiteral(
                   "SELECT '%1'+LTRIM(str(GODINAKNJ)) as Godina,%2 From dbo.PROMET WHERE")
            .arg(QLatin1String(label), QLatin1String(columns));
    };
    // the account's apostrophe is doubled wherever it stands; the partner keeps its blank
    const Scope s{"PROMET", 1, "12'", " 7", "2010", "2011"};
    const QString years = QStringLiteral(" AND GODINAKNJ>=2010 AND GODINAKNJ<=2011");
    const QString like = QStringLiteral("BROJPODUZECA=1 AND (SINTKONTO LIKE '12''%')");
    const QString account = like + years, partnerLike = like + " AND ANALKONTO= 7" + years;
    const QString partner = "BROJPODUZECA=1 AND (SINTKONTO='12''') AND ANALKONTO= 7" + years;
    const QString dug = head("DUG ", "SUM(DUG01) as Mj01"),
                  pot = head("POT ", "SUM(POT01) as Mj01");
    const QString dp = head("SALDO (D-P) ", "SUM(DUG01-POT01) as Mj01");
    const QString pd = head("SALDO (P-D) ", "SUM(POT01-DUG01) as Mj01");
    const QString cumDp = head("SALDO (D-P) ", "SUM(DUG00-POT00+DUG01-POT01) as Mj01");
    const QString cumPd = head("SALDO (P-D) ", "SUM(POT00-DUG00+POT01-DUG01) as Mj01");
    // the amount kinds 0 debit, 1 credit, 2 both, 3 and 4 the balances, each with its blanks
    row("account debit", accountChart(0, 1, 1, s), dug + "  " + account + " GROUP BY GODINAKNJ");
    row("account credit", accountChart(1, 1, 1, s), pot + " " + account + "  GROUP BY GODINAKNJ");
    row("account both", accountChart(2, 1, 1, s),
        dug + " " + account + "  GROUP BY GODINAKNJ UNION " + pot + " " + account +
            "  GROUP BY GODINAKNJ");
    row("account D-P", accountChart(3, 1, 1, s), dp + " " + account + "  GROUP BY GODINAKNJ ");
    row("account P-D", accountChart(4, 1, 1, s), pd + " " + account + "  GROUP BY GODINAKNJ ");
    row("partner debit", partnerChart(0, 1, 1, s), dug + "  " + partner + "  GROUP BY GODINAKNJ");
    row("partner credit", partnerChart(1, 1, 1, s), pot + " " + partner + "  GROUP BY GODINAKNJ");
    // both sides match the account as a prefix, as the account chart does
    row("partner both", partnerChart(2, 1, 1, s),
        dug + " " + partnerLike + "  GROUP BY GODINAKNJ UNION " + pot + " " + partnerLike +
            "  GROUP BY GODINAKNJ");
    row("running D-P", cumulativeAccountChart(0, 1, 1, s),
        cumDp + "  " + account + " GROUP BY GODINAKNJ");
    row("running P-D", cumulativeAccountChart(1, 1, 1, s),
        cumPd + " " + account + "  GROUP BY GODINAKNJ");
    row("partner running D-P", cumulativePartnerChart(0, 1, 1, s),
        cumDp + "  " + partner + "  GROUP BY GODINAKNJ");
    row("partner running P-D", cumulativePartnerChart(1, 1, 1, s),
        cumPd + " " + partner + "  GROUP BY GODINAKNJ");
    Scope noPartner = s;
    noPartner.partner = QStringLiteral(" 7) OR (1=1");
    row("partner no number", partnerChart(0, 1, 1, noPartner), "");
    row("accounts", topLevelFill(1, "2020", "2021"),
        "SELECT DISTINCT TOP 100 PERCENT SIFKONTA AS Konto, NAZIVKONTA From dbo.KONTO Where "
        "(BrojPoduzeca = 1) And (Len(SIFKONTA) = 3) AND GODINAKNJ>=2020 AND GODINAKNJ<=2021 "
        "ORDER BY KONTO");
    // the account is spliced untrimmed
    row("analytic accounts", analyticFill("PROMETMT", 2, "12' ", "2020", "2021"),
        "SELECT DISTINCT TOP 100 PERCENT P.SINTKONTO AS Konto, K.NAZIVKONTA FROM dbo.PROMETMT P "
        "INNER JOIN dbo.KONTO K ON P.BrojPoduzeca = K.BrojPoduzeca AND P.SINTKONTO = "
        "K.SIFKONTA AND P.GODINAKNJ = K.GODINAKNJ WHERE P.BROJPODUZECA= 2 AND "
        "LEFT(SINTKONTO,3)='12'' ' AND P.GODINAKNJ>=2020 AND P.GODINAKNJ<=2021 ORDER BY KONTO");
    row("partners", partnerFill("PROMET", 1, "1200", "2020", "2021"),
        "SELECT DISTINCT TOP 100 PERCENT RTRIM(K.ImeKomit1) + ' ' + RTRIM(M.MJESTOKOM) AS Naziv, "
        "P.ANALKONTO FROM dbo.PROMET P INNER JOIN dbo.KOMITENT K ON P.ANALKONTO = K.SifKomit "
        "INNER JOIN dbo.PTTMJESTA M ON K.PTTBROJKOM = M.PTTBROJKOM WHERE P.BROJPODUZECA=1 AND "
        "SINTKONTO='1200' AND P.GODINAKNJ>=2020 AND P.GODINAKNJ<=2021 ORDER BY Naziv");
}

void TstTurnoverStatements::statements()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TstTurnoverStatements)
#include "tst_turnoverstatements.moc"
