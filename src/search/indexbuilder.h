#pragma once

// Builds the full-text index that TMakeFind reads, from the HTML pages of a content folder:
//   keywords.idx  one line per distinct word, lower-cased (queries compare without regard to case)
//   index.idx     the numbers of the pages that hold the keyword, ascending, joined by ':'
//   files.idx     path + "#:#" + title per page; paths relative to the folder with '\' between
//                 folders, as Windows-authored content writes them; the title from <title>, or
//                 the file name when the page has none
// All three in code page 1251 with CR LF line ends. Pages are numbered in the order of their
// paths and keywords are sorted, so the same pages always give the same bytes.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

struct FullTextIndex
{
    QByteArray keywords; // keywords.idx
    QByteArray numbers;  // index.idx
    QByteArray files;    // files.idx
};

class FullTextIndexBuilder
{
public:
    // relativePath: the page's path below the content folder, '/' or '\' between folders. html:
    // the page's bytes, read in the charset the page declares (code page 1251 when it declares
    // none). Adding a path twice replaces the page.
    void addPage(const QString& relativePath, const QByteArray& html);

    qsizetype pageCount() const { return m_pages.size(); }
    FullTextIndex build() const;

private:
    struct Page
    {
        QString path; // with '\'
        QString title;
        QList<int> words; // ids, ascending, each once
    };

    int wordId(const QString& word);

    QHash<QString, qsizetype> m_pageByPath;
    QList<Page> m_pages;
    QHash<QString, int> m_wordIds;
    QList<QString> m_words;
};

// The index of every .htm and .html page below folder (any case of the extension). Raises
// ContentError when the folder or a page cannot be read.
FullTextIndex buildFullTextIndex(const QString& folder);

// Writes keywords.idx, index.idx and files.idx into folder. Raises ContentError when a file
// cannot be written.
void writeFullTextIndex(const FullTextIndex& index, const QString& folder);
