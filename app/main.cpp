// fingraf: plays the bookkeeping host. It opens the component's chart windows over a book, draws
// charts without a screen, and makes the embedded demo book.
#include "book/bookstatements.h"
#include "book/turnoversummary.h"
#include "chartwin/chartwindow.h"
#include "demobook.h"
#include "entry/cfingrafpromet.h"
#include "entry/windowkinds.h"
#include "headless.h"
#include "platform/clock/clock.h"
#include "platform/data/booklock.h"
#include "platform/data/connectionstring.h"
#include "platform/data/pristuppodacima.h"
#include "platform/files/atomicfile.h"
#include "platform/services.h"
#include "platform/widgets/keyedtree.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <memory>
#include <optional>

#include <csignal>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// What the process ends with: scripts tell the three apart.
enum ExitCode { Done = 0, CouldNot = 1, BadOption = 2 };

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

// Qt's own diagnostics (a missing runtime folder, what a platform plugin cannot do) are for
// whoever debugs fingraf, not for the user of a run: they are shown only when asked for. A
// failure Qt reports as critical or fatal is shown always.
bool g_qtDiagnostics = false;
QtMessageHandler g_qtHandler = nullptr;

void filterQtMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (g_qtDiagnostics || type == QtCriticalMsg || type == QtFatalMsg)
        g_qtHandler(type, context, text);
}

// Ended by Ctrl+C or a kill, the process leaves none of its half-written files behind; then the
// signal does what it would have done. Every entry removes the files before it ends the process:
// a second signal (a kill sent to the process and again to its group) may reach another thread
// while the first handler still runs, and the process must not end there with the files left.
extern "C" void endBySignal(int signal)
{
    StagedFile::removeAllStaged();
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    // delivered when the handler returns: this ends the process as the signal would
    ::raise(signal);
}

void removeStagedFilesOnSignals()
{
    struct sigaction action = {};
    action.sa_handler = endBySignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&action.sa_mask, signal);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // an interrupt or hangup the caller ignores stays ignored (a job in the background,
        // nohup): it would not have ended the process
        struct sigaction was = {};
        if (sigaction(signal, nullptr, &was) == 0 && was.sa_handler == SIG_IGN && signal != SIGTERM)
            continue;
        sigaction(signal, &action, nullptr);
    }
}

// A long piece of work shows how far it has come on standard error, when a person watches it
// there (a terminal); a script reading it gets nothing.
class Progress
{
public:
    explicit Progress(QString what) : m_what(std::move(what)), m_shown(::isatty(STDERR_FILENO)) {}
    ~Progress() { clear(); }
    void operator()(int percent)
    {
        if (!m_shown || percent == m_last)
            return;
        m_last = percent;
        m_line = QStringLiteral("%1: %2 %").arg(m_what).arg(percent, 3);
        err() << '\r' << m_line << Qt::flush;
    }
    // the line goes before anything else is said
    void clear()
    {
        if (m_shown && !m_line.isEmpty())
            err() << '\r' << QString(m_line.size(), u' ') << '\r' << Qt::flush;
        m_line.clear();
    }

private:
    QString m_what;
    bool m_shown;
    int m_last = -1;
    QString m_line;
};

// ---- help

QString optionNames(const QCommandLineOption &o)
{
    QStringList names;
    for (const QString &n : o.names())
        names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    QString text = names.join(QStringLiteral(", "));
    if (!o.valueName().isEmpty())
        text += u' ' + o.valueName();
    return text;
}

const char *const kExitCodes = "Izlazni kodovi:\n"
                               "  0  učinjeno je sve što je traženo\n"
                               "  1  nije se moglo učiniti (knjiga, čvor stabla, datoteka); uzrok "
                               "je ispisan na standardni izlaz za greške\n"
                               "  2  pogrešna naredba, opcija ili vrijednost opcije; ništa nije "
                               "učinjeno\n";

const char *const kEnvironment =
    "Okolina:\n"
    "  FINGRAF_DEBUG=1   ispisuje i Qtove vlastite dijagnostičke poruke (kao --debug)\n";

struct Help
{
    QString usage;         ///< the first line: how the command is written
    QString description;   ///< what it does
    QStringList arguments; ///< "NAME  what it is", one per argument
    QList<QCommandLineOption> options;
    /// Lines under an option: the values it takes, by name.
    std::function<QStringList(const QString &name)> values;
};

