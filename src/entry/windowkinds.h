#pragma once

#include "chartwin/windowcommand.h"
#include "chartwin/windowdesign.h"
#include "platform/services.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class ChartWindow;
struct HostContext;

/// One row per chart window the component opens: what the entry class, the C interface and the
/// launcher need to know of it. A new window is a new row here and a folder of its own: the
/// launcher asks the row for everything of the window it offers.
struct WindowKind
{
    int method;              ///< the C interface's method number
    const char *command;     ///< the launcher's sub-command
    const char *entryMethod; ///< the entry class's method, for messages
    const char *summary;     ///< one line of the launcher's usage
    bool takesPlan;          ///< the plan number is handed to the window
    /// Makes the window, not loaded; null while the window is not available in this version.
    ChartWindow *(*create)(const Services &, std::shared_ptr<HostContext>, qint16 plan);
    /// How the window differs from the frame (its amount kinds, say), without making it.
    WindowDesign (*design)();
    /// Its part of the launcher's command: the options naming a node, its own work and their help.
    WindowCommand (*launcher)();
};

const std::vector<WindowKind> &windowKinds();
const WindowKind *windowKindByMethod(int method);
const WindowKind *windowKindByCommand(const QString &command);
