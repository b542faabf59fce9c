#include "chartwin/hostcontext.h"
#include "output/frmispiscr.h"
#include "output/moduexcel.h"
#include "output/recordsetmodel.h"
#include "output/report.h"
#include "output/reportviewer.h"
#include "platform/chart/chartcontrol.h"
#include "platform/files/atomicfile.h"
#include "platform/files/fulldisk.h"
#include "platform/spreadsheet/spreadsheet.h"
#include "platform/widgets/keyedtree.h"
#include "windowsupport.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <optional>

using namespace TestSupport;
using FullDisk::readAll;

namespace {

/// Writes target, or says why not.
using Writer = std::function<bool(const QString &target, QString *error)>;

// A row of twelve months: a label, then the months, null where a month has no value.
using MonthRow = QVector<QVariant>;

Recordset monthRows(const QList<MonthRow> &rows)
{
    QVector<Recordset::FieldInfo> fields{{QStringLiteral("Godina"), QMetaType::QString}};
    for (int m = 1; m <= 12; ++m)
        fields.append({QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0')), QMetaType::Double});
    Recordset rs;
    rs.assign(fields, QVector<MonthRow>(rows.cbegin(), rows.cend()));
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
Q_DECLARE_METATYPE(Writer)

class TstReport : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void chartPrintAsksFirst_data();
    void chartPrintAsksFirst();
    void reportPdfHoldsTitleFirmAndTotals();
    void yearFiguresFollowTheTotals_data();
    void yearFiguresFollowTheTotals();
    void windowsSayHowTheirRowsTotal_data();
    void windowsSayHowTheirRowsTotal();
    void previewButtonsExportTheReportRows();
    void printerSetupGoesToTheReportsPrinter();
    void viewerSwitchesSearchAndSelection();
    void previewResizeRule();
    void stoppedPrintingKeepsTheOldFile();
    void everyWriterOnAFullDiskKeepsTheOldFile_data();
    void everyWriterOnAFullDiskKeepsTheOldFile();

private:
    frmIspisCR *openReport();
    frmIspisCR *report() { return m_preview ? m_preview.data() : openReport(); }
    bool exported(std::shared_ptr<SpreadsheetApplication> spreadsheets, QString *error);
    std::unique_ptr<WindowFixture> m_fx;
    QPointer<ChartWindow> m_w;
    QPointer<frmIspisCR> m_preview;
};

void TstReport::init()
{
    QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
    m_fx = std::make_unique<WindowFixture>();
    // a print job that fails after printing is told in a box, as on the desktop
    m_fx->printers = std::make_shared<PdfPrinters>(m_fx->printers->path(), m_fx->dialogs);
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

void TstReport::chartPrintAsksFirst_data()
{
    QTest::addColumn<QString>("file"); // the printer's, in the fixture's folder; none when empty
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("said"); // after the question; %1 is the file
    QTest::newRow("answered no") << "print.pdf" << false << "";
    QTest::newRow("printed") << "print.pdf" << true << "";
    QTest::newRow("no file to print to")
        << "" << true << "Desila se greška: Nije zadana datoteka za ispis.";
    // a folder that is not there stands for any the system refuses to write in
    QTest::newRow("a folder that cannot be written")
        << "nema/print.pdf" << true
        << "Desila se greška: Ispis u datoteku \"%1\" nije moguć: " + qt_error_string(ENOENT);
}

void TstReport::chartPrintAsksFirst()
{
    QFETCH(QString, file);
    QFETCH(bool, yes);
    QFETCH(QString, said);
    WindowFixture fx;
    const QString pdf = file.isEmpty() ? QString() : fx.printDir.filePath(file);
    fx.printers = std::make_shared<PdfPrinters>(pdf, fx.dialogs);
    QPointer<ChartWindow> w = fx.open();
    QVERIFY(w);
    QGuiApplication::clipboard()->setText(QStringLiteral("korisnikov tekst"));
    fx.dialogs->messages.clear();
    fx.dialogs->answers.push_back(yes ? Dialogs::AnswerYes : Dialogs::AnswerNo);
    w->mnuIspis_Click();
    w->close();
    const auto ask = fx.dialogs->messages.value(0);
    QCOMPARE(ask.text, QStringLiteral("Želite li ispisati grafikon?"));
    QCOMPARE(ask.title, QStringLiteral("Ispis grafikona"));
    QCOMPARE(ask.icon, Dialogs::Question);
    QCOMPARE(ask.buttons, Dialogs::YesNo);
    QCOMPARE(fx.dialogs->texts().mid(1).join(u'\n'), said.replace(QStringLiteral("%1"), pdf));
    QCOMPARE(QFile::exists(pdf), yes && said.isEmpty());
    if (!QFile::exists(pdf))
        return;
    // the clipboard holds the chart's picture instead of what the user had there; the chart is
    // drawn anew on one page, not pasted as a picture (pdfimages lists its two header lines only)
    QVERIFY(!QGuiApplication::clipboard()->image().isNull());
    QVERIFY(
        output(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));
    QCOMPARE(output(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                 .split(u'\n', Qt::SkipEmptyParts)
                 .size(),
             2);
}

void TstReport::reportPdfHoldsTitleFirmAndTotals()
{
    frmIspisCR *preview = openReport();
    QCOMPARE(preview->windowTitle(), QStringLiteral("Izvještaj prometa"));
    QVERIFY(preview->isVisible());
    QCOMPARE(preview->Report->text(QStringLiteral("Filter")), QString()); // title and firm: below
    QVERIFY(preview->CRVRadnici->pageCount() >= 1);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("izvjestaj.pdf"));
    QString error;
    QVERIFY2(preview->CRVRadnici->ExportPdf(pdf, &error), qPrintable(error));
    const QString text =
        output(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("Promet konta 120")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Tarnel d.o.o.")));
    // Every column reaches the paper, whole: the months and the total, in bands when they do not
    // fit across; the total lines of the bands hold each month summed over the rows, and the year.
    const Recordset &rows = m_w->chartRecordset();
    double january = 0, all = 0;
    for (int m = 1; m <= 12; ++m) {
        const QString month = QStringLiteral("Mj%1").arg(m, 2, 10, QLatin1Char('0'));
        QVERIFY2(text.contains(month), qPrintable(text));
        for (int r = 0; r < rows.RecordCount(); ++r) {
            const double v = rows.valueAt(r, rows.fieldIndex(month)).toDouble();
            all += v;
            january += m == 1 ? v : 0;
        }
    }
    QString totals;
    for (const QString &line : text.split(u'\n'))
        if (line.trimmed().startsWith(QStringLiteral("Ukupno ")))
            totals += line;
    QVERIFY2(totals.contains(RecordsetModel::formatAmount(january)), qPrintable(text));
    QVERIFY2(totals.contains(RecordsetModel::formatAmount(all)), qPrintable(text));
    // a folder that is not there stands for any the system refuses to write in
    const QString nowhere = dir.filePath(QStringLiteral("nema/izvjestaj.pdf"));
    QVERIFY(!preview->CRVRadnici->ExportPdf(nowhere, &error));
    QCOMPARE(error, QStringLiteral("Datoteka \"%1\" se ne može zapisati: %2")
                        .arg(nowhere, qt_error_string(ENOENT)));
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
    const ReportTable t = CRFinPoMjes(totals).table(monthRows(rows));
    QCOMPARE(yearColumn(t), column);
    QCOMPARE(t.row(t.rowCount - 1).cells.value(1), january);
    // the widest text of each column is as wide as any of its cells
    for (int c = 1; c < t.columns.size(); ++c)
        for (int r = 0; r < t.rowCount; ++r)
            QVERIFY(t.row(r).cells.value(c).size() <= t.columns[c].widest.size());
}

void TstReport::windowsSayHowTheirRowsTotal_data()
{
    QTest::addColumn<int>("method"); // 2, the cumulative balance, says "Saldo"
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("totalLine");
    QTest::newRow("turnover, debit") << 1 << QStringList{"1200"} << 0 << true;
    QTest::newRow("turnover, debit and credit") << 1 << QStringList{"1200"} << 2 << false;
    QTest::newRow("turnover of a partner, debit and credit")
        << 1 << QStringList{"1200", "3"} << 2 << false;
    QTest::newRow("turnover, balance D-P") << 1 << QStringList{"1200"} << 3 << true;
    QTest::newRow("turnover, balance P-D") << 1 << QStringList{"1200"} << 4 << true;
    QTest::newRow("cumulative balance") << 2 << QStringList{"1200"} << 0 << false;
    QTest::newRow("cumulative balance of a partner") << 2 << QStringList{"1200", "3"} << 1 << false;
    QTest::newRow("expense group") << 3 << QStringList{"Plaće i doprinosiR"} << -1 << true;
    QTest::newRow("income group") << 3 << QStringList{"Naplata od kupacaP"} << -1 << true;
    QTest::newRow("balance group") << 3 << QStringList{"Bruto marža robeS"} << -1 << true;
    QTest::newRow("plan") << 4 << QStringList{"P"} << 0 << false;
    QTest::newRow("plan, realisation") << 4 << QStringList{"R"} << 1 << false;
    QTest::newRow("plan, index") << 4 << QStringList{"P"} << 2 << false;
    QTest::newRow("budget, index") << 5 << QStringList{"R", "Usluge"} << 2 << false;
}

void TstReport::windowsSayHowTheirRowsTotal()
{
    QFETCH(int, method);
    QFETCH(QStringList, path);
    QFETCH(int, kind);
    QFETCH(bool, totalLine);
    const QString header = method == 2 ? QStringLiteral("Saldo") : QStringLiteral("Ukupno");
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
    // without rows there is nothing to export, and nothing is said
    m_preview = new frmIspisCR(m_fx->services(), m_w);
    m_preview->Report = std::make_unique<CRFinPoMjes>();
    m_preview->cmdExcel->click();
    m_preview->cmdUExcelPomoćni->click();
    QVERIFY(m_fx->spreadsheets->sheets.isEmpty() && m_fx->dialogs->messages.isEmpty());
    m_preview->close();
    frmIspisCR *preview = openReport();
    preview->cmdExcel->click();
    preview->cmdUExcelPomoćni->click();
    QCOMPARE(m_fx->spreadsheets->sheets.size(), 2);
    for (const auto &sheet : m_fx->spreadsheets->sheets) {
        QCOMPARE(sheet->cell(1, 1), QVariant(QStringLiteral("Godina")));
        QCOMPARE(sheet->rowCount(), m_w->chartRecordset().RecordCount() + 1);
    }
}

void TstReport::printerSetupGoesToTheReportsPrinter()
{
    frmIspisCR *preview = openReport();
    preview->cmdPostaviPrinter->click();
    QCOMPARE(m_fx->dialogs->printerSetups, 1);
    QVERIFY(preview->Report->printer());
    QCOMPARE(preview->Report->printer()->docName(), QStringLiteral("Promet konta"));
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
    const int top =
        preview->cmdIzlaz->height() + 10; // the viewer takes the rest, under the buttons
    QCOMPARE(preview->CRVRadnici->geometry(), QRect(0, top, 900, 600 - top));
    preview->cmdIzlaz->click();
    QApplication::processEvents();
    QVERIFY(m_preview.isNull()); // closing releases the window and its report
}

// Printing told its progress and the user stopped it: the old file stays, no half file beside it,
// and the message is no error.
void TstReport::stoppedPrintingKeepsTheOldFile()
{
    frmIspisCR *preview = openReport();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("izvjestaj.pdf"));
    QVERIFY(FullDisk::writeAll(pdf, "old"));
    m_fx->dialogs->stopAt = 50;
    m_fx->dialogs->inputs.push_back(pdf);
    for (QPushButton *b : preview->CRVRadnici->findChildren<QPushButton *>())
        if (b->text() == u"PDF")
            b->click();
    QCOMPARE(m_fx->dialogs->texts(),
             QStringList{QStringLiteral("Izvoz u PDF je prekinut; datoteka \"%1\" je ostala kakva "
                                        "je bila.")
                             .arg(pdf)});
    QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::Information);
    QCOMPARE(m_fx->dialogs->progressSteps.last(), 100);
    QCOMPARE(readAll(pdf), QByteArray("old"));
    QCOMPARE(FullDisk::filesIn(dir.path()), QStringList{QStringLiteral("izvjestaj.pdf")});

    QString error;
    QVERIFY(!preview->CRVRadnici->PrintReport(&error));
    QCOMPARE(error, QStringLiteral("Ispis izvještaja je prekinut."));
    QVERIFY(!QFile::exists(m_fx->printers->path()));
    m_fx->dialogs->stopAt = -1;
    QVERIFY2(preview->CRVRadnici->PrintReport(&error), qPrintable(error));
    QVERIFY(QFile::exists(m_fx->printers->path()));
}

bool TstReport::exported(std::shared_ptr<SpreadsheetApplication> spreadsheets, QString *error)
{
    Services services = m_fx->services();
    services.spreadsheets = std::move(spreadsheets);
    modUExcel::PrebaciUExcel(services, m_w->chartRecordset(), nullptr);
    *error = m_fx->dialogs->texts().join(u'\n');
    return error->isEmpty();
}

void TstReport::everyWriterOnAFullDiskKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("name"); // of the file written
    QTest::addColumn<bool>("tmpfs");   // a full disk of its own rather than a file size limit
    QTest::addColumn<QString>("said"); // %1 is the file, %2 the system's word for no room
    QTest::addColumn<Writer>("write");
    const auto add = [](const char *row, const char *name, bool tmpfs, const QString &said,
                        const Writer &write) {
        QTest::newRow(row) << QString::fromUtf8(name) << tmpfs << said << write;
    };
    const QString cut = QStringLiteral("Datoteka \"%1\" nije zapisana do kraja: %2");
    const QString told = QStringLiteral("Desila se greška: ") + cut;
    const QString workbook =
        QStringLiteral("Desila se greška: Radna knjiga \"%1\" se ne može zapisati: %2");
    // the three ways a write meets the end of the room: in one write larger than the file's
    // buffer, in the buffer's flush between two writes, and in the last flush, at the commit
    const auto atomic = [](int writes, int size) {
        return [writes, size](const QString &target, QString *error) {
            AtomicFile file(target);
            file.open();
            for (int i = 0; i < writes; ++i)
                file.write(QByteArray(size, 'x'));
            *error = file.commit() ? QString() : file.errorText();
            return error->isEmpty();
        };
    };
    add("file in one write", "a.bin", false, cut, atomic(1, 200000));
    add("file in many writes", "a.bin", false, cut, atomic(500, 100));
    add("file in the last flush", "a.bin", false, cut, atomic(20, 100));
    add("file on a full disk", "a.bin", true, cut, atomic(1, 200000));
    add("copy", "book.sqlite", false, cut, [](const QString &target, QString *error) {
        return AtomicFile::copyFile(demoBook(), target, error);
    });
    // a writer that makes its file by name and drops the errors of its writes, as the PDF engine
    // does: the commit finds the disk's refusal
    add("staged file on a full disk", "a.pdf", true, cut,
        [](const QString &target, QString *error) {
            StagedFile staged(target);
            {
                QPdfWriter pdf(staged.path());
                QPainter(&pdf).drawText(100, 100, QStringLiteral("Promet konta 120"));
            }
            *error = staged.commit(StagedFile::completePdf) ? QString() : staged.errorText();
            return error->isEmpty();
        });
    add("chart picture", "chart.png", false, cut, [this](const QString &target, QString *error) {
        return m_w->MSChart1->save(target, {1000, 600}, error);
    });
    add("CSV", "a.csv", false, told, [this](const QString &target, QString *error) {
        QString file = target;
        bool quotes = true;
        m_fx->dialogs->answers.push_back(Dialogs::AnswerYes); // to the question first
        const bool written =
            modUExcel::PrebaciUCSV(*m_fx->dialogs, m_w->chartRecordset(), file, quotes, nullptr);
        // told with an exclamation mark
        const auto last = m_fx->dialogs->messages.last();
        *error = last.icon == Dialogs::Exclamation ? last.text : QString();
        return written;
    });
    add("workbook", "a.xlsx", false, workbook, [this](const QString &target, QString *error) {
        return exported(std::make_shared<FileSpreadsheets>(target), error);
    });
    // the desktop's workbook is named after the time it is made, and it is opened only when
    // whole: the opener here moves it over the target, and the message is read with its name
    add("workbook on the desktop", "a.xlsx", false, workbook,
        [this](const QString &target, QString *error) {
            auto opener = [target](const QString &made) {
                return QFile::remove(target) && QFile::rename(made, target);
            };
            const bool written = exported(
                std::make_shared<DesktopSpreadsheets>(QFileInfo(target).path(), opener), error);
            error->replace(QRegularExpression(QStringLiteral("/Export-[^\"]*")),
                           u'/' + QFileInfo(target).fileName());
            return written;
        });
    add("chart print", "print.pdf", false, told, [this](const QString &, QString *error) {
        m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
        m_w->mnuIspis_Click();
        *error = m_fx->dialogs->texts().mid(1).join(u'\n'); // after the question
        return error->isEmpty();
    });
    add("report PDF", "a.pdf", false, cut, [this](const QString &target, QString *error) {
        return report()->CRVRadnici->ExportPdf(target, error);
    });
    // the report's printer after a failed job: the next job gets a new one
    add("report print", "print.pdf", false, cut, [this](const QString &, QString *error) {
        return report()->CRVRadnici->PrintReport(error);
    });
}

// The old file stays as it was, nothing is left beside it, and the cause is told in the system's
// words; with room again the same writer writes the whole file.
void TstReport::everyWriterOnAFullDiskKeepsTheOldFile()
{
    QFETCH(QString, name);
    QFETCH(bool, tmpfs);
    QFETCH(QString, said);
    QFETCH(Writer, write);
    std::optional<FullDisk::SmallDisk> disk;
    if (tmpfs && !disk.emplace(QStringLiteral("512k")).isMounted())
        QSKIP(qPrintable(disk->whyNot()));
    const QString folder = disk ? disk->path() : m_fx->printDir.path();
    const QString target = folder + u'/' + name;
    QVERIFY(FullDisk::writeAll(target, "old"));
    bool written = true;
    QString error;
    {
        std::optional<FullDisk::SizeLimit> limited;
        if (disk)
            QVERIFY(disk->fill());
        else
            QVERIFY(limited.emplace(100).isSet());
        written = write(target, &error);
    }
    QVERIFY(!written);
    QCOMPARE(error, said.arg(target, qt_error_string(disk ? ENOSPC : EFBIG)));
    QCOMPARE(readAll(target), QByteArray("old"));
    QCOMPARE(FullDisk::filesIn(folder), QStringList{name});

    QVERIFY(!disk || disk->empty());
    m_fx->dialogs->messages.clear();
    QVERIFY2(write(target, &error), qPrintable(error));
    QCOMPARE(FullDisk::filesIn(folder), QStringList{name});
    const QString kind = QFileInfo(name).suffix(); // and whole, as its kind tells
    const auto whole = kind == u"pdf"      ? StagedFile::completePdf
                       : kind == u"xlsx"   ? StagedFile::completeZip
                       : kind == u"sqlite" ? StagedFile::completeSqlite
                                           : nullptr;
    QString why;
    QVERIFY2(readAll(target) != "old" && (!whole || whole(target, &why)), qPrintable(why));
}

QTEST_MAIN(TstReport)
#include "tst_report.moc"
