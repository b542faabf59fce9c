#include "book/bookstatements.h"

#include <QTest>

class TstBookStatements : public QObject
{
    Q_OBJECT
private slots:
    void summaryAnswers_data();
    void summaryAnswers();
    void distinctNarrowed_data();
    void distinctNarrowed();
};

namespace {

SummaryTable promet(bool amountsNotNull)
{
    SummaryTable t{QStringLiteral("PROMET"),
                   QStringLiteral("PROMET_SAZETAK"),
                   {QStringLiteral("BROJPODUZECA"), QStringLiteral("GODINAKNJ"),
                    QStringLiteral("SINTKONTO"), QStringLiteral("ANALKONTO"),
                    QStringLiteral("MJESTOTROSKA")},
                   amountsNotNull};
    for (const char *side : {"DUG", "POT"})
        for (int m = 0; m <= 12; ++m)
            t.columns
                << QStringLiteral("%1%2").arg(QLatin1String(side)).arg(m, 2, 10, QLatin1Char('0'));
    return t;
}

} // namespace

void TstBookStatements::summaryAnswers_data()
{
    // The whole-statement cases (the windows' statements) are run against the book itself in
    // tst_turnoversummary; here, what each rule lets through. An empty result: left alone.
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<QString>("sqlite");
    const QString tail = QStringLiteral(" WHERE BROJPODUZECA=1 AND SINTKONTO LIKE '12%'");
    auto row = [&](const char *name, const QString &tsql, const QString &sqlite) {
        QTest::newRow(name) << tsql << sqlite;
    };
    row("account chart",
        QStringLiteral("SELECT 'D '+LTRIM(str(GODINAKNJ)) as G,SUM(DUG01-POT01) as Mj01 From "
                       "dbo.PROMET") +
            tail + QStringLiteral(" GROUP BY GODINAKNJ"),
        QStringLiteral("SELECT 'D '||LTRIM(str(GODINAKNJ)) as G,SUM(DUG01-POT01) as Mj01 From "
                       "dbo.PROMET_SAZETAK PROMET") +
            tail + QStringLiteral(" GROUP BY GODINAKNJ"));
    row("both sides of a union, aliased, qualified",
        QStringLiteral("SELECT SUM(p.DUG01) FROM promet p WHERE p.GODINAKNJ=1 UNION ALL SELECT "
                       "SUM(promet.POT01) FROM dbo.PROMET"),
        QStringLiteral("SELECT SUM(p.DUG01) FROM PROMET_SAZETAK p WHERE p.GODINAKNJ=1 UNION ALL "
                       "SELECT SUM(promet.POT01) FROM dbo.PROMET_SAZETAK PROMET"));
    const QString none;
    for (const auto &[name, tsql] : std::initializer_list<std::pair<const char *, const char *>>{
             {"partner", "SELECT SUM(DUG01) FROM PROMET WHERE ANALKONTO=3 GROUP BY GODINAKNJ"},
             {"cost centre", "SELECT SUM(DUG01) FROM PROMET GROUP BY MJESTOTROSKA"},
             {"count", "SELECT COUNT(*), SUM(DUG01) FROM PROMET GROUP BY GODINAKNJ"},
             {"average", "SELECT AVG(DUG01) FROM PROMET"},
             {"min", "SELECT MIN(DUG01) FROM PROMET"},
             {"max over a sum", "SELECT MAX(GODINAKNJ), SUM(DUG01) FROM PROMET"},
             {"total", "SELECT TOTAL(DUG01) FROM PROMET"},
             {"product in a sum", "SELECT SUM(DUG01*2) FROM PROMET"},
             {"constant sum counts rows", "SELECT SUM(1) FROM PROMET"},
             {"distinct sum", "SELECT SUM(DISTINCT DUG01) FROM PROMET"},
             {"function in a sum", "SELECT SUM(ABS(DUG01)) FROM PROMET"},
             {"other table in a sum",
              "SELECT SUM(K.X) FROM PROMET P INNER JOIN KONTO K ON P.SINTKONTO=K.SIFKONTA"},
             {"rows", "SELECT SINTKONTO, DUG01 FROM PROMET"},
             {"row per turnover row", "SELECT SINTKONTO FROM PROMET WHERE GODINAKNJ=1"},
             {"star", "SELECT DISTINCT * FROM PROMET"},
             {"amount outside a sum", "SELECT DISTINCT DUG01 FROM PROMET"},
             {"ungrouped column", "SELECT SINTKONTO, SUM(DUG01) FROM PROMET GROUP BY GODINAKNJ"},
             {"ungrouped other column",
              "SELECT K.NAZIVKONTA, SUM(DUG01) FROM PROMET P JOIN KONTO K ON P.SINTKONTO=K.SIFKONTA"
              " GROUP BY GODINAKNJ"},
             {"ordered by an unselected column",
              "SELECT DISTINCT GODINAKNJ FROM PROMET ORDER BY SINTKONTO"},
             {"subquery", "SELECT SUM(DUG01) FROM PROMET WHERE SINTKONTO IN (SELECT SIFKONTA FROM "
                          "KONTO)"},
             {"left join",
              "SELECT SUM(DUG01) FROM PROMET P LEFT JOIN KONTO K ON P.SINTKONTO=K.SIFKONTA"},
             {"comma join", "SELECT SUM(DUG01) FROM PROMET P, KONTO K"},
             {"self join",
              "SELECT SUM(P.DUG01) FROM PROMET P JOIN PROMET Q ON P.SINTKONTO=Q.SINTKONTO"},
             {"having", "SELECT SUM(DUG01) FROM PROMET GROUP BY GODINAKNJ HAVING SUM(DUG01)>0"},
             {"limit", "SELECT SUM(DUG01) FROM PROMET GROUP BY GODINAKNJ LIMIT 1"},
             {"top", "SELECT TOP 1 SUM(DUG01) FROM PROMET"},
             {"window", "SELECT SUM(DUG01) OVER () FROM PROMET"},
             {"rowid", "SELECT SUM(DUG01) FROM PROMET WHERE rowid>5"},
             {"quoted name", "SELECT SUM(DUG01) FROM [PROMET]"},
             {"other schema", "SELECT SUM(DUG01) FROM main.PROMET"},
             {"the summary itself", "SELECT SUM(DUG01) FROM PROMET_SAZETAK"},
             {"a count of the summary", "SELECT SUM(SAZ_REDOVA) FROM PROMET"},
             {"table name only in another place", "SELECT PROMET.DUG01 FROM KONTO"},
             {"qualifier of no table", "SELECT DISTINCT X.ANALKONTO FROM PROMET P"},
             {"alias named like a column",
              "SELECT DISTINCT SINTKONTO AS ANALKONTO FROM PROMET ORDER BY ANALKONTO"},
             {"insert", "INSERT INTO X SELECT SUM(DUG01) FROM PROMET"},
             {"delete", "DELETE FROM PROMET WHERE SINTKONTO='1'"},
             {"two statements", "SELECT SUM(DUG01) FROM PROMET; DELETE FROM PROMET"}})
        row(name, QString::fromLatin1(tsql), none);
}

