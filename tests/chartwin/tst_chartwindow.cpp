// The chart window's frame on the turnover window: its first run, its settings from one run to the
// next, the chart's menus and boxes, the grid, the firm's messages and table names, and what
// every kind draws in a new book year.
#include "output/recordsetmodel.h"
#include "windowsupport.h"

using namespace TestSupport;

namespace {
const QString kApp = QStringLiteral("Pregled prometa na kontima po mjesecima");
}

class TstChartWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_fx = std::make_unique<WindowFixture>(); }
    void cleanup() { m_fx.reset(); }
    void firstRunItsMenusAndSettingsToTheNext();
    void percentOfTheLargestGapsAndGridAmounts();
    void firmNameMessagesAndTableNames();
    void januaryBookDrawsFirstChartsWithoutMessages();

private:
    std::unique_ptr<WindowFixture> m_fx;
    QPointer<ChartWindow> m_w;
};

// The first run's window and the chart's menus and boxes; what a run leaves is what the next opens
// with, and what no run could have left is the first run's; the cost-centre window keeps its own;
// the resize rule skips negative sizes.
void TstChartWindow::firstRunItsMenusAndSettingsToTheNext()
{
    m_w = m_fx->open();
    QCOMPARE(m_w->windowTitle(), kApp);
    QCOMPARE(m_w->cmbType->currentText() + u'/' + m_w->cmbScale->currentText(),
             QStringLiteral("2D Kombinacija/Linearna os"));
    QCOMPARE(m_w->txtMj[0]->text() + u'-' + m_w->txtMj[1]->text() + u' ' +
                 m_w->txtGodina[0]->text() + u'-' + m_w->txtGodina[1]->text(),
             QStringLiteral("0-12 1998-%1").arg(today().year()));
    QCOMPARE(m_w->pos(), QPoint(0, 0));
    // 12000 x 7900 twips at 96 dpi, or wider where the top band needs it: no control of the band
    // lies beyond the window's edge
    QCOMPARE(m_w->height(), 527);
    QVERIFY(m_w->width() >= 800);
    QVERIFY(m_w->fraIznosi->geometry().right() < m_w->centralWidget()->width());
    QCOMPARE(m_w->mnuUExcel->text(), QStringLiteral("U &Excel"));
    // the pie and XY entries, and no entry at all
    for (const auto &[index, code] : {std::pair{10, 14}, std::pair{11, 16}, std::pair{-1, 16}}) {
        m_w->cmbType->setCurrentIndex(index);
        QCOMPARE(m_w->MSChart1->chartType(), code);
    }
    // stacking in step from the menu and the box
    m_w->mnuPostGraf[2]->trigger();
    QVERIFY(m_w->chkNaslagati->isChecked() && m_w->MSChart1->model().stacked);
    m_w->chkNaslagati->click();
    QVERIFY(!m_w->mnuPostGraf[2]->isChecked() && !m_w->MSChart1->model().stacked);

    // the grid instead of the chart, kept by a new drawing
    m_w->mnuPregledPodataka_Click();
    QCOMPARE(m_w->mnuPregledPodataka->text(), QStringLiteral("Pregled grafikona"));
    QVERIFY(m_w->dgPodaci->isVisible() && !m_w->MSChart1->isVisible());
    m_w->redraw();
    QVERIFY(m_w->dgPodaci->isVisible());
    QCOMPARE(m_w->dgPodaci->model()->columnCount(), m_w->chartRecordset().fieldCount());
    m_w->mnuPregledPodataka_Click();
    QCOMPARE(m_w->mnuPregledPodataka->text(), QStringLiteral("Pregled podataka"));
    QVERIFY(m_w->MSChart1->isVisible());

    m_w->cmbType->setCurrentIndex(10);
    m_w->cmbScale->setCurrentIndex(2);
    m_w->chkNaslagati->click();
    m_w->txtGodina[0]->setText(QStringLiteral("20x"));
    m_w->showMinimized();
    const QString width = QString::number(float(m_w->normalGeometry().width() * 15.0));
    m_w->close();
    QCOMPARE(m_fx->settings->values.size(), 13);
    QStringList stored;
    for (const char *key : {"VrstaGrafa", "Skala", "PočetnaGodina", "PrikažiNaslov",
                            "PostaviStacking", "KonačniMjesec", "MainWidth"})
        stored << m_fx->settings->get(kApp, QStringLiteral("Settings"), QString::fromUtf8(key),
                                      QStringLiteral("?"));
    // the normal width, also when minimised
    QCOMPARE(stored, QStringList({"10", "2", "20x", "True", "True", "12", width}));

    // (values no run could have left, one by one: the settings' test)
    m_fx->store(kApp, {"VrstaGrafa", "3", "PrikažiLegendu", "False", "MainWidth", "9000",
                       "PočetniMjesec", "2", "KonačniMjesec", "13"});
    m_w = m_fx->open();
    QCOMPARE(m_w->MSChart1->chartType(), 3);
    QVERIFY(m_w->mnuPostGraf[2]->isChecked() && m_w->chkNaslagati->isChecked());
    QVERIFY(m_w->MSChart1->model().stacked && !m_w->MSChart1->legendVisible());
    QCOMPARE(m_w->width(), 600);
    QCOMPARE(m_w->txtMj[1]->text(), QStringLiteral("12"));
    QCOMPARE(m_w->chartRecordset().fieldName(1), QStringLiteral("Mj02"));
    QCOMPARE(m_fx->said(), QStringList());

    // the cost-centre window's own: wider than every screen
    const QString costCentres = kApp + QStringLiteral(" po mjestima troška");
    m_fx->store(costCentres, {"MainWidth", "1e30"});
    m_w = m_fx->open(false, QStringLiteral(" prometmt "));
    QCOMPARE(m_w->windowTitle(), costCentres);
    QCOMPARE(m_w->cmbType->currentIndex(), 9);
    QVERIFY(m_w->width() >= 800 && m_w->width() < 2000);
    // the resize rule
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

// The percent scale is each value's share of the largest finite one. A value that is no finite
// number (a text, or an infinity the database handed over) is a gap, as a null is: drawn, it
// would stretch every axis without end. The grid's amounts.
void TstChartWindow::percentOfTheLargestGapsAndGridAmounts()
{
    Recordset rs;
    rs.assign({{QStringLiteral("Godina"), QMetaType::QString},
               {QStringLiteral("Mj01"), QMetaType::Double},
               {QStringLiteral("Mj02"), QMetaType::Double},
               {QStringLiteral("Mj03"), QMetaType::Double}},
              {{QStringLiteral("DUG 2025"), 50.0, 200.0, QVariant()},
               {QStringLiteral("DUG 2026"), -100.0, qInf(), QStringLiteral("abc")},
               {QStringLiteral("POT 2026"), -qInf(), qQNaN(), 80.0}});
    ChartModel m;
    m.table = ChartTable::fromRecordset(rs);
    m.scale = ChartModel::Percent;
    const auto series = m.series();
    QCOMPARE(*series[0].values[0], 25.0);
    QCOMPARE(*series[0].values[1], 100.0);
    QCOMPARE(*series[1].values[0], -50.0);
    QCOMPARE(*series[2].values[2], 40.0);
    for (const auto &[s, v] :
         {std::pair{0, 2}, std::pair{1, 1}, std::pair{1, 2}, std::pair{2, 0}, std::pair{2, 1}})
        QVERIFY2(!series[s].values[v], qPrintable(QStringLiteral("%1, %2").arg(s).arg(v)));
    m.seriesInRow = false;
    QCOMPARE(m.seriesCount(), 3);
    QCOMPARE(m.categories(), QStringList({"DUG 2025", "DUG 2026", "POT 2026"}));
    QCOMPARE(m.dataValueText(2, 1), QStringLiteral("200"));
    ChartControl chart;
    for (int code : {1, 3, 5, 7, 9, 14, 16}) {
        chart.setChartType(code);
        chart.setDataSource(rs);
        QVERIFY(!chart.picture(QSize(200, 100)).isNull());
    }

    // amounts in the grid by the locale, right-aligned, the labels as they are
    const QLocale croatian(QLocale::Croatian, QLocale::Croatia);
    QLocale::setDefault(croatian);
    const auto cLocale = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
    // a million, zero, the locale's own minus sign, nothing
    const std::pair<QVariant, QString> amounts[] = {
        {1234567.891, QStringLiteral("1.234.567,89")},
        {0, QStringLiteral("0,00")},
        {-1234.5, croatian.negativeSign() + QStringLiteral("1.234,50")},
        {QVariant(), QString()}};
    QVector<QVector<QVariant>> rows;
    for (const auto &[value, text] : amounts)
        rows.append({QStringLiteral("1234.5"), value});
    Recordset grid;
    grid.assign({{QStringLiteral("Godina"), QMetaType::QString},
                 {QStringLiteral("Mj01"), QMetaType::Double}},
                rows);
    RecordsetModel model;
    QAbstractItemModelTester tester(&model);
    model.setRecordset(grid);
    model.setAmountFormat(true);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Mj01"));
    for (int r = 0; r < 4; ++r) {
        QCOMPARE(RecordsetModel::formatAmount(amounts[r].first, croatian), amounts[r].second);
        QCOMPARE(model.data(model.index(r, 0)).toString(), QStringLiteral("1234.5"));
        QCOMPARE(model.data(model.index(r, 1)).toString(), amounts[r].second);
        QCOMPARE(model.data(model.index(r, 1), Qt::TextAlignmentRole).toInt(),
                 int(Qt::AlignRight | Qt::AlignVCenter));
    }
}

void TstChartWindow::firmNameMessagesAndTableNames()
{
    m_w = m_fx->openMethod(1, QStringLiteral("Provider=SQLite;Data Source=/nema/knjige.sqlite"));
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

    // the table name goes into every statement as it stands: a name that is no plain identifier
    // is refused by the entry method, before any window opens
    const QStringList taken = {QStringLiteral("PROMET"), QStringLiteral(" prometmt ")};
    for (const QString &table : taken + QStringList{"PROMET; DROP TABLE KONTO; --", "PROMET'", "",
                                                    "dbo.PROMET", "PROMETČ"}) {
        cFinGrafPromet host(m_fx->services());
        QString level, op;
        QVERIFY2(host.PrikažiGrafPromet(sqliteConn(demoBook()), level, 1, 2026, 0,
                                        QStringLiteral("FIN"), table, op) == taken.contains(table),
                 qPrintable(table));
        QCOMPARE(bool(host.lastWindow()), taken.contains(table));
        if (host.lastWindow())
            host.lastWindow()->close();
        else
            QVERIFY(host.lastError().startsWith(QStringLiteral("Neispravno ime tablice prometa")));
    }
}

// A new book year holds its opening balances and January alone: every window opening on it in
// January draws its first chart from what is there, without a message.
void TstChartWindow::januaryBookDrawsFirstChartsWithoutMessages()
{
    QTemporaryDir dir;
    m_fx->book = demoBookCopy(dir);
    QStringList laterMonths;
    for (int m = 2; m <= 12; ++m)
        laterMonths << QStringLiteral("DUG%1=0, POT%1=0").arg(mm(m));
    for (const char *table : {"PROMET", "PROMETMT"})
        QCOMPARE(execute(m_fx->book, QStringLiteral("UPDATE %1 SET %2 WHERE GODINAKNJ=%3")
                                         .arg(QLatin1String(table), laterMonths.join(u','))
                                         .arg(kLastYear)),
                 QString());
    Clock::fixToday(QDate(kLastYear, 1, 15));
    const auto restoreClock = qScopeGuard([] { Clock::fixToday(today()); });
    const QString year = QStringLiteral(" %1").arg(kLastYear);

    // turnover: the last account, every year of the book, this year's January and nothing after
    m_w = m_fx->openMethod(1);
    QCOMPARE(m_w->chartRecordset().RecordCount(), kLastYear - kFirstYear + 1);
    QVERIFY(drawn(m_w, "DUG" + year, 1) > 0);
    QCOMPARE(drawn(m_w, "DUG" + year, 2), 0.0);
    m_w->close();
    // cumulative balance: January's balance holds through the year
    m_w = m_fx->openMethod(2);
    QVERIFY(qAbs(drawn(m_w, "SALDO (D-P)" + year, 1) - drawn(m_w, "SALDO (D-P)" + year, 0)) > 0);
    QCOMPARE(drawn(m_w, "SALDO (D-P)" + year, 12), drawn(m_w, "SALDO (D-P)" + year, 1));
    m_w->close();
    // income and expense: the groups of the year, drawn when one is clicked
    m_w = m_fx->openMethod(3);
    QVERIFY(m_w->tv->topLevelItemCount() > 0);
    m_w->close();
    // plan: the whole year planned, January realised (drawn when a side is clicked)
    m_w = m_fx->openMethod(4);
    CLICK_PATH(m_w, "P");
    QVERIFY(drawn(m_w, "REAL_" + year.trimmed(), 1) > 0);
    QCOMPARE(drawn(m_w, "REAL_" + year.trimmed(), 2), 0.0);
    QVERIFY(drawn(m_w, "PLAN_" + year.trimmed(), 12) > 0);
    QCOMPARE(m_fx->said(), QStringList());
}

QTEST_MAIN(TstChartWindow)
#include "tst_chartwindow.moc"
