#include "turnoversummary.h"

#include "platform/data/booklock.h"

#include <QFileInfo>
#include <QHash>

#include <cmath>

#include <sqlite3.h>

namespace TurnoverSummary {

namespace {

const char *const kRows = "SAZ_REDOVA";          // turnover rows behind a summary row
const char *const kCountPrefix = "SAZ_";         // + amount column: its amounts that are not NULL
const char *const kSumPrefix = "SAZ_ZBROJ_";     // + amount column: running sum
const char *const kErrorPrefix = "SAZ_OSTATAK_"; // + amount column: its rounding errors' sum
const char *const kLargeCount = "SAZ_VELIKIH";   // amounts of the key kept out of the sums
// the exact sum (an aggregate of ours, for the fill and the check; never in a trigger)
const char *const kExactSum = "fingraf_zbroj";

struct Column
{
    QString name; // as declared
    QString type; // declared type
    QString collation;
    bool notNull = false;
};

// A turnover table as the summary sees it.
struct Table
{
    QString name; // as declared
    bool exists = false;
    QStringList columns;     // every column, upper case
    QVector<Column> keys;    // BROJPODUZECA, GODINAKNJ, SINTKONTO
    QVector<Column> amounts; // DUG00..DUG12, POT00..POT12
    QString problem;         // why it cannot have a summary; empty when it can
};

struct Trigger
{
    QString name;
    QString sql;
};

// What add() runs, and what usable() expects to find, for one turnover table.
struct Definition
{
    QString summary;
    QString createTable;
    QString index; // its name
    QString createIndex;
    QString largeIndex; // its name
    QString createLargeIndex;
    QString fill;
    QVector<Trigger> triggers;
};

QString quoted(const QString &name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString text(sqlite3_stmt *s, int column)
{
    const unsigned char *t = sqlite3_column_text(s, column);
    return t ? QString::fromUtf8(reinterpret_cast<const char *>(t)) : QString();
}

// Runs sql and hands each row to the callback; false with *error when it fails.
template <typename F> bool each(sqlite3 *db, const QString &sql, F &&row, QString *error = nullptr)
{
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        row(s);
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    return true;
}

bool exec(sqlite3 *db, const QString &sql, QString *error)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

// SQLite's type affinity of a declared type.
bool realAffinity(const QString &declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT")) || t.contains(QLatin1String("CHAR")) ||
        t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("TEXT")) ||
        t.contains(QLatin1String("BLOB")) || t.isEmpty())
        return false;
    return t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
           t.contains(QLatin1String("DOUB"));
}

QStringList amountNames()
{
    QStringList names;
    for (const char *side : {"DUG", "POT"})
        for (int m = 0; m <= 12; ++m)
            names
                << QStringLiteral("%1%2").arg(QLatin1String(side)).arg(m, 2, 10, QLatin1Char('0'));
    return names;
}

Table inspect(sqlite3 *db, const QString &schema, const QString &name)
{
    Table t;
    const QString s = quoted(schema);
    each(db, QStringLiteral("PRAGMA %1.table_list").arg(s), [&](sqlite3_stmt *st) {
        if (t.exists || text(st, 1).compare(name, Qt::CaseInsensitive) != 0)
            return;
        t.name = text(st, 1);
        t.exists = true;
        if (text(st, 2) != u"table")
            t.problem = QStringLiteral("%1 nije obična tablica.").arg(t.name);
        else if (sqlite3_column_int(st, 4) != 0)
            t.problem = QStringLiteral("Tablica %1 nema rowid (WITHOUT ROWID).").arg(t.name);
    });
    if (!t.exists || !t.problem.isEmpty())
        return t;

    QHash<QString, Column> byName;
    each(db, QStringLiteral("PRAGMA %1.table_info(%2)").arg(s, quoted(t.name)),
         [&](sqlite3_stmt *st) {
             Column c;
             c.name = text(st, 1);
             const char *type = nullptr, *collation = nullptr;
             int notNull = 0, primaryKey = 0, autoIncrement = 0;
             if (sqlite3_table_column_metadata(
                     db, schema.toUtf8().constData(), t.name.toUtf8().constData(),
                     c.name.toUtf8().constData(), &type, &collation, &notNull, &primaryKey,
                     &autoIncrement) == SQLITE_OK) {
                 c.type = QString::fromUtf8(type ? type : "");
                 c.collation = QString::fromUtf8(collation ? collation : "BINARY").toUpper();
                 c.notNull = notNull != 0;
             }
             t.columns << c.name.toUpper();
             byName.insert(c.name.toUpper(), c);
         });
    for (const char *key : {"BROJPODUZECA", "GODINAKNJ", "SINTKONTO"})
        t.keys << byName.value(QLatin1String(key));
    for (const QString &amount : amountNames())
        t.amounts << byName.value(amount);
    for (const QString &needed :
         QStringList{QStringLiteral("BROJPODUZECA"), QStringLiteral("GODINAKNJ"),
                     QStringLiteral("SINTKONTO")} +
             amountNames())
        if (!byName.contains(needed)) {
            t.problem = QStringLiteral("Tablica %1 nema stupac %2.").arg(t.name, needed);
            return t;
        }
    for (const Column &c : std::as_const(t.amounts))
        if (!realAffinity(c.type)) {
            // a sum of REAL values is REAL whatever order it is added in; other types would
            // let the summary's integer or decimal sums differ in type from the rows' own
            t.problem = QStringLiteral("Stupac %1.%2 je tipa \"%3\", a sažetak zbraja iznose tipa "
                                       "REAL.")
                            .arg(t.name, c.name, c.type);
            return t;
        }
    for (const QString &c : std::as_const(t.columns))
        if (c.startsWith(QLatin1String(kCountPrefix))) {
            t.problem = QStringLiteral("Tablica %1 ima stupac %2, a to ime pripada sažetku.")
                            .arg(t.name, c);
            return t;
        }
    // REPLACE removes the row it replaces without the delete trigger (unless the connection has
    // recursive triggers on). The triggers below refuse a replaced rowid; a unique index would
    // need the same for each of its keys, so a table with one gets no summary.
    each(db, QStringLiteral("PRAGMA %1.index_list(%2)").arg(s, quoted(t.name)),
         [&](sqlite3_stmt *st) {
             if (sqlite3_column_int(st, 2) != 0 && t.problem.isEmpty())
                 t.problem = QStringLiteral("Tablica %1 ima jedinstveni indeks %2.")
                                 .arg(t.name, text(st, 1));
         });
    return t;
}

QString columnDefinition(const Column &c, bool keepNotNull)
{
    QString d = c.name;
    if (!c.type.isEmpty())
        d += u' ' + c.type;
    if (!c.collation.isEmpty() && c.collation != u"BINARY")
        d += QStringLiteral(" COLLATE ") + c.collation;
    if (keepNotNull && c.notNull)
        d += QStringLiteral(" NOT NULL");
    return d;
}

// An amount this large or larger is kept out of the sums (a typing slip, as a rule): next to
// it a sum of doubles cannot hold the cents, and once it is corrected they would stay lost. Its
// key counts it in SAZ_VELIKIH and is read from the turnover rows while it stands.
const char *const kLarge = "1e15";

// An amount (a column, qualified or not) as the sums take it: NULL stays NULL, a large amount
// counts as 0.
QString keptAmount(const QString &amount)
{
    return QStringLiteral("(CASE WHEN abs(%1) >= %2 THEN 0.0 ELSE %1 + 0.0 END)")
        .arg(amount, QLatin1String(kLarge));
}

// 1 where the amount is large, else 0 (NULL too).
QString largeAmount(const QString &amount)
{
    return QStringLiteral("coalesce(abs(%1) >= %2, 0)").arg(amount, QLatin1String(kLarge));
}

// Definition of what add() makes and usable() expects. For each amount column A the summary
// keeps a running sum SAZ_ZBROJ_A and the rounding error of every addition to it, SAZ_OSTATAK_A
// (compensated summation: a + b is exactly the double a + b plus the error
// (a - (a + b)) + b, or (b - (a + b)) + a when |b| > |a|). A reads as their sum, so the summary
// gives the exact sum of the rows' amounts rounded once, however many writes came before.
Definition define(const Table &t)
{
    Definition d;
    d.summary = summaryTable(t.name.toUpper());
    const QString &S = d.summary;
    const QString rows = QLatin1String(kRows);
    auto count = [](const Column &a) { return QLatin1String(kCountPrefix) + a.name; };
    auto sum = [](const Column &a) { return QLatin1String(kSumPrefix) + a.name; };
    auto error = [](const Column &a) { return QLatin1String(kErrorPrefix) + a.name; };
    const Column &firm = t.keys[0], &year = t.keys[1], &account = t.keys[2];

    // The summary row of turnover row R: the same firm, year and account code, the code compared
    // byte for byte, so that a condition on it (LEFT(SINTKONTO,3)='12a' compares without the
    // column's collation) treats the summary row as each of its rows.
    auto match = [&](const QString &R) {
        return QStringLiteral("%1 IS %4.%1 AND %2 IS %4.%2 COLLATE BINARY AND %3 IS %4.%3")
            .arg(firm.name, account.name, year.name, R);
    };
    // amount A of row R
    auto kept = [](const QString &R, const Column &a) { return keptAmount(R + u'.' + a.name); };
    auto isLarge = [](const QString &R, const Column &a) { return largeAmount(R + u'.' + a.name); };
    // The rounding error of z + v.
    auto roundingError = [](const QString &z, const QString &v) {
        return QStringLiteral("CASE WHEN abs(%1) >= abs(%2) THEN (%1 - (%1 + %2)) + %2 ELSE (%2 - "
                              "(%1 + %2)) + %1 END")
            .arg(z, v);
    };

    QStringList columns{columnDefinition(firm, true), columnDefinition(year, true),
                        columnDefinition(account, true), rows + QStringLiteral(" INTEGER NOT NULL"),
                        QLatin1String(kLargeCount) + QStringLiteral(" INTEGER NOT NULL")};
    QStringList names{firm.name, year.name, account.name, rows, QLatin1String(kLargeCount)};
    QStringList fills, nonNull, largeTerms;
    for (const Column &a : t.amounts) {
        Column z = a;
        z.name = sum(a);
        columns
            << columnDefinition(z, false) << error(a) + QStringLiteral(" REAL NOT NULL")
            << columnDefinition(a, false) +
                   QStringLiteral(" GENERATED ALWAYS AS (%1 + %2) VIRTUAL").arg(sum(a), error(a));
        names << sum(a) << error(a);
        fills << QStringLiteral("%1(%2)").arg(QLatin1String(kExactSum), kept(t.name, a))
              << QStringLiteral("0.0");
        largeTerms << QStringLiteral("sum(%1)").arg(isLarge(t.name, a));
    }
    for (const Column &a : t.amounts)
        if (!a.notNull) {
            columns << count(a) + QStringLiteral(" INTEGER NOT NULL");
            names << count(a);
            nonNull << QStringLiteral("count(%1)").arg(a.name);
        }
    d.createTable =
        QStringLiteral("CREATE TABLE %1 (%2, UNIQUE (%3, %4 COLLATE BINARY, %5))")
            .arg(S, columns.join(QStringLiteral(", ")), firm.name, account.name, year.name);
    // The unique key compares codes byte for byte; statements compare them with the column's
    // collation (P.SINTKONTO = K.SIFKONTA, SINTKONTO LIKE '12%'), which this index serves.
    d.index = S + QStringLiteral("_KONTO");
    d.createIndex = QStringLiteral("CREATE INDEX %1 ON %2 (%3, %4, %5)")
                        .arg(d.index, S, firm.name, account.name, year.name);
    // finds at once whether any key is read from its rows
    d.largeIndex = S + QStringLiteral("_VELIKI");
    d.createLargeIndex = QStringLiteral("CREATE INDEX %1 ON %2 (%3) WHERE %3 > 0")
                             .arg(d.largeIndex, S, QLatin1String(kLargeCount));
    d.fill = QStringLiteral("INSERT INTO %1 (%2) SELECT %3, %4, %5, count(*), %6, %7 FROM %8 GROUP "
                            "BY %3, %5 COLLATE BINARY, %4")
                 .arg(S, names.join(QStringLiteral(", ")), firm.name, year.name, account.name,
                      largeTerms.join(QStringLiteral(" + ")),
                      (fills + nonNull).join(QStringLiteral(", ")), t.name);

    // Adding turnover row R (sign "+") or taking it out ("-") of its summary row.
    auto change = [&](const QString &R, char sign) {
        const bool adding = sign == '+';
        const QString op = QString(QLatin1Char(sign));
        QStringList largeCount;
        for (const Column &a : t.amounts)
            largeCount << isLarge(R, a);
        QStringList set{
            QStringLiteral("%1 = %1 %2 1").arg(rows, op),
            QStringLiteral("%1 = %1 %2 (%3)")
                .arg(QLatin1String(kLargeCount), op, largeCount.join(QStringLiteral(" + ")))};
        for (const Column &a : t.amounts) {
            const QString v = adding ? kept(R, a) : QStringLiteral("(-") + kept(R, a) + u')';
            if (a.notNull) {
                set << QStringLiteral("%1 = %1 + %2").arg(sum(a), v)
                    << QStringLiteral("%1 = %1 + %2").arg(error(a), roundingError(sum(a), v));
                continue;
            }
            const QString z = adding ? QStringLiteral("coalesce(%1, 0.0)").arg(sum(a)) : sum(a);
            // the last amount behind a sum leaves it NULL, as SUM of NULLs is
            auto last = [&](const char *value) {
                return adding ? QString()
                              : QStringLiteral(" WHEN %1 = 1 THEN %2")
                                    .arg(count(a), QLatin1String(value));
            };
            set << QStringLiteral("%1 = CASE WHEN %2.%3 IS NULL THEN %1%4 ELSE %5 + %6 END")
                       .arg(sum(a), R, a.name, last("NULL"), z, v)
                << QStringLiteral("%1 = CASE WHEN %2.%3 IS NULL THEN %1%4 ELSE %1 + %5 END")
                       .arg(error(a), R, a.name, last("0.0"), roundingError(z, v))
                << QStringLiteral("%1 = %1 %2 (%3.%4 IS NOT NULL)").arg(count(a), op, R, a.name);
        }
        return QStringLiteral("UPDATE %1 SET %2 WHERE %3;")
            .arg(S, set.join(QStringLiteral(", ")), match(R));
    };
    auto add = [&](const char *r) {
        const QString R = QLatin1String(r);
        QStringList values{R + u'.' + firm.name, R + u'.' + year.name, R + u'.' + account.name,
                           QStringLiteral("1")};
        QStringList largeCount, counts;
        for (const Column &a : t.amounts)
            largeCount << isLarge(R, a);
        values << largeCount.join(QStringLiteral(" + "));
        for (const Column &a : t.amounts) {
            values << kept(R, a) << QStringLiteral("0.0");
            if (!a.notNull)
                counts << QStringLiteral("(%1.%2 IS NOT NULL)").arg(R, a.name);
        }
        return change(R, '+') +
               QStringLiteral(" INSERT INTO %1 (%2) SELECT %3 WHERE NOT EXISTS (SELECT 1 FROM %1 "
                              "WHERE %4);")
                   .arg(S, names.join(QStringLiteral(", ")),
                        (values + counts).join(QStringLiteral(", ")), match(R));
    };
    // the summary row goes with its last row
    auto remove = [&](const char *r) {
        const QString R = QLatin1String(r);
        return change(R, '-') +
               QStringLiteral(" DELETE FROM %1 WHERE %2 AND %3 = 0;").arg(S, match(R), rows);
    };
    QStringList watched{firm.name, year.name, account.name};
    for (const Column &a : t.amounts)
        watched << a.name;
    const QString replaced =
        QStringLiteral("SELECT RAISE(ABORT, 'Redak tablice %1 se ne može zamijeniti drugim "
                       "(REPLACE) dok je ima sažetak %2; izbrišite ga pa upišite novi.');")
            .arg(t.name, S);
    d.triggers = {
        {S + QStringLiteral("_UNOS"),
         QStringLiteral("CREATE TRIGGER %1_UNOS AFTER INSERT ON %2 BEGIN %3 END")
             .arg(S, t.name, add("NEW"))},
        {S + QStringLiteral("_IZMJENA"),
         QStringLiteral("CREATE TRIGGER %1_IZMJENA AFTER UPDATE OF %2 ON %3 BEGIN %4 %5 END")
             .arg(S, watched.join(QStringLiteral(", ")), t.name, remove("OLD"), add("NEW"))},
        {S + QStringLiteral("_BRISANJE"),
         QStringLiteral("CREATE TRIGGER %1_BRISANJE AFTER DELETE ON %2 BEGIN %3 END")
             .arg(S, t.name, remove("OLD"))},
        // NEW.rowid is -1 before an insert that leaves the rowid to SQLite
        {S + QStringLiteral("_ZAMJENA"),
         QStringLiteral("CREATE TRIGGER %1_ZAMJENA BEFORE INSERT ON %2 WHEN NEW.rowid >= 0 AND "
                        "EXISTS (SELECT 1 FROM %2 WHERE rowid = NEW.rowid) BEGIN %3 END")
             .arg(S, t.name, replaced)},
        {S + QStringLiteral("_ZAMJENA_IZMJENOM"),
         QStringLiteral("CREATE TRIGGER %1_ZAMJENA_IZMJENOM BEFORE UPDATE ON %2 WHEN NEW.rowid IS "
                        "NOT OLD.rowid AND EXISTS (SELECT 1 FROM %2 WHERE rowid = NEW.rowid) "
                        "BEGIN %3 END")
             .arg(S, t.name, replaced)},
    };
    return d;
}

// The stored text of the schema object called name, or a null string.
QString storedSql(sqlite3 *db, const QString &schema, const QString &type, const QString &name,
                  QString *table = nullptr)
{
    QString sql;
    each(db,
         QStringLiteral("SELECT sql, tbl_name FROM %1.sqlite_master WHERE type = '%2' AND name = "
                        "'%3' COLLATE NOCASE")
             .arg(quoted(schema), type, name),
         [&](sqlite3_stmt *s) {
             sql = text(s, 0);
             if (table)
                 *table = text(s, 1);
         });
    return sql;
}

bool objectNamed(sqlite3 *db, const QString &schema, const QString &name)
{
    bool found = false;
    each(db,
         QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE name = '%2' COLLATE NOCASE")
             .arg(quoted(schema), name),
         [&](sqlite3_stmt *) { found = true; });
    return found;
}

} // namespace

