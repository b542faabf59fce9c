#include "services.h"

Services Services::desktop()
{
    return Services{std::make_shared<QtDialogs>(), std::make_shared<IniSettingsStore>(),
                    std::make_shared<DesktopSpreadsheets>(), std::make_shared<DesktopPrinters>()};
}
