#include "platform/data/recordset.h"

#include <QTest>

class TstRecordset : public QObject
{
    Q_OBJECT
private slots:
    void navigation();
    void filter_data();
    void filter();
    void newRowsGoThroughTheWriter();
};

static Recordset groups()
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

void TstRecordset::navigation()
{
    // with no rows, or none yet, at the beginning and the end at once, however it moves
    Recordset empty;
    QVERIFY(empty.Bof() && empty.Eof());
    empty.assign({{QStringLiteral("a"), QMetaType::QString}}, {});
    empty.MoveFirst();
    empty.MoveNext();
    QVERIFY(empty.isOpen() && empty.Bof() && empty.Eof());
    QVERIFY(!empty.value(0).isValid());

    Recordset rs = groups();
    QCOMPARE(rs.RecordCount(), 5);
    for (int row = 0; row < 5; ++row, rs.MoveNext())
        QVERIFY(!rs.Bof() && !rs.Eof());
    QVERIFY(rs.Eof()); // past the last row
    rs.MoveNext();     // and stays there
    QVERIFY(rs.Eof());
    // a copy shares the rows, not the position
    rs.MoveFirst();
    Recordset copy = rs;
    copy.MoveNext();
    QCOMPARE(rs.value(2).toString(), QStringLiteral("7500"));
    QCOMPARE(copy.value(2).toString(), QStringLiteral("7501"));
    // the rows from the current one on, field by field
    copy.MoveNext();
    const auto rows = copy.GetRows();
    QCOMPARE(rows.size(), 4);    // fields
    QCOMPARE(rows[0].size(), 3); // rows 3 to 5
    QCOMPARE(rows[2][0].toString(), QStringLiteral("4100"));
    QVERIFY(rows[2][1].isNull());
    QVERIFY(copy.Eof());
    // fields by name, without regard to case
    QCOMPARE(rs.fieldIndex(QStringLiteral("IMEGRUPE")), 1);
    QCOMPARE(rs.value(QStringLiteral("konto")).toString(), QStringLiteral("7500"));
    QVERIFY(!rs.value(QStringLiteral("nema")).isValid());
}

void TstRecordset::filter_data()
{
    // The rows a filter leaves; -1 for a filter that is refused and leaves the one before it
    // (Godina=2024, one row).
    QTest::addColumn<QString>("criteria");
    QTest::addColumn<int>("count");
    QTest::newRow("none left") << "KONTO='7501' AND GODINA=2025" << 0;
    QTest::newRow("text ignores case") << "ImeGrupe='PRIHODIP'" << 3;
    QTest::newRow("doubled quote") << "ImeGrupe='D''Oro grupaR'" << 1;
    QTest::newRow("like star") << "ImeGrupe LIKE 'prih*'" << 3;
    QTest::newRow("like percent and star inside") << "ImeGrupe LIKE '%Or*'" << 1;
    QTest::newRow("ranges") << "Godina >= 2025 AND Godina < 2026" << 1;
    QTest::newRow("or and and") << "Godina=2024 OR BrojPoduzeca=1 AND Konto='4100'" << 2;
    QTest::newRow("parentheses") << "(Godina=2024 OR BrojPoduzeca=1) AND Konto='4100'" << 1;
    // a null field matches no comparison, not even <>
    QTest::newRow("null never matches") << "Konto <> '1'" << 4;
    QTest::newRow("negative number") << "Godina > -1" << 5;
    QTest::newRow("quoted field name") << "[Konto]='1200'" << 1;
    QTest::newRow("empty: no filter") << "" << 5;
    for (const char *bad :
         {"Nema=1", "Godina=", "Godina 2026", "(Godina=1", "Godina=1 AND", "Godina=x"})
        QTest::addRow("refused: %s", bad) << bad << -1;
}

void TstRecordset::filter()
{
    QFETCH(QString, criteria);
    QFETCH(int, count);
    Recordset rs = groups();
    QVERIFY(rs.setFilter(QStringLiteral("Godina=2024")));
    QCOMPARE(rs.setFilter(criteria), count >= 0);
    QCOMPARE(rs.filterError().isEmpty(), count >= 0);
    QCOMPARE(rs.filter(), count >= 0 ? criteria : QStringLiteral("Godina=2024"));
    if (count < 0)
        count = 1;
    QCOMPARE(rs.RecordCount(), count);
    int seen = 0;
    for (rs.MoveFirst(); !rs.Eof() && seen <= count; rs.MoveNext())
        ++seen;
    QCOMPARE(seen, count);
}

// A new row goes to the record set's writer, the fields that were set and their values; the row
// joins the record set only when the writer takes it.
void TstRecordset::newRowsGoThroughTheWriter()
{
    Recordset rs = groups();
    QVERIFY(!rs.AddNew());
    QVERIFY(!rs.updateError().isEmpty());
    QVERIFY(!rs.Update());
    // a writer that refuses: tst_pristuppodacima (unitOfWork)
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
    QCOMPARE(rs.value(1).toString(), QStringLiteral("NovaP")); // the current row
}

QTEST_GUILESS_MAIN(TstRecordset)
#include "tst_recordset.moc"
