#include "planstatements.h"

#include "book/sqltext.h"

namespace PlanSql {

using SqlText::number;
using SqlText::partnerCode;
using SqlText::text;

namespace {

QString tip(const QString &side)
{
    return QStringLiteral(" AND TIP='") + text(side) + u'\'';
}

QString fillFrom(const QString &column, const QString &side, const Scope &s)
{
    return QStringLiteral("SELECT DISTINCT TOP 100 PERCENT ") + column +
           QStringLiteral(" From dbo.FINPLAN Where BrojPoduzeca = ") + number(s.firm) +
           QStringLiteral(" And GODINAKNJ=") + s.year + QStringLiteral(" and brojplana=") +
           number(s.plan) + tip(side);
}

bool isSide(const QString &side)
{
    return side == u"P" || side == u"R";
}

bool monthsHaveColumns(qint16 first, qint16 last)
{
    return first >= 1 && last <= 12 && first <= last;
}

QString monthColumns(qint16 first, qint16 last, const QString &prefix)
{
    QString out;
    for (int m = first; m <= last; ++m) {
        const QString mm = SqlText::twoDigits(m);
        out += QStringLiteral("SUM(") + prefix + mm + QStringLiteral(") as Mj") + mm + u',';
    }
    out.chop(1);
    return out;
}

} // namespace

QString groupFill(const QString &side, const Scope &s)
{
    return fillFrom(QStringLiteral("GRUPA"), side, s) + QStringLiteral(" ORDER BY GRUPA");
}

QString subgroupFill(const QString &side, const QString &group, const Scope &s)
{
    return fillFrom(QStringLiteral("PODGRUPA"), side, s) + QStringLiteral(" AND GRUPA='") +
           text(group) + QStringLiteral("' AND PODGRUPA<>'' ORDER BY PODGRUPA");
}

QString analyticFill(const QString &side, const QString &group, const QString &subgroup,
                     const Scope &s)
{
    return fillFrom(QStringLiteral("ANALITIKA"), side, s) + QStringLiteral(" AND GRUPA='") +
           text(group) + QStringLiteral("' AND PODGRUPA='") + text(subgroup) +
           QStringLiteral("' AND ANALITIKA<>'' ORDER BY ANALITIKA");
}

QString rootText(const QString &side)
{
    return side == u"P" ? QStringLiteral("Prihodi") : QStringLiteral("Rashodi");
}

QString nodeKey(const Node &node)
{
    static const char *const marks[] = {"****", "G***", "GP**", "GPA*"};
    const int level = qMin(int(node.names.size()), 3);
    return node.side + QLatin1String(marks[level]) + node.names.mid(0, 3).join(QString());
}

QString nodeTag(const Node &node)
{
    return (QStringList{rootText(node.side)} + node.names).join(QStringLiteral(" / "));
}

QString StupciPlana(qint16 first, qint16 last)
{
    return monthColumns(first, last, QStringLiteral("Iznos"));
}

QString StupciPrometa(qint16 first, qint16 last, const QString &side)
{
    return monthColumns(first, last, side);
}

QString UvjetCvora(const Node &node)
{
    if (!isSide(node.side) || node.names.size() > 3)
        return {};
    QString condition = QStringLiteral("TIP='") + node.side + u'\'';
    static const char *const columns[] = {"GRUPA", "PODGRUPA", "ANALITIKA"};
    for (int i = 0; i < node.names.size(); ++i)
        condition += QStringLiteral(" AND ") + QLatin1String(columns[i]) + QStringLiteral("='") +
                     text(node.names[i]) + u'\'';
    return QStringLiteral(" AND ") + condition + u' ';
}

QString accountPairs(const Node &node, const Scope &s)
{
    const QString condition = UvjetCvora(node);
    if (condition.isEmpty())
        return {};
    return QStringLiteral("SELECT KONTO,KOMITENT FROM FINPLAN WHERE BROJPODUZECA=") +
           number(s.firm) + QStringLiteral(" AND GODINAKNJ=") + s.year +
           QStringLiteral(" and brojplana=") + number(s.plan) + condition;
}

QString UvjetKonta(const QVector<AccountPair> &pairs)
{
    QString out;
    for (const AccountPair &p : pairs) {
        // a plan line without a partner is the account's own turnover, partner 0; a partner
        // that is no number names none, and its line reads nothing
        const QString partner = partnerCode(p.second.isEmpty() ? QStringLiteral("0") : p.second);
        if (!partner.isEmpty())
            out += QStringLiteral(" (SINTKONTO='") + text(p.first) +
                   QStringLiteral("' AND ANALKONTO=") + partner + QStringLiteral(") OR ");
    }
    if (out.isEmpty())
        return QStringLiteral(" AND (1=0) ");
    out.chop(3);
    return QStringLiteral(" AND (") + out + QStringLiteral(") ");
}

QString UpitRealizacije(qint16 first, qint16 last, const Node &node, const Scope &s,
                        const QString &uvjetKonta)
{
    return QStringLiteral("SELECT 'REAL_") + s.year + QStringLiteral("' AS Godina,") +
           StupciPrometa(first, last,
                         node.side == u"P" ? QStringLiteral("POT") : QStringLiteral("DUG")) +
           QStringLiteral(" From dbo.PROMET WHERE BROJPODUZECA=") + number(s.firm) +
           QStringLiteral(" AND GODINAKNJ=") + s.year + uvjetKonta;
}

QString planChart(qint16 first, qint16 last, const Node &node, const Scope &s,
                  const QString &uvjetKonta)
{
    const QString condition = UvjetCvora(node);
    if (!monthsHaveColumns(first, last) || condition.isEmpty())
        return {};
    return QStringLiteral("SELECT 'PLAN_") + s.year + QStringLiteral("' AS Godina,") +
           StupciPlana(first, last) + QStringLiteral(" FROM dbo.FinPlan ") +
           QStringLiteral(" WHERE BROJPODUZECA=") + number(s.firm) +
           QStringLiteral(" AND GODINAKNJ=") + s.year + QStringLiteral(" and brojplana=") +
           number(s.plan) + condition + QStringLiteral(" UNION ") +
           UpitRealizacije(first, last, node, s, uvjetKonta);
}

} // namespace PlanSql
