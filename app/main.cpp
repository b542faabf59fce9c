// fingraf: plays the bookkeeping host. It opens the component's chart windows over a book, draws
// charts without a screen, and makes the embedded demo book.
#include "chartwin/chartwindow.h"
#include "demobook.h"
#include "entry/cfingrafpromet.h"
#include "output/frmispiscr.h"
#include "output/moduexcel.h"
#include "output/report.h"
#include "output/reportviewer.h"
#include "platform/chart/chartcontrol.h"
#include "platform/data/turnoversummary.h"
#include "platform/widgets/keyedtree.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTextStream>
#include <QTreeWidgetItem>

namespace {

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int runDemo(const QStringList &args)
{
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Izrađuje demo knjigu (SQLite) ako je nema i ispisuje što sadrži."));
    p.addHelpOption();
    p.addOption({QStringLiteral("scale"),
                 QStringLiteral("Množi komitente i promet (1: oko 10.000 redaka prometa)."),
                 QStringLiteral("N"), QStringLiteral("1")});
    p.addPositionalArgument(
        QStringLiteral("PATH"),
        QStringLiteral("Datoteka knjige (zadano: %1).").arg(DemoBook::defaultPath()));
    p.process(args);
    DemoBook::Options o;
    o.scale = p.value(QStringLiteral("scale")).toInt();
    const QString path = p.positionalArguments().value(0, DemoBook::defaultPath());
    QString error;
    if (!DemoBook::create(path, o, &error)) {
        err() << error << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << path << Qt::endl << DemoBook::summary(path) << Qt::endl;
    return 0;
}

// fingraf sazetak PATH: gives the book the turnover summary that account-level charts are then
// read from. The only change to a book's schema fingraf makes, and only when asked.
int runSummary(const QStringList &args)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Dodaje knjizi (SQLite) sažetak prometa po poduzeću, godini i kontu, koji okidači drže "
        "točnim;\ngrafikoni konta tada se čitaju iz njega. Knjiga koja ga već ima ostaje kakva "
        "jest."));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("Datoteka knjige."));
    p.process(args);
    if (p.positionalArguments().size() != 1)
        p.showHelp(2);
    QStringList added;
    QString error;
    if (!TurnoverSummary::addToBook(p.positionalArguments().constFirst(), &added, &error)) {
        err() << error << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << (added.isEmpty() ? QStringLiteral("Knjiga već ima sažetak prometa.")
                                            : QStringLiteral("Sažetak prometa dodan za: ") +
                                                  added.join(QStringLiteral(", ")))
                        << Qt::endl;
    return 0;
}

// Prints what the window said and fails.
int failWith(const ScriptedDialogs &dialogs)
{
    for (const auto &m : dialogs.messages)
        err() << m.text << Qt::endl;
    return 1;
}

// Finds and clicks the node the options name; returns false when there is none.
bool clickNode(ChartWindow *w, const QCommandLineParser &p)
{
    KeyedTree *tree = w->tv;
    auto click = [&](QTreeWidgetItem *n) {
        tree->setCurrentItem(n);
        emit tree->nodeClicked(n);
    };
    if (p.isSet(QStringLiteral("node"))) {
        QTreeWidgetItem *n = tree->node(p.value(QStringLiteral("node")));
        if (!n)
            return false;
        click(n);
        return true;
    }
    const QString konto = p.value(QStringLiteral("konto"));
    if (konto.isEmpty())
        return true; // the window's own first chart
    QTreeWidgetItem *sint = nullptr;
    for (int i = 0; i < tree->topLevelItemCount() && !sint; ++i)
        if (tree->topLevelItem(i)->text(0).left(3).trimmed() == konto.left(3))
            sint = tree->topLevelItem(i);
    if (!sint)
        return false;
    click(sint);
    if (konto.size() <= 3)
        return true;
    QTreeWidgetItem *anal = tree->node(QStringLiteral("K: ") + konto);
    if (!anal)
        return false;
    click(anal);
    if (!p.isSet(QStringLiteral("komitent")))
        return true;
    const QString suffix = u'(' + p.value(QStringLiteral("komitent")) + u')';
    for (int i = 0; i < anal->childCount(); ++i)
        if (anal->child(i)->text(0).endsWith(suffix)) {
            click(anal->child(i));
            return true;
        }
    return false;
}

// The window as it looks. A 3D chart is drawn by OpenGL in a window of its own, which grabbing
// the widgets does not see, so its picture is laid over the place it takes.
QImage windowPicture(ChartWindow *w)
{
    QApplication::processEvents();
    QImage image = w->grab().toImage();
    if (w->MSChart1->drawnIn3D() && w->MSChart1->isVisible()) {
        QPainter painter(&image);
        painter.drawImage(w->MSChart1->mapTo(w, QPoint(0, 0)),
                          w->MSChart1->picture(w->MSChart1->size()));
    }
    return image;
}

