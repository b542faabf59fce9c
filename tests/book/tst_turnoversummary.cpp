// The turnover summary against the turnover rows themselves: every statement the summary answers
// must give what SQLite gives from the rows, after any change to them.
#include "book/bookstatements.h"
#include "book/turnoversummary.h"
#include "platform/data/booklock.h"
#include "platform/data/pristuppodacima.h"
#include "platform/data/sqlitefunctions.h"
#include "testsupport.h"
#include "windowstatements.h"

#include <QDate>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <limits>

using namespace TestSupport;
using Rows = QVector<QVector<QVariant>>;

namespace {

const QString kFrom = QString::number(kFirstYear);
const QString kTo = QString::number(kLastYear);

// The rows SQLite gives for a statement adapted without any summary, so read from the turnover
// rows, on the book attached as the data access attaches it.
Rows bare(const QString &book, const QString &tsql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, ("ATTACH DATABASE '" + book.toUtf8() + "' AS dbo").constData(), nullptr,
                 nullptr, nullptr);
    SqliteFunctions::registerAll(db);
    Rows rows;
    sqlite3_stmt *s = nullptr;
    if (sqlite3_prepare_v2(db, TSqlAdapter::adapt(tsql).sql.toUtf8().constData(), -1, &s,
                           nullptr) != SQLITE_OK)
        qWarning("bare: %s", sqlite3_errmsg(db));
    while (s && sqlite3_step(s) == SQLITE_ROW) {
        QVector<QVariant> row;
        for (int c = 0; c < sqlite3_column_count(s); ++c)
            switch (sqlite3_column_type(s, c)) {
            case SQLITE_INTEGER:
                row << qlonglong(sqlite3_column_int64(s, c));
                break;
            case SQLITE_FLOAT:
                row << sqlite3_column_double(s, c);
                break;
            case SQLITE_TEXT:
                row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, c)));
                break;
            default:
                row << QVariant();
            }
        rows << row;
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return rows;
}

// Changes the book as any other program would; the triggers fire as they do for it.
void write(const QString &book, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(book.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                    nullptr);
    char *error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK)
        qWarning("write: %s", error);
    sqlite3_free(error);
    sqlite3_close(db);
}

// The demo book as it would be without its summary.
void dropSummary(const QString &book)
{
    QString sql;
    for (const char *t : {"PROMET", "PROMETMT"}) {
        sql += QStringLiteral("DROP TABLE IF EXISTS %1_SAZETAK;").arg(QLatin1String(t));
        for (const char *trigger : {"UNOS", "IZMJENA", "BRISANJE", "ZAMJENA", "ZAMJENA_IZMJENOM"})
            sql += QStringLiteral("DROP TRIGGER IF EXISTS %1_SAZETAK_%2;")
                       .arg(QLatin1String(t), QLatin1String(trigger));
    }
    write(book, sql);
}