QStringList turnoverTables()
{
    return {QStringLiteral("PROMET"), QStringLiteral("PROMETMT")};
}

QString summaryTable(const QString &table)
{
    return table.toUpper() + QStringLiteral("_SAZETAK");
}

QVector<SummaryTable> usable(sqlite3 *db, const QString &schema)
{
    QVector<SummaryTable> out;
    for (const QString &name : turnoverTables()) {
        const Table t = inspect(db, schema, name);
        if (!t.exists || !t.problem.isEmpty())
            continue;
        const Definition d = define(t);
        bool exact = storedSql(db, schema, QStringLiteral("table"), d.summary) == d.createTable;
        for (const Trigger &tr : d.triggers) {
            QString on;
            exact = exact &&
                    storedSql(db, schema, QStringLiteral("trigger"), tr.name, &on) == tr.sql &&
                    on.compare(t.name, Qt::CaseInsensitive) == 0;
        }
        // a trigger of someone else's on the summary could change it behind the sums
        each(db,
             QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type = 'trigger' AND tbl_name = "
                            "'%2' COLLATE NOCASE")
                 .arg(quoted(schema), d.summary),
             [&](sqlite3_stmt *) { exact = false; });
        if (!exact)
            continue;
        SummaryTable s;
        s.table = name;
        s.summary = d.summary;
        for (const QString &c : t.columns)
            s.columns.insert(c);
        s.amountsNotNull = true;
        for (const Column &a : t.amounts)
            s.amountsNotNull = s.amountsNotNull && a.notNull;
        out.append(s);
    }
    return out;
}