void printHelp(const Help &h)
{
    QTextStream out(stdout);
    out << h.usage << "\n\n" << h.description << "\n";
    if (!h.arguments.isEmpty()) {
        out << "\nArgumenti:\n";
        for (const QString &a : h.arguments)
            out << "  " << a << "\n";
    }
    out << "\nOpcije:\n";
    constexpr int column = 30;
    for (const QCommandLineOption &o : h.options) {
        const QString names = optionNames(o);
        out << "  " << names;
        if (names.size() < column - 3)
            out << QString(column - 2 - names.size(), u' ');
        else
            out << "\n" << QString(column, u' ');
        out << o.description() << "\n";
        if (h.values)
            for (const QString &line : h.values(o.names().constLast()))
                out << QString(column + 2, u' ') << line << "\n";
    }
    out << "\n" << QString::fromUtf8(kExitCodes) << "\n" << QString::fromUtf8(kEnvironment);
}

QCommandLineOption helpOption()
{
    return {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Ispiši ovu pomoć.")};
}

QCommandLineOption debugOption()
{
    return {QStringLiteral("debug"),
            QStringLiteral("Ispiši i Qtove vlastite dijagnostičke poruke.")};
}

bool asksForHelp(const QStringList &args)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == u"--help" || a == u"-h" || a == u"--help-all" || a == u"-?")
            return true;
    }
    return false;
}

// ---- options

// Parses the command's arguments; on a mistake says which in Croatian, shows how the command is
// written and returns false (the run ends with BadOption). Every value is checked not to be the
// next option: "--konto --png x.png" lacks the account, it does not name one.
bool parse(QCommandLineParser &p, const QStringList &args, const QList<QCommandLineOption> &options,
           const QString &usage, int maxArguments)
{
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    p.addOptions(options);
    QString error;
    if (!p.parse(args)) {
        QStringList unknown;
        for (const QString &n : p.unknownOptionNames())
            unknown << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        const QRegularExpressionMatch missing =
            QRegularExpression(QStringLiteral("'([^']+)'")).match(p.errorText());
        if (!unknown.isEmpty())
            error = (unknown.size() == 1 ? QStringLiteral("Nepoznata opcija: %1.")
                                         : QStringLiteral("Nepoznate opcije: %1."))
                        .arg(unknown.join(QStringLiteral(", ")));
        else if (missing.hasMatch())
            error = QStringLiteral("%1: nedostaje vrijednost.").arg(missing.captured(1));
        else
            error = p.errorText();
    }
    for (const QCommandLineOption &o : options) {
        if (!error.isEmpty())
            break;
        const QString name = o.names().constLast();
        if (o.valueName().isEmpty() || !p.isSet(name))
            continue;
        for (const QString &value : p.values(name))
            if (value.startsWith(QLatin1String("--"))) {
                error = QStringLiteral("--%1: nedostaje vrijednost (\"%2\" je opcija, a ne "
                                       "vrijednost).")
                            .arg(name, value);
                break;
            }
    }
    if (error.isEmpty() && p.positionalArguments().size() > maxArguments)
        error = QStringLiteral("Neočekivan argument: \"%1\".")
                    .arg(p.positionalArguments().value(maxArguments));
    if (error.isEmpty())
        return true;
    err() << error << Qt::endl
          << "Upotreba: " << usage << Qt::endl
          << "Sve opcije: " << usage.section(u' ', 0, 1) << " --help" << Qt::endl;
    return false;
}

// ---- demo and summary