// The statement through the data access; *stage says how it ran.
Rows ours(const QString &book, const QString &sql, QString *stage)
{
    cPristupPodacima::setTrace([stage](const QString &st, const QString &) {
        if (st != u"sql")
            *stage = st;
    });
    BookStatements::install();
    cPristupPodacima db;
    Recordset rs;
    const bool ok = db.OtvoriRecordset(sqliteConn(book), sql, rs, true, false);
    cPristupPodacima::setTrace(nullptr);
    cPristupPodacima::closeAllConnections(); // the next call sees the book as it is then
    if (!ok)
        qWarning("ours: %s", qPrintable(db.OpisGreske()));
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

// The sum of xs rounded once: the running sum is kept as partial sums that do not overlap, each
// addition split exactly into its rounded result and its error.
double exactSum(const QVector<double> &xs)
{
    std::vector<double> partials;
    for (double x : xs) {
        size_t kept = 0;
        for (double y : partials) {
            if (std::fabs(x) < std::fabs(y))
                std::swap(x, y);
            const double high = x + y;
            const double low = y - (high - x);
            if (low != 0)
                partials[kept++] = low;
            x = high;
        }
        partials.resize(kept);
        partials.push_back(x);
    }
    double sum = 0;
    for (auto p = partials.rbegin(); p != partials.rend(); ++p)
        sum += *p;
    return sum;
}

QStringList amountColumns()
{
    QStringList names;
    for (const char *side : {"DUG", "POT"})
        for (int m = 0; m <= 12; ++m)
            names << QLatin1String(side) + WindowStatements::mm(m);
    return names;
}

// A small book whose turnover rows are written at random below.
void makeRandomBook(const QString &book, bool nullable)
{
    QStringList amounts;
    for (const QString &a : amountColumns())
        amounts << a + (nullable ? QStringLiteral(" REAL")
                                 : QStringLiteral(" REAL NOT NULL DEFAULT 0"));
    write(book, QStringLiteral("CREATE TABLE PROMET (BROJPODUZECA INTEGER, GODINAKNJ INTEGER, "
                               "SINTKONTO TEXT COLLATE NOCASE, ANALKONTO INTEGER, %1);"
                               "CREATE INDEX PROMET_KONTO ON PROMET (BROJPODUZECA, SINTKONTO)")
                    .arg(amounts.join(u',')));
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
    return QString::number(sign * std::pow(10.0, 15 + random.bounded(293.0)), 'g', 17);
}

QString randomKey(QRandomGenerator &random, const char *what)
{
    static const char *const accounts[] = {"1200", "1201", "120a", "120A", "1210", "4000"};
    const QString firm = QString::number(random.bounded(1, 3));
    const QString year = QString::number(kLastYear - random.bounded(2));
    const QString account =
        u'\'' + QLatin1String(accounts[random.bounded(int(std::size(accounts)))]) + u'\'';
    if (qstrcmp(what, "set") == 0)
        return QStringLiteral("BROJPODUZECA = %1, GODINAKNJ = %2, SINTKONTO = %3")
            .arg(firm, year, account);
    return QStringLiteral("%1, %2, %3").arg(firm, year, account);
}

// One batch of random writes: inserts, changes of amounts, moves between firms, years and
// accounts, a large amount entered and corrected, deletes.
QString randomBatch(QRandomGenerator &random, bool nullable, int rowsAbout)
{
    const QStringList amounts = amountColumns();
    QStringList sql;
    auto someAmounts = [&](bool insert) {
        QStringList names, values;
        for (int i = 0, n = random.bounded(1, 6); i < n; ++i) {
            const QString a = amounts[random.bounded(int(amounts.size()))];
            if (names.contains(a))
                continue;
            names << a;
            values << randomAmount(random, nullable);
        }
        if (insert)
            return qMakePair(names.join(u','), values.join(u','));
        QStringList set;
        for (int i = 0; i < names.size(); ++i)
            set << names[i] + QStringLiteral(" = ") + values[i];
        return qMakePair(set.join(u','), QString());
    };
    auto someRows = [&] {
        return QStringLiteral("rowid % %1 = %2").arg(random.bounded(3, 12)).arg(random.bounded(3));
    };
    for (int i = 0; i < 25; ++i) {
        const int what = random.bounded(100);
        if (what < 40) {
            const auto [names, values] = someAmounts(true);
            sql << QStringLiteral("INSERT INTO PROMET (BROJPODUZECA, GODINAKNJ, SINTKONTO, "
                                  "ANALKONTO, %1) VALUES (%2, %3, %4)")
                       .arg(names, randomKey(random, "values"))
                       .arg(random.bounded(20))
                       .arg(values);
        } else if (what < 65) {
            sql << QStringLiteral("UPDATE PROMET SET %1 WHERE rowid = %2")
                       .arg(someAmounts(false).first)
                       .arg(random.bounded(1, rowsAbout + 1));
        } else if (what < 75) {
            sql << QStringLiteral("UPDATE PROMET SET %1 WHERE %2")
                       .arg(randomKey(random, "set"), someRows());
        } else if (what < 85) {
            // entered by mistake and corrected
            const QString a = amounts[random.bounded(int(amounts.size()))];
            const QString row = QString::number(random.bounded(1, rowsAbout + 1));
            sql << QStringLiteral("UPDATE PROMET SET %1 = 1e17 WHERE rowid = %2").arg(a, row)
                << QStringLiteral("UPDATE PROMET SET %1 = %2 WHERE rowid = %3")
                       .arg(a, randomAmount(random, nullable), row);
        } else if (what < 95) {
            sql << QStringLiteral("DELETE FROM PROMET WHERE rowid = %1")
                       .arg(random.bounded(1, rowsAbout + 1));
        } else {
            sql << QStringLiteral("UPDATE PROMET SET %1 WHERE %2")
                       .arg(someAmounts(false).first, someRows());
        }
    }
    return sql.join(QStringLiteral(";\n"));
}

struct KeySums
{
    qint64 rows = 0, large = 0;
    QVector<QVector<double>> kept{26};
    QVector<qint64> nonNull = QVector<qint64>(26, 0);
};

// Each key's rows, counted and summed exactly, beside the summary's row for it; empty when they
// agree to the cent, else what differs.
QString summaryAgainstRows(const QString &book)
{
    const QString amounts = amountColumns().join(u',');
    QMap<QString, KeySums> fromRows;
    for (const QVector<QVariant> &row :
         bare(book, QStringLiteral("SELECT BROJPODUZECA, GODINAKNJ, hex(SINTKONTO), %1 "
                                   "FROM dbo.PROMET")
                        .arg(amounts))) {
        KeySums &k =
            fromRows[row[0].toString() + u'/' + row[1].toString() + u'/' + row[2].toString()];
        ++k.rows;
        for (int a = 0; a < 26; ++a) {
            const QVariant v = row[3 + a];
            if (v.isNull())
                continue;
            ++k.nonNull[a];
            if (std::fabs(v.toDouble()) >= 1e15)
                ++k.large;
            else
                k.kept[a] << v.toDouble();
        }
    }
    const Rows summary =
        bare(book, QStringLiteral("SELECT BROJPODUZECA, GODINAKNJ, hex(SINTKONTO), "
                                  "SAZ_REDOVA, SAZ_VELIKIH, %1 FROM "
                                  "dbo.PROMET_SAZETAK")
                       .arg(amounts));
    if (summary.size() != fromRows.size())
        return QStringLiteral("%1 keys in the summary, %2 in the rows")
            .arg(summary.size())
            .arg(fromRows.size());
    for (const QVector<QVariant> &s : summary) {
        const QString key = s[0].toString() + u'/' + s[1].toString() + u'/' + s[2].toString();
        if (!fromRows.contains(key))
            return key + QStringLiteral(": not in the rows");
        const KeySums &k = fromRows[key];
        if (s[3].toLongLong() != k.rows || s[4].toLongLong() != k.large)
            return key + QStringLiteral(": %1 rows, %2 large against %3, %4")
                             .arg(s[3].toLongLong())
                             .arg(s[4].toLongLong())
                             .arg(k.rows)
                             .arg(k.large);
        for (int a = 0; a < 26; ++a) {
            const QVariant v = s[5 + a];
            if (v.isNull() != (k.nonNull[a] == 0))
                return key + QStringLiteral(": %1 NULL against %2 amounts")
                                 .arg(amountColumns()[a])
                                 .arg(k.nonNull[a]);
            // to the cent, or to the last bit of a sum too large for a double to hold its cents
            const double exact = exactSum(k.kept[a]);
            const double ulp = std::nextafter(std::fabs(exact), HUGE_VAL) - std::fabs(exact);
            if (!v.isNull() && !(std::fabs(v.toDouble() - exact) <= qMax(0.005, ulp)))
                return key + QStringLiteral(": %1 %2 against %3")
                                 .arg(amountColumns()[a])
                                 .arg(v.toDouble(), 0, 'f', 4)
                                 .arg(exact, 0, 'f', 4);
        }
    }
    return {};
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
    void nullAmountsKeepTheirSum_data();
    void nullAmountsKeepTheirSum();
    void bookWithoutSummaryIsReadAsBefore();
    void changedSummaryIsNotTrusted_data();
    void changedSummaryIsNotTrusted();
    void addingFailsWholly_data();
    void addingFailsWholly();
    void replacingARowIsRefused();
    void bookLockedByAnotherIsWaitedForThenRefused();
    void progressRisesToAHundred();
    void randomWritesKeepTheSummaryExact_data();
    void randomWritesKeepTheSummaryExact();
    void driftedSummaryIsFoundAndRebuilt();
};

void TstTurnoverSummary::statementsAnswerAlike_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("summarised");
    WindowStatements::addRows(QStringLiteral("PROMET"), kFrom, kTo);
    WindowStatements::addRows(QStringLiteral("PROMETMT"), kFrom, kTo);
    QTest::newRow("realisation") << WindowStatements::realisation(kTo, true) << false;
    // a plan node without plan rows: the realisation sums the whole year, as the summary can
    QTest::newRow("realisation of a whole year")
        << WindowStatements::realisation(kTo, false) << true;
}

