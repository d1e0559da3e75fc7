#pragma once

// What a click on a link in a pane does, and the two file copies of the panes ("copyhtml" and
// "copylist:" links). The outside world (dialogs, the shell, other programs, the components that
// list archives or play clips) is reached through LinkServices, so tests can stand in for it.

#include "linkrules.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class AppContext;

struct LinkServices
{
    // The folder of the path field of the current screen, ending with '/'; empty without one.
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
    std::function<void(const QUrl& url)> openUrl;
    // A program started in its folder.
    std::function<void(const QString& program)> startProgram;
    // The save dialog for a ZIP file: the chosen file, or empty when cancelled.
    std::function<QString(const QString& folder, const QString& proposedName)> saveFileName;
    std::function<void(const QString& text)> setClipboard;

    // The real ones, for the running program; parent owns the dialogs.
    static LinkServices Desktop(class QWidget* parent, const AppContext& context);
};

// A click as the page reports it.
struct LinkClick
{
    QString target;
    QString link;     // as written in the page
    QString document; // the file of the document clicked in
    // The drop-down lists of that document: their names and selected texts.
    QList<std::pair<QString, QString>> lists;
};

class TLinkHandler final
{
public:
    TLinkHandler(const AppContext& context, LinkServices services);

    // Returns true when the click was the program's; otherwise the engine follows the link.
    // markVisited is called with the full path of every link the program takes.
    bool HandleLinkClick(const LinkClick& click, bool archiveMode, const QString& currentFile,
                         const std::function<void(const QString& fullPath)>& markVisited);
    // "copyhtml": the page file and its ".files" folder into the path field's folder.
    void CopyPageFiles(const QString& currentFile);
    void CopyListValue(const QString& name, const QList<std::pair<QString, QString>>& lists);

    QString lastSaveFolder() const { return m_lastSaveFolder; }
    LinkServices& services() { return m_services; }

private:
    void fileAction(const QString& fullPath, bool archiveMode, const QString& currentFile);
    // Copies a file from disk over target, making its folders; false when it could not.
    bool copyFile(const QString& from, const QString& to) const;

    const AppContext& m_context;
    LinkServices m_services;
    QString m_lastSaveFolder;
};