int runDemo(const QStringList &args)
{
    const QString usage = QStringLiteral("fingraf demo [--scale N] [PUTANJA]");
    const QList<QCommandLineOption> options = {
        {QStringLiteral("scale"),
         QStringLiteral("Množi komitente i promet (1: oko 10.000 redaka prometa; 1 do 1000)."),
         QStringLiteral("N"), QStringLiteral("1")},
        debugOption(),
        helpOption()};
    if (asksForHelp(args)) {
        printHelp(
            {usage,
             QStringLiteral(
                 "Izrađuje demo knjigu (SQLite) ako je nema i ispisuje što sadrži; postojeću "
                 "datoteku nikad ne mijenja.\nNa terminalu pokazuje koliko je posla gotovo."),
             {QStringLiteral("PUTANJA  datoteka knjige (zadano: %1)").arg(DemoBook::defaultPath())},
             options,
             {}});
        return Done;
    }
    QCommandLineParser p;
    if (!parse(p, args, options, usage, 1))
        return BadOption;
    DemoBook::Options o;
    bool ok = false;
    o.scale = p.value(QStringLiteral("scale")).trimmed().toInt(&ok);
    if (!ok || o.scale < 1 || o.scale > 1000) {
        err() << "--scale: očekuje se cijeli broj od 1 do 1000, a ne \""
              << p.value(QStringLiteral("scale")) << "\"." << Qt::endl;
        return BadOption;
    }
    const QString path = p.positionalArguments().value(0, DemoBook::defaultPath());
    Progress progress(QStringLiteral("Demo knjiga"));
    o.progress = std::ref(progress);
    QString error;
    const bool made = DemoBook::create(path, o, &error);
    progress.clear();
    if (!made) {
        err() << error << Qt::endl;
        return CouldNot;
    }
    QTextStream(stdout) << path << Qt::endl << DemoBook::summary(path) << Qt::endl;
    return Done;
}

// fingraf sazetak [--provjeri | --obnovi] PATH: gives the book the turnover summary that
// account-level charts are then read from, checks it against the turnover rows, or makes it anew.
// The only change to a book's schema fingraf makes, and only when asked.
int runSummary(const QStringList &args)
{
    const QString usage = QStringLiteral("fingraf sazetak [--provjeri | --obnovi] PUTANJA");
    const QCommandLineOption checkOption(
        QStringLiteral("provjeri"),
        QStringLiteral("Usporedi sažetak s prometom, ključ po ključ; ne mijenja knjigu. Izlazi s 1 "
                       "i navodi ključeve (poduzeće, godina, konto) koji se razlikuju."));
    const QCommandLineOption rebuildOption(
        QStringLiteral("obnovi"),
        QStringLiteral("Izbriši sažetak kakav god jest i izradi ga ponovo iz prometa."));
    const QList<QCommandLineOption> options = {checkOption, rebuildOption, debugOption(),
                                               helpOption()};
    if (asksForHelp(args)) {
        printHelp({usage,
                   QStringLiteral("Dodaje knjizi (SQLite) sažetak prometa po poduzeću, godini i "
                                  "kontu, koji okidači drže točnim;\ngrafikoni konta tada se "
                                  "čitaju iz njega. Knjiga koja ga već ima ostaje kakva jest.\nNa "
                                  "terminalu pokazuje koliko je posla gotovo."),
                   {QStringLiteral("PUTANJA  datoteka knjige")},
                   options,
                   {}});
        return Done;
    }
    QCommandLineParser p;
    if (!parse(p, args, options, usage, 1))
        return BadOption;
    if (p.positionalArguments().isEmpty()) {
        err() << "Nije zadana datoteka knjige." << Qt::endl << "Upotreba: " << usage << Qt::endl;
        return BadOption;
    }
    if (p.isSet(checkOption) && p.isSet(rebuildOption)) {
        err() << "Opcije --provjeri i --obnovi ne idu zajedno." << Qt::endl
              << "Upotreba: " << usage << Qt::endl;
        return BadOption;
    }
    const QString book = p.positionalArguments().constFirst();
    QString error;
    if (p.isSet(checkOption)) {
        QStringList differences;
        if (!TurnoverSummary::checkBook(book, &differences, &error)) {
            err() << error << Qt::endl;
            return CouldNot;
        }
        QTextStream out(stdout);
        if (differences.isEmpty()) {
            out << "Sažetak prometa jednak je prometu." << Qt::endl;
            return Done;
        }
        out << QStringLiteral("Sažetak prometa razlikuje se od prometa (ključeva: %1):")
                   .arg(differences.size())
            << Qt::endl;
        for (const QString &d : std::as_const(differences))
            out << "  " << d << Qt::endl;
        out << "Obnovite ga: fingraf sazetak --obnovi " << book << Qt::endl;
        return CouldNot;
    }
    const bool rebuild = p.isSet(rebuildOption);
    QStringList added;
    Progress progress(QStringLiteral("Sažetak prometa"));
    const bool done = TurnoverSummary::addToBook(book, &added, &error, std::ref(progress),
                                                 rebuild ? TurnoverSummary::Mode::Rebuild
                                                         : TurnoverSummary::Mode::Add);
    progress.clear();
    if (!done) {
        err() << error << Qt::endl;
        return CouldNot;
    }
    QTextStream(stdout) << (added.isEmpty() ? QStringLiteral("Knjiga već ima sažetak prometa.")
                            : rebuild       ? QStringLiteral("Sažetak prometa obnovljen za: ") +
                                            added.join(QStringLiteral(", "))
                                      : QStringLiteral("Sažetak prometa dodan za: ") +
                                            added.join(QStringLiteral(", ")))
                        << Qt::endl;
    return Done;
}

