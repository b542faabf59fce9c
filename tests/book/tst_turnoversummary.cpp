// The turnover summary against the turnover rows themselves: every statement the summary answers
// must give what the rows give, after any change to them.
#include "book/bookstatements.h"
#include "book/turnoversummary.h"
#include "incexp/incexpstatements.h"
#include "plan/planstatements.h"
#include "platform/data/pristuppodacima.h"
#include "platform/data/sqlitefunctions.h"
#include "testsupport.h"
#include "turnover/turnoverstatements.h"

#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <cmath>
#include <limits>
#include <utility>

using namespace TestSupport;
using Rows = QVector<QVector<QVariant>>;

namespace {

const QString kFrom = QString::number(kFirstYear);
const QString kTo = QString::number(kLastYear);
const QString kFromSummary = QStringLiteral("sqlite (iz sažetka)");
const QString kFromRows = QStringLiteral("sqlite");

// The statement through the data access, answered from the summary where it can be (summaries),
// else from the turnover rows; *stage says how it ran, *ran what ran.
Rows read(const QString &book, const QString &sql, bool summaries, QString *stage = nullptr,
          QString *ran = nullptr)
{
    QString how, what;
    cPristupPodacima::setTrace([&](const QString &st, const QString &text) {
        if (st != u"sql") {
            how = st;
            what = text;
        }
    });
    BookStatements::install();
    BookStatements::setSummariesUsed(summaries);
    cPristupPodacima db;
    Recordset rs;
    if (!db.OtvoriRecordset(sqliteConn(book), sql, rs, true, false))
        QTest::qFail(qPrintable(db.OpisGreske() + u'\n' + sql), __FILE__, __LINE__);
    cPristupPodacima::setTrace(nullptr);
    cPristupPodacima::closeAllConnections(); // the next call sees the book as it is then
    if (stage)
        *stage = how;
    if (ran)
        *ran = what;
    Rows rows;
    for (int r = 0; r < rs.RecordCount(); ++r) {
        QVector<QVariant> row;
        for (int c = 0; c < rs.fieldCount(); ++c)
            row << rs.valueAt(r, c);
        rows << row;
    }
    return rows;
}

// Texts, whole numbers and NULLs alike, in the same order; amounts alike within tolerance: to the
// bit (0) where every amount is a binary fraction, else to the cent (kCent) or more (the order in
// which SQLite adds cents moves the last bits of a sum, for the rows themselves as much as for the
// summary; next to amounts beyond cents, the rows' own sums round further).
constexpr double kCent = 0.005;
QString difference(const Rows &a, const Rows &b, double tolerance)
{
    if (a.size() != b.size())
        return QStringLiteral("%1 rows against %2").arg(a.size()).arg(b.size());
    for (int r = 0; r < a.size(); ++r)
        for (int c = 0; c < qMax(a[r].size(), b[r].size()); ++c) {
            const QVariant x = a[r].value(c), y = b[r].value(c);
            const bool same = (x.isNull() && y.isNull()) ||
                              (!x.isNull() && !y.isNull() && x.typeId() == y.typeId() &&
                               (x.typeId() != QMetaType::Double
                                    ? x == y
                                    : x.toDouble() == y.toDouble() ||
                                          std::fabs(x.toDouble() - y.toDouble()) <= tolerance));
            if (!same)
                return QStringLiteral("row %1 column %2: %3 against %4")
                    .arg(r)
                    .arg(c)
                    .arg(x.toString(), y.toString());
        }
    return {};
}

// The statement from the summary where it answers (*stage), against the turnover rows.
QString unlike(const QString &book, const QString &sql, double tolerance, QString *stage)
{
    return difference(read(book, sql, true, stage), read(book, sql, false), tolerance);
}

// The query plan of a statement on the demo book opened as the data access opens it.
QString queryPlan(const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr);
    const auto close = qScopeGuard([db] { sqlite3_close(db); });
    sqlite3_exec(db, ("ATTACH DATABASE '" + demoBook().toUtf8() + "' AS dbo").constData(), nullptr,
                 nullptr, nullptr);
    SqliteFunctions::registerAll(db);
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql.toUtf8()).constData(), -1, &s,
                           nullptr) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    QString p;
    while (sqlite3_step(s) == SQLITE_ROW)
        p += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 3))) + u'\n';
    sqlite3_finalize(s);
    return p;
}

