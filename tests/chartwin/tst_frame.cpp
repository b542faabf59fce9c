// The frame's contract on its own, with a small window kind of the test's making: no amount frame,
// one year box, eleven settings, a menu of its own, no tree fill at load, a first drawing before
// the window shows, and the drawing step's failures.
#include "chartwin/chartwindow.h"
#include "platform/chart/chartcontrol.h"
#include "testsupport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QTest>

using namespace TestSupport;

namespace {

const QString kCaption = QStringLiteral("Probni prozor");

WindowDesign probeDesign()
{
    WindowDesign d;
    d.caption = kCaption;
    d.twoYearBoxes = false;
    d.yearCaption = QStringLiteral("Za godinu:");
    d.firstMonthDefault = QStringLiteral("1");
    d.fillsTreeOnLoad = false;
    d.refillCaption = QStringLiteral("Napuni listu");
    d.keepsYears = false;
    return d;
}

class ProbeWindow : public ChartWindow
{
public:
    ProbeWindow(const Services &services, std::shared_ptr<HostContext> host)
        : ChartWindow(services, std::move(host), probeDesign())
    {
        mnuDodatno = insertMenuAction(mnuNapuniKonta, QStringLiteral("Dodatno"));
    }

    QAction *mnuDodatno;
    int fills = 0;
    int statementsBuilt = 0;
    bool visibleAtFirstDrawing = true;
    QString statement = QStringLiteral("SELECT 'PLAN ' || %1 as Godina, %2");
    QString addition;
    Shaping shaping;

protected:
    void fillTree() override { ++fills; }
    void nodeClick(QTreeWidgetItem *) override { drawChart(); }
    void drawChart() override
    {
        draw(
            [this](qint16 first, qint16 last) {
                ++statementsBuilt;
                QStringList columns;
                for (int m = first; m <= last; ++m)
                    columns << QStringLiteral("%1 as Mj%2").arg(m).arg(m, 2, 10, QLatin1Char('0'));
                return statement.arg(lastYear(), columns.join(u','));
            },
            QStringLiteral("Probni naslov"), {QStringLiteral("Neuspjeh"), Dialogs::NoIcon},
            shaping);
    }
    QString captionAddition() const override { return addition; }
    void beforeShow() override
    {
        txtGodina[0]->setText(QString::number(host().godina));
        visibleAtFirstDrawing = isVisible();
        redraw();
    }
};

} // namespace

class TstFrame : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openedWithOneYearBoxAndDrawnBeforeShowing();
    void elevenSettingsKeptUnderTheCaption();
    void failedDrawingsKeepTheChart();
    void shapedRowsForTheGridFilteredForTheChart();

private:
    void open(const QString &addition = QString(), const QString &table = QString());
    std::shared_ptr<ScriptedDialogs> m_dialogs;
    std::shared_ptr<MemorySettingsStore> m_settings;
    QPointer<ProbeWindow> m_w;
};

void TstFrame::init()
{
    m_dialogs = std::make_shared<ScriptedDialogs>();
    m_settings = std::make_shared<MemorySettingsStore>();
}

void TstFrame::cleanup()
{
    if (m_w)
        m_w->close();
}

void TstFrame::open(const QString &addition, const QString &table)
{
    auto host = std::make_shared<HostContext>();
    host->connectionString = sqliteConn(demoBook());
    host->godina = 2025;
    m_w = new ProbeWindow(Services{m_dialogs, m_settings, nullptr, nullptr}, host);
    m_w->addition = addition;
    m_w->ImeBazePrometa = table;
    QString kind;
    m_w->Prikaži(0, kind);
}

void TstFrame::openedWithOneYearBoxAndDrawnBeforeShowing()
{
    open();
    QVERIFY(!m_w->fraIznosi);
    QVERIFY(m_w->optVrijednost.isEmpty());
    QVERIFY(!m_w->txtGodina[1] && !m_w->Label4 && !m_w->UpDown2);
    QCOMPARE(m_w->txtGodina[0]->text(), QStringLiteral("2025")); // the host's year, set before show
    QCOMPARE(m_w->txtMj[0]->text(), QStringLiteral("1"));
    QCOMPARE(m_w->Label3->text(), QStringLiteral("Za godinu:"));
    // the kind's own menu stands before the frame's
    const QList<QAction *> bar = m_w->menuBar()->actions();
    QCOMPARE(bar.value(0), m_w->mnuDodatno);
    QCOMPARE(bar.value(1), m_w->mnuNapuniKonta);
    QCOMPARE(bar.last(), m_w->mnuIzlaz);
    QVERIFY(!m_w->visibleAtFirstDrawing);
    QVERIFY(m_w->isVisible());
    QVERIFY(m_dialogs->messages.isEmpty());
    QCOMPARE(m_w->chartRecordset().fieldCount(), 13); // the label and months 1..12
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Probni naslov"));
    QVERIFY(
        m_w->lastSql().startsWith(QStringLiteral("SELECT 'PLAN ' || 2025 as Godina, 1 as Mj01")));
    QCOMPARE(m_w->fills, 0); // no tree fill at load
    QCOMPARE(m_w->mnuNapuniKonta->text(), QStringLiteral("Napuni listu"));
    m_w->mnuNapuniKonta->trigger();
    QCOMPARE(m_w->fills, 1);
}

