// The turnover summary against the turnover rows themselves: every statement the summary answers
// must give what SQLite gives from the rows, after any change to them.
#include "platform/data/booklock.h"
#include "platform/data/pristuppodacima.h"
#include "platform/data/sqlitefunctions.h"
#include "platform/data/turnoversummary.h"
#include "testsupport.h"
#include "windowstatements.h"

#include <QDate>
#include <QRegularExpression>
#include <QTest>

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
        sql += QStringLiteral("DROP TABLE %1_SAZETAK;").arg(QLatin1String(t));
        for (const char *trigger : {"UNOS", "IZMJENA", "BRISANJE", "ZAMJENA", "ZAMJENA_IZMJENOM"})
            sql += QStringLiteral("DROP TRIGGER %1_SAZETAK_%2;")
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

// Texts, whole numbers and NULLs alike, in the same order; amounts alike to the cent, or to the
// bit where every amount is a binary fraction (the order in which SQLite adds cents moves the
// last bits of a sum, for the rows themselves as much as for the summary).
QString difference(const Rows &a, const Rows &b, bool toTheBit)
{
    if (a.size() != b.size())
        return QStringLiteral("%1 rows against %2").arg(a.size()).arg(b.size());
    for (int r = 0; r < a.size(); ++r)
        for (int c = 0; c < qMax(a[r].size(), b[r].size()); ++c) {
            const QVariant x = a[r].value(c), y = b[r].value(c);
            const bool same =
                (x.isNull() && y.isNull()) ||
                (!x.isNull() && !y.isNull() && x.typeId() == y.typeId() &&
                 (x.typeId() != QMetaType::Double
                      ? x == y
                      : (toTheBit ? x.toDouble() == y.toDouble()
                                  : qRound64(x.toDouble() * 100) == qRound64(y.toDouble() * 100))));
            if (!same)
                return QStringLiteral("row %1 column %2: %3 against %4")
                    .arg(r)
                    .arg(c)
                    .arg(x.toString(), y.toString());
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
    const QString diff = difference(rows, bare(demoBook(), sql), false);
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
        const QString diff = difference(ours(book, sql, &stage), bare(book, sql), false);
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
            const QString diff = difference(ours(book, sql, &stage), bare(book, sql), true);
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
    QVERIFY(difference(ours(book, sql, &stage), bare(book, sql), false).isEmpty());
    QCOMPARE(stage, QStringLiteral("sqlite"));
    QCOMPARE(scalar(book, schema), before); // opening and reading changed nothing

    // asked, it gets one, filled from the rows, and reads from it
    QStringList added;
    QString error;
    QVERIFY2(TurnoverSummary::addToBook(book, &added, &error), qPrintable(error));
    QCOMPARE(added, QStringList({QStringLiteral("PROMET"), QStringLiteral("PROMETMT")}));
    QVERIFY(difference(ours(book, sql, &stage), bare(book, sql), false).isEmpty());
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
    QVERIFY(difference(ours(book, sql, &stage), bare(book, sql), false).isEmpty());
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

QTEST_GUILESS_MAIN(TstTurnoverSummary)
#include "tst_turnoversummary.moc"
