#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

/// The statements of the plan windows: the plan tree's levels and the plan beside its
/// realisation. Names and codes spliced in have their apostrophes doubled; numbers arrive as plain
/// decimal text.
namespace PlanSql {

/// Which plan, of which firm and year, the statements read.
struct Scope
{
    int firm = 0;
    int plan = 0;
    QString year; ///< plain decimal
};

/// A node of the plan tree as the statements see it: its side, "P" income or "R" expense, and
/// the names from the group down to the node (none for a root, up to group, subgroup and
/// analytic item).
struct Node
{
    QString side;
    QStringList names;
};

// The tree: the levels below a root, each in the order of its names.
QString groupFill(const QString &side, const Scope &s);
QString subgroupFill(const QString &side, const QString &group, const Scope &s);
QString analyticFill(const QString &side, const QString &group, const QString &subgroup,
                     const Scope &s);

/// The node's key: the side, the level's marks ("****", "G***", "GP**", "GPA*") and its names
/// joined without a separator.
QString nodeKey(const Node &node);
/// The node's tag: the root's text and the names, " / " between them.
QString nodeTag(const Node &node);
/// The root's text: "Prihodi" for the income side, "Rashodi" for the expense side.
QString rootText(const QString &side);

/// The plan's month columns, SUM(Iznos01) as Mj01,...; empty when first > last.
QString StupciPlana(qint16 first, qint16 last);
/// The turnover's month columns on one side, "POT" or "DUG".
QString StupciPrometa(qint16 first, qint16 last, const QString &side);
/// The node's condition on the plan table, " AND TIP='P' AND GRUPA='...' "; empty for a node that
/// is none of the four levels.
QString UvjetCvora(const Node &node);

/// The accounts and partners the node's plan rows name.
QString accountPairs(const Node &node, const Scope &s);
/// An account code (KONTO) and a partner code (KOMITENT) as the plan row holds them.
using AccountPair = QPair<QString, QString>;
/// The condition on the turnover for those pairs. With no pair, a condition that no turnover row
/// meets: what no account was planned for was not realised on this node.
QString UvjetKonta(const QVector<AccountPair> &pairs);
/// The realisation: credit turnover for an income node, debit for an expense node, of the
/// accounts in the account condition.
QString UpitRealizacije(qint16 first, qint16 last, const Node &node, const Scope &s,
                        const QString &uvjetKonta);
/// The plan beside its realisation, one row each; empty when the months give no column or the
/// node has no condition.
QString planChart(qint16 first, qint16 last, const Node &node, const Scope &s,
                  const QString &uvjetKonta);

} // namespace PlanSql
