#include "headless.h"

#include "chartwin/chartwindow.h"
#include "chartwin/hostcontext.h"
#include "entry/cfingrafpromet.h"
#include "entry/windowkinds.h"
#include "output/frmispiscr.h"
#include "output/moduexcel.h"
#include "output/report.h"
#include "output/reportviewer.h"
#include "platform/chart/chartcontrol.h"
#include "platform/files/atomicfile.h"
#include "platform/services.h"
#include "platform/widgets/keyedtree.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTextStream>

#include <cmath>
#include <optional>

namespace {

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

QStringList &databaseCauses()
{
    static QStringList causes;
    return causes;
}

int failWith(const ScriptedDialogs &dialogs)
{
    return reportFailure(dialogs);
}

// A node as the tree shows it: the texts from its top-level node down.
QString nodePath(const QTreeWidgetItem *node)
{
    QStringList texts;
    for (; node; node = node->parent())
        texts.prepend(node->text(0));
    return texts.join(QStringLiteral(" / "));
}

// The window's own words name no firm where the tree of one is empty: the launcher names it, and
// says whether the book knows the firm and any account of it.
QStringList firmWithoutAccounts(const ScriptedDialogs &dialogs)
{
    bool empty = false;
    for (const auto &m : dialogs.messages)
        empty = empty || m.text == u"Nema trocifrenih konta!";
    if (!empty)
        return {};
    const HostContext &host = *cFinGrafPromet::hostContext();
    const QString firm = QString::number(host.brojPoduzeca);
    cPristupPodacima db;
    auto count = [&](const QString &sql) {
        Recordset rs;
        return db.OtvoriRecordset(host.connectionString, sql, rs, true, false) && !rs.Eof()
                   ? rs.value(0).toInt()
                   : -1;
    };
    const int known =
        count(QStringLiteral("SELECT count(*) FROM dbo.CONFIG WHERE BROJPODUZECA=") + firm);
    const int accounts =
        count(QStringLiteral("SELECT count(*) FROM dbo.KONTO WHERE BrojPoduzeca=") + firm);
    QString line = QStringLiteral("Poduzeće ") + firm;
    if (known > 0 && !host.nazivFirme.isEmpty())
        line += QStringLiteral(" (%1)").arg(host.nazivFirme);
    line += accounts == 0 ? QStringLiteral(" nema nijednog konta u kontnom planu (KONTO)")
                          : QStringLiteral(" nema trocifrenih konta u godinama stabla");
    line += known == 0 ? QStringLiteral("; nema ga ni u tablici poduzeća (CONFIG).")
                       : QStringLiteral(".");
    return {line};
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

} // namespace

void noteDatabaseCause(const QString &cause)
{
    if (!cause.isEmpty() && !databaseCauses().contains(cause))
        databaseCauses() << cause;
}

int reportFailure(const ScriptedDialogs &dialogs, const QStringList &own)
{
    QStringList told;
    for (const QString &cause : std::as_const(databaseCauses()))
        told << QStringLiteral("Desila se greška: ") + cause;
    databaseCauses().clear();
    for (const auto &m : dialogs.messages)
        if (m.buttons != Dialogs::YesNo && !told.contains(m.text)) // a question is no failure
            told << m.text;
    for (const QString &line : told + own)
        err() << line << Qt::endl;
    return 1;
}

const QStringList &windowlessOptions()
{
    static const QStringList options = [] {
        QStringList all = headlessOutputs();
        for (const WindowKind &k : windowKinds())
            for (const QString &o : k.launcher().windowless)
                if (!all.contains(o))
                    all << o;
        return all;
    }();
    return options;
}

const QStringList &headlessOutputs()
{
    static const QStringList outputs = {QStringLiteral("png"),        QStringLiteral("svg"),
                                        QStringLiteral("pdf"),        QStringLiteral("csv"),
                                        QStringLiteral("screenshot"), QStringLiteral("xlsx"),
                                        QStringLiteral("ispis"),      QStringLiteral("izvjestaj")};
    return outputs;
}

bool wantsHeadlessRun(const QCommandLineParser &p)
{
    for (const QString &o : headlessOutputs())
        if (p.isSet(o))
            return true;
    return false;
}

namespace {

// A step of the run without a screen: the exit code to end with, or nothing to go on.
using Step = std::optional<int>;

// The boxes, the amount kind, the chart type and the scale as the options give them.
void applyOptions(ChartWindow *w, const QCommandLineParser &p)
{
    auto set = [&](const char *option, QLineEdit *box) {
        if (box && p.isSet(QString::fromLatin1(option)))
            box->setText(p.value(QString::fromLatin1(option)));
    };
    set("od", w->txtGodina[0]);
    set("do", w->txtGodina[1]);
    set("mj-od", w->txtMj[0]);
    set("mj-do", w->txtMj[1]);
    // the amount kind's range is the window's, checked with the other options
    if (!w->optVrijednost.isEmpty() && p.isSet(QStringLiteral("iznos")))
        w->optVrijednost.value(p.value(QStringLiteral("iznos")).toInt())->setChecked(true);
    if (p.isSet(QStringLiteral("tip")))
        w->cmbType->setCurrentIndex(p.value(QStringLiteral("tip")).toInt());
    if (p.isSet(QStringLiteral("skala")))
        w->cmbScale->setCurrentIndex(p.value(QStringLiteral("skala")).toInt());
}

// Clicks the node the options name, by its key or by its path, and makes sure a chart was drawn.
Step drawChosenNode(ChartWindow *w, const QCommandLineParser &p, const QStringList &pathNames,
                    ScriptedDialogs &scripted)
{
    // what the window said before the chosen node was drawn does not fail the run, but it is the
    // cause when the node cannot be found (a book that could not be read, say)
    const QVector<ScriptedDialogs::Shown> before = scripted.messages;
    scripted.messages.clear();
    QStringList path;
    bool named = false;
    for (const QString &o : pathNames) {
        path << p.value(o);
        named = named || !path.last().isEmpty();
    }
    QString notFound;
    bool found = false;
    if (p.isSet(QStringLiteral("node"))) {
        // a key two nodes were given names neither: the tree gave it to the first one only
        const QString key = p.value(QStringLiteral("node"));
        const QList<QTreeWidgetItem *> given = w->tv->nodesGiven(key);
        if (given.size() > 1) {
            QStringList nodes;
            for (const QTreeWidgetItem *n : given)
                nodes << u'"' + nodePath(n) + u'"';
            err() << "--node: ključ \"" << key
                  << "\" imaju svi ovi čvorovi stabla: " << nodes.join(QStringLiteral(", "))
                  << ". Zadajte čvor po imenima (--" << pathNames.join(QStringLiteral(", --"))
                  << ")." << Qt::endl;
            w->close();
            return WindowCommand::BadOption;
        }
        found = w->clickKey(key);
        if (!found)
            notFound = QStringLiteral("Čvor s ključem \"%1\" nije u stablu.").arg(key);
        named = true;
    } else {
        found = w->clickPath(path, &notFound);
    }
    if (!found) {
        scripted.messages = before + scripted.messages;
        return reportFailure(scripted,
                             firmWithoutAccounts(scripted) +
                                 QStringList{notFound.isEmpty()
                                                 ? QStringLiteral("U stablu nema traženog čvora.")
                                                 : notFound});
    }
    const bool chartAsked = wantsHeadlessRun(p);
    if (scripted.messages.isEmpty() && (!chartAsked || w->chartRecordset().isOpen()))
        return std::nullopt;
    // nothing drawn: what the window said while loading is the cause (an unreadable book)
    const bool said = !scripted.messages.isEmpty(); // on the click: why it drew nothing
    scripted.messages = before + scripted.messages;
    QStringList own = firmWithoutAccounts(scripted);
    if (chartAsked && !w->chartRecordset().isOpen())
        // a tree with nodes, none of them named: the window waits for a click
        own << (named || said || w->tv->topLevelItemCount() == 0
                    ? QStringLiteral("Grafikon nije nacrtan.")
                    : QStringLiteral("Grafikon nije nacrtan: nije zadan čvor stabla (--%1 ili "
                                     "--node).")
                          .arg(pathNames.join(QStringLiteral(", --"))));
    return reportFailure(scripted, own);
}

// An amount the chart cannot draw (beyond the range of numbers, or no number) is no chart.
Step amountsDrawable(ChartWindow *w)
{
    Recordset rows = w->chartRecordset();
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext())
        for (int f = 1; f < rows.fieldCount(); ++f) {
            const QVariant v = rows.value(f);
            if (!v.isNull() && !std::isfinite(v.toDouble())) {
                err() << "Desila se greška: iznos u stupcu " << rows.fieldName(f) << " retka "
                      << rows.value(0).toString()
                      << " je izvan raspona brojeva koji se mogu prikazati." << Qt::endl;
                return WindowCommand::CouldNot;
            }
        }
    return std::nullopt;
}

Step saidWhy(const QString &error)
{
    err() << "Desila se greška: " << error << Qt::endl;
    return WindowCommand::CouldNot;
}

// The chart's pictures and rows in the files the options name, the print and the report.
Step writeOutputs(ChartWindow *w, const QCommandLineParser &p, ScriptedDialogs &scripted,
                  const Services &services)
{
    const QSize size(1000, 600);
    QString error;
    for (const char *fmt : {"png", "svg", "pdf"})
        if (p.isSet(QString::fromLatin1(fmt)) &&
            !w->MSChart1->save(p.value(QString::fromLatin1(fmt)), size, &error))
            return saidWhy(error);
    if (p.isSet(QStringLiteral("csv"))) {
        QString file = p.value(QStringLiteral("csv"));
        bool quotes = true;
        if (!modUExcel::PrebaciUCSV(scripted, w->chartRecordset(), file, quotes, w))
            return failWith(scripted);
    }
    if (p.isSet(QStringLiteral("xlsx"))) {
        scripted.messages.clear();
        w->PrebaciUExcel(w->chartRecordset());
        if (!scripted.messages.isEmpty())
            return failWith(scripted);
    }
    if (p.isSet(QStringLiteral("ispis"))) {
        scripted.answers.push_back(Dialogs::AnswerYes);
        scripted.messages.clear();
        w->mnuIspis_Click();
        if (scripted.messages.size() > 1)
            return failWith(scripted);
    }
    if (!p.isSet(QStringLiteral("izvjestaj")))
        return std::nullopt;
    frmIspisCR *preview = frmIspisCR::prikaži(
        services, w, std::make_unique<CRFinPoMjes>(w->monthlyTotals()), QStringLiteral("Izvještaj"),
        w->MSChart1->titleText(), cFinGrafPromet::hostContext()->nazivFirme, w->chartRecordset());
    if (!preview->CRVRadnici->ExportPdf(p.value(QStringLiteral("izvjestaj")), &error))
        return saidWhy(error);
    if (!p.isSet(QStringLiteral("screenshot")))
        return std::nullopt;
    // the screenshot is the report's preview
    preview->resize(1100, 700);
    QApplication::processEvents();
    if (!AtomicFile::saveImage(preview->grab().toImage(), p.value(QStringLiteral("screenshot")),
                               &error))
        return saidWhy(error);
    w->close();
    return WindowCommand::Done;
}

} // namespace

int runHeadless(ChartWindow *w, const QCommandLineParser &p, const WindowCommand &launcher,
                ScriptedDialogs &scripted, const Services &services,
                const std::function<int(ChartWindow *)> &more)
{
    applyOptions(w, p);
    if (const Step end = drawChosenNode(w, p, launcher.pathNames(), scripted))
        return *end;
    if (const Step end = amountsDrawable(w))
        return *end;
    if (p.isSet(QStringLiteral("grid")))
        w->mnuPregledPodataka_Click();
    if (p.isSet(QStringLiteral("patern")))
        w->mnuPatern_Click();
    if (!scripted.messages.isEmpty())
        return failWith(scripted);
    if (const Step end = writeOutputs(w, p, scripted, services))
        return *end;
    if (more) {
        scripted.messages.clear();
        if (const int code = more(w)) {
            w->close();
            return code;
        }
    }
    QString error;
    if (p.isSet(QStringLiteral("screenshot")) &&
        !AtomicFile::saveImage(windowPicture(w), p.value(QStringLiteral("screenshot")), &error))
        return *saidWhy(error);
    w->close();
    return WindowCommand::Done;
}
