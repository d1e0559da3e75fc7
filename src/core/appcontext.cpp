#include "appcontext.h"

AppContext::AppContext(const StartupValues& startup) : values(startup), disk(startup.programDrive), pack(disk) {}

AppContext::~AppContext() = default;

SettingsStore& AppContext::openSettings()
{
    settings.open(values.appTitle);
    return settings;
}

bool AppContext::setRunMode(RunMode mode)
{
    if (m_runMode)
        return false;
    m_runMode = mode;
    return true;
}
