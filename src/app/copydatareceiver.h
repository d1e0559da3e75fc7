#pragma once

// What a window of this program does with the requests other copies and the companion program
// send it: show a page, print a file, say whether it shows a file.

#include <QString>

#include <functional>

class QObject;
class WindowEndpoint;

struct CopyDataTarget
{
    enum class Kind
    {
        Skinned,   // the skinned window: a page goes to its pane, or to the reading screen
        Copy,      // a plain-window copy: it answers for the file it was started with
        Thesaurus, // the thesaurus copy: a page goes to its pane as it is
    };

    Kind kind = Kind::Skinned;
    QString programDir;
    // The file a copy was started with; a query for exactly this file is answered yes.
    QString startedFile;
    // Without a pane a window takes no request at all.
    std::function<bool()> hasPane;
    std::function<int()> currentScreen;
    std::function<QString()> currentFile;
    std::function<void(const QString& file)> showPage;
    std::function<void(const QString& command)> runCommand;
    std::function<void(const QString& page)> syncTree;
    // Prints file with the sender's two print values; the file is deleted afterwards either way.
    std::function<void(const QString& file, int first, int second)> printFile;
};

// Joins the window's endpoint to target: each request is carried out on the window's thread, and
// its answer goes back to the sender. owner bounds the connection's life.
void receiveCopyData(WindowEndpoint& endpoint, QObject* owner, CopyDataTarget target);