void TstTurnoverSummary::statementsAnswerAlike()
{
    QFETCH(QString, sql);
    QFETCH(bool, summarised);
    QString stage;
    const Rows rows = ours(demoBook(), sql, &stage);
    QCOMPARE(stage, summarised ? QStringLiteral("sqlite (iz sažetka)") : QStringLiteral("sqlite"));
    const QString diff = difference(rows, bare(demoBook(), sql), kCent);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY(!summarised || !rows.isEmpty());
}

void TstTurnoverSummary::summaryFollowsEveryChange_data()
{
    QTest::addColumn<QString>("change");
    const QString y = kTo;
    QTest::newRow("new row of a known account")
        << QStringLiteral("INSERT INTO PROMET (BROJPODUZECA, GODINAKNJ, SINTKONTO, ANALKONTO, "
                          "DUG03) VALUES (1, %1, '1200', 9999, 1234.56)")
               .arg(y);
    QTest::newRow("first row of a new account and year")
        << QStringLiteral("INSERT INTO PROMET (BROJPODUZECA, GODINAKNJ, SINTKONTO, ANALKONTO, "
                          "POT07) VALUES (1, %1, '1209', 0, 77.7)")
               .arg(kFrom.toInt() + 1);
    QTest::newRow("amounts changed") << QStringLiteral(
        "UPDATE PROMET SET DUG05 = DUG05 * 2 + 0.01, POT11 = 0 WHERE SINTKONTO = '1200'");
    QTest::newRow("rows moved to another account")
        << QStringLiteral("UPDATE PROMET SET SINTKONTO = '1201' WHERE SINTKONTO = '1200' AND "
                          "ANALKONTO < 50");
    QTest::newRow("rows moved to another year and firm")
        << QStringLiteral("UPDATE PROMET SET GODINAKNJ = GODINAKNJ - 1, BROJPODUZECA = 2 WHERE "
                          "SINTKONTO LIKE '12%' AND ANALKONTO % 3 = 0");
    // the summary row of 4101 in that year goes with its last row
    QTest::newRow("every row of an account and year deleted")
        << QStringLiteral("DELETE FROM PROMET WHERE SINTKONTO = '4101' AND GODINAKNJ = %1").arg(y);
    QTest::newRow("an account moved away whole")
        << QStringLiteral("UPDATE PROMET SET SINTKONTO = '1290' WHERE SINTKONTO = '1210'");
    QTest::newRow("code differing only in case")
        << QStringLiteral("UPDATE PROMET SET SINTKONTO = '120a' WHERE ANALKONTO = 5; UPDATE "
                          "PROMET SET SINTKONTO = '120A' WHERE ANALKONTO = 6");
    QTest::newRow("everything deleted") << QStringLiteral("DELETE FROM PROMET");
}

