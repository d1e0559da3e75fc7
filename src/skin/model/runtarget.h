#pragma once

// What a "run=" command does with its target. Discs carry every file with the execute bit, so the
// bit alone cannot tell a program from a document: programs are told by their kind instead.

#include <QString>

enum class RunAction
{
    StartProgram,     // a program of this system: started with its parameters, in its own folder
    StartShellScript, // a shell script without the execute bit: started through /bin/sh
    OpenDocument,     // anything else: opened with the desktop's handler for its kind
};

// Whether the value after "run=" is a web or mail address rather than a file.
bool isWebAddress(const QString& value);

// The action for the file at path (resolved on disk). A program of this system is a file marked
// executable whose first bytes show one (an ELF binary, a script with "#!"), or a ".sh" script.
// Programs of Windows (".exe", ".com", ".bat", ".cmd") start directly on Windows; elsewhere they
// go to the desktop's handler, which knows what can run them. Everything else is a document.
RunAction classifyRunTarget(const QString& path);
