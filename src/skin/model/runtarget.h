#pragma once

// What a "run=" command does with its target. Discs carry every file with the execute bit, so the
// bit cannot tell a program from a document: programs are told by their kind instead.

#include <QString>

enum class RunAction {
    StartProgram,   // a program: started with its parameters, in its own folder
    OpenDocument,   // any other file: opened with the desktop's handler for its kind
    OpenWebAddress, // a web or mail address: handed to the browser
};

// Whether the value after "run=" is a web or mail address rather than a file.
bool IsWebAddress(const QString& value);

// The action for the file at path (resolved on disk): programs by their extension (.exe, .com,
// .bat, .cmd, .sh), or files marked executable whose first bytes show a real program (an ELF
// binary or a script with "#!").
RunAction ClassifyRunTarget(const QString& path);
