#include "turnoverstatements.h"

#include "book/sqltext.h"

namespace TurnoverSql {

using SqlText::KolonePoMjesecima;
using SqlText::KolonePoMjesecimaKumulativno;
using SqlText::number;
using SqlText::partnerCode;
using SqlText::table;
using SqlText::text;
using SqlText::yearRange;

namespace {

QString label(const char *prefix)
{
    return QStringLiteral("SELECT '") + QLatin1String(prefix) +
           QStringLiteral("'+LTRIM(str(GODINAKNJ)) as Godina,");
}

// " From dbo.T WHERE<blanks>BROJPODUZECA=F AND (SINTKONTO LIKE 'A%') AND GODINAKNJ>=Y1 AND
// GODINAKNJ<=Y2"
QString accountWhere(const Scope &s, const char *whereBlanks)
{
    return QStringLiteral(" From ") + table(s.table) + QStringLiteral(" WHERE") +
           QLatin1String(whereBlanks) + QStringLiteral("BROJPODUZECA=") + number(s.firm) +
           QStringLiteral(" AND (SINTKONTO LIKE '") + text(s.account) + QStringLiteral("%')") +
           yearRange(QStringLiteral("GODINAKNJ"), s.firstYear, s.lastYear);
}

QString partnerWhere(const Scope &s, const char *whereBlanks, bool prefix)
{
    return QStringLiteral(" From ") + table(s.table) + QStringLiteral(" WHERE") +
           QLatin1String(whereBlanks) + QStringLiteral("BROJPODUZECA=") + number(s.firm) +
           (prefix
                ? QStringLiteral(" AND (SINTKONTO LIKE '") + text(s.account) + QStringLiteral("%')")
                : QStringLiteral(" AND (SINTKONTO='") + text(s.account) + QStringLiteral("')")) +
           QStringLiteral(" AND ANALKONTO=") + partnerCode(s.partner) +
           yearRange(QStringLiteral("GODINAKNJ"), s.firstYear, s.lastYear);
}

const char *const kLabels[] = {"DUG ", "POT ", "DUG ", "SALDO (D-P) ", "SALDO (P-D) "};
const char *const kKinds[] = {"DUG", "POT", "DUG", "D-P", "P-D"};

} // namespace

QString topLevelFill(int firm, const QString &firstYear, const QString &lastYear)
{
    return QStringLiteral("SELECT DISTINCT TOP 100 PERCENT SIFKONTA AS Konto, NAZIVKONTA From "
                          "dbo.KONTO Where (BrojPoduzeca = ") +
           number(firm) + QStringLiteral(") And (Len(SIFKONTA) = 3)") +
           yearRange(QStringLiteral("GODINAKNJ"), firstYear, lastYear) +
           QStringLiteral(" ORDER BY KONTO");
}

QString analyticFill(const QString &table, int firm, const QString &account,
                     const QString &firstYear, const QString &lastYear)
{
    return QStringLiteral(
               "SELECT DISTINCT TOP 100 PERCENT P.SINTKONTO AS Konto, K.NAZIVKONTA FROM ") +
           SqlText::table(table) +
           QStringLiteral(" P INNER JOIN dbo.KONTO K ON P.BrojPoduzeca = K.BrojPoduzeca AND "
                          "P.SINTKONTO = K.SIFKONTA AND "
                          "P.GODINAKNJ = K.GODINAKNJ WHERE P.BROJPODUZECA= ") +
           number(firm) + QStringLiteral(" AND LEFT(SINTKONTO,3)='") + text(account) + u'\'' +
           yearRange(QStringLiteral("P.GODINAKNJ"), firstYear, lastYear) +
           QStringLiteral(" ORDER BY KONTO");
}

QString partnerFill(const QString &table, int firm, const QString &account,
                    const QString &firstYear, const QString &lastYear)
{
    return SqlText::partnerFill(table, firm, account, firstYear, lastYear);
}

QString accountChart(int kind, qint16 firstMonth, qint16 lastMonth, const Scope &s)
{
    if (kind < 0 || kind > 4)
        return {};
    const QString c = KolonePoMjesecima(firstMonth, lastMonth, QLatin1String(kKinds[kind]));
    switch (kind) {
    case 0:
        return label(kLabels[0]) + c + accountWhere(s, "  ") +
               QStringLiteral(" GROUP BY GODINAKNJ");
    case 1:
        return label(kLabels[1]) + c + accountWhere(s, " ") +
               QStringLiteral("  GROUP BY GODINAKNJ");
    case 2:
        return label("DUG ") + c + accountWhere(s, " ") +
               QStringLiteral("  GROUP BY GODINAKNJ UNION ") + label("POT ") +
               KolonePoMjesecima(firstMonth, lastMonth, QStringLiteral("POT")) +
               accountWhere(s, " ") + QStringLiteral("  GROUP BY GODINAKNJ");
    default:
        return label(kLabels[kind]) + c + accountWhere(s, " ") +
               QStringLiteral("  GROUP BY GODINAKNJ ");
    }
}

QString partnerChart(int kind, qint16 firstMonth, qint16 lastMonth, const Scope &s)
{
    if (kind < 0 || kind > 4 || partnerCode(s.partner).isEmpty())
        return {};
    const QString c = KolonePoMjesecima(firstMonth, lastMonth, QLatin1String(kKinds[kind]));
    const QString tail = QStringLiteral("  GROUP BY GODINAKNJ");
    switch (kind) {
    case 0:
        return label(kLabels[0]) + c + partnerWhere(s, "  ", false) + tail;
    case 2:
        return label("DUG ") + c + partnerWhere(s, " ", true) + tail + QStringLiteral(" UNION ") +
               label("POT ") + KolonePoMjesecima(firstMonth, lastMonth, QStringLiteral("POT")) +
               partnerWhere(s, " ", true) + tail;
    default:
        return label(kLabels[kind]) + c + partnerWhere(s, " ", false) + tail;
    }
}

QString cumulativeAccountChart(int kind, qint16 firstMonth, qint16 lastMonth, const Scope &s)
{
    if (kind < 0 || kind > 1)
        return {};
    const QString c = KolonePoMjesecimaKumulativno(
        firstMonth, lastMonth, kind == 0 ? QStringLiteral("D-P") : QStringLiteral("P-D"));
    if (kind == 0)
        return label("SALDO (D-P) ") + c + accountWhere(s, "  ") +
               QStringLiteral(" GROUP BY GODINAKNJ");
    return label("SALDO (P-D) ") + c + accountWhere(s, " ") +
           QStringLiteral("  GROUP BY GODINAKNJ");
}

QString cumulativePartnerChart(int kind, qint16 firstMonth, qint16 lastMonth, const Scope &s)
{
    if (kind < 0 || kind > 1 || partnerCode(s.partner).isEmpty())
        return {};
    const QString c = KolonePoMjesecimaKumulativno(
        firstMonth, lastMonth, kind == 0 ? QStringLiteral("D-P") : QStringLiteral("P-D"));
    return label(kind == 0 ? "SALDO (D-P) " : "SALDO (P-D) ") + c +
           partnerWhere(s, kind == 0 ? "  " : " ", false) + QStringLiteral("  GROUP BY GODINAKNJ");
}

} // namespace TurnoverSql
