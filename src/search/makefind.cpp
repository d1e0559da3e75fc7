#include "makefind.h"

#include "codepage.h"
#include "comprstream.h"
#include "contentpack.h"
#include "indexfile.h"
#include "pathresolver.h"
#include "streamtext.h"

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
    const std::unique_ptr<TComprStream> stream = openIndexFile(m_opener, indexFilePath(m_folder, kKeywords));
    if (!stream) {
        result.message = IndexMessage::KeywordsUnreadable;
        return 0;
    }
    const Qt::CaseSensitivity sensitivity = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    IndexLines lines(*stream);
    QByteArrayView line;
    for (qsizetype number = 1; lines.next(line); ++number) {
        // Every byte of code page 1251 decodes to one character, so the lengths can be compared
        // before anything is decoded.
        if (line.size() == word.size() && fromCp1251(line).compare(word, sensitivity) == 0)
            return number;
    }
    return 0;
}

bool TMakeFind::numberList(qsizetype keyword, QByteArray& numbers, IndexLookup& result) const
{
    const std::unique_ptr<TComprStream> stream = openIndexFile(m_opener, indexFilePath(m_folder, kNumbers));
    if (!stream) {
        result.message = IndexMessage::NumbersUnreadable;
        return false;
    }
    IndexLines lines(*stream);
    QByteArrayView line;
    for (qsizetype number = 1; lines.next(line); ++number) {
        if (number == keyword) {
            numbers = line.toByteArray();
            return true;
        }
    }
    return false;
}

qsizetype TMakeFind::appendPages(const QList<qsizetype>& pages, QStringList& files, QStringList& titles,
                                 IndexLookup& result) const
{
    if (pages.isEmpty())
        return 0;
    const std::unique_ptr<TComprStream> stream = openIndexFile(m_opener, indexFilePath(m_folder, kFiles));
    if (!stream) {
        result.message = IndexMessage::FilesUnreadable;
        return 0;
    }
    qsizetype appended = 0;
    auto wanted = pages.cbegin();
    IndexLines lines(*stream);
    QByteArrayView line;
    for (qsizetype number = 1; wanted != pages.cend() && lines.next(line); ++number) {
        while (wanted != pages.cend() && *wanted < number)
            ++wanted;
        if (wanted == pages.cend() || *wanted != number)
            continue;
        const QStringList fields = SplitText(QStringLiteral("#:#"), fromCp1251(line));
        // An empty line names no page. A line without a title is listed under its path.
        if (fields.isEmpty())
            continue;
        files.append(toInternalPath(fields[0]));
        titles.append(fields.size() > 1 ? fields[1] : fields[0]);
        ++appended;
    }
    return appended;
}
