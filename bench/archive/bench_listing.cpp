// Archive listings of hostile shapes: one file thousands of folders deep (a 4 KB archive), and
// tens of thousands of files each in a folder of its own. Completing the folder list and building
// the page records takes time in step with the folders: time per folder stays flat as they grow.
// BM_ListArchive runs the whole listing as the reader does it (reading the archive, writing every
// page) on archives our RAR writer makes.

#include "listingpages.h"
#include "rarwriter.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QList<ArchiveEntry> deepArchive(int depth)
{
    return {{QStringList(depth, QStringLiteral("d")).join(u'/') + QStringLiteral("/end.txt"), false, 1, 0}};
}

QList<ArchiveEntry> wideArchive(int files)
{
    QList<ArchiveEntry> entries;
    entries.reserve(files);
    for (int n = 0; n < files; ++n)
        entries.append({QStringLiteral("folder%1/file.txt").arg(n), false, 1, 0});
    return entries;
}

void buildRecords(benchmark::State& state, QList<ArchiveEntry> (*make)(int))
{
    const QList<ArchiveEntry> entries = make(int(state.range(0)));
    qsizetype folders = 0;
    for (auto _ : state) {
        const TListDir list = completeFolderList(entries);
        const QList<RInfoFiles> records = buildPageRecords(list, entries, [] { return 1; });
        folders = records.size();
        benchmark::DoNotOptimize(records);
    }
    state.SetItemsProcessed(state.iterations() * folders);
}

void BM_DeepRecords(benchmark::State& state)
{
    buildRecords(state, deepArchive);
}
void BM_WideRecords(benchmark::State& state)
{
    buildRecords(state, wideArchive);
}

// The whole listing of an archive on disk: read, completed, written as pages.
void BM_ListArchive(benchmark::State& state)
{
    const bool deep = state.range(0) == 0;
    const int size = int(state.range(1));
    QTemporaryDir dir;
    RarWriter writer;
    for (const ArchiveEntry& entry : deep ? deepArchive(size) : wideArchive(size))
        writer.addFile(entry.name, "x");
    const QString archive = dir.filePath(QStringLiteral("x.rar"));
    if (writer.write(archive).isEmpty()) {
        state.SkipWithError("the archive could not be written");
        return;
    }
    int run = 0;
    for (auto _ : state) {
        const QString folder = dir.filePath(QStringLiteral("pages%1").arg(run++));
        benchmark::DoNotOptimize(listArchiveInto(archive, folder, {}));
        state.PauseTiming();
        QDir(folder).removeRecursively();
        state.ResumeTiming();
    }
    state.SetLabel(deep ? "deep" : "wide");
}

} // namespace

BENCHMARK(BM_DeepRecords)->Arg(250)->Arg(500)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WideRecords)->Arg(10000)->Arg(20000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListArchive)->Args({0, 2000})->Args({1, 100000})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
