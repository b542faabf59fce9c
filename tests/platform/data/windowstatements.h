#pragma once

// Statements of the windows that read turnover, written out here as those windows build them,
// piece by piece, for the tests of the turnover summary: the turnover windows' own (from the
// statement builders), and the income/expense, group share and realisation statements.
#include "turnover/turnoverstatements.h"

#include <QStringList>

namespace WindowStatements {

inline QString mm(int m)
{
    return QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0'));
}

/// The income (P), expense (R) or balance (S) chart of a group, or of one of its accounts.
inline QString groupChart(const QString &table, char kind, const QString &group,
                          const QString &account, const QString &y1, const QString &y2)
{
    QStringList cols;
    for (int m = 0; m <= 12; ++m)
        cols << (kind == 'S' ? QStringLiteral("SUM(POT%1-DUG%1) as Mj%1").arg(mm(m))
                             : QStringLiteral("SUM(%1%2) as Mj%2")
                                   .arg(kind == 'P' ? QStringLiteral("POT") : QStringLiteral("DUG"),
                                        mm(m)));
    const QString word = kind == 'P'
                             ? QStringLiteral("PRIH")
                             : (kind == 'R' ? QStringLiteral("RASH") : QStringLiteral("PRIH-RASH"));
    const QString filter =
        (account.isEmpty() ? QString() : QStringLiteral(" AND (SINTKONTO ='%1')").arg(account)) +
        QStringLiteral(" AND F.ImeGrupe='%1'").arg(group);
    return QStringLiteral("SELECT '%1 '+LTRIM(str(GODINAKNJ)) as Godina,").arg(word) +
           cols.join(u',') + QStringLiteral(" From dbo.") + table +
           QStringLiteral(" P INNER JOIN dbo.FinPrihRash F ON P.BrojPoduzeca=F.BrojPoduzeca AND "
                          "P.GodinaKnj=F.Godina AND P.SintKonto=F.Konto WHERE") +
           (kind == 'R' ? QStringLiteral("  ") : QStringLiteral(" ")) +
           QStringLiteral("P.BROJPODUZECA=1") + filter + QStringLiteral(" AND GODINAKNJ>=") + y1 +
           QStringLiteral(" AND GODINAKNJ<=") + y2 +
           (kind == 'R' ? QStringLiteral(" GROUP BY GODINAKNJ")
                        : QStringLiteral("  GROUP BY GODINAKNJ"));
}

/// The group share data set of the income accounts 7500 and 7501.
inline QString groupShare(const QString &table, const QString &y1, const QString &y2)
{
    QStringList cols;
    for (int m = 1; m <= 12; ++m)
        cols << QStringLiteral("SUM(P.POT%1) as Mj%1").arg(mm(m));
    return QStringLiteral("SELECT P.GODINAKNJ as Godina,P.SintKonto as Konto,K.NazivKonta,"
                          "P.ANALKONTO as Komit,KM.ImeKomit1 as Komitent,") +
           cols.join(u',') + QStringLiteral(" From dbo.") + table +
           QStringLiteral(" P INNER JOIN dbo.KONTO K ON P.BrojPoduzeca=K.BrojPoduzeca AND "
                          "P.SINTKONTO=K.SIFKONTA AND P.GODINAKNJ=K.GODINAKNJ INNER JOIN "
                          "dbo.KOMITENT KM ON P.ANALKONTO=KM.SifKomit WHERE P.BROJPODUZECA=1  "
                          "AND (P.SINTKONTO='7500' OR P.SINTKONTO='7501')  AND P.GODINAKNJ>=") +
           y1 + QStringLiteral(" AND P.GODINAKNJ<=") + y2 +
           QStringLiteral("  GROUP BY P.GODINAKNJ,P.SintKonto,K.NazivKonta,P.ANALKONTO,"
                          "KM.ImeKomit1");
}

/// Plan 1's income against its realisation in year y, with or without the account condition
/// that the plan's rows give.
inline QString realisation(const QString &y, bool accountCondition)
{
    QStringList plan, real;
    for (int m = 1; m <= 12; ++m) {
        plan << QStringLiteral("SUM(Iznos%1) as Mj%1").arg(mm(m));
        real << QStringLiteral("SUM(POT%1) as Mj%1").arg(mm(m));
    }
    return QStringLiteral("SELECT 'PLAN_%1' AS Godina,").arg(y) + plan.join(u',') +
           QStringLiteral(" FROM dbo.FinPlan  WHERE BROJPODUZECA=1 AND GODINAKNJ=") + y +
           QStringLiteral(" and brojplana=1 AND TIP='P'  UNION SELECT 'REAL_%1' AS Godina,")
               .arg(y) +
           real.join(u',') +
           QStringLiteral(" From dbo.PROMET WHERE BROJPODUZECA=1 AND GODINAKNJ=") + y +
           (accountCondition ? QStringLiteral(" AND ( (SINTKONTO='7500' AND ANALKONTO=0) OR  "
                                              "(SINTKONTO='1200' AND ANALKONTO=3) ) ")
                             : QString());
}

} // namespace WindowStatements
