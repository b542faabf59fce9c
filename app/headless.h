#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class ChartWindow;
class QCommandLineParser;
class ScriptedDialogs;
struct Services;
struct WindowCommand;

/// The options that write a file of the window's output (without their dashes).
const QStringList &headlessOutputs();

/// The options of a run that shows no window: the outputs and the work of every window kind's own
/// done without one (WindowCommand::windowless).
const QStringList &windowlessOptions();

/// True when the options ask for output without a screen (a picture, rows, a workbook, a print or
/// a report).
bool wantsHeadlessRun(const QCommandLineParser &p);

/// Keeps a cause the data access gave for a failure, to be told before what the window said.
void noteDatabaseCause(const QString &cause);

/// Tells why a run failed on standard error: the database's causes first (each once), then every
/// message the window showed (its questions left out), then the launcher's own lines. Returns 1.
int reportFailure(const ScriptedDialogs &dialogs, const QStringList &own = {});

/// Drives an open window as the options ask (years, months, amount kind, chart type, scale, the
/// node), writes what they name and closes the window. Returns the process's exit code; on failure
/// the cause has been told (reportFailure).
/// `more` runs after the node is drawn and before the window closes: a window kind's own outputs;
/// it returns an exit code, 0 to go on.
int runHeadless(ChartWindow *w, const QCommandLineParser &p, const WindowCommand &launcher,
                ScriptedDialogs &dialogs, const Services &services,
                const std::function<int(ChartWindow *)> &more = {});
