// The income and expense window's part of the launcher's command: the group path, and its own work
// without a window (a group's definition saved, the carry-over, the group share reports).
#include "frmfingrafprihodrashod.h"

#include "chartwin/windowcommand.h"
#include "incexp/frmfindefkontaprihrash.h"
#include "output/reportviewer.h"
#include "platform/dialogs/dialogs.h"
#include "platform/files/atomicfile.h"
#include "platform/widgets/keyedtree.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

namespace {

const QStringList kReports = {QStringLiteral("izvjestaj-grupa"),
                              QStringLiteral("izvjestaj-grupa-ukupno")};

// What is wrong with the options of a definition save, before any window opens; empty when
// nothing is. The save replaces the group's accounts of the year, so it is done only when asked
// for plainly.
QString definitionOptionsProblem(const QCommandLineParser &p, QStringList others)
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
    others.removeAll(QStringLiteral("screenshot")); // the definition window's own picture
    for (const QString &o : others + kReports + QStringList{QStringLiteral("prepisi")})
        if (p.isSet(o))
            return QStringLiteral("--definiraj se ne zadaje zajedno s --%1: spremite definiciju, "
                                  "pa to zatražite posebnim pozivom.")
                .arg(o);
    return {};
}

QString checkOptions(const QCommandLineParser &p, const QStringList &outputs)
{
    for (const QString &name : kReports + QStringList{QStringLiteral("definiraj")})
        if (p.isSet(name) && p.value(name).trimmed().isEmpty())
            return QStringLiteral("--%1: vrijednost ne smije biti prazna.").arg(name);
    for (const auto &[name, min, max] : {std::tuple{QStringLiteral("translacija"), 0, 2},
                                         std::tuple{QStringLiteral("prepisi"), 2000, 2100}})
        if (const QString problem = WindowCommand::outOfRange(p, name, min, max);
            !problem.isEmpty())
            return problem;
    if (p.isSet(QStringLiteral("vrsta")) &&
        !QStringList{QStringLiteral("P"), QStringLiteral("R"), QStringLiteral("S")}.contains(
            p.value(QStringLiteral("vrsta"))))
        return QStringLiteral("--vrsta: dopušteno je P, R ili S.");
    for (const char *part : {"konta", "naziv", "vrsta"})
        if (p.isSet(QString::fromLatin1(part)) && !p.isSet(QStringLiteral("definiraj")))
            return QStringLiteral("--%1: zadaje se uz --definiraj.").arg(QLatin1String(part));
    if (p.isSet(QStringLiteral("translacija")) && !p.isSet(QStringLiteral("prepisi")))
        return QStringLiteral("--translacija: zadaje se uz --prepisi.");
    return p.isSet(QStringLiteral("definiraj")) ? definitionOptionsProblem(p, outputs) : QString();
}