// What checking the summary against the rows finds, key by key, or why it cannot check.
QString checked(const QString &book)
{
    QStringList differences;
    QString error;
    if (!TurnoverSummary::checkBook(book, &differences, &error))
        return QStringLiteral("not checked: ") + error;
    return differences.join(u'\n');
}
const QString kNotKept = QStringLiteral("not checked: Sažetak tablice PROMET nije kakav fingraf "
                                        "održava. Obnovite ga (fingraf sazetak --obnovi).");

// Changes the book as any other program would; the triggers fire as they do for it.
void write(const QString &book, const QString &sql)
{
    const QString error = execute(book, sql);
    if (!error.isEmpty())
        qWarning("write: %s", qPrintable(error));
}

// The demo book as it would be without its summary: its tables and the triggers that keep them.
void dropSummary(const QString &book)
{
    write(book, scalar(book, QStringLiteral("SELECT group_concat('DROP ' || type || ' ' || name, "
                                            "';') FROM sqlite_master WHERE type IN ('table', "
                                            "'trigger') AND name GLOB '*_SAZETAK*'"))
                    .toString());
}

QStringList amountColumns()
{
    QStringList names;
    for (const char *side : {"DUG", "POT"})
        for (int m = 0; m <= 12; ++m)
            names
                << QStringLiteral("%1%2").arg(QLatin1String(side)).arg(m, 2, 10, QLatin1Char('0'));
    return names;
}

// A small book of a turnover table whose amounts may be NULL or not, with the rows that sql
// writes, and its summary.
QString makeBook(const QTemporaryDir &dir, bool nullable, const QString &sql = {})
{
    const QString book = dir.filePath(QStringLiteral("own.sqlite"));
    QFile(book).open(QIODevice::WriteOnly); // an empty file is an empty book
    QStringList amounts;
    for (const QString &a : amountColumns())
        amounts << a + (nullable ? QStringLiteral(" REAL")
                                 : QStringLiteral(" REAL NOT NULL DEFAULT 0"));
    write(book, QStringLiteral("CREATE TABLE PROMET (BROJPODUZECA INTEGER, GODINAKNJ INTEGER, "
                               "SINTKONTO TEXT COLLATE NOCASE, ANALKONTO INTEGER, %1);"
                               "CREATE INDEX PROMET_KONTO ON PROMET (BROJPODUZECA, SINTKONTO);")
                        .arg(amounts.join(u',')) +
                    sql);
    QStringList added;
    QString error;
    if (!TurnoverSummary::addToBook(book, &added, &error))
        qWarning("makeBook: %s", qPrintable(error));
    return book;
}

// Amounts as a book may hold them: cents mostly, some without a whole number of cents, some
// up to the limit the sums keep, some far beyond it, and NULLs where the table allows them.
QString randomAmount(QRandomGenerator &random, bool nullable)
{
    const int kind = random.bounded(100);
    const double sign = random.bounded(4) == 0 ? -1 : 1;
    if (kind < 10)
        return nullable ? QStringLiteral("NULL") : QStringLiteral("0");
    if (kind < 65)
        return QString::number(sign * double(random.bounded(1, 100000000)) / 100, 'f', 2);
    if (kind < 75) // 1e-2 .. 1e3, any fraction
        return QString::number(sign * std::pow(10.0, random.bounded(5.0) - 2), 'g', 17);
    if (kind < 97) // up to the limit
        return QString::number(
            sign * double(random.bounded(Q_INT64_C(1), Q_INT64_C(99999999999999999))) / 100, 'f',
            2);
    // beyond it, just beyond or as far as a double goes
    const double beyond = random.bounded(random.bounded(2) == 0 ? 1.0 : 293.0);
    return QString::number(sign * std::pow(10.0, 15 + beyond), 'g', 17);
}

