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
#include <QThread>

#include <algorithm>
#include <charconv>
#include <exception>
#include <thread>
#include <vector>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

} // namespace

int FullTextIndexBuilder::wordId(QStringView word)
{
    // FNV-1a over the UTF-16 units.
    quint32 hash = 2166136261u;
    for (const QChar c : word)
        hash = (hash ^ c.unicode()) * 16777619u;
    Slot& recent = m_recent[(hash >> 16 ^ hash) & (m_recent.size() - 1)];
    if (recent.holds(word, hash))
        return recent.idPlusOne - 1;
    const int id = findOrAdd(word, hash);
    if (word.size() <= Slot::kShort) {
        recent.hash = hash;
        recent.idPlusOne = id + 1;
        recent.length = quint16(word.size());
        std::copy(word.utf16(), word.utf16() + word.size(), recent.letters);
    }
    return id;
}

int FullTextIndexBuilder::findOrAdd(QStringView word, quint32 hash)
{
    const bool isShort = word.size() <= Slot::kShort;
    qsizetype mask = m_slots.size() - 1;
    Slot* slots = m_slots.data();
    qsizetype at = hash & mask;
    for (; slots[at].idPlusOne != 0; at = (at + 1) & mask) {
        const Slot& slot = slots[at];
        if (isShort ? slot.holds(word, hash)
                    : slot.hash == hash && slot.length == qMin<qsizetype>(word.size(), 0xFFFF) &&
                          m_words.at(slot.idPlusOne - 1) == word)
            return slot.idPlusOne - 1;
    }

    const int id = int(m_words.size());
    m_words.append(word.toString());
    m_lastSerial.append(0);
    if (m_words.size() * 2 > m_slots.size()) {
        // Half full: twice the slots, every word placed again.
        QList<Slot> wider(m_slots.size() * 2);
        mask = wider.size() - 1;
        for (const Slot& slot : std::as_const(m_slots)) {
            if (slot.idPlusOne == 0)
                continue;
            qsizetype free = slot.hash & mask;
            while (wider[free].idPlusOne != 0)
                free = (free + 1) & mask;
            wider[free] = slot;
        }
        m_slots = std::move(wider);
        slots = m_slots.data();
        at = hash & mask;
        while (slots[at].idPlusOne != 0)
            at = (at + 1) & mask;
    }
    Slot& slot = slots[at];
    slot.hash = hash;
    slot.idPlusOne = id + 1;
    slot.length = quint16(qMin<qsizetype>(word.size(), 0xFFFF));
    if (isShort)
        std::copy(word.utf16(), word.utf16() + word.size(), slot.letters);
    return id;
}

void FullTextIndexBuilder::addPage(const QString& relativePath, QByteArrayView html)
{
    Page page;
    page.path = QString(relativePath).replace(QLatin1Char('/'), QLatin1Char('\\'));
    const PageText text = extractPageText(decodePage(html));
    page.title = text.title.isEmpty() ? page.path.section(QLatin1Char('\\'), -1) : text.title;
    // Each word once: most words of a page come many times.
    const int serial = ++m_serial;
    forEachIndexWord(text.text, [this, &page, serial](QStringView word) {
        const int id = wordId(word);
        if (m_lastSerial[id] != serial) {
            m_lastSerial[id] = serial;
            page.words.append(id);
        }
    });

    const auto known = m_pageByPath.constFind(page.path);
    if (known != m_pageByPath.constEnd()) {
        m_pages[known.value()] = std::move(page);
    } else {
        m_pageByPath.insert(page.path, m_pages.size());
        m_pages.append(std::move(page));
    }
}

void FullTextIndexBuilder::append(FullTextIndexBuilder&& other)
{
    QList<int> ids(other.m_words.size());
    for (qsizetype word = 0; word < other.m_words.size(); ++word)
        ids[word] = wordId(other.m_words[word]);
    for (Page& page : other.m_pages) {
        for (int& word : page.words)
            word = ids[word];
        const auto known = m_pageByPath.constFind(page.path);
        if (known != m_pageByPath.constEnd()) {
            m_pages[known.value()] = std::move(page);
        } else {
            m_pageByPath.insert(page.path, m_pages.size());
            m_pages.append(std::move(page));
        }
    }
    other = FullTextIndexBuilder();
}

