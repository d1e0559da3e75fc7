#include "appcontext.h"

#include "settingsstore.h"

AppContext::AppContext(const StartupValues& startup)
    : values(startup), disk(startup.programDrive), pack(disk)
{
}

AppContext::~AppContext() = default;

SettingsStore& AppContext::openSettings()
{
    if (!settings)
        settings = std::make_unique<SettingsStore>(values.appTitle);
    return *settings;
}

bool AppContext::setRunMode(RunMode mode)
{
    if (m_runMode)
        return false;
    m_runMode = mode;
    return true;
}
