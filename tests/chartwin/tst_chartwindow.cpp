#include "output/recordsetmodel.h"
#include "platform/chart/chartcontrol.h"
#include "platform/widgets/keyedtree.h"
#include "windowsupport.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>

using namespace TestSupport;

namespace {
const QString kApp = QStringLiteral("Pregled prometa na kontima po mjesecima");
const QString kSection = QStringLiteral("Settings");
} // namespace

class TstChartWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void firstRunDefaults();
    void storedValuesRestored();
    void unreadableSettingsFallBack();
    void costCentreCaptionKeepsItsOwnSettings();
    void closingStoresTheSettings();
    void pieAndXyCodes();
    void percentScaleIsShareOfLargest();
    void valuesThatAreNoNumberAreGaps();
    void stackingInSyncFromMenuAndBox();
    void titleInputCancelKeepsText();
    void gridFormatsAmounts_data();
    void gridFormatsAmounts();
    void gridViewSwitch();
    void resizeRuleSkipsNegativeSizes();
    void firmNameMessages();
    void colourFunctions();
    void tableNameMustBeAPlainIdentifier_data();
    void tableNameMustBeAPlainIdentifier();
    void januaryBookDrawsFirstChartsWithoutMessages();

private:
    WindowFixture *m_fx = nullptr;
    QPointer<ChartWindow> m_w;
};

void TstChartWindow::init()
{
    m_fx = new WindowFixture;
    QLocale::setDefault(QLocale::c());
}

void TstChartWindow::cleanup()
{
    if (m_w)
        m_w->close();
    delete m_fx;
}

void TstChartWindow::firstRunDefaults()
{
    m_w = m_fx->open();
    QCOMPARE(m_w->windowTitle(), kApp);
    QCOMPARE(m_w->cmbType->currentIndex(), 9);
    QCOMPARE(m_w->cmbType->currentText(), QStringLiteral("2D Kombinacija"));
    QCOMPARE(m_w->MSChart1->chartType(), 9);
    QCOMPARE(m_w->cmbScale->currentText(), QStringLiteral("Linearna os"));
    QVERIFY(m_w->mnuPostGraf[0]->isChecked() && m_w->mnuPostGraf[1]->isChecked() &&
            !m_w->mnuPostGraf[2]->isChecked());
    QCOMPARE(m_w->txtMj[0]->text(), QStringLiteral("0"));
    QCOMPARE(m_w->txtMj[1]->text(), QStringLiteral("12"));
    QCOMPARE(m_w->txtGodina[0]->text(), QStringLiteral("1998"));
    QCOMPARE(m_w->txtGodina[1]->text(), QString::number(today().year()));
    QCOMPARE(m_w->pos(), QPoint(0, 0));
    // 12000 x 7900 twips at 96 dpi, or wider where the top band needs it: no control of the band
    // lies beyond the window's edge
    QCOMPARE(m_w->height(), 527);
    QVERIFY(m_w->width() >= 800);
    QVERIFY(m_w->fraIznosi->geometry().right() < m_w->centralWidget()->width());
    QCOMPARE(m_w->mnuUExcel->text(), QStringLiteral("U &Excel"));
    QCOMPARE(m_w->mnuPregledPodataka->text(), QStringLiteral("Pregled podataka"));
}

void TstChartWindow::storedValuesRestored()
{
    auto &s = *m_fx->settings;
    s.save(kApp, kSection, QStringLiteral("VrstaGrafa"), QStringLiteral("3"));
    s.save(kApp, kSection, QStringLiteral("Skala"), QStringLiteral("2"));
    s.save(kApp, kSection, QStringLiteral("PostaviStacking"), QStringLiteral("True"));
    s.save(kApp, kSection, QStringLiteral("PrikažiLegendu"), QStringLiteral("False"));
    s.save(kApp, kSection, QStringLiteral("MainWidth"), QStringLiteral("9000"));
    s.save(kApp, kSection, QStringLiteral("PočetniMjesec"), QStringLiteral("2"));
    m_w = m_fx->open();
    QCOMPARE(m_w->MSChart1->chartType(), 3);
    QCOMPARE(m_w->MSChart1->model().scale, ChartModel::Logarithmic);
    QVERIFY(m_w->mnuPostGraf[2]->isChecked());
    QVERIFY(m_w->chkNaslagati->isChecked());
    QVERIFY(m_w->MSChart1->model().stacked);
    QVERIFY(!m_w->MSChart1->legendVisible());
    QCOMPARE(m_w->width(), 600);
    QCOMPARE(m_w->txtMj[0]->text(), QStringLiteral("2"));
    QCOMPARE(m_w->chartRecordset().fieldName(1), QStringLiteral("Mj02"));
}