// ---- chart windows

// Every option value is checked before a window opens: a number within its range (the amount
// kind within the window's), a file name that is not empty, a table name that is a plain
// identifier, a plan side that is one, and a tree path named from its top.
bool optionsValid(const QCommandLineParser &p, const QList<QCommandLineOption> &options,
                  const WindowKind &kind, const WindowCommand &launcher)
{
    struct Range
    {
        const char *option;
        int min, max;
    };
    const int amountKinds = int(kind.design().amountKinds.size());
    const Range ranges[] = {
        {"firma", 1, 32767}, {"godina", 1, 9999}, {"plan", 0, 32767}, {"od", 1, 9999},
        {"do", 1, 9999},     {"mj-od", 0, 12},    {"mj-do", 0, 12},   {"iznos", 0, amountKinds - 1},
        {"tip", 0, 11},      {"skala", 0, 2}};
    // only options this window has may be asked about
    QStringList names;
    for (const QCommandLineOption &o : options)
        names += o.names();
    auto given = [&](const QString &name) { return names.contains(name) && p.isSet(name); };
    auto refuse = [](const QString &text) {
        err() << text << Qt::endl;
        return false;
    };
    for (const Range &r : ranges) {
        const QString name = QString::fromLatin1(r.option);
        if (!given(name))
            continue;
        bool ok = false;
        const qlonglong v = p.value(name).trimmed().toLongLong(&ok);
        if (!ok || v < r.min || v > r.max)
            return refuse(QStringLiteral("--%1: očekuje se cijeli broj od %2 do %3, a ne \"%4\".")
                              .arg(name)
                              .arg(r.min)
                              .arg(r.max)
                              .arg(p.value(name)));
    }
    const QStringList notEmpty =
        headlessOutputs() + QStringList{QStringLiteral("trace-sql"), QStringLiteral("book"),
                                        QStringLiteral("conn"), QStringLiteral("node")};
    for (const QString &name : notEmpty)
        if (given(name) && p.value(name).trimmed().isEmpty())
            return refuse(QStringLiteral("--%1: vrijednost ne smije biti prazna.").arg(name));
    if (!cFinGrafPromet::isPlainTableName(p.value(QStringLiteral("tablica"))))
        return refuse(QStringLiteral("--tablica: ime tablice prometa smije imati samo slova, "
                                     "znamenke i _ (npr. PROMET ili PROMETMT), a ne \"%1\".")
                          .arg(p.value(QStringLiteral("tablica"))));
    // a node by its path: each name given is not empty and has the ones above it
    const QStringList path = launcher.pathNames();
    for (int i = 0; i < path.size(); ++i) {
        if (!p.isSet(path[i]))
            continue;
        if (p.value(path[i]).trimmed().isEmpty())
            return refuse(QStringLiteral("--%1: vrijednost ne smije biti prazna.").arg(path[i]));
        for (int above = 0; above < i; ++above)
            if (!launcher.pathDefaults.contains(path[above]) && !p.isSet(path[above]))
                return refuse(QStringLiteral("--%1: zadaje se uz --%2, koja nije zadana.")
                                  .arg(path[i], path[above]));
    }
    // the kind's own options
    if (launcher.check)
        if (const QString problem = launcher.check(p, headlessOutputs()); !problem.isEmpty())
            return refuse(problem);
    return true;
}

// An X display on this machine (":1", "unix:1.0") whose socket is not there: a display left
// behind in the environment, by an ended ssh session or a stopped Xvfb, that Qt could not reach
// (it would abort). Empty when there is none, or when it may be reachable.
QString deadLocalDisplay()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return {};
    const QString display = qEnvironmentVariable("DISPLAY");
    static const QRegularExpression local(QStringLiteral("^(?:unix)?:(\\d+)(?:\\.\\d+)?$"));
    const QRegularExpressionMatch m = local.match(display);
    if (!m.hasMatch() || QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + m.captured(1)))
        return {};
    return display;
}

