#include "makefind.h"

#include "codepage.h"
#include "comprstream.h"
#include "contentpack.h"
#include "indexfile.h"
#include "pathresolver.h"
#include "searchlog.h"
#include "streamtext.h"

#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace {

constexpr char kKeywords[] = "keywords.idx";
constexpr char kNumbers[] = "index.idx";
constexpr char kFiles[] = "files.idx";

std::optional<qsizetype> decimal(QByteArrayView field)
{
    qsizetype at = 0;
    while (at < field.size() && quint8(field[at]) <= ' ')
        ++at;
    field = field.sliced(at);
    bool ok = false;
    const qlonglong value = field.toLongLong(&ok, 10);
    // toLongLong also accepts blanks after the digits; a number here ends with its last digit.
    if (!ok || field.isEmpty() || quint8(field.back()) <= ' ')
        return std::nullopt;
    return qsizetype(value);
}

} // namespace

QList<qsizetype> pageNumbers(const QByteArray& numberList)
{
    QList<qsizetype> pages;
    for (const QByteArray& field : SplitText(QByteArrayLiteral(":"), numberList)) {
        if (const std::optional<qsizetype> number = decimal(field))
            pages.append(*number);
    }
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

TMakeFind::TMakeFind(const ContentPack& opener) : m_opener(opener) {}

void TMakeFind::SetIndexFolder(const QString& folder)
{
    m_folder = indexFolderOf(folder);
    m_keywords = m_numbers = m_files = CachedFile();
}

const TMakeFind::CachedFile* TMakeFind::cached(const char* name, CachedFile& cache) const
{
    const QString path = indexFilePath(m_folder, name);
    QString stamp;
    if (const int entry = m_opener.FindPackEntry(path); entry >= 0) {
        stamp = QStringLiteral("pack:%1").arg(entry);
    } else {
        const QFileInfo file(m_opener.disk().resolve(path));
        if (!file.isFile())
            return nullptr;
        stamp = QStringLiteral("disk:%1:%2").arg(file.size()).arg(file.lastModified().toMSecsSinceEpoch());
    }
    if (stamp == cache.stamp)
        return &cache;
    cache = CachedFile();
    const std::unique_ptr<TComprStream> stream = openIndexFile(m_opener, path);
    if (!stream)
        return nullptr;
    IndexLines lines(*stream);
    QByteArrayView line;
    while (lines.next(line))
        cache.lines.append(line.toByteArray());
    if (qstrcmp(name, kKeywords) == 0) {
        // The first line of a keyword counts.
        for (qsizetype i = 0; i < cache.lines.size(); ++i) {
            const QString keyword = fromCp1251(cache.lines[i]);
            const QString folded = keyword.toCaseFolded();
            if (!cache.exact.contains(keyword))
                cache.exact.insert(keyword, i + 1);
            if (!cache.folded.contains(folded))
                cache.folded.insert(folded, i + 1);
        }
    }
    if (qstrcmp(name, kFiles) == 0) {
        for (const QByteArray& bytes : std::as_const(cache.lines)) {
            const QStringList fields = SplitText(QStringLiteral("#:#"), fromCp1251(bytes));
            // A line without a title is listed under its path. A path that leaves the index's
            // folder names no page of the manual.
            const bool outside = !fields.isEmpty() && !staysInsideFolder(fields[0]);
            if (outside)
                qCDebug(lcSearch) << "files.idx: a page outside the manual's folder left out:" << fields[0];
            cache.names.append(!fields.isEmpty() && !outside);
            cache.paths.append(fields.isEmpty() ? QString() : toInternalPath(fields[0]));
            cache.titles.append(fields.isEmpty() ? QString() : fields.size() > 1 ? fields[1] : fields[0]);
        }
    }
    cache.stamp = stamp;
    return &cache;
}

bool TMakeFind::IndexFilesExist() const
{
    for (const char* name : {kKeywords, kNumbers, kFiles}) {
        if (!m_opener.PackFileExists(indexFilePath(m_folder, name)))
            return false;
    }
    return true;
}

IndexLookup TMakeFind::FindInIndex(const QString& word, QStringList& files, QStringList& titles,
                                   bool caseSensitive) const
{
    IndexLookup result;
    if (!IndexFilesExist()) {
        result.message = IndexMessage::IndexFilesMissing;
        return result;
    }
    const qsizetype keyword = keywordNumber(word, caseSensitive, result);
    if (keyword == 0)
        return result;
    QByteArray numbers;
    if (!numberList(keyword, numbers, result))
        return result;
    result.found = appendPages(pageNumbers(numbers), files, titles, result) > 0;
    return result;
}

// The number of the first keywords.idx line that equals word (counting from 1), or 0.
qsizetype TMakeFind::keywordNumber(const QString& word, bool caseSensitive, IndexLookup& result) const
{
    const CachedFile* keywords = cached(kKeywords, m_keywords);
    if (!keywords) {
        result.message = IndexMessage::KeywordsUnreadable;
        return 0;
    }
    return caseSensitive ? keywords->exact.value(word, 0) : keywords->folded.value(word.toCaseFolded(), 0);
}

bool TMakeFind::numberList(qsizetype keyword, QByteArray& numbers, IndexLookup& result) const
{
    const CachedFile* lines = cached(kNumbers, m_numbers);
    if (!lines) {
        result.message = IndexMessage::NumbersUnreadable;
        return false;
    }
    if (keyword < 1 || keyword > lines->lines.size())
        return false;
    numbers = lines->lines[keyword - 1];
    return true;
}

qsizetype TMakeFind::appendPages(const QList<qsizetype>& pages, QStringList& files, QStringList& titles,
                                 IndexLookup& result) const
{
    if (pages.isEmpty())
        return 0;
    const CachedFile* pageLines = cached(kFiles, m_files);
    if (!pageLines) {
        result.message = IndexMessage::FilesUnreadable;
        return 0;
    }
    qsizetype appended = 0;
    for (const qsizetype number : pages) {
        if (number < 1 || number > pageLines->lines.size())
            continue;
        if (!pageLines->names[number - 1])
            continue; // an empty line names no page
        files.append(pageLines->paths[number - 1]);
        titles.append(pageLines->titles[number - 1]);
        ++appended;
    }
    return appended;
}
