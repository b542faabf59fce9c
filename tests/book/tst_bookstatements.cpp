#include "book/bookstatements.h"

#include <QTest>

class TstBookStatements : public QObject
{
    Q_OBJECT
private slots:
    void rewrites_data();
    void rewrites();
};

namespace {

SummaryTable promet(bool amountsNotNull)
{
    SummaryTable t{QStringLiteral("PROMET"), QStringLiteral("PROMET_SAZETAK"), {}, amountsNotNull};
    for (const char *key : {"BROJPODUZECA", "GODINAKNJ", "SINTKONTO", "ANALKONTO", "MJESTOTROSKA"})
        t.columns << QLatin1String(key);
    for (int m = 0; m <= 12; ++m)
        t.columns << QString::asprintf("DUG%02d", m) << QString::asprintf("POT%02d", m);
    return t;
}

} // namespace

void TstBookStatements::rewrites_data()
{
    // Whether the whole answers alike is run against the book in tst_turnoversummary (every
    // window statement); here, what each rule lets through: answered from the summary, or over
    // the turnover rows narrowed before a DISTINCT. An empty result: left alone.
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<bool>("rowKeys"); // KOMITENT.SIFKOMIT and PTTMJESTA.PTTBROJKOM name rowids
    QTest::addColumn<QString>("sqlite");
    auto row = [](const char *name, const QString &tsql, const QString &sqlite,
                  bool rowKeys = true) { QTest::newRow(name) << tsql << rowKeys << sqlite; };
    const QString tail = QStringLiteral(" WHERE BROJPODUZECA=1 AND SINTKONTO LIKE '12%'");
    row("account chart",
        "SELECT 'D '+LTRIM(str(GODINAKNJ)) as G,SUM(DUG01-POT01) as Mj01 From dbo.PROMET" + tail +
            " GROUP BY GODINAKNJ",
        "SELECT 'D '||LTRIM(str(GODINAKNJ)) as G,SUM(DUG01-POT01) as Mj01 From "
        "dbo.PROMET_SAZETAK PROMET" +
            tail + " GROUP BY GODINAKNJ");
    row("both sides of a union, aliased, qualified",
        "SELECT SUM(p.DUG01) FROM promet p WHERE p.GODINAKNJ=1 UNION ALL SELECT "
        "SUM(promet.POT01) FROM dbo.PROMET",
        "SELECT SUM(p.DUG01) FROM PROMET_SAZETAK p WHERE p.GODINAKNJ=1 UNION ALL SELECT "
        "SUM(promet.POT01) FROM dbo.PROMET_SAZETAK PROMET");

    const QString partners =
        QStringLiteral("SELECT DISTINCT TOP 100 PERCENT RTRIM(K.ImeKomit1) + ' ' + "
                       "RTRIM(M.MJESTOKOM) AS Naziv, P.ANALKONTO FROM dbo.PROMET P INNER JOIN "
                       "dbo.KOMITENT K ON P.ANALKONTO = K.SifKomit INNER JOIN dbo.PTTMJESTA M ON "
                       "K.PTTBROJKOM = M.PTTBROJKOM WHERE P.BROJPODUZECA=1 AND SINTKONTO='1200' "
                       "AND P.GODINAKNJ>=2021 AND P.GODINAKNJ<=2026 ORDER BY Naziv");
    const QString naziv = QStringLiteral("RTRIM(K.ImeKomit1) || ' ' || RTRIM(M.MJESTOKOM)");
    const QString narrowed = QStringLiteral(
        " FROM (SELECT DISTINCT P.ANALKONTO FROM dbo.PROMET P WHERE P.BROJPODUZECA=1 AND "
        "SINTKONTO='1200' AND P.GODINAKNJ>=2021 AND P.GODINAKNJ<=2026) P INNER JOIN dbo.KOMITENT "
        "K ON P.ANALKONTO = K.SifKomit INNER JOIN dbo.PTTMJESTA M ON K.PTTBROJKOM = M.PTTBROJKOM ");
    row("partner list, joined on rowids", partners,
        "SELECT " + naziv + " AS Naziv, P.ANALKONTO" + narrowed + "ORDER BY Naziv");
    // without the narrowed column in the select list two partners may give one row
    row("partner names only", QString(partners).remove(QStringLiteral(", P.ANALKONTO")),
        "SELECT " + naziv + " AS Naziv" + narrowed + "GROUP BY " + naziv + " ORDER BY Naziv");
    // a condition on the key alone, not against the row before, keeps every row of the table
    row("a join on the key against itself",
        "SELECT DISTINCT K.ImeKomit1, P.ANALKONTO FROM PROMET P INNER JOIN KOMITENT K ON "
        "K.SifKomit = K.SifKomit WHERE P.GODINAKNJ=1",
        "SELECT K.ImeKomit1, P.ANALKONTO FROM (SELECT DISTINCT P.ANALKONTO FROM PROMET P WHERE "
        "P.GODINAKNJ=1) P INNER JOIN KOMITENT K ON K.SifKomit = K.SifKomit GROUP BY K.ImeKomit1, "
        "P.ANALKONTO");
    const QString joins = QStringLiteral(" INNER JOIN dbo.KOMITENT K ON P.ANALKONTO = K.SifKomit");
    row("a condition on another table stays",
        "SELECT DISTINCT K.ImeKomit1, P.ANALKONTO FROM PROMET AS P" + joins +
            " WHERE K.PTTBROJKOM=10000 AND P.GODINAKNJ=2026",
        "SELECT K.ImeKomit1, P.ANALKONTO FROM (SELECT DISTINCT P.ANALKONTO FROM PROMET AS P WHERE "
        "P.GODINAKNJ=2026) P" +
            joins + " WHERE K.PTTBROJKOM=10000 GROUP BY K.ImeKomit1, P.ANALKONTO",
        false);

    // Each refused by one rule of the summary or of the narrowing, and by the other as well.
    for (const auto &[name, tsql] : std::initializer_list<std::pair<const char *, const char *>>{
             {"partner", "SELECT SUM(DUG01) FROM PROMET WHERE ANALKONTO=3 GROUP BY GODINAKNJ"},
             {"count", "SELECT COUNT(*), SUM(DUG01) FROM PROMET GROUP BY GODINAKNJ"},
             {"constant sum counts rows", "SELECT SUM(1) FROM PROMET"},
             {"distinct sum", "SELECT SUM(DISTINCT DUG01) FROM PROMET"},
             {"other table in a sum", "SELECT SUM(K.X) FROM PROMET P JOIN KONTO K ON 1=1"},
             {"row per turnover row", "SELECT P.SINTKONTO FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"ungrouped column", "SELECT SINTKONTO, SUM(DUG01) FROM PROMET GROUP BY GODINAKNJ"},
             {"ordered by an unselected column",
              "SELECT DISTINCT GODINAKNJ FROM PROMET ORDER BY SINTKONTO"},
             {"subquery", "SELECT SUM(DUG01) FROM PROMET WHERE 1 IN (SELECT 1)"},
             {"left join", "SELECT SUM(DUG01) FROM PROMET P LEFT JOIN KONTO K ON 1=1"},
             {"comma join", "SELECT SUM(DUG01) FROM PROMET P, KONTO K"},
             {"self join", "SELECT SUM(P.DUG01) FROM PROMET P JOIN PROMET Q ON 1=1"},
             {"rowid", "SELECT SUM(DUG01) FROM PROMET WHERE rowid>5"},
             {"quoted name", "SELECT SUM(DUG01) FROM [PROMET]"},
             {"other schema", "SELECT SUM(DUG01) FROM main.PROMET"},
             {"the summary itself", "SELECT SUM(DUG01) FROM PROMET_SAZETAK"},
             {"a count of the summary", "SELECT SUM(SAZ_REDOVA) FROM PROMET"},
             {"table name only in another place", "SELECT PROMET.DUG01 FROM KONTO"},
             {"alias named like a column", "SELECT DISTINCT SINTKONTO AS ANALKONTO FROM PROMET"},
             {"delete", "DELETE FROM PROMET WHERE SINTKONTO='1'"},
             {"two statements", "SELECT SUM(DUG01) FROM PROMET; DELETE FROM PROMET"},
             // the narrowing's own
             {"no condition", "SELECT DISTINCT P.ANALKONTO FROM PROMET P"},
             {"or", "SELECT DISTINCT P.ANALKONTO FROM PROMET P WHERE P.GODINAKNJ=1 OR 1=1"},
             {"condition on both tables", "SELECT DISTINCT P.SINTKONTO FROM PROMET P JOIN KOMITENT "
                                          "K ON 1=1 WHERE P.ANALKONTO=K.X"},
             {"unqualified column of another table", "SELECT DISTINCT P.DUG01 FROM PROMET P JOIN "
                                                     "KOMITENT K ON 1=1 WHERE X=1 AND P.DUG01=1"},
             {"turnover table joined second", "SELECT DISTINCT P.ANALKONTO FROM KOMITENT K JOIN "
                                              "PROMET P ON 1=1 WHERE P.GODINAKNJ=1"},
             {"no alias", "SELECT DISTINCT ANALKONTO FROM PROMET WHERE GODINAKNJ=1"},
             {"aggregate", "SELECT DISTINCT COUNT(P.ANALKONTO) FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"star", "SELECT DISTINCT * FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"top n", "SELECT DISTINCT TOP 5 P.ANALKONTO FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"an item named without AS",
              "SELECT DISTINCT P.ANALKONTO Sifra FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"an expression named without AS",
              "SELECT DISTINCT RTRIM(P.ANALKONTO) Sifra FROM PROMET P WHERE P.GODINAKNJ=1"},
             {"a literal left open", "SELECT DISTINCT P.DUG01 FROM PROMET P WHERE P.SINTKONTO='1"},
             {"a comment",
              "SELECT DISTINCT P.DUG01 FROM PROMET P WHERE P.SINTKONTO=1 -- x\nAND 1=1"},
             {"unknown qualifier",
              "SELECT DISTINCT X.ANALKONTO FROM PROMET P WHERE P.GODINAKNJ=1"}})
        row(name, QString::fromLatin1(tsql), QString());
}

void TstBookStatements::rewrites()
{
    QFETCH(QString, tsql);
    QFETCH(bool, rowKeys);
    QFETCH(QString, sqlite);
    const QSet<QString> keys{QStringLiteral("KOMITENT.SIFKOMIT"),
                             QStringLiteral("PTTMJESTA.PTTBROJKOM")};
    const QString plain = TSqlAdapter::adapt(tsql).sql;
    const TSqlAdapter::Result r =
        BookStatements::adapt(tsql, {promet(true)}, rowKeys ? keys : QSet<QString>());
    // answered from the summary where the statement then names it
    const bool summarised = sqlite.contains(QLatin1String("PROMET_SAZETAK"));
    QCOMPARE(r.via, summarised ? QStringLiteral("iz sažetka") : QString());
    QCOMPARE(r.sql, sqlite.isEmpty() ? plain : sqlite);
    QCOMPARE(BookStatements::adapt(tsql, {}, keys).sql, plain); // a book without a summary
    // where an amount may be NULL, only a sum of one amount is answered from the summary
    QCOMPARE(!BookStatements::adapt(tsql, {promet(false)}, keys).via.isEmpty(),
             summarised && !tsql.contains(QLatin1String("DUG01-POT01")));
}

QTEST_GUILESS_MAIN(TstBookStatements)
#include "tst_bookstatements.moc"
