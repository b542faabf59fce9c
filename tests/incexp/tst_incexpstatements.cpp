#include "incexp/incexpstatements.h"

#include <QTest>

using namespace IncExpSql;

class TstIncExpStatements : public QObject
{
    Q_OBJECT
private slots:
    void texts_data();
    void texts();
};

void TstIncExpStatements::texts_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    auto row = [](const char *name, const QString &actual, const QString &expected) {
        QTest::newRow(name) << actual << expected;
    };
    auto head = [](const char *label) {
        return QStringLiteral("SELECT '%1 '+LTRIM(str(GODINAKNJ)) as Godina,")
            .arg(QLatin1String(label));
    };
    const Scope s{"PROMET", 1, "2021", "2026"};
    const QString pot = QStringLiteral("SUM(POT01) as Mj01,SUM(POT02) as Mj02");
    const QString dug = QStringLiteral("SUM(DUG01) as Mj01,SUM(DUG02) as Mj02");
    const QString bal = QStringLiteral("SUM(POT01-DUG01) as Mj01,SUM(POT02-DUG02) as Mj02");
    const QString join = QStringLiteral(
        " From dbo.PROMET P INNER JOIN dbo.FinPrihRash F ON P.BrojPoduzeca=F.BrojPoduzeca AND "
        "P.GodinaKnj=F.Godina AND P.SintKonto=F.Konto WHERE");
    const QString years = QStringLiteral(" AND GODINAKNJ>=2021 AND GODINAKNJ<=2026");
    // the kind read from the key's last letter: P income, R expense, any other (a lower-case p
    // too) the balance
    auto group = [&](const QString &key) { return groupChart(kindOfKey(key), key, 1, 2, s); };
    row("income group", group("Prodaja d'OroP"),
        head("PRIH") + pot + join + " P.BROJPODUZECA=1 AND F.ImeGrupe='Prodaja d''OroP'" + years +
            "  GROUP BY GODINAKNJ");
    // the expense statement has two blanks after WHERE and one before GROUP BY
    row("expense group", group("RashodiR"),
        head("RASH") + dug + join + "  P.BROJPODUZECA=1 AND F.ImeGrupe='RashodiR'" + years +
            " GROUP BY GODINAKNJ");
    row("balance group", group("Dobitp"),
        head("PRIH-RASH") + bal + join + " P.BROJPODUZECA=1 AND F.ImeGrupe='Dobitp'" + years +
            "  GROUP BY GODINAKNJ");
    row("account, trimmed", accountChart(Kind::Income, " 7500 ", "PrihodiP", 1, 2, s),
        head("PRIH") + pot + join +
            " P.BROJPODUZECA=1 AND (SINTKONTO ='7500') AND F.ImeGrupe='PrihodiP'" + years +
            "  GROUP BY GODINAKNJ");
    const QString partner =
        " AND (SINTKONTO='1200') AND ANALKONTO=17" + years + "  GROUP BY GODINAKNJ";
    row("expense partner", partnerChart(Kind::Expense, "1200", "17", 1, 2, s),
        head("RASH") + dug + " From dbo.PROMET WHERE  BROJPODUZECA=1" + partner);
    // a partner's balance says "Saldo", a group's "PRIH-RASH"
    row("balance partner", partnerChart(Kind::Balance, "1200", "17", 1, 2, s),
        head("Saldo") + bal + " From dbo.PROMET WHERE BROJPODUZECA=1" + partner);
    row("partner no number", partnerChart(Kind::Income, "1200", "1 OR 1=1", 1, 2, s), "");

    row("group list", groupList(1, 2026),
        "SELECT DISTINCT IMEGRUPE FROM FINPRIHRASH WHERE GODINA=2026 AND BROJPODUZECA=1");
    row("group accounts", groupAccounts("Prodaja d'OroP", 1, 2026),
        "SELECT F.ImeGrupe,F.Konto,K.NAZIVKONTA FROM dbo.FinPrihRash F INNER JOIN dbo.KONTO K "
        "ON F.BrojPoduzeca=K.BrojPoduzeca AND F.Konto=K.SIFKONTA AND F.Godina=K.GODINAKNJ "
        "WHERE F.IMEGRUPE='Prodaja d''OroP' AND F.GODINA=2026 AND F.BROJPODUZECA=1");
    // a group is deleted in the window's year only: its other years stay
    row("delete", deleteGroup("PrihodiP", 2, 2025),
        "DELETE FROM FINPRIHRASH WHERE IMEGRUPE='PrihodiP' AND BROJPODUZECA=2 AND GODINA=2025");
    row("chart of accounts", chartOfAccounts(1, 2026),
        "SELECT SIFKONTA,NAZIVKONTA FROM KONTO WHERE BROJPODUZECA=1 AND GODINAKNJ=2026 AND "
        "LEN(RTRIM(SIFKONTA))>3");
    row("group rows", groupRows("O'NeilR", 1),
        "SELECT * FROM FINPRIHRASH WHERE IMEGRUPE='O''NeilR' AND BROJPODUZECA=1");

    row("right, short", PadR("1200", 8), "1200    ");
    row("left", PadL("12", 5), "   12");
    row("left, too long keeps the start", PadL("123456", 4), "1234");
    // free 3, half 1.5 to the even 2, both sides, cut to 5
    row("centre, trimmed and cut", PadC(" ab ", 5), "  ab ");
    // free 5, half 2.5 to the even 2
    row("centre, half to even", PadC("x", 6), "  x  ");

    // an account the group holds in two years stands twice
    row("share accounts", shareAccountCondition({"1200", "1200", "12'1"}),
        " AND (P.SINTKONTO='1200' OR P.SINTKONTO='1200' OR P.SINTKONTO='12''1' ) ");
    row("no share accounts", shareAccountCondition({}), "");
    row("income shares", shareColumns(Kind::Income, 11, 12),
        "SUM(P.POT11) as Mj11,SUM(P.POT12) as Mj12");
    row("expense shares", shareColumns(Kind::Expense, 0, 0), "SUM(P.DUG00) as Mj00");
    row("balance shares", shareColumns(Kind::Balance, 1, 1), "SUM(P.POT01-P.DUG01) as Mj01");
    row("share data", shareData(" AND (P.SINTKONTO='1200' ) ", "SUM(P.POT01) as Mj01", s),
        "SELECT P.GODINAKNJ as Godina,P.SintKonto as Konto,K.NazivKonta,P.ANALKONTO as "
        "Komit,KM.ImeKomit1 as Komitent,SUM(P.POT01) as Mj01 From dbo.PROMET P INNER JOIN "
        "dbo.KONTO K ON P.BrojPoduzeca=K.BrojPoduzeca AND P.SINTKONTO=K.SIFKONTA AND "
        "P.GODINAKNJ=K.GODINAKNJ LEFT OUTER JOIN dbo.KOMITENT KM ON P.ANALKONTO=KM.SifKomit "
        "WHERE P.BROJPODUZECA=1  AND (P.SINTKONTO='1200' )  AND P.GODINAKNJ>=2021 AND "
        "P.GODINAKNJ<=2026  GROUP BY P.GODINAKNJ,P.SintKonto,K.NazivKonta,P.ANALKONTO,"
        "KM.ImeKomit1");
    // a row the year holds is not copied again, an account without a code not at all
    const QString notThere =
        " S WHERE LTRIM(RTRIM(S.Konto))<>'' AND NOT EXISTS (SELECT 1 FROM dbo.FinPrihRash X WHERE "
        "X.BrojPoduzeca=S.BrojPoduzeca AND X.ImeGrupe=S.ImeGrupe AND X.Konto=S.Konto AND "
        "X.Godina=S.Godina)";
    const QString insert = QStringLiteral("INSERT dbo.FinPrihRash SELECT DISTINCT S.BrojPoduzeca,"
                                          "S.ImeGrupe,S.Konto,S.Godina FROM (SELECT "
                                          "F.BrojPoduzeca,F.ImeGrupe,");
    row("carry-over as they are", carryOver(0, 1, 2026, 2024),
        insert +
            "F.Konto AS Konto,2026 AS Godina FROM dbo.FinPrihRash F WHERE F.BrojPoduzeca=1 AND "
            "F.Godina=2024)" +
            notThere);
    row("carry-over, translation 2", carryOver(2, 2, 2027, 2026),
        insert +
            "(SELECT SifKonta2 FROM dbo.Konto K WHERE K.SifKonta=F.Konto AND "
            "K.BrojPoduzeca=F.BrojPoduzeca AND K.GodinaKnj=2026) AS Konto,2027 AS Godina FROM "
            "dbo.FinPrihRash F WHERE F.BrojPoduzeca=2 AND F.Godina=2026)" +
            notThere);
    // the chart of the year before the current one, whatever the source year
    row("left out, translation 1", carryOverLeftOut(1, 1, 2026, 2024),
        "SELECT F.ImeGrupe,F.Konto FROM dbo.FinPrihRash F WHERE F.BrojPoduzeca=1 AND "
        "F.Godina=2024 AND COALESCE(LTRIM(RTRIM((SELECT SifKonta1 FROM dbo.Konto K WHERE "
        "K.SifKonta=F.Konto AND K.BrojPoduzeca=F.BrojPoduzeca AND K.GodinaKnj=2025))),'')='' "
        "ORDER BY F.ImeGrupe,F.Konto");
}

void TstIncExpStatements::texts()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_MAIN(TstIncExpStatements)
#include "tst_incexpstatements.moc"
