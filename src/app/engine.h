#pragma once

// The web engine's part of the program: the HTML panes and the plain window of a copy. It lives in
// a module of its own beside the program ("libvelbrook-engine.so"), loaded the first time a screen
// with panes shows or a copy starts: the engine's libraries take longer to load than the rest of
// the program, and the first screen of a manual usually has no pane.

#include "componenthooks.h"
#include "panecallbacks.h"
#include "skinrecords.h"

#include <QMainWindow>

#include <memory>

class AppContext;

// A window that a screenshot waits for until it has drawn what it shows.
class EngineWindow : public QMainWindow
{
public:
    using QMainWindow::QMainWindow;
    virtual bool hasPainted() const = 0;
    // Shows another file in the window, as another copy asked.
    virtual void showFile(const QString& file) = 0;
};

class EngineParts
{
public:
    virtual ~EngineParts() = default;
    // The panes of elements in window (on the reading screen inside panel). Link services left
    // empty get the desktop's own.
    virtual std::unique_ptr<HtmlPanesHooks> createPanes(QWidget* window, QWidget* panel, AppContext& context,
                                                        const TDynamicHtmlArray& elements, PaneCallbacks callbacks,
                                                        LinkServices links) = 0;
    // The window of a copy showing file.
    virtual std::unique_ptr<EngineWindow> createPlainWindow(const AppContext& context, const QString& file) = 0;
};

// The engine's parts, from the module beside the program, loaded once; nullptr, with one line on
// standard error, when the module cannot be loaded.
EngineParts* loadEngine();

// An entry point of the module at modulePath (a file name without its suffix), loaded as loadEngine
// loads it; nullptr, with one line on standard error, when the module or the entry is missing.
QFunctionPointer resolveEngineEntry(const QString& modulePath, const char* symbol);

// The name the module gives its parts under.
inline constexpr char kEnginePartsSymbol[] = "VelbrookEngineParts";
// bool (const QString& caption): the window directory asked, from inside the module, to close the
// window with the caption. The module shares the program's lower libraries, so it reaches a window
// of the calling thread through the one registry of this process's windows.
inline constexpr char kEngineRequestCloseSymbol[] = "VelbrookEngineRequestClose";
