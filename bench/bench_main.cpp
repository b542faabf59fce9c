// Speed of the turnover windows on a large book: each database step against the bare SQLite
// engine running the same statement, and against the bare engine running the statement as it
// was before the turnover summary answered it; the window steps end to end, with and without the
// summary; and peak memory.
//
//   fingraf_bench [--scale N] [--runs N] [--book PATH]
//
// The book is made once (default: the user's cache folder) and reused by later runs.
#include "book/bookstatements.h"
#include "book/distinctrewrite.h"
#include "book/turnoversummary.h"
#include "chartwin/chartwindow.h"
#include "chartwin/hostcontext.h"
#include "demobook.h"
#include "entry/cfingrafpromet.h"
#include "incexp/frmfindefkontaprihrash.h"
#include "incexp/frmfingrafprihodrashod.h"
#include "incexp/incexpstatements.h"
#include "output/frmispiscr.h"
#include "output/recordsetmodel.h"
#include "output/reportviewer.h"
#include "plan/planstatements.h"
#include "platform/chart/chart3d.h"
#include "platform/chart/chartcontrol.h"
#include "platform/clock/clock.h"
#include "platform/data/pristuppodacima.h"
#include "platform/data/sqlitefunctions.h"
#include "platform/data/tsqladapter.h"
#include "platform/dialogs/dialogs.h"
#include "platform/services.h"
#include "platform/settings/settingsstore.h"
#include "platform/widgets/keyedtree.h"
#include "turnover/turnoverstatements.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

QTextStream out(stdout);

double median(QVector<double> v)
{
    std::sort(v.begin(), v.end());
    const int n = v.size();
    return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

double once(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

/// Median milliseconds of runs calls after one warm-up call.
double timeIt(int runs, const std::function<void()> &work)
{
    work();
    QVector<double> ms;
    for (int i = 0; i < runs; ++i)
        ms << once(work);
    return median(ms);
}

/// The same book opened by SQLite itself the way our data access opens it (an empty main
/// database with the book attached as dbo, LEN and STR registered), with no layer above it.
class BareBook
{
public:
    explicit BareBook(const QString &path)
    {
        sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr);
        const QByteArray attach =
            "ATTACH DATABASE 'file:" + QFileInfo(path).absoluteFilePath().toUtf8() +
            "?mode=ro' AS dbo";
        sqlite3_exec(m_db, attach.constData(), nullptr, nullptr, nullptr);
        SqliteFunctions::registerAll(m_db);
        m_summaries = TurnoverSummary::usable(m_db, QStringLiteral("dbo"));
        m_rowKeys = DistinctRewrite::rowKeys(m_db, QStringLiteral("dbo"));
    }
    ~BareBook() { sqlite3_close(m_db); }

    /// The book's turnover summaries, as the data access finds them.
    const QVector<SummaryTable> &summaries() const { return m_summaries; }
    /// Its tables' rowid columns, as the data access finds them.
    const QSet<QString> &rowKeys() const { return m_rowKeys; }

    /// Runs an adapted statement to its end, reading every value; the number of rows.
    int run(const QByteArray &sql) const
    {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.constData(), -1, &s, nullptr) != SQLITE_OK) {
            out << "bare engine refuses: " << sqlite3_errmsg(m_db) << "\n" << sql << "\n";
            out.flush();
            std::exit(2);
        }
        int rows = 0;
        double sink = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            ++rows;
            for (int c = 0, n = sqlite3_column_count(s); c < n; ++c) {
                if (sqlite3_column_type(s, c) == SQLITE_TEXT)
                    sink += sqlite3_column_bytes(s, c);
                else
                    sink += sqlite3_column_double(s, c);
            }
        }
        sqlite3_finalize(s);
        return rows + (sink < -1e300 ? 1 : 0);
    }

    QString text(const char *sql) const
    {
        sqlite3_stmt *s = nullptr;
        QString result;
        if (sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
        return result;
    }

private:
    sqlite3 *m_db = nullptr;
    QVector<SummaryTable> m_summaries;
    QSet<QString> m_rowKeys;
};

struct Line
{
    QString name;
    double ours;
    double bare; // 0 for steps without a database floor
    int rows;
    double before = 0; // the step without the turnover summary: bare engine, or ours for windows
};

