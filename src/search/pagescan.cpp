#include "pagescan.h"

#include "codepage.h"
#include "contentpack.h"
#include "htmltext.h"
#include "pathresolver.h"
#include "searchlog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <array>
#include <cstring>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// Only the start of a page is looked at for its <meta>, as browsers do.
constexpr qsizetype kCharsetWindow = 4096;

bool isCharsetChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == ':';
}

bool isBlank(char16_t c)
{
    if (c <= u' ')
        return true;
    if (c < 0x80)
        return false;
    return c == 0x00A0 || QChar::isSpace(c);
}

QString collapseBlanks(QStringView text)
{
    // Written in place into a buffer of the text's size: this runs over every character of every
    // page a scan reads.
    QString out(text.size(), Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(out.data());
    char16_t* to = begin;
    bool pendingBlank = false;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == 0x00AD)
            continue; // a soft hyphen shows only where a line breaks
        if (isBlank(c)) {
            pendingBlank = to != begin;
            continue;
        }
        if (pendingBlank)
            *to++ = u' ';
        pendingBlank = false;
        *to++ = c;
    }
    out.truncate(to - begin);
    return out;
}

bool isCp1251Name(QByteArrayView name)
{
    for (const char* known : {"windows-1251", "cp1251", "x-cp1251", "win-1251", "1251"}) {
        if (qstrnicmp(name.data(), name.size(), known, qsizetype(qstrlen(known))) == 0)
            return true;
    }
    return false;
}

// Where the ASCII text what (lower case) first occurs in text from from on, in any case; -1 when
// it does not. Runs over the first bytes of every page a scan reads: candidates are found by
// their first byte in either case.
qsizetype indexOfAnyCase(QByteArrayView text, QByteArrayView what, qsizetype from)
{
    const char first = what.front();
    const char upper = first >= 'a' && first <= 'z' ? char(first - ('a' - 'A')) : first;
    const char* const begin = text.data();
    const char* const last = begin + text.size() - what.size(); // the last place what can begin
    for (const char* at = begin + qMax<qsizetype>(from, 0); at <= last; ++at) {
        const char* lower = static_cast<const char*>(std::memchr(at, first, size_t(last - at + 1)));
        const char* capital =
            upper == first ? nullptr : static_cast<const char*>(std::memchr(at, upper, size_t(last - at + 1)));
        at = lower && capital ? qMin(lower, capital) : lower ? lower : capital;
        if (!at)
            return -1;
        if (qstrnicmp(at + 1, what.size() - 1, what.data() + 1, what.size() - 1) == 0)
            return at - begin;
    }
    return -1;
}

// The charset a page declares, as it is written there (any case); empty when it declares none.
QByteArrayView declaredCharsetBytes(QByteArrayView page)
{
    if (page.startsWith("\xEF\xBB\xBF"))
        return "utf-8";
    if (page.startsWith("\xFF\xFE"))
        return "utf-16le";
    if (page.startsWith("\xFE\xFF"))
        return "utf-16be";
    const QByteArrayView head = page.first(qMin(page.size(), kCharsetWindow));
    for (qsizetype at = indexOfAnyCase(head, "<meta", 0); at >= 0; at = indexOfAnyCase(head, "<meta", at + 5)) {
        const qsizetype end = head.indexOf('>', at);
        const QByteArrayView tag = head.sliced(at, (end < 0 ? head.size() : end) - at);
        qsizetype key = indexOfAnyCase(tag, "charset", 0);
        if (key < 0)
            continue;
        key += 7;
        while (key < tag.size() && (tag[key] == ' ' || tag[key] == '='))
            ++key;
        while (key < tag.size() && (tag[key] == '"' || tag[key] == '\''))
            ++key;
        qsizetype stop = key;
        while (stop < tag.size() && isCharsetChar(tag[stop]))
            ++stop;
        if (stop > key)
            return tag.sliced(key, stop - key);
    }
    return {};
}

// The kinds of bytes of a page in code page 1251, for the quick look.
enum class ByteKind : quint8
{
    Shown,     // a character a reader sees
    Blank,     // white space: a run of them reads as one blank
    Dropped,   // a soft hyphen
    Markup,    // '<'
    Reference, // '&'
};

