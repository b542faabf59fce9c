// fingraf: plays the bookkeeping host. It opens the component's chart windows over a book, draws
// charts without a screen, and makes the embedded demo book.
#include "demobook.h"
#include "entry/cfingrafpromet.h"
#include "entry/windowkinds.h"
#include "headless.h"
#include "incexp/frmfindefkontaprihrash.h"
#include "incexp/frmfingrafprihodrashod.h"
#include "output/reportviewer.h"
#include "platform/clock/clock.h"
#include "platform/data/pristuppodacima.h"
#include "platform/data/turnoversummary.h"
#include "platform/files/atomicfile.h"
#include "platform/services.h"
#include "platform/widgets/keyedtree.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <memory>
#include <optional>

#include <csignal>

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
    bool ok = false;
    o.scale = p.value(QStringLiteral("scale")).trimmed().toInt(&ok);
    if (!ok || o.scale < 1 || o.scale > 1000) {
        err() << "--scale: očekuje se cijeli broj od 1 do 1000, a ne \""
              << p.value(QStringLiteral("scale")) << "\"." << Qt::endl;
        return 2;
    }
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

// Every option value is checked before a window opens: a number within its range, a file name
// that is not empty, a table name that is a plain identifier.
bool optionsValid(const QCommandLineParser &p, const QList<QCommandLineOption> &options)
{
    struct Range
    {
        const char *option;
        int min, max;
    };
    static const Range ranges[] = {
        {"firma", 1, 32767}, {"godina", 1, 9999}, {"plan", 0, 32767},    {"od", 1, 9999},
        {"do", 1, 9999},     {"mj-od", 0, 12},    {"mj-do", 0, 12},      {"iznos", 0, 4},
        {"tip", 0, 11},      {"skala", 0, 2},     {"translacija", 0, 2}, {"prepisi", 2000, 2100}};
    // only options this window has may be asked about
    QStringList names;
    for (const QCommandLineOption &o : options)
        names += o.names();
    auto given = [&](const QString &name) { return names.contains(name) && p.isSet(name); };
    for (const Range &r : ranges) {
        const QString name = QString::fromLatin1(r.option);
        if (!given(name))
            continue;
        bool ok = false;
        const qlonglong v = p.value(name).trimmed().toLongLong(&ok);
        if (!ok || v < r.min || v > r.max) {
            err() << "--" << name << ": očekuje se cijeli broj od " << r.min << " do " << r.max
                  << ", a ne \"" << p.value(name) << "\"." << Qt::endl;
            return false;
        }
    }
    const QStringList files =
        headlessOutputs() +
        QStringList{QStringLiteral("izvjestaj-grupa"), QStringLiteral("izvjestaj-grupa-ukupno"),
                    QStringLiteral("trace-sql"), QStringLiteral("book"), QStringLiteral("conn")};
    for (const QString &name : files) {
        if (given(name) && p.value(name).trimmed().isEmpty()) {
            err() << "--" << name << ": vrijednost ne smije biti prazna." << Qt::endl;
            return false;
        }
    }
    if (!cFinGrafPromet::isPlainTableName(p.value(QStringLiteral("tablica")))) {
        err() << "--tablica: ime tablice prometa smije imati samo slova, znamenke i _ (npr. "
                 "PROMET ili PROMETMT), a ne \""
              << p.value(QStringLiteral("tablica")) << "\"." << Qt::endl;
        return false;
    }
    return true;
}