namespace {

// The fills' progress, told from the engine's steps. A fill reads every turnover row once and
// sorts it; the steps it takes for a row grow with the sums it adds, about five for each and
// fifteen besides (as measured on the demo book). The estimate only makes the percentage: it
// stays below 100 until the fills are done.
struct FillProgress
{
    static constexpr int kStepsPerCall = 10000;
    const Progress *report = nullptr;
    qint64 expected = 1;
    qint64 steps = 0;
    int told = -1;

    static qint64 stepsPerRow(const Table &t)
    {
        int sums = 1; // count(*)
        for (const Column &a : t.amounts)
            sums += a.notNull ? 1 : 2;
        return 5 * sums + 15;
    }
    void tell(int percent)
    {
        if (*report && percent != told)
            (*report)(told = percent);
    }
    static int onSteps(void *self)
    {
        auto *p = static_cast<FillProgress *>(self);
        p->steps += kStepsPerCall;
        p->tell(int(qMin<qint64>(99, 100 * p->steps / p->expected)));
        return 0;
    }
};

qint64 rowCount(sqlite3 *db, const QString &table)
{
    qint64 n = 0;
    each(db, QStringLiteral("SELECT count(*) FROM main.%1").arg(quoted(table)),
         [&](sqlite3_stmt *s) { n = sqlite3_column_int64(s, 0); });
    return n;
}

QString bookOf(sqlite3 *db)
{
    const char *file = sqlite3_db_filename(db, "main");
    return file ? QString::fromUtf8(file) : QString();
}

} // namespace