FullTextIndex FullTextIndexBuilder::build() const
{
    FullTextIndex index;
    index.pages = m_pages.size();
    // The pages of each word, ascending, in one array: a word's pages start where the pages of the
    // words before it end.
    QList<qsizetype> start(m_words.size() + 1, 0);
    for (const Page& page : m_pages) {
        for (const int word : page.words)
            ++start[word + 1];
    }
    for (qsizetype word = 0; word < m_words.size(); ++word)
        start[word + 1] += start[word];
    QList<int> pagesOfWords(start.last());
    QList<qsizetype> filled(start.begin(), start.end() - 1);
    for (qsizetype number = 1; number <= m_pages.size(); ++number) {
        const Page& page = m_pages[number - 1];
        index.files += toCp1251(page.path) + "#:#" + toCp1251(page.title) + kLineEnd;
        for (const int word : page.words)
            pagesOfWords[filled[word]++] = int(number);
    }

    // A replaced page can leave words that no page holds any more: they get no line.
    QList<int> keywords;
    for (int word = 0; word < m_words.size(); ++word) {
        if (start[word + 1] > start[word])
            keywords.append(word);
    }
    std::sort(keywords.begin(), keywords.end(), [this](int a, int b) { return m_words[a] < m_words[b]; });
    index.numbers.reserve(pagesOfWords.size() * 6);
    char digits[16];
    for (const int word : std::as_const(keywords)) {
        index.keywords += toCp1251(m_words[word]) + kLineEnd;
        for (qsizetype at = start[word]; at < start[word + 1]; ++at) {
            if (at > start[word])
                index.numbers += ':';
            const auto written = std::to_chars(digits, digits + sizeof digits, pagesOfWords[at]);
            index.numbers.append(digits, written.ptr - digits);
        }
        index.numbers += kLineEnd;
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
    const QStringList pages = listScanPages(opener, root);

    // The pages in as many runs as there are cores, each read and split into words on a thread of
    // its own, then joined in their order: reading the words is most of the work.
    struct Part
    {
        qsizetype first = 0;
        qsizetype end = 0;
        FullTextIndexBuilder builder;
        QList<std::pair<QString, QString>> leftOut;
        std::exception_ptr failure;
    };
    constexpr qsizetype kPagesPerThreadAtLeast = 200;
    const qsizetype threads =
        qBound<qsizetype>(1, qMin<qsizetype>(QThread::idealThreadCount(), 4), pages.size() / kPagesPerThreadAtLeast);
    std::vector<Part> parts(size_t(qMax<qsizetype>(threads, 1)));
    for (size_t i = 0; i < parts.size(); ++i) {
        parts[i].first = pages.size() * qsizetype(i) / qsizetype(parts.size());
        parts[i].end = pages.size() * qsizetype(i + 1) / qsizetype(parts.size());
    }
    const auto read = [&opener, &root, &pages](Part& part) {
        try {
            PageReader reader(opener);
            for (qsizetype at = part.first; at < part.end; ++at) {
                const PageReader::Result result = reader.read(root + pages[at]);
                if (result == PageReader::Result::Read)
                    part.builder.addPage(pages[at], reader.bytes());
                else
                    part.leftOut.append({pages[at], PageReader::reason(result)});
            }
        } catch (...) {
            part.failure = std::current_exception();
        }
    };
    std::vector<std::thread> workers;
    for (size_t i = 1; i < parts.size(); ++i)
        workers.emplace_back(read, std::ref(parts[i]));
    read(parts[0]);
    for (std::thread& worker : workers)
        worker.join();

    FullTextIndexBuilder builder;
    for (Part& part : parts) {
        if (part.failure)
            std::rethrow_exception(part.failure);
        if (leftOut) {
            for (const auto& [page, why] : std::as_const(part.leftOut))
                leftOut(page, why);
        }
        builder.append(std::move(part.builder));
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
