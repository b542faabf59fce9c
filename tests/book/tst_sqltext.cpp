#include "book/sqltext.h"

#include <QTest>

using namespace SqlText;

class TstSqlText : public QObject
{
    Q_OBJECT
private slots:
    void monthColumns_data();
    void monthColumns();
    void quotedText();
    void partnerCodes_data();
    void partnerCodes();
    void yearRanges();
};

void TstSqlText::monthColumns_data()
{
    QTest::addColumn<bool>("cumulative");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("balance") << false << 1 << 2 << "D-P"
                             << "SUM(DUG01-POT01) as Mj01,SUM(DUG02-POT02) as Mj02";
    QTest::newRow("credit side") << false << 11 << 12 << "P-D"
                                 << "SUM(POT11-DUG11) as Mj11,SUM(POT12-DUG12) as Mj12";
    QTest::newRow("month 0") << false << 0 << 1 << "DUG"
                             << "SUM(DUG00) as Mj00,SUM(DUG01) as Mj01";
    QTest::newRow("first after last") << false << 5 << 3 << "DUG"
                                      << "";
    QTest::newRow("running totals")
        << true << 1 << 2 << "D-P"
        << "SUM(DUG00-POT00+DUG01-POT01) as Mj01,SUM(DUG00-POT00+DUG01-POT01+DUG02-POT02) as Mj02";
    // the sum always starts at month 0, whatever the first month
    QTest::newRow("one month") << true << 3 << 3 << "P-D"
                               << "SUM(POT00-DUG00+POT01-DUG01+POT02-DUG02+POT03-DUG03) as Mj03";
    QTest::newRow("running, first after last") << true << 4 << 2 << "D-P"
                                               << "";
}

void TstSqlText::monthColumns()
{
    QFETCH(bool, cumulative);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, kind);
    QFETCH(QString, expected);
    QCOMPARE(cumulative ? KolonePoMjesecimaKumulativno(qint16(first), qint16(last), kind)
                        : KolonePoMjesecima(qint16(first), qint16(last), kind),
             expected);
}

void TstSqlText::quotedText()
{
    QCOMPARE(text(QStringLiteral("Prihodi d'Oro")), QStringLiteral("Prihodi d''Oro"));
    QCOMPARE(text(QStringLiteral("''")), QStringLiteral("''''"));
    QCOMPARE(text(QString()), QString());
}

void TstSqlText::partnerCodes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("spliced");
    QTest::newRow("number") << "17"
                            << "17";
    QTest::newRow("the tree's key, a blank before") << " 7"
                                                    << " 7";
    QTest::newRow("nothing") << ""
                             << "";
    QTest::newRow("blanks") << "  "
                            << "";
    QTest::newRow("a condition") << "1 OR 1=1"
                                 << "";
    QTest::newRow("closing bracket") << "7) OR (1=1"
                                     << "";
    QTest::newRow("letters") << "12a"
                             << "";
    QTest::newRow("sign") << "-3"
                          << "";
    QTest::newRow("decimal") << "3.5"
                             << "";
    QTest::newRow("other digits") << QString::fromUtf8("١٢") << "";
}

void TstSqlText::partnerCodes()
{
    QFETCH(QString, code);
    QFETCH(QString, spliced);
    QCOMPARE(partnerCode(code), spliced);
}

void TstSqlText::yearRanges()
{
    QCOMPARE(
        yearRange(QStringLiteral("P.GODINAKNJ"), QStringLiteral("2021"), QStringLiteral("2026")),
        QStringLiteral(" AND P.GODINAKNJ>=2021 AND P.GODINAKNJ<=2026"));
}

QTEST_MAIN(TstSqlText)
#include "tst_sqltext.moc"
