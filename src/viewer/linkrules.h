#pragma once

// What a click on a link in a pane means. The rules look at the link as the page writes it, at
// its target and at its full path (the link expanded against the clicked document's folder), and
// at whether the pane shows an archive listing. The same rules run twice: in the
// page, where the click has to be kept from the engine at once, and here, where the action is
// taken; tests hold the two to each other.

#include <QString>

enum class LinkRule
{
    NewCopy,    // target "_blank": an enlarged picture in a copy of the program
    Shell,      // web and mail addresses
    Print,      // "printhtml:"
    CopyFile,   // "copy:"
    CopyList,   // "copylist:"
    FileAction, // a file that is not a page or picture: save, list, play or open it
    ShowPage,   // a member of an archive listing, or a page written with a drive letter
    FollowSync, // a page: the engine loads it, the contents tree follows
    Follow,     // everything else the engine follows by itself
};

// True when the engine must not follow the link itself.
bool linkIsHandled(LinkRule rule);

// The link expanded against the folder of document (a file path), '\' read as '/', "." and ".."
// resolved; a link with a drive letter or a leading '/' stands for itself. A fragment or query
// stays on the end. The case is kept, for the disk; the rules compare in lower case.
QString linkFullPath(const QString& document, const QString& link);

// The file a path names: everything before its first '#'.
QString withoutFragment(const QString& path);

// The extension of a full path: everything from the last '.' of its last component (a fragment
// stays part of it), lower-cased; empty when that component has no '.'.
QString linkExtension(const QString& fullPath);

LinkRule classifyLink(const QString& target, const QString& link, const QString& fullPath, bool archiveMode);

// The same rules for the page (js/linkrules.js): one expression, an object whose
// classify(target, link, archiveMode, documentPath) is true when the click is the program's and
// whose linkFullPath(documentPath, link) is LinkFullPath.
QString classifyLinkScript();
