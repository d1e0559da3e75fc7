// The full-text index query on the large synthetic manual (3,000 pages, index files inside the
// pack): a word in nearly every page, a word in three pages, and a word the index lacks. The
// baseline reads the three index files once through the opener, line by line to the end: the
// least any query that reads the files afresh can cost.

#include "comprstream.h"
#include "contentpack.h"
#include "makefind.h"
#include "pathresolver.h"
#include "streamtext.h"
#include "synthmanual.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Manual
{
    Manual() : manual(makeSyntheticManual(dir.path() + QStringLiteral("/manual"))), pack(disk), find(pack)
    {
        pack.OpenPack(manual.packPath);
        pack.SetPackBase(manual.folder + QLatin1Char('/'));
        find.SetIndexFolder(manual.folder);
    }

    QTemporaryDir dir;
    SyntheticManual manual;
    PathResolver disk;
    ContentPack pack;
    TMakeFind find;
};

Manual& manual()
{
    static Manual instance;
    return instance;
}

void readIndexFilesOnce(benchmark::State& state)
{
    Manual& m = manual();
    qint64 lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (const char* name : {"/keywords.idx", "/index.idx", "/files.idx"}) {
            TComprStream stream(m.pack, m.manual.folder + QLatin1String(name));
            QByteArray line;
            while (ReadStreamLine(stream, line))
                ++lines;
            benchmark::DoNotOptimize(line);
        }
    }
    state.counters["lines"] = double(lines);
}

void FindInIndex(benchmark::State& state, QString SyntheticManual::*which)
{
    Manual& m = manual();
    const QString word = m.manual.*which;
    qsizetype pages = 0;
    for (auto _ : state) {
        QStringList files;
        QStringList titles;
        benchmark::DoNotOptimize(m.find.FindInIndex(word, files, titles, false));
        pages = files.size();
    }
    state.counters["pages"] = double(pages);
}

} // namespace

BENCHMARK(readIndexFilesOnce)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindInIndex, commonWord, &SyntheticManual::commonWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindInIndex, rareWord, &SyntheticManual::rareWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindInIndex, missingWord, &SyntheticManual::missingWord)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
