#include "indexbuilder.h"

#include "pagescan.h"

#include "codepage.h"
#include "contenterror.h"
#include "htmltext.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <numeric>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

} // namespace

int FullTextIndexBuilder::wordId(const QString& word)
{
    const auto found = m_wordIds.constFind(word);
    if (found != m_wordIds.constEnd())
        return found.value();
    const int id = int(m_words.size());
    m_words.append(word);
    m_wordIds.insert(word, id);
    return id;
}

void FullTextIndexBuilder::addPage(const QString& relativePath, const QByteArray& html)
{
    Page page;
    page.path = QString(relativePath).replace(QLatin1Char('/'), QLatin1Char('\\'));
    const PageText text = extractPageText(decodePage(html));
    page.title = text.title.isEmpty() ? page.path.section(QLatin1Char('\\'), -1) : text.title;
    for (const QString& word : indexWords(text.text))
        page.words.append(wordId(word));
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
    // Pages in path order, without regard to case first so that "B.htm" does not come before
    // "a.htm"; the exact comparison settles names that differ only in case.
    QList<qsizetype> order(m_pages.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [this](qsizetype a, qsizetype b) {
        const int folded = m_pages[a].path.compare(m_pages[b].path, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : m_pages[a].path < m_pages[b].path;
    });

    FullTextIndex index;
    QList<QList<qsizetype>> pagesOfWord(m_words.size());
    for (qsizetype number = 1; number <= order.size(); ++number) {
        const Page& page = m_pages[order[number - 1]];
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

FullTextIndex buildFullTextIndex(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable() || !info.isExecutable())
        throw ContentError(QStringLiteral("Cannot read folder %1").arg(folder));
    const QDir root(info.absoluteFilePath());
    FullTextIndexBuilder builder;
    QDirIterator pages(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (pages.hasNext()) {
        const QString path = pages.next();
        const QString suffix = pages.fileInfo().suffix();
        if (suffix.compare(u"htm", Qt::CaseInsensitive) != 0 && suffix.compare(u"html", Qt::CaseInsensitive) != 0)
            continue;
        QFile page(path);
        if (!page.open(QIODevice::ReadOnly))
            throw ContentError(QStringLiteral("Cannot open file %1").arg(path));
        builder.addPage(root.relativeFilePath(path), page.readAll());
    }
    return builder.build();
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