// One batch of random writes: inserts, changes of amounts, moves between firms, years and
// accounts, a large amount entered and corrected, deletes.
QString randomBatch(QRandomGenerator &random, bool nullable, int rowsAbout)
{
    static const char *const accounts[] = {"1200", "1201", "120a", "120A", "1210", "4000"};
    const QStringList names = amountColumns();
    using Columns = QMap<QString, QString>;
    const auto amounts = [&] {
        Columns set;
        for (int i = random.bounded(1, 6); i > 0; --i)
            set.insert(names[random.bounded(int(names.size()))], randomAmount(random, nullable));
        return set;
    };
    const auto key = [&] {
        return Columns{
            {QStringLiteral("BROJPODUZECA"), QString::number(random.bounded(1, 3))},
            {QStringLiteral("GODINAKNJ"), QString::number(kLastYear - random.bounded(2))},
            {QStringLiteral("SINTKONTO"),
             u'\'' + QLatin1String(accounts[random.bounded(6)]) + u'\''}};
    };
    const auto set = [](const Columns &columns) {
        QStringList out;
        for (auto c = columns.begin(); c != columns.end(); ++c)
            out << c.key() + QStringLiteral(" = ") + c.value();
        return QStringLiteral("UPDATE PROMET SET ") + out.join(u',') + QStringLiteral(" WHERE ");
    };
    const auto row = [&] {
        return QStringLiteral("rowid = %1").arg(random.bounded(1, rowsAbout + 1));
    };
    const auto someRows = [&] {
        return QStringLiteral("rowid % %1 = %2").arg(random.bounded(3, 12)).arg(random.bounded(3));
    };
    QStringList sql;
    for (int i = 0; i < 25; ++i) {
        const int what = random.bounded(100);
        if (what < 40) {
            Columns values = amounts();
            values.insert(key());
            values.insert(QStringLiteral("ANALKONTO"), QString::number(random.bounded(20)));
            sql << QStringLiteral("INSERT INTO PROMET (%1) VALUES (%2)")
                       .arg(values.keys().join(u','), values.values().join(u','));
        } else if (what < 65) {
            sql << set(amounts()) + row();
        } else if (what < 75) {
            sql << set(key()) + someRows();
        } else if (what < 85) { // entered by mistake (as large as is kept out) and corrected
            const QString a = names[random.bounded(int(names.size()))], where = row();
            sql << set({{a, QStringLiteral("1e15")}}) + where
                << set({{a, randomAmount(random, nullable)}}) + where;
        } else if (what < 95) {
            sql << QStringLiteral("DELETE FROM PROMET WHERE ") + row();
        } else {
            sql << set(amounts()) + someRows();
        }
    }
    return sql.join(QStringLiteral(";\n"));
}

} // namespace

class TstTurnoverSummary : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { cPristupPodacima::closeAllConnections(); }
    void statementsAnswerAlike_data();
    void statementsAnswerAlike();
    void summaryFollowsEveryChange_data();
    void summaryFollowsEveryChange();
    void addingFailsWholly_data();
    void addingFailsWholly();
    void randomWritesKeepTheSummaryExact_data();
    void randomWritesKeepTheSummaryExact();
    void driftedSummaryIsFoundAndRebuiltOrAdded();
};

