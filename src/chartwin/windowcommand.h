#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

class ChartWindow;
class QCommandLineParser;
class ScriptedDialogs;

/// What a window kind brings to the launcher's command for it ("fingraf promet ..."): the options
/// of its own with their help, their checks, and work of its own that the launcher runs on the
/// opened window without showing it. The launcher adds the frame's options (the book, the years
/// and months, the chart, the outputs) and does everything else.
struct WindowCommand
{
    /// How a run ends; scripts tell the three apart.
    enum Exit { Done = 0, CouldNot = 1, BadOption = 2 };

    /// What the launcher lends the kind's work.
    struct Run
    {
        ScriptedDialogs &dialogs; ///< the window's boxes, answered from queues
        /// Says why the work failed (the database's causes and the window's messages, then these
        /// lines) on standard error; gives CouldNot.
        std::function<int(const QStringList &own)> fail;
        /// A line of the launcher's own on standard error.
        std::function<void(const QString &line)> tell;
        /// How far a long piece of work has come, on a terminal; percent -1 takes the line away.
        std::function<void(const QString &what, int percent)> progress;
    };

    /// The options naming a tree node, outermost first (ChartWindow::clickPath).
    QList<QCommandLineOption> path;
    /// Of those, the ones with a value of their own when left out: the ones below need not them.
    QStringList pathDefaults;
    /// A node key of the kind's tree, for the help of --node.
    QString nodeKeyExample;
    /// Options of the kind's own work, and the help's words on it.
    QList<QCommandLineOption> work;
    QString workHelp;
    /// Of the work options, those that ask for work without a window, and those whose work writes
    /// to the book (the book must then take writing before anything opens).
    QStringList windowless;
    QStringList writing;

    /// Checks the kind's options before anything opens (outputs: the frame's output options):
    /// what is wrong, empty when nothing is.
    std::function<QString(const QCommandLineParser &, const QStringList &outputs)> check;
    /// Work that takes the drawing's place when the options ask for it: its exit code; nothing
    /// when they do not.
    std::function<std::optional<int>(ChartWindow *, const QCommandLineParser &, Run &)>
        insteadOfDrawing;
    /// Work after the node is drawn and before the window closes: an exit code, Done to go on.
    std::function<int(ChartWindow *, const QCommandLineParser &, Run &)> afterDrawing;

    /// The path options' names, outermost first.
    QStringList pathNames() const;
    /// Whether the options ask for work of the kind's own without a window.
    bool asksForWindowlessWork(const QCommandLineParser &p) const;
    /// Whether they ask for work that writes to the book.
    bool asksForWriting(const QCommandLineParser &p) const;

    /// The problem with a whole-number option given outside min..max, empty when there is none.
    static QString outOfRange(const QCommandLineParser &p, const QString &name, int min, int max);
};
