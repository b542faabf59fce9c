#include "incexp/incexpstatements.h"

#include <QTest>

using namespace IncExpSql;

namespace {
const Scope kScope{QStringLiteral("PROMET"), 1, QStringLiteral("2021"), QStringLiteral("2026")};
const QString kJoin = QStringLiteral(
    " From dbo.PROMET P INNER JOIN dbo.FinPrihRash F ON P.BrojPoduzeca=F.BrojPoduzeca AND "
    "P.GodinaKnj=F.Godina AND P.SintKonto=F.Konto WHERE");
const QString kYears = QStringLiteral(" AND GODINAKNJ>=2021 AND GODINAKNJ<=2026");
} // namespace

class TstIncExpStatements : public QObject
{
    Q_OBJECT
private slots:
    void charts_data();
    void charts();
    void monthRange();
    void partnerCodeMustBeANumber();
    void groupStatements_data();
    void groupStatements();
    void kinds_data();
    void kinds();
    void padding_data();
    void padding();
    void shareAndCarryOver_data();
    void shareAndCarryOver();
};

void TstIncExpStatements::charts_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    const QString pot = QStringLiteral("SUM(POT01) as Mj01,SUM(POT02) as Mj02");
    const QString dug = QStringLiteral("SUM(DUG01) as Mj01,SUM(DUG02) as Mj02");
    const QString bal = QStringLiteral("SUM(POT01-DUG01) as Mj01,SUM(POT02-DUG02) as Mj02");
    const QString group = QStringLiteral(" AND F.ImeGrupe='Prodaja d''OroP'");
    QTest::newRow("income group") << groupChart(Kind::Income, QStringLiteral("Prodaja d'OroP"), 1,
                                                2, kScope)
                                  << "SELECT 'PRIH '+LTRIM(str(GODINAKNJ)) as Godina," + pot +
                                         kJoin + " P.BROJPODUZECA=1" + group + kYears +
                                         "  GROUP BY GODINAKNJ";
    // the expense statement has two blanks after WHERE and one before GROUP BY
    QTest::newRow("expense group")
        << groupChart(Kind::Expense, QStringLiteral("Prodaja d'OroP"), 1, 2, kScope)
        << "SELECT 'RASH '+LTRIM(str(GODINAKNJ)) as Godina," + dug + kJoin + "  P.BROJPODUZECA=1" +
               group + kYears + " GROUP BY GODINAKNJ";
    QTest::newRow("balance group")
        << groupChart(Kind::Balance, QStringLiteral("Prodaja d'OroP"), 1, 2, kScope)
        << "SELECT 'PRIH-RASH '+LTRIM(str(GODINAKNJ)) as Godina," + bal + kJoin +
               " P.BROJPODUZECA=1" + group + kYears + "  GROUP BY GODINAKNJ";
    const QString account = QStringLiteral(" AND (SINTKONTO ='7500') AND F.ImeGrupe='PrihodiP'");
    QTest::newRow("income account")
        << accountChart(Kind::Income, QStringLiteral(" 7500 "), QStringLiteral("PrihodiP"), 1, 2,
                        kScope)
        << "SELECT 'PRIH '+LTRIM(str(GODINAKNJ)) as Godina," + pot + kJoin + " P.BROJPODUZECA=1" +
               account + kYears + "  GROUP BY GODINAKNJ";
    QTest::newRow("expense account")
        << accountChart(Kind::Expense, QStringLiteral("7500"), QStringLiteral("PrihodiP"), 1, 2,
                        kScope)
        << "SELECT 'RASH '+LTRIM(str(GODINAKNJ)) as Godina," + dug + kJoin + "  P.BROJPODUZECA=1" +
               account + kYears + " GROUP BY GODINAKNJ";
    const QString partner = QStringLiteral(" AND (SINTKONTO='1200') AND ANALKONTO=17");
    QTest::newRow("income partner")
        << partnerChart(Kind::Income, QStringLiteral("1200"), QStringLiteral("17"), 1, 2, kScope)
        << "SELECT 'PRIH '+LTRIM(str(GODINAKNJ)) as Godina," + pot +
               " From dbo.PROMET WHERE BROJPODUZECA=1" + partner + kYears + "  GROUP BY GODINAKNJ";
    QTest::newRow("expense partner")
        << partnerChart(Kind::Expense, QStringLiteral("1200"), QStringLiteral("17"), 1, 2, kScope)
        << "SELECT 'RASH '+LTRIM(str(GODINAKNJ)) as Godina," + dug +
               " From dbo.PROMET WHERE  BROJPODUZECA=1" + partner + kYears + "  GROUP BY GODINAKNJ";
    // a partner's balance says "Saldo", a group's "PRIH-RASH"
    QTest::newRow("balance partner")
        << partnerChart(Kind::Balance, QStringLiteral("1200"), QStringLiteral("17"), 1, 2, kScope)
        << "SELECT 'Saldo '+LTRIM(str(GODINAKNJ)) as Godina," + bal +
               " From dbo.PROMET WHERE BROJPODUZECA=1" + partner + kYears + "  GROUP BY GODINAKNJ";
}

