#include "platform/data/recordset.h"

#include <QTest>

class TstRecordset : public QObject
{
    Q_OBJECT
private slots:
    void emptyIsBofAndEof();
    void navigation();
    void fieldsByNameIgnoreCase();
    void getRowsFromCurrentRow();
    void filter_data();
    void filter();
    void badFilterKeepsOldOne();
    void emptyFilterRemovesIt();
    void copiesShareRowsButNotPosition();
    void addNewNeedsAWriter();
    void updateInsertsThroughWriter();
    void failedUpdateKeepsRecordset();

private:
    static Recordset groups();
};

Recordset TstRecordset::groups()
{
    Recordset rs;
    rs.assign({{QStringLiteral("BrojPoduzeca"), QMetaType::LongLong},
               {QStringLiteral("ImeGrupe"), QMetaType::QString},
               {QStringLiteral("Konto"), QMetaType::QString},
               {QStringLiteral("Godina"), QMetaType::LongLong}},
              {{1, QStringLiteral("PrihodiP"), QStringLiteral("7500"), 2025},
               {1, QStringLiteral("PrihodiP"), QStringLiteral("7501"), 2026},
               {1, QStringLiteral("D'Oro grupaR"), QStringLiteral("4100"), 2026},
               {1, QStringLiteral("RashodiR"), QVariant(), 2026},
               {2, QStringLiteral("prihodip"), QStringLiteral("1200"), 2024}});
    return rs;
}

void TstRecordset::emptyIsBofAndEof()
{
    Recordset never;
    QVERIFY(never.Bof() && never.Eof());
    Recordset rs;
    rs.assign({{QStringLiteral("a"), QMetaType::QString}}, {});
    QVERIFY(rs.isOpen());
    QVERIFY(rs.Bof() && rs.Eof());
    QCOMPARE(rs.RecordCount(), 0);
    rs.MoveFirst();
    rs.MoveNext();
    QVERIFY(rs.Bof() && rs.Eof());
    QVERIFY(!rs.value(0).isValid());
}

void TstRecordset::navigation()
{
    Recordset rs = groups();
    QVERIFY(!rs.Bof() && !rs.Eof());
    QCOMPARE(rs.RecordCount(), 5);
    int n = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        ++n;
    QCOMPARE(n, 5);
    rs.MoveNext(); // past the end stays at the end
    QVERIFY(rs.Eof());
    rs.MoveFirst();
    QCOMPARE(rs.value(2).toString(), QStringLiteral("7500"));
}

void TstRecordset::fieldsByNameIgnoreCase()
{
    Recordset rs = groups();
    QCOMPARE(rs.fieldIndex(QStringLiteral("IMEGRUPE")), 1);
    QCOMPARE(rs.value(QStringLiteral("konto")).toString(), QStringLiteral("7500"));
    QCOMPARE(rs.fieldName(3), QStringLiteral("Godina"));
    QCOMPARE(rs.fieldType(3), QMetaType::LongLong);
    QCOMPARE(rs.fieldIndex(QStringLiteral("nema")), -1);
    QVERIFY(!rs.value(QStringLiteral("nema")).isValid());
}

void TstRecordset::getRowsFromCurrentRow()
{
    Recordset rs = groups();
    rs.MoveNext();
    rs.MoveNext();
    const auto rows = rs.GetRows();
    QCOMPARE(rows.size(), 4);    // fields
    QCOMPARE(rows[0].size(), 3); // rows 3 to 5
    QCOMPARE(rows[2][0].toString(), QStringLiteral("4100"));
    QVERIFY(rows[2][1].isNull());
    QVERIFY(rs.Eof());
}

