#include "output/frmispiscr.h"
#include "output/moduexcel.h"
#include "output/recordsetmodel.h"
#include "output/report.h"
#include "output/reportviewer.h"
#include "platform/chart/chartcontrol.h"
#include "platform/data/monthtable.h"
#include "platform/files/atomicfile.h"
#include "platform/files/fulldisk.h"
#include "windowsupport.h"

#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>

#include <numeric>
#include <optional>

using namespace TestSupport;
using FullDisk::filesIn;
using FullDisk::readAll;

namespace {

/// Writes target, or says why not.
using Writer = std::function<bool(const QString &target, QString *error)>;

// A row of the report: its label, then the twelve months, null where a month has no value.
using MonthRow = QVector<QVariant>;

const QVariant none = QVariant(QMetaType(QMetaType::Double));

MonthRow row(const QString &label, const std::function<QVariant(int month)> &month)
{
    MonthRow r{label};
    for (int m = 1; m <= 12; ++m)
        r << month(m);
    return r;
}

double month(const Recordset &rows, int r, int m)
{
    return rows.valueAt(r, rows.fieldIndex(QStringLiteral("Mj") + mm(m))).toDouble();
}

// The report's column of year figures, its header first, then the label of each line and its
// year figure (the total line's label is "Ukupno"); and every cell as wide as its column's widest
// text at most.
QStringList yearColumn(const ReportTable &t)
{
    QStringList out{t.columns.last().header};
    for (int r = 0; r < t.rowCount; ++r) {
        const QStringList cells = t.row(r).cells;
        out << cells.first() + u'=' + cells.last();
        for (int c = 1; c < t.columns.size(); ++c)
            if (cells.value(c).size() > t.columns[c].widest.size())
                out << QStringLiteral("wider than its column: ") + cells.value(c);
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
    void yearFiguresFollowTheTotals_data();
    void yearFiguresFollowTheTotals();
    void windowsSayHowTheirRowsTotal_data();
    void windowsSayHowTheirRowsTotal();
    void previewButtonsAndViewer();
    void pdfAndPrintKeepTheOldFileWhenStopped();
    void everyWriterOnAFullDiskKeepsTheOldFile_data();
    void everyWriterOnAFullDiskKeepsTheOldFile();

private:
    frmIspisCR *openReport();
    frmIspisCR *report() { return m_preview ? m_preview.data() : openReport(); }
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
    QTest::addColumn<QString>("said"); // after the question (answered no when nothing); %1: file
    QTest::newRow("answered no") << "print.pdf" << QString();
    QTest::newRow("no file to print to")
        << QString() << "Desila se greška: Nije zadana datoteka za ispis.";
    // a folder that is not there stands for any the system refuses to write in
    QTest::newRow("a folder that cannot be written")
        << "nema/print.pdf"
        << "Desila se greška: Ispis u datoteku \"%1\" nije moguć: " + qt_error_string(ENOENT);
}

void TstReport::chartPrintAsksFirst()
{
    QFETCH(QString, file);
    QFETCH(QString, said);
    const QString pdf = file.isEmpty() ? QString() : m_fx->printDir.filePath(file);
    m_fx->printers = std::make_shared<PdfPrinters>(pdf, m_fx->dialogs);
    m_w->close();
    m_w = m_fx->open();
    m_fx->dialogs->answers.push_back(said.isEmpty() ? Dialogs::AnswerNo : Dialogs::AnswerYes);
    m_w->mnuIspis_Click();
    const auto ask = m_fx->dialogs->messages.value(0);
    QCOMPARE(ask.title + u'|' + ask.text,
             QStringLiteral("Ispis grafikona|Želite li ispisati grafikon?"));
    QVERIFY(ask.icon == Dialogs::Question && ask.buttons == Dialogs::YesNo);
    QCOMPARE(m_fx->dialogs->texts().mid(1).join(u'\n'), said.replace(QStringLiteral("%1"), pdf));
    QVERIFY(!QFile::exists(pdf)); // printing itself: tst_chartprint
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
                           row("B", [](int m) { return m < 12 ? QVariant(m * 1.5) : none; })}
        << MonthlyTotals() << QStringList{"Ukupno", "A=120,00", "B=99,00", "Ukupno=219,00"}
        << "11,50";
    // where the balance stood last: a year that ends early, and one without any value
    QTest::newRow("running balances")
        << QList<MonthRow>{row("S 2025", [](int m) { return QVariant(1000.0 + m); }),
                           row("S 2026", [](int m) { return m <= 9 ? QVariant(-5.0 * m) : none; }),
                           row("S 2027", [](int) { return none; })}
        << balances << QStringList{"Saldo", "S 2025=1.012,00", "S 2026=\u221245,00", "S 2027="}
        << "";
    // the year's index is that of the sums, never the sum of the monthly indexes (1.150 here)
    const auto plan = [](int m) { return QVariant(m == 1 ? 200.0 : 100.0); };
    QTest::newRow("index of the sums")
        << QList<MonthRow>{row("PLAN", plan), row("REAL", [](int) { return QVariant(100.0); }),
                           row("INDEKS", [](int m) { return QVariant(m == 1 ? 50.0 : 100.0); })}
        << index << QStringList{"Ukupno", "PLAN=1.300,00", "REAL=1.200,00", "INDEKS=92,31 %"}
        << "50,00 %";
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
    const ReportTable t = CRFinPoMjes(totals).table(monthTable(rows));
    QCOMPARE(yearColumn(t), column);
    QCOMPARE(t.row(t.rowCount - 1).cells.value(1), january);
}

// Each window kind says how its rows total, and the report's year figures follow from the rows
// it drew.
void TstReport::windowsSayHowTheirRowsTotal_data()
{
    QTest::addColumn<int>("method"); // 2, the cumulative balance, says "Saldo"
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("totalLine");
    QTest::newRow("turnover, debit") << 1 << QStringList{"1200"} << 0 << true;
    QTest::newRow("turnover of a partner, debit and credit")
        << 1 << QStringList{"1200", "3"} << 2 << false;
    QTest::newRow("cumulative balance of a partner") << 2 << QStringList{"1200", "3"} << 1 << false;
    QTest::newRow("balance group") << 3 << QStringList{"Bruto marža robeS"} << -1 << true;
    QTest::newRow("plan, index") << 4 << QStringList{"P"} << 2 << false;
}

void TstReport::windowsSayHowTheirRowsTotal()
{
    QFETCH(int, method);
    QFETCH(QStringList, path);
    QFETCH(int, kind);
    QFETCH(bool, totalLine);
    m_w->close();
    m_w = m_fx->openMethod(method, sqliteConn(demoBook()));
    QVERIFY(m_w && m_w->clickPath(path));
    if (kind >= 0)
        m_w->optVrijednost[kind]->click();
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    const Recordset &rows = m_w->chartRecordset();
    QVERIFY(rows.RecordCount() > 0);
    QVector<double> sums(rows.RecordCount());
    for (int r = 0; r < rows.RecordCount(); ++r)
        for (int m = 1; m <= 12; ++m)
            sums[r] += month(rows, r, m);
    QStringList expected{QLatin1String(method == 2 ? "Saldo" : "Ukupno")};
    for (int r = 0; r < rows.RecordCount(); ++r) {
        const QString label = rows.valueAt(r, 0).toString();
        // a balance where it stood in the last month, every month having one; an index that of
        // the realisation and the plan above it, over the year in whole
        expected << label + u'=' +
                        (label.startsWith(u"INDEKS_")
                             ? RecordsetModel::formatAmount(sums[1] / sums[0] * 100) + " %"
                             : RecordsetModel::formatAmount(method == 2 ? month(rows, r, 12)
                                                                        : sums[r]));
    }
    if (totalLine)
        expected << QStringLiteral("Ukupno=") + RecordsetModel::formatAmount(
                                                    std::accumulate(sums.begin(), sums.end(), 0.0));
    QCOMPARE(yearColumn(CRFinPoMjes(m_w->monthlyTotals()).table(rows)), expected);
}

// The preview: its exports of the report's rows (without rows none, and nothing said), the
// report's own printer, the viewer's search and selection; closing it releases it.
void TstReport::previewButtonsAndViewer()
{
    m_preview = new frmIspisCR(m_fx->services(), m_w);
    m_preview->Report = std::make_unique<CRFinPoMjes>();
    m_preview->cmdExcel->click();
    m_preview->cmdUExcelPomoćni->click();
    QVERIFY(m_fx->spreadsheets->sheets.isEmpty() && m_fx->dialogs->messages.isEmpty());
    m_preview->close();
    frmIspisCR *preview = openReport();
    QCOMPARE(preview->windowTitle(), QStringLiteral("Izvještaj prometa"));
    const int rows = m_w->chartRecordset().RecordCount();
    preview->cmdExcel->click();
    preview->cmdUExcelPomoćni->click();
    // both buttons, one slot: the rows under a header
    QCOMPARE(m_fx->spreadsheets->sheets.size(), 2);
    QCOMPARE(m_fx->spreadsheets->sheets.last()->rowCount(), rows + 1);
    preview->cmdPostaviPrinter->click();
    QCOMPARE(m_fx->dialogs->printerSetups, 1); // on the report's own printer, made first

    ReportViewer *v = preview->CRVRadnici;
    QCOMPARE(v->groupTree()->topLevelItem(0)->childCount(), rows);
    QCOMPARE(v->search(QStringLiteral("dug 20")), rows);
    QCOMPARE(v->search(QStringLiteral("dug 20"), true), 0);
    QString error;
    const QString year = m_w->chartRecordset().valueAt(0, 0).toString();
    QVERIFY(v->selectRows(QStringLiteral("Godina = '%1'").arg(year), &error));
    QCOMPARE(v->groupTree()->topLevelItem(0)->childCount(), 1);
    QVERIFY(!v->selectRows(QStringLiteral("Godina = "), &error) && !error.isEmpty());
    QCOMPARE(v->groupTree()->topLevelItem(0)->childCount(), 1);
    preview->cmdIzlaz->click();
    QApplication::processEvents();
    QVERIFY(m_preview.isNull()); // closing releases the window and its report
}

// Export and printing stopped by the user keep the old file, leave no half file beside it, and
// say so without an error. The PDF holds the title, the firm and every column whole (the months
// and the total, in bands when they do not fit across), the total line's figures among them.
void TstReport::pdfAndPrintKeepTheOldFileWhenStopped()
{
    frmIspisCR *preview = openReport();
    const QString pdf = m_fx->printDir.filePath(QStringLiteral("izvjestaj.pdf"));
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
    QCOMPARE(filesIn(m_fx->printDir.path()), QStringList{QStringLiteral("izvjestaj.pdf")});
    QString error;
    QVERIFY(!preview->CRVRadnici->PrintReport(&error));
    QCOMPARE(error, QStringLiteral("Ispis izvještaja je prekinut."));
    QVERIFY(!QFile::exists(m_fx->printers->path()));
    m_fx->dialogs->stopAt = -1;
    QVERIFY2(preview->CRVRadnici->PrintReport(&error), qPrintable(error));
    QVERIFY(QFile::exists(m_fx->printers->path()));

    QVERIFY2(preview->CRVRadnici->ExportPdf(pdf, &error), qPrintable(error));
    const QString text =
        output(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("Promet konta 120")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Tarnel d.o.o.")));
    QString totals;
    for (const QString &line : text.split(u'\n'))
        if (line.trimmed().startsWith(QStringLiteral("Ukupno ")))
            totals += line;
    const ReportTable t = CRFinPoMjes().table(m_w->chartRecordset());
    for (int c = 1; c <= 13; ++c) {
        QVERIFY2(text.contains(t.columns[c].header), qPrintable(text));
        QVERIFY2(totals.contains(t.row(t.rowCount - 1).cells[c]), qPrintable(text));
    }
    // a folder that is not there stands for any the system refuses to write in
    const QString nowhere = m_fx->printDir.filePath(QStringLiteral("nema/izvjestaj.pdf"));
    QVERIFY(!preview->CRVRadnici->ExportPdf(nowhere, &error));
    QCOMPARE(error, QStringLiteral("Datoteka \"%1\" se ne može zapisati: %2")
                        .arg(nowhere, qt_error_string(ENOENT)));
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
    // the two ways a write meets the end of the room: in a write larger than the file's buffer
    // (the copy's blocks), and in the last flush, at the commit (the CSV's few rows)
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
    // the desktop's workbook is named after the time it is made, and it is opened only when
    // whole: the opener here moves it over the target, and the message is read with its name
    const auto workbookOn = [this](bool desktop) {
        return [this, desktop](const QString &target, QString *error) {
            Services services = m_fx->services();
            services.spreadsheets = std::make_shared<FileSpreadsheets>(target);
            if (desktop)
                services.spreadsheets = std::make_shared<DesktopSpreadsheets>(
                    QFileInfo(target).path(), [target](const QString &made) {
                        return QFile::remove(target) && QFile::rename(made, target);
                    });
            modUExcel::PrebaciUExcel(services, m_w->chartRecordset(), nullptr);
            *error = m_fx->dialogs->texts().join(u'\n').replace(
                QRegularExpression(QStringLiteral("/Export-[^\"]*")),
                u'/' + QFileInfo(target).fileName());
            return error->isEmpty();
        };
    };
    add("workbook", "a.xlsx", false, workbook, workbookOn(false));
    add("workbook on the desktop", "a.xlsx", false, workbook, workbookOn(true));
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
    QCOMPARE(filesIn(folder), QStringList{name});

    QVERIFY(!disk || disk->empty());
    m_fx->dialogs->messages.clear();
    QVERIFY2(write(target, &error), qPrintable(error));
    QCOMPARE(filesIn(folder), QStringList{name});
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
