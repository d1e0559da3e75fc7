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
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class ContentPack;

// The charset a page declares in a <meta> (or its byte order mark), lower-cased; empty when none.
QString declaredCharset(QByteArrayView page);

// The page's bytes as text, in its declared charset; a page that declares none is UTF-8 when its
// bytes are (isUtf8Text), else code page 1251.
QString decodePage(QByteArrayView page);

// What a reader sees of the page, blanks collapsed, as the scan searches it.
QString visiblePageText(QByteArrayView page);

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
// The walk visits every folder once: a link to a folder inside the content folder is not
// followed (the folder is walked under its own name), nor is any link or mount that leads to a
// folder already walked, so links that form a loop end the walk instead of repeating it. Only
// regular files are pages.
QStringList listScanPages(const ContentPack& opener, const QString& folder, const ScanListOptions& options = {});

// The largest page a scan or the index builder reads. A larger file is left out: one huge file
// cannot take all memory, and a scan holds no more than a page or two at a time.
inline constexpr qsizetype kMaxPageBytes = 16 * 1024 * 1024;

// Reads pages as the file opener does (the pack's copy first, then the disk), into one buffer
// that is used again for every page, so a scan of many pages costs the memory of its largest
// page. A disk file is read only when it is a regular file (a link to a device or a pipe is not
// a page), and only up to kMaxPageBytes.
class PageReader final
{
public:
    explicit PageReader(const ContentPack& opener) : m_opener(opener) {}
    ~PageReader();
    Q_DISABLE_COPY_MOVE(PageReader)

    enum class Result
    {
        Read,
        Missing,  // neither the pack nor the disk holds it, or it cannot be opened
        NotAFile, // on disk, but not a regular file
        TooLarge, // more than kMaxPageBytes
    };
    // Reads path; its bytes are then in bytes() until the next read.
    Result read(const QString& path);
    QByteArrayView bytes() const { return m_buffer; }

    // Why a page that did not read was left out, for a message.
    static QString reason(Result result);

private:
    static constexpr qint64 kReleaseEveryBytes = 8 * 1024 * 1024;

    const ContentPack& m_opener;
    QByteArray m_buffer;
    qint64 m_packedSinceRelease = 0; // bytes of the pack read since they were last given back
};

// A query prepared for many pages. Whether a page holds it is the same answer as
// visibleTextContains(visiblePageText(page), query, matchCase), but most pages that do not hold
// it are told apart from their bytes alone: a page in code page 1251 is looked through, byte by
// byte, for every place the query's first letter could begin, following what markup, blanks and
// soft hyphens do to the text a reader sees; only a page where the query may stand (or that holds
// something the byte look cannot follow, such as character references that could spell it, a
// script or another charset) is decoded and read whole.
class PageMatcher final
{
public:
    PageMatcher(const QString& query, bool matchCase);

    bool matches(QByteArrayView page) const;
    // False only when the page certainly does not hold the query (the quick look above).
    bool mayMatch(QByteArrayView page) const;

private:
    bool quickLookFrom(QByteArrayView page, qsizetype start) const;

    QString m_query;
    bool m_matchCase = false;
    // The query as the quick look compares it: case folded unless case is to match; empty when
    // the query is not in the form searchQuery gives (then every page is read whole).
    QList<char16_t> m_needle;
    // Whether a character reference could stand for the query's first character.
    bool m_referenceMayStart = false;
};

// Scans pages[from..] of the content folder for query; the index of the first page that holds
// it, or -1. A page that cannot be read is skipped. stop is tested before every page: once it is
// set the scan ends (returning -1). progress, when given, is told the index of each page before it
// is read.
qsizetype scanPages(const ContentPack& opener, const QString& folder, const QStringList& pages, qsizetype from,
                    const QString& query, bool matchCase, const std::atomic_bool* stop = nullptr,
                    const std::function<void(qsizetype)>& progress = {});