void print(const Line &l)
{
    out << QStringLiteral("%1 %2 ms").arg(l.name, -58).arg(l.ours, 9, 'f', 2);
    if (l.bare > 0)
        out << QStringLiteral("   bare %1 ms   ratio %2   rows %3")
                   .arg(l.bare, 8, 'f', 2)
                   .arg(l.ours / l.bare, 5, 'f', 2)
                   .arg(l.rows, 5);
    if (l.before > 0)
        out << QStringLiteral("   without summary %1 ms   gain %2x")
                   .arg(l.before, 8, 'f', 2)
                   .arg(l.before / l.ours, 0, 'f', 1);
    out << "\n";
    out.flush();
}

Services quietServices()
{
    return Services{std::make_shared<ScriptedDialogs>(), std::make_shared<MemorySettingsStore>(),
                    std::make_shared<ScriptedSpreadsheets>(), nullptr};
}

ChartWindow *openWindow(const Services &services, const QString &conn, qint16 year, bool cumulative,
                        const QString &table = QStringLiteral("PROMET"))
{
    cFinGrafPromet host(services);
    QString level, op = QStringLiteral("bench");
    const bool ok = cumulative ? host.PrikažiGrafPrometKumulativ(conn, level, 1, year, 0,
                                                                 QStringLiteral("FIN"), table, op)
                               : host.PrikažiGrafPromet(conn, level, 1, year, 0,
                                                        QStringLiteral("FIN"), table, op);
    if (!ok) {
        out << "window did not open: " << host.lastError() << "\n";
        out.flush();
        std::exit(2);
    }
    return host.lastWindow();
}

QTreeWidgetItem *topLevelNode(ChartWindow *w, const QString &account)
{
    for (int i = 0; i < w->tv->topLevelItemCount(); ++i)
        if (w->tv->topLevelItem(i)->text(0).startsWith(account + u' '))
            return w->tv->topLevelItem(i);
    out << "no tree node for account " << account << "\n";
    out.flush();
    std::exit(2);
}

void click(ChartWindow *w, QTreeWidgetItem *node)
{
    emit w->tv->nodeClicked(node);
    QApplication::processEvents();
}

// The high-water mark of this process's own memory. (getrusage's ru_maxrss also keeps the mark
// of the process it was forked from, so a child started by a big parent reported the parent.)
long peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// The memory run: five windows, each drawing the largest account, in a process of its own so the
// figure is not the benchmark's own peak.
int memoryRun(const QString &conn, qint16 year, const QString &account)
{
    const Services services = quietServices();
    QVector<ChartWindow *> windows;
    const QString tables[] = {QStringLiteral("PROMET"), QStringLiteral("PROMET"),
                              QStringLiteral("PROMETMT"), QStringLiteral("PROMETMT"),
                              QStringLiteral("PROMET")};
    for (int i = 0; i < 5; ++i) {
        ChartWindow *w = openWindow(services, conn, year, i % 2 == 1, tables[i]);
        click(w, topLevelNode(w, account));
        windows << w;
    }
    out << peakRssKb() << "\n";
    return 0;
}

// The group whose share report the benchmark opens: the demo group of customers' payments, the
// account with the most partners among its accounts.
const QString kReportGroup = QStringLiteral("Naplata od kupacaP");

// Opens the income and expense window on the report group, its chart drawn.
frmFinGrafPrihodRashod *openGroups(cFinGrafPromet &host, const QString &conn, qint16 year)
{
    QString level, op = QStringLiteral("bench");
    qint16 plan = 0;
    host.PrikažiProzor(3, conn, level, 1, year, 0, QStringLiteral("FIN"), QStringLiteral("PROMET"),
                       op, plan);
    auto *w = qobject_cast<frmFinGrafPrihodRashod *>(host.lastWindow());
    click(w, w->tv->node(kReportGroup));
    return w;
}

// A share report from the menu to its first page on the screen; the preview is left open.
frmIspisCR *openShareReport(frmFinGrafPrihodRashod *w, int menu)
{
    w->mnuIspisP_Click(menu);
    frmIspisCR *preview = w->lastPreview();
    preview->resize(1100, 700);
    (void)preview->CRVRadnici->grab();
    return preview;
}

// The peak memory, in MB, of this program run again for one of the memory runs.
double childPeakMb(const QString &run, const QString &book)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {run, QStringLiteral("--book"), book});
    child.waitForFinished(-1);
    return child.readAllStandardOutput().trimmed().toLong() / 1024.0;
}

