// The frame's contract on its own, with a small window kind of the test's making: no amount frame,
// one year box, eleven settings, a menu of its own, no tree fill at load, a first drawing before
// the window shows, and the drawing step's failures.
#include "windowsupport.h"

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
            QStringLiteral("Probni naslov"), {QStringLiteral("Neuspjeh"), Dialogs::NoIcon});
    }
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
    void openedAndFailedDrawings();
};

// Opened with one year box and drawn before showing; failed drawings keep the chart. A caption's
// addition after the cost centres' words, the settings read under it, years never restored, and
// rows shaped for the grid with the chart's filtered from them are checked on the plan window.
void TstFrame::openedAndFailedDrawings()
{
    WindowFixture fx; // which closes the window at the end
    auto host = std::make_shared<HostContext>();
    host->connectionString = sqliteConn(fx.book);
    host->godina = 2025;
    QPointer<ProbeWindow> w = new ProbeWindow(fx.services(), host);
    fx.window = w.data();
    QString kind;
    w->Prikaži(0, kind);
    QCOMPARE(w->windowTitle(), kCaption);
    QVERIFY(!w->fraIznosi && w->optVrijednost.isEmpty());
    QVERIFY(!w->txtGodina[1] && !w->Label4 && !w->UpDown2);
    QCOMPARE(w->txtGodina[0]->text(), QStringLiteral("2025")); // the host's year, set before show
    QCOMPARE(w->txtMj[0]->text(), QStringLiteral("1"));
    QCOMPARE(w->Label3->text(), QStringLiteral("Za godinu:"));
    // the kind's own menu stands before the frame's
    const QList<QAction *> bar = w->menuBar()->actions();
    QCOMPARE(bar.value(0), w->mnuDodatno);
    QCOMPARE(bar.value(1), w->mnuNapuniKonta);
    QCOMPARE(bar.last(), w->mnuIzlaz);
    QVERIFY(!w->visibleAtFirstDrawing && w->isVisible());
    QCOMPARE(fx.said(), QStringList());
    QCOMPARE(w->chartRecordset().fieldCount(), 13); // the label and months 1..12
    QCOMPARE(w->MSChart1->titleText(), QStringLiteral("Probni naslov"));
    QVERIFY(w->lastSql().startsWith(QStringLiteral("SELECT 'PLAN ' || 2025 as Godina, 1 as Mj01")));
    QCOMPARE(w->fills, 0); // no tree fill at load
    QCOMPARE(w->mnuNapuniKonta->text(), QStringLiteral("Napuni listu"));
    w->mnuNapuniKonta->trigger();
    QCOMPARE(w->fills, 1);

    const int built = w->statementsBuilt;
    const QString shownSql = w->lastSql();
    const QStringList failed{QStringLiteral("Neuspjeh")};
    // a month outside the year never reaches a statement
    for (const char *month : {"13", "-1", "32767", "12.6"}) {
        w->txtMj[1]->setText(QString::fromLatin1(month));
        QCOMPARE(fx.said(), failed);
    }
    QCOMPARE(w->statementsBuilt, built);
    QCOMPARE(w->lastSql(), shownSql);
    w->txtMj[1]->setText(QStringLiteral("12.4")); // the nearest whole month
    QCOMPARE(fx.said(), QStringList());
    // a statement the book refuses
    w->statement = QStringLiteral("SELECT %1, %2 FROM nema_tablice");
    w->redraw();
    QCOMPARE(fx.dialogs->messages.value(0).icon, Dialogs::NoIcon);
    QCOMPARE(fx.said(), failed);
    QCOMPARE(w->chartRecordset().fieldCount(), 13);
    QCOMPARE(w->MSChart1->titleText(), QStringLiteral("Probni naslov"));

    // eleven settings: no years
    w->close();
    QCOMPARE(fx.settings->values.size(), 11);
    QVERIFY(!fx.settings->values.contains(kCaption + QStringLiteral("/Settings/PočetnaGodina")));
}

QTEST_MAIN(TstFrame)
#include "tst_frame.moc"
