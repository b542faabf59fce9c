#include "incexpstatements.h"

#include "book/sqltext.h"

#include <cmath>

namespace IncExpSql {

using SqlText::number;
using SqlText::partnerCode;
using SqlText::table;
using SqlText::text;
using SqlText::yearRange;

Kind kindOfKey(const QString &groupKey)
{
    const QString letter = groupKey.right(1);
    return letter == u"P" ? Kind::Income : letter == u"R" ? Kind::Expense : Kind::Balance;
}

Kind kindOfTag(const QString &tag)
{
    if (tag == u"SviPrihodi" || tag == u"PrihKonto" || tag == u"PKomit")
        return Kind::Income;
    if (tag == u"SviRashodi" || tag == u"RashKonto" || tag == u"RKomit")
        return Kind::Expense;
    return Kind::Balance;
}

QString groupName(const QString &groupKey)
{
    return groupKey.left(groupKey.size() - 1);
}

QString PadR(const QString &value, int width)
{
    return (value + QString(qMax(0, width), u' ')).left(qMax(0, width));
}

QString PadL(const QString &value, int width)
{
    // a text longer than the field keeps its beginning
    return (QString(qMax(0, width - int(value.size())), u' ') + value).left(qMax(0, width));
}

QString PadC(const QString &value, int width)
{
    const QString t = value.trimmed();
    const int free = qMax(0, width - int(t.size()));
    const int half = int(std::nearbyint(free / 2.0)); // halves to the even number
    const QString blanks(half, u' ');
    return (blanks + t + blanks).left(qMax(0, width));
}

QString accountOfKey(const QString &accountNodeKey)
{
    return accountNodeKey.left(8).trimmed();
}

QString groupList(int firm, int year)
{
    return QStringLiteral("SELECT DISTINCT IMEGRUPE FROM FINPRIHRASH WHERE GODINA=") +
           number(year) + QStringLiteral(" AND BROJPODUZECA=") + number(firm);
}

QString groupAccounts(const QString &groupKey, int firm, int year)
{
    return QStringLiteral("SELECT F.ImeGrupe,F.Konto,K.NAZIVKONTA FROM dbo.FinPrihRash F INNER "
                          "JOIN dbo.KONTO K ON F.BrojPoduzeca=K.BrojPoduzeca AND "
                          "F.Konto=K.SIFKONTA AND F.Godina=K.GODINAKNJ WHERE F.IMEGRUPE='") +
           text(groupKey) + QStringLiteral("' AND F.GODINA=") + number(year) +
           QStringLiteral(" AND F.BROJPODUZECA=") + number(firm);
}

namespace {

QString columns(Kind kind, qint16 first, qint16 last)
{
    return SqlText::KolonePoMjesecima(first, last,
                                      kind == Kind::Income    ? QStringLiteral("POT")
                                      : kind == Kind::Expense ? QStringLiteral("DUG")
                                                              : QStringLiteral("P-D"));
}

QString head(Kind kind, bool partner)
{
    const char *word = kind == Kind::Income    ? "PRIH "
                       : kind == Kind::Expense ? "RASH "
                       : partner               ? "Saldo "
                                               : "PRIH-RASH ";
    return QStringLiteral("SELECT '") + QLatin1String(word) +
           QStringLiteral("'+LTRIM(str(GODINAKNJ)) as Godina,");
}

QString years(const Scope &s)
{
    return yearRange(QStringLiteral("GODINAKNJ"), s.firstYear, s.lastYear);
}

// H + columns + " From dbo." + table + J + firm + filter + years + G
QString joined(Kind kind, const QString &filter, qint16 first, qint16 last, const Scope &s)
{
    const QString join =
        QStringLiteral(" P INNER JOIN dbo.FinPrihRash F ON P.BrojPoduzeca=F.BrojPoduzeca AND "
                       "P.GodinaKnj=F.Godina AND P.SintKonto=F.Konto WHERE");
    const bool expense = kind == Kind::Expense;
    return head(kind, false) + columns(kind, first, last) + QStringLiteral(" From ") +
           table(s.table) + join + (expense ? QStringLiteral("  ") : QStringLiteral(" ")) +
           QStringLiteral("P.BROJPODUZECA=") + number(s.firm) + filter + years(s) +
           (expense ? QStringLiteral(" GROUP BY GODINAKNJ")
                    : QStringLiteral("  GROUP BY GODINAKNJ"));
}

} // namespace

QString groupChart(Kind kind, const QString &groupKey, qint16 firstMonth, qint16 lastMonth,
                   const Scope &s)
{
    return joined(kind, QStringLiteral(" AND F.ImeGrupe='") + text(groupKey) + u'\'', firstMonth,
                  lastMonth, s);
}

QString accountChart(Kind kind, const QString &account, const QString &groupKey, qint16 firstMonth,
                     qint16 lastMonth, const Scope &s)
{
    return joined(kind,
                  QStringLiteral(" AND (SINTKONTO ='") + text(account.trimmed()) +
                      QStringLiteral("')") + QStringLiteral(" AND F.ImeGrupe='") + text(groupKey) +
                      u'\'',
                  firstMonth, lastMonth, s);
}

QString partnerChart(Kind kind, const QString &account, const QString &partner, qint16 firstMonth,
                     qint16 lastMonth, const Scope &s)
{
    if (partnerCode(partner).isEmpty())
        return {};
    return head(kind, true) + columns(kind, firstMonth, lastMonth) + QStringLiteral(" From ") +
           table(s.table) +
           (kind == Kind::Expense ? QStringLiteral(" WHERE  BROJPODUZECA=")
                                  : QStringLiteral(" WHERE BROJPODUZECA=")) +
           number(s.firm) + QStringLiteral(" AND (SINTKONTO='") + text(account.trimmed()) +
           QStringLiteral("') AND ANALKONTO=") + partnerCode(partner) + years(s) +
           QStringLiteral("  GROUP BY GODINAKNJ");
}

QString deleteGroup(const QString &groupKey, int firm, int year)
{
    return QStringLiteral("DELETE FROM FINPRIHRASH WHERE IMEGRUPE='") + text(groupKey) +
           QStringLiteral("' AND BROJPODUZECA=") + number(firm) + QStringLiteral(" AND GODINA=") +
           number(year);
}

QString chartOfAccounts(int firm, int year)
{
    return QStringLiteral("SELECT SIFKONTA,NAZIVKONTA FROM KONTO WHERE BROJPODUZECA=") +
           number(firm) + QStringLiteral(" AND GODINAKNJ=") + number(year) +
           QStringLiteral(" AND LEN(RTRIM(SIFKONTA))>3");
}

QString groupRows(const QString &groupKey, int firm)
{
    return QStringLiteral("SELECT * FROM FINPRIHRASH WHERE IMEGRUPE='") + text(groupKey) +
           QStringLiteral("' AND BROJPODUZECA=") + number(firm);
}

QString shareAccountCondition(const QStringList &accounts)
{
    if (accounts.isEmpty())
        return {};
    QString terms;
    for (const QString &a : accounts)
        terms += QStringLiteral("P.") + QStringLiteral("SINTKONTO='") + text(a) +
                 QStringLiteral("' OR ");
    terms.chop(3);
    return QStringLiteral(" AND (") + terms + QStringLiteral(") ");
}

QString shareColumns(Kind kind, qint16 first, qint16 last)
{
    QStringList columns;
    for (int m = first; m <= last; ++m) {
        const QString mm = SqlText::twoDigits(m);
        const QString sum = kind == Kind::Income    ? QStringLiteral("P.POT") + mm
                            : kind == Kind::Expense ? QStringLiteral("P.DUG") + mm
                                                    : QStringLiteral("P.POT") + mm + u'-' +
                                                          QStringLiteral("P.DUG") + mm;
        columns << QStringLiteral("SUM(") + sum + QStringLiteral(") as Mj") + mm;
    }
    return columns.join(u',');
}

QString shareData(const QString &accountCondition, const QString &monthColumns, const Scope &s)
{
    return QStringLiteral("SELECT P.GODINAKNJ as Godina,P.SintKonto as Konto,K.NazivKonta,"
                          "P.ANALKONTO as Komit,KM.ImeKomit1 as Komitent,") +
           monthColumns + QStringLiteral(" From ") + table(s.table) +
           QStringLiteral(" P INNER JOIN dbo.KONTO K ON P.BrojPoduzeca=K.BrojPoduzeca AND "
                          "P.SINTKONTO=K.SIFKONTA AND P.GODINAKNJ=K.GODINAKNJ LEFT OUTER JOIN "
                          "dbo.KOMITENT KM ON P.ANALKONTO=KM.SifKomit WHERE P.BROJPODUZECA=") +
           number(s.firm) + u' ' + accountCondition +
           yearRange(QStringLiteral("P.GODINAKNJ"), s.firstYear, s.lastYear) +
           QStringLiteral("  GROUP BY P.GODINAKNJ,P.SintKonto,K.NazivKonta,P.ANALKONTO,"
                          "KM.ImeKomit1");
}

namespace {

// The account a copied row gets: its own, or the translated code from the chart of the year before
// the current one.
QString carriedAccount(int translation, int currentYear)
{
    if (translation == 0)
        return QStringLiteral("F.Konto");
    return QStringLiteral("(SELECT ") +
           (translation == 1 ? QStringLiteral("SifKonta1") : QStringLiteral("SifKonta2")) +
           QStringLiteral(" FROM dbo.Konto K WHERE K.SifKonta=F.Konto AND "
                          "K.BrojPoduzeca=F.BrojPoduzeca AND K.GodinaKnj=") +
           number(currentYear - 1) + u')';
}

QString sourceRows(int firm, int sourceYear)
{
    return QStringLiteral(" FROM dbo.FinPrihRash F WHERE F.BrojPoduzeca=") + number(firm) +
           QStringLiteral(" AND F.Godina=") + number(sourceYear);
}

} // namespace

QString carryOver(int translation, int firm, int currentYear, int sourceYear)
{
    return QStringLiteral("INSERT dbo.FinPrihRash SELECT DISTINCT S.BrojPoduzeca,S.ImeGrupe,"
                          "S.Konto,S.Godina FROM (SELECT F.BrojPoduzeca,F.ImeGrupe,") +
           carriedAccount(translation, currentYear) + QStringLiteral(" AS Konto,") +
           number(currentYear) + QStringLiteral(" AS Godina") + sourceRows(firm, sourceYear) +
           QStringLiteral(") S WHERE LTRIM(RTRIM(S.Konto))<>'' AND NOT EXISTS (SELECT 1 FROM "
                          "dbo.FinPrihRash X WHERE X.BrojPoduzeca=S.BrojPoduzeca AND "
                          "X.ImeGrupe=S.ImeGrupe AND X.Konto=S.Konto AND X.Godina=S.Godina)");
}

QString carryOverLeftOut(int translation, int firm, int currentYear, int sourceYear)
{
    return QStringLiteral("SELECT F.ImeGrupe,F.Konto") + sourceRows(firm, sourceYear) +
           QStringLiteral(" AND COALESCE(LTRIM(RTRIM(") + carriedAccount(translation, currentYear) +
           QStringLiteral(")),'')='' ORDER BY F.ImeGrupe,F.Konto");
}

} // namespace IncExpSql
