// The resource container (Kel.dhl): its directory read as the program opens it, then every entry
// read back: the scripts among them decoded as the program decodes them, the pictures'
// sizes taken from their headers as the skin does.

#include "contenterror.h"
#include "fuzzsupport.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "skinpictures.h"

#include <QBuffer>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::writeFile(QStringLiteral("Kel.dhl"), data, size);
    TReadBin container;
    try {
        container.Open(path);
    } catch (const ContentError&) {
        FUZZ_CHECK(container.directory().isEmpty(), QStringLiteral("a refused container keeps a directory"));
        return 0;
    }
    const qint64 fileSize = qint64(size);
    for (const RBin& entry : container.directory()) {
        FUZZ_CHECK(entry.offset >= 0 && entry.size >= 0 && qint64(entry.offset) + entry.size <= fileSize,
                   QStringLiteral("entry %1 lies outside the file").arg(entry.name));
        const std::optional<QByteArray> bytes = container.Read(entry.name);
        FUZZ_CHECK(bytes.has_value(), QStringLiteral("a listed entry cannot be read: %1").arg(entry.name));
        QBuffer stream;
        FUZZ_CHECK(container.ReadToStream(entry.name, stream), entry.name);
        bitmapSize(*bytes);
        if (entry.name.endsWith(QLatin1String(".cfs"), Qt::CaseInsensitive))
            DecodeScript(*bytes, !entry.name.startsWith(QLatin1String("tree"), Qt::CaseInsensitive));
    }
    container.Exists(QStringLiteral("Struct.cfs"));
    return 0;
}
