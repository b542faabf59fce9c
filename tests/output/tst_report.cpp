#include "chartwin/hostcontext.h"
#include "output/frmispiscr.h"
#include "output/recordsetmodel.h"
#include "output/report.h"
#include "output/reportviewer.h"
#include "platform/chart/chartcontrol.h"
#include "platform/files/fulldisk.h"
#include "platform/widgets/keyedtree.h"
#include "windowsupport.h"

#include <QLocale>
#include <QRadioButton>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace TestSupport;

namespace {

void writeOld(const QString &path)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write("old");
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A row of twelve months: a label, then the months, null where a month has no value.
using MonthRow = QVariantList;

Recordset monthRows(const QList<MonthRow> &rows)
{
    QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString}};
    for (int m = 1; m <= 12; ++m)
        fields.append({QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')), QMetaType::Double});
    QVector<QVector<QVariant>> out;
    for (const MonthRow &row : rows) {
        QVector<QVariant> line(row.cbegin(), row.cend());
        line.resize(13);
        out << line;
    }
    Recordset rs;
    rs.assign(fields, out);
    return rs;
}

MonthRow row(const QString &label, const std::function<QVariant(int month)> &month)
{
    MonthRow r{label};
    for (int m = 1; m <= 12; ++m)
        r << month(m);
    return r;
}

QVariant none()
{
    return QVariant(QMetaType(QMetaType::Double));
}

// The report's column of year figures, its header first, then the label of each line and its
// year figure; the total line's label is "Ukupno".
QStringList yearColumn(const ReportTable &t)
{
    QStringList out{t.columns.last().header};
    for (int r = 0; r < t.rowCount; ++r) {
        const ReportTable::Row line = t.row(r);
        out << line.cells.first() + u'=' + line.cells.last();
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(MonthlyTotals)

class TstReport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void chartPrintsOnOnePage();
    void answeringNoPrintsNothing();
    void missingPrinterShowsTheError();
    void reportPdfHoldsTitleFirmAndTotals();
    void yearFiguresFollowTheTotals_data();
    void yearFiguresFollowTheTotals();
    void windowsSayHowTheirRowsTotal_data();
    void windowsSayHowTheirRowsTotal();
    void previewButtonsExportTheReportRows();
    void previewWithoutRowsExportsNothing();
    void printerSetupGoesToTheReportsPrinter();
    void viewerSwitchesSearchAndSelection();
    void previewResizeRule();
    void chartPrintOnAFullDiskKeepsTheOldFile();
    void reportPdfOnAFullDiskKeepsTheOldFile();
    void stoppedPrintingKeepsTheOldFile();
    void reportPrintOnAFullDiskSaysWhy();
    void printIntoAFolderThatCannotBeWrittenNamesFileAndCause();

private:
    frmIspisCR *openReport();
    std::unique_ptr<WindowFixture> m_fx;
    QPointer<ChartWindow> m_w;
    QPointer<frmIspisCR> m_preview;
};

void TstReport::init()
{
    m_fx = std::make_unique<WindowFixture>();
    m_w = m_fx->open();
    CLICK(m_w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    QVERIFY(m_w->chartRecordset().RecordCount() > 0);
    m_fx->dialogs->messages.clear();
}

void TstReport::cleanup()
{
    if (m_preview)
        m_preview->close();
    if (m_w)
        m_w->close();
    m_fx.reset();
}

frmIspisCR *TstReport::openReport()
{
    m_preview =
        frmIspisCR::prikaži(m_fx->services(), m_w, std::make_unique<CRFinPoMjes>(),
                            QStringLiteral("Izvještaj prometa"), QStringLiteral("Promet konta 120"),
                            cFinGrafPromet::hostContext()->nazivFirme, m_w->chartRecordset());
    return m_preview;
}

void TstReport::chartPrintsOnOnePage()
{
    QGuiApplication::clipboard()->setText(QStringLiteral("korisnikov tekst"));
    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    m_w->mnuIspis_Click();
    QCOMPARE(m_fx->dialogs->messages.size(), 1);
    const auto &ask = m_fx->dialogs->messages.first();
    QCOMPARE(ask.text, QStringLiteral("Želite li ispisati grafikon?"));
    QCOMPARE(ask.title, QStringLiteral("Ispis grafikona"));
    QCOMPARE(ask.icon, Dialogs::Question);
    QCOMPARE(ask.buttons, Dialogs::YesNo);
    // The clipboard now holds the chart's picture instead of what the user had there.
    QVERIFY(!QGuiApplication::clipboard()->image().isNull());

    const QString pdf = m_fx->printers->path();
    QVERIFY(QFile::exists(pdf));
    QVERIFY(
        output(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));
    const QStringList images = output(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                   .split(u'\n', Qt::SkipEmptyParts);
    // the two header lines only: the chart is drawn anew on the page, not pasted as a picture
    QCOMPARE(images.size(), 2);
}

void TstReport::answeringNoPrintsNothing()
{
    m_fx->dialogs->answers.push_back(Dialogs::AnswerNo);
    m_w->mnuIspis_Click();
    QVERIFY(!QFile::exists(m_fx->printers->path()));
}

void TstReport::missingPrinterShowsTheError()
{
    WindowFixture fx;
    fx.printers = std::make_shared<PdfPrinters>(QString());
    fx.dialogs->answers.push_back(Dialogs::AnswerYes);
    QPointer<ChartWindow> w = fx.open();
    QVERIFY(w);
    fx.dialogs->messages.clear();
    w->mnuIspis_Click();
    QCOMPARE(fx.dialogs->texts().last(),
             QStringLiteral("Desila se greška: Nije zadana datoteka za ispis."));
    w->close();
}

void TstReport::reportPdfHoldsTitleFirmAndTotals()
{
    frmIspisCR *preview = openReport();
    QCOMPARE(preview->windowTitle(), QStringLiteral("Izvještaj prometa"));
    QVERIFY(preview->isVisible());
    QCOMPARE(preview->Report->documentName(), QStringLiteral("Promet konta"));
    QCOMPARE(preview->Report->text(QStringLiteral("Naslov")), QStringLiteral("Promet konta 120"));
    QCOMPARE(preview->Report->text(QStringLiteral("NazivFirme")), QStringLiteral("Tarnel d.o.o."));
    QCOMPARE(preview->Report->text(QStringLiteral("Filter")), QString());
    QVERIFY(preview->CRVRadnici->pageCount() >= 1);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("izvjestaj.pdf"));
    QString error;
    QVERIFY2(preview->CRVRadnici->ExportPdf(pdf, &error), qPrintable(error));
    const QString text =
        output(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("Promet konta 120")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Tarnel d.o.o.")));
    // The total line: each month summed over the rows, in the grid's format.
    Recordset rs = m_w->chartRecordset();
    double january = 0, all = 0;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        january += rs.value(QStringLiteral("Mj01")).toDouble();
        for (int m = 1; m <= 12; ++m)
            all += rs.value(QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0'))).toDouble();
    }
    // Every column reaches the paper, whole: the months and the total, in bands when they do not
    // fit across; the total lines of the bands hold the sums.
    for (int m = 1; m <= 12; ++m)
        QVERIFY2(text.contains(QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0'))),
                 qPrintable(text));
    QString totals;
    for (const QString &line : text.split(u'\n'))
        if (line.trimmed().startsWith(QStringLiteral("Ukupno ")))
            totals += line;
    QVERIFY2(totals.contains(RecordsetModel::formatAmount(january)), qPrintable(text));
    QVERIFY2(totals.contains(RecordsetModel::formatAmount(all)), qPrintable(text));
}

void TstReport::yearFiguresFollowTheTotals_data()
{
    QTest::addColumn<QList<MonthRow>>("rows");
    QTest::addColumn<MonthlyTotals>("totals");
    QTest::addColumn<QStringList>("column");
    QTest::addColumn<QString>("january"); // of the last line

    MonthlyTotals unlike;
    unlike.totalLine = false;
    MonthlyTotals balances = unlike;
    balances.rest.figure = MonthlyTotals::Figure::Balance;
    MonthlyTotals index = unlike;
    index.rows.insert(QStringLiteral("INDEKS"), {MonthlyTotals::Figure::Index,
                                                 QStringLiteral("REAL"), QStringLiteral("PLAN")});

    const auto ten = [](int) { return QVariant(10.0); };
    // (in Croatian a number's minus is the sign U+2212)
    QTest::newRow("sums that add up")
        << QList<MonthRow>{row("A", ten),
                           row("B", [](int m) { return m < 12 ? QVariant(m * 1.5) : none(); })}
        << MonthlyTotals() << QStringList{"Ukupno", "A=120,00", "B=99,00", "Ukupno=219,00"}
        << "11,50";
    QTest::newRow("sums of unlike rows: no total line")
        << QList<MonthRow>{row("DUG", ten), row("POT", [](int) { return QVariant(-2.5); })}
        << unlike << QStringList{"Ukupno", "DUG=120,00", "POT=\u221230,00"} << "\u22122,50";
    // where the balance stood last: a year that ends early, and one without any value
    QTest::newRow("running balances")
        << QList<MonthRow>{row("S 2025", [](int m) { return QVariant(1000.0 + m); }),
                           row("S 2026",
                               [](int m) { return m <= 9 ? QVariant(-5.0 * m) : none(); }),
                           row("S 2027", [](int) { return none(); })}
        << balances << QStringList{"Saldo", "S 2025=1.012,00", "S 2026=\u221245,00", "S 2027="}
        << "";
    // the year's index is that of the sums, never the sum of the monthly indexes (1.150 here)
    const auto plan = [](int m) { return QVariant(m == 1 ? 200.0 : 100.0); };
    QTest::newRow("index of the sums")
        << QList<MonthRow>{row("PLAN", plan), row("REAL", [](int) { return QVariant(100.0); }),
                           row("INDEKS", [](int m) { return QVariant(m == 1 ? 50.0 : 100.0); })}
        << index << QStringList{"Ukupno", "PLAN=1.300,00", "REAL=1.200,00", "INDEKS=92,31 %"}
        << "50,00 %";
    QTest::newRow("index of a plan of nothing")
        << QList<MonthRow>{row("PLAN", [](int) { return QVariant(0.0); }), row("REAL", ten),
                           row("INDEKS", [](int) { return none(); })}
        << index << QStringList{"Ukupno", "PLAN=0,00", "REAL=120,00", "INDEKS="} << "";
    QTest::newRow("index without its rows")
        << QList<MonthRow>{row("INDEKS", [](int) { return QVariant(91.9); })} << index
        << QStringList{"Ukupno", "INDEKS="} << "91,90 %";
}

void TstReport::yearFiguresFollowTheTotals()
{
    QFETCH(QList<MonthRow>, rows);
    QFETCH(MonthlyTotals, totals);
    QFETCH(QStringList, column);
    QFETCH(QString, january);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
    const ReportTable t = CRFinPoMjes(totals).table(monthRows(rows));
    const QStringList shown = yearColumn(t);
    const QString first = t.row(t.rowCount - 1).cells.value(1);
    // the widest text of each column is as wide as any of its cells
    for (int c = 1; c < t.columns.size(); ++c)
        for (int r = 0; r < t.rowCount; ++r)
            QVERIFY(t.row(r).cells.value(c).size() <= t.columns[c].widest.size());
    QLocale::setDefault(before);
    QCOMPARE(shown, column);
    QCOMPARE(first, january);
}

void TstReport::windowsSayHowTheirRowsTotal_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("totalLine");

    QTest::newRow("turnover, debit") << 1 << QStringList{"1200"} << 0 << "Ukupno" << true;
    QTest::newRow("turnover, debit and credit")
        << 1 << QStringList{"1200"} << 2 << "Ukupno" << false;
    QTest::newRow("turnover of a partner, debit and credit")
        << 1 << QStringList{"1200", "3"} << 2 << "Ukupno" << false;
    QTest::newRow("turnover, balance D-P") << 1 << QStringList{"1200"} << 3 << "Ukupno" << true;
    QTest::newRow("turnover, balance P-D") << 1 << QStringList{"1200"} << 4 << "Ukupno" << true;
    QTest::newRow("cumulative balance") << 2 << QStringList{"1200"} << 0 << "Saldo" << false;
    QTest::newRow("cumulative balance of a partner")
        << 2 << QStringList{"1200", "3"} << 1 << "Saldo" << false;
    QTest::newRow("expense group")
        << 3 << QStringList{"Plaće i doprinosiR"} << -1 << "Ukupno" << true;
    QTest::newRow("income group") << 3 << QStringList{"Naplata od kupacaP"} << -1 << "Ukupno"
                                  << true;
    QTest::newRow("balance group")
        << 3 << QStringList{"Bruto marža robeS"} << -1 << "Ukupno" << true;
    QTest::newRow("plan") << 4 << QStringList{"P"} << 0 << "Ukupno" << false;
    QTest::newRow("plan, realisation") << 4 << QStringList{"R"} << 1 << "Ukupno" << false;
    QTest::newRow("plan, index") << 4 << QStringList{"P"} << 2 << "Ukupno" << false;
    QTest::newRow("budget, index") << 5 << QStringList{"R", "Usluge"} << 2 << "Ukupno" << false;
}

void TstReport::windowsSayHowTheirRowsTotal()
{
    QFETCH(int, method);
    QFETCH(QStringList, path);
    QFETCH(int, kind);
    QFETCH(QString, header);
    QFETCH(bool, totalLine);
    m_w->close();
    m_w = m_fx->openMethod(method, sqliteConn(demoBook()));
    QVERIFY(m_w);
    QVERIFY(m_w->clickPath(path));
    if (kind >= 0)
        m_w->optVrijednost[kind]->click();
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    const Recordset &rows = m_w->chartRecordset();
    const int n = rows.RecordCount();
    QVERIFY(n > 0);
    const ReportTable t = CRFinPoMjes(m_w->monthlyTotals()).table(rows);
    QCOMPARE(t.columns.last().header, header);
    QCOMPARE(t.rowCount, n + (totalLine ? 1 : 0));
    QCOMPARE(t.row(t.rowCount - 1).total, totalLine);
    auto month = [&rows](int r, int m) {
        return rows.valueAt(
            r, rows.fieldIndex(QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0'))));
    };
    auto sum = [&month](int r) {
        double s = 0;
        for (int m = 1; m <= 12; ++m)
            s += month(r, m).toDouble();
        return s;
    };
    for (int r = 0; r < n; ++r) {
        const QString label = rows.valueAt(r, 0).toString();
        QString year = RecordsetModel::formatAmount(sum(r));
        if (header == u"Saldo") // the last month's balance, every month having one
            year = RecordsetModel::formatAmount(month(r, 12));
        if (label.startsWith(u"INDEKS_")) {
            // of the realisation and the plan above it, the year in whole
            year = RecordsetModel::formatAmount(sum(1) / sum(0) * 100) + QStringLiteral(" %");
            QCOMPARE(t.row(r).cells.value(1),
                     RecordsetModel::formatAmount(month(r, 1)) + QStringLiteral(" %"));
        }
        QCOMPARE(t.row(r).cells.first(), label);
        QCOMPARE(t.row(r).cells.last(), year);
    }
}

void TstReport::previewButtonsExportTheReportRows()
{
    frmIspisCR *preview = openReport();
    preview->cmdExcel->click();
    preview->cmdUExcelPomoćni->click();
    QCOMPARE(m_fx->spreadsheets->sheets.size(), 2);
    for (const auto &sheet : m_fx->spreadsheets->sheets) {
        QCOMPARE(sheet->cell(1, 1), QVariant(QStringLiteral("Godina")));
        QCOMPARE(sheet->rowCount(), m_w->chartRecordset().RecordCount() + 1);
    }
}

void TstReport::previewWithoutRowsExportsNothing()
{
    m_preview = new frmIspisCR(m_fx->services(), m_w);
    m_preview->Report = std::make_unique<CRFinPoMjes>();
    m_preview->setCaption(QStringLiteral("Izvještaj"));
    m_preview->cmdExcel->click();
    m_preview->cmdUExcelPomoćni->click();
    QVERIFY(m_fx->spreadsheets->sheets.isEmpty());
    QVERIFY(m_fx->dialogs->messages.isEmpty());
}

void TstReport::printerSetupGoesToTheReportsPrinter()
{
    frmIspisCR *preview = openReport();
    preview->cmdPostaviPrinter->click();
    QCOMPARE(m_fx->dialogs->printerSetups, 1);
    QVERIFY(preview->Report->printer());
    QCOMPARE(preview->Report->printer()->docName(), QStringLiteral("Promet konta"));
    QString error;
    QVERIFY(preview->CRVRadnici->PrintReport(&error));
    QVERIFY(QFile::exists(m_fx->printers->path()));
}

void TstReport::viewerSwitchesSearchAndSelection()
{
    frmIspisCR *preview = openReport();
    ReportViewer *v = preview->CRVRadnici;
    QVERIFY(v->groupTree()->isVisible() && v->searchField()->isVisible());
    QVERIFY(v->searchExpertButton()->isVisible() && v->selectExpertButton()->isVisible());
    const int rows = m_w->chartRecordset().RecordCount();
    QCOMPARE(v->groupTree()->topLevelItem(0)->childCount(), rows);

    QCOMPARE(v->search(QStringLiteral("dug 20")), rows);
    QCOMPARE(v->search(QStringLiteral("dug 20"), true), 0);
    QCOMPARE(v->search(QStringLiteral("nema toga")), 0);

    QString error;
    const QString year = m_w->chartRecordset().valueAt(0, 0).toString();
    QVERIFY(v->selectRows(QStringLiteral("Godina = '%1'").arg(year), &error));
    QCOMPARE(v->groupTree()->topLevelItem(0)->childCount(), 1);
    QVERIFY(!v->selectRows(QStringLiteral("Godina = "), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(v->groupTree()->topLevelItem(0)->childCount(), 1);

    v->EnableGroupTree(false);
    v->EnableSearchControl(false);
    QVERIFY(!v->groupTree()->isVisible() && !v->searchField()->isVisible());
}

void TstReport::previewResizeRule()
{
    frmIspisCR *preview = openReport();
    preview->resize(900, 600);
    QApplication::processEvents();
    QCOMPARE(preview->CRVRadnici->y(), preview->cmdIzlaz->height() + 10);
    QCOMPARE(preview->CRVRadnici->x(), 0);
    QCOMPARE(preview->CRVRadnici->width(), 900);
    QCOMPARE(preview->CRVRadnici->height(), 600 - preview->CRVRadnici->y());
    preview->cmdIzlaz->click();
    QApplication::processEvents();
    QVERIFY(m_preview.isNull()); // closing releases the window and its report
}

void TstReport::chartPrintOnAFullDiskKeepsTheOldFile()
{
    WindowFixture fx;
    const QString pdf = fx.printDir.filePath(QStringLiteral("ispis.pdf"));
    writeOld(pdf);
    fx.printers = std::make_shared<PdfPrinters>(pdf, fx.dialogs);
    QPointer<ChartWindow> w = fx.open();
    QVERIFY(w);
    fx.dialogs->messages.clear();
    fx.dialogs->answers.push_back(Dialogs::AnswerYes);
    {
        FullDisk::SizeLimit limited(4096);
        w->mnuIspis_Click();
    }
    w->close();
    QCOMPARE(fx.dialogs->messages.size(), 2); // the question, then what went wrong
    // the disk's refusal, in the system's words
    QCOMPARE(fx.dialogs->texts().last(),
             QStringLiteral("Desila se greška: Datoteka \"%1\" nije zapisana do kraja: %2")
                 .arg(pdf, qt_error_string(EFBIG)));
    QCOMPARE(readAll(pdf), QByteArray("old"));
    QCOMPARE(QDir(fx.printDir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("ispis.pdf")});
}

void TstReport::reportPdfOnAFullDiskKeepsTheOldFile()
{
    frmIspisCR *preview = openReport();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("izvjestaj.pdf"));
    writeOld(pdf);
    QString error;
    bool exported = true;
    {
        FullDisk::SizeLimit limited(4096);
        exported = preview->CRVRadnici->ExportPdf(pdf, &error);
    }
    QVERIFY(!exported);
    QCOMPARE(error, QStringLiteral("Datoteka \"%1\" nije zapisana do kraja: %2")
                        .arg(pdf, qt_error_string(EFBIG)));
    QCOMPARE(readAll(pdf), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("izvjestaj.pdf")});
    QVERIFY2(preview->CRVRadnici->ExportPdf(pdf, &error), qPrintable(error));
    QVERIFY(output(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                .contains(QStringLiteral("Promet konta 120")));
}

// Printing told its progress and the user stopped it: the old file stays, no half file beside it,
// and the message is no error.
void TstReport::stoppedPrintingKeepsTheOldFile()
{
    frmIspisCR *preview = openReport();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("izvjestaj.pdf"));
    writeOld(pdf);
    m_fx->dialogs->stopAt = 50;
    m_fx->dialogs->inputs.push_back(pdf);
    for (QPushButton *b : preview->CRVRadnici->findChildren<QPushButton *>())
        if (b->text() == u"PDF")
            b->click();
    QCOMPARE(m_fx->dialogs->messages.size(), 1);
    QCOMPARE(m_fx->dialogs->messages.first().text,
             QStringLiteral("Izvoz u PDF je prekinut; datoteka \"%1\" je ostala kakva je bila.")
                 .arg(pdf));
    QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::Information);
    QCOMPARE(m_fx->dialogs->progressSteps.last(), 100);
    QCOMPARE(readAll(pdf), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("izvjestaj.pdf")});

    QString error;
    QVERIFY(!preview->CRVRadnici->PrintReport(&error));
    QCOMPARE(error, QStringLiteral("Ispis izvještaja je prekinut."));
    QVERIFY(!QFile::exists(m_fx->printers->path()));
    m_fx->dialogs->stopAt = -1;
    QVERIFY2(preview->CRVRadnici->PrintReport(&error), qPrintable(error));
    QVERIFY(QFile::exists(m_fx->printers->path()));
}

void TstReport::reportPrintOnAFullDiskSaysWhy()
{
    frmIspisCR *preview = openReport();
    const QString pdf = m_fx->printers->path();
    writeOld(pdf);
    QString error;
    bool printed = true;
    {
        FullDisk::SizeLimit limited(4096);
        printed = preview->CRVRadnici->PrintReport(&error);
    }
    QVERIFY(!printed);
    QVERIFY2(error.contains(QStringLiteral("nije zapisana do kraja")), qPrintable(error));
    QCOMPARE(readAll(pdf), QByteArray("old"));
    // the same printer prints the next job whole
    QVERIFY2(preview->CRVRadnici->PrintReport(&error), qPrintable(error));
    QVERIFY(output(QStringLiteral("pdfinfo"), {pdf}).contains(QStringLiteral("Pages:")));
}

void TstReport::printIntoAFolderThatCannotBeWrittenNamesFileAndCause()
{
    // a folder that is not there stands for any the system refuses to write in
    WindowFixture fx;
    const QString pdf = fx.printDir.filePath(QStringLiteral("nema/ispis.pdf"));
    fx.printers = std::make_shared<PdfPrinters>(pdf, fx.dialogs);
    QPointer<ChartWindow> w = fx.open();
    QVERIFY(w);
    fx.dialogs->messages.clear();
    fx.dialogs->answers.push_back(Dialogs::AnswerYes);
    w->mnuIspis_Click();
    w->close();
    QCOMPARE(fx.dialogs->texts().last(),
             QStringLiteral("Desila se greška: Ispis u datoteku \"%1\" nije moguć: %2")
                 .arg(pdf, qt_error_string(ENOENT)));
    QString error;
    QVERIFY(!openReport()->CRVRadnici->ExportPdf(pdf, &error));
    QCOMPARE(error, QStringLiteral("Datoteka \"%1\" se ne može zapisati: %2")
                        .arg(pdf, qt_error_string(ENOENT)));
}

QTEST_MAIN(TstReport)
#include "tst_report.moc"