void TstTurnoverSummary::statementsAnswerAlike_data()
{
    // The statements exactly as the windows build them, on both turnover tables, the accounts
    // chosen so that both have turnover on them (the cost-centre table holds income, expense and
    // goods on consignment); true where the summary answers them.
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("summarised");
    for (const char *t : {"PROMET", "PROMETMT"}) {
        const QString table = QLatin1String(t);
        const bool mt = table == u"PROMETMT";
        const TurnoverSql::Scope sint{table, 1, mt ? "410" : "120", {}, kFrom, kTo};
        const TurnoverSql::Scope anal{table, 1, "4101", {}, kFrom, kTo};
        const TurnoverSql::Scope partner{table, 1,  mt ? "4101" : "1200", mt ? " 0" : " 3",
                                         kFrom, kTo};
        for (int k = 0; k < 5; ++k) {
            QTest::addRow("%s account %s kind %d", t, qPrintable(sint.account), k)
                << TurnoverSql::accountChart(k, 0, 12, sint) << true;
            QTest::addRow("%s account 4101 kind %d, months 3-5", t, k)
                << TurnoverSql::accountChart(k, 3, 5, anal) << true;
            QTest::addRow("%s partner kind %d", t, k)
                << TurnoverSql::partnerChart(k, 0, 12, partner) << false;
        }
        for (int k = 0; k < 2; ++k) {
            QTest::addRow("%s cumulative kind %d", t, k)
                << TurnoverSql::cumulativeAccountChart(k, 0, 12, sint) << true;
            QTest::addRow("%s cumulative partner kind %d", t, k)
                << TurnoverSql::cumulativePartnerChart(k, 0, 12, partner) << false;
        }
        QTest::addRow("%s analytic fill", t)
            << TurnoverSql::analyticFill(table, 1, "410", kFrom, kTo) << true;
        QTest::addRow("%s partner fill", t)
            << TurnoverSql::partnerFill(table, 1, partner.account, kFrom, kTo) << false;
        // income, expense and balance groups, whole and one account of each
        const IncExpSql::Scope scope{table, 1, kFrom, kTo};
        for (const auto &[group, account] :
             std::initializer_list<std::pair<const char *, const char *>>{
                 {"PrihodiP", ""},
                 {"RashodiR", ""},
                 {"Prihodi-Rashodi (Dobit)S", ""},
                 {"PrihodiP", "7500"},
                 {"RashodiR", "4101"},
                 {"Bruto marža robeS", "7500"}}) {
            const IncExpSql::Kind kind = IncExpSql::kindOfKey(QString::fromUtf8(group));
            QTest::addRow("%s group %s %s", t, group, account)
                << (*account ? IncExpSql::accountChart(kind, account, group, 0, 12, scope)
                             : IncExpSql::groupChart(kind, group, 0, 12, scope))
                << true;
        }
        QTest::addRow("%s group share", t)
            << IncExpSql::shareData(IncExpSql::shareAccountCondition({"7500", "7501"}),
                                    IncExpSql::shareColumns(IncExpSql::Kind::Income, 1, 12), scope)
            << false;
    }
    const PlanSql::Node income{QStringLiteral("P"), {}};
    const PlanSql::Scope plan{1, 1, kTo};
    QTest::newRow("realisation") << PlanSql::planChart(
                                        1, 12, income, plan,
                                        PlanSql::UvjetKonta({{"7500", ""}, {"1200", "3"}}))
                                 << false;
    // without an account condition the realisation sums the whole year, as the summary can
    QTest::newRow("realisation of a whole year")
        << PlanSql::planChart(1, 12, income, plan, {}) << true;
}

void TstTurnoverSummary::statementsAnswerAlike()
{
    QFETCH(QString, sql);
    QFETCH(bool, summarised);
    QString stage, ran, rowsStage;
    const Rows rows = read(demoBook(), sql, true, &stage, &ran);
    QCOMPARE(stage, summarised ? kFromSummary : kFromRows);
    const QString diff = difference(rows, read(demoBook(), sql, false, &rowsStage), kCent);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(rowsStage, kFromRows);
    QVERIFY(!summarised || !rows.isEmpty());
    // read through an index: no turnover table, nor its summary, read in full (only the rows a
    // subquery narrowed); the summary through its own, or the turnover rows through theirs
    const QString p = queryPlan(ran);
    QVERIFY2(p.contains(QRegularExpression(QStringLiteral("USING (COVERING )?INDEX"))),
             qPrintable(p));
    QVERIFY2(!p.contains(QRegularExpression(QStringLiteral("SCAN P(ROMET| |\\n$)"))),
             qPrintable(p));
    QCOMPARE(p.contains(QStringLiteral("_SAZETAK")), summarised);
}