int runWindow(const QString &method, const QStringList &args)
{
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Otvara prozor grafikona kao što ga otvara knjigovodstveni program. S "
                       "--png, --svg, --pdf ili --csv\n"
                       "crta grafikon bez zaslona, zapisuje ga i završava, ne dirajući spremljene "
                       "postavke prozora."));
    p.addHelpOption();
    const QList<QCommandLineOption> options = {
        {QStringLiteral("conn"), QStringLiteral("Niz za spajanje na bazu (ADO)."),
         QStringLiteral("S")},
        {QStringLiteral("demo"),
         QStringLiteral("Radi nad demo knjigom (izrađuje je ako je nema).")},
        {QStringLiteral("book"), QStringLiteral("Datoteka demo knjige."), QStringLiteral("PATH"),
         DemoBook::defaultPath()},
        {QStringLiteral("firma"), QStringLiteral("Broj poduzeća."), QStringLiteral("N"),
         QStringLiteral("1")},
        {QStringLiteral("godina"), QStringLiteral("Knjigovodstvena godina."), QStringLiteral("N"),
         QString::number(QDate::currentDate().year())},
        {QStringLiteral("modal"), QStringLiteral("Prikaz modalno.")},
        {QStringLiteral("tablica"), QStringLiteral("Tablica prometa (PROMET ili PROMETMT)."),
         QStringLiteral("T"), QStringLiteral("PROMET")},
        {QStringLiteral("plan"), QStringLiteral("Broj plana."), QStringLiteral("N"),
         QStringLiteral("1")},
        {QStringLiteral("operater"), QStringLiteral("Ime operatera."), QStringLiteral("IME"),
         QStringLiteral("operater")},
        {QStringLiteral("node"), QStringLiteral("Čvor stabla po ključu, npr. \"K: 1200\"."),
         QStringLiteral("KLJUČ")},
        {QStringLiteral("konto"), QStringLiteral("Konto (sintetički ili analitički)."),
         QStringLiteral("KONTO")},
        {QStringLiteral("komitent"), QStringLiteral("Šifra komitenta na kontu."),
         QStringLiteral("ŠIFRA")},
        {QStringLiteral("od"), QStringLiteral("Prva godina."), QStringLiteral("GODINA")},
        {QStringLiteral("do"), QStringLiteral("Zadnja godina."), QStringLiteral("GODINA")},
        {QStringLiteral("mj-od"), QStringLiteral("Prvi mjesec (0-12)."), QStringLiteral("MJ")},
        {QStringLiteral("mj-do"), QStringLiteral("Zadnji mjesec (0-12)."), QStringLiteral("MJ")},
        {QStringLiteral("iznos"),
         QStringLiteral("Vrsta iznosa: 0 Duguje, 1 Potražuje, 2 Oba, 3 Saldo D-P, 4 Saldo P-D."),
         QStringLiteral("N")},
        {QStringLiteral("tip"), QStringLiteral("Vrsta grafikona, indeks liste 0-11."),
         QStringLiteral("N")},
        {QStringLiteral("skala"), QStringLiteral("Os: 0 linearna, 1 postotna, 2 logaritamska."),
         QStringLiteral("N")},
        {QStringLiteral("png"), QStringLiteral("Zapiši grafikon kao PNG."), QStringLiteral("FILE")},
        {QStringLiteral("svg"), QStringLiteral("Zapiši grafikon kao SVG."), QStringLiteral("FILE")},
        {QStringLiteral("pdf"), QStringLiteral("Zapiši grafikon kao PDF."), QStringLiteral("FILE")},
        {QStringLiteral("csv"), QStringLiteral("Zapiši podatke grafikona kao CSV."),
         QStringLiteral("FILE")},
        {QStringLiteral("screenshot"), QStringLiteral("Zapiši sliku cijelog prozora (PNG)."),
         QStringLiteral("FILE")},
        {QStringLiteral("xlsx"), QStringLiteral("Prebaci podatke grafikona u radnu knjigu (XLSX)."),
         QStringLiteral("FILE")},
        {QStringLiteral("ispis"), QStringLiteral("Ispiši grafikon na PDF pisač."),
         QStringLiteral("FILE")},
        {QStringLiteral("izvjestaj"),
         QStringLiteral("Zapiši izvještaj po mjesecima (PDF); s --screenshot i slika pregleda."),
         QStringLiteral("FILE")},
        {QStringLiteral("grid"), QStringLiteral("Prikaži tablicu umjesto grafikona.")},
        {QStringLiteral("patern"), QStringLiteral("Uzorci za crno-bijeli ispis umjesto boja.")},
        {QStringLiteral("trace-sql"), QStringLiteral("Dopisuj svaku naredbu u datoteku."),
         QStringLiteral("FILE")},
    };
    p.addOptions(options);
    p.process(args);

    QString conn = p.value(QStringLiteral("conn"));
    if (p.isSet(QStringLiteral("demo")) || conn.isEmpty()) {
        const QString book = p.value(QStringLiteral("book"));
        QString error;
        if (!DemoBook::create(book, DemoBook::Options(), &error)) {
            err() << error << Qt::endl;
            return 1;
        }
        conn = QStringLiteral("Provider=SQLite;Data Source=") + book;
    }
    std::unique_ptr<QFile> trace;
    if (p.isSet(QStringLiteral("trace-sql"))) {
        trace = std::make_unique<QFile>(p.value(QStringLiteral("trace-sql")));
        if (!trace->open(QIODevice::Append | QIODevice::Text)) {
            err() << "Datoteka za praćenje naredbi se ne može otvoriti: " << trace->fileName()
                  << Qt::endl;
            return 1;
        }
        cPristupPodacima::setTrace([f = trace.get()](const QString &stage, const QString &sql) {
            f->write((stage + QStringLiteral(": ") + sql + u'\n').toUtf8());
            f->flush();
        });
    }

    const bool headless = p.isSet(QStringLiteral("png")) || p.isSet(QStringLiteral("svg")) ||
                          p.isSet(QStringLiteral("pdf")) || p.isSet(QStringLiteral("csv")) ||
                          p.isSet(QStringLiteral("screenshot")) ||
                          p.isSet(QStringLiteral("xlsx")) || p.isSet(QStringLiteral("ispis")) ||
                          p.isSet(QStringLiteral("izvjestaj"));
    auto scripted = std::make_shared<ScriptedDialogs>();
    // Without a screen: the workbook is moved to the named file instead of being opened.
    const QString xlsx = p.value(QStringLiteral("xlsx"));
    auto workbooks =
        std::make_shared<DesktopSpreadsheets>(QDir::tempPath(), [xlsx](const QString &path) {
            QFile::remove(xlsx);
            return QFile::rename(path, xlsx);
        });
    Services services =
        headless ? Services{scripted, std::make_shared<MemorySettingsStore>(), workbooks,
                            std::make_shared<PdfPrinters>(p.value(QStringLiteral("ispis")))}
                 : Services::desktop();
    cFinGrafPromet host(services);
    QString nivo = QStringLiteral("1");
    QString operater = p.value(QStringLiteral("operater"));
    qint16 plan = qint16(p.value(QStringLiteral("plan")).toInt());
    const qint16 firm = qint16(p.value(QStringLiteral("firma")).toInt());
    const qint16 year = qint16(p.value(QStringLiteral("godina")).toInt());
    const int mode = p.isSet(QStringLiteral("modal")) && !headless ? 1 : 0;
    const QString table = p.value(QStringLiteral("tablica"));
    const QString kind = QStringLiteral("FIN");
    bool ok = false;
    if (method == u"promet")
        ok = host.PrikažiGrafPromet(conn, nivo, firm, year, mode, kind, table, operater);
    else if (method == u"kumulativ")
        ok = host.PrikažiGrafPrometKumulativ(conn, nivo, firm, year, mode, kind, table, operater);
    else if (method == u"prihodi")
        ok = host.PrikažiPrihodeRashode(conn, nivo, firm, year, mode, kind, table, operater);
    else if (method == u"plan")
        ok =
            host.PrikažiPlanIRealizaciju(conn, nivo, firm, year, mode, kind, table, operater, plan);
    else
        ok = host.PrikažiPlanIRealizacijuBudž(conn, nivo, firm, year, mode, kind, table, operater,
                                              plan);
    if (!ok) {
        err() << host.lastError() << Qt::endl;
        return 1;
    }
    if (!headless)
        return mode == 1 ? 0 : QApplication::exec();

    ChartWindow *w = host.lastWindow();
    if (!w)
        return 1;
    if (p.isSet(QStringLiteral("od")))
        w->txtGodina[0]->setText(p.value(QStringLiteral("od")));
    if (p.isSet(QStringLiteral("do")))
        w->txtGodina[1]->setText(p.value(QStringLiteral("do")));
    if (p.isSet(QStringLiteral("mj-od")))
        w->txtMj[0]->setText(p.value(QStringLiteral("mj-od")));
    if (p.isSet(QStringLiteral("mj-do")))
        w->txtMj[1]->setText(p.value(QStringLiteral("mj-do")));
    if (p.isSet(QStringLiteral("iznos"))) {
        const int i = p.value(QStringLiteral("iznos")).toInt();
        if (i < 0 || i >= w->optVrijednost.size()) {
            err() << "Nepoznata vrsta iznosa: " << i << Qt::endl;
            return 2;
        }
        w->optVrijednost[i]->setChecked(true);
    }
    if (p.isSet(QStringLiteral("tip")))
        w->cmbType->setCurrentIndex(p.value(QStringLiteral("tip")).toInt());
    if (p.isSet(QStringLiteral("skala")))
        w->cmbScale->setCurrentIndex(p.value(QStringLiteral("skala")).toInt());
    scripted->messages
        .clear(); // what the window said before the chosen node was drawn does not count
    if (!clickNode(w, p)) {
        err() << "U stablu nema traženog čvora." << Qt::endl;
        return 1;
    }
    if (p.isSet(QStringLiteral("grid")))
        w->mnuPregledPodataka_Click();
    if (p.isSet(QStringLiteral("patern")))
        w->mnuPatern_Click();
    if (!scripted->messages.isEmpty())
        return failWith(*scripted);
    const QSize size(1000, 600);
    QString error;
    for (const char *fmt : {"png", "svg", "pdf"})
        if (p.isSet(QString::fromLatin1(fmt)) &&
            !w->MSChart1->save(p.value(QString::fromLatin1(fmt)), size, &error)) {
            err() << error << Qt::endl;
            return 1;
        }
    if (p.isSet(QStringLiteral("csv"))) {
        QString file = p.value(QStringLiteral("csv"));
        bool quotes = true;
        if (!modUExcel::PrebaciUCSV(*scripted, w->chartRecordset(), file, quotes, w))
            return failWith(*scripted);
    }
    if (p.isSet(QStringLiteral("xlsx"))) {
        scripted->messages.clear();
        w->PrebaciUExcel(w->chartRecordset());
        if (!scripted->messages.isEmpty())
            return failWith(*scripted);
    }
    if (p.isSet(QStringLiteral("ispis"))) {
        scripted->answers.push_back(Dialogs::AnswerYes);
        scripted->messages.clear();
        w->mnuIspis_Click();
        if (scripted->messages.size() > 1)
            return failWith(*scripted);
    }
    if (p.isSet(QStringLiteral("izvjestaj"))) {
        frmIspisCR *preview = frmIspisCR::prikaži(services, w, std::make_unique<CRFinPoMjes>(),
                                                  QStringLiteral("Izvještaj"),
                                                  w->MSChart1->titleText(), w->chartRecordset());
        if (!preview->CRVRadnici->ExportPdf(p.value(QStringLiteral("izvjestaj")), &error)) {
            err() << error << Qt::endl;
            return 1;
        }
        if (p.isSet(QStringLiteral("screenshot"))) {
            preview->resize(1100, 700);
            QApplication::processEvents();
            if (!preview->grab().save(p.value(QStringLiteral("screenshot")))) {
                err() << "Slika prozora se ne može zapisati." << Qt::endl;
                return 1;
            }
            w->close();
            return 0;
        }
    }
    if (p.isSet(QStringLiteral("screenshot")) &&
        !windowPicture(w).save(p.value(QStringLiteral("screenshot")))) {
        err() << "Slika prozora se ne može zapisati." << Qt::endl;
        return 1;
    }
    w->close();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fingraf"));
    const QStringList args = QApplication::arguments();
    const QString command = args.value(1);
    QStringList rest = args;
    if (rest.size() > 1)
        rest.removeAt(1);
    if (command == u"demo" || command == u"--demo")
        return runDemo(rest);
    if (command == u"sazetak")
        return runSummary(rest);
    static const QStringList methods = {QStringLiteral("promet"), QStringLiteral("kumulativ"),
                                        QStringLiteral("prihodi"), QStringLiteral("plan"),
                                        QStringLiteral("budzet")};
    if (methods.contains(command))
        return runWindow(command, rest);
    err() << "Upotreba:\n"
             "  fingraf demo [--scale N] [PATH]          izradi demo knjigu\n"
             "  fingraf promet|kumulativ [opcije]        otvori prozor prometa ili kumulativnog "
             "salda\n"
             "  fingraf prihodi|plan|budzet [opcije]     ostali prozori\n"
             "  fingraf <metoda> --help                  sve opcije\n";
    return command.isEmpty() ? 2 : (command == u"--help" || command == u"-h" ? 0 : 2);
}