// Why an embedded book the windows are to read is none: an empty file or another program's
// database has no chart of accounts. Empty when it has one, or when it is no embedded book.
QString notABook(const QString &conn)
{
    const ConnectionTarget target = ConnectionTarget::parse(conn);
    if (target.kind != ConnectionTarget::Sqlite)
        return {};
    sqlite3 *db = nullptr;
    int found = SQLITE_ERROR;
    if (sqlite3_open_v2(QFile::encodeName(target.sqlitePath).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db, BookLock::kWaitMs);
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(db,
                               "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND "
                               "name = 'KONTO' COLLATE NOCASE",
                               -1, &s, nullptr) == SQLITE_OK)
            found = sqlite3_step(s);
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    // anything else (a lock, say) is told by the step that meets it
    if (found != SQLITE_DONE)
        return {};
    return QStringLiteral("Datoteka \"%1\" nije knjiga: u njoj nema kontnog plana (tablice KONTO).")
        .arg(target.sqlitePath);
}

QList<QCommandLineOption> windowOptions(const WindowKind &kind, const WindowCommand &launcher)
{
    const WindowDesign design = kind.design();
    QList<QCommandLineOption> options = {
        {QStringLiteral("conn"),
         QStringLiteral("Niz za spajanje na bazu (ADO) ili datoteka knjige."),
         QStringLiteral("NIZ")},
        {QStringLiteral("demo"),
         QStringLiteral("Radi nad demo knjigom (izrađuje je ako je nema).")},
        {QStringLiteral("book"), QStringLiteral("Datoteka demo knjige."), QStringLiteral("PUTANJA"),
         DemoBook::defaultPath()},
        {QStringLiteral("firma"), QStringLiteral("Broj poduzeća (zadano 1)."), QStringLiteral("N"),
         QStringLiteral("1")},
        {QStringLiteral("godina"), QStringLiteral("Knjigovodstvena godina (zadano ova)."),
         QStringLiteral("N"), QString::number(Clock::today().year())},
        {QStringLiteral("modal"), QStringLiteral("Prikaz modalno.")},
        {QStringLiteral("tablica"), QStringLiteral("Tablica prometa (PROMET ili PROMETMT)."),
         QStringLiteral("TABLICA"), QStringLiteral("PROMET")},
        {QStringLiteral("operater"), QStringLiteral("Ime operatera."), QStringLiteral("IME"),
         QStringLiteral("operater")},
        {QStringLiteral("node"),
         QStringLiteral("Čvor stabla po ključu, npr. %1; ključ koji imaju dva čvora se odbija.")
             .arg(launcher.nodeKeyExample),
         QStringLiteral("KLJUČ")},
        {QStringLiteral("od"), QStringLiteral("Prva godina."), QStringLiteral("GODINA")},
        {QStringLiteral("do"), QStringLiteral("Zadnja godina."), QStringLiteral("GODINA")},
        {QStringLiteral("mj-od"), QStringLiteral("Prvi mjesec (0-12)."), QStringLiteral("MJ")},
        {QStringLiteral("mj-do"), QStringLiteral("Zadnji mjesec (0-12)."), QStringLiteral("MJ")},
    };
    if (!design.amountKinds.isEmpty())
        options.append({QStringLiteral("iznos"),
                        QStringLiteral("Vrsta iznosa, gumb okvira \"Prikaz iznosa\":"),
                        QStringLiteral("N")});
    options << QCommandLineOption{QStringLiteral("tip"),
                                  QStringLiteral("Vrsta grafikona, indeks liste:"),
                                  QStringLiteral("N")}
            << QCommandLineOption{QStringLiteral("skala"), QStringLiteral("Os grafikona:"),
                                  QStringLiteral("N")}
            << QCommandLineOption{QStringLiteral("png"), QStringLiteral("Zapiši grafikon kao PNG."),
                                  QStringLiteral("DATOTEKA")}
            << QCommandLineOption{QStringLiteral("svg"), QStringLiteral("Zapiši grafikon kao SVG."),
                                  QStringLiteral("DATOTEKA")}
            << QCommandLineOption{QStringLiteral("pdf"), QStringLiteral("Zapiši grafikon kao PDF."),
                                  QStringLiteral("DATOTEKA")}
            << QCommandLineOption{QStringLiteral("csv"),
                                  QStringLiteral("Zapiši podatke grafikona kao CSV."),
                                  QStringLiteral("DATOTEKA")}
            << QCommandLineOption{QStringLiteral("screenshot"),
                                  QStringLiteral("Zapiši sliku cijelog prozora (PNG)."),
                                  QStringLiteral("DATOTEKA")}
            << QCommandLineOption{QStringLiteral("xlsx"),
                                  QStringLiteral(
                                      "Prebaci podatke grafikona u radnu knjigu (XLSX)."),
                                  QStringLiteral("DATOTEKA")}
            << QCommandLineOption{QStringLiteral("ispis"),
                                  QStringLiteral("Ispiši grafikon na PDF pisač."),
                                  QStringLiteral("DATOTEKA")}
            << QCommandLineOption{QStringLiteral("izvjestaj"),
                                  QStringLiteral("Zapiši izvještaj po mjesecima (PDF); s "
                                                 "--screenshot i slika pregleda."),
                                  QStringLiteral("DATOTEKA")}
            << QCommandLineOption{QStringLiteral("grid"),
                                  QStringLiteral("Prikaži tablicu umjesto grafikona.")}
            << QCommandLineOption{QStringLiteral("patern"),
                                  QStringLiteral("Uzorci za crno-bijeli ispis umjesto boja.")}
            << QCommandLineOption{QStringLiteral("trace-sql"),
                                  QStringLiteral("Dopisuj svaku naredbu u datoteku."),
                                  QStringLiteral("DATOTEKA")};
    if (kind.takesPlan)
        options.append({QStringLiteral("plan"), QStringLiteral("Broj plana (zadano 1)."),
                        QStringLiteral("N"), QStringLiteral("1")});
    options << launcher.path << launcher.work;
    options << debugOption() << helpOption();
    return options;
}