// What is wrong with the options of a definition save, before any window opens; empty when
// nothing is. The save replaces the group's accounts of the year, so it is done only when asked
// for plainly.
QString definitionOptionsProblem(const QCommandLineParser &p)
{
    const QString key = p.value(QStringLiteral("definiraj"));
    if (key.size() < 2 || !QStringLiteral("PRS").contains(key.right(1)))
        return QStringLiteral("--definiraj: ključ grupe je naziv i slovo vrste (P prihodi, R "
                              "rashodi, S saldo), npr. \"PrihodiP\", a ne \"%1\".")
            .arg(key);
    const bool renamed = p.isSet(QStringLiteral("naziv")) || p.isSet(QStringLiteral("vrsta"));
    if (!p.isSet(QStringLiteral("konta")) && !renamed)
        return QStringLiteral("--definiraj: zadajte konta grupe (--konta), ili novi naziv "
                              "(--naziv) ili vrstu (--vrsta) uz koje konta ostaju kakva jesu.");
    if (p.isSet(QStringLiteral("konta")) && p.value(QStringLiteral("konta")).trimmed().isEmpty())
        return QStringLiteral("--konta: navedite konta odvojena zarezom, npr. 7500,7501.");
    if (p.isSet(QStringLiteral("naziv"))) {
        const QString name = p.value(QStringLiteral("naziv")).trimmed();
        if (name.isEmpty() || name.size() > 30)
            return QStringLiteral("--naziv: naziv grupe ima od 1 do 30 znakova, a ne %1.")
                .arg(name.size());
        for (const QChar c : name)
            if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
                return QStringLiteral("--naziv: naziv grupe ne smije imati kontrolne znakove.");
    }
    QStringList others = headlessOutputs();
    others.removeAll(QStringLiteral("screenshot")); // the definition window's own picture
    others << QStringLiteral("izvjestaj-grupa") << QStringLiteral("izvjestaj-grupa-ukupno")
           << QStringLiteral("prepisi");
    for (const QString &o : others)
        if (p.isSet(o))
            return QStringLiteral("--definiraj se ne zadaje zajedno s --%1: spremite definiciju, "
                                  "pa to zatražite posebnim pozivom.")
                .arg(o);
    return {};
}

// Saves a group's definition as its window would and closes the chart window.
int defineGroup(frmFinGrafPrihodRashod *w, const QCommandLineParser &p, ScriptedDialogs &dialogs)
{
    if (!w)
        return 1;
    dialogs.messages.clear();
    const QString key = p.value(QStringLiteral("definiraj"));
    if (!w->tv->node(key)) {
        w->close();
        err() << "--definiraj: grupe \"" << key << "\" nema u godini "
              << p.value(QStringLiteral("godina")) << "." << Qt::endl;
        return 2;
    }
    std::optional<QStringList> accounts;
    if (p.isSet(QStringLiteral("konta"))) {
        accounts.emplace();
        for (const QString &a : p.value(QStringLiteral("konta")).split(u',', Qt::SkipEmptyParts))
            *accounts << a.trimmed();
    }
    QString pictureError;
    const bool saved = w->spremiDefiniciju(
        key,
        p.isSet(QStringLiteral("naziv")) ? p.value(QStringLiteral("naziv")).trimmed() : QString(),
        p.value(QStringLiteral("vrsta")), accounts, [&](frmFinDefKontaPrihRash &definition) {
            // the window as it would stand before the save, for a look at it
            if (!p.isSet(QStringLiteral("screenshot")))
                return;
            definition.show();
            QApplication::processEvents();
            AtomicFile::saveImage(definition.grab().toImage(),
                                  p.value(QStringLiteral("screenshot")), &pictureError);
        });
    const auto said = dialogs.messages;
    w->close();
    if (!pictureError.isEmpty())
        err() << "Desila se greška: " << pictureError << Qt::endl;
    if (saved)
        return pictureError.isEmpty() ? 0 : 1;
    for (const auto &m : said)
        err() << m.text << Qt::endl;
    return 1;
}