void TstTurnoverSummary::summaryFollowsEveryChange_data()
{
    // The demo book, or a small one whose amounts may be NULL (nulls), all binary fractions so
    // that sums compare to the bit: account 100 has DUG01 on one row only, 200 on none; 300 has
    // both sides on every row. kept: the summary is still one fingraf keeps after the change.
    QTest::addColumn<bool>("nulls");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QString>("change");
    auto row = [](const char *name, const QString &change, bool nulls = false, bool kept = true) {
        QTest::newRow(name) << nulls << kept << change;
    };
    const QString insert = QStringLiteral("INSERT INTO PROMET (BROJPODUZECA, GODINAKNJ, SINTKONTO, "
                                          "ANALKONTO, %1) VALUES (1, %2, %3)");
    row("new row of a known account", insert.arg("DUG03", kTo, "'1200', 9999, 1234.56"));
    row("first row of a new account and year",
        insert.arg("POT07", QString::number(kFirstYear + 1), "'1209', 0, 77.7"));
    row("amounts changed",
        "UPDATE PROMET SET DUG05 = DUG05 * 2 + 0.01, POT11 = 0 WHERE SINTKONTO = '1200'");
    row("rows moved to another account",
        "UPDATE PROMET SET SINTKONTO = '1201' WHERE SINTKONTO = '1200' AND ANALKONTO < 50");
    row("rows moved to another year and firm",
        "UPDATE PROMET SET GODINAKNJ = GODINAKNJ - 1, BROJPODUZECA = 2 WHERE SINTKONTO LIKE '12%' "
        "AND ANALKONTO % 3 = 0");
    // the summary row of 4101 in that year goes with its last row
    row("every row of an account and year deleted",
        "DELETE FROM PROMET WHERE SINTKONTO = '4101' AND GODINAKNJ = " + kTo);
    row("an account moved away whole",
        "UPDATE PROMET SET SINTKONTO = '1290' WHERE SINTKONTO = '1210'");
    row("code differing only in case", "UPDATE PROMET SET SINTKONTO = '120a' WHERE ANALKONTO = 5; "
                                       "UPDATE PROMET SET SINTKONTO = '120A' WHERE ANALKONTO = 6");
    row("everything deleted", "DELETE FROM PROMET");
    // refused, as it would drop the old row without the delete trigger
    row("insert or replace", "INSERT OR REPLACE INTO PROMET (rowid, BROJPODUZECA, GODINAKNJ, "
                             "SINTKONTO, ANALKONTO) VALUES (1, 1, 2020, '999', 0)");
    row("update or replace", "UPDATE OR REPLACE PROMET SET rowid = 1 WHERE rowid = 2");
    // a summary changed otherwise is not trusted, and the rows are read
    const QString deleted = "; DELETE FROM PROMET WHERE SINTKONTO = '1200' AND ANALKONTO < 100";
    row("a trigger dropped", "DROP TRIGGER PROMET_SAZETAK_BRISANJE" + deleted, false, false);
    row("a trigger on the summary",
        "CREATE TRIGGER T AFTER UPDATE ON PROMET_SAZETAK BEGIN SELECT 1; END" + deleted, false,
        false);
    // its triggers follow the old table
    row("the turnover table made anew",
        "ALTER TABLE PROMET RENAME TO P; CREATE TABLE PROMET AS SELECT * FROM P" + deleted, false,
        false);
    row("NULLs as made", {}, true);
    row("the only DUG01 of 100 deleted",
        "DELETE FROM PROMET WHERE DUG01 IS NOT NULL AND SINTKONTO = '100'", true);
    row("a NULL becomes an amount",
        "UPDATE PROMET SET DUG01 = 0.25 WHERE SINTKONTO = '200' AND ANALKONTO = 1", true);
    row("an amount becomes NULL", "UPDATE PROMET SET DUG01 = NULL WHERE SINTKONTO = '100'", true);
    row("a row with NULLs moves", "UPDATE PROMET SET SINTKONTO = '300' WHERE SINTKONTO = '200'",
        true);
}

