#pragma once

// What the running copy of the program shares between its parts: the start-up values, the disk
// and the content pack, the resource container, the settings, the run mode and the busy flag that
// many parts test. Made once at start-up and handed to every component that needs it.

#include "contentpack.h"
#include "pathresolver.h"
#include "readbin.h"
#include "runmode.h"
#include "scriptpaths.h"
#include "settingsstore.h"
#include "startupvalues.h"
#include "usersettings.h"

#include <optional>

class AppContext
{
public:
    explicit AppContext(const StartupValues& startup);
    ~AppContext();
    Q_DISABLE_COPY_MOVE(AppContext)

    StartupValues values;
    PathResolver disk;
    ContentPack pack;
    TReadBin container;
    SettingsStore settings; // detached (reads nothing, keeps nothing) until openSettings()
    UserSettings userSettings;

    bool busy = false; // commands are ignored while set
    // --print-to: the first print preview prints all its pages to this PDF file and the program quits.
    QString printToFile;

    // Skinned until set; set once, a later call is refused (returns false, the mode stays).
    RunMode runMode() const { return m_runMode.value_or(RunMode::Skinned); }
    bool setRunMode(RunMode mode);
    // Started with parameters, or abandoned as a second copy: anything but the skinned window.
    bool hasParameters() const { return runMode() != RunMode::Skinned; }
    // A copy started with its marker: "/h" (a help page) or "/t" (the thesaurus).
    bool copyFlag() const { return runMode() == RunMode::HelpCopy || runMode() == RunMode::Thesaurus; }
    bool thesaurusMode() const { return runMode() == RunMode::Thesaurus; }

    ProgramFolders folders() const { return {values.programDrive, values.programDir}; }
    // Attaches the settings to the title (values.appTitle), once it is known; the skinned window
    // keeps settings, the copies do not.
    SettingsStore& openSettings();

private:
    std::optional<RunMode> m_runMode;
};