namespace {

// fingraf_zbroj(x): the sum of the values that are not NULL, with the rounding error of every
// addition carried (as the triggers carry it), NULL where there are none.
struct ExactSum
{
    double sum = 0, error = 0;
    bool any = false;
};

void exactSumStep(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    auto *acc = static_cast<ExactSum *>(sqlite3_aggregate_context(ctx, sizeof(ExactSum)));
    if (!acc)
        return;
    const double v = sqlite3_value_double(argv[0]);
    const double t = acc->sum + v;
    acc->error += std::fabs(acc->sum) >= std::fabs(v) ? (acc->sum - t) + v : (v - t) + acc->sum;
    acc->sum = t;
    acc->any = true;
}

void exactSumFinal(sqlite3_context *ctx)
{
    auto *acc = static_cast<ExactSum *>(sqlite3_aggregate_context(ctx, 0));
    if (acc && acc->any)
        sqlite3_result_double(ctx, acc->sum + acc->error);
    else
        sqlite3_result_null(ctx);
}

bool registerExactSum(sqlite3 *db, QString *error)
{
    if (sqlite3_create_function_v2(db, kExactSum, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   nullptr, exactSumStep, exactSumFinal, nullptr) == SQLITE_OK)
        return true;
    *error = QString::fromUtf8(sqlite3_errmsg(db));
    return false;
}

// Removes the summary of a turnover table, whatever it holds: its triggers, its table (and with
// it its indexes). Refuses a summary's name that names something other than a table.
bool drop(sqlite3 *db, const QString &table, QString *error)
{
    const QString S = summaryTable(table);
    QString type;
    each(db,
         QStringLiteral("SELECT type FROM main.sqlite_master WHERE name = '%1' COLLATE NOCASE")
             .arg(S),
         [&](sqlite3_stmt *st) { type = text(st, 0); });
    if (!type.isEmpty() && type != u"table") {
        *error = QStringLiteral("U knjizi već postoji %1, ali to nije tablica.").arg(S);
        return false;
    }
    for (const char *trigger : {"_UNOS", "_IZMJENA", "_BRISANJE", "_ZAMJENA", "_ZAMJENA_IZMJENOM"})
        if (!exec(db,
                  QStringLiteral("DROP TRIGGER IF EXISTS main.%1").arg(S + QLatin1String(trigger)),
                  error))
            return false;
    return exec(db, QStringLiteral("DROP TABLE IF EXISTS main.%1").arg(S), error);
}

// Opens the book at path (which must exist; never creates a file) and runs work on it. A book
// another program holds locked is waited for, then refused.
bool onBook(const QString &path, int flags, QString *error,
            const std::function<bool(sqlite3 *)> &work)
{
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("Datoteka knjige ne postoji: \"%1\".").arg(path);
        return false;
    }
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) == SQLITE_OK;
    if (ok) {
        sqlite3_busy_timeout(db, BookLock::kWaitMs);
        QString why;
        ok = each(
            db, QStringLiteral("SELECT count(*) FROM sqlite_master"), [](sqlite3_stmt *) {}, &why);
        if (!ok && BookLock::isBusy(sqlite3_extended_errcode(db)))
            *error = BookLock::heldByAnother(path);
        else if (!ok)
            *error = QStringLiteral("Datoteka \"%1\" nije baza podataka: %2").arg(path, why);
        else if (!(ok = work(db)) && *error == BookLock::heldByAnother(bookOf(db)))
            *error = BookLock::heldByAnother(path); // the book as it was named
    } else {
        *error = QStringLiteral("Knjiga \"%1\" se ne može otvoriti: %2")
                     .arg(path, QString::fromUtf8(sqlite3_errmsg(db)));
    }
    sqlite3_close(db);
    return ok;
}

