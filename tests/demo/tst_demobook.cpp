#include "book/bookstatements.h"
#include "book/turnoversummary.h"
#include "book/windowstatements.h"
#include "platform/data/sqlitefunctions.h"
#include "platform/data/tsqladapter.h"
#include "platform/files/fulldisk.h"
#include "testsupport.h"

#include <QDate>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

class TstDemoBook : public QObject
{
    Q_OBJECT
private slots:
    void sameSeedSameBook();
    void newYearMakesANewDefaultBook();
    void failureLeavesNoBookAndTouchesNoFile();
    void holdsTheAwkwardCases_data();
    void holdsTheAwkwardCases();
    void sizeFollowsScale();
    void turnoverStatementsUseIndexesOrTheSummary_data();
    void turnoverStatementsUseIndexesOrTheSummary();
};

void TstDemoBook::sameSeedSameBook()
{
    QTemporaryDir dir;
    QString error;
    DemoBook::Options o;
    o.lastYear = 2020;
    QVERIFY(DemoBook::create(dir.filePath(QStringLiteral("a.sqlite")), o, &error));
    QVERIFY(DemoBook::create(dir.filePath(QStringLiteral("b.sqlite")), o, &error));
    o.seed = 7;
    QVERIFY(DemoBook::create(dir.filePath(QStringLiteral("c.sqlite")), o, &error));
    const QString q = QStringLiteral("SELECT count(*) || ':' || total(DUG05) || ':' || "
                                     "total(POT11) || ':' || min(GODINAKNJ) FROM PROMET");
    const QString a = scalar(dir.filePath(QStringLiteral("a.sqlite")), q).toString();
    QCOMPARE(scalar(dir.filePath(QStringLiteral("b.sqlite")), q).toString(), a);
    QVERIFY(scalar(dir.filePath(QStringLiteral("c.sqlite")), q).toString() != a);
    QVERIFY(a.endsWith(QStringLiteral(":2015")));
}

// The default book ends in the year it was made for; on New Year's Day the windows open over the
// new year, and a new book is made for it instead of last year's being taken.
void TstDemoBook::newYearMakesANewDefaultBook()
{
    const auto restoreClock = qScopeGuard([] { Clock::fixToday(today()); });
    Clock::fixToday(QDate(2026, 12, 31));
    const QString eve = DemoBook::defaultPath();
    Clock::fixToday(QDate(2027, 1, 1));
    const QString newYear = DemoBook::defaultPath();
    QVERIFY(
        newYear.endsWith(QStringLiteral("fingraf-demo-%1-2027.sqlite").arg(DemoBook::kEdition)));
    QVERIFY(eve.endsWith(QStringLiteral("-2026.sqlite")));
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("b.sqlite"));
    QString error;
    QVERIFY2(DemoBook::create(book, DemoBook::Options(), &error), qPrintable(error));
    QCOMPARE(scalar(book, QStringLiteral("SELECT min(GODINAKNJ) || '-' || max(GODINAKNJ) FROM "
                                         "PROMET"))
                 .toString(),
             QStringLiteral("2022-2027"));
}

// A book that cannot be made leaves nothing behind and says where: on a full disk with the
// system's cause; a file that is there and is no book is neither overwritten nor taken for one.
void TstDemoBook::failureLeavesNoBookAndTouchesNoFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("k.sqlite"));
    QString error;
    {
        FullDisk::SizeLimit limited(64 * 1024);
        QVERIFY(limited.isSet());
        QVERIFY(!DemoBook::create(path, DemoBook::Options(), &error));
    }
    QCOMPARE(error, QStringLiteral("Demo knjiga se ne može zapisati u \"%1\": %2")
                        .arg(path, qt_error_string(EFBIG)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("moja knjiga");
    f.close();
    QVERIFY(!DemoBook::create(path, DemoBook::Options(), &error));
    QVERIFY(error.contains(path));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("moja knjiga"));

    // a folder that may not be written
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const QString other = dir.filePath(QStringLiteral("n.sqlite"));
    if (QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly))
        QSKIP("running with rights that ignore folder permissions");
    QVERIFY(!DemoBook::create(other, DemoBook::Options(), &error));
    QVERIFY(error.contains(other));
    QVERIFY(!QFile::exists(other));
    QVERIFY(!QFile::exists(other + QStringLiteral(".part")));
}

