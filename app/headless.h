#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class ChartWindow;
class QCommandLineParser;
class ScriptedDialogs;
struct Services;

/// The options that write a file of the window's output (without their dashes).
const QStringList &headlessOutputs();

/// True when the options ask for output without a screen (a picture, rows, a workbook, a print or
/// a report).
bool wantsHeadlessRun(const QCommandLineParser &p);

/// Drives an open window as the options ask (years, months, amount kind, chart type, scale, the
/// node), writes what they name and closes the window. Returns the process's exit code; on failure
/// every message the window showed has been printed.
/// `more` runs after the node is drawn and before the window closes: a window kind's own outputs;
/// it returns an exit code, 0 to go on.
int runHeadless(ChartWindow *w, const QCommandLineParser &p, const QStringList &pathOptions,
                ScriptedDialogs &dialogs, const Services &services,
                const std::function<int(ChartWindow *)> &more = {});
