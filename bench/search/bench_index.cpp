// The full-text index query on the large synthetic manual (3,000 pages, index files inside the
// pack): a word in nearly every page, a word in three pages, and a word the index lacks; warm (one
// query object, its files kept in memory) and cold (a new query object each time). The
// baseline reads the three index files once through the opener, line by line to the end: the
// least any query that reads the files afresh can cost. VELBROOK_BENCH_MANUAL names a manual
// written by velbrook-synth-manual to use instead (see benchManual).

#include "comprstream.h"
#include "contentpack.h"
#include "makefind.h"
#include "pathresolver.h"
#include "streamtext.h"
#include "synthmanual.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The manual of VELBROOK_BENCH_MANUAL, a folder velbrook-synth-manual wrote with
// VELBROOK_BENCH_PAGES pages (3,000 when unset); without it one of 3,000 pages made here.
SyntheticManual benchManual(const QTemporaryDir& dir)
{
    const QString folder = qEnvironmentVariable("VELBROOK_BENCH_MANUAL");
    if (folder.isEmpty())
        return makeSyntheticManual(dir.path() + QStringLiteral("/manual"));
    const int pages = qEnvironmentVariableIntValue("VELBROOK_BENCH_PAGES");
    SyntheticManual manual = syntheticWords(pages > 0 ? pages : 3000);
    manual.folder = folder;
    manual.packPath = folder + QStringLiteral("/interface.dat");
    return manual;
}

struct Manual
{
    Manual() : manual(benchManual(dir)), pack(disk), find(pack)
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
    {
        // Warm: the query object has read its files before the first timed look-up.
        QStringList files;
        QStringList titles;
        m.find.FindInIndex(word, files, titles, false);
    }
    for (auto _ : state) {
        QStringList files;
        QStringList titles;
        benchmark::DoNotOptimize(m.find.FindInIndex(word, files, titles, false));
        pages = files.size();
    }
    state.counters["pages"] = double(pages);
}

// Each look-up by a query object of its own: the index files are read and inflated every time.
void FindInIndexCold(benchmark::State& state, QString SyntheticManual::*which)
{
    Manual& m = manual();
    const QString word = m.manual.*which;
    for (auto _ : state) {
        TMakeFind find(m.pack);
        find.SetIndexFolder(m.manual.folder);
        QStringList files;
        QStringList titles;
        benchmark::DoNotOptimize(find.FindInIndex(word, files, titles, false));
    }
}

} // namespace

BENCHMARK(readIndexFilesOnce)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindInIndex, commonWord, &SyntheticManual::commonWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindInIndex, rareWord, &SyntheticManual::rareWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindInIndex, missingWord, &SyntheticManual::missingWord)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(FindInIndexCold, rareWord, &SyntheticManual::rareWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FindInIndexCold, missingWord, &SyntheticManual::missingWord)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
