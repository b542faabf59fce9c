#pragma once

#include "platform/dialogs/dialogs.h"
#include "platform/printing/printers.h"
#include "platform/settings/settingsstore.h"
#include "platform/spreadsheet/spreadsheet.h"

#include <memory>

/// The platform as the windows see it, made by the entry class and handed to every window.
struct Services
{
    std::shared_ptr<Dialogs> dialogs;
    std::shared_ptr<SettingsStore> settings;
    std::shared_ptr<SpreadsheetApplication> spreadsheets;
    std::shared_ptr<Printers> printers;

    /// Real boxes, the user's settings files, the desktop's spreadsheet program and printer.
    static Services desktop();
};
