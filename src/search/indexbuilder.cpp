#include "indexbuilder.h"

#include "pagescan.h"

#include "codepage.h"
#include "contenterror.h"
#include "contentpack.h"
#include "htmltext.h"
#include "pathresolver.h"
#include "startupvalues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

} // namespace

int FullTextIndexBuilder::wordId(QStringView word)
{
    // Looked up without a copy of the word; only a new word is copied.
    const auto found = m_wordIds.constFind(QString::fromRawData(word.data(), word.size()));
    if (found != m_wordIds.constEnd())
        return found.value();
    const int id = int(m_words.size());
    m_words.append(word.toString());
    m_wordIds.insert(m_words.last(), id);
    return id;
}

void FullTextIndexBuilder::addPage(const QString& relativePath, QByteArrayView html)
{
    Page page;
    page.path = QString(relativePath).replace(QLatin1Char('/'), QLatin1Char('\\'));
    const PageText text = extractPageText(decodePage(html));
    page.title = text.title.isEmpty() ? page.path.section(QLatin1Char('\\'), -1) : text.title;
    forEachIndexWord(text.text, [this, &page](QStringView word) { page.words.append(wordId(word)); });
    std::sort(page.words.begin(), page.words.end());
    page.words.erase(std::unique(page.words.begin(), page.words.end()), page.words.end());

    const auto known = m_pageByPath.constFind(page.path);
    if (known != m_pageByPath.constEnd()) {
        m_pages[known.value()] = std::move(page);
    } else {
        m_pageByPath.insert(page.path, m_pages.size());
        m_pages.append(std::move(page));
    }
}

FullTextIndex FullTextIndexBuilder::build() const
{
    FullTextIndex index;
    index.pages = m_pages.size();
    QList<QList<qsizetype>> pagesOfWord(m_words.size());
    for (qsizetype number = 1; number <= m_pages.size(); ++number) {
        const Page& page = m_pages[number - 1];
        index.files += toCp1251(page.path) + "#:#" + toCp1251(page.title) + kLineEnd;
        for (const int word : page.words)
            pagesOfWord[word].append(number);
    }

    // A replaced page can leave words that no page holds any more: they get no line.
    QList<int> keywords;
    for (int word = 0; word < m_words.size(); ++word) {
        if (!pagesOfWord[word].isEmpty())
            keywords.append(word);
    }
    std::sort(keywords.begin(), keywords.end(), [this](int a, int b) { return m_words[a] < m_words[b]; });
    for (const int word : std::as_const(keywords)) {
        index.keywords += toCp1251(m_words[word]) + kLineEnd;
        QByteArray line;
        for (const qsizetype number : std::as_const(pagesOfWord[word])) {
            if (!line.isEmpty())
                line += ':';
            line += QByteArray::number(number);
        }
        index.numbers += line + kLineEnd;
    }
    return index;
}

FullTextIndex buildFullTextIndex(const ContentPack& opener, const QString& folder,
                                 const std::function<void(const QString& page, const QString& why)>& leftOut)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        throw ContentError(QStringLiteral("Cannot read folder %1").arg(folder));
    const QString root = info.absoluteFilePath() + QLatin1Char('/');
    FullTextIndexBuilder builder;
    PageReader reader(opener);
    for (const QString& page : listScanPages(opener, root)) {
        const PageReader::Result result = reader.read(root + page);
        if (result != PageReader::Result::Read) {
            if (leftOut)
                leftOut(page, PageReader::reason(result));
            continue;
        }
        builder.addPage(page, reader.bytes());
    }
    return builder.build();
}

FullTextIndex buildFullTextIndex(const QString& folder,
                                 const std::function<void(const QString& page, const QString& why)>& leftOut)
{
    const QString root = QFileInfo(folder).absoluteFilePath();
    PathResolver disk(mountPointOf(root));
    ContentPack pack(disk);
    const QString packPath = disk.resolve(root + QStringLiteral("/interface.dat"));
    if (QFileInfo(packPath).isFile()) {
        pack.OpenPack(packPath);
        pack.SetPackBase(root + QLatin1Char('/'));
    }
    return buildFullTextIndex(pack, folder, leftOut);
}

void writeFullTextIndex(const FullTextIndex& index, const QString& folder)
{
    const std::pair<const char*, const QByteArray*> files[] = {
        {"keywords.idx", &index.keywords}, {"index.idx", &index.numbers}, {"files.idx", &index.files}};
    for (const auto& [name, bytes] : files) {
        QSaveFile file(QDir(folder).filePath(QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit())
            throw ContentError(QStringLiteral("Cannot write file %1").arg(file.fileName()));
    }
}