struct Cp1251Tables
{
    std::array<char16_t, 256> exact{};  // the character of each byte
    std::array<char16_t, 256> folded{}; // the same, case folded
    std::array<ByteKind, 256> kind{};
};

const Cp1251Tables& cp1251Tables()
{
    static const Cp1251Tables tables = [] {
        Cp1251Tables t;
        for (int byte = 0; byte < 256; ++byte) {
            const char b = char(byte);
            const char16_t c = fromCp1251(QByteArrayView(&b, 1)).at(0).unicode();
            t.exact[byte] = c;
            t.folded[byte] = QChar(c).toCaseFolded().unicode();
            t.kind[byte] = c == u'<'     ? ByteKind::Markup
                           : c == u'&'   ? ByteKind::Reference
                           : c == 0x00AD ? ByteKind::Dropped
                           : isBlank(c)  ? ByteKind::Blank
                                         : ByteKind::Shown;
        }
        return t;
    }();
    return tables;
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What the '<' at page[at] is, read as extractPageText reads it in the text of a page's body.
struct Markup
{
    enum Kind
    {
        Text,      // no markup: a '<' a reader sees
        Hidden,    // a comment: nothing shows
        Tag,       // a tag: a blank unless it is an inline tag
        Unknown,   // a script, style sheet, title or head: not followed here
        EndOfText, // a comment that is never closed hides the rest of the page
    };
    Kind kind = Text;
    qsizetype end = 0; // the index after it
    bool inlineTag = false;
};

Markup readMarkup(QByteArrayView page, qsizetype at)
{
    const qsizetype size = page.size();
    if (page.sliced(at).startsWith("<!--")) {
        const qsizetype close = page.indexOf("-->", at + 4);
        return close < 0 ? Markup{Markup::EndOfText} : Markup{Markup::Hidden, close + 3};
    }
    const qsizetype nameStart = at + 1 + (at + 1 < size && page[at + 1] == '/' ? 1 : 0);
    const char first = nameStart < size ? page[nameStart] : '\0';
    if (!isAsciiLetter(first) && first != '!' && first != '?')
        return Markup{Markup::Text};
    qsizetype nameEnd = nameStart;
    while (nameEnd < size && (isAsciiLetter(page[nameEnd]) || (page[nameEnd] >= '0' && page[nameEnd] <= '9')))
        ++nameEnd;
    // The names that matter here are short; a longer one is some other tag.
    char lower[16];
    const bool whole = nameEnd - nameStart <= qsizetype(sizeof lower);
    const qsizetype length = qMin<qsizetype>(nameEnd - nameStart, sizeof lower);
    for (qsizetype i = 0; i < length; ++i) {
        const char c = page[nameStart + i];
        lower[i] = c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
    }
    const QLatin1StringView name(lower, length);
    const bool closing = nameStart > at + 1;
    // The '>' that ends the tag, quoted attribute values skipped.
    qsizetype end = size;
    char quote = '\0';
    for (qsizetype i = at + 1; i < size; ++i) {
        const char c = page[i];
        if (quote) {
            if (c == quote)
                quote = '\0';
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            end = i + 1;
            break;
        }
    }
    if (whole && !closing && (name == "script"_L1 || name == "style"_L1 || name == "title"_L1 || name == "head"_L1))
        return Markup{Markup::Unknown};
    return Markup{Markup::Tag, end, whole && isInlineTagName(name)};
}

bool isInside(const QString& path, const QString& folder)
{
    if (path.isEmpty() || folder.isEmpty())
        return false;
    return path == folder || folder == u"/" || path.startsWith(folder + QLatin1Char('/'));
}

// What tells a folder from every other: its device and inode where the system has them, else its
// path with every link resolved. Empty when the folder cannot be read.
QString folderIdentity(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return QString();
    return QString::number(quint64(info.st_dev)) + QLatin1Char(':') + QString::number(quint64(info.st_ino));
#else
    return QFileInfo(path).canonicalFilePath();
#endif
}

// Reads the regular file at path into buffer, at most kMaxPageBytes of it. A device, a pipe or a
// socket is not opened for reading (a pipe would wait for a writer), and what a link names is
// checked again once it is open.
PageReader::Result readRegularFile(const QString& path, QByteArray& buffer)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::stat(name.constData(), &info) != 0)
        return PageReader::Result::Missing;
    if (!S_ISREG(info.st_mode))
        return PageReader::Result::NotAFile;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return PageReader::Result::Missing;
    const auto result = [&]() {
        if (::fstat(fd, &info) != 0)
            return PageReader::Result::Missing;
        if (!S_ISREG(info.st_mode))
            return PageReader::Result::NotAFile;
        if (info.st_size > kMaxPageBytes)
            return PageReader::Result::TooLarge;
        // The file may grow while it is read: one byte past the bound shows that it did.
        buffer.resize(qsizetype(info.st_size) + 1);
        qsizetype read = 0;
        for (;;) {
            if (read == buffer.size()) {
                if (read > kMaxPageBytes)
                    return PageReader::Result::TooLarge;
                buffer.resize(qMin<qsizetype>(buffer.size() * 2, kMaxPageBytes + 1));
            }
            const ssize_t got = ::read(fd, buffer.data() + read, size_t(buffer.size() - read));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return PageReader::Result::Missing;
            if (got == 0)
                break;
            read += got;
        }
        if (read > kMaxPageBytes)
            return PageReader::Result::TooLarge;
        buffer.truncate(read);
        return PageReader::Result::Read;
    }();
    ::close(fd);
    return result;
