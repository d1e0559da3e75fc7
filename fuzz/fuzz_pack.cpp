// The content pack (interface.dat): its header and directory read as the program opens the pack,
// then every packed file listed, found again by its content path and read through the file
// opener, as pages, pictures and index files are read.

#include "comprstream.h"
#include "contenterror.h"
#include "contentpack.h"
#include "fuzzsupport.h"
#include "pathresolver.h"

#include <QDir>

namespace {

QString g_contentDir; // the program folder the pack lies in, with its '/'

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv);
    g_contentDir = QDir(fuzz::tempDir()).filePath(QStringLiteral("run")) + QLatin1Char('/');
    QDir().mkpath(g_contentDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::writeFile(QStringLiteral("run/interface.dat"), data, size);
    PathResolver disk;
    ContentPack pack(disk);
    try {
        if (!pack.OpenPack(path))
            return 0;
    } catch (const ContentError&) {
        return 0;
    }
    pack.SetPackBase(g_contentDir);
    const QStringList files = pack.ListPackFiles();
    FUZZ_CHECK(files.size() <= pack.entries().size(), QStringLiteral("more files listed than entries"));
    for (qsizetype i = 0; i < qMin<qsizetype>(files.size(), 64); ++i) {
        const QString contentPath = g_contentDir + files[i];
        const int index = pack.FindPackEntry(contentPath);
        FUZZ_CHECK(index < pack.entries().size(), contentPath);
        try {
            TComprStream stream(pack, contentPath);
            if (index >= 0)
                FUZZ_CHECK(stream.size() == pack.entries()[index].size,
                           QStringLiteral("%1 read to another size than its entry's").arg(contentPath));
        } catch (const ContentError&) {
            // damaged: reads as missing
        }
    }
    for (int i = 0; i < qMin<int>(int(pack.entries().size()), 64); ++i) {
        QByteArray bytes;
        pack.loadEntry(i, bytes);
    }
    pack.PackFileExists(g_contentDir + QStringLiteral("glava1.htm"));
    pack.readFile(g_contentDir + QStringLiteral("frames/../index.htm"));
    return 0;
}
