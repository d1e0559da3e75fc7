#include "picturebytes.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace {

bool beginsWith(const QByteArray& bytes, const char* signature, qsizetype size)
{
    return bytes.size() >= size && std::equal(signature, signature + size, bytes.constData());
}

} // namespace

QByteArray pictureFormat(const QByteArray& bytes)
{
    if (beginsWith(bytes, "BM", 2))
        return QByteArrayLiteral("bmp");
    if (beginsWith(bytes, "\x89PNG\r\n\x1a\n", 8))
        return QByteArrayLiteral("png");
    if (beginsWith(bytes, "GIF87a", 6) || beginsWith(bytes, "GIF89a", 6))
        return QByteArrayLiteral("gif");
    if (beginsWith(bytes, "\xff\xd8\xff", 3))
        return QByteArrayLiteral("jpeg");
    // An icon directory: reserved 0, type 1, then at least one image.
    if (beginsWith(bytes, "\0\0\1\0", 4) && bytes.size() >= 6 && (bytes[4] != 0 || bytes[5] != 0))
        return QByteArrayLiteral("ico");
    return {};
}

bool nameReaderFormat(QImageReader& reader, const QByteArray& bytes)
{
    const QByteArray format = pictureFormat(bytes);
    if (format.isEmpty())
        return false;
    reader.setFormat(format);
    reader.setAutoDetectImageFormat(false);
    return true;
}

QImage pictureFromBytes(const QByteArray& bytes)
{
    QByteArray data = bytes; // shared, not copied
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (nameReaderFormat(reader, bytes)) {
        const QImage image = reader.read();
        if (!image.isNull())
            return image;
    }
    return QImage::fromData(bytes);
}