void TstTurnoverSummary::summaryFollowsEveryChange()
{
    QFETCH(QString, change);
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    write(book, change);
    // the summary holds exactly what a fresh count and sum of the rows gives
    QStringList sums;
    for (const char *side : {"DUG", "POT"})
        for (int m = 0; m <= 12; ++m)
            sums << QStringLiteral("round(sum(%1%2), 2)")
                        .arg(QLatin1String(side))
                        .arg(WindowStatements::mm(m));
    const QString fresh = QStringLiteral("SELECT BROJPODUZECA, GODINAKNJ, SINTKONTO, count(*), %1 "
                                         "FROM dbo.PROMET GROUP BY 1, SINTKONTO COLLATE BINARY, 2 "
                                         "ORDER BY 1, 2, SINTKONTO COLLATE BINARY")
                              .arg(sums.join(u','));
    QString kept = fresh;
    kept.replace(QStringLiteral("count(*)"), QStringLiteral("sum(SAZ_REDOVA)"))
        .replace(QStringLiteral("dbo.PROMET"), QStringLiteral("dbo.PROMET_SAZETAK"));
    QCOMPARE(bare(book, kept), bare(book, fresh));
    // and the statements read from it answer as the rows do
    for (const QString &sql :
         {TurnoverSql::accountChart(
              3, 0, 12,
              {QStringLiteral("PROMET"), 1, QStringLiteral("12"), {}, QStringLiteral("0"), kTo}),
          TurnoverSql::accountChart(
              2, 0, 12,
              {QStringLiteral("PROMET"), 2, QStringLiteral("1"), {}, QStringLiteral("0"), kTo}),
          TurnoverSql::analyticFill(QStringLiteral("PROMET"), 1, QStringLiteral("120"),
                                    QStringLiteral("0"), kTo),
          WindowStatements::groupChart(QStringLiteral("PROMET"), 'S',
                                       QStringLiteral("Prihodi-Rashodi (Dobit)S"), {}, kFrom,
                                       kTo)}) {
        QString stage;
        const QString diff = difference(ours(book, sql, &stage), bare(book, sql), kCent);
        QVERIFY2(diff.isEmpty(), qPrintable(diff + u'\n' + sql));
        QCOMPARE(stage, QStringLiteral("sqlite (iz sažetka)"));
    }
}