void TstChartWindow::unreadableSettingsFallBack()
{
    auto &s = *m_fx->settings;
    s.save(kApp, kSection, QStringLiteral("MainWidth"), QStringLiteral("široko"));
    s.save(kApp, kSection, QStringLiteral("VrstaGrafa"), QStringLiteral("40"));
    s.save(kApp, kSection, QStringLiteral("Skala"), QStringLiteral("x"));
    s.save(kApp, kSection, QStringLiteral("PrikažiNaslov"), QStringLiteral("možda"));
    m_w = m_fx->open();
    QVERIFY(m_w->isVisible());
    QVERIFY(m_w->width() >= 800); // the first run's width
    QVERIFY(m_w->fraIznosi->geometry().right() < m_w->centralWidget()->width());
    QCOMPARE(m_w->cmbType->currentIndex(), 9);
    QCOMPARE(m_w->cmbScale->currentIndex(), 0);
    QVERIFY(m_w->mnuPostGraf[0]->isChecked());
}

void TstChartWindow::costCentreCaptionKeepsItsOwnSettings()
{
    m_fx->settings->save(kApp, kSection, QStringLiteral("VrstaGrafa"), QStringLiteral("1"));
    m_w = m_fx->open(false, QStringLiteral(" prometmt "));
    QCOMPARE(m_w->windowTitle(), kApp + QStringLiteral(" po mjestima troška"));
    QCOMPARE(m_w->cmbType->currentIndex(), 9);
}

void TstChartWindow::closingStoresTheSettings()
{
    m_w = m_fx->open();
    m_w->cmbType->setCurrentIndex(10);
    m_w->txtGodina[0]->setText(QStringLiteral("20x"));
    m_w->showMinimized();
    const QString width = QString::number(float(m_w->normalGeometry().width() * 15.0));
    m_w->close();
    const auto get = [&](const char *k) {
        return m_fx->settings->get(kApp, kSection, QString::fromUtf8(k), QStringLiteral("?"));
    };
    QCOMPARE(get("VrstaGrafa"), QStringLiteral("10"));
    QCOMPARE(get("PočetnaGodina"), QStringLiteral("20x"));
    QCOMPARE(get("PrikažiNaslov"), QStringLiteral("True"));
    QCOMPARE(get("PostaviStacking"), QStringLiteral("False"));
    QCOMPARE(get("MainWidth"), width); // the normal size, also when minimised
    QCOMPARE(m_fx->settings->values.size(), 13);
}

void TstChartWindow::pieAndXyCodes()
{
    m_w = m_fx->open();
    m_w->cmbType->setCurrentIndex(10);
    QCOMPARE(m_w->MSChart1->chartType(), 14);
    m_w->cmbType->setCurrentIndex(11);
    QCOMPARE(m_w->MSChart1->chartType(), 16);
    m_w->cmbType->setCurrentIndex(-1);
    QCOMPARE(m_w->MSChart1->chartType(), 16);
}