// The income and expense window's own work: carry-over and the group share reports.
int groupWork(frmFinGrafPrihodRashod *w, const QCommandLineParser &p, ScriptedDialogs &dialogs)
{
    auto failed = [&] {
        for (const auto &m : dialogs.messages)
            err() << m.text << Qt::endl;
        return 1;
    };
    if (p.isSet(QStringLiteral("prepisi"))) {
        dialogs.inputs.push_back(p.value(QStringLiteral("prepisi")));
        dialogs.answers.push_back(Dialogs::AnswerYes);
        w->mnuPrepišiProšlu_Click(p.value(QStringLiteral("translacija")).toInt());
        if (dialogs.texts().value(1) != u"Uspješno prepisani podaci!")
            return failed();
        // the copy is done; what it left out is said after it
        for (const QString &text : dialogs.texts().mid(2))
            QTextStream(stdout) << QString(text).replace(QStringLiteral("\r\n"),
                                                         QStringLiteral("\n"))
                                << Qt::endl;
        dialogs.messages.clear();
    }
    const char *const reports[] = {"izvjestaj-grupa", "izvjestaj-grupa-ukupno"};
    for (int i = 0; i < 2; ++i) {
        const QString option = QString::fromLatin1(reports[i]);
        if (!p.isSet(option))
            continue;
        w->mnuIspisP_Click(i + 1);
        QString error;
        if (!dialogs.messages.isEmpty() || !w->lastPreview())
            return failed();
        if (!w->lastPreview()->CRVRadnici->ExportPdf(p.value(option), &error)) {
            err() << "Desila se greška: " << error << Qt::endl;
            return 1;
        }
    }
    return 0;
}

// Options that name a tree node, as the window kinds use them.
QCommandLineOption pathOption(const WindowKind &kind, const QString &name)
{
    if (kind.takesPlan) {
        if (name == u"strana")
            return {name, QStringLiteral("Strana plana: P prihodi (zadano), R rashodi."),
                    QStringLiteral("P|R")};
        if (name == u"grupa")
            return {name, QStringLiteral("Grupa plana po nazivu."), QStringLiteral("NAZIV")};
        if (name == u"podgrupa")
            return {name, QStringLiteral("Podgrupa grupe po nazivu."), QStringLiteral("NAZIV")};
        if (name == u"analitika")
            return {name, QStringLiteral("Analitička stavka podgrupe po nazivu."),
                    QStringLiteral("NAZIV")};
    }
    if (name == u"konto")
        return {name, QStringLiteral("Konto (sintetički ili analitički)."),
                QStringLiteral("KONTO")};
    if (name == u"komitent")
        return {name, QStringLiteral("Šifra komitenta na kontu."), QStringLiteral("ŠIFRA")};
    if (name == u"grupa")
        return {name, QStringLiteral("Grupa po ključu (naziv i slovo vrste), npr. \"PrihodiP\"."),
                QStringLiteral("KLJUČ")};
    return {name, name, QStringLiteral("X")};
}