QString amountText(sqlite3_stmt *s, int column)
{
    if (sqlite3_column_type(s, column) == SQLITE_NULL)
        return QStringLiteral("NULL");
    return QString::number(sqlite3_column_double(s, column), 'f', 2);
}

} // namespace

bool add(sqlite3 *db, QStringList *added, QString *error, const Progress &progress, Mode mode)
{
    added->clear();
    if (sqlite3_db_readonly(db, "main") != 0) {
        *error = QStringLiteral("Knjiga je samo za čitanje: sažetak prometa se ne može dodati.");
        return false;
    }
    if (!registerExactSum(db, error))
        return false;
    if (!exec(db, QStringLiteral("BEGIN IMMEDIATE"), error)) {
        if (BookLock::isBusy(sqlite3_extended_errcode(db)))
            *error = BookLock::heldByAnother(bookOf(db));
        return false;
    }
    bool any = false;
    FillProgress told;
    told.report = &progress;
    auto fail = [&](const QString &why) {
        sqlite3_progress_handler(db, 0, nullptr, nullptr);
        QString ignored;
        exec(db, QStringLiteral("ROLLBACK"), &ignored);
        *error = why;
        added->clear();
        return false;
    };
    if (mode == Mode::Rebuild)
        for (const QString &name : turnoverTables()) {
            QString why;
            if (inspect(db, QStringLiteral("main"), name).exists && !drop(db, name, &why))
                return fail(
                    QStringLiteral("Sažetak tablice %1 se ne može obnoviti: %2").arg(name, why));
        }
    const QVector<SummaryTable> present = usable(db, QStringLiteral("main"));
    auto hasSummary = [&](const QString &name) {
        for (const auto &s : present)
            if (s.table == name)
                return true;
        return false;
    };
    if (progress) {
        for (const QString &name : turnoverTables()) {
            const Table t = inspect(db, QStringLiteral("main"), name);
            if (t.exists && !hasSummary(name))
                told.expected += rowCount(db, t.name) * FillProgress::stepsPerRow(t);
        }
        told.tell(0);
        sqlite3_progress_handler(db, FillProgress::kStepsPerCall, &FillProgress::onSteps, &told);
    }
    for (const QString &name : turnoverTables()) {
        const Table t = inspect(db, QStringLiteral("main"), name);
        if (!t.exists)
            continue;
        any = true;
        if (hasSummary(name))
            continue;
        if (!t.problem.isEmpty())
            return fail(QStringLiteral("Sažetak prometa se ne može dodati: %1").arg(t.problem));
        const Definition d = define(t);
        if (objectNamed(db, QStringLiteral("main"), d.summary))
            return fail(QStringLiteral("U knjizi već postoji %1, ali to nije sažetak prometa kakav "
                                       "fingraf održava. Obnovite ga (fingraf sazetak --obnovi).")
                            .arg(d.summary));
        QStringList names{d.index, d.largeIndex};
        for (const Trigger &tr : d.triggers)
            names << tr.name;
        for (const QString &n : std::as_const(names))
            if (objectNamed(db, QStringLiteral("main"), n))
                return fail(QStringLiteral("U knjizi već postoji %1.").arg(n));
        QString why;
        if (!exec(db, d.createTable, &why) || !exec(db, d.fill, &why) ||
            !exec(db, d.createIndex, &why) || !exec(db, d.createLargeIndex, &why))
            return fail(
                QStringLiteral("Sažetak tablice %1 se ne može izraditi: %2").arg(name, why));
        for (const Trigger &tr : d.triggers)
            if (!exec(db, tr.sql, &why))
                return fail(QStringLiteral("Okidač %1 se ne može izraditi: %2").arg(tr.name, why));
        *added << name;
    }
    if (!any)
        return fail(QStringLiteral("U knjizi nema tablice prometa (%1).")
                        .arg(turnoverTables().join(QStringLiteral(", "))));
    QString why;
    if (!exec(db, QStringLiteral("COMMIT"), &why))
        return fail(QStringLiteral("Sažetak prometa se ne može spremiti: %1").arg(why));
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    told.tell(100);
    return true;
}