#else
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return QFileInfo::exists(path) ? PageReader::Result::NotAFile : PageReader::Result::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return PageReader::Result::Missing;
    buffer = file.read(kMaxPageBytes + 1);
    return buffer.size() > kMaxPageBytes ? PageReader::Result::TooLarge : PageReader::Result::Read;
#endif
}

} // namespace

QString declaredCharset(QByteArrayView page)
{
    return QString::fromLatin1(declaredCharsetBytes(page)).toLower();
}

QString decodePage(QByteArrayView page)
{
    const QByteArrayView declared = declaredCharsetBytes(page);
    // A page that names no character set is UTF-8 when its bytes are, as the panes show it.
    if (declared.isEmpty() && isUtf8Text(page))
        return QString::fromUtf8(page);
    if (declared.isEmpty() || isCp1251Name(declared))
        return fromCp1251(page);
    const QString charset = QString::fromLatin1(declared).toLower();
    QStringDecoder decoder(charset.toLatin1().constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) {
        qCDebug(lcSearch) << "a page declares the charset" << charset << "which is not read here; read as 1251";
        return fromCp1251(page);
    }
    QByteArrayView bytes(page);
    // The decoder would keep a byte order mark as U+FEFF.
    if (charset == u"utf-8" && page.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    else if (charset.startsWith(u"utf-16") && (page.startsWith("\xFF\xFE") || page.startsWith("\xFE\xFF")))
        bytes = bytes.sliced(2);
    return decoder.decode(bytes);
}

QString visiblePageText(QByteArrayView page)
{
    return collapseBlanks(extractPageText(decodePage(page)).text);
}

QString searchQuery(const QString& typed)
{
    return collapseBlanks(typed);
}

bool visibleTextContains(const QString& visible, const QString& query, bool matchCase)
{
    if (query.isEmpty())
        return false;
    return visible.contains(query, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

QStringList listScanPages(const ContentPack& opener, const QString& folder, const ScanListOptions& options)
{
    QStringList pages;
    QSet<QString> seen;
    const auto excluded = [&options](const QString& path) {
        const QString lower = path.toLower();
        const qsizetype slash = lower.indexOf(u'/');
        if (slash >= 0 && lower.indexOf(u'/', slash + 1) < 0 && options.excludedFolders.contains(lower.left(slash)))
            return true;
        for (const QString& fragment : options.excludedFragments) {
            if (!fragment.isEmpty() && lower.contains(fragment))
                return true;
        }
        return false;
    };
    const auto add = [&](const QString& path) {
        if (excluded(path))
            return;
        const QString key = path.toLower();
        if (seen.contains(key))
            return;
        seen.insert(key);
        pages.append(path);
    };

    // The disk, folder by folder from the top, each folder once.
    const QDir root(folder);
    const QString rootCanonical = QFileInfo(root.path()).canonicalFilePath();
    QSet<QString> walked{folderIdentity(root.path())};
    QStringList queue{QString()};
    for (qsizetype next = 0; next < queue.size(); ++next) {
        const QString relative = queue[next];
        const QDir dir(root.filePath(relative));
        const QFileInfoList files =
            dir.entryInfoList({QStringLiteral("*.htm*")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& file : files) {
            if (file.isFile())
                add(relative + file.fileName());
        }
        const QFileInfoList folders =
            dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& sub : folders) {
            const QString path = relative + sub.fileName();
            if (sub.isSymLink() && isInside(sub.canonicalFilePath(), rootCanonical)) {
                qCDebug(lcSearch) << "a link to a folder of the manual is not followed:" << path;
                continue;
            }
            const QString identity = folderIdentity(sub.absoluteFilePath());
            if (identity.isEmpty() || walked.contains(identity)) {
                qCDebug(lcSearch) << "a folder already walked is not walked again:" << path;
                continue;
            }
            walked.insert(identity);
            queue.append(path + QLatin1Char('/'));
        }
    }
    // Then the pack.
    for (const QString& path : opener.ListPackFiles()) {
        const qsizetype dot = path.lastIndexOf(u'.');
        if (dot > path.lastIndexOf(u'/') && path.mid(dot).contains(u".htm", Qt::CaseInsensitive))
            add(path);
    }
    return pages;
}

PageReader::Result PageReader::read(const QString& path)
{
    const int entry = m_opener.FindPackEntry(path);
    if (entry >= 0) {
        if (m_opener.entries()[entry].size > quint64(kMaxPageBytes))
            return Result::TooLarge;
        const ContentPack::Load loaded = m_opener.loadEntry(entry, m_buffer);
        // The pack's pages read so far are given back now and then, not after every page: a
        // reader going through many pages holds a few MiB of the pack at most.
        m_packedSinceRelease += m_opener.entries()[entry].storedSize;
        if (m_packedSinceRelease > kReleaseEveryBytes) {
            m_opener.releaseMappedPages();
            m_packedSinceRelease = 0;
        }
        if (loaded == ContentPack::Load::Loaded)
            return Result::Read;
        qCDebug(lcSearch) << "a packed page is damaged; its disk copy is read, if there is one:" << path;
    }
    return readRegularFile(m_opener.disk().resolve(path), m_buffer);
}

PageReader::~PageReader()
{
    if (m_packedSinceRelease > 0)
        m_opener.releaseMappedPages();
}

QString PageReader::reason(Result result)
{
    switch (result) {
    case Result::Read:
        break;
    case Result::Missing:
        return QStringLiteral("it cannot be read");
    case Result::NotAFile:
        return QStringLiteral("it is not a regular file");
    case Result::TooLarge:
        return QStringLiteral("it is larger than %1 MiB").arg(kMaxPageBytes / (1024 * 1024));
    }
    return QString();
}

PageMatcher::PageMatcher(const QString& query, bool matchCase) : m_query(query), m_matchCase(matchCase)
{
    // The quick look follows the page's blanks as searchQuery collapses the query's.
    if (query.isEmpty() || searchQuery(query) != query)
        return;
    m_needle.reserve(query.size());
    for (const QChar c : query)
        m_needle.append(matchCase ? c.unicode() : c.toCaseFolded().unicode());
    for (const QChar c : namedReferenceCharacters()) {
        if ((matchCase ? c.unicode() : c.toCaseFolded().unicode()) == m_needle.first())
            m_referenceMayStart = true;
    }
}

bool PageMatcher::matches(QByteArrayView page) const
{
    if (m_query.isEmpty() || !mayMatch(page))
        return false;
    return visibleTextContains(visiblePageText(page), m_query, m_matchCase);
}

bool PageMatcher::mayMatch(QByteArrayView page) const
{
    if (m_needle.isEmpty())
        return true;
    const QByteArrayView declared = declaredCharsetBytes(page);
    if (!declared.isEmpty() && !isCp1251Name(declared))
        return true; // another charset: read whole
    if (declared.isEmpty() && isUtf8Text(page))
        return true; // UTF-8 without a declaration, as the panes read it: read whole

    // A character reference can stand for any character when it is numeric ("&#1090;", "&#x442;")
    // or when markup splits it; named ones stand for a few signs only.
    bool references = false;
    for (qsizetype at = page.indexOf('&'); at >= 0; at = page.indexOf('&', at + 1)) {
        references = true;
        if (at + 1 < page.size() && (page[at + 1] == '#' || page[at + 1] == '<'))
            return true;
    }
    if (references && m_referenceMayStart)
        return true;

    // Every place where the first character stands in the page's bytes, and a '<' when the query
    // begins with one (a '<' that opens no tag is text).
    const Cp1251Tables& tables = cp1251Tables();
    const std::array<char16_t, 256>& chars = m_matchCase ? tables.exact : tables.folded;
    for (int byte = 0; byte < 256; ++byte) {
        const bool starts = tables.kind[byte] == ByteKind::Shown ? chars[byte] == m_needle.first()
                                                                 : byte == '<' && m_needle.first() == u'<';
        if (!starts)
            continue;
        for (qsizetype at = page.indexOf(char(byte)); at >= 0; at = page.indexOf(char(byte), at + 1)) {
            if (quickLookFrom(page, at))
                return true;
        }
    }
    return false;
}

// Whether the text a reader sees may hold the query from the character at page[start] on. It
// reads the bytes as extractPageText and the blank collapsing read them, as long as it can: at a
// character reference, a script, a style sheet, a title or a head, it gives up and says "may".
bool PageMatcher::quickLookFrom(QByteArrayView page, qsizetype start) const
{
    const Cp1251Tables& tables = cp1251Tables();
    const std::array<char16_t, 256>& chars = m_matchCase ? tables.exact : tables.folded;
    const qsizetype k = m_needle.size();
    qsizetype matched = 0;
    bool pendingBlank = false;
    // 1: the whole query matched; 0: go on; -1: it does not match here.
    const auto shown = [&](char16_t c) {
        if (pendingBlank && matched > 0) {
            if (m_needle[matched] != u' ')
                return -1;
            ++matched;
        }
        pendingBlank = false;
        if (m_needle[matched] != c)
            return -1;
        return ++matched == k ? 1 : 0;
    };
    for (qsizetype at = start; at < page.size();) {
        const auto byte = quint8(page[at]);
        switch (tables.kind[byte]) {
        case ByteKind::Shown:
            if (const int result = shown(chars[byte]))
                return result > 0;
            ++at;
            break;
        case ByteKind::Blank:
            pendingBlank = true;
            ++at;
            break;
        case ByteKind::Dropped:
            ++at;
            break;
        case ByteKind::Reference:
            return true;
        case ByteKind::Markup: {
            const Markup markup = readMarkup(page, at);
            switch (markup.kind) {
            case Markup::Text:
                if (const int result = shown(u'<'))
                    return result > 0;
                ++at;
                break;
            case Markup::Hidden:
                at = markup.end;
                break;
            case Markup::Tag:
                pendingBlank = pendingBlank || !markup.inlineTag;
                at = markup.end;
                break;
            case Markup::Unknown:
                return true;
            case Markup::EndOfText:
                return false;
            }
            break;
        }
        }
    }
    return false;
}

qsizetype scanPages(const ContentPack& opener, const QString& folder, const QStringList& pages, qsizetype from,
                    const QString& query, bool matchCase, const std::atomic_bool* stop,
                    const std::function<void(qsizetype)>& progress)
{
    if (query.isEmpty())
        return -1;
    const PageMatcher matcher(query, matchCase);
    PageReader reader(opener);
    for (qsizetype i = qMax<qsizetype>(from, 0); i < pages.size(); ++i) {
        if (stop && stop->load())
            return -1;
        if (progress)
            progress(i);
        const PageReader::Result result = reader.read(folder + pages[i]);
        if (result != PageReader::Result::Read) {
            qCDebug(lcSearch) << "a page is left out of the search," << PageReader::reason(result) << pages[i];
            continue;
        }
        if (matcher.matches(reader.bytes()))
            return i;
    }
    return -1;
}