void TstDemoBook::holdsTheAwkwardCases_data()
{
    // How many rows of the demo book there are where (%1 its last year); -1 for some.
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("count");
    QTest::newRow("two firms") << "CONFIG WHERE NazivFirme <> ''" << 2;
    QTest::newRow("an account name with an apostrophe")
        << "KONTO WHERE NAZIVKONTA LIKE '%''%' AND BrojPoduzeca=1 AND GODINAKNJ=%1" << 1;
    QTest::newRow("a partner name with an apostrophe")
        << "KOMITENT WHERE ImeKomit1 LIKE '%''%'" << 1;
    QTest::newRow("a partner without a name") << "KOMITENT WHERE ImeKomit1 IS NULL" << 1;
    // an account without turnover in some years, and one without any
    QTest::newRow("none the year before")
        << "PROMET WHERE SINTKONTO='1210' AND GODINAKNJ=%1-1" << 0;
    QTest::newRow("some this year") << "PROMET WHERE SINTKONTO='1210' AND GODINAKNJ=%1" << -1;
    QTest::newRow("no turnover ever") << "PROMET WHERE SINTKONTO LIKE '050%'" << 0;
    // the last account of the tree, which the turnover window draws first, has turnover every
    // year, in both turnover tables
    QTest::newRow("the tree's last account")
        << "(SELECT max(SIFKONTA) AS m FROM KONTO WHERE BrojPoduzeca=1 AND length(SIFKONTA)=3) "
           "WHERE m='999'"
        << 1;
    QTest::newRow("its turnover every year")
        << "(SELECT DISTINCT GODINAKNJ FROM PROMET WHERE BROJPODUZECA=1 AND SINTKONTO LIKE '999%' "
           "AND GODINAKNJ BETWEEN %1-5 AND %1)"
        << 6;
    QTest::newRow("its cost-centre turnover every year")
        << "(SELECT DISTINCT GODINAKNJ FROM PROMETMT WHERE BROJPODUZECA=1 AND SINTKONTO LIKE "
           "'999%' AND GODINAKNJ BETWEEN %1-5 AND %1)"
        << 6;
    QTest::newRow("turnover every year")
        << "(SELECT DISTINCT GODINAKNJ FROM PROMET WHERE GODINAKNJ BETWEEN %1-5 AND %1)" << 6;
    QTest::newRow("income") << "FINPRIHRASH WHERE ImeGrupe='PrihodiP' AND Godina=%1" << -1;
    QTest::newRow("expense") << "FINPRIHRASH WHERE ImeGrupe='RashodiR' AND Godina=%1" << -1;
    QTest::newRow("profit") << "FINPRIHRASH WHERE ImeGrupe='Prihodi-Rashodi (Dobit)S' AND Godina=%1"
                            << -1;
    QTest::newRow("two plans") << "(SELECT DISTINCT brojplana FROM FINPLAN)" << 2;
    QTest::newRow("plan rows without a subgroup") << "FINPLAN WHERE PODGRUPA=''" << -1;
    // cost-centre turnover adds up to the general turnover of the same accounts
    QTest::newRow("cost centres add up")
        << "(SELECT 1) WHERE (SELECT round(total(DUG04),0) FROM PROMETMT WHERE SINTKONTO='4101') "
           "= (SELECT round(total(DUG04),0) FROM PROMET WHERE SINTKONTO='4101')"
        << 1;
}

void TstDemoBook::holdsTheAwkwardCases()
{
    QFETCH(QString, where);
    QFETCH(int, count);
    where.replace(QStringLiteral("%1"), QString::number(kLastYear));
    const int found = scalar(demoBook(), QStringLiteral("SELECT count(*) FROM ") + where).toInt();
    if (count < 0)
        QVERIFY(found > 0);
    else
        QCOMPARE(found, count);
}

void TstDemoBook::sizeFollowsScale()
{
    const int rows = scalar(demoBook(), QStringLiteral("SELECT count(*) FROM PROMET")).toInt();
    QVERIFY2(rows > 8000 && rows < 12000, qPrintable(QString::number(rows)));
    QTemporaryDir dir;
    DemoBook::Options o;
    o.scale = 3;
    QVector<int> told;
    o.progress = [&](int percent) { told << percent; };
    QString error;
    QVERIFY(DemoBook::create(dir.filePath(QStringLiteral("s.sqlite")), o, &error));
    // how far the work has come: rising, each value once, 100 when the book is in place
    QVERIFY(told.size() > 10);
    QCOMPARE(told.first(), 0);
    QCOMPARE(told.last(), 100);
    QVERIFY(std::is_sorted(told.begin(), told.end()));
    QCOMPARE(std::adjacent_find(told.begin(), told.end()), told.end());
    const int scaled = scalar(dir.filePath(QStringLiteral("s.sqlite")),
                              QStringLiteral("SELECT count(*) FROM PROMET"))
                           .toInt();
    QVERIFY(scaled > 2.7 * rows && scaled < 3.3 * rows);
}

void TstDemoBook::turnoverStatementsUseIndexesOrTheSummary_data()
{
    // The statements exactly as the windows build them; true where the summary answers them.
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("summarised");
    for (const char *table : {"PROMET", "PROMETMT"})
        WindowStatements::addRows(QLatin1String(table), QString::number(kLastYear - 5),
                                  QString::number(kLastYear));
}

// Each statement adapted as the data access adapts it on the demo book, and its query plan.
void TstDemoBook::turnoverStatementsUseIndexesOrTheSummary()
{
    QFETCH(QString, sql);
    QFETCH(bool, summarised);
    sqlite3 *db = nullptr;
    sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr);
    const auto close = qScopeGuard([db] { sqlite3_close(db); });
    sqlite3_exec(db, ("ATTACH DATABASE '" + demoBook().toUtf8() + "' AS dbo").constData(), nullptr,
                 nullptr, nullptr);
    SqliteFunctions::registerAll(db);
    const TSqlAdapter::Result adapted =
        BookStatements::adapt(sql, TurnoverSummary::usable(db, QStringLiteral("dbo")));
    QCOMPARE(!adapted.via.isEmpty(), summarised);
    sqlite3_stmt *s = nullptr;
    QVERIFY2(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + adapted.sql.toUtf8()).constData(), -1,
                                &s, nullptr) == SQLITE_OK,
             sqlite3_errmsg(db));
    QString p;
    while (sqlite3_step(s) == SQLITE_ROW)
        p += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 3))) + u'\n';
    sqlite3_finalize(s);
    QVERIFY2(p.contains(QStringLiteral("USING INDEX")) ||
                 p.contains(QStringLiteral("USING COVERING INDEX")),
             qPrintable(p));
    // no turnover table, nor its summary, read in full
    QVERIFY2(!p.contains(QStringLiteral("SCAN PROMET")) && !p.contains(QStringLiteral("SCAN P ")) &&
                 !p.endsWith(QStringLiteral("SCAN P\n")),
             qPrintable(p));
    // the summary read through its own index, or the turnover rows through theirs
    QCOMPARE(p.contains(QStringLiteral("_SAZETAK")), summarised);
}

QTEST_GUILESS_MAIN(TstDemoBook)
#include "tst_demobook.moc"
