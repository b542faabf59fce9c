#include "chartwin/hostcontext.h"
#include "output/frmispiscr.h"
#include "output/recordsetmodel.h"
#include "output/report.h"
#include "output/reportviewer.h"
#include "platform/chart/chartcontrol.h"
#include "platform/files/fulldisk.h"
#include "platform/widgets/keyedtree.h"
#include "windowsupport.h"

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

} // namespace

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
    QCOMPARE(images.size(), 3); // two header lines and the one picture
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