// The values an option of the window takes, listed under it in the help.
QStringList optionValues(const WindowKind &kind, const QString &name)
{
    QStringList lines;
    if (name == u"iznos") {
        const auto kinds = kind.design().amountKinds;
        for (int i = 0; i < kinds.size(); ++i)
            lines << QStringLiteral("%1  %2").arg(i, 2).arg(kinds[i].caption);
    } else if (name == u"tip") {
        const QStringList types = ChartWindow::chartTypeNames();
        for (int i = 0; i < types.size(); ++i)
            lines << QStringLiteral("%1  %2").arg(i, 2).arg(types[i]);
        lines << QStringLiteral("3D vrste (0, 2, 4, 6 i 8) crta OpenGL; gdje ga nema (bez "
                                "zaslona),")
              << QStringLiteral("crta se njihov 2D par.");
    } else if (name == u"skala") {
        const QStringList scales = ChartWindow::scaleNames();
        for (int i = 0; i < scales.size(); ++i)
            lines << QStringLiteral("%1  %2").arg(i, 2).arg(scales[i]);
    }
    return lines;
}

Help windowHelp(const WindowKind &kind)
{
    const WindowCommand launcher = kind.launcher();
    const QString command = QString::fromLatin1(kind.command);
    return {QStringLiteral("fingraf %1 [opcije]").arg(command),
            QStringLiteral("Otvara prozor \"%1\" (%2) kao što ga otvara knjigovodstveni program.\n"
                           "S --png, --svg, --pdf, --csv, --screenshot, --xlsx, --ispis ili "
                           "--izvjestaj%3 ne pokazuje prozor:\n"
                           "crta bez zaslona, zapisuje datoteke i završava, ne dirajući spremljene "
                           "postavke prozora.\n"
                           "Uspješan rad ne ispisuje ništa osim onoga što je traženo.")
                .arg(kind.design().caption, QString::fromUtf8(kind.summary), launcher.workHelp),
            {},
            windowOptions(kind, launcher),
            [&kind](const QString &name) { return optionValues(kind, name); }};
}

