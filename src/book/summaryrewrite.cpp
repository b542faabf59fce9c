#include "summaryrewrite.h"

#include "platform/data/tokenwords.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <initializer_list>
#include <utility>

// Why the rules below are enough. A summary row holds, for one firm, year and account code, the
// number of turnover rows and the SUM of each month amount over them. A statement gives the same
// answer from the summary when
// - every condition, join and grouping sees only firm, year and account, which are the same for
//   all the rows a summary row stands for, so a summary row passes exactly where its rows pass;
// - every amount sits inside SUM, as one amount or a sum and difference of amounts (the sum of the
//   rows' sums is the sum of the rows; SUM skips NULLs, and a summary sum is NULL only when every
//   amount behind it is; an expression of several amounts only where none can be NULL);
// - the result is made of groups or distinct values, so how many rows stood behind a summary row
//   does not show (no COUNT, AVG, MIN, MAX, no SUM of anything else, no rows of the table itself).
// Anything else, and anything this reading of the text does not know, keeps the turnover rows.

namespace SummaryRewrite {

namespace {

using namespace TSqlAdapter; // Token and the readings of tokenwords.h

// Words that take the statement out of what is read here, wherever they stand.
bool unknownGround(const QString &upper)
{
    return oneOf(upper, {"WITH",      "OVER",   "FILTER", "WINDOW", "HAVING",    "LIMIT",
                         "OFFSET",    "INTO",   "EXISTS", "VALUES", "RECURSIVE", "INDEXED",
                         "NATURAL",   "USING",  "CROSS",  "OUTER",  "FULL",      "RIGHT",
                         "INTERSECT", "EXCEPT", "ROWID",  "OID",    "_ROWID_",   "MATCH",
                         "REGEXP",    "RAISE",  "ROLLUP", "CUBE",   "PIVOT"});
}

// Keywords that may stand before "(" without being a function.
bool keywordBeforeParen(const QString &upper)
{
    return oneOf(upper, {"AND", "OR", "NOT", "IN", "WHEN", "THEN", "ELSE", "CASE", "BETWEEN", "IS",
                         "LIKE", "GLOB", "ESCAPE", "ON", "WHERE", "BY"});
}

// Keywords of expressions that name no column.
bool expressionKeyword(const QString &upper)
{
    return oneOf(upper, {"AND", "OR", "NOT", "NULL", "IS", "IN", "LIKE", "GLOB", "BETWEEN",
                         "ESCAPE", "CASE", "WHEN", "THEN", "ELSE", "END", "ASC", "DESC"});
}

// Functions of one row's values: they cannot tell a summary row from its turnover rows.
bool scalarFunction(const QString &upper)
{
    return oneOf(upper, {"LTRIM", "RTRIM", "TRIM", "STR", "LEFT", "RIGHT", "SUBSTRING", "SUBSTR",
                         "LEN", "LENGTH", "UPPER", "LOWER"});
}

// Words that end a table and its alias in FROM.
bool fromKeyword(const QString &upper)
{
    return oneOf(upper, {"INNER", "JOIN", "ON", "LEFT", "WHERE", "GROUP", "ORDER", "UNION", "AS",
                         "AND", "OR", "NOT", "SELECT", "FROM"});
}

bool keyColumn(const QString &upper)
{
    return upper == u"BROJPODUZECA" || upper == u"GODINAKNJ" || upper == u"SINTKONTO";
}

bool amountColumn(const QString &upper)
{
    static const QRegularExpression re(QStringLiteral("^(DUG|POT)(0[0-9]|1[0-2])$"));
    return re.match(upper).hasMatch();
}

const SummaryTable *findTable(const QVector<SummaryTable> &tables, const QString &name)
{
    for (const SummaryTable &t : tables)
        if (t.table.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

bool namesSummary(const QVector<SummaryTable> &tables, const QString &word)
{
    for (const SummaryTable &t : tables)
        if (t.summary.compare(word, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// The parts of one SELECT, as ranges of significant tokens.
struct Range
{
    int from = -1;
    int to = -1; // one past the last
    bool present() const { return from >= 0; }
};

class Statement
{
public:
    Statement(const QVector<Token> &all, const QVector<SummaryTable> &tables)
        : m_all(all), m_tables(tables)
    {
        for (int i = 0; i < all.size(); ++i)
            if (all[i].kind != Token::Space && all[i].kind != Token::Comment) {
                m_t.append(all[i]);
                m_at.append(i);
            }
    }

    QString rewritten()
    {
        if (!analyse() || m_replace.isEmpty())
            return {};
        QString out;
        for (int i = 0; i < m_all.size(); ++i)
            out += m_replace.value(i, m_all[i].text);
        return out;
    }

private:
    enum class Mode { Select, Filter, GroupBy, OrderBy };

    // What one SELECT of the statement reads of its turnover table.
    struct Core
    {
        Range select, from, where, groupBy, orderBy;
        bool distinct = false;
        const SummaryTable *table = nullptr; // the turnover table it reads, if any
        QString qualifier;                   // the name its columns are qualified with
        QStringList otherQualifiers;
        bool aggregate = false;
        QSet<QString> outsideSum; // column references of the select list outside SUM
        QSet<QString> grouped;    // the GROUP BY columns
        QSet<QString> selected;   // select items that are a bare column
        QSet<QString> aliases;
    };

    int size() const { return int(m_t.size()); }
    const Token &at(int k) const { return m_t[k]; }
    bool punctAt(int k, QChar c) const { return k >= 0 && k < size() && isPunct(m_t[k], c); }
    bool wordAt(int k, const char *w) const { return k >= 0 && k < size() && is(m_t[k], w); }

    int close(int open, int end) const
    {
        int depth = 0;
        for (int k = open; k < end; ++k) {
            if (isPunct(m_t[k], u'('))
                ++depth;
            else if (isPunct(m_t[k], u')') && --depth == 0)
                return k;
        }
        return -1;
    }

    bool analyse()
    {
        // Nothing the reading below does not follow: quoted names, several statements, words of
        // other constructs, the summary itself.
        int depth = 0;
        QVector<int> depthAt(size());
        for (int k = 0; k < size(); ++k) {
            const Token &t = m_t[k];
            if (t.kind == Token::Quoted || isPunct(t, u';'))
                return false;
            if (t.kind == Token::Word) {
                const QString upper = t.text.toUpper();
                if (unknownGround(upper) || upper.startsWith(QLatin1String("SAZ_")) ||
                    namesSummary(m_tables, t.text))
                    return false;
                if (upper == u"LEFT" && !punctAt(k + 1, u'('))
                    return false; // LEFT JOIN
            }
            if (isPunct(t, u'('))
                ++depth;
            depthAt[k] = depth;
            if (isPunct(t, u')') && --depth < 0)
                return false;
        }
        if (depth != 0 || size() == 0 || !is(m_t[0], "SELECT"))
            return false;

        // The SELECTs of a UNION; every SELECT at the top, so no subquery.
        QVector<int> starts;
        for (int k = 0; k < size(); ++k) {
            if (!is(m_t[k], "SELECT"))
                continue;
            if (depthAt[k] != 0)
                return false;
            if (k > 0) {
                const int u = wordAt(k - 1, "ALL") ? k - 2 : k - 1;
                if (!wordAt(u, "UNION"))
                    return false;
            }
            starts.append(k);
        }
        QVector<Core> cores;
        for (int i = 0; i < starts.size(); ++i) {
            int end = i + 1 < starts.size() ? starts[i + 1] - 1 : size();
            if (i + 1 < starts.size() && wordAt(end - 1, "UNION"))
                --end;
            Core c;
            Range order;
            for (int k = starts[i]; k < end; ++k)
                if (depthAt[k] == 0 && is(m_t[k], "ORDER")) {
                    if (i + 1 < starts.size() || !wordAt(k + 1, "BY"))
                        return false;
                    order = Range{k + 2, end};
                    end = k;
                    break;
                }
            if (!readCore(starts[i], end, depthAt, &c))
                return false;
            c.orderBy = order;
            cores.append(c);
        }

        bool any = false;
        for (Core &c : cores) {
            if (!c.table)
                continue;
            any = true;
            if (!checkCore(c))
                return false;
        }
        if (!any)
            return false;
        const Core &last = cores.last();
        if (last.orderBy.present()) {
            if (cores.size() == 1 ? !checkOrderBy(cores[0])
                                  : !checkCompoundOrderBy(last.orderBy, cores))
                return false;
        }
        return true;
    }

    // Splits one SELECT into its clauses and reads its FROM.
    bool readCore(int begin, int end, const QVector<int> &depthAt, Core *c)
    {
        int k = begin + 1;
        if (wordAt(k, "DISTINCT")) {
            c->distinct = true;
            ++k;
        } else if (wordAt(k, "ALL")) {
            ++k;
        }
        if (wordAt(k, "TOP")) {
            if (!(k + 2 < end && at(k + 1).kind == Token::Number && at(k + 1).text == u"100" &&
                  is(at(k + 2), "PERCENT")))
                return false;
            k += 3;
        }
        int from = -1, where = -1, group = -1;
        for (int j = k; j < end; ++j) {
            if (depthAt[j] != 0 || at(j).kind != Token::Word)
                continue;
            if (is(at(j), "FROM") && from < 0 && where < 0 && group < 0)
                from = j;
            else if (is(at(j), "WHERE") && from >= 0 && where < 0 && group < 0)
                where = j;
            else if (is(at(j), "GROUP") && from >= 0 && group < 0 && wordAt(j + 1, "BY"))
                group = j;
            else if (is(at(j), "FROM") || is(at(j), "WHERE") || is(at(j), "GROUP") ||
                     is(at(j), "TOP") || is(at(j), "DISTINCT"))
                return false;
        }
        const int selectEnd = from >= 0 ? from : end;
        c->select = Range{k, selectEnd};
        if (from < 0)
            return !mentionsTurnover(begin, end);
        const int fromEnd = where >= 0 ? where : (group >= 0 ? group : end);
        c->from = Range{from + 1, fromEnd};
        if (where >= 0)
            c->where = Range{where + 1, group >= 0 ? group : end};
        if (group >= 0)
            c->groupBy = Range{group + 2, end};
        if (!readFrom(c))
            return false;
        if (!c->table && mentionsTurnover(begin, end))
            return false;
        return true;
    }

    bool mentionsTurnover(int begin, int end) const
    {
        for (int k = begin; k < end; ++k)
            if (at(k).kind == Token::Word && findTable(m_tables, at(k).text))
                return true;
        return false;
    }

    // FROM table [[AS] alias] {[INNER] JOIN table [[AS] alias] ON condition}
    bool readFrom(Core *c)
    {
        int k = c->from.from;
        const int end = c->from.to;
        bool first = true;
        while (k < end) {
            if (!first) {
                if (wordAt(k, "INNER"))
                    ++k;
                if (!wordAt(k, "JOIN"))
                    return false;
                ++k;
            }
            // the table, with dbo. or without a schema
            if (k >= end || at(k).kind != Token::Word)
                return false;
            int nameAt = k;
            QString schema;
            if (punctAt(k + 1, u'.')) {
                if (k + 2 >= end || at(k + 2).kind != Token::Word)
                    return false;
                schema = at(k).text;
                nameAt = k + 2;
            }
            k = nameAt + 1;
            QString alias;
            if (wordAt(k, "AS")) {
                if (k + 1 >= end || at(k + 1).kind != Token::Word)
                    return false;
                alias = at(k + 1).text;
                k += 2;
            } else if (k < end && at(k).kind == Token::Word && !fromKeyword(at(k).text.toUpper())) {
                alias = at(k).text;
                ++k;
            }
            const SummaryTable *t = findTable(m_tables, at(nameAt).text);
            if (t) {
                if (c->table || (!schema.isEmpty() &&
                                 schema.compare(QLatin1String("dbo"), Qt::CaseInsensitive) != 0))
                    return false;
                c->table = t;
                c->qualifier = alias.isEmpty() ? at(nameAt).text : alias;
                m_replace.insert(m_at[nameAt], alias.isEmpty() ? t->summary + u' ' + at(nameAt).text
                                                               : t->summary);
            } else {
                c->otherQualifiers << (alias.isEmpty() ? at(nameAt).text : alias);
            }
            if (!first) {
                if (!wordAt(k, "ON"))
                    return false;
                const int on = ++k;
                int depth = 0;
                while (k < end) {
                    if (isPunct(at(k), u'('))
                        ++depth;
                    else if (isPunct(at(k), u')'))
                        --depth;
                    else if (depth == 0 && (is(at(k), "INNER") || is(at(k), "JOIN")))
                        break;
                    ++k;
                }
                m_on.append(Range{on, k});
            } else if (k < end && !wordAt(k, "INNER") && !wordAt(k, "JOIN")) {
                return false; // a comma join or anything else
            }
            first = false;
        }
        return !first;
    }

    // Reads the column references of one clause. Returns false for what the summary cannot answer.
    bool walk(Core &c, Range r, Mode mode, QSet<QString> *refs)
    {
        for (int k = r.from; k < r.to;) {
            const Token &t = at(k);
            if (t.kind == Token::Punct && t.text == u"*" && mode == Mode::Select)
                return false;
            if (t.kind != Token::Word) {
                ++k;
                continue;
            }
            const QString upper = t.text.toUpper();
            if (punctAt(k + 1, u'.')) {
                if (k + 2 >= r.to || at(k + 2).kind != Token::Word || punctAt(k + 3, u'.'))
                    return false;
                const QString column = at(k + 2).text.toUpper();
                if (t.text.compare(c.qualifier, Qt::CaseInsensitive) == 0) {
                    if (!keyColumn(column) || !c.table->columns.contains(column))
                        return false;
                    refs->insert(QStringLiteral("T.") + column);
                } else if (c.otherQualifiers.contains(t.text, Qt::CaseInsensitive)) {
                    refs->insert(upper + u'.' + column);
                } else {
                    return false; // a table the FROM does not name
                }
                k += 3;
                continue;
            }
            if (punctAt(k + 1, u'(')) {
                if (keywordBeforeParen(upper)) {
                    ++k;
                    continue;
                }
                if (upper == u"SUM") {
                    const int end = close(k + 1, r.to);
                    if (end < 0 || (mode != Mode::Select && mode != Mode::OrderBy) ||
                        !sumOfAmounts(c, k + 2, end))
                        return false;
                    c.aggregate = true;
                    k = end + 1;
                    continue;
                }
                if (!scalarFunction(upper))
                    return false;
                ++k;
                continue;
            }
            if (upper == u"AS") {
                if (k + 1 >= r.to || at(k + 1).kind != Token::Word || mode != Mode::Select)
                    return false;
                const QString alias = at(k + 1).text.toUpper();
                if (c.table->columns.contains(alias) && !keyColumn(alias))
                    return false; // ORDER BY would read it as the alias, a reader as the column
                c.aliases.insert(alias);
                k += 2;
                continue;
            }
            if (upper == u"COLLATE") {
                k += 2;
                continue;
            }
            if (c.table->columns.contains(upper)) {
                if (!keyColumn(upper))
                    return false;
                refs->insert(QStringLiteral("T.") + upper);
            } else if (!expressionKeyword(upper)) {
                refs->insert(u'?' + upper); // a column of another table, or an alias
            }
            ++k;
        }
        return true;
    }

    // SUM of one month amount, or of sums and differences of amounts.
    bool sumOfAmounts(const Core &c, int from, int to) const
    {
        QSet<QString> amounts;
        for (int k = from; k < to; ++k) {
            const Token &t = at(k);
            if (isPunct(t, u'+') || isPunct(t, u'-') || isPunct(t, u'(') || isPunct(t, u')'))
                continue;
            if (t.kind != Token::Word)
                return false;
            if (punctAt(k + 1, u'.')) {
                if (t.text.compare(c.qualifier, Qt::CaseInsensitive) != 0)
                    return false;
                k += 2;
                if (k >= to || at(k).kind != Token::Word)
                    return false;
            }
            const QString column = at(k).text.toUpper();
            if (!amountColumn(column) || !c.table->columns.contains(column))
                return false;
            amounts.insert(column);
        }
        return !amounts.isEmpty() && (amounts.size() == 1 || c.table->amountsNotNull);
    }

    bool checkCore(Core &c)
    {
        for (const Range &on : std::as_const(m_on)) {
            QSet<QString> refs;
            if (on.from >= c.from.from && on.to <= c.from.to && !walk(c, on, Mode::Filter, &refs))
                return false;
        }
        QSet<QString> refs;
        if (c.where.present() && !walk(c, c.where, Mode::Filter, &refs))
            return false;
        if (!walk(c, c.select, Mode::Select, &c.outsideSum))
            return false;
        for (const Range &item : split(c.select)) {
            const QString ref = bareColumn(c, item, true);
            if (!ref.isEmpty())
                c.selected.insert(ref);
        }
        if (c.groupBy.present()) {
            for (const Range &item : split(c.groupBy)) {
                const QString ref = bareColumn(c, item, false);
                if (ref.isEmpty())
                    return false;
                c.grouped.insert(ref);
            }
            if (!walk(c, c.groupBy, Mode::GroupBy, &refs))
                return false;
        }
        if (c.aggregate || c.groupBy.present()) {
            for (const QString &ref : std::as_const(c.outsideSum))
                if (!c.grouped.contains(ref))
                    return false; // a value of whichever row SQLite meets first
            return true;
        }
        return c.distinct; // otherwise one row per turnover row
    }

    // The comma-separated items of a range.
    QVector<Range> split(Range r) const
    {
        QVector<Range> items;
        int depth = 0, start = r.from;
        for (int k = r.from; k < r.to; ++k) {
            if (isPunct(at(k), u'('))
                ++depth;
            else if (isPunct(at(k), u')'))
                --depth;
            else if (depth == 0 && isPunct(at(k), u',')) {
                items.append(Range{start, k});
                start = k + 1;
            }
        }
        items.append(Range{start, r.to});
        return items;
    }

    // The reference of an item that is a column alone (with an alias where allowed), else empty.
    QString bareColumn(const Core &c, Range item, bool aliasAllowed) const
    {
        int k = item.from;
        if (k >= item.to || at(k).kind != Token::Word)
            return {};
        QString ref;
        if (punctAt(k + 1, u'.')) {
            if (k + 2 >= item.to || at(k + 2).kind != Token::Word)
                return {};
            const QString column = at(k + 2).text.toUpper();
            ref = at(k).text.compare(c.qualifier, Qt::CaseInsensitive) == 0
                      ? QStringLiteral("T.") + column
                      : at(k).text.toUpper() + u'.' + column;
            k += 3;
        } else {
            const QString upper = at(k).text.toUpper();
            ref = c.table->columns.contains(upper) ? QStringLiteral("T.") + upper : u'?' + upper;
            k += 1;
        }
        if (aliasAllowed && wordAt(k, "AS"))
            k += 2;
        return k == item.to ? ref : QString();
    }

    // ORDER BY of a single SELECT: output aliases and positions, or columns that are grouped (or,
    // with DISTINCT, selected), so that no row's own value decides the order.
    bool checkOrderBy(Core &c)
    {
        for (const Range &item : split(c.orderBy)) {
            Range term = item;
            if (term.to > term.from && (is(at(term.to - 1), "ASC") || is(at(term.to - 1), "DESC")))
                --term.to;
            if (term.to - term.from == 1 && at(term.from).kind == Token::Number)
                continue;
            if (term.to - term.from == 1 && at(term.from).kind == Token::Word &&
                c.aliases.contains(at(term.from).text.toUpper()))
                continue;
            const QString ref = bareColumn(c, term, false);
            if (ref.isEmpty())
                return false;
            QSet<QString> refs;
            if (!walk(c, term, Mode::OrderBy, &refs))
                return false;
            const bool known = (c.aggregate || c.groupBy.present()) ? c.grouped.contains(ref)
                                                                    : c.selected.contains(ref);
            if (!known)
                return false;
        }
        return true;
    }

    // ORDER BY of a UNION names output columns only.
    bool checkCompoundOrderBy(Range order, const QVector<Core> &cores) const
    {
        for (const Range &item : split(order)) {
            Range term = item;
            if (term.to > term.from && (is(at(term.to - 1), "ASC") || is(at(term.to - 1), "DESC")))
                --term.to;
            if (term.to - term.from != 1)
                return false;
            const Token &t = at(term.from);
            if (t.kind == Token::Number)
                continue;
            if (t.kind != Token::Word)
                return false;
            bool alias = false;
            for (const Core &c : cores)
                alias = alias || c.aliases.contains(t.text.toUpper());
            if (!alias)
                return false;
        }
        return true;
    }

    const QVector<Token> &m_all;
    const QVector<SummaryTable> &m_tables;
    QVector<Token> m_t; // significant tokens
    QVector<int> m_at;  // their places in m_all
    QVector<Range> m_on;
    QHash<int, QString> m_replace; // token place -> new text
};

} // namespace

QString rewrite(const QVector<Token> &tokens, const QVector<SummaryTable> &tables)
{
    bool named = false;
    for (const Token &t : tokens)
        named = named || (t.kind == Token::Word && findTable(tables, t.text));
    if (!named)
        return {};
    return Statement(tokens, tables).rewritten();
}

} // namespace SummaryRewrite