void TstTurnoverSummary::summaryFollowsEveryChange()
{
    QFETCH(bool, nulls);
    QFETCH(bool, kept);
    QFETCH(QString, change);
    QTemporaryDir dir;
    const QString book =
        nulls ? makeBook(dir, true,
                         QStringLiteral("INSERT INTO PROMET (BROJPODUZECA, GODINAKNJ, SINTKONTO, "
                                        "ANALKONTO, DUG01, POT01) VALUES (1, 2020, '100', 1, 2.5, "
                                        "NULL), (1, 2020, '100', 2, NULL, 0.75), (1, 2020, '200', "
                                        "1, NULL, 1.5), (1, 2020, '200', 2, NULL, NULL), (1, 2020, "
                                        "'300', 1, 4, 1.25), (1, 2021, '300', 1, 8.5, 0.5)"))
              : demoBookCopy(dir);
    const QString error = execute(book, change);
    QVERIFY2(change.contains(QStringLiteral(" OR REPLACE "))
                 ? error.contains(QStringLiteral("REPLACE"))
                 : error.isEmpty(),
             qPrintable(error));
    // the summary holds exactly the count and sums of the rows
    QCOMPARE(checked(book), kept ? QString() : kNotKept);
    // and the statements read from it answer as the rows do
    QStringList statements;
    for (const char *account : {"1", "2", "3"})
        for (int kind = 0; nulls && kind < 5; ++kind)
            statements << TurnoverSql::accountChart(kind, 0, 2,
                                                    {"PROMET", 1, account, {}, "2020", kTo});
    if (!nulls)
        statements << TurnoverSql::accountChart(3, 0, 12, {"PROMET", 1, "12", {}, "0", kTo})
                   << TurnoverSql::accountChart(2, 0, 12, {"PROMET", 2, "1", {}, "0", kTo})
                   << TurnoverSql::analyticFill("PROMET", 1, "120", "0", kTo)
                   << IncExpSql::groupChart(IncExpSql::Kind::Balance, "Prihodi-Rashodi (Dobit)S", 0,
                                            12, {"PROMET", 1, kFrom, kTo});
    for (int i = 0; i < statements.size(); ++i) {
        QString stage;
        const QString diff = unlike(book, statements[i], nulls ? 0 : kCent, &stage);
        QVERIFY2(diff.isEmpty(), qPrintable(diff + u'\n' + statements[i]));
        // with amounts that may be NULL, a balance (kinds 3 and 4), which sums two amounts of a
        // row (a NULL in either drops the row), from the rows
        QCOMPARE(stage, kept && (!nulls || i % 5 < 3) ? kFromSummary : kFromRows);
    }
}

void TstTurnoverSummary::addingFailsWholly_data()
{
    // What was done to the book, or what another program that writes to it and does not let go
    // holds (the whole book, or only its write reservation); what is said.
    QTest::addColumn<QString>("change");
    QTest::addColumn<QByteArray>("held");
    QTest::addColumn<QString>("message");
    // PROMET comes first and would get its summary before PROMETMT fails
    QTest::newRow("unique index")
        << QStringLiteral("CREATE UNIQUE INDEX U ON PROMETMT (BROJPODUZECA, GODINAKNJ, "
                          "SINTKONTO, ANALKONTO, MJESTOTROSKA)")
        << QByteArray() << QStringLiteral("jedinstveni indeks U");
    QStringList decimal;
    for (const QString &a : amountColumns())
        decimal << (a.startsWith(u'D') ? QStringLiteral("CAST(%1 AS DECIMAL) AS %1").arg(a) : a);
    QTest::newRow("amounts of another type")
        << QStringLiteral("ALTER TABLE PROMETMT RENAME TO P; CREATE TABLE PROMETMT AS SELECT "
                          "BROJPODUZECA, GODINAKNJ, SINTKONTO, ") +
               decimal.join(u',') + QStringLiteral(" FROM P")
        << QByteArray() << QStringLiteral("PROMETMT.DUG00 je tipa \"NUM\"");
    QTest::newRow("read-only") << QString() << QByteArray() << QStringLiteral("samo za čitanje");
    for (const char *lock : {"BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"})
        QTest::addRow("%s by another", lock)
            << QString() << QByteArray(lock) << QStringLiteral("drži je drugi program");
}

void TstTurnoverSummary::addingFailsWholly()
{
    QFETCH(QString, change);
    QFETCH(QByteArray, held);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    dropSummary(book);
    write(book, change);
    const QString schema = QStringLiteral("SELECT group_concat(sql) FROM sqlite_master");
    const QVariant before = scalar(book, schema);
    QStringList added;
    QString error;
    sqlite3 *other = nullptr;
    if (!held.isEmpty()) { // waited for, then refused
        QCOMPARE(sqlite3_open(book.toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, held + "; UPDATE CONFIG SET NazivFirme=NazivFirme;", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        QVERIFY(!TurnoverSummary::addToBook(book, &added, &error));
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    } else if (change.isEmpty()) {
        // file rights do not stop every user, a read-only connection does
        sqlite3 *db = nullptr;
        sqlite3_open_v2(book.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        QVERIFY(!TurnoverSummary::add(db, &added, &error));
        sqlite3_close(db);
    } else {
        QVERIFY(!TurnoverSummary::addToBook(book, &added, &error));
    }
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(added.isEmpty());
    QCOMPARE(scalar(book, schema), before);
    QVERIFY(
        !TurnoverSummary::addToBook(dir.filePath(QStringLiteral("none.sqlite")), &added, &error));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("none.sqlite"))));
    // once let go, it is added
    QVERIFY(held.isEmpty() || TurnoverSummary::addToBook(book, &added, &error));
}