void TstTurnoverSummary::nullAmountsKeepTheirSum_data()
{
    // A book whose amounts may be NULL, all binary fractions so that sums compare to the bit.
    // Account 100 has DUG01 on one row only, 200 on none; 300 has both sides on every row.
    QTest::addColumn<QString>("change");
    QTest::newRow("as made") << QString();
    QTest::newRow("the only DUG01 of 100 deleted")
        << QStringLiteral("DELETE FROM PROMET WHERE DUG01 IS NOT NULL AND SINTKONTO = '100'");
    QTest::newRow("a NULL becomes an amount") << QStringLiteral(
        "UPDATE PROMET SET DUG01 = 0.25 WHERE SINTKONTO = '200' AND ANALKONTO = 1");
    QTest::newRow("an amount becomes NULL")
        << QStringLiteral("UPDATE PROMET SET DUG01 = NULL WHERE SINTKONTO = '100'");
    QTest::newRow("a row with NULLs moves")
        << QStringLiteral("UPDATE PROMET SET SINTKONTO = '300' WHERE SINTKONTO = '200'");
}

void TstTurnoverSummary::nullAmountsKeepTheirSum()
{
    QFETCH(QString, change);
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("nulls.sqlite"));
    QStringList amounts;
    for (const char *side : {"DUG", "POT"})
        for (int m = 0; m <= 12; ++m)
            amounts << QLatin1String(side) + WindowStatements::mm(m) + QStringLiteral(" REAL");
    write(book, QStringLiteral("CREATE TABLE PROMET (BROJPODUZECA INTEGER, GODINAKNJ INTEGER, "
                               "SINTKONTO TEXT, ANALKONTO INTEGER, %1);"
                               "INSERT INTO PROMET (BROJPODUZECA, GODINAKNJ, SINTKONTO, ANALKONTO, "
                               "DUG01, POT01) VALUES (1, 2020, '100', 1, 2.5, NULL), "
                               "(1, 2020, '100', 2, NULL, 0.75), (1, 2020, '200', 1, NULL, 1.5), "
                               "(1, 2020, '200', 2, NULL, NULL), (1, 2020, '300', 1, 4, 1.25), "
                               "(1, 2021, '300', 1, 8.5, 0.5)")
                    .arg(amounts.join(u',')));
    QStringList added;
    QString error;
    QVERIFY2(TurnoverSummary::addToBook(book, &added, &error), qPrintable(error));
    write(book, change);
    for (const char *account : {"1", "2", "3"})
        for (int kind = 0; kind < 5; ++kind) {
            const QString sql = TurnoverSql::accountChart(kind, 0, 2,
                                                          {QStringLiteral("PROMET"),
                                                           1,
                                                           QLatin1String(account),
                                                           {},
                                                           QStringLiteral("2020"),
                                                           QStringLiteral("2021")});
            QString stage;
            const QString diff = difference(ours(book, sql, &stage), bare(book, sql), 0);
            QVERIFY2(diff.isEmpty(), qPrintable(diff + u'\n' + sql));
            // a balance sums two amounts of a row, which a NULL in either drops from the sum
            QCOMPARE(stage,
                     kind < 3 ? QStringLiteral("sqlite (iz sažetka)") : QStringLiteral("sqlite"));
        }
}

void TstTurnoverSummary::bookWithoutSummaryIsReadAsBefore()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    dropSummary(book);
    const QString schema = QStringLiteral("SELECT group_concat(name) FROM sqlite_master");
    const QVariant before = scalar(book, schema);
    const QString sql = TurnoverSql::accountChart(
        0, 0, 12, {QStringLiteral("PROMET"), 1, QStringLiteral("120"), {}, kFrom, kTo});
    QString stage;
    QVERIFY(difference(ours(book, sql, &stage), bare(book, sql), kCent).isEmpty());
    QCOMPARE(stage, QStringLiteral("sqlite"));
    QCOMPARE(scalar(book, schema), before); // opening and reading changed nothing

    // asked, it gets one, filled from the rows, and reads from it
    QStringList added;
    QString error;
    QVERIFY2(TurnoverSummary::addToBook(book, &added, &error), qPrintable(error));
    QCOMPARE(added, QStringList({QStringLiteral("PROMET"), QStringLiteral("PROMETMT")}));
    QVERIFY(difference(ours(book, sql, &stage), bare(book, sql), kCent).isEmpty());
    QCOMPARE(stage, QStringLiteral("sqlite (iz sažetka)"));
    const QVariant with = scalar(book, schema);
    QVERIFY(TurnoverSummary::addToBook(book, &added, &error));
    QVERIFY(added.isEmpty()); // a second time it has nothing to add
    QCOMPARE(scalar(book, schema), with);
}