int runWindow(const WindowKind &kind, const QStringList &args)
{
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Otvara prozor grafikona kao što ga otvara knjigovodstveni program. S "
                       "--png, --svg, --pdf ili --csv\n"
                       "crta grafikon bez zaslona, zapisuje ga i završava, ne dirajući spremljene "
                       "postavke prozora."));
    p.addHelpOption();
    QList<QCommandLineOption> options = {
        {QStringLiteral("conn"), QStringLiteral("Niz za spajanje na bazu (ADO)."),
         QStringLiteral("S")},
        {QStringLiteral("demo"),
         QStringLiteral("Radi nad demo knjigom (izrađuje je ako je nema).")},
        {QStringLiteral("book"), QStringLiteral("Datoteka demo knjige."), QStringLiteral("PATH"),
         DemoBook::defaultPath()},
        {QStringLiteral("firma"), QStringLiteral("Broj poduzeća."), QStringLiteral("N"),
         QStringLiteral("1")},
        {QStringLiteral("godina"), QStringLiteral("Knjigovodstvena godina."), QStringLiteral("N"),
         QString::number(Clock::today().year())},
        {QStringLiteral("modal"), QStringLiteral("Prikaz modalno.")},
        {QStringLiteral("tablica"), QStringLiteral("Tablica prometa (PROMET ili PROMETMT)."),
         QStringLiteral("T"), QStringLiteral("PROMET")},
        {QStringLiteral("operater"), QStringLiteral("Ime operatera."), QStringLiteral("IME"),
         QStringLiteral("operater")},
        {QStringLiteral("node"), QStringLiteral("Čvor stabla po ključu, npr. \"K: 1200\"."),
         QStringLiteral("KLJUČ")},
        {QStringLiteral("od"), QStringLiteral("Prva godina."), QStringLiteral("GODINA")},
        {QStringLiteral("do"), QStringLiteral("Zadnja godina."), QStringLiteral("GODINA")},
        {QStringLiteral("mj-od"), QStringLiteral("Prvi mjesec (0-12)."), QStringLiteral("MJ")},
        {QStringLiteral("mj-do"), QStringLiteral("Zadnji mjesec (0-12)."), QStringLiteral("MJ")},
        {QStringLiteral("iznos"),
         QStringLiteral("Vrsta iznosa, indeks gumba u okviru \"Prikaz iznosa\" (od 0)."),
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
    if (kind.takesPlan)
        options.append({QStringLiteral("plan"), QStringLiteral("Broj plana."), QStringLiteral("N"),
                        QStringLiteral("1")});
    for (const QString &name : kind.pathOptions)
        options.append(pathOption(kind, name));
    const bool groups = kind.method == 3;
    if (groups)
        options << QCommandLineOption(
                       QStringLiteral("definiraj"),
                       QStringLiteral("Spremi definiciju grupe po ključu, kao prozor za konta "
                                      "grupe, i završi (uz --konta, --naziv, --vrsta)."),
                       QStringLiteral("KLJUČ"))
                << QCommandLineOption(QStringLiteral("konta"),
                                      QStringLiteral("Konta grupe, odvojena zarezom."),
                                      QStringLiteral("KONTA"))
                << QCommandLineOption(QStringLiteral("naziv"), QStringLiteral("Novi naziv grupe."),
                                      QStringLiteral("NAZIV"))
                << QCommandLineOption(QStringLiteral("vrsta"),
                                      QStringLiteral("Vrsta: P prihodi, R rashodi, S saldo."),
                                      QStringLiteral("P|R|S"))
                << QCommandLineOption(QStringLiteral("izvjestaj-grupa"),
                                      QStringLiteral("Zapiši izvještaj grupe s učešćem u % po "
                                                     "mjesecima (PDF)."),
                                      QStringLiteral("FILE"))
                << QCommandLineOption(QStringLiteral("izvjestaj-grupa-ukupno"),
                                      QStringLiteral("Zapiši izvještaj grupe s učešćem u % "
                                                     "ukupno (PDF)."),
                                      QStringLiteral("FILE"))
                << QCommandLineOption(QStringLiteral("prepisi"),
                                      QStringLiteral("Prepiši grupe i konta iz te godine u "
                                                     "knjigovodstvenu godinu (uz --translacija)."),
                                      QStringLiteral("GODINA"))
                << QCommandLineOption(QStringLiteral("translacija"),
                                      QStringLiteral("Konta pri prepisivanju: 0 ista, 1 ili 2 "
                                                     "preko SifKonta1 ili SifKonta2."),
                                      QStringLiteral("N"), QStringLiteral("0"));
    p.addOptions(options);
    p.process(args);
    if (!optionsValid(p, options))
        return 2;

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

    const bool define = groups && p.isSet(QStringLiteral("definiraj"));
    if (define) {
        if (const QString problem = definitionOptionsProblem(p); !problem.isEmpty()) {
            err() << problem << Qt::endl;
            return 2;
        }
    }
    if (define && p.isSet(QStringLiteral("vrsta")) &&
        !QStringList{QStringLiteral("P"), QStringLiteral("R"), QStringLiteral("S")}.contains(
            p.value(QStringLiteral("vrsta")))) {
        err() << "--vrsta: dopušteno je P, R ili S." << Qt::endl;
        return 2;
    }
    const bool groupOutputs = groups && (p.isSet(QStringLiteral("izvjestaj-grupa")) ||
                                         p.isSet(QStringLiteral("izvjestaj-grupa-ukupno")) ||
                                         p.isSet(QStringLiteral("prepisi")));
    if (groups &&
        !QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}.contains(
            p.value(QStringLiteral("translacija")))) {
        err() << "--translacija: dopušteno je 0, 1 ili 2." << Qt::endl;
        return 2;
    }
    const bool headless = define || groupOutputs || wantsHeadlessRun(p);
    auto scripted = std::make_shared<ScriptedDialogs>();
    // Without a screen: the workbook is written to the named file instead of being opened.
    auto workbooks = std::make_shared<FileSpreadsheets>(p.value(QStringLiteral("xlsx")));
    const Services services =
        headless
            ? Services{scripted, std::make_shared<MemorySettingsStore>(), workbooks,
                       std::make_shared<PdfPrinters>(p.value(QStringLiteral("ispis")), scripted)}
            : Services::desktop();
    cFinGrafPromet host(services);
    QString nivo = QStringLiteral("1");
    QString operater = p.value(QStringLiteral("operater"));
    qint16 plan = kind.takesPlan ? qint16(p.value(QStringLiteral("plan")).toInt()) : 0;
    const int mode = p.isSet(QStringLiteral("modal")) && !headless ? 1 : 0;
    if (!host.PrikažiProzor(
            kind.method, conn, nivo, qint16(p.value(QStringLiteral("firma")).toInt()),
            qint16(p.value(QStringLiteral("godina")).toInt()), mode, QStringLiteral("FIN"),
            p.value(QStringLiteral("tablica")), operater, plan)) {
        err() << host.lastError() << Qt::endl;
        return 1;
    }
    if (!headless)
        return mode == 1 ? 0 : QApplication::exec();
    ChartWindow *w = host.lastWindow();
    if (!w)
        return 1;
    if (define)
        return defineGroup(qobject_cast<frmFinGrafPrihodRashod *>(w), p, *scripted);
    if (groupOutputs)
        return runHeadless(w, p, kind.pathOptions, *scripted, services, [&](ChartWindow *window) {
            return groupWork(qobject_cast<frmFinGrafPrihodRashod *>(window), p, *scripted);
        });
    return runHeadless(w, p, kind.pathOptions, *scripted, services);
}