bool addToBook(const QString &path, QStringList *added, QString *error, const Progress &progress,
               Mode mode)
{
    added->clear();
    return onBook(path, SQLITE_OPEN_READWRITE, error,
                  [&](sqlite3 *db) { return add(db, added, error, progress, mode); });
}

bool check(sqlite3 *db, QStringList *differences, QString *error)
{
    differences->clear();
    if (!registerExactSum(db, error))
        return false;
    const QString main = QStringLiteral("main");
    const QVector<SummaryTable> present = usable(db, main);
    bool any = false;
    for (const QString &name : turnoverTables()) {
        const Table t = inspect(db, main, name);
        if (!t.exists)
            continue;
        bool kept = false;
        for (const auto &s : present)
            kept = kept || s.table == name;
        if (!kept) {
            *error = objectNamed(db, main, summaryTable(name))
                         ? QStringLiteral("Sažetak tablice %1 nije kakav fingraf održava. Obnovite "
                                          "ga (fingraf sazetak --obnovi).")
                               .arg(name)
                         : QStringLiteral("Tablica %1 nema sažetka prometa. Dodajte ga (fingraf "
                                          "sazetak).")
                               .arg(name);
            return false;
        }
        any = true;
        const Definition d = define(t);
        const Column &firm = t.keys[0], &year = t.keys[1], &account = t.keys[2];
        // Every key of the rows and of the summary, side by side: the rows' count and the number
        // of large amounts, then each amount's sum as the summary keeps it, from both.
        QStringList rowColumns{QStringLiteral("count(*)")}, summaryColumns{QLatin1String(kRows)};
        QStringList large;
        for (const Column &a : t.amounts)
            large << largeAmount(a.name);
        rowColumns << QStringLiteral("sum(%1)").arg(large.join(QStringLiteral(" + ")));
        summaryColumns << QLatin1String(kLargeCount);
        QStringList labels{QStringLiteral("redaka"), QStringLiteral("velikih iznosa")};
        for (const Column &a : t.amounts)
            if (!a.notNull) {
                rowColumns << QStringLiteral("count(%1)").arg(a.name);
                summaryColumns << QLatin1String(kCountPrefix) + a.name;
                labels << QStringLiteral("iznosa %1").arg(a.name);
            }
        const int counts = int(labels.size()); // then the sums
        for (const Column &a : t.amounts) {
            rowColumns << QLatin1String(kExactSum) + u'(' + keptAmount(a.name) + u')';
            summaryColumns << a.name;
            labels << a.name;
        }
        // every key of either side, the rows' side r and the summary's side s
        QStringList pairs;
        for (int i = 0; i < int(labels.size()); ++i)
            pairs << QStringLiteral("r.c%1, s.c%1").arg(i);
        auto side = [&](const QStringList &columns, const QString &from, bool grouped) {
            QStringList named;
            for (int i = 0; i < int(columns.size()); ++i)
                named << QStringLiteral("%1 AS c%2").arg(columns[i]).arg(i);
            return QStringLiteral("SELECT 1 AS here, %1 AS f, %2 AS y, %3 AS a, %4 FROM main.%5%6")
                .arg(firm.name, year.name, account.name, named.join(QStringLiteral(", ")), from,
                     grouped ? QStringLiteral(" GROUP BY %1, %2 COLLATE BINARY, %3")
                                   .arg(firm.name, account.name, year.name)
                             : QString());
        };
        const QString sql =
            QStringLiteral("SELECT coalesce(r.f, s.f), coalesce(r.y, s.y), coalesce(r.a, s.a), "
                           "r.here, s.here, %1 FROM (%2) r FULL JOIN (%3) s ON r.f IS s.f AND "
                           "r.y IS s.y AND r.a IS s.a COLLATE BINARY ORDER BY 1, 3 COLLATE "
                           "BINARY, 2")
                .arg(pairs.join(QStringLiteral(", ")), side(rowColumns, t.name, true),
                     side(summaryColumns, d.summary, false));
        QString why;
        const bool read = each(
            db, sql,
            [&](sqlite3_stmt *st) {
                const QString key = QStringLiteral("%1: poduzeće %2, godina %3, konto \"%4\"")
                                        .arg(name, text(st, 0), text(st, 1), text(st, 2));
                if (sqlite3_column_type(st, 4) == SQLITE_NULL) {
                    *differences << key + QStringLiteral(": nema ga u sažetku");
                    return;
                }
                if (sqlite3_column_type(st, 3) == SQLITE_NULL) {
                    *differences << key + QStringLiteral(": u sažetku, a nema ga u prometu");
                    return;
                }
                QStringList what;
                for (int i = 0; i < int(labels.size()); ++i) {
                    const int r = 5 + 2 * i, s = r + 1;
                    const bool nullR = sqlite3_column_type(st, r) == SQLITE_NULL;
                    const bool nullS = sqlite3_column_type(st, s) == SQLITE_NULL;
                    // counts exactly, amounts to the cent (or, past 7e13 where a double holds
                    // no cents, to its last two bits)
                    const double x = sqlite3_column_double(st, r), y = sqlite3_column_double(st, s);
                    const double large = qMax(std::fabs(x), std::fabs(y));
                    const double ulp = std::nextafter(large, HUGE_VAL) - large;
                    const bool same =
                        i < counts ? sqlite3_column_int64(st, r) == sqlite3_column_int64(st, s)
                                   : nullR == nullS &&
                                         (nullR || std::fabs(x - y) < qMax(0.005, 2.5 * ulp));
                    if (!same)
                        what << QStringLiteral("%1 %2 u sažetku, %3 u prometu")
                                    .arg(labels[i], i < counts ? text(st, s) : amountText(st, s),
                                         i < counts ? text(st, r) : amountText(st, r));
                }
                if (!what.isEmpty())
                    *differences << key + QStringLiteral(": ") + what.join(QStringLiteral("; "));
            },
            &why);
        if (!read) {
            *error = QStringLiteral("Sažetak tablice %1 se ne može provjeriti: %2").arg(name, why);
            return false;
        }
    }
    if (!any) {
        *error = QStringLiteral("U knjizi nema tablice prometa (%1).")
                     .arg(turnoverTables().join(QStringLiteral(", ")));
        return false;
    }
    return true;
}

bool checkBook(const QString &path, QStringList *differences, QString *error)
{
    differences->clear();
    return onBook(path, SQLITE_OPEN_READONLY, error,
                  [&](sqlite3 *db) { return check(db, differences, error); });
}

bool readsRows(sqlite3 *db, const QString &schema, const SummaryTable &summary)
{
    bool found = false;
    const bool ok = each(db,
                         QStringLiteral("SELECT 1 FROM %1.%2 WHERE %3 > 0 LIMIT 1")
                             .arg(quoted(schema), summary.summary, QLatin1String(kLargeCount)),
                         [&](sqlite3_stmt *) { found = true; });
    return found || !ok; // what cannot be told is read from the rows
}

} // namespace TurnoverSummary
