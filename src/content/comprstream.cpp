#include "comprstream.h"

#include "contenterror.h"
#include "contentpack.h"

TComprStream::TComprStream(const ContentPack& pack, const QString& path, QObject* parent) : QBuffer(parent)
{
    std::optional<QByteArray> bytes = pack.readFile(path);
    if (!bytes)
        throw ContentError(QStringLiteral("Cannot open file %1").arg(path));
    setData(*bytes);
    open(QIODevice::ReadOnly);
}