void usage(QTextStream &out)
{
    out << "Upotreba:\n"
           "  fingraf demo [--scale N] [PATH]     izradi demo knjigu\n";
    for (const WindowKind &k : windowKinds())
        out << "  fingraf " << QString::fromLatin1(k.command).leftJustified(10) << " [opcije]"
            << "       " << QString::fromUtf8(k.summary)
            << (k.create ? QString() : QStringLiteral(" (još nije dostupno)")) << "\n";
    out << "  fingraf sazetak PATH                 dodaj knjizi sažetak prometa\n"
           "  fingraf <prozor> --help              sve opcije prozora\n";
    out.flush();
}

bool asksForHelp(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--help" || a == "-h" || a == "--help-all" || a == "-?")
            return true;
    }
    return argc < 2;
}

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char **argv)
{
    // a file-size limit makes a write fail (and be reported), rather than end the process
    signal(SIGXFSZ, SIG_IGN);
    // Help needs no screen; nor does a run that only writes files, which then draws offscreen.
    std::unique_ptr<QCoreApplication> app;
    if (asksForHelp(argc, argv)) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        if (!hasDisplay()) {
            for (int i = 1; i < argc; ++i)
                for (const QString &o : headlessOutputs())
                    if (QString::fromLocal8Bit(argv[i]).startsWith(QStringLiteral("--") + o))
                        qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app = std::make_unique<QApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("fingraf"));
    const QStringList args = QCoreApplication::arguments();
    const QString command = args.value(1);
    QStringList rest = args;
    if (rest.size() > 1)
        rest.removeAt(1);
    if (command == u"demo" || command == u"--demo")
        return runDemo(rest);
    if (command == u"sazetak")
        return runSummary(rest);
    if (const WindowKind *kind = windowKindByCommand(command))
        return runWindow(*kind, rest);
    QTextStream out(command.isEmpty() || command.startsWith(u'-') ? stdout : stderr);
    usage(out);
    return command == u"--help" || command == u"-h" ? 0 : 2;
}