// Whether windows can be shown here; if not, says why and what can be done without a screen.
bool canShowWindows()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        return true;
    if (const QString dead = deadLocalDisplay(); !dead.isEmpty())
        err() << "Prozor se ne može pokazati: zaslon DISPLAY=" << dead << " nije dostupan."
              << Qt::endl;
    else
        err() << "Prozor se ne može pokazati: nema zaslona (ni DISPLAY ni WAYLAND_DISPLAY nije "
                 "postavljen)."
              << Qt::endl;
    err() << "Bez zaslona crta se u datoteku: --png, --svg, --pdf, --csv, --xlsx, --ispis ili "
             "--izvjestaj."
          << Qt::endl;
    return false;
}

// The book the window reads, made when it is the demo book: its connection string in *conn. A
// book that cannot be read, or written by work that writes, is said once, and nothing opens: a
// book another program holds is waited for, then refused.
bool bookReady(const QCommandLineParser &p, bool forWriting, QString *conn)
{
    *conn = p.value(QStringLiteral("conn"));
    if (p.isSet(QStringLiteral("demo")) || conn->isEmpty()) {
        const QString book = p.value(QStringLiteral("book"));
        QString error;
        if (!DemoBook::create(book, DemoBook::Options(), &error)) {
            err() << error << Qt::endl;
            return false;
        }
        *conn = QStringLiteral("Provider=SQLite;Data Source=") + book;
    }
    cPristupPodacima::setFailureTrace(noteDatabaseCause);
    cPristupPodacima book;
    if (!book.checkConnection(*conn, forWriting)) {
        err() << book.OpisGreske() << Qt::endl;
        return false;
    }
    if (const QString noBook = notABook(*conn); !noBook.isEmpty()) {
        err() << noBook << Qt::endl;
        return false;
    }
    return true;
}

// With --trace-sql, every statement is appended to the file, which *trace then holds open.
bool traceStatements(const QCommandLineParser &p, std::unique_ptr<QFile> *trace)
{
    if (!p.isSet(QStringLiteral("trace-sql")))
        return true;
    *trace = std::make_unique<QFile>(p.value(QStringLiteral("trace-sql")));
    if (!(*trace)->open(QIODevice::Append | QIODevice::Text)) {
        err() << "Datoteka za praćenje naredbi se ne može otvoriti: " << (*trace)->fileName()
              << " (" << (*trace)->errorString() << ")" << Qt::endl;
        return false;
    }
    cPristupPodacima::setTrace([f = trace->get()](const QString &stage, const QString &sql) {
        f->write((stage + QStringLiteral(": ") + sql + u'\n').toUtf8());
        f->flush();
    });
    return true;
}

// Opens the window as the host does, then shows it, or, without a screen, does what the options
// ask of it: the kind's own work, or the chosen node drawn and written out.
int openWindow(const WindowKind &kind, const WindowCommand &launcher, const QCommandLineParser &p,
               const QString &conn, bool headless)
{
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
        return reportFailure(*scripted, {host.lastError()});
    }
    if (!headless)
        return mode == 1 ? Done : QApplication::exec();
    ChartWindow *w = host.lastWindow();
    if (!w)
        return reportFailure(*scripted, {QStringLiteral("Prozor nije otvoren.")});
    std::unique_ptr<Progress> progress;
    WindowCommand::Run run{
        *scripted, [&scripted](const QStringList &own) { return reportFailure(*scripted, own); },
        [](const QString &line) { err() << line << Qt::endl; },
        [&progress](const QString &what, int percent) {
            if (percent < 0) {
                progress.reset();
                return;
            }
            if (!progress)
                progress = std::make_unique<Progress>(what);
            (*progress)(percent);
        }};
    if (launcher.insteadOfDrawing)
        if (const std::optional<int> code = launcher.insteadOfDrawing(w, p, run))
            return *code;
    std::function<int(ChartWindow *)> more;
    if (launcher.afterDrawing)
        more = [&](ChartWindow *window) { return launcher.afterDrawing(window, p, run); };
    return runHeadless(w, p, launcher, *scripted, services, more);
}

// A window's command: its options read and checked, the book made ready, then the window.
int runWindow(const WindowKind &kind, const QStringList &args)
{
    if (asksForHelp(args)) {
        printHelp(windowHelp(kind));
        return Done;
    }
    const WindowCommand launcher = kind.launcher();
    const QList<QCommandLineOption> options = windowOptions(kind, launcher);
    QCommandLineParser p;
    if (!parse(p, args, options,
               QStringLiteral("fingraf %1 [opcije]").arg(QString::fromLatin1(kind.command)), 0) ||
        !optionsValid(p, options, kind, launcher))
        return BadOption;
    QString conn;
    std::unique_ptr<QFile> trace;
    if (!canShowWindows() || !bookReady(p, launcher.asksForWriting(p), &conn) ||
        !traceStatements(p, &trace))
        return CouldNot;
    return openWindow(kind, launcher, p, conn,
                      launcher.asksForWindowlessWork(p) || wantsHeadlessRun(p));
}

