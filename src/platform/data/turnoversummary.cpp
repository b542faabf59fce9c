#include "turnoversummary.h"

#include "booklock.h"

#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

namespace TurnoverSummary {

namespace {

const char *const kRows = "SAZ_REDOVA";  // turnover rows behind a summary row
const char *const kCountPrefix = "SAZ_"; // + amount column: its amounts that are not NULL

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

Definition define(const Table &t)
{
    Definition d;
    d.summary = summaryTable(t.name.toUpper());
    const QString &S = d.summary;
    const QString rows = QLatin1String(kRows);
    auto count = [](const Column &a) { return QLatin1String(kCountPrefix) + a.name; };
    const Column &firm = t.keys[0], &year = t.keys[1], &account = t.keys[2];

    // The summary row of turnover row R: the same firm, year and account code, the code compared
    // byte for byte, so that a condition on it (LEFT(SINTKONTO,3)='12a' compares without the
    // column's collation) treats the summary row as each of its rows.
    auto match = [&](const char *r) {
        return QStringLiteral("%1 IS %4.%1 AND %2 IS %4.%2 COLLATE BINARY AND %3 IS %4.%3")
            .arg(firm.name, account.name, year.name, QLatin1String(r));
    };

    QStringList columns{columnDefinition(firm, true), columnDefinition(year, true),
                        columnDefinition(account, true),
                        rows + QStringLiteral(" INTEGER NOT NULL")};
    QStringList names{firm.name, year.name, account.name, rows};
    QStringList sums, nonNull;
    for (const Column &a : t.amounts) {
        columns << columnDefinition(a, false);
        names << a.name;
        sums << QStringLiteral("sum(%1)").arg(a.name);
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
    d.fill = QStringLiteral("INSERT INTO %1 (%2) SELECT %3, %4, %5, count(*), %6 FROM %7 GROUP BY "
                            "%3, %5 COLLATE BINARY, %4")
                 .arg(S, names.join(QStringLiteral(", ")), firm.name, year.name, account.name,
                      (sums + nonNull).join(QStringLiteral(", ")), t.name);

    // Adding turnover row R: into its summary row, or a new one.
    auto add = [&](const char *r) {
        const QString R = QLatin1String(r);
        QStringList set{QStringLiteral("%1 = %1 + 1").arg(rows)};
        QStringList values{R + u'.' + firm.name, R + u'.' + year.name, R + u'.' + account.name,
                           QStringLiteral("1")};
        QStringList counts;
        for (const Column &a : t.amounts) {
            if (a.notNull) {
                set << QStringLiteral("%1 = %1 + %2.%1").arg(a.name, R);
            } else {
                set << QStringLiteral("%1 = CASE WHEN %2.%1 IS NULL THEN %1 ELSE coalesce(%1, 0) + "
                                      "%2.%1 END")
                           .arg(a.name, R)
                    << QStringLiteral("%1 = %1 + (%2.%3 IS NOT NULL)").arg(count(a), R, a.name);
                counts << QStringLiteral("(%1.%2 IS NOT NULL)").arg(R, a.name);
            }
            values << R + u'.' + a.name;
        }
        return QStringLiteral("UPDATE %1 SET %2 WHERE %3; INSERT INTO %1 (%4) SELECT %5 WHERE NOT "
                              "EXISTS (SELECT 1 FROM %1 WHERE %3);")
            .arg(S, set.join(QStringLiteral(", ")), match(r), names.join(QStringLiteral(", ")),
                 (values + counts).join(QStringLiteral(", ")));
    };
    // Taking turnover row R out of its summary row; the summary row goes with its last row.
    auto remove = [&](const char *r) {
        const QString R = QLatin1String(r);
        QStringList set{QStringLiteral("%1 = %1 - 1").arg(rows)};
        for (const Column &a : t.amounts) {
            if (a.notNull) {
                set << QStringLiteral("%1 = %1 - %2.%1").arg(a.name, R);
            } else {
                set << QStringLiteral("%1 = CASE WHEN %2.%1 IS NULL THEN %1 WHEN %3 = 1 THEN NULL "
                                      "ELSE %1 - %2.%1 END")
                           .arg(a.name, R, count(a))
                    << QStringLiteral("%1 = %1 - (%2.%3 IS NOT NULL)").arg(count(a), R, a.name);
            }
        }
        return QStringLiteral("UPDATE %1 SET %2 WHERE %3; DELETE FROM %1 WHERE %3 AND %4 = 0;")
            .arg(S, set.join(QStringLiteral(", ")), match(r), rows);
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

QVector<TSqlAdapter::SummaryTable> usable(sqlite3 *db, const QString &schema)
{
    QVector<TSqlAdapter::SummaryTable> out;
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
        TSqlAdapter::SummaryTable s;
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

bool add(sqlite3 *db, QStringList *added, QString *error, const Progress &progress)
{
    added->clear();
    if (sqlite3_db_readonly(db, "main") != 0) {
        *error = QStringLiteral("Knjiga je samo za čitanje: sažetak prometa se ne može dodati.");
        return false;
    }
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
    const QVector<TSqlAdapter::SummaryTable> present = usable(db, QStringLiteral("main"));
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
                                       "fingraf održava.")
                            .arg(d.summary));
        QStringList names{d.index};
        for (const Trigger &tr : d.triggers)
            names << tr.name;
        for (const QString &n : std::as_const(names))
            if (objectNamed(db, QStringLiteral("main"), n))
                return fail(QStringLiteral("U knjizi već postoji %1.").arg(n));
        QString why;
        if (!exec(db, d.createTable, &why) || !exec(db, d.fill, &why) ||
            !exec(db, d.createIndex, &why))
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

bool addToBook(const QString &path, QStringList *added, QString *error, const Progress &progress)
{
    added->clear();
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("Datoteka knjige ne postoji: \"%1\".").arg(path);
        return false;
    }
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
              SQLITE_OK;
    if (ok) {
        sqlite3_busy_timeout(db, BookLock::kWaitMs);
        QString why;
        ok = each(
            db, QStringLiteral("SELECT count(*) FROM sqlite_master"), [](sqlite3_stmt *) {}, &why);
        if (!ok && BookLock::isBusy(sqlite3_extended_errcode(db)))
            *error = BookLock::heldByAnother(path);
        else if (!ok)
            *error = QStringLiteral("Datoteka \"%1\" nije baza podataka: %2").arg(path, why);
        else if (!(ok = add(db, added, error, progress)) &&
                 *error == BookLock::heldByAnother(bookOf(db)))
            *error = BookLock::heldByAnother(path); // the book as it was named
    } else {
        *error = QStringLiteral("Knjiga \"%1\" se ne može otvoriti: %2")
                     .arg(path, QString::fromUtf8(sqlite3_errmsg(db)));
    }
    sqlite3_close(db);
    return ok;
}

} // namespace TurnoverSummary
