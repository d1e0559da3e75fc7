#pragma once

// What a click on a link in a pane does, and the two file copies of the panes ("copyhtml" and
// "copylist:" links). The outside world (dialogs, the shell, other programs, the components that
// list archives or play clips) is reached through LinkServices, so tests can stand in for it.

#include "linkrules.h"
#include "panecallbacks.h"
#include "panereports.h"

#include <QString>
#include <QStringList>

#include <functional>

class AppContext;
class QWidget;

// The real link services, for the running program, in every member left empty; parent owns the
// dialogs.
void fillDesktopLinkServices(LinkServices& services, QWidget* parent, const AppContext& context);

class TLinkHandler final
{
public:
    // What "copyhtml" says in the status line: the page and its files copied; the page not
    // copied (nothing was); the page copied but not every file of its ".files" folder.
    static constexpr QStringView kPageCopied = u"Файл скопирован";
    static constexpr QStringView kPageNotCopied = u"Файл не скопирован";
    static constexpr QStringView kPageCopiedInPart = u"Файл скопирован не полностью";
    static constexpr QStringView kNoCopyFolder = u"Файл не скопирован: не задана папка для копирования";
    // A link the desktop has no program for, or to a file that is not there (%1: the address, the
    // file's name, or the path looked at for a missing file).
    static constexpr QStringView kCannotOpenAddress = u"Не удалось открыть адрес %1";
    static constexpr QStringView kCannotOpenFile = u"Не удалось открыть файл %1";
    static constexpr QStringView kFileNotFound = u"Файл не найден: %1";

    TLinkHandler(const AppContext& context, LinkServices services);

    // Returns true when the click was the program's; otherwise the engine follows the link.
    // markVisited is called with the full path of every link the program takes.
    bool HandleLinkClick(const LinkClick& click, bool archiveMode, const QString& currentFile,
                         const std::function<void(const QString& fullPath)>& markVisited);
    // "copyhtml": the page file and its ".files" folder into the path field's folder, and a
    // message in the status line that says whether they were copied (or that there is no folder
    // to copy to). Nothing happens without a page.
    void CopyPageFiles(const QString& currentFile);
    void CopyListValue(const QString& name, const QList<std::pair<QString, QString>>& lists);

    QString lastSaveFolder() const { return m_lastSaveFolder; }
    LinkServices& services() { return m_services; }

private:
    void tell(QStringView text) const;
    void fileAction(const QString& fullPath, bool archiveMode, const QString& currentFile);
    // The path field's folder, ending with '/'; empty without a field.
    QString destinationFolder() const;
    // Copies a file from disk over target, making its folders; false when it could not.
    bool copyFile(const QString& from, const QString& to) const;

    const AppContext& m_context;
    LinkServices m_services;
    QString m_lastSaveFolder;
};
