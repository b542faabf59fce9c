#include "sqltext.h"

namespace SqlText {

QString text(const QString &value)
{
    return QString(value).replace(u'\'', QStringLiteral("''"));
}

QString number(qint64 value)
{
    return QString::number(value);
}

bool isPlainName(const QString &name)
{
    const QString t = name.trimmed();
    if (t.isEmpty() || t.size() > 128 || t[0].isDigit())
        return false;
    for (const QChar c : t)
        if (!(c.unicode() < 128 && (c.isLetterOrNumber() || c == u'_')))
            return false;
    return true;
}

QString table(const QString &name)
{
    return QStringLiteral("dbo.") + name;
}

QString partnerCode(const QString &code)
{
    const QString digits = code.trimmed();
    if (digits.isEmpty())
        return {};
    for (const QChar c : digits)
        if (c < u'0' || c > u'9')
            return {};
    return code;
}

QString yearRange(const QString &column, const QString &firstYear, const QString &lastYear)
{
    return QStringLiteral(" AND ") + column + QStringLiteral(">=") + firstYear +
           QStringLiteral(" AND ") + column + QStringLiteral("<=") + lastYear;
}

QString twoDigits(int m)
{
    return (QStringLiteral("00") + QString::number(m)).right(2);
}

QString KolonePoMjesecima(qint16 first, qint16 last, const QString &kind)
{
    QString out;
    for (int m = first; m <= last; ++m) {
        const QString mm = twoDigits(m);
        if (kind == u"D-P")
            out += QStringLiteral("SUM(DUG") + mm + u'-' + QStringLiteral("POT") + mm +
                   QStringLiteral(") as Mj") + mm + u',';
        else if (kind == u"P-D")
            out += QStringLiteral("SUM(POT") + mm + u'-' + QStringLiteral("DUG") + mm +
                   QStringLiteral(") as Mj") + mm + u',';
        else
            out += QStringLiteral("SUM(") + kind + mm + QStringLiteral(") as Mj") + mm + u',';
    }
    out.chop(1);
    return out;
}

QString KolonePoMjesecimaKumulativno(qint16 first, qint16 last, const QString &kind)
{
    QString out;
    for (int m = first; m <= last; ++m) {
        out += QStringLiteral("SUM(");
        for (int k = 0; k <= m; ++k) {
            const QString kk = twoDigits(k);
            if (kind == u"D-P")
                out += QStringLiteral("DUG") + kk + u'-' + QStringLiteral("POT") + kk;
            else
                out += QStringLiteral("POT") + kk + u'-' + QStringLiteral("DUG") + kk;
            if (k < m)
                out += u'+';
        }
        out += QStringLiteral(") as Mj") + twoDigits(m) + u',';
    }
    out.chop(1);
    return out;
}

QString partnerFill(const QString &table, int firm, const QString &account,
                    const QString &firstYear, const QString &lastYear)
{
    return QStringLiteral("SELECT DISTINCT TOP 100 PERCENT RTRIM(K.ImeKomit1) + ' ' + "
                          "RTRIM(M.MJESTOKOM) AS Naziv, P.ANALKONTO FROM ") +
           SqlText::table(table) +
           QStringLiteral(" P INNER JOIN dbo.KOMITENT K ON P.ANALKONTO = K.SifKomit INNER JOIN "
                          "dbo.PTTMJESTA M ON K.PTTBROJKOM = "
                          "M.PTTBROJKOM WHERE P.BROJPODUZECA=") +
           number(firm) + QStringLiteral(" AND SINTKONTO='") + text(account) + u'\'' +
           yearRange(QStringLiteral("P.GODINAKNJ"), firstYear, lastYear) +
           QStringLiteral(" ORDER BY Naziv");
}

} // namespace SqlText
