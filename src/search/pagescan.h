#pragma once

// Searching pages for a text without laying them out: each page is read through the file
// opener, decoded in its declared charset and reduced to the text a reader sees, which is then
// searched. A hit is shown and selected afterwards by the pane's own find, so the rules here
// follow what the engine shows:
//  - the charset of the page's <meta> (or its byte order mark); code page 1251 when it declares
//    none or one we cannot read;
//  - character references decoded;
//  - <head> matter (title included), scripts, style sheets and comments left out;
//  - runs of white space (a no-break space among them) read as one blank;
//  - letters compared without regard to case, Cyrillic and ё/Ё included, unless case is to match.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class ContentPack;

// The charset a page declares in a <meta> (or its byte order mark), lower-cased; empty when none.
QString declaredCharset(const QByteArray& page);

// The page's bytes as text, in its declared charset; a page that declares none is UTF-8 when its
// bytes are (isUtf8Text), else code page 1251.
QString decodePage(const QByteArray& page);

// What a reader sees of the page, blanks collapsed, as the scan searches it.
QString visiblePageText(const QByteArray& page);

// The text typed into a search box as it is searched for: blanks trimmed and runs of blanks made
// one. Empty when nothing but blanks was typed.
QString searchQuery(const QString& typed);

// Whether visible (from visiblePageText) holds query (from searchQuery).
bool visibleTextContains(const QString& visible, const QString& query, bool matchCase);

// Which pages a scan walks, relative to the content folder with '/' between folders.
struct ScanListOptions
{
    // Pages directly in these top-level folders are left out (lower case, no separator).
    QStringList excludedFolders;
    // Pages whose lower-cased path holds any of these fragments are left out.
    QStringList excludedFragments;
};

// The pages of the content folder (its path, ending with '/'): the .htm* files on disk below it,
// folder by folder from the top, sorted by name within a folder, then the pack's pages that the
// disk did not already give. Each page once, compared without regard to case, as the opener reads
// them. interface.dat's pages count whether or not a disk copy exists.
QStringList listScanPages(const ContentPack& opener, const QString& folder, const ScanListOptions& options = {});

// Scans pages[from..] of the content folder for query; the index of the first page that holds
// it, or -1. A page that cannot be read is skipped. stop is tested before every page: once it is
// set the scan ends (returning -1). progress, when given, is told the index of each page before it
// is read.
qsizetype scanPages(const ContentPack& opener, const QString& folder, const QStringList& pages, qsizetype from,
                    const QString& query, bool matchCase, const std::atomic_bool* stop = nullptr,
                    const std::function<void(qsizetype)>& progress = {});