void TstBookStatements::summaryAnswers()
{
    QFETCH(QString, tsql);
    QFETCH(QString, sqlite);
    const TSqlAdapter::Result r = BookStatements::adapt(tsql, {promet(true)});
    QCOMPARE(r.via, sqlite.isEmpty() ? QString() : QStringLiteral("iz sažetka"));
    QCOMPARE(r.sql, sqlite.isEmpty() ? TSqlAdapter::adapt(tsql).sql : sqlite);
    QVERIFY(BookStatements::adapt(tsql, {}).via.isEmpty()); // a book without a summary
    // where an amount may be NULL, only a sum of one amount is answered from the summary
    const bool several = tsql.contains(QLatin1String("DUG01-POT01"));
    QCOMPARE(!BookStatements::adapt(tsql, {promet(false)}).via.isEmpty(),
             !r.via.isEmpty() && !several);
}

void TstBookStatements::distinctNarrowed_data()
{
    // Whether the whole answers alike is run against the book in tst_turnoversummary (every
    // window statement); here, what each rule lets through. An empty result: left alone.
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<bool>("rowKeys"); // KOMITENT.SIFKOMIT and PTTMJESTA.PTTBROJKOM name rowids
    QTest::addColumn<QString>("sqlite");
    const QString partners =
        QStringLiteral("SELECT DISTINCT TOP 100 PERCENT RTRIM(K.ImeKomit1) + ' ' + "
                       "RTRIM(M.MJESTOKOM) AS Naziv, P.ANALKONTO FROM dbo.PROMET P INNER JOIN "
                       "dbo.KOMITENT K ON P.ANALKONTO = K.SifKomit INNER JOIN dbo.PTTMJESTA M ON "
                       "K.PTTBROJKOM = M.PTTBROJKOM WHERE P.BROJPODUZECA=1 AND SINTKONTO='1200' "
                       "AND P.GODINAKNJ>=2021 AND P.GODINAKNJ<=2026 ORDER BY Naziv");
    const QString narrowed =
        QStringLiteral("SELECT RTRIM(K.ImeKomit1) || ' ' || RTRIM(M.MJESTOKOM) AS Naziv, "
                       "P.ANALKONTO FROM (SELECT DISTINCT P.ANALKONTO FROM dbo.PROMET P WHERE "
                       "P.BROJPODUZECA=1 AND SINTKONTO='1200' AND P.GODINAKNJ>=2021 AND "
                       "P.GODINAKNJ<=2026) P INNER JOIN dbo.KOMITENT K ON P.ANALKONTO = "
                       "K.SifKomit INNER JOIN dbo.PTTMJESTA M ON K.PTTBROJKOM = M.PTTBROJKOM ");
    QTest::newRow("partner list, joined on rowids")
        << partners << true << narrowed + QStringLiteral("ORDER BY Naziv");
    QTest::newRow("partner list, joined on other columns")
        << partners << false
        << narrowed + QStringLiteral("GROUP BY RTRIM(K.ImeKomit1) || ' ' || RTRIM(M.MJESTOKOM), "
                                     "P.ANALKONTO ORDER BY Naziv");
    // without the narrowed column in the select list two partners may give one row
    QString unnamed = partners;
    unnamed.replace(QStringLiteral(", P.ANALKONTO FROM"), QStringLiteral(" FROM"));
    QTest::newRow("partner names only")
        << unnamed << true
        << QStringLiteral("SELECT RTRIM(K.ImeKomit1) || ' ' || RTRIM(M.MJESTOKOM) AS Naziv FROM "
                          "(SELECT DISTINCT P.ANALKONTO FROM dbo.PROMET P WHERE P.BROJPODUZECA=1 "
                          "AND SINTKONTO='1200' AND P.GODINAKNJ>=2021 AND P.GODINAKNJ<=2026) P "
                          "INNER JOIN dbo.KOMITENT K ON P.ANALKONTO = K.SifKomit INNER JOIN "
                          "dbo.PTTMJESTA M ON K.PTTBROJKOM = M.PTTBROJKOM GROUP BY "
                          "RTRIM(K.ImeKomit1) || ' ' || RTRIM(M.MJESTOKOM) ORDER BY Naziv");
    // a condition on the key alone, not against the row before, keeps every row of the table
    QTest::newRow("a join on the key against itself")
        << QStringLiteral("SELECT DISTINCT K.ImeKomit1, P.ANALKONTO FROM PROMET P INNER JOIN "
                          "KOMITENT K ON K.SifKomit = K.SifKomit WHERE P.GODINAKNJ=1")
        << true
        << QStringLiteral("SELECT K.ImeKomit1, P.ANALKONTO FROM (SELECT DISTINCT P.ANALKONTO FROM "
                          "PROMET P WHERE P.GODINAKNJ=1) P INNER JOIN KOMITENT K ON K.SifKomit = "
                          "K.SifKomit GROUP BY K.ImeKomit1, P.ANALKONTO");
    const QString joins = QStringLiteral(" INNER JOIN dbo.KOMITENT K ON P.ANALKONTO = K.SifKomit");
    QTest::newRow("a condition on another table stays")
        << QStringLiteral("SELECT DISTINCT K.ImeKomit1, P.ANALKONTO FROM PROMET AS P") + joins +
               QStringLiteral(" WHERE K.PTTBROJKOM=10000 AND P.GODINAKNJ=2026")
        << false
        << QStringLiteral("SELECT K.ImeKomit1, P.ANALKONTO FROM (SELECT DISTINCT P.ANALKONTO FROM "
                          "PROMET AS P WHERE P.GODINAKNJ=2026) P") +
               joins +
               QStringLiteral(" WHERE K.PTTBROJKOM=10000 GROUP BY K.ImeKomit1, P.ANALKONTO");
    const QString none;
    for (const auto &[name, tsql] : std::initializer_list<std::pair<const char *, const char *>>{
             {"not distinct", "SELECT K.ImeKomit1 FROM PROMET P JOIN KOMITENT K ON P.ANALKONTO = "
                              "K.SifKomit WHERE P.GODINAKNJ=1"},
             {"no condition", "SELECT DISTINCT P.ANALKONTO FROM PROMET P"},
             {"or", "SELECT DISTINCT P.ANALKONTO FROM PROMET P WHERE P.GODINAKNJ=1 OR "
                    "P.GODINAKNJ=2"},
             {"between", "SELECT DISTINCT P.ANALKONTO FROM PROMET P WHERE P.GODINAKNJ BETWEEN 1 "
                         "AND 2"},
             {"condition on both tables",
              "SELECT DISTINCT K.ImeKomit1 FROM PROMET P JOIN KOMITENT K ON 1=1 WHERE "
              "P.ANALKONTO=K.SifKomit"},
             {"unqualified column of another table",
              "SELECT DISTINCT K.ImeKomit1 FROM PROMET P JOIN KOMITENT K ON P.ANALKONTO = "
              "K.SifKomit WHERE ImeKomit1 LIKE 'A%' AND P.GODINAKNJ=1"},
             {"turnover table joined second",
              "SELECT DISTINCT P.ANALKONTO FROM KOMITENT K JOIN PROMET P ON P.ANALKONTO = "
              "K.SifKomit WHERE P.GODINAKNJ=1"},
             {"no alias", "SELECT DISTINCT ANALKONTO FROM PROMET WHERE GODINAKNJ=1"},
             {"left join", "SELECT DISTINCT P.ANALKONTO FROM PROMET P LEFT JOIN KOMITENT K ON "
                           "P.ANALKONTO = K.SifKomit WHERE P.GODINAKNJ=1"},
             {"subquery", "SELECT DISTINCT P.ANALKONTO FROM PROMET P WHERE P.SINTKONTO IN "
                          "(SELECT SIFKONTA FROM KONTO)"},
             {"aggregate", "SELECT DISTINCT COUNT(P.ANALKONTO) FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"star", "SELECT DISTINCT * FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"top n", "SELECT DISTINCT TOP 5 P.ANALKONTO FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"an item named without AS",
              "SELECT DISTINCT P.ANALKONTO Sifra FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"an expression named without AS",
              "SELECT DISTINCT RTRIM(P.ANALKONTO) Sifra FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"a literal left open",
              "SELECT DISTINCT P.ANALKONTO FROM PROMET P WHERE P.SINTKONTO='12 ORDER BY 1"},
             {"a comment", "SELECT DISTINCT P.ANALKONTO FROM PROMET P WHERE P.GODINAKNJ=1 -- x\n"
                           "AND P.SINTKONTO='12'"},
             {"unknown qualifier",
              "SELECT DISTINCT X.ANALKONTO FROM PROMET P WHERE P.GODINAKNJ=1"}})
        QTest::newRow(name) << QString::fromLatin1(tsql) << true << none;
}

void TstBookStatements::distinctNarrowed()
{
    QFETCH(QString, tsql);
    QFETCH(bool, rowKeys);
    QFETCH(QString, sqlite);
    const QSet<QString> keys{QStringLiteral("KOMITENT.SIFKOMIT"),
                             QStringLiteral("PTTMJESTA.PTTBROJKOM")};
    const TSqlAdapter::Result r =
        BookStatements::adapt(tsql, {promet(true)}, rowKeys ? keys : QSet<QString>());
    QVERIFY(r.via.isEmpty());
    QCOMPARE(r.sql, sqlite.isEmpty() ? TSqlAdapter::adapt(tsql).sql : sqlite);
    QCOMPARE(BookStatements::adapt(tsql, {}, keys).sql, TSqlAdapter::adapt(tsql).sql); // no summary
}

QTEST_GUILESS_MAIN(TstBookStatements)
#include "tst_bookstatements.moc"
