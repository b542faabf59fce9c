#pragma once

// Statements of the windows that read turnover, for the tests of the turnover summary: the turnover
// windows' own, from their statement builders, and the income/expense, group share and
// realisation statements, put together from the same pieces (book/sqltext.h) as those windows put
// them together.
#include "book/sqltext.h"
#include "turnover/turnoverstatements.h"

#include <QStringList>
#include <QTest>

#include <tuple>

namespace WindowStatements {

/// The income (P), expense (R) or balance (S) chart of a group, or of one of its accounts.
inline QString groupChart(const QString &table, char kind, const QString &group,
                          const QString &account, const QString &y1, const QString &y2)
{
    const bool income = kind == 'P', expense = kind == 'R';
    // the window's blanks: two after WHERE for an expense, two before GROUP BY for the others
    const QLatin1String where(expense ? " WHERE  " : " WHERE "), groupBy(expense ? " " : "  ");
    return QStringLiteral("SELECT '%1 '+LTRIM(str(GODINAKNJ)) as Godina,")
               .arg(QLatin1String(income ? "PRIH" : (expense ? "RASH" : "PRIH-RASH"))) +
           SqlText::KolonePoMjesecima(0, 12,
                                      QLatin1String(income ? "POT" : (expense ? "DUG" : "P-D"))) +
           QStringLiteral(" From ") + SqlText::table(table) +
           QStringLiteral(" P INNER JOIN dbo.FinPrihRash F ON P.BrojPoduzeca=F.BrojPoduzeca AND "
                          "P.GodinaKnj=F.Godina AND P.SintKonto=F.Konto") +
           where + QStringLiteral("P.BROJPODUZECA=1") +
           (account.isEmpty() ? QString() : QStringLiteral(" AND (SINTKONTO ='%1')").arg(account)) +
           QStringLiteral(" AND F.ImeGrupe='%1'").arg(group) +
           SqlText::yearRange(QStringLiteral("GODINAKNJ"), y1, y2) + groupBy +
           QStringLiteral("GROUP BY GODINAKNJ");
}

/// The group share data set of the income accounts 7500 and 7501.
inline QString groupShare(const QString &table, const QString &y1, const QString &y2)
{
    return QStringLiteral("SELECT P.GODINAKNJ as Godina,P.SintKonto as Konto,K.NazivKonta,"
                          "P.ANALKONTO as Komit,KM.ImeKomit1 as Komitent,") +
           SqlText::KolonePoMjesecima(1, 12, QStringLiteral("P.POT")) + QStringLiteral(" From ") +
           SqlText::table(table) +
           QStringLiteral(" P INNER JOIN dbo.KONTO K ON P.BrojPoduzeca=K.BrojPoduzeca AND "
                          "P.SINTKONTO=K.SIFKONTA AND P.GODINAKNJ=K.GODINAKNJ LEFT OUTER JOIN "
                          "dbo.KOMITENT KM ON P.ANALKONTO=KM.SifKomit WHERE P.BROJPODUZECA=1  "
                          "AND (P.SINTKONTO='7500' OR P.SINTKONTO='7501' ) ") +
           SqlText::yearRange(QStringLiteral("P.GODINAKNJ"), y1, y2) +
           QStringLiteral("  GROUP BY P.GODINAKNJ,P.SintKonto,K.NazivKonta,P.ANALKONTO,"
                          "KM.ImeKomit1");
}

/// Plan 1's income against its realisation in year y, with or without the account condition
/// that the plan's rows give.
inline QString realisation(const QString &y, bool accountCondition)
{
    return QStringLiteral("SELECT 'PLAN_%1' AS Godina,").arg(y) +
           SqlText::KolonePoMjesecima(1, 12, QStringLiteral("Iznos")) +
           QStringLiteral(" FROM dbo.FinPlan  WHERE BROJPODUZECA=1 AND GODINAKNJ=%1 and "
                          "brojplana=1 AND TIP='P'  UNION SELECT 'REAL_%1' AS Godina,")
               .arg(y) +
           SqlText::KolonePoMjesecima(1, 12, QStringLiteral("POT")) +
           QStringLiteral(" From dbo.PROMET WHERE BROJPODUZECA=1 AND GODINAKNJ=") + y +
           (accountCondition ? QStringLiteral(" AND ( (SINTKONTO='7500' AND ANALKONTO=0) OR  "
                                              "(SINTKONTO='1200' AND ANALKONTO=3) ) ")
                             : QString());
}

/// Data rows (sql, summarised) of the windows' statements on one turnover table, the accounts
/// chosen so that both tables have turnover on them (the cost-centre table holds income, expense
/// and goods on consignment); summarised is true where the turnover summary answers them.
inline void addRows(const QString &table, const QString &y1, const QString &y2)
{
    const bool mt = table == u"PROMETMT";
    const TurnoverSql::Scope sint{table, 1, mt ? "410" : "120", {}, y1, y2};
    const TurnoverSql::Scope anal{table, 1, QStringLiteral("4101"), {}, y1, y2};
    const TurnoverSql::Scope partner{table, 1, mt ? "4101" : "1200", mt ? " 0" : " 3", y1, y2};
    const QByteArray t = table.toLatin1();
    for (int k = 0; k < 5; ++k) {
        QTest::addRow("%s account %s kind %d", t.data(), qPrintable(sint.account), k)
            << TurnoverSql::accountChart(k, 0, 12, sint) << true;
        QTest::addRow("%s account 4101 kind %d, months 3-5", t.data(), k)
            << TurnoverSql::accountChart(k, 3, 5, anal) << true;
        QTest::addRow("%s partner kind %d", t.data(), k)
            << TurnoverSql::partnerChart(k, 0, 12, partner) << false;
    }
    for (int k = 0; k < 2; ++k) {
        QTest::addRow("%s cumulative kind %d", t.data(), k)
            << TurnoverSql::cumulativeAccountChart(k, 0, 12, sint) << true;
        QTest::addRow("%s cumulative partner kind %d", t.data(), k)
            << TurnoverSql::cumulativePartnerChart(k, 0, 12, partner) << false;
    }
    QTest::addRow("%s analytic fill", t.data())
        << TurnoverSql::analyticFill(table, 1, QStringLiteral("410"), y1, y2) << true;
    QTest::addRow("%s partner fill", t.data())
        << TurnoverSql::partnerFill(table, 1, partner.account, y1, y2) << false;
    for (const auto &[kind, group, account] :
         {std::tuple{'P', "PrihodiP", ""}, std::tuple{'R', "RashodiR", ""},
          std::tuple{'S', "Prihodi-Rashodi (Dobit)S", ""}, std::tuple{'P', "PrihodiP", "7500"},
          std::tuple{'R', "RashodiR", "4101"}, std::tuple{'S', "Bruto marža robeS", "7500"}})
        QTest::addRow("%s group %s %s", t.data(), group, account)
            << groupChart(table, kind, QString::fromUtf8(group), QLatin1String(account), y1, y2)
            << true;
    QTest::addRow("%s group share", t.data()) << groupShare(table, y1, y2) << false;
}

} // namespace WindowStatements
