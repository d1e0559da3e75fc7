// The content pack at scale: a pack of 20,000 entries (100 folders of 200 pages each, about 2 KB of
// text per page), opened, every entry looked up, every entry read through the opener. The
// baseline is zlib's own uncompress of the same stored bytes, with no lookup and no copy.

#include "contentpack.h"
#include "packwriter.h"
#include "pathresolver.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zlib.h>

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 200;

QByteArray pageText(int folder, int file)
{
    static const char* words[] = {"двигатель ", "тормоз ", "колодка ", "масло ",  "фильтр ",  "свеча ",
                                  "ремень ",    "насос ",  "датчик ",  "привод ", "ступица ", "кузов "};
    QByteArray text =
        "<html><head><title>Page " + QByteArray::number(folder * kFilesPerFolder + file) + "</title></head><body><p>";
    quint32 seed = quint32(folder * 7919 + file * 104729 + 1);
    while (text.size() < 2048) {
        seed = seed * 1664525u + 1013904223u;
        text += words[(seed >> 16) % 12];
    }
    return text + "</p></body></html>";
}

struct Fixture
{
    Fixture()
    {
        PackWriter writer;
        for (int f = 0; f < kFolders; ++f) {
            for (int i = 0; i < kFilesPerFolder; ++i) {
                const QString path = QStringLiteral("html%1/page%2.htm").arg(f).arg(i);
                const QByteArray text = pageText(f, i);
                writer.addFile(path, text);
                paths.append(dir.path() + QLatin1Char('/') + path);
                sizes.append(uLong(text.size()));
                uLongf packedSize = compressBound(uLong(text.size()));
                QByteArray packed(qsizetype(packedSize), Qt::Uninitialized);
                compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                          reinterpret_cast<const Bytef*>(text.constData()), uLong(text.size()), Z_DEFAULT_COMPRESSION);
                packed.truncate(qsizetype(packedSize));
                stored.append(packed);
            }
        }
        packPath = dir.path() + QStringLiteral("/interface.dat");
        writer.write(packPath);
    }

    QTemporaryDir dir;
    QString packPath;
    QStringList paths;
    QList<QByteArray> stored;
    QList<uLong> sizes;
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

void BM_OpenPack(benchmark::State& state)
{
    const PathResolver disk;
    for (auto _ : state) {
        ContentPack pack(disk);
        benchmark::DoNotOptimize(pack.OpenPack(fixture().packPath));
    }
}
BENCHMARK(BM_OpenPack)->Unit(benchmark::kMillisecond);

void BM_LookupEveryEntry(benchmark::State& state)
{
    const PathResolver disk;
    ContentPack pack(disk);
    pack.OpenPack(fixture().packPath);
    pack.SetPackBase(fixture().dir.path() + QLatin1Char('/'));
    for (auto _ : state) {
        for (const QString& path : fixture().paths)
            benchmark::DoNotOptimize(pack.FindPackEntry(path));
    }
    state.SetItemsProcessed(state.iterations() * fixture().paths.size());
}
BENCHMARK(BM_LookupEveryEntry)->Unit(benchmark::kMillisecond);

void BM_ReadEveryEntryThroughOpener(benchmark::State& state)
{
    const PathResolver disk;
    ContentPack pack(disk);
    pack.OpenPack(fixture().packPath);
    pack.SetPackBase(fixture().dir.path() + QLatin1Char('/'));
    for (auto _ : state) {
        for (const QString& path : fixture().paths)
            benchmark::DoNotOptimize(pack.readFile(path));
    }
    state.SetItemsProcessed(state.iterations() * fixture().paths.size());
}
BENCHMARK(BM_ReadEveryEntryThroughOpener)->Unit(benchmark::kMillisecond);

void BM_BaselineUncompressEveryEntry(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state) {
        for (qsizetype i = 0; i < f.stored.size(); ++i) {
            QByteArray out(qsizetype(f.sizes[i]), Qt::Uninitialized);
            uLongf size = f.sizes[i];
            uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                       reinterpret_cast<const Bytef*>(f.stored[i].constData()), uLong(f.stored[i].size()));
            benchmark::DoNotOptimize(out);
        }
    }
    state.SetItemsProcessed(state.iterations() * f.stored.size());
}
BENCHMARK(BM_BaselineUncompressEveryEntry)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture(); // built once, outside every measurement
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
