#pragma once

// Paths written in scripts and commands. Content writes Windows paths; here they are read with
// '/' for '\', and "absolute" means a leading '/' or a drive letter ("d:/...").

#include <QString>

// The two start-up folders that path expansion reads, both ending with '/'.
struct ProgramFolders
{
    QString drive; // mount point of the content's volume: what "<cd>" stands for
    QString dir;   // the content folder: what relative paths are relative to
};

// A script value as a path, first rule that applies: "<cd>" (its first occurrence) becomes the
// program drive; an absolute path stays; a value with '.' or a separator is relative to the
// program folder (after the last '=', when it holds one, so "html1=a.htm" keeps its "html1=");
// any other word stays (a command name, a number).
QString ExpandPath(const QString& value, const ProgramFolders& folders);

// relative joined to base. ".." never climbs above the root limit: the folder just below the
// root of an absolute base ("d:/run/", "/media/"), or the first folder of a relative one. A
// relative path with a leading separator starts at the root limit.
QString CombinePath(const QString& base, const QString& relative);

// html1=page.htm=2: the argument "page.htm" (expanded) and the target "2". A command with one '='
// has the text after it as its argument and no target; without '=' both are empty.
QString CommandArg(const QString& command, const ProgramFolders& folders);
QString CommandTarget(const QString& command, const ProgramFolders& folders);
