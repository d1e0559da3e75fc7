// Reading contents-tree scripts at scale: a deep manual-like tree, and the worst shape for finding
// parents, lines that step in and out between two deep levels. Reading is linear in the lines;
// items per second stays flat as the tree grows.

#include "treescript.h"

#include <QStringList>

#include <benchmark/benchmark.h>

namespace {

// Lines alternating between depths 4 and 3 below a short spine.
QStringList alternatingTree(int lines)
{
    QStringList tree{"a.htm;a", "\tb.htm;b", "\t\tc.htm;c"};
    for (int i = 0; tree.size() < lines; ++i)
        tree << QString(i % 2 == 0 ? 4 : 3, QLatin1Char('\t')) + QStringLiteral("p%1.htm;Раздел %1").arg(i);
    return tree;
}

// Chapters of sections of paragraphs, as manuals are built.
QStringList manualTree(int lines)
{
    QStringList tree;
    for (int i = 0; tree.size() < lines; ++i) {
        const int depth = i % 25 == 0 ? 0 : i % 5 == 0 ? 1 : 2;
        tree << QString(depth, QLatin1Char('\t')) + QStringLiteral("glava%1.htm;Раздел %1").arg(i);
    }
    return tree;
}

void readTree(benchmark::State& state, QStringList (*make)(int))
{
    const QStringList lines = make(int(state.range(0)));
    for (auto _ : state) {
        TreeScript tree = TreeScript::read(lines);
        benchmark::DoNotOptimize(tree);
    }
    state.SetItemsProcessed(state.iterations() * lines.size());
}

void BM_ReadAlternatingTree(benchmark::State& state)
{
    readTree(state, alternatingTree);
}
void BM_ReadManualTree(benchmark::State& state)
{
    readTree(state, manualTree);
}

} // namespace

BENCHMARK(BM_ReadAlternatingTree)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadManualTree)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
