#pragma once

// What the HTML panes ask of the window around them, and of the world outside for the links in
// their pages (dialogs, the shell, other programs, the components that list archives or play
// clips), so tests can stand in for it. Any of them may be left empty.

#include <QPoint>
#include <QString>
#include <QUrl>

#include <functional>

struct PaneCallbacks
{
    std::function<int()> currentScreen;
    // After a page has loaded in the current pane (or in a frame of it): its file and title.
    std::function<void(const QString& file, const QString& title)> pageChanged;
    // A press in a pane closes the open popups; the right button opens the pane's own.
    std::function<void()> hidePopups;
    std::function<void(QPoint globalPosition)> openPanePopup;
    // The pointer is over a pane, off the window's buttons.
    std::function<void()> pointerLeftElements;
    // Enter in a pane.
    std::function<void()> enterPressed;
};

struct LinkServices
{
    // The folder copies go to, ending with '/' (the path field of the current screen, else the
    // window's first); empty without one.
    std::function<QString()> pathFolder;
    std::function<void(const QString& text)> showStatus;
    // The contents tree selects the item of a page.
    std::function<void(const QString& page)> syncTree;
    // An archive is listed in the pane (with the page that linked it), or unpacked for a member.
    std::function<void(const QString& archive, const QString& fromPage)> showArchive;
    std::function<void()> extractArchive;
    // A sound or clip linked from a page.
    std::function<void(const QString& file)> playClip;
    std::function<void(const QString& file)> printFile;
    // Shows a page in the current pane.
    std::function<void(const QString& page)> showPage;
    // A copy of the program showing a picture.
    std::function<void(const QString& file)> startCopy;
    // A web or mail address, or a file, opened by the desktop's program for it; false when no
    // program took it.
    std::function<bool(const QUrl& url)> openUrl;
    // A program started in its folder.
    std::function<void(const QString& program)> startProgram;
    // The save dialog for a ZIP file: the chosen file, or empty when cancelled.
    std::function<QString(const QString& folder, const QString& proposedName)> saveFileName;
    std::function<void(const QString& text)> setClipboard;
};