void TstTurnoverSummary::randomWritesKeepTheSummaryExact_data()
{
    QTest::addColumn<bool>("nullable");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("amounts NOT NULL") << false << 20261207u;
    QTest::newRow("amounts that may be NULL") << true << 7122026u;
}

void TstTurnoverSummary::randomWritesKeepTheSummaryExact()
{
    QFETCH(bool, nullable);
    QFETCH(quint32, seed);
    QTemporaryDir dir;
    const QString book = makeBook(dir, nullable);
    QRandomGenerator random(seed);
    const QString from = QString::number(kLastYear - 1);
    QStringList magnitudes;
    for (const QString &a : amountColumns())
        magnitudes << QStringLiteral(
                          "coalesce(abs(CASE WHEN abs(%1) >= 1e15 THEN 0 ELSE %1 END), 0)")
                          .arg(a);
    int fromSummary = 0, fromRows = 0;
    for (int batch = 0; batch < 30; ++batch) {
        QString sql = randomBatch(random, nullable, 30 + 10 * batch);
        if (batch % 3 == 2) { // every large amount corrected
            for (const QString &a : amountColumns())
                sql += QStringLiteral(";\nUPDATE PROMET SET %1 = %2 WHERE abs(%1) >= 1e15")
                           .arg(a, randomAmount(random, false));
        }
        write(book, sql);
        const QString at = QStringLiteral("batch %1: ").arg(batch);
        const QString drift = checked(book);
        QVERIFY2(drift.isEmpty(), qPrintable(at + drift));

        // the charts from the summary against the rows, within what the rows' own sums round off
        const double largest =
            scalar(book, QStringLiteral("SELECT coalesce(max(%1), 0) FROM PROMET")
                             .arg(magnitudes.join(QStringLiteral(" + "))))
                .toDouble();
        const double rows = scalar(book, QStringLiteral("SELECT count(*) FROM PROMET")).toDouble();
        const double tolerance =
            qMax(kCent, rows * largest * std::numeric_limits<double>::epsilon());
        for (const char *account : {"120", "4"})
            for (int kind = 0; kind < 5; ++kind) {
                const TurnoverSql::Scope s{
                    QStringLiteral("PROMET"), 1 + kind % 2, account, {}, from, kTo};
                const QString chart = TurnoverSql::accountChart(kind, 0, 12, s);
                QString stage;
                const QString d = unlike(book, chart, tolerance, &stage);
                QVERIFY2(d.isEmpty(), qPrintable(at + d + u'\n' + chart));
                (stage == kFromSummary ? fromSummary : fromRows)++;
            }
    }
    // both ways were taken: from the summary, and from the rows while a key held a large amount
    QVERIFY2(fromSummary > 0 && fromRows > 0,
             qPrintable(QStringLiteral("%1 from the summary, %2 from the rows")
                            .arg(fromSummary)
                            .arg(fromRows)));
}

