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
    // The user's temporary folder: besides the manual's folder the one place a file to print may
    // come from (the companion writes its files there).
    QString tempDir;
    // The file a copy was started with; a query for exactly this file is answered yes.
    QString startedFile;
    // Without a pane a window takes no request at all.
    std::function<bool()> hasPane;
    std::function<int()> currentScreen;
    std::function<QString()> currentFile;
    std::function<void(const QString& file)> showPage;
    std::function<void(const QString& command)> runCommand;
    std::function<void(const QString& page)> syncTree;
    // Whether the content pack holds file: the pack's copy would be printed, not the disk file
    // the request hands over, so such a request is refused.
    std::function<bool(const QString& file)> packHolds;
    // Prints file with the sender's two print values; true when it was printed (it loaded and went
    // through the print preview). Only then is the file deleted.
    std::function<bool(const QString& file, int first, int second)> printFile;
};

// Joins the window's endpoint to target: each request is carried out on the window's thread, and
// its answer goes back to the sender. owner bounds the connection's life.
void receiveCopyData(WindowEndpoint& endpoint, QObject* owner, CopyDataTarget target);

// The page a show-page request may show: a path relative to programDir that stays inside it,
// read against it, or an absolute path inside it, as given; empty when the page would leave it.
QString acceptedPage(const QString& requested, const QString& programDir);

// The file a print request may print and then delete: an existing regular file, not a symbolic
// link, inside programDir (a relative path is read against it) or one of the user's own files
// inside tempDir, both folders compared with their links resolved. Its canonical path, or empty
// when the request is refused.
QString acceptedPrintFile(const QString& requested, const QString& programDir, const QString& tempDir);
