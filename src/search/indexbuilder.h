#pragma once

// Builds the full-text index that TMakeFind reads, from the HTML pages of a content folder:
//   keywords.idx  one line per distinct word, lower-cased (queries compare without regard to case)
//   index.idx     the numbers of the pages that hold the keyword, ascending, joined by ':'
//   files.idx     path + "#:#" + title per page; paths relative to the folder with '\' between
//                 folders, as Windows-authored content writes them; the title from <title>, or
//                 the file name when the page has none
// All three in code page 1251 with CR LF line ends. Pages are numbered in the order they were
// added (for a content folder: the order in which the search across all pages walks them) and
// keywords are sorted, so the same pages always give the same bytes.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <algorithm>
#include <functional>

class ContentPack;

struct FullTextIndex
{
    QByteArray keywords; // keywords.idx
    QByteArray numbers;  // index.idx
    QByteArray files;    // files.idx
    qsizetype pages = 0; // the lines of files.idx
};

class FullTextIndexBuilder
{
public:
    // relativePath: the page's path below the content folder, '/' or '\' between folders. html:
    // the page's bytes, read in the charset the page declares (code page 1251 when it declares
    // none). Adding a path twice replaces the page.
    void addPage(const QString& relativePath, QByteArrayView html);

    // other's pages after this one's, as if they had been added here (a page of a path already
    // here replaces it in its place). Builders of parts of a manual made on threads of their own
    // are joined so.
    void append(FullTextIndexBuilder&& other);

    qsizetype pageCount() const { return m_pages.size(); }
    FullTextIndex build() const;

private:
    struct Page
    {
        QString path; // with '\'
        QString title;
        QList<int> words; // ids, each once
    };

    QHash<QString, qsizetype> m_pageByPath;
    QList<Page> m_pages;
    // The words found so far, by id. A page of a large manual has a thousand words and a manual
    // tens of millions, so they are looked up in a table of our own, open addressing over each
    // word's hash, whose slot holds a short word's letters too: a look-up reads one slot.
    struct Slot
    {
        static constexpr int kShort = 11;
        quint32 hash = 0;
        qint32 idPlusOne = 0; // 0: a free slot
        quint16 length = 0;
        char16_t letters[kShort] = {}; // the word's letters when it has no more than kShort

        bool holds(QStringView word, quint32 wordHash) const
        {
            return hash == wordHash && length == word.size() && word.size() <= kShort &&
                   std::equal(word.utf16(), word.utf16() + word.size(), letters);
        }
    };
    static_assert(sizeof(Slot) == 32);
    // The id of word, made when the word is new.
    int wordId(QStringView word);
    int findOrAdd(QStringView word, quint32 hash);

    QList<QString> m_words;
    QList<Slot> m_slots = QList<Slot>(1024);
    // The words met last, by their hash: the frequent words of a language are found here without
    // reaching into the large table.
    QList<Slot> m_recent = QList<Slot>(4096);
    QList<int> m_lastSerial; // per word: the serial of the last page added that holds it
    int m_serial = 0;        // counts the pages added
};

// The index of every page of a content folder (its path, ending with '/'), in the order the search
// across all pages walks them (listScanPages): the .htm* pages on disk, then those of the pack
// that the disk did not give, each once, read as the file opener reads them. A page that cannot
// be read, is no regular file or is too large is left out, and leftOut (when given) is told which
// and why. Raises ContentError when the folder cannot be read.
FullTextIndex buildFullTextIndex(const ContentPack& opener, const QString& folder,
                                 const std::function<void(const QString& page, const QString& why)>& leftOut = {});

// The same for folder with the interface.dat it holds, when it holds one.
FullTextIndex buildFullTextIndex(const QString& folder,
                                 const std::function<void(const QString& page, const QString& why)>& leftOut = {});

// Writes keywords.idx, index.idx and files.idx into folder. Raises ContentError when a file
// cannot be written.
void writeFullTextIndex(const FullTextIndex& index, const QString& folder);
