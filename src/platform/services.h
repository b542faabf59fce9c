#pragma once

#include "platform/dialogs/dialogs.h"
#include "platform/settings/settingsstore.h"

#include <memory>

/// The platform as the windows see it, made by the entry class and handed to every window.
struct Services
{
    std::shared_ptr<Dialogs> dialogs;
    std::shared_ptr<SettingsStore> settings;

    /// Real boxes and the user's settings files.
    static Services desktop();
};