void TstTurnoverSummary::changedSummaryIsNotTrusted_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("a trigger dropped") << QStringLiteral("DROP TRIGGER PROMET_SAZETAK_BRISANJE");
    QTest::newRow("a trigger on the summary")
        << QStringLiteral("CREATE TRIGGER T AFTER UPDATE ON PROMET_SAZETAK BEGIN SELECT 1; END");
    // its triggers follow the old table
    QTest::newRow("the turnover table made anew")
        << QStringLiteral("ALTER TABLE PROMET RENAME TO P; CREATE TABLE PROMET AS SELECT * FROM P");
}

void TstTurnoverSummary::changedSummaryIsNotTrusted()
{
    QFETCH(QString, change);
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    write(book, change);
    write(book, QStringLiteral("DELETE FROM PROMET WHERE SINTKONTO = '1200' AND ANALKONTO < 100"));
    const QString sql = TurnoverSql::accountChart(
        1, 0, 12, {QStringLiteral("PROMET"), 1, QStringLiteral("12"), {}, kFrom, kTo});
    QString stage;
    QVERIFY(difference(ours(book, sql, &stage), bare(book, sql), kCent).isEmpty());
    QCOMPARE(stage, QStringLiteral("sqlite"));
}

void TstTurnoverSummary::addingFailsWholly_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    // PROMET comes first and would get its summary before PROMETMT fails
    QTest::newRow("unique index")
        << QStringLiteral("CREATE UNIQUE INDEX U ON PROMETMT (BROJPODUZECA, GODINAKNJ, "
                          "SINTKONTO, ANALKONTO, MJESTOTROSKA)")
        << QStringLiteral("jedinstveni indeks U");
    QStringList decimal;
    for (int m = 0; m <= 12; ++m)
        decimal << QStringLiteral("CAST(DUG%1 AS DECIMAL) AS DUG%1, POT%1")
                       .arg(WindowStatements::mm(m));
    QTest::newRow("amounts of another type")
        << QStringLiteral("ALTER TABLE PROMETMT RENAME TO P; CREATE TABLE PROMETMT AS SELECT "
                          "BROJPODUZECA, GODINAKNJ, SINTKONTO, ") +
               decimal.join(u',') + QStringLiteral(" FROM P")
        << QStringLiteral("PROMETMT.DUG00 je tipa \"NUM\"");
    QTest::newRow("read-only") << QString() << QStringLiteral("samo za čitanje");
}

void TstTurnoverSummary::addingFailsWholly()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    dropSummary(book);
    write(book, change);
    const QString schema = QStringLiteral("SELECT group_concat(sql) FROM sqlite_master");
    const QVariant before = scalar(book, schema);
    QStringList added;
    QString error;
    if (change.isEmpty()) { // file rights do not stop every user, a read-only connection does
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
}

void TstTurnoverSummary::replacingARowIsRefused()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    const QString rows = QStringLiteral("SELECT sum(SAZ_REDOVA) FROM PROMET_SAZETAK");
    const QVariant before = scalar(book, rows);
    // REPLACE would drop the old row without the delete trigger
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("REPLACE")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("REPLACE")));
    write(book, QStringLiteral("INSERT OR REPLACE INTO PROMET (rowid, BROJPODUZECA, GODINAKNJ, "
                               "SINTKONTO, ANALKONTO) VALUES (1, 1, 2020, '999', 0)"));
    write(book, QStringLiteral("UPDATE OR REPLACE PROMET SET rowid = 1 WHERE rowid = 2"));
    QCOMPARE(scalar(book, rows), before);
    QCOMPARE(scalar(book, QStringLiteral("SELECT count(*) FROM PROMET")), before);
    write(book, QStringLiteral("INSERT INTO PROMET (rowid, BROJPODUZECA, GODINAKNJ, SINTKONTO, "
                               "ANALKONTO) VALUES (99999999, 1, 2020, '999', 0)"));
    QCOMPARE(scalar(book, rows).toLongLong(), before.toLongLong() + 1);
}

