#pragma once

// What the running copy of the program shares between its parts: the start-up values, the disk
// and the content pack, the resource container, the settings, and the few flags that many parts
// test. Made once at start-up and handed to every component that needs it.

#include "contentpack.h"
#include "pathresolver.h"
#include "readbin.h"
#include "scriptpaths.h"
#include "startupvalues.h"
#include "usersettings.h"

#include <memory>

class SettingsStore;

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
    std::unique_ptr<SettingsStore> settings; // once the title is known
    UserSettings userSettings;

    bool busy = false;          // commands are ignored while set
    bool hasParameters = false; // started with parameters (or abandoned as a second copy)
    bool copyFlag = false;      // a help or thesaurus copy
    bool thesaurusMode = false;

    ProgramFolders folders() const { return {values.programDrive, values.programDir}; }
    // Opens the settings of the title (values.appTitle).
    SettingsStore& openSettings();
};
