#include "testsupport.h"

#include <QDate>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

class TstDemoBook : public QObject
{
    Q_OBJECT
private slots:
    void sameSeedSameBook();
    void existingFileIsNotTouched();
    void unwritablePlaceFailsCleanly();
    void holdsTheAwkwardCases();
    void sizeFollowsScale();
    void accountAndPartnerStatementsUseIndexes_data();
    void accountAndPartnerStatementsUseIndexes();

private:
    QString plan(const QString &sql) const;
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

void TstDemoBook::existingFileIsNotTouched()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("k.sqlite"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("moja knjiga");
    f.close();
    QString error;
    QVERIFY(DemoBook::create(path, DemoBook::Options(), &error));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("moja knjiga"));
}

void TstDemoBook::unwritablePlaceFailsCleanly()
{
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const QString path = dir.filePath(QStringLiteral("k.sqlite"));
    QString error;
    if (QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly))
        QSKIP("running with rights that ignore folder permissions");
    QVERIFY(!DemoBook::create(path, DemoBook::Options(), &error));
    QVERIFY(error.contains(path));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QFile::exists(path + QStringLiteral(".part")));
}

void TstDemoBook::holdsTheAwkwardCases()
{
    const QString book = demoBook();
    const int last = QDate::currentDate().year();
    auto count = [&](const QString &where) {
        return scalar(book, QStringLiteral("SELECT count(*) FROM ") + where).toInt();
    };
    QCOMPARE(count(QStringLiteral("CONFIG WHERE NazivFirme <> ''")), 2);
    QCOMPARE(count(QStringLiteral(
                       "KONTO WHERE NAZIVKONTA LIKE '%''%' AND BrojPoduzeca=1 AND GODINAKNJ=%1")
                       .arg(last)),
             1);
    QCOMPARE(count(QStringLiteral("KOMITENT WHERE ImeKomit1 LIKE '%''%'")), 1);
    QCOMPARE(count(QStringLiteral("KOMITENT WHERE ImeKomit1 IS NULL")), 1);
    // an account without turnover in some years, and one without any
    QCOMPARE(count(QStringLiteral("PROMET WHERE SINTKONTO='1210' AND GODINAKNJ=%1").arg(last - 1)),
             0);
    QVERIFY(count(QStringLiteral("PROMET WHERE SINTKONTO='1210' AND GODINAKNJ=%1").arg(last)) > 0);
    QCOMPARE(count(QStringLiteral("PROMET WHERE SINTKONTO LIKE '999%'")), 0);
    QCOMPARE(count(QStringLiteral(
                       "(SELECT DISTINCT GODINAKNJ FROM PROMET WHERE GODINAKNJ BETWEEN %1 AND %2)")
                       .arg(last - 5)
                       .arg(last)),
             6);
    for (const char *g : {"PrihodiP", "RashodiR", "Prihodi-Rashodi (Dobit)S"})
        QVERIFY(count(QStringLiteral("FINPRIHRASH WHERE ImeGrupe='%1' AND Godina=%2")
                          .arg(QLatin1String(g))
                          .arg(last)) > 0);
    QCOMPARE(count(QStringLiteral("(SELECT DISTINCT brojplana FROM FINPLAN)")), 2);
    QVERIFY(count(QStringLiteral("FINPLAN WHERE PODGRUPA=''")) > 0);
    // cost-centre turnover adds up to the general turnover of the same accounts
    QCOMPARE(
        scalar(book,
               QStringLiteral("SELECT round(total(DUG04),0) FROM PROMETMT WHERE SINTKONTO='4101'"))
            .toDouble(),
        scalar(book,
               QStringLiteral("SELECT round(total(DUG04),0) FROM PROMET WHERE SINTKONTO='4101'"))
            .toDouble());
}

void TstDemoBook::sizeFollowsScale()
{
    const int rows = scalar(demoBook(), QStringLiteral("SELECT count(*) FROM PROMET")).toInt();
    QVERIFY2(rows > 8000 && rows < 12000, qPrintable(QString::number(rows)));
    QTemporaryDir dir;
    DemoBook::Options o;
    o.scale = 3;
    QString error;
    QVERIFY(DemoBook::create(dir.filePath(QStringLiteral("s.sqlite")), o, &error));
    const int scaled = scalar(dir.filePath(QStringLiteral("s.sqlite")),
                              QStringLiteral("SELECT count(*) FROM PROMET"))
                           .toInt();
    QVERIFY(scaled > 2.7 * rows && scaled < 3.3 * rows);
}

QString TstDemoBook::plan(const QString &sql) const
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(demoBook().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *s = nullptr;
    QString out;
    if (sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql.toUtf8()).constData(), -1, &s,
                           nullptr) == SQLITE_OK)
        while (sqlite3_step(s) == SQLITE_ROW)
            out += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 3))) +
                   u'\n';
    sqlite3_finalize(s);
    sqlite3_close(db);
    return out;
}

void TstDemoBook::accountAndPartnerStatementsUseIndexes_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("account prefix") << "SELECT GODINAKNJ, SUM(DUG01) FROM PROMET WHERE "
                                       "BROJPODUZECA=1 AND (SINTKONTO LIKE '120%') "
                                       "AND GODINAKNJ>=2020 AND GODINAKNJ<=2026 GROUP BY GODINAKNJ";
    QTest::newRow("partner") << "SELECT GODINAKNJ, SUM(DUG01) FROM PROMET WHERE BROJPODUZECA=1 AND "
                                "(SINTKONTO='1200') AND ANALKONTO= 3 "
                                "AND GODINAKNJ>=2020 AND GODINAKNJ<=2026 GROUP BY GODINAKNJ";
    QTest::newRow("cost centres") << "SELECT GODINAKNJ, SUM(DUG01) FROM PROMETMT WHERE "
                                     "BROJPODUZECA=1 AND (SINTKONTO LIKE '41%') "
                                     "GROUP BY GODINAKNJ";
}

void TstDemoBook::accountAndPartnerStatementsUseIndexes()
{
    QFETCH(QString, sql);
    const QString p = plan(sql);
    QVERIFY2(p.contains(QStringLiteral("USING INDEX")), qPrintable(p));
    QVERIFY2(!p.contains(QStringLiteral("SCAN PROMET")), qPrintable(p));
}

QTEST_GUILESS_MAIN(TstDemoBook)
#include "tst_demobook.moc"