void TstTurnoverSummary::driftedSummaryIsFoundAndRebuiltOrAdded()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    // the book's schema, its objects in the order of their names
    auto schema = [&] {
        return scalar(book, QStringLiteral("SELECT group_concat(sql) FROM (SELECT sql FROM "
                                           "sqlite_master ORDER BY name)"))
            .toString();
    };
    QCOMPARE(checked(book), QString());
    // as a summary kept by sums of doubles alone drifted: 0.45 lost, a row miscounted, a key
    // missing, one too many
    const QString key1200 = QStringLiteral(" WHERE BROJPODUZECA = 1 AND GODINAKNJ = %1 AND "
                                           "SINTKONTO = '1200'")
                                .arg(kTo);
    write(book, QStringLiteral("UPDATE PROMET_SAZETAK SET SAZ_ZBROJ_DUG01 = SAZ_ZBROJ_DUG01 + "
                               "0.45, SAZ_REDOVA = SAZ_REDOVA + 1") +
                    key1200 +
                    QStringLiteral("; DELETE FROM PROMET_SAZETAK WHERE SINTKONTO = '4000' AND "
                                   "GODINAKNJ = %1 AND BROJPODUZECA = 1; UPDATE PROMET_SAZETAK "
                                   "SET SINTKONTO = '9999' WHERE SINTKONTO = '4100' AND "
                                   "GODINAKNJ = %1 AND BROJPODUZECA = 1")
                        .arg(kTo));
    const QString before = schema();
    const double dug01 =
        scalar(book, QStringLiteral("SELECT sum(DUG01) FROM PROMET") + key1200).toDouble();
    const qint64 rows =
        scalar(book, QStringLiteral("SELECT count(*) FROM PROMET") + key1200).toLongLong();
    const QString key = QStringLiteral("PROMET: poduzeće 1, godina %1, konto \"%2\": ").arg(kTo);
    QCOMPARE(checked(book),
             QStringList({key.arg(QStringLiteral("1200")) +
                              QStringLiteral("redaka %1 u sažetku, %2 u prometu; DUG01 %3 u "
                                             "sažetku, %4 u prometu")
                                  .arg(rows + 1)
                                  .arg(rows)
                                  .arg(dug01 + 0.45, 0, 'f', 2)
                                  .arg(dug01, 0, 'f', 2),
                          key.arg(QStringLiteral("4000")) + QStringLiteral("nema ga u sažetku"),
                          key.arg(QStringLiteral("4100")) + QStringLiteral("nema ga u sažetku"),
                          key.arg(QStringLiteral("9999")) +
                              QStringLiteral("u sažetku, a nema ga u prometu")})
                 .join(u'\n'));
    QCOMPARE(schema(), before); // checking changed nothing

    QStringList added;
    QString error;
    QVERIFY2(TurnoverSummary::addToBook(book, &added, &error, {}, TurnoverSummary::Mode::Rebuild),
             qPrintable(error));
    QCOMPARE(added, QStringList({QStringLiteral("PROMET"), QStringLiteral("PROMETMT")}));
    QCOMPARE(checked(book), QString());
    QCOMPARE(schema(), before);

    // a summary fingraf does not keep cannot be checked (summaryFollowsEveryChange), nor added
    // to, only rebuilt
    write(book, QStringLiteral("DROP TRIGGER PROMET_SAZETAK_UNOS"));
    QVERIFY(!TurnoverSummary::addToBook(book, &added, &error));
    QVERIFY2(error.contains(QStringLiteral("Obnovite ga")), qPrintable(error));
    QVERIFY2(TurnoverSummary::addToBook(book, &added, &error, {}, TurnoverSummary::Mode::Rebuild),
             qPrintable(error));
    QCOMPARE(schema(), before);

    // without one the book is read as before; opening, reading and checking it changes nothing
    dropSummary(book);
    const QString without = schema();
    QCOMPARE(checked(book), QStringLiteral("not checked: Tablica PROMET nema sažetka prometa. "
                                           "Dodajte ga (fingraf sazetak)."));
    const QString sql = TurnoverSql::accountChart(0, 0, 12, {"PROMET", 1, "120", {}, kFrom, kTo});
    QString stage;
    QCOMPARE(unlike(book, sql, kCent, &stage), QString());
    QCOMPARE(stage, kFromRows);
    QCOMPARE(schema(), without);
    // asked, it gets one, filled from the rows, telling how far it has come (rising, each value
    // once), and reads from it
    QVector<int> told;
    const auto tell = [&](int percent) { told << percent; };
    QVERIFY2(TurnoverSummary::addToBook(book, &added, &error, tell), qPrintable(error));
    QCOMPARE(added, QStringList({QStringLiteral("PROMET"), QStringLiteral("PROMETMT")}));
    QVERIFY(told.size() > 2);
    QCOMPARE(told.first(), 0);
    QCOMPARE(told.last(), 100);
    QVERIFY(std::is_sorted(told.begin(), told.end()));
    QCOMPARE(std::adjacent_find(told.begin(), told.end()), told.end());
    QCOMPARE(unlike(book, sql, kCent, &stage), QString());
    QCOMPARE(stage, kFromSummary);
    QCOMPARE(schema(), before);
    // a second time it has nothing to add, and is done at once
    told.clear();
    QVERIFY(TurnoverSummary::addToBook(book, &added, &error, tell));
    QVERIFY(added.isEmpty());
    QCOMPARE(told.last(), 100);
    QCOMPARE(schema(), before);
}

QTEST_GUILESS_MAIN(TstTurnoverSummary)
#include "tst_turnoversummary.moc"