void TstChartWindow::percentScaleIsShareOfLargest()
{
    Recordset rs;
    rs.assign({{QStringLiteral("Godina"), QMetaType::QString},
               {QStringLiteral("Mj01"), QMetaType::Double},
               {QStringLiteral("Mj02"), QMetaType::Double}},
              {{QStringLiteral("DUG 2025"), 50.0, 200.0},
               {QStringLiteral("DUG 2026"), -100.0, QVariant()}});
    ChartModel m;
    m.table = ChartTable::fromRecordset(rs);
    m.scale = ChartModel::Percent;
    const auto series = m.series();
    QCOMPARE(*series[0].values[0], 25.0);
    QCOMPARE(*series[0].values[1], 100.0);
    QCOMPARE(*series[1].values[0], -50.0);
    QVERIFY(!series[1].values[1]); // a null stays a gap
    m.seriesInRow = false;
    QCOMPARE(m.seriesCount(), 2);
    QCOMPARE(m.categories(), QStringList({QStringLiteral("DUG 2025"), QStringLiteral("DUG 2026")}));
    QCOMPARE(m.dataValueText(2, 1), QStringLiteral("200"));
}

// A value that is no finite number (a text, or an infinity the database handed over) is a gap:
// drawn, it would stretch every axis without end.
void TstChartWindow::valuesThatAreNoNumberAreGaps()
{
    Recordset rs;
    rs.assign({{QStringLiteral("Godina"), QMetaType::QString},
               {QStringLiteral("Mj01"), QMetaType::Double},
               {QStringLiteral("Mj02"), QMetaType::Double},
               {QStringLiteral("Mj03"), QMetaType::Double}},
              {{QStringLiteral("DUG 2026"), qInf(), qQNaN(), QStringLiteral("abc")},
               {QStringLiteral("POT 2026"), -qInf(), 40.0, 80.0}});
    const ChartTable t = ChartTable::fromRecordset(rs);
    for (int c = 0; c < 3; ++c)
        QVERIFY(!t.values[0][c]);
    QVERIFY(!t.values[1][0]);
    ChartModel m;
    m.table = t;
    m.scale = ChartModel::Percent;
    QCOMPARE(*m.series()[1].values[1], 50.0); // the share of the largest finite value
    ChartControl chart;
    for (int code : {1, 3, 5, 7, 9, 14, 16}) {
        chart.setChartType(code);
        chart.setDataSource(rs);
        QVERIFY(!chart.picture(QSize(200, 100)).isNull());
    }
}

void TstChartWindow::stackingInSyncFromMenuAndBox()
{
    m_w = m_fx->open();
    m_w->mnuPostGraf[2]->trigger();
    QVERIFY(m_w->chkNaslagati->isChecked());
    QVERIFY(m_w->MSChart1->model().stacked);
    m_w->chkNaslagati->click();
    QVERIFY(!m_w->mnuPostGraf[2]->isChecked());
    QVERIFY(!m_w->MSChart1->model().stacked);
}

void TstChartWindow::titleInputCancelKeepsText()
{
    m_w = m_fx->open();
    const QString title = m_w->MSChart1->titleText();
    QVERIFY(!title.isEmpty());
    m_fx->dialogs->inputs.push_back(QString()); // Cancel
    m_w->mnuPostGraf[3]->trigger();
    QCOMPARE(m_w->MSChart1->titleText(), title);
    QCOMPARE(m_fx->dialogs->prompts.last(), QStringLiteral("Unesite novi naslov na grafikonu:"));
    m_fx->dialogs->inputs.push_back(QStringLiteral("")); // OK on an empty answer clears it
    m_w->mnuPostGraf[3]->trigger();
    QCOMPARE(m_w->MSChart1->titleText(), QString());
    m_fx->dialogs->inputs.push_back(QStringLiteral("Dno"));
    m_w->mnuPostGraf[4]->trigger();
    QCOMPARE(m_w->MSChart1->footnoteText(), QStringLiteral("Dno"));
    m_w->mnuPostGraf[0]->trigger(); // title off clears it, on again leaves it empty
    m_w->mnuPostGraf[0]->trigger();
    QCOMPARE(m_w->MSChart1->titleText(), QString());
}

void TstChartWindow::gridFormatsAmounts_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("croatian");
    QTest::newRow("million") << QVariant(1234567.891) << "1.234.567,89";
    QTest::newRow("zero") << QVariant(0) << "0,00";
    // the locale's own minus sign
    QTest::newRow("negative") << QVariant(-1234.5)
                              << QLocale(QLocale::Croatian).negativeSign() + "1.234,50";
    QTest::newRow("null") << QVariant() << "";
}

