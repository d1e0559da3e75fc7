#pragma once

// The command line: options of this port begin with "--" and are taken off before the run mode is
// chosen from what is left, as the original chose it from its parameters. One parameter is read
// otherwise: a title's container, Kel.dhl, as a file manager hands it over, opens the skinned
// window on the container's folder instead of a copy showing the file.

#include "runmode.h"

#include <QString>
#include <QStringList>

struct CommandLine
{
    enum class Mode
    {
        Skinned,   // no parameter
        Thesaurus, // "/t" anywhere
        Plain,     // any other parameter: an enlarged picture, or with "/h" a help page
    };

    Mode mode = Mode::Skinned;
    QString argument;       // the file a copy shows
    bool copyFlag = false;  // "/h" in a plain copy, "/t" in a thesaurus copy
    QStringList parameters; // what is left after the "--" options

    QString contentFolder;   // --content DIR, or the folder of a container given as the parameter
    QString screenshot;      // --screenshot FILE.png
    int screenshotAfter = 0; // --after MS
    QStringList commands;    // --command CMD, repeatable
    QString printTo;         // --print-to FILE.pdf
    bool version = false;
    bool help = false;
    QString error; // bad usage, for one line on standard error

    static CommandLine parse(const QStringList& arguments);
    // The run mode the parameters choose; a skinned copy that finds its title running becomes
    // RunMode::AbandonedSecondCopy later, at start-up.
    RunMode runMode() const;
};

// The file a copy shows, from its parameters: quotes dropped, blanks trimmed, and " /h" or " /t"
// taken out (which sets the copy flag).
QString copyArgument(const QString& rawParameters, const QString& marker, bool* copyFlag);

// True when path names a title's container: a file named Kel.dhl, in any case.
bool isContainerPath(const QString& path);

extern const char kUsage[];