void TstFrame::elevenSettingsKeptUnderTheCaption()
{
    // the addition follows the cost-centre words and stands in the caption before the settings
    // are read under it
    const QString caption = kCaption + QStringLiteral(" po mjestima troška Broj 7");
    const QString section = QStringLiteral("Settings");
    m_settings->save(caption, section, QStringLiteral("PočetnaGodina"), QStringLiteral("1999"));
    m_settings->save(caption, section, QStringLiteral("PočetniMjesec"), QStringLiteral("3"));
    open(QStringLiteral(" Broj 7"), QStringLiteral("PROMETMT"));
    QCOMPARE(m_w->windowTitle(), caption);
    QCOMPARE(m_w->txtGodina[0]->text(), QStringLiteral("2025")); // years are not restored
    QCOMPARE(m_w->txtMj[0]->text(), QStringLiteral("3"));
    m_settings->values.clear();
    m_w->close();
    QCOMPARE(m_settings->values.size(), 11);
    const QString prefix = caption + u'/' + section + u'/';
    QVERIFY(!m_settings->values.contains(prefix + QStringLiteral("PočetnaGodina")));
    QVERIFY(!m_settings->values.contains(prefix + QStringLiteral("KonačnaGodina")));
    QCOMPARE(m_settings->values.value(prefix + QStringLiteral("PočetniMjesec")),
             QStringLiteral("3"));
}

void TstFrame::failedDrawingsKeepTheChart()
{
    open();
    const int built = m_w->statementsBuilt;
    const QString shownSql = m_w->lastSql();
    // a month outside the year never reaches a statement
    for (const char *month : {"13", "-1", "32767", "12.6"}) {
        m_dialogs->messages.clear();
        m_w->txtMj[1]->setText(QString::fromLatin1(month));
        QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("Neuspjeh")});
    }
    QCOMPARE(m_w->statementsBuilt, built);
    QCOMPARE(m_w->lastSql(), shownSql);
    m_dialogs->messages.clear();
    m_w->txtMj[1]->setText(QStringLiteral("12.4")); // the nearest whole month
    QVERIFY(m_dialogs->messages.isEmpty());
    // a statement the book refuses
    m_w->statement = QStringLiteral("SELECT %1, %2 FROM nema_tablice");
    m_w->redraw();
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("Neuspjeh")});
    QCOMPARE(m_dialogs->messages.first().icon, Dialogs::NoIcon);
    QCOMPARE(m_w->chartRecordset().fieldCount(), 13);
    QCOMPARE(m_w->MSChart1->titleText(), QStringLiteral("Probni naslov"));
}

void TstFrame::shapedRowsForTheGridFilteredForTheChart()
{
    open();
    m_w->statement =
        QStringLiteral("SELECT 'PLAN ' || %1 as Godina, %2 UNION ALL SELECT 'REAL', %2");
    m_w->shaping.rows = [](Recordset &rows) {
        // the rows the grid shows: a third one derived from the two the statement gave
        QVector<QVector<QVariant>> out;
        for (int r = 0; r < rows.RecordCount(); ++r)
            out.append({rows.valueAt(r, 0), rows.valueAt(r, 1)});
        out.append({QStringLiteral("ZBROJ"), rows.valueAt(0, 1).toDouble() * 2});
        rows.assign({rows.fields().value(0), rows.fields().value(1)}, out);
    };
    m_w->shaping.chartFilter = QStringLiteral("Godina = 'ZBROJ'");
    m_w->redraw();
    QCOMPARE(m_w->chartRecordset().RecordCount(), 3);
    QCOMPARE(m_w->MSChart1->model().table.rowLabels, QStringList{QStringLiteral("ZBROJ")});
    QCOMPARE(m_w->MSChart1->model().table.values.value(0).value(0), std::optional<double>(2.0));
    QCOMPARE(m_w->chartRecordset().filter(), QString()); // the grid and the export see all three
}

QTEST_MAIN(TstFrame)
#include "tst_frame.moc"