// Saves a group's definition as its window would and closes the chart window.
std::optional<int> defineGroup(ChartWindow *window, const QCommandLineParser &p,
                               WindowCommand::Run &run)
{
    if (!p.isSet(QStringLiteral("definiraj")))
        return std::nullopt;
    auto *w = qobject_cast<frmFinGrafPrihodRashod *>(window);
    if (!w)
        return WindowCommand::CouldNot;
    run.dialogs.messages.clear();
    const QString key = p.value(QStringLiteral("definiraj"));
    if (!w->tv->node(key)) {
        w->close();
        run.tell(QStringLiteral("--definiraj: grupe \"%1\" nema u godini %2.")
                     .arg(key, p.value(QStringLiteral("godina"))));
        return WindowCommand::BadOption;
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
    const QVector<ScriptedDialogs::Shown> said = run.dialogs.messages;
    w->close();
    if (!pictureError.isEmpty())
        run.tell(QStringLiteral("Desila se greška: ") + pictureError);
    if (saved)
        return pictureError.isEmpty() ? WindowCommand::Done : WindowCommand::CouldNot;
    run.dialogs.messages = said;
    return run.fail({});
}

// The carry-over and the group share reports, after the chosen node is drawn.
int groupWork(ChartWindow *window, const QCommandLineParser &p, WindowCommand::Run &run)
{
    auto *w = qobject_cast<frmFinGrafPrihodRashod *>(window);
    ScriptedDialogs &dialogs = run.dialogs;
    if (!w)
        return WindowCommand::CouldNot;
    if (p.isSet(QStringLiteral("prepisi"))) {
        dialogs.inputs.push_back(p.value(QStringLiteral("prepisi")).trimmed());
        dialogs.answers.push_back(Dialogs::AnswerYes);
        w->mnuPrepišiProšlu_Click(p.value(QStringLiteral("translacija")).toInt());
        if (dialogs.texts().value(1) != u"Uspješno prepisani podaci!")
            return run.fail({});
        // the copy is done; what it left out is said after it
        for (const QString &text : dialogs.texts().mid(2))
            QTextStream(stdout) << QString(text).replace(QStringLiteral("\r\n"),
                                                         QStringLiteral("\n"))
                                << Qt::endl;
        dialogs.messages.clear();
    }
    for (int i = 0; i < kReports.size(); ++i) {
        if (!p.isSet(kReports[i]))
            continue;
        w->mnuIspisP_Click(i + 1);
        if (!dialogs.messages.isEmpty() || !w->lastPreview())
            return run.fail({});
        // a report of many pages tells how far it has come, on a terminal
        dialogs.onProgress = [&run](const QString &, int percent) {
            run.progress(QStringLiteral("Izvještaj"), percent);
        };
        QString error;
        const bool exported = w->lastPreview()->CRVRadnici->ExportPdf(p.value(kReports[i]), &error);
        dialogs.onProgress = nullptr;
        run.progress(QStringLiteral("Izvještaj"), -1);
        if (!exported) {
            run.tell(QStringLiteral("Desila se greška: ") + error);
            return WindowCommand::CouldNot;
        }
    }
    return WindowCommand::Done;
}

} // namespace

WindowCommand frmFinGrafPrihodRashod::launcherCommand()
{
    WindowCommand c;
    c.path = {{QStringLiteral("grupa"),
               QStringLiteral("Grupa po ključu (naziv i slovo vrste), npr. \"PrihodiP\"."),
               QStringLiteral("KLJUČ")},
              {QStringLiteral("konto"), QStringLiteral("Konto grupe (uz --grupa)."),
               QStringLiteral("KONTO")},
              {QStringLiteral("komitent"),
               QStringLiteral("Šifra komitenta na analitičkom kontu (uz --konto)."),
               QStringLiteral("ŠIFRA")}};
    c.nodeKeyExample = QStringLiteral("\"PrihodiP\"");
    c.work = {
        {QStringLiteral("definiraj"),
         QStringLiteral("Spremi definiciju grupe po ključu, kao prozor za konta grupe, i završi "
                        "(uz --konta, --naziv, --vrsta)."),
         QStringLiteral("KLJUČ")},
        {QStringLiteral("konta"), QStringLiteral("Konta grupe, odvojena zarezom."),
         QStringLiteral("KONTA")},
        {QStringLiteral("naziv"), QStringLiteral("Novi naziv grupe."), QStringLiteral("NAZIV")},
        {QStringLiteral("vrsta"), QStringLiteral("Vrsta: P prihodi, R rashodi, S saldo."),
         QStringLiteral("P|R|S")},
        {kReports[0], QStringLiteral("Zapiši izvještaj grupe s učešćem u % po mjesecima (PDF)."),
         QStringLiteral("DATOTEKA")},
        {kReports[1], QStringLiteral("Zapiši izvještaj grupe s učešćem u % ukupno (PDF)."),
         QStringLiteral("DATOTEKA")},
        {QStringLiteral("prepisi"),
         QStringLiteral("Prepiši grupe i konta iz te godine u knjigovodstvenu godinu (uz "
                        "--translacija)."),
         QStringLiteral("GODINA")},
        {QStringLiteral("translacija"),
         QStringLiteral("Konta pri prepisivanju: 0 ista, 1 ili 2 preko SifKonta1 ili SifKonta2."),
         QStringLiteral("N"), QStringLiteral("0")}};
    c.workHelp = QStringLiteral(" (i s --definiraj, --prepisi, --izvjestaj-grupa...)");
    c.windowless = QStringList{QStringLiteral("definiraj"), QStringLiteral("prepisi")} + kReports;
    c.writing = {QStringLiteral("definiraj"), QStringLiteral("prepisi")};
    c.check = checkOptions;
    c.insteadOfDrawing = defineGroup;
    c.afterDrawing = groupWork;
    return c;
}
