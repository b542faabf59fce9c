#include "book/sqltext.h"

#include <QTest>

using namespace SqlText;

class TstSqlText : public QObject
{
    Q_OBJECT
private slots:
    void pieces_data();
    void pieces();
};

void TstSqlText::pieces_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    auto row = [](const char *name, const QString &actual, const QString &expected) {
        QTest::newRow(name) << actual << expected;
    };
    row("balance", KolonePoMjesecima(1, 2, "D-P"),
        "SUM(DUG01-POT01) as Mj01,SUM(DUG02-POT02) as Mj02");
    row("credit side", KolonePoMjesecima(11, 12, "P-D"),
        "SUM(POT11-DUG11) as Mj11,SUM(POT12-DUG12) as Mj12");
    row("one side from month 0", KolonePoMjesecima(0, 1, "DUG"),
        "SUM(DUG00) as Mj00,SUM(DUG01) as Mj01");
    row("first after last", KolonePoMjesecima(5, 3, "DUG"), "");
    row("running totals", KolonePoMjesecimaKumulativno(1, 2, "D-P"),
        "SUM(DUG00-POT00+DUG01-POT01) as Mj01,SUM(DUG00-POT00+DUG01-POT01+DUG02-POT02) as Mj02");
    // the sum always starts at month 0, whatever the first month
    row("running, one month", KolonePoMjesecimaKumulativno(3, 3, "P-D"),
        "SUM(POT00-DUG00+POT01-DUG01+POT02-DUG02+POT03-DUG03) as Mj03");
    row("running, first after last", KolonePoMjesecimaKumulativno(4, 2, "D-P"), "");
    row("apostrophes doubled", text("d'Oro's"), "d''Oro''s");
    row("years", yearRange("P.GODINAKNJ", "2021", "2026"),
        " AND P.GODINAKNJ>=2021 AND P.GODINAKNJ<=2026");
    // a partner code in plain digits goes in as it stands, the tree's blank before it too
    for (const char *code : {"17", " 7"})
        QTest::addRow("partner '%s'", code) << partnerCode(code) << code;
    // anything else names no partner
    for (const char *code : {"", "  ", "1 OR 1=1", "12a", "-3", "3.5", "١٢"})
        QTest::addRow("no partner '%s'", code) << partnerCode(QString::fromUtf8(code)) << "";
}

void TstSqlText::pieces()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_MAIN(TstSqlText)
#include "tst_sqltext.moc"
