// The full-text index (keywords.idx, index.idx, files.idx) and the thesaurus index (tezaurus.idx),
// read by the look-ups the search dialog and the thesaurus window make. The input holds the four
// files one after another, each ended by the byte 0x1E (a file left out is missing); the words
// looked up are the index's own first keywords and a few fixed ones, each in both cases.

#include "codepage.h"
#include "contentpack.h"
#include "fuzzsupport.h"
#include "makefind.h"
#include "pathresolver.h"
#include "tesaurusfind.h"

#include <QDir>
#include <QFile>

namespace {

constexpr char kSeparator = '\x1e';
const char* const kFiles[] = {"keywords.idx", "index.idx", "files.idx", "tezaurus.idx"};
QString g_folder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv);
    g_folder = QDir(fuzz::tempDir()).filePath(QStringLiteral("index"));
    QDir().mkpath(g_folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));
    qsizetype start = 0;
    QByteArray keywords;
    for (int i = 0; i < 4; ++i) {
        const QString path = g_folder + QLatin1Char('/') + QLatin1String(kFiles[i]);
        if (start > input.size()) {
            QFile::remove(path);
            continue;
        }
        qsizetype end = input.indexOf(kSeparator, start);
        if (end < 0)
            end = input.size();
        const QByteArrayView part = input.sliced(start, end - start);
        if (i == 0)
            keywords = part.toByteArray();
        fuzz::writeFile(QStringLiteral("index/") + QLatin1String(kFiles[i]),
                        reinterpret_cast<const uint8_t*>(part.data()), size_t(part.size()));
        start = end + 1;
    }

    QStringList words = {QStringLiteral("масло"), QStringLiteral("Тормоз"), QString(), QStringLiteral(" ")};
    for (const QByteArray& line : keywords.split('\n').mid(0, 8))
        words.append(fromCp1251(line.trimmed()));

    PathResolver disk;
    ContentPack opener(disk);
    TMakeFind index(opener);
    index.SetIndexFolder(g_folder + QLatin1Char('/'));
    TMakeTesaurusFind thesaurus(opener);
    thesaurus.SetIndexFolder(g_folder);
    for (const QString& word : std::as_const(words)) {
        for (const bool caseSensitive : {true, false}) {
            QStringList files, titles;
            const IndexLookup found = index.FindInIndex(word, files, titles, caseSensitive);
            FUZZ_CHECK(files.size() == titles.size(), QStringLiteral("pages and titles differ in number"));
            FUZZ_CHECK(!found || !files.isEmpty(), QStringLiteral("found, but no page: %1").arg(word));
        }
        QString page;
        thesaurus.FindInThesaurus(word, page);
    }
    return 0;
}