void TstTurnoverSummary::bookLockedByAnotherIsWaitedForThenRefused()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    dropSummary(book);
    // another program writes and does not let go: first holding the whole book, then only its
    // write reservation
    for (const char *lock : {"BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"}) {
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(book.toUtf8().constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(
                     other,
                     (QByteArray(lock) + "; UPDATE CONFIG SET NazivFirme=NazivFirme;").constData(),
                     nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QStringList added;
        QString error;
        QVERIFY(!TurnoverSummary::addToBook(book, &added, &error));
        QCOMPARE(error, BookLock::heldByAnother(book));
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }
    QStringList added;
    QString error;
    QVERIFY2(TurnoverSummary::addToBook(book, &added, &error), qPrintable(error));
}

void TstTurnoverSummary::progressRisesToAHundred()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    dropSummary(book);
    QVector<int> told;
    QStringList added;
    QString error;
    QVERIFY2(
        TurnoverSummary::addToBook(book, &added, &error, [&](int percent) { told << percent; }),
        qPrintable(error));
    QVERIFY(told.size() > 2);
    QCOMPARE(told.first(), 0);
    QCOMPARE(told.last(), 100);
    QVERIFY(std::is_sorted(told.begin(), told.end()));
    QCOMPARE(std::adjacent_find(told.begin(), told.end()), told.end()); // each value once
    // nothing to add: nothing to wait for, and no percentage told
    told.clear();
    QVERIFY(TurnoverSummary::addToBook(book, &added, &error, [&](int p) { told << p; }));
    QVERIFY(added.isEmpty());
    QCOMPARE(told.last(), 100);
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
    const QString book = dir.filePath(QStringLiteral("random.sqlite"));
    const QString copy = dir.filePath(QStringLiteral("without.sqlite"));
    makeRandomBook(book, nullable);
    QStringList added;
    QString error;
    QVERIFY2(TurnoverSummary::addToBook(book, &added, &error), qPrintable(error));
    QRandomGenerator random(seed);
    const QString kOd = QString::number(kLastYear - 1), kDo = QString::number(kLastYear);
    int fromSummary = 0, fromRows = 0;
    for (int batch = 0; batch < 30; ++batch) {
        QString sql = randomBatch(random, nullable, 30 + 10 * batch);
        if (batch % 3 == 2) { // every large amount corrected
            for (const QString &a : amountColumns())
                sql += QStringLiteral(";\nUPDATE PROMET SET %1 = %2 WHERE abs(%1) >= 1e15")
                           .arg(a, randomAmount(random, false));
        }
        write(book, sql);
        const QString diff = summaryAgainstRows(book);
        QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("batch %1: ").arg(batch) + diff));
        QStringList differences;
        QVERIFY2(TurnoverSummary::checkBook(book, &differences, &error), qPrintable(error));
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u'\n')));

        // the charts through the summary against a copy of the book without it
        QFile::remove(copy);
        QVERIFY(QFile::copy(book, copy));
        dropSummary(copy);
        QStringList magnitudes;
        for (const QString &a : amountColumns())
            magnitudes << QStringLiteral(
                              "coalesce(abs(CASE WHEN abs(%1) >= 1e15 THEN 0 ELSE %1 END), 0)")
                              .arg(a);
        const double largest =
            scalar(book, QStringLiteral("SELECT coalesce(max(%1), 0) FROM PROMET")
                             .arg(magnitudes.join(QStringLiteral(" + "))))
                .toDouble();
        const double rows = scalar(book, QStringLiteral("SELECT count(*) FROM PROMET")).toDouble();
        const double tolerance =
            qMax(kCent, rows * largest * std::numeric_limits<double>::epsilon());
        for (const char *account : {"120", "4"})
            for (int kind = 0; kind < 5; ++kind) {
                const QString chart = TurnoverSql::accountChart(
                    kind, 0, 12,
                    {QStringLiteral("PROMET"), 1 + kind % 2, QLatin1String(account), {}, kOd, kDo});
                QString stage, bareStage;
                const Rows through = ours(book, chart, &stage);
                const QString d = difference(through, ours(copy, chart, &bareStage), tolerance);
                QVERIFY2(d.isEmpty(),
                         qPrintable(QStringLiteral("batch %1: ").arg(batch) + d + u'\n' + chart));
                (stage == u"sqlite (iz sažetka)" ? fromSummary : fromRows)++;
            }
    }
    // both ways were taken: from the summary, and from the rows while a key held a large amount
    QVERIFY2(fromSummary > 0 && fromRows > 0,
             qPrintable(QStringLiteral("%1 from the summary, %2 from the rows")
                            .arg(fromSummary)
                            .arg(fromRows)));
}