void TstRecordset::filter_data()
{
    QTest::addColumn<QString>("criteria");
    QTest::addColumn<int>("count");
    QTest::newRow("account and year") << "KONTO='7501' AND GODINA=2026" << 1;
    QTest::newRow("other year") << "KONTO='7501' AND GODINA=2025" << 0;
    QTest::newRow("text ignores case") << "ImeGrupe='PRIHODIP'" << 3;
    QTest::newRow("doubled quote") << "ImeGrupe='D''Oro grupaR'" << 1;
    QTest::newRow("like star") << "ImeGrupe LIKE 'prih*'" << 3;
    QTest::newRow("like percent inside") << "ImeGrupe LIKE '%Oro%'" << 1;
    QTest::newRow("not equal") << "Godina <> 2026" << 2;
    QTest::newRow("ranges") << "Godina >= 2025 AND Godina < 2026" << 1;
    QTest::newRow("or and and") << "Godina=2024 OR BrojPoduzeca=1 AND Konto='4100'" << 2;
    QTest::newRow("parentheses") << "(Godina=2024 OR BrojPoduzeca=1) AND Konto='4100'" << 1;
    // a null field matches no comparison, not even <>
    QTest::newRow("null never matches") << "Konto <> '1'" << 4;
    QTest::newRow("negative number") << "Godina > -1" << 5;
    QTest::newRow("quoted field name") << "[Konto]='1200'" << 1;
}

void TstRecordset::filter()
{
    QFETCH(QString, criteria);
    QFETCH(int, count);
    Recordset rs = groups();
    QVERIFY2(rs.setFilter(criteria), qPrintable(rs.filterError()));
    QCOMPARE(rs.RecordCount(), count);
    QCOMPARE(rs.Eof(), count == 0);
    int seen = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        ++seen;
    QCOMPARE(seen, count);
}

void TstRecordset::badFilterKeepsOldOne()
{
    Recordset rs = groups();
    QVERIFY(rs.setFilter(QStringLiteral("Godina=2026")));
    for (const char *bad :
         {"Nema=1", "Godina=", "Godina 2026", "(Godina=1", "Godina=1 AND", "Godina=x"}) {
        QVERIFY2(!rs.setFilter(QString::fromLatin1(bad)), bad);
        QVERIFY(!rs.filterError().isEmpty());
        QCOMPARE(rs.RecordCount(), 3);
    }
}

void TstRecordset::emptyFilterRemovesIt()
{
    Recordset rs = groups();
    QVERIFY(rs.setFilter(QStringLiteral("Godina=2024")));
    QCOMPARE(rs.RecordCount(), 1);
    QVERIFY(rs.setFilter(QString()));
    QCOMPARE(rs.RecordCount(), 5);
    QVERIFY(rs.filter().isEmpty());
}

void TstRecordset::copiesShareRowsButNotPosition()
{
    Recordset a = groups();
    Recordset b = a;
    b.MoveNext();
    QCOMPARE(a.value(2).toString(), QStringLiteral("7500"));
    QCOMPARE(b.value(2).toString(), QStringLiteral("7501"));
}

void TstRecordset::addNewNeedsAWriter()
{
    Recordset rs = groups();
    QVERIFY(!rs.isUpdatable());
    QVERIFY(!rs.AddNew());
    QVERIFY(!rs.updateError().isEmpty());
    QVERIFY(!rs.Update());
}

void TstRecordset::updateInsertsThroughWriter()
{
    Recordset rs = groups();
    QStringList gotFields;
    QVariantList gotValues;
    rs.setWriter([&](const QStringList &f, const QVariantList &v, QString *) {
        gotFields = f;
        gotValues = v;
        return true;
    });
    QVERIFY(rs.AddNew());
    QVERIFY(rs.setValue(QStringLiteral("brojpoduzeca"), 1));
    QVERIFY(rs.setValue(QStringLiteral("ImeGrupe"), QStringLiteral("NovaP")));
    QVERIFY(!rs.setValue(QStringLiteral("Nema"), 1));
    QVERIFY(rs.Update());
    QCOMPARE(gotFields, QStringList({QStringLiteral("BrojPoduzeca"), QStringLiteral("ImeGrupe")}));
    QCOMPARE(gotValues, QVariantList({1, QStringLiteral("NovaP")}));
    QCOMPARE(rs.RecordCount(), 6);
    QCOMPARE(rs.value(1).toString(), QStringLiteral("NovaP"));
}

void TstRecordset::failedUpdateKeepsRecordset()
{
    Recordset rs = groups();
    rs.setWriter([](const QStringList &, const QVariantList &, QString *e) {
        *e = QStringLiteral("odbijeno");
        return false;
    });
    QVERIFY(rs.AddNew());
    QVERIFY(!rs.Update());
    QCOMPARE(rs.updateError(), QStringLiteral("odbijeno"));
    QCOMPARE(rs.RecordCount(), 5);
}

QTEST_GUILESS_MAIN(TstRecordset)
#include "tst_recordset.moc"
