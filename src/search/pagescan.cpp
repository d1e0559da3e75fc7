#include "pagescan.h"

#include "codepage.h"
#include "contentpack.h"
#include "htmltext.h"
#include "searchlog.h"

#include <QDir>
#include <QSet>
#include <QStringDecoder>

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

bool isCp1251Name(const QString& name)
{
    return name == u"windows-1251" || name == u"cp1251" || name == u"x-cp1251" || name == u"win-1251" ||
           name == u"1251";
}

} // namespace

QString declaredCharset(const QByteArray& page)
{
    if (page.startsWith("\xEF\xBB\xBF"))
        return QStringLiteral("utf-8");
    if (page.startsWith("\xFF\xFE"))
        return QStringLiteral("utf-16le");
    if (page.startsWith("\xFE\xFF"))
        return QStringLiteral("utf-16be");
    const QByteArray head = page.left(kCharsetWindow).toLower();
    for (qsizetype at = head.indexOf("<meta"); at >= 0; at = head.indexOf("<meta", at + 5)) {
        const qsizetype end = head.indexOf('>', at);
        const QByteArray tag = head.mid(at, end < 0 ? -1 : end - at);
        qsizetype key = tag.indexOf("charset");
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
            return QString::fromLatin1(tag.mid(key, stop - key));
    }
    return QString();
}

QString decodePage(const QByteArray& page)
{
    QString charset = declaredCharset(page);
    // A page that names no character set is UTF-8 when its bytes are, as the panes show it.
    if (charset.isEmpty() && isUtf8Text(page))
        charset = QStringLiteral("utf-8");
    if (charset.isEmpty() || isCp1251Name(charset))
        return fromCp1251(page);
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

QString visiblePageText(const QByteArray& page)
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

    // The disk, folder by folder from the top.
    const QDir root(folder);
    QStringList queue{QString()};
    for (qsizetype next = 0; next < queue.size(); ++next) {
        const QString relative = queue[next];
        const QDir dir(root.filePath(relative));
        const QFileInfoList files =
            dir.entryInfoList({QStringLiteral("*.htm*")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& file : files)
            add(relative + file.fileName());
        const QStringList folders =
            dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
        for (const QString& sub : folders)
            queue.append(relative + sub + QLatin1Char('/'));
    }
    // Then the pack.
    for (const QString& path : opener.ListPackFiles()) {
        const qsizetype dot = path.lastIndexOf(u'.');
        if (dot > path.lastIndexOf(u'/') && path.mid(dot).contains(u".htm", Qt::CaseInsensitive))
            add(path);
    }
    return pages;
}

qsizetype scanPages(const ContentPack& opener, const QString& folder, const QStringList& pages, qsizetype from,
                    const QString& query, bool matchCase, const std::atomic_bool* stop,
                    const std::function<void(qsizetype)>& progress)
{
    if (query.isEmpty())
        return -1;
    for (qsizetype i = qMax<qsizetype>(from, 0); i < pages.size(); ++i) {
        if (stop && stop->load())
            return -1;
        if (progress)
            progress(i);
        const std::optional<QByteArray> bytes = opener.readFile(folder + pages[i]);
        if (!bytes) {
            qCDebug(lcSearch) << "a page that cannot be read is left out of the search:" << pages[i];
            continue;
        }
        if (visibleTextContains(visiblePageText(*bytes), query, matchCase))
            return i;
    }
    return -1;
}
