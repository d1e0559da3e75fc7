#pragma once

// What every fuzz target shares: a quiet Qt application made once, a private temporary folder for
// the readers that take a file, and the input seen as the lines of a script.
//
// A fuzz target feeds the reader the program uses, never a copy of it; a finding stops the run
// through the sanitizers, or through FUZZ_CHECK when the reader breaks a promise of its own.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace fuzz {

enum class App
{
    Core, // QCoreApplication: readers of bytes and text
    Gui,  // QApplication on the offscreen platform: readers that build windows
};

// Makes the application once (from LLVMFuzzerInitialize), silences Qt's messages (a reader's
// warnings are expected on hostile input and would only slow the run) and points the settings and
// caches at the temporary folder.
void start(int* argc, char*** argv, App app = App::Core);

// This process's temporary folder, removed when the process ends.
QString tempDir();

// Writes the bytes to name in the temporary folder and gives the file's path.
QString writeFile(const QString& name, const uint8_t* data, size_t size);

QByteArray bytes(const uint8_t* data, size_t size);

// The input as code page 1251 text, split at LF with a CR before it dropped, as
// `velbrook-tool script encode` reads a text file.
QStringList textLines(const uint8_t* data, size_t size);

// The lines as the program meets them: stored with our script writer, then decoded by the
// program's decoder (lower-cased for every script but the trees).
QStringList storedScriptLines(const QStringList& lines, bool lowerCase);

// Removes every file and folder below path (not path itself).
void clearFolder(const QString& path);

[[noreturn]] void fail(const char* what, const QString& detail);

} // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                                                                  \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            ::fuzz::fail(#condition, (detail));                                                                        \
    } while (false)