// The report memory run: the window with the share report by months open, in a process of its own.
int reportMemoryRun(const QString &conn, qint16 year)
{
    cFinGrafPromet host(quietServices());
    frmFinGrafPrihodRashod *w = openGroups(host, conn, year);
    openShareReport(w, 1);
    out << peakRssKb() << "\n";
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // The offscreen platform's notes about window hints say nothing about speed.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type != QtDebugMsg && !text.contains(QLatin1String("propagateSizeHints")) &&
            !text.contains(QLatin1String("XDG_RUNTIME_DIR")))
            fprintf(stderr, "%s\n", qPrintable(text));
    });
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    BookStatements::install();
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("fingraf benchmarks"));
    cli.addHelpOption();
    cli.addOption({QStringLiteral("scale"), QStringLiteral("Demo book scale."), QStringLiteral("N"),
                   QStringLiteral("100")});
    cli.addOption({QStringLiteral("runs"), QStringLiteral("Timed runs per step."),
                   QStringLiteral("N"), QStringLiteral("15")});
    cli.addOption(
        {QStringLiteral("book"), QStringLiteral("Demo book file."), QStringLiteral("PATH")});
    cli.addOption({QStringLiteral("memory-run"), QStringLiteral("Internal: the memory run.")});
    cli.addOption(
        {QStringLiteral("report-memory-run"), QStringLiteral("Internal: the report memory run.")});
    cli.addOption({QStringLiteral("reports"), QStringLiteral("Only the group share reports.")});
    cli.process(app);

    const int scale = std::max(1, cli.value(QStringLiteral("scale")).toInt());
    const int runs = std::max(1, cli.value(QStringLiteral("runs")).toInt());
    QString book = cli.value(QStringLiteral("book"));
    if (book.isEmpty())
        book = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
                   .filePath(QStringLiteral("fingraf/bench-scale-%1-edition-%2.sqlite")
                                 .arg(scale)
                                 .arg(DemoBook::kEdition));
    const qint16 year = qint16(Clock::today().year());

    if (!QFileInfo::exists(book)) {
        out << "making the demo book at scale " << scale << " in " << book << " ...\n";
        out.flush();
        QElapsedTimer t;
        t.start();
        DemoBook::Options options;
        options.scale = scale;
        options.lastYear = year;
        QString error;
        if (!DemoBook::create(book, options, &error)) {
            out << error << "\n";
            return 2;
        }
        out << QStringLiteral("  made in %1 s\n").arg(t.elapsed() / 1000.0, 0, 'f', 1);
    }
    const QString conn = QStringLiteral("Provider=SQLite;Data Source=") + book;
    const BareBook bare(book);
    const QString first = QString::number(year - 5), last = QString::number(year);

    // The nodes a user would find slowest: the synthetic account with the most turnover rows,
    // the analytic account with the most partners, and that account's busiest partner.
    const QString sint = bare.text("SELECT substr(SINTKONTO,1,3) FROM dbo.PROMET WHERE "
                                   "BROJPODUZECA=1 GROUP BY 1 ORDER BY count(*) DESC LIMIT 1");
    const QString anal =
        bare.text("SELECT SINTKONTO FROM dbo.PROMET WHERE BROJPODUZECA=1 GROUP BY SINTKONTO "
                  "ORDER BY count(DISTINCT ANALKONTO) DESC LIMIT 1");
    const QString partner = bare.text(
        ("SELECT ANALKONTO FROM dbo.PROMET WHERE BROJPODUZECA=1 AND SINTKONTO='" + anal.toUtf8() +
         "' AND ANALKONTO<>0 GROUP BY ANALKONTO ORDER BY count(*) DESC "
         "LIMIT 1")
            .constData());

    if (cli.isSet(QStringLiteral("memory-run")))
        return memoryRun(conn, year, sint);
    if (cli.isSet(QStringLiteral("report-memory-run")))
        return reportMemoryRun(conn, year);

    out << "book " << book << " (scale " << scale << ", "
        << bare.text("SELECT count(*) FROM dbo.PROMET") << " PROMET rows), median of " << runs
        << " runs\n";
    out << "synthetic " << sint << ", analytic " << anal << ", partner " << partner << "\n";
    if (bare.summaries().isEmpty())
        out << "the book has no turnover summary: every statement reads the turnover rows\n";
    out << "\n";

    // The group share reports: their statement against the bare engine, then the window from the
    // menu to the first page of the preview (the statement, the shares, the layout and one page
    // painted), and the peak memory of a process with both reports open.
    auto reportSteps = [&] {
        out << "group share reports of " << kReportGroup << "\n";
        cPristupPodacima data;
        Recordset groupRows;
        QStringList accounts;
        if (data.OtvoriRecordset(conn, IncExpSql::groupRows(kReportGroup, 1), groupRows, true,
                                 false))
            for (groupRows.MoveFirst(); !groupRows.Eof(); groupRows.MoveNext())
                accounts << groupRows.value(QStringLiteral("Konto")).toString();
        const QString sql =
            IncExpSql::shareData(IncExpSql::shareAccountCondition(accounts),
                                 IncExpSql::shareColumns(IncExpSql::Kind::Income, 0, 12),
                                 {QStringLiteral("PROMET"), 1, first, last});
        int rows = 0;
        const double bareMs = timeIt(
            std::min(runs, 5), [&] { rows = bare.run(TSqlAdapter::adapt(sql).sql.toUtf8()); });
        cFinGrafPromet host(quietServices());
        frmFinGrafPrihodRashod *w = openGroups(host, conn, year);
        for (int menu = 1; menu <= 2; ++menu) {
            int pages = 0;
            const double ms = timeIt(std::min(runs, 5), [&] {
                frmIspisCR *preview = openShareReport(w, menu);
                pages = preview->CRVRadnici->pageCount();
                preview->close();
                QApplication::processEvents();
            });
            print({QStringLiteral("share report %1 to its first page (%2 pages)")
                       .arg(menu == 1 ? QStringLiteral("by months") : QStringLiteral("in total"))
                       .arg(pages),
                   ms, bareMs, rows});
        }
        w->close();
        QApplication::processEvents();
        out << QStringLiteral("peak memory with the share report by months open: %1 MB\n\n")
                   .arg(childPeakMb(QStringLiteral("--report-memory-run"), book), 0, 'f', 1);
        out.flush();
    };
    reportSteps();
    if (cli.isSet(QStringLiteral("reports")))
        return 0;

    // Database steps: our data access (adapter, query, record set) against the bare engine
    // running the same statement; where the turnover summary answers it, also the bare engine
    // running the statement on the turnover rows, as it ran before.
    out << "database steps (* answered from the turnover summary, + its turnover table narrowed "
           "before the joins; \"without\": the bare engine on the statement as it ran before)\n";
    cPristupPodacima pristup;
    auto dbStep = [&](const QString &name, const QString &sql) {
        Recordset rs;
        const TSqlAdapter::Result adapted =
            BookStatements::adapt(sql, bare.summaries(), bare.rowKeys());
        const QByteArray statement = adapted.sql.toUtf8();
        const QByteArray unsummarised = TSqlAdapter::adapt(sql).sql.toUtf8();
        int rows = 0;
        auto ours = [&] {
            if (!pristup.OtvoriRecordset(conn, sql, rs, true, false)) {
                out << name << ": " << pristup.OpisGreske() << "\n";
                out.flush();
                std::exit(2);
            }
        };
        auto floor = [&] { rows = bare.run(statement); };
        auto before = [&] { bare.run(unsummarised); };
        // Turn about, so that neither side profits from the other's warm caches.
        ours();
        floor();
        QVector<double> oursMs, bareMs, beforeMs;
        for (int i = 0; i < runs; ++i) {
            oursMs << once(ours);
            bareMs << once(floor);
        }
        // Apart: a read of every turnover row of the account leaves the caches cold for
        // whatever follows it.
        if (statement != unsummarised) {
            before();
            for (int i = 0; i < runs; ++i)
                beforeMs << once(before);
        }
        print({(!adapted.via.isEmpty()      ? QStringLiteral("* ")
                : statement != unsummarised ? QStringLiteral("+ ")
                                            : QStringLiteral("  ")) +
                   name,
               median(oursMs), median(bareMs), rows, median(beforeMs)});
    };
    dbStep(QStringLiteral("top-level tree fill"), TurnoverSql::topLevelFill(1, first, last));
    dbStep(QStringLiteral("analytic fill of ") + sint,
           TurnoverSql::analyticFill(QStringLiteral("PROMET"), 1, sint, first, last));
    dbStep(QStringLiteral("partner fill of ") + anal,
           TurnoverSql::partnerFill(QStringLiteral("PROMET"), 1, anal, first, last));
    const char *kinds[] = {"Duguje", "Potražuje", "Oba", "Saldo D-P", "Saldo P-D"};
    const TurnoverSql::Scope sintScope{QStringLiteral("PROMET"), 1, sint, {}, first, last};
    const TurnoverSql::Scope analScope{QStringLiteral("PROMET"), 1, anal, {}, first, last};
    const TurnoverSql::Scope partnerScope{QStringLiteral("PROMET"),      1,     anal,
                                          QStringLiteral(" ") + partner, first, last};
    for (int k = 0; k < 5; ++k) {
        const QString kind = QString::fromUtf8(kinds[k]);
        dbStep(QStringLiteral("account chart %1 %2").arg(sint, kind),
               TurnoverSql::accountChart(k, 0, 12, sintScope));
        dbStep(QStringLiteral("account chart %1 %2").arg(anal, kind),
               TurnoverSql::accountChart(k, 0, 12, analScope));
        dbStep(QStringLiteral("partner chart %1/%2 %3").arg(anal, partner, kind),
               TurnoverSql::partnerChart(k, 0, 12, partnerScope));
    }
    dbStep(QStringLiteral("cumulative chart ") + sint,
           TurnoverSql::cumulativeAccountChart(0, 0, 12, sintScope));
    dbStep(QStringLiteral("cumulative chart %1/%2").arg(anal, partner),
           TurnoverSql::cumulativePartnerChart(0, 0, 12, partnerScope));

    // The income and expense window's statements: groups of the demo book, whose income accounts
    // carry no partners, so the partner chart takes the analytic account and partner above.
    const int bookYear = year;
    const IncExpSql::Scope groupScope{QStringLiteral("PROMET"), 1, first, last};
    dbStep(QStringLiteral("group list"), IncExpSql::groupList(1, bookYear));
    dbStep(QStringLiteral("group accounts of PrihodiP"),
           IncExpSql::groupAccounts(QStringLiteral("PrihodiP"), 1, bookYear));
    dbStep(QStringLiteral("group chart PrihodiP (income)"),
           IncExpSql::groupChart(IncExpSql::Kind::Income, QStringLiteral("PrihodiP"), 0, 12,
                                 groupScope));
    dbStep(QStringLiteral("group chart Prihodi-Rashodi (Dobit)S (balance)"),
           IncExpSql::groupChart(IncExpSql::Kind::Balance,
                                 QStringLiteral("Prihodi-Rashodi (Dobit)S"), 0, 12, groupScope));
    dbStep(QStringLiteral("account-of-group chart 7500/PrihodiP"),
           IncExpSql::accountChart(IncExpSql::Kind::Income, QStringLiteral("7500"),
                                   QStringLiteral("PrihodiP"), 0, 12, groupScope));
    dbStep(QStringLiteral("group partner chart %1/%2").arg(anal, partner),
           IncExpSql::partnerChart(IncExpSql::Kind::Income, anal, partner, 0, 12, groupScope));

    // The plan windows: plan 1 of the book year. The tree fill is one statement per side, group
    // and subgroup, timed as the whole run of them; a plan chart needs its account pairs first,
    // then the union of plan and realisation.
    {
        out << "\nplan windows\n";
        const PlanSql::Scope planScope{1, 1, QString::number(bookYear)};
        const QStringList sides{QStringLiteral("P"), QStringLiteral("R")};
        auto names = [&](const QString &sql) {
            Recordset rs;
            QStringList found;
            if (pristup.OtvoriRecordset(conn, sql, rs, true, false))
                for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
                    found << rs.value(0).toString();
            return found;
        };
        QStringList fill;
        for (const QString &side : sides) {
            fill << PlanSql::groupFill(side, planScope);
            for (const QString &group : names(fill.last())) {
                const QString sub = PlanSql::subgroupFill(side, group, planScope);
                fill << sub;
                for (const QString &subgroup : names(sub))
                    fill << PlanSql::analyticFill(side, group, subgroup, planScope);
            }
        }
        QVector<QByteArray> adaptedFill;
        for (const QString &sql : std::as_const(fill))
            adaptedFill << TSqlAdapter::adapt(sql).sql.toUtf8();
        int fillRows = 0;
        auto oursFill = [&] {
            for (const QString &sql : std::as_const(fill)) {
                Recordset rs;
                pristup.OtvoriRecordset(conn, sql, rs, true, false);
            }
        };
        auto bareFill = [&] {
            fillRows = 0;
            for (const QByteArray &sql : std::as_const(adaptedFill))
                fillRows += bare.run(sql);
        };
        oursFill();
        bareFill();
        QVector<double> oursMs, bareMs;
        for (int i = 0; i < runs; ++i) {
            oursMs << once(oursFill);
            bareMs << once(bareFill);
        }
        print({QStringLiteral("plan tree fill (%1 statements)").arg(fill.size()), median(oursMs),
               median(bareMs), fillRows});

        const PlanSql::Node planNodes[] = {
            {QStringLiteral("P"), {}},
            {QStringLiteral("R"), {}},
            {QStringLiteral("R"), {QStringLiteral("Usluge")}},
            {QStringLiteral("R"), {QStringLiteral("Plaćanja dobavljačima")}}};
        for (const PlanSql::Node &node : planNodes) {
            const QString tag = PlanSql::nodeTag(node);
            const QString pairsSql = PlanSql::accountPairs(node, planScope);
            dbStep(QStringLiteral("plan account pairs ") + tag, pairsSql);
            Recordset rs;
            QVector<PlanSql::AccountPair> pairs;
            if (pristup.OtvoriRecordset(conn, pairsSql, rs, true, false))
                for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
                    pairs.append({rs.value(0).toString(), rs.value(1).toString()});
            dbStep(QStringLiteral("plan and realisation ") + tag,
                   PlanSql::planChart(1, 12, node, planScope, PlanSql::UvjetKonta(pairs)));
        }

        const Services quiet = quietServices();
        cFinGrafPromet host(quiet);
        QString level, op = QStringLiteral("bench");
        qint16 plan = 1;
        host.PrikažiProzor(4, conn, level, 1, year, 0, QStringLiteral("FIN"),
                           QStringLiteral("PROMET"), op, plan);
        ChartWindow *planWindow = host.lastWindow();
        print({QStringLiteral("plan tree fill (window)"),
               timeIt(runs, [&] { planWindow->mnuNapuniKonta_Click(); }), 0, 0});
        print({QStringLiteral("plan click Prihodi (window)"),
               timeIt(runs,
                      [&] { click(planWindow, planWindow->tv->node(QStringLiteral("P****"))); }),
               0, 0});
        planWindow->close();
        QApplication::processEvents();
    }

    // The group definition window over a large chart of accounts: a scale-1 book whose chart of
    // the year is grown to 8,031 accounts, a thousand of them in the group. Its fill is two
    // statements (the accounts, the group's rows), timed beside the bare engine, then the list.
    {
        QTemporaryDir dir;
        const QString defBook = dir.filePath(QStringLiteral("definition.sqlite"));
        DemoBook::Options options;
        options.lastYear = year;
        QString error;
        if (!DemoBook::create(defBook, options, &error)) {
            out << error << "\n";
            return 2;
        }
        const QString y = QString::number(year);
        sqlite3 *writer = nullptr;
        sqlite3_open(defBook.toUtf8().constData(), &writer);
        const QString grow =
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                           "i < 8031 - (SELECT count(*) FROM KONTO WHERE BrojPoduzeca = 1 AND "
                           "GODINAKNJ = %1 AND length(rtrim(SIFKONTA)) > 3)) INSERT INTO KONTO "
                           "(BrojPoduzeca, GODINAKNJ, SIFKONTA, NAZIVKONTA) SELECT 1, %1, '9' || "
                           "substr('00000' || i, -5), 'Konto ' || i FROM n; INSERT INTO "
                           "FINPRIHRASH (BrojPoduzeca, ImeGrupe, Konto, Godina) SELECT 1, "
                           "'PrihodiP', SIFKONTA, %1 FROM KONTO WHERE SIFKONTA LIKE '9_____' AND "
                           "BrojPoduzeca = 1 AND GODINAKNJ = %1 LIMIT 1000")
                .arg(y);
        if (sqlite3_exec(writer, grow.toUtf8().constData(), nullptr, nullptr, nullptr) !=
            SQLITE_OK) {
            out << "definition book: " << sqlite3_errmsg(writer) << "\n";
            return 2;
        }
        sqlite3_close(writer);
        const BareBook definitionBare(defBook);
        const QString defConn = QStringLiteral("Provider=SQLite;Data Source=") + defBook;
        auto definitionStep = [&](const QString &name, const QString &sql) {
            Recordset rs;
            const QByteArray statement = TSqlAdapter::adapt(sql).sql.toUtf8();
            int rows = 0;
            print({name,
                   timeIt(runs, [&] { pristup.OtvoriRecordset(defConn, sql, rs, true, false); }),
                   timeIt(runs, [&] { rows = definitionBare.run(statement); }), rows});
        };
        definitionStep(QStringLiteral("definition: chart of accounts"),
                       IncExpSql::chartOfAccounts(1, year));
        definitionStep(QStringLiteral("definition: the group's rows"),
                       IncExpSql::groupRows(QStringLiteral("PrihodiP"), 1));
        auto host = std::make_shared<HostContext>();
        host->connectionString = defConn;
        host->brojPoduzeca = 1;
        host->godina = year;
        frmFinDefKontaPrihRash definition(quietServices(), host);
        definition.otvori(QStringLiteral("PrihodiP"));
        int ticked = 0;
        for (int i = 0; i < definition.ListView->topLevelItemCount(); ++i)
            ticked += definition.ListView->topLevelItem(i)->checkState(0) == Qt::Checked;
        print({QStringLiteral("definition window fill (%1 accounts, %2 ticked)")
                   .arg(definition.ListView->topLevelItemCount())
                   .arg(ticked),
               timeIt(runs, [&] { definition.OsvjeziZapise(); }), 0, 0});
        cPristupPodacima::closeAllConnections();
    }

    // Window steps, end to end, offscreen; those that read turnover also with the data access
    // told to leave the summary alone.
    out << "\nwindow steps\n";
    {
        const Services quiet = quietServices();
        cFinGrafPromet host(quiet);
        QString level, op = QStringLiteral("bench");
        qint16 plan = 0;
        host.PrikažiProzor(3, conn, level, 1, year, 0, QStringLiteral("FIN"),
                           QStringLiteral("PROMET"), op, plan);
        ChartWindow *groups = host.lastWindow();
        print({QStringLiteral("group tree fill (window, %1 groups)")
                   .arg(groups->tv->topLevelItemCount()),
               timeIt(runs, [&] { groups->mnuNapuniKonta_Click(); }), 0, 0});
        print({QStringLiteral("group click PrihodiP (window)"),
               timeIt(runs, [&] { click(groups, groups->tv->node(QStringLiteral("PrihodiP"))); }),
               0, 0});
        groups->close();
        QApplication::processEvents();
    }
    const Services services = quietServices();
    ChartWindow *w = nullptr;
    auto withAndWithout = [&](const QString &name, const std::function<void()> &step) {
        const double with = timeIt(runs, step);
        double without = 0;
        if (!bare.summaries().isEmpty()) {
            BookStatements::setSummariesUsed(false);
            without = timeIt(runs, step);
            BookStatements::setSummariesUsed(true);
        }
        print({name, with, 0, 0, without});
    };
    auto open = [&] {
        if (w)
            w->close();
        QApplication::processEvents();
        w = openWindow(services, conn, year, false);
        click(w, topLevelNode(w, sint));
    };
    withAndWithout(QStringLiteral("window creation to first chart (%1)").arg(sint), open);
    open();

    QTreeWidgetItem *sintNode = topLevelNode(w, sint);
    withAndWithout(QStringLiteral("node click synthetic %1").arg(sint),
                   [&] { click(w, sintNode); });
    withAndWithout(QStringLiteral("node click synthetic %1, children not yet loaded").arg(sint),
                   [&] {
                       w->tv->removeChildren(sintNode);
                       click(w, sintNode);
                   });
    // the analytic account may stand under another synthetic account than the busiest one
    click(w, topLevelNode(w, anal.left(3)));
    QTreeWidgetItem *analNode = w->tv->node(QStringLiteral("K: ") + anal);
    if (!analNode) {
        out << "no tree node for account " << anal << "\n";
        return 2;
    }
    click(w, analNode);
    w->tv->completeChildren(); // the level whole before the clicks that find it loaded
    withAndWithout(QStringLiteral("node click analytic %1").arg(anal), [&] { click(w, analNode); });
    // The partner level made anew, as at the first click on the account: the partner list's
    // statement, the nodes the tree shows at once and the chart; the rest of the level fills on
    // the following turns of the event loop (timed apart, as the level filled whole).
    auto freshClicks = [&](bool whole) {
        QVector<double> ms;
        for (int i = 0; i <= runs; ++i) {
            w->tv->removeChildren(analNode);
            QApplication::processEvents();
            // up to the tree and the chart painted: the posted events, not the timers that
            // bring the rest of a long level on the turns after
            const double t = once([&] {
                emit w->tv->nodeClicked(analNode);
                if (whole)
                    w->tv->completeChildren();
                QCoreApplication::sendPostedEvents();
            });
            w->tv->completeChildren();
            if (i > 0)
                ms << t;
        }
        return median(ms);
    };
    for (const bool whole : {false, true}) {
        const double with = freshClicks(whole);
        BookStatements::setSummariesUsed(false);
        const double without = freshClicks(whole);
        BookStatements::setSummariesUsed(true);
        w->tv->completeChildren();
        const QString name =
            whole ? QStringLiteral("node click analytic %1, its %2 partners made at once")
                        .arg(anal)
                        .arg(analNode->childCount())
                  : QStringLiteral("node click analytic %1, partners not loaded (%2 shown)")
                        .arg(anal)
                        .arg(qMin(KeyedTree::kAtOnce, analNode->childCount()));
        print({name, with, 0, 0, without});
    }
    QTreeWidgetItem *partnerNode = w->tv->node(QStringLiteral("A: ") + partner);
    if (!partnerNode) {
        out << "no tree node for partner " << partner << "\n";
        return 2;
    }
    print({QStringLiteral("node click partner %1").arg(partner),
           timeIt(runs, [&] { click(w, partnerNode); }), 0, 0});

    click(w, sintNode);
    const Recordset rows = w->chartRecordset();
    RecordsetModel grid;
    print({QStringLiteral("grid bind and format (%1 rows)").arg(rows.RecordCount()),
           timeIt(runs,
                  [&] {
                      grid.setRecordset(rows);
                      grid.setAmountFormat(true);
                  }),
           0, 0});
    print({QStringLiteral("chart drawing (bind, refresh, paint)"),
           timeIt(runs,
                  [&] {
                      w->MSChart1->setDataSource(rows);
                      w->MSChart1->refresh();
                      w->MSChart1->repaint();
                  }),
           0, 0});
    print({QStringLiteral("chart picture for the clipboard"),
           timeIt(runs, [&] { (void)w->MSChart1->picture(); }), 0, 0});
    // 3D needs OpenGL: QT_QPA_PLATFORM=xcb under xvfb-run (Mesa's software renderer) or a desktop.
    if (Chart3D::available()) {
        print({QStringLiteral("3D graph made and first drawn (new chart, bars)"),
               timeIt(std::min(runs, 5),
                      [&] {
                          ChartControl fresh;
                          fresh.setDataSource(rows);
                          fresh.setChartType(0);
                          (void)fresh.picture(QSize(800, 500));
                      }),
               0, 0});
        for (const auto &[code, name] : {std::pair{0, QStringLiteral("3D bars")},
                                         std::pair{2, QStringLiteral("3D ribbons")}}) {
            w->MSChart1->setChartType(code); // the first call makes the graph and its shaders
            // the graph renders on its next frame, so the picture is part of the drawing here
            print({name + QStringLiteral(" drawing (bind, refresh, picture)"),
                   timeIt(runs,
                          [&] {
                              w->MSChart1->setDataSource(rows);
                              w->MSChart1->refresh();
                              (void)w->MSChart1->picture();
                          }),
                   0, 0});
        }
    } else {
        out << "3D steps left out: no OpenGL on the " << QGuiApplication::platformName()
            << " platform (run with QT_QPA_PLATFORM=xcb under xvfb-run)\n";
    }
    w->close();
    QApplication::processEvents();

    out << QStringLiteral("\npeak memory with five windows open and drawn: %1 MB\n")
               .arg(childPeakMb(QStringLiteral("--memory-run"), book), 0, 'f', 1);
    return 0;
}
