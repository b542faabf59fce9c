#include "bookstatements.h"

#include "distinctrewrite.h"
#include "summaryrewrite.h"
#include "turnoversummary.h"

#include "platform/data/pristuppodacima.h"

#include <QHash>

#include <memory>
#include <optional>

namespace BookStatements {

namespace {

bool &summariesUsed()
{
    static bool used = true;
    return used;
}

// The statement rewritten for a book with summaries, or nothing when it runs as the adapter makes
// it.
std::optional<TSqlAdapter::Result>
rewritten(const QString &tsql, const QVector<SummaryTable> &summaries, const QSet<QString> &rowKeys)
{
    if (summaries.isEmpty())
        return std::nullopt;
    const QVector<TSqlAdapter::Token> t = TSqlAdapter::tokenize(tsql);
    const QString fromSummary = SummaryRewrite::rewrite(t, summaries);
    if (!fromSummary.isEmpty()) {
        TSqlAdapter::Result r = TSqlAdapter::adapt(fromSummary);
        r.via = QStringLiteral("iz sažetka");
        return r;
    }
    const QString narrowed = DistinctRewrite::rewrite(t, summaries, rowKeys);
    if (!narrowed.isEmpty())
        return TSqlAdapter::adapt(narrowed);
    return std::nullopt;
}

// What a connection to one book knows of it, found as it opened, and its statements so far.
struct Book
{
    sqlite3 *db = nullptr;
    QString schema;
    QVector<SummaryTable> summaries;
    QSet<QString> rowKeys;
    QHash<QString, std::optional<TSqlAdapter::Result>> rewrites;
};

cPristupPodacima::StatementHook hookFor(sqlite3 *db, const QString &schema)
{
    auto book = std::make_shared<Book>();
    book->db = db;
    book->schema = schema;
    book->summaries = TurnoverSummary::usable(db, schema);
    if (book->summaries.isEmpty())
        return {};
    book->rowKeys = DistinctRewrite::rowKeys(db, schema);
    return [book](const QString &sql) -> std::optional<TSqlAdapter::Result> {
        if (!summariesUsed())
            return std::nullopt;
        // A window re-runs the same few statements on every redraw: rewrite each text once.
        auto it = book->rewrites.constFind(sql);
        if (it == book->rewrites.constEnd()) {
            if (book->rewrites.size() >= 512)
                book->rewrites.clear();
            it = book->rewrites.insert(sql, rewritten(sql, book->summaries, book->rowKeys));
        }
        // a key holding an amount kept out of the summary's sums is read from its rows
        if (*it && !(*it)->via.isEmpty())
            for (const SummaryTable &s : book->summaries)
                if (TurnoverSummary::readsRows(book->db, book->schema, s))
                    return std::nullopt;
        return *it;
    };
}

} // namespace

TSqlAdapter::Result adapt(const QString &tsql, const QVector<SummaryTable> &summaries,
                          const QSet<QString> &rowKeys)
{
    const std::optional<TSqlAdapter::Result> r = rewritten(tsql, summaries, rowKeys);
    return r ? *r : TSqlAdapter::adapt(tsql);
}

void install()
{
    cPristupPodacima::setConnectionHook(hookFor);
}

void setSummariesUsed(bool use)
{
    summariesUsed() = use;
}

} // namespace BookStatements