void usage(QTextStream &out)
{
    auto line = [&out](const QString &command, const QString &what) {
        out << "  " << command.leftJustified(36) << ' ' << what << "\n";
    };
    out << "Upotreba:\n";
    line(QStringLiteral("fingraf demo [--scale N] [PUTANJA]"),
         QStringLiteral("izradi demo knjigu"));
    for (const WindowKind &k : windowKinds())
        line(QStringLiteral("fingraf %1 [opcije]").arg(QString::fromLatin1(k.command)),
             QString::fromUtf8(k.summary) +
                 (k.create ? QString() : QStringLiteral(" (još nije dostupno)")));
    line(QStringLiteral("fingraf sazetak PUTANJA"), QStringLiteral("dodaj knjizi sažetak prometa"));
    line(QStringLiteral("fingraf sazetak --provjeri PUTANJA"),
         QStringLiteral("usporedi sažetak s prometom"));
    line(QStringLiteral("fingraf sazetak --obnovi PUTANJA"),
         QStringLiteral("izradi sažetak ponovo iz prometa"));
    line(QStringLiteral("fingraf <prozor> --help"), QStringLiteral("sve opcije prozora"));
    out << "\n" << QString::fromUtf8(kExitCodes);
    out.flush();
}

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
           (!qEnvironmentVariableIsEmpty("DISPLAY") && deadLocalDisplay().isEmpty()) ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Whether the arguments ask for work that shows no window: files of the window's output, or the
// income and expense window's own work.
bool showsNoWindow(const QStringList &args)
{
    for (const QString &a : args)
        for (const QString &o : windowlessOptions())
            if (a == QStringLiteral("--") + o || a.startsWith(QStringLiteral("--") + o + u'='))
                return true;
    return false;
}

bool asksForDiagnostics(const QStringList &args)
{
    const QByteArray debug = qgetenv("FINGRAF_DEBUG");
    return args.contains(QStringLiteral("--debug")) || (!debug.isEmpty() && debug != "0") ||
           qEnvironmentVariableIsSet("QT_LOGGING_RULES");
}

} // namespace

int main(int argc, char **argv)
{
    // a file-size limit makes a write fail (and be reported), rather than end the process
    signal(SIGXFSZ, SIG_IGN);
    removeStagedFilesOnSignals();
    BookStatements::install();
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    g_qtDiagnostics = asksForDiagnostics(raw);
    g_qtHandler = qInstallMessageHandler(filterQtMessages);

    // Only a window on the screen needs a platform with a display. The demo book, the summary,
    // the help and a mistake need none; a window's work without a window draws offscreen when
    // there is no display (with one it draws there: the 3D charts want its OpenGL).
    const QString command = raw.value(1);
    const WindowKind *kind = windowKindByCommand(command);
    std::unique_ptr<QCoreApplication> app;
    if (!kind || asksForHelp(raw) || (!hasDisplay() && !showsNoWindow(raw))) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        if (!hasDisplay())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("fingraf"));
    const QStringList args = QCoreApplication::arguments();
    QStringList rest = args;
    if (rest.size() > 1)
        rest.removeAt(1);
    if (command == u"demo" || command == u"--demo")
        return runDemo(rest);
    if (command == u"sazetak")
        return runSummary(rest);
    if (kind)
        return runWindow(*kind, rest);
    if (command == u"--help" || command == u"-h" || command == u"-?" || command == u"--help-all") {
        QTextStream out(stdout);
        usage(out);
        return Done;
    }
    if (command.isEmpty()) {
        QTextStream out(stdout);
        usage(out);
        return BadOption;
    }
    err() << (command.startsWith(u'-')
                  ? QStringLiteral("Nepoznata opcija: %1.").arg(command)
                  : QStringLiteral("Nepoznat prozor ili naredba: \"%1\".").arg(command))
          << Qt::endl;
    usage(err());
    return BadOption;
}