void TstIncExpStatements::charts()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TstIncExpStatements::monthRange()
{
    const QString all = groupChart(Kind::Income, QStringLiteral("PrihodiP"), 0, 12, kScope);
    QCOMPARE(all.count(QStringLiteral(" as Mj")), 13);
    QVERIFY(all.contains(QStringLiteral("SUM(POT00) as Mj00,")));
    QVERIFY(all.contains(QStringLiteral("SUM(POT12) as Mj12 From")));
    // the last month before the first: no column, a statement the database refuses
    QVERIFY(
        groupChart(Kind::Income, QStringLiteral("PrihodiP"), 5, 3, kScope)
            .startsWith(QStringLiteral("SELECT 'PRIH '+LTRIM(str(GODINAKNJ)) as Godina, From")));
}

void TstIncExpStatements::partnerCodeMustBeANumber()
{
    for (const char *code : {"", "1 OR 1=1", "12a", "١٢"})
        QVERIFY2(partnerChart(Kind::Income, QStringLiteral("1200"), QString::fromUtf8(code), 0, 12,
                              kScope)
                     .isEmpty(),
                 code);
}

void TstIncExpStatements::groupStatements_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    QTest::newRow("group list") << groupList(1, 2026)
                                << "SELECT DISTINCT IMEGRUPE FROM FINPRIHRASH WHERE GODINA=2026 "
                                   "AND BROJPODUZECA=1";
    QTest::newRow("group accounts")
        << groupAccounts(QStringLiteral("Prodaja d'OroP"), 1, 2026)
        << "SELECT F.ImeGrupe,F.Konto,K.NAZIVKONTA FROM dbo.FinPrihRash F INNER JOIN dbo.KONTO K "
           "ON F.BrojPoduzeca=K.BrojPoduzeca AND F.Konto=K.SIFKONTA AND F.Godina=K.GODINAKNJ "
           "WHERE F.IMEGRUPE='Prodaja d''OroP' AND F.GODINA=2026 AND F.BROJPODUZECA=1";
    // a group is deleted in the window's year only: its other years stay
    QTest::newRow("delete") << deleteGroup(QStringLiteral("PrihodiP"), 2, 2025)
                            << "DELETE FROM FINPRIHRASH WHERE IMEGRUPE='PrihodiP' AND "
                               "BROJPODUZECA=2 AND GODINA=2025";
    QTest::newRow("chart of accounts")
        << chartOfAccounts(1, 2026)
        << "SELECT SIFKONTA,NAZIVKONTA FROM KONTO WHERE BROJPODUZECA=1 AND GODINAKNJ=2026 AND "
           "LEN(RTRIM(SIFKONTA))>3";
    QTest::newRow("group rows") << groupRows(QStringLiteral("O'NeilR"), 1)
                                << "SELECT * FROM FINPRIHRASH WHERE IMEGRUPE='O''NeilR' AND "
                                   "BROJPODUZECA=1";
    QTest::newRow("row filter") << accountRowFilter(QStringLiteral("12'0"), 2026)
                                << "KONTO='12''0' AND GODINA=2026";
}

void TstIncExpStatements::groupStatements()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TstIncExpStatements::kinds_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("income") << "PrihodiP" << int(Kind::Income) << "Prihodi";
    QTest::newRow("expense") << "RashodiR" << int(Kind::Expense) << "Rashodi";
    QTest::newRow("balance") << "Prihodi-Rashodi (Dobit)S" << int(Kind::Balance)
                             << "Prihodi-Rashodi (Dobit)";
    // any letter but P and R is read as a balance
    QTest::newRow("other letter") << "UkupnoX" << int(Kind::Balance) << "Ukupno";
    QTest::newRow("lower-case p") << "Prihodip" << int(Kind::Balance) << "Prihodi";
}

void TstIncExpStatements::kinds()
{
    QFETCH(QString, key);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QCOMPARE(int(kindOfKey(key)), kind);
    QCOMPARE(groupName(key), name);
}

void TstIncExpStatements::padding_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::newRow("right, short") << "R"
                                  << "1200" << 8 << "1200    ";
    QTest::newRow("right, long") << "R"
                                 << "123456789" << 8 << "12345678";
    QTest::newRow("left") << "L"
                          << "12" << 5 << "   12";
    QTest::newRow("left, too long keeps the start") << "L"
                                                    << "123456" << 4 << "1234";
    // free 3, half 1.5 to the even 2, both sides, cut to 5
    QTest::newRow("centre, odd space") << "C"
                                       << " ab " << 5 << "  ab ";
    // free 5, half 2.5 to the even 2
    QTest::newRow("centre, half to even") << "C"
                                          << "x" << 6 << "  x  ";
    QTest::newRow("centre, too long") << "C"
                                      << "abcdef" << 3 << "abc";
    QTest::newRow("zero width") << "R"
                                << "abc" << 0 << "";
}

void TstIncExpStatements::padding()
{
    QFETCH(QString, which);
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, expected);
    const QString actual = which == u"R"   ? PadR(text, width)
                           : which == u"L" ? PadL(text, width)
                                           : PadC(text, width);
    QCOMPARE(actual, expected);
}

