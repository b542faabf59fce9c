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
    void seedAndScaleShapeTheBook();
    void newYearMakesANewDefaultBook();
    void failureLeavesNoBookAndTouchesNoFile();
    void holdsTheAwkwardCases_data();
    void holdsTheAwkwardCases();
};

// The same seed makes the same book, another seed another; the scale sets its size, and the work
// tells how far it has come: from 0, rising, 100 when the book is in place.
void TstDemoBook::seedAndScaleShapeTheBook()
{
    QTemporaryDir dir;
    const auto path = [&](const char *name) { return dir.filePath(QLatin1String(name)); };
    QString error;
    DemoBook::Options o;
    o.lastYear = 2020;
    QVERIFY(DemoBook::create(path("a.sqlite"), o, &error));
    QVERIFY(DemoBook::create(path("b.sqlite"), o, &error));
    o.seed = 7;
    QVERIFY(DemoBook::create(path("c.sqlite"), o, &error));
    const QString q = QStringLiteral("SELECT count(*) || ':' || total(DUG05) || ':' || "
                                     "total(POT11) || ':' || min(GODINAKNJ) FROM PROMET");
    const QString a = scalar(path("a.sqlite"), q).toString();
    QCOMPARE(scalar(path("b.sqlite"), q).toString(), a);
    QVERIFY(scalar(path("c.sqlite"), q).toString() != a);
    QVERIFY(a.endsWith(QStringLiteral(":2015")));

    const QString count = QStringLiteral("SELECT count(*) FROM PROMET");
    const int rows = scalar(demoBook(), count).toInt();
    QVERIFY2(rows > 8000 && rows < 12000, qPrintable(QString::number(rows)));
    DemoBook::Options scaled;
    scaled.scale = 3;
    QVector<int> told;
    scaled.progress = [&](int percent) { told << percent; };
    QVERIFY(DemoBook::create(path("s.sqlite"), scaled, &error));
    QCOMPARE(told.first(), 0);
    QCOMPARE(told.last(), 100);
    QVERIFY(std::is_sorted(told.begin(), told.end()));
    const int made = scalar(path("s.sqlite"), count).toInt();
    QVERIFY(made > 2.7 * rows && made < 3.3 * rows);
}

// The default book ends in the year it was made for; on New Year's Day the windows open over the
// new year, and a new book is made for it instead of last year's being taken.
void TstDemoBook::newYearMakesANewDefaultBook()
{
    const auto restoreClock = qScopeGuard([] { Clock::fixToday(today()); });
    Clock::fixToday(QDate(2026, 12, 31));
    QVERIFY(DemoBook::defaultPath().endsWith(QStringLiteral("-2026.sqlite")));
    Clock::fixToday(QDate(2027, 1, 1));
    QVERIFY(DemoBook::defaultPath().endsWith(
        QStringLiteral("fingraf-demo-%1-2027.sqlite").arg(DemoBook::kEdition)));
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("b.sqlite"));
    QString error;
    QVERIFY2(DemoBook::create(book, DemoBook::Options(), &error), qPrintable(error));
    QCOMPARE(scalar(book, QStringLiteral("SELECT max(GODINAKNJ) FROM PROMET")).toInt(), 2027);
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
    QCOMPARE(FullDisk::filesIn(dir.path()), QStringList());

    QVERIFY(FullDisk::writeAll(path, "moja knjiga"));
    QVERIFY(!DemoBook::create(path, DemoBook::Options(), &error));
    QVERIFY(error.contains(path));
    QCOMPARE(FullDisk::readAll(path), QByteArray("moja knjiga"));

    // a folder that may not be written
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const QString other = dir.filePath(QStringLiteral("n.sqlite"));
    if (QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly))
        QSKIP("running with rights that ignore folder permissions");
    QVERIFY(!DemoBook::create(other, DemoBook::Options(), &error));
    QVERIFY(error.contains(other));
    QCOMPARE(FullDisk::filesIn(dir.path()), QStringList{QStringLiteral("k.sqlite")});
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
    for (const char *table : {"PROMET", "PROMETMT"})
        QTest::addRow("its turnover every year in %s", table)
            << "(SELECT DISTINCT GODINAKNJ FROM " + QLatin1String(table) +
                   " WHERE BROJPODUZECA=1 AND SINTKONTO LIKE '999%' AND GODINAKNJ BETWEEN %1-5 "
                   "AND %1)"
            << 6;
    QTest::newRow("income, expense and profit")
        << "(SELECT DISTINCT ImeGrupe FROM FINPRIHRASH WHERE Godina=%1 AND ImeGrupe IN "
           "('PrihodiP', 'RashodiR', 'Prihodi-Rashodi (Dobit)S'))"
        << 3;
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

QTEST_GUILESS_MAIN(TstDemoBook)
#include "tst_demobook.moc"