void TstTurnoverSummary::driftedSummaryIsFoundAndRebuilt()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    // the book's schema, its objects in the order of their names
    auto schema = [&] {
        return scalar(book, QStringLiteral("SELECT group_concat(sql) FROM (SELECT sql FROM "
                                           "sqlite_master ORDER BY name)"))
            .toString();
    };
    QStringList differences;
    QString error;
    QVERIFY2(TurnoverSummary::checkBook(book, &differences, &error), qPrintable(error));
    QCOMPARE(differences, QStringList());
    // as a summary kept by sums of doubles alone drifted: 0.45 lost, a key missing, one too many
    write(book, QStringLiteral("UPDATE PROMET_SAZETAK SET SAZ_ZBROJ_DUG01 = SAZ_ZBROJ_DUG01 + "
                               "0.45 WHERE BROJPODUZECA = 1 AND GODINAKNJ = %1 AND SINTKONTO = "
                               "'1200'; DELETE FROM PROMET_SAZETAK WHERE SINTKONTO = '4000' AND "
                               "GODINAKNJ = %1 AND BROJPODUZECA = 1; UPDATE PROMET_SAZETAK SET "
                               "SINTKONTO = '9999' WHERE SINTKONTO = '4100' AND GODINAKNJ = %1 "
                               "AND BROJPODUZECA = 1")
                    .arg(kLastYear));
    const QString before = schema();
    QVERIFY2(TurnoverSummary::checkBook(book, &differences, &error), qPrintable(error));
    const QString y = QString::number(kLastYear);
    const QString dug01 =
        scalar(book, QStringLiteral("SELECT sum(DUG01) FROM PROMET WHERE BROJPODUZECA = 1 AND "
                                    "GODINAKNJ = %1 AND SINTKONTO = '1200'")
                         .arg(y))
            .toString();
    QCOMPARE(
        differences,
        QStringList(
            {QStringLiteral("PROMET: poduzeće 1, godina %1, konto \"1200\": DUG01 %2 u "
                            "sažetku, %3 u prometu")
                 .arg(y, QString::number(dug01.toDouble() + 0.45, 'f', 2),
                      QString::number(dug01.toDouble(), 'f', 2)),
             QStringLiteral("PROMET: poduzeće 1, godina %1, konto \"4000\": nema ga u sažetku")
                 .arg(y),
             QStringLiteral("PROMET: poduzeće 1, godina %1, konto \"4100\": nema ga u sažetku")
                 .arg(y),
             QStringLiteral(
                 "PROMET: poduzeće 1, godina %1, konto \"9999\": u sažetku, a nema ga u prometu")
                 .arg(y)}));
    // checking changed nothing
    QCOMPARE(schema(), before);

    QStringList added;
    QVERIFY2(TurnoverSummary::addToBook(book, &added, &error, {}, TurnoverSummary::Mode::Rebuild),
             qPrintable(error));
    QCOMPARE(added, QStringList({QStringLiteral("PROMET"), QStringLiteral("PROMETMT")}));
    QVERIFY2(TurnoverSummary::checkBook(book, &differences, &error), qPrintable(error));
    QCOMPARE(differences, QStringList());
    QCOMPARE(schema(), before);

    // a summary fingraf does not keep cannot be checked, only rebuilt
    write(book, QStringLiteral("DROP TRIGGER PROMET_SAZETAK_UNOS"));
    QVERIFY(!TurnoverSummary::checkBook(book, &differences, &error));
    QCOMPARE(error, QStringLiteral("Sažetak tablice PROMET nije kakav fingraf održava. Obnovite ga "
                                   "(fingraf sazetak --obnovi)."));
    QVERIFY(!TurnoverSummary::addToBook(book, &added, &error));
    QVERIFY2(error.contains(QStringLiteral("Obnovite ga")), qPrintable(error));
    QVERIFY2(TurnoverSummary::addToBook(book, &added, &error, {}, TurnoverSummary::Mode::Rebuild),
             qPrintable(error));
    QCOMPARE(schema(), before);
    dropSummary(book);
    QVERIFY(!TurnoverSummary::checkBook(book, &differences, &error));
    QCOMPARE(error,
             QStringLiteral("Tablica PROMET nema sažetka prometa. Dodajte ga (fingraf sazetak)."));
}

QTEST_GUILESS_MAIN(TstTurnoverSummary)
#include "tst_turnoversummary.moc"