void TstIncExpStatements::shareAndCarryOver_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    // an account the group holds in two years stands twice
    QTest::newRow("account condition")
        << shareAccountCondition({"1200", "1200", "12'1"})
        << " AND (P.SINTKONTO='1200' OR P.SINTKONTO='1200' OR P.SINTKONTO='12''1' ) ";
    QTest::newRow("no accounts") << shareAccountCondition({}) << "";
    QTest::newRow("income columns")
        << shareColumns(Kind::Income, 11, 12) << "SUM(P.POT11) as Mj11,SUM(P.POT12) as Mj12";
    QTest::newRow("expense columns") << shareColumns(Kind::Expense, 0, 0) << "SUM(P.DUG00) as Mj00";
    QTest::newRow("balance columns")
        << shareColumns(Kind::Balance, 1, 1) << "SUM(P.POT01-P.DUG01) as Mj01";
    QTest::newRow("share data")
        << shareData(QStringLiteral(" AND (P.SINTKONTO='1200' ) "),
                     QStringLiteral("SUM(P.POT01) as Mj01"), kScope)
        << "SELECT P.GODINAKNJ as Godina,P.SintKonto as Konto,K.NazivKonta,P.ANALKONTO as "
           "Komit,KM.ImeKomit1 as Komitent,SUM(P.POT01) as Mj01 From dbo.PROMET P INNER JOIN "
           "dbo.KONTO K ON P.BrojPoduzeca=K.BrojPoduzeca AND P.SINTKONTO=K.SIFKONTA AND "
           "P.GODINAKNJ=K.GODINAKNJ LEFT OUTER JOIN dbo.KOMITENT KM ON P.ANALKONTO=KM.SifKomit "
           "WHERE "
           "P.BROJPODUZECA=1  AND (P.SINTKONTO='1200' )  AND P.GODINAKNJ>=2021 AND "
           "P.GODINAKNJ<=2026  GROUP BY P.GODINAKNJ,P.SintKonto,K.NazivKonta,P.ANALKONTO,"
           "KM.ImeKomit1";
    // a row the year holds is not copied again, an account without a code not at all
    const QString notThere =
        " S WHERE LTRIM(RTRIM(S.Konto))<>'' AND NOT EXISTS (SELECT 1 FROM dbo.FinPrihRash X WHERE "
        "X.BrojPoduzeca=S.BrojPoduzeca AND X.ImeGrupe=S.ImeGrupe AND X.Konto=S.Konto AND "
        "X.Godina=S.Godina)";
    QTest::newRow("carry-over as they are")
        << carryOver(0, 1, 2026, 2024)
        << "INSERT dbo.FinPrihRash SELECT DISTINCT S.BrojPoduzeca,S.ImeGrupe,S.Konto,S.Godina FROM "
           "(SELECT F.BrojPoduzeca,F.ImeGrupe,F.Konto AS Konto,2026 AS Godina FROM "
           "dbo.FinPrihRash F WHERE F.BrojPoduzeca=1 AND F.Godina=2024)" +
               notThere;
    QTest::newRow("carry-over, translation 2")
        << carryOver(2, 2, 2027, 2026)
        << "INSERT dbo.FinPrihRash SELECT DISTINCT S.BrojPoduzeca,S.ImeGrupe,S.Konto,S.Godina FROM "
           "(SELECT F.BrojPoduzeca,F.ImeGrupe,(SELECT SifKonta2 FROM dbo.Konto K WHERE "
           "K.SifKonta=F.Konto AND K.BrojPoduzeca=F.BrojPoduzeca AND K.GodinaKnj=2026) AS "
           "Konto,2027 AS Godina FROM dbo.FinPrihRash F WHERE F.BrojPoduzeca=2 AND F.Godina=2026)" +
               notThere;
    // the chart of the year before the current one, whatever the source year
    QTest::newRow("left out, translation 1")
        << carryOverLeftOut(1, 1, 2026, 2024)
        << "SELECT F.ImeGrupe,F.Konto FROM dbo.FinPrihRash F WHERE F.BrojPoduzeca=1 AND "
           "F.Godina=2024 AND COALESCE(LTRIM(RTRIM((SELECT SifKonta1 FROM dbo.Konto K WHERE "
           "K.SifKonta=F.Konto AND K.BrojPoduzeca=F.BrojPoduzeca AND K.GodinaKnj=2025))),'')='' "
           "ORDER BY F.ImeGrupe,F.Konto";
    QTest::newRow("left out as they are")
        << carryOverLeftOut(0, 1, 2026, 2025)
        << "SELECT F.ImeGrupe,F.Konto FROM dbo.FinPrihRash F WHERE F.BrojPoduzeca=1 AND "
           "F.Godina=2025 AND COALESCE(LTRIM(RTRIM(F.Konto)),'')='' ORDER BY F.ImeGrupe,F.Konto";
}

void TstIncExpStatements::shareAndCarryOver()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_MAIN(TstIncExpStatements)
#include "tst_incexpstatements.moc"