void TstChartWindow::gridFormatsAmounts()
{
    QFETCH(QVariant, value);
    QFETCH(QString, croatian);
    QCOMPARE(RecordsetModel::formatAmount(value, QLocale(QLocale::Croatian, QLocale::Croatia)),
             croatian);
    QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
    Recordset rs;
    rs.assign({{QStringLiteral("Godina"), QMetaType::QString},
               {QStringLiteral("Mj01"), QMetaType::Double}},
              {{QStringLiteral("1234.5"), value}});
    RecordsetModel model;
    QAbstractItemModelTester tester(&model);
    model.setRecordset(rs);
    model.setAmountFormat(true);
    QCOMPARE(model.data(model.index(0, 0)).toString(),
             QStringLiteral("1234.5")); // the label stays as it is
    QCOMPARE(model.data(model.index(0, 1)).toString(), croatian);
    QCOMPARE(model.data(model.index(0, 1), Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Mj01"));
}

void TstChartWindow::gridViewSwitch()
{
    m_w = m_fx->open();
    m_w->mnuPregledPodataka_Click();
    QCOMPARE(m_w->mnuPregledPodataka->text(), QStringLiteral("Pregled grafikona"));
    QVERIFY(m_w->dgPodaci->isVisible());
    QVERIFY(!m_w->MSChart1->isVisible());
    m_w->redraw(); // a new drawing keeps the grid view
    QVERIFY(m_w->dgPodaci->isVisible());
    QCOMPARE(m_w->dgPodaci->model()->columnCount(), m_w->chartRecordset().fieldCount());
    m_w->mnuPregledPodataka_Click();
    QCOMPARE(m_w->mnuPregledPodataka->text(), QStringLiteral("Pregled podataka"));
    QVERIFY(m_w->MSChart1->isVisible());
}

void TstChartWindow::resizeRuleSkipsNegativeSizes()
{
    m_w = m_fx->open();
    m_w->resize(1200, 800);
    QCoreApplication::processEvents();
    const int chartWidth = m_w->centralWidget()->width() - m_w->pixelsX(200) - m_w->tv->width();
    QVERIFY(qAbs(m_w->MSChart1->width() - chartWidth) <= 1);
    QCOMPARE(m_w->dgPodaci->width(), m_w->MSChart1->width());
    QCOMPARE(m_w->tv->height(), m_w->MSChart1->height());
    const QSize before = m_w->MSChart1->size();
    m_w->resize(120, 40);
    QCoreApplication::processEvents();
    QCOMPARE(m_w->MSChart1->size(), before); // both sizes would be negative: left alone
    QCOMPARE(m_w->tv->width(), m_w->pixelsX(3735));
}

void TstChartWindow::firmNameMessages()
{
    m_w = m_fx->open(false, QStringLiteral("PROMET"),
                     QStringLiteral("Provider=SQLite;Data Source=/nema/knjige.sqlite"));
    QVERIFY(m_w);
    const auto &m = m_fx->dialogs->messages;
    QVERIFY(m.size() >= 2);
    QCOMPARE(m[0].text, QStringLiteral("Nisam postavio veličinu TEXTSIZE"));
    QVERIFY(m[1].text.startsWith(QStringLiteral("Desila se greška u pristupu podacima o firmi. "
                                                "Ponovite!\r\nDatoteka baze podataka ne postoji")));
    QCOMPARE(m[1].title, QStringLiteral("Greška u pristupu podacima"));
    QCOMPARE(m[1].icon, Dialogs::Exclamation);
    QCOMPARE(m_fx->dialogs->texts().count(QStringLiteral("GREŠKA u punjenju trocifrenih konta!")),
             1);
}

void TstChartWindow::colourFunctions()
{
    const qint32 c = 0x00123456; // blue 0x12, green 0x34, red 0x56
    QCOMPARE(ChartWindow::RedFromRGB(c), qint16(0x56));
    QCOMPARE(ChartWindow::GreenFromRGB(c), qint16(0x34));
    QCOMPARE(ChartWindow::BlueFromRGB(c), qint16(0x12));
}

void TstChartWindow::tableNameMustBeAPlainIdentifier_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("taken");
    QTest::newRow("general") << "PROMET" << true;
    QTest::newRow("cost centres, blanks around") << " prometmt " << true;
    QTest::newRow("statement after it") << "PROMET; DROP TABLE KONTO; --" << false;
    QTest::newRow("quote") << "PROMET'" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("schema-qualified") << "dbo.PROMET" << false;
    QTest::newRow("letter outside ASCII") << "PROMETČ" << false;
}

// The table name goes into every statement as it stands: a name that is no plain identifier is
// refused by the entry method, before any window opens.
void TstChartWindow::tableNameMustBeAPlainIdentifier()
{
    QFETCH(QString, table);
    QFETCH(bool, taken);
    cFinGrafPromet host(m_fx->services());
    QString level, op;
    const bool opened = host.PrikažiGrafPromet(sqliteConn(demoBook()), level, 1, 2026, 0,
                                               QStringLiteral("FIN"), table, op);
    QCOMPARE(opened, taken);
    m_w = host.lastWindow();
    QCOMPARE(bool(m_w), taken);
    if (!taken)
        QVERIFY(host.lastError().startsWith(QStringLiteral("Neispravno ime tablice prometa")));
}

// A new book year holds its opening balances and January alone: every window opening on it in
// January draws its first chart from what is there, without a message.
void TstChartWindow::januaryBookDrawsFirstChartsWithoutMessages()
{
    QTemporaryDir dir;
    const QString book = demoBookCopy(dir);
    QStringList laterMonths;
    for (int m = 2; m <= 12; ++m)
        laterMonths << QStringLiteral("DUG%1=0, POT%1=0").arg(m, 2, 10, QLatin1Char('0'));
    for (const char *table : {"PROMET", "PROMETMT"})
        QCOMPARE(execute(book, QStringLiteral("UPDATE %1 SET %2 WHERE GODINAKNJ=%3")
                                   .arg(QLatin1String(table), laterMonths.join(u','))
                                   .arg(kLastYear)),
                 QString());
    Clock::fixToday(QDate(kLastYear, 1, 15));
    const auto restoreClock = qScopeGuard([] { Clock::fixToday(today()); });
    auto row = [&](const QString &label) {
        Recordset &rs = m_w->chartRecordset();
        rs.setFilter(QString());
        return rs.setFilter(QStringLiteral("Godina='%1'").arg(label)) && rs.RecordCount() == 1;
    };
    auto month = [&](int m) {
        return m_w->chartRecordset()
            .value(QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')))
            .toDouble();
    };
    const QString year = QString::number(kLastYear);

    // turnover: the last account, every year of the book, this year's January and nothing after
    m_w = m_fx->openMethod(1, sqliteConn(book));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QCOMPARE(m_w->chartRecordset().RecordCount(), kLastYear - kFirstYear + 1);
    QVERIFY(row(QStringLiteral("DUG ") + year));
    QVERIFY(month(1) > 0);
    QCOMPARE(month(2), 0.0);
    m_w->close();

    // cumulative balance: January's balance holds through the year
    m_w = m_fx->openMethod(2, sqliteConn(book));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QVERIFY(row(QStringLiteral("SALDO (D-P) ") + year));
    QVERIFY(month(1) != month(0));
    QCOMPARE(month(12), month(1));
    m_w->close();

    // income and expense: the groups of the year, drawn when one is clicked
    m_w = m_fx->openMethod(3, sqliteConn(book));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QVERIFY(m_w->tv->topLevelItemCount() > 0);
    m_w->close();

    // plan: the whole year planned, January realised (the plan window draws when a node of its
    // tree is clicked: here its income side)
    m_w = m_fx->openMethod(4, sqliteConn(book));
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    QVERIFY(m_w->clickPath({QStringLiteral("P")}));
    QVERIFY(row(QStringLiteral("REAL_") + year));
    QVERIFY(month(1) > 0);
    QCOMPARE(month(2), 0.0);
    QVERIFY(row(QStringLiteral("PLAN_") + year));
    QVERIFY(month(12) > 0);
}

QTEST_MAIN(TstChartWindow)
#include "tst_chartwindow.moc"
