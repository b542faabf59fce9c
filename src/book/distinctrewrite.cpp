#include "distinctrewrite.h"

#include "platform/data/tokenwords.h"

#include <QHash>
#include <QSet>

#include <sqlite3.h>

namespace DistinctRewrite {

namespace {

using namespace TSqlAdapter; // Token and the readings of tokenwords.h

// Words this reading does not follow, wherever they stand.
bool unknownGround(const QString &upper)
{
    return oneOf(upper,
                 {"WITH",         "OVER",       "FILTER",    "WINDOW",  "HAVING",    "LIMIT",
                  "OFFSET",       "INTO",       "EXISTS",    "VALUES",  "RECURSIVE", "UNION",
                  "GROUP",        "NATURAL",    "USING",     "CROSS",   "OUTER",     "FULL",
                  "RIGHT",        "LEFT",       "OR",        "BETWEEN", "CASE",      "INDEXED",
                  "ROWID",        "OID",        "_ROWID_",   "MATCH",   "REGEXP",    "RAISE",
                  "COUNT",        "SUM",        "AVG",       "MIN",     "MAX",       "TOTAL",
                  "GROUP_CONCAT", "STRING_AGG", "INTERSECT", "EXCEPT",  "SELECT"});
}

// Words of a condition that name no column.
bool conditionWord(const QString &upper)
{
    return oneOf(upper, {"AND",    "NOT",    "NULL",  "IS",    "IN",      "LIKE",      "GLOB",
                         "ESCAPE", "LTRIM",  "RTRIM", "TRIM",  "LEFT",    "SUBSTRING", "SUBSTR",
                         "LEN",    "LENGTH", "UPPER", "LOWER", "COLLATE", "NOCASE",    "BINARY"});
}

struct Statement
{
    QVector<Token> all;
    QVector<Token> t; // significant tokens
    QVector<int> at;  // their places in all
    const SummaryTable *table = nullptr;

