// The flat chart control without a screen: its files and what its drawings own.
#include "platform/chart/chartcontrol.h"
#include "platform/data/recordset.h"
#include "platform/files/atomicfile.h"
#include "platform/files/fulldisk.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

namespace {

Recordset table()
{
    QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString}};
    for (int m = 1; m <= 12; ++m)
        fields.append({QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')), QMetaType::Double});
    QVector<QVector<QVariant>> rows;
    for (int year = 2024; year <= 2026; ++year) {
        QVector<QVariant> row{QString::number(year)};
        for (int m = 1; m <= 12; ++m)
            row.append(1000.0 * m + year);
        rows.append(row);
    }
    Recordset rs;
    rs.assign(fields, rows);
    return rs;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TstChartControl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void savedFileIsWhole_data();
    void savedFileIsWhole();
    void fullDiskKeepsTheOldFile_data();
    void fullDiskKeepsTheOldFile();
    void areaLinesGoWithTheirArea();

private:
    std::unique_ptr<ChartControl> m_chart;
};

void TstChartControl::init()
{
    m_chart = std::make_unique<ChartControl>();
    m_chart->resize(800, 500);
    m_chart->setDataSource(table());
    m_chart->setTitleText(QStringLiteral("Promet 120"));
}

void TstChartControl::cleanup()
{
    m_chart.reset();
}

void TstChartControl::savedFileIsWhole_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "grafikon.png";
    QTest::newRow("svg") << "grafikon.svg";
    QTest::newRow("pdf") << "grafikon.pdf";
}

void TstChartControl::savedFileIsWhole()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QString error;
    QVERIFY2(m_chart->save(path, QSize(1000, 600), &error), qPrintable(error));
    const QByteArray bytes = readAll(path);
    QString why;
    if (name.endsWith(u"png"))
        QCOMPARE(QImage::fromData(bytes).size(), QSize(1000, 600));
    else if (name.endsWith(u"svg"))
        QVERIFY(bytes.trimmed().endsWith("</svg>"));
    else
        QVERIFY2(StagedFile::completePdf(path, &why), qPrintable(why));
}

void TstChartControl::fullDiskKeepsTheOldFile_data()
{
    savedFileIsWhole_data();
}

void TstChartControl::fullDiskKeepsTheOldFile()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    bool saved = true;
    QString error;
    {
        FullDisk::SizeLimit limited(4096);
        saved = m_chart->save(path, QSize(1000, 600), &error);
    }
    QVERIFY(!saved);
    QVERIFY2(error.startsWith(QStringLiteral("Datoteka \"%1\" nije zapisana do kraja: ").arg(path)),
             qPrintable(error));
    QCOMPARE(readAll(path), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
}

void TstChartControl::areaLinesGoWithTheirArea()
{
    m_chart->setChartType(5);
    auto *view = m_chart->findChild<QChartView *>();
    QVERIFY(view);
    QList<QPointer<QLineSeries>> lines;
    for (QAbstractSeries *s : view->chart()->series())
        if (auto *area = qobject_cast<QAreaSeries *>(s))
            lines << area->upperSeries() << area->lowerSeries();
    QCOMPARE(lines.size(), 6);
    m_chart->refresh(); // a new drawing: the old one goes, and with it the lines of its areas
    for (const auto &line : lines)
        QVERIFY(line.isNull());
}

QTEST_MAIN(TstChartControl)
#include "tst_chartcontrol.moc"