    bool word(int k, const char *w) const { return k >= 0 && k < t.size() && is(t[k], w); }
    bool punct(int k, QChar c) const { return k >= 0 && k < t.size() && isPunct(t[k], c); }
};

} // namespace

QString rewrite(const QVector<Token> &tokens, const QVector<SummaryTable> &tables,
                const QSet<QString> &rowKeys)
{
    Statement s;
    s.all = tokens;
    // The text is put together in another order below: nothing whose end is not its own, no
    // comment (a line comment would take what follows it) and no literal left open.
    for (const Token &t : tokens)
        if (t.kind == Token::Comment ||
            (t.kind == Token::String && (t.text.count(u'\'') % 2 != 0 || !t.text.endsWith(u'\''))))
            return {};
    for (int i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind != Token::Space) {
            s.t.append(tokens[i]);
            s.at.append(i);
        }
    const int n = int(s.t.size());
    if (n < 4 || !s.word(0, "SELECT") || !s.word(1, "DISTINCT"))
        return {};
    if (s.word(2, "TOP") && !(n > 4 && s.t[3].text == u"100" && s.word(4, "PERCENT")))
        return {};
    // one SELECT, no subquery, nothing unknown; the depth of each token
    QVector<int> depth(n);
    int d = 0;
    for (int k = 0; k < n; ++k) {
        const Token &x = s.t[k];
        if (x.kind == Token::Quoted || isPunct(x, u';') || isPunct(x, u'*'))
            return {};
        if (x.kind == Token::Word && k > 0 && unknownGround(x.text.toUpper()))
            if (!(x.text.compare(QLatin1String("LEFT"), Qt::CaseInsensitive) == 0 &&
                  s.punct(k + 1, u'('))) // LEFT(text, n), not LEFT JOIN
                return {};
        if (isPunct(x, u'('))
            ++d;
        depth[k] = d;
        if (isPunct(x, u')'))
            --d;
    }
    int from = -1, where = -1, order = -1;
    for (int k = 2; k < n; ++k) {
        if (depth[k] != 0)
            continue;
        if (s.word(k, "FROM") && from < 0)
            from = k;
        else if (s.word(k, "WHERE") && from >= 0 && where < 0)
            where = k;
        else if (s.word(k, "ORDER") && s.word(k + 1, "BY") && from >= 0 && order < 0)
            order = k;
        else if (s.word(k, "FROM") || s.word(k, "WHERE") || s.word(k, "ORDER"))
            return {};
    }
    if (from < 0 || where < 0 || (order >= 0 && order < where))
        return {};
    const int whereEnd = order >= 0 ? order : n;

    // FROM [dbo.]table [[AS] alias] {[INNER] JOIN [dbo.]table [[AS] alias] ON condition}: the
    // turnover table first, and every table named apart.
    int k = from + 1;
    if (k >= n || s.t[k].kind != Token::Word)
        return {};
    const int tableBegin = k;
    QString schema;
    if (s.punct(k + 1, u'.')) {
        schema = s.t[k].text;
        k += 2;
        if (schema.compare(QLatin1String("dbo"), Qt::CaseInsensitive) != 0 || k >= n ||
            s.t[k].kind != Token::Word)
            return {};
    }
    for (const SummaryTable &candidate : tables)
        if (candidate.table.compare(s.t[k].text, Qt::CaseInsensitive) == 0)
            s.table = &candidate;
    if (!s.table)
        return {};
    ++k;
    if (s.word(k, "AS"))
        ++k;
    if (k >= where || s.t[k].kind != Token::Word || s.word(k, "INNER") || s.word(k, "JOIN"))
        return {}; // the narrowed rows need a name of their own
    const QString qualifier = s.t[k].text;
    const int tableEnd = ++k;
    QSet<QString> others;
    bool joinsOneRow = true; // each joined table gives at most one row for each row before it
    while (k < where) {
        if (s.word(k, "INNER"))
            ++k;
        if (!s.word(k, "JOIN"))
            return {};
        ++k;
        if (s.punct(k + 1, u'.'))
            k += 2;
        if (k >= where || s.t[k].kind != Token::Word)
            return {};
        for (const SummaryTable &other : tables)
            if (other.table.compare(s.t[k].text, Qt::CaseInsensitive) == 0)
                return {};
        const QString table = s.t[k].text.toUpper();
        QString name = s.t[k++].text;
        if (s.word(k, "AS"))
            ++k;
        if (k < where && s.t[k].kind == Token::Word && !s.word(k, "ON"))
            name = s.t[k++].text;
        others.insert(name.toUpper());
        if (!s.word(k, "ON"))
            return {};
        const int on = ++k;
        while (k < where && !(depth[k] == 0 && (s.word(k, "INNER") || s.word(k, "JOIN"))))
            ++k;
        // ON a.x = T.key or T.key = a.x, key the rowid of T: one row of T at most for each row
        auto mine = [&](int q) { return s.t[q].text.compare(name, Qt::CaseInsensitive) == 0; };
        auto keyAt = [&](int q, int other) {
            return s.t[q].kind == Token::Word && s.t[q + 2].kind == Token::Word && mine(q) &&
                   !mine(other) && rowKeys.contains(table + u'.' + s.t[q + 2].text.toUpper());
        };
        const bool oneRow = k - on == 7 && s.punct(on + 3, u'=') && s.punct(on + 1, u'.') &&
                            s.punct(on + 5, u'.') && (keyAt(on, on + 4) || keyAt(on + 4, on));
        joinsOneRow = joinsOneRow && oneRow;
    }
    if (others.contains(qualifier.toUpper()))
        return {};

    // What a range reads of the turnover table, and whether it reads any other table; false for
    // a column reference this reading cannot place.
    auto reads = [&](int begin, int end, bool condition, QSet<QString> *mine, bool *foreign) {
        for (int j = begin; j < end; ++j) {
            const Token &x = s.t[j];
            if (x.kind != Token::Word)
                continue;
            const QString upper = x.text.toUpper();
            if (upper == u"DBO" && s.punct(j + 1, u'.')) {
                j += 2; // a table's name
            } else if (s.punct(j + 1, u'.')) {
                if (j + 2 >= end || s.t[j + 2].kind != Token::Word || s.punct(j + 3, u'.'))
                    return false;
                const QString column = s.t[j + 2].text.toUpper();
                if (upper == qualifier.toUpper()) {
                    if (!s.table->columns.contains(column))
                        return false;
                    mine->insert(column);
                } else if (others.contains(upper)) {
                    *foreign = true;
                } else {
                    return false;
                }
                j += 2;
            } else if (s.punct(j + 1, u'(')) {
                // a function
            } else if (s.table->columns.contains(upper)) {
                mine->insert(upper);
            } else if (condition && !conditionWord(upper)) {
                return false; // a column of another table, or an alias, unqualified
            }
        }
        return true;
    };

    // The conditions: each reads the turnover row alone, and moves in, or reads nothing of it.
    QVector<QPair<int, int>> moved, kept;
    int begin = where + 1;
    for (int j = where + 1; j <= whereEnd; ++j) {
        if (j < whereEnd && !(depth[j] == 0 && s.word(j, "AND")))
            continue;
        if (j == begin)
            return {};
        QSet<QString> mine;
        bool foreign = false;
        if (!reads(begin, j, true, &mine, &foreign))
            return {};
        if (!mine.isEmpty() && foreign)
            return {};
        (mine.isEmpty() ? kept : moved).append({begin, j});
        begin = j + 1;
    }
    if (moved.isEmpty())
        return {};
    // what the rest of the statement reads of it is all that it keeps
    QSet<QString> columns;
    bool foreign = false;
    if (!reads(2, from, false, &columns, &foreign) ||
        !reads(tableEnd, where, false, &columns, &foreign) ||
        (order >= 0 && !reads(order + 2, n, false, &columns, &foreign)) || columns.isEmpty())
        return {};

    auto text = [&](int first, int end) { // the original text of significant tokens [first, end)
        QString out;
        for (int i = s.at[first]; i <= s.at[end - 1]; ++i)
            out += s.all[i].text;
        return out;
    };
    QStringList keptColumns(columns.begin(), columns.end());
    keptColumns.sort();
    for (QString &c : keptColumns)
        c = qualifier + u'.' + c;
    QStringList movedText, keptText;
    for (const auto &[a, b] : std::as_const(moved))
        movedText << text(a, b);
    for (const auto &[a, b] : std::as_const(kept))
        keptText << text(a, b);
    const QString narrowed =
        QStringLiteral("(SELECT DISTINCT %1 FROM %2 %3 WHERE %4) %3")
            .arg(keptColumns.join(QStringLiteral(", ")), text(tableBegin, tableEnd - 1), qualifier,
                 movedText.join(QStringLiteral(" AND ")));

    // The DISTINCT of the whole becomes a grouping by every item of the select list: the same
    // rows, sorted once for the grouping instead of looked up in a set of its own. Where every
    // join adds at most one row and the select list gives every column kept of the narrowed
    // rows, which are distinct, the rows are distinct already and need neither.
    QSet<QString> selected; // items that are a column of it alone
    const int firstItem = s.word(2, "TOP") ? 5 : 2;
    for (int j = firstItem; j + 2 < from; ++j)
        if ((j == firstItem || s.punct(j - 1, u',')) &&
            s.t[j].text.compare(qualifier, Qt::CaseInsensitive) == 0 && s.punct(j + 1, u'.') &&
            (s.punct(j + 3, u',') || j + 3 == from || s.word(j + 3, "AS")))
            selected.insert(s.t[j + 2].text.toUpper());
    const bool alreadyDistinct = joinsOneRow && selected.contains(columns);
    QStringList items;
    int itemBegin = firstItem;
    for (int j = itemBegin; j <= from; ++j) {
        if (j < from && !(depth[j] == 0 && s.punct(j, u',')))
            continue;
        int end = j;
        if (end - 2 >= itemBegin && s.word(end - 2, "AS"))
            end -= 2; // the item's name
        if (end <= itemBegin)
            return {};
        // a name without AS ("P.ANALKONTO Sifra") is not read here
        if (end - itemBegin >= 2 && s.t[end - 1].kind == Token::Word &&
            !(s.t[end - 2].kind == Token::Punct && !s.punct(end - 2, u')')))
            return {};
        items << text(itemBegin, end);
        itemBegin = j + 1;
    }

    QString out;
    for (int i = 0; i < s.at[1]; ++i)
        out += s.all[i].text;
    for (int i = s.at[2]; i < s.at[tableBegin]; ++i)
        out += s.all[i].text;
    out += narrowed;
    for (int i = s.at[tableEnd - 1] + 1; i < s.at[where]; ++i)
        out += s.all[i].text;
    if (!keptText.isEmpty())
        out += QStringLiteral("WHERE ") + keptText.join(QStringLiteral(" AND ")) + u' ';
    if (!alreadyDistinct)
        out += QStringLiteral("GROUP BY ") + items.join(QStringLiteral(", ")) + u' ';
    if (order >= 0)
        for (int i = s.at[order]; i < s.all.size(); ++i)
            out += s.all[i].text;
    return out.trimmed();
}

QSet<QString> rowKeys(sqlite3 *db, const QString &schema)
{
    QSet<QString> keys;
    const QString s = QString(schema).replace(u'"', QStringLiteral("\"\""));
    sqlite3_stmt *tables = nullptr;
    const QByteArray list =
        QStringLiteral("SELECT name FROM \"%1\".sqlite_master WHERE type = 'table'")
            .arg(s)
            .toUtf8();
    if (sqlite3_prepare_v2(db, list.constData(), -1, &tables, nullptr) != SQLITE_OK)
        return keys;
    while (sqlite3_step(tables) == SQLITE_ROW) {
        const QString table =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(tables, 0)));
        sqlite3_stmt *info = nullptr;
        const QByteArray pragma = QStringLiteral("PRAGMA \"%1\".table_info(\"%2\")")
                                      .arg(s, QString(table).replace(u'"', QStringLiteral("\"\"")))
                                      .toUtf8();
        if (sqlite3_prepare_v2(db, pragma.constData(), -1, &info, nullptr) != SQLITE_OK)
            continue;
        // the rowid's own name: the one primary key column, declared INTEGER
        QString key;
        int keyColumns = 0;
        while (sqlite3_step(info) == SQLITE_ROW)
            if (sqlite3_column_int(info, 5) > 0) {
                ++keyColumns;
                const auto *type = reinterpret_cast<const char *>(sqlite3_column_text(info, 2));
                if (type && QString::fromUtf8(type).compare(QLatin1String("INTEGER"),
                                                            Qt::CaseInsensitive) == 0)
                    key = QString::fromUtf8(
                        reinterpret_cast<const char *>(sqlite3_column_text(info, 1)));
            }
        sqlite3_finalize(info);
        if (keyColumns == 1 && !key.isEmpty())
            keys.insert(table.toUpper() + u'.' + key.toUpper());
    }
    sqlite3_finalize(tables);
    return keys;
}

} // namespace DistinctRewrite
