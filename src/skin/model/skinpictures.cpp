#include "skinpictures.h"

#include "readbin.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

std::optional<QSize> bitmapSize(const QByteArray& bmp)
{
    // File header (14 bytes), then the info header: its size, then width and height. A negative
    // height marks a top-down bitmap; the size is the same. The old core header has 16-bit fields.
    if (bmp.size() < 26 || !bmp.startsWith("BM"))
        return std::nullopt;
    const auto* data = reinterpret_cast<const uchar*>(bmp.constData());
    const quint32 infoSize = qFromLittleEndian<quint32>(data + 14);
    if (infoSize == 12)
        return QSize(qFromLittleEndian<quint16>(data + 18), qFromLittleEndian<quint16>(data + 20));
    const qint32 width = qFromLittleEndian<qint32>(data + 18);
    const qint32 height = qFromLittleEndian<qint32>(data + 22);
    if (width <= 0 || height == 0 || height == std::numeric_limits<qint32>::min())
        return std::nullopt;
    return QSize(width, height < 0 ? -height : height);
}

namespace {

template <typename Element> void applySize(Element& element, const QString& picture, const TReadBin& container)
{
    const std::optional<QByteArray> bytes = container.Read(picture);
    if (!bytes)
        return;
    if (const std::optional<QSize> size = bitmapSize(*bytes)) {
        // A header may declare any size up to 2^31 - 1: the edges stay within the int range.
        const auto edge = [](int from, int extent) {
            return int(std::clamp<qint64>(qint64(from) + extent, std::numeric_limits<int>::min(),
                                          std::numeric_limits<int>::max()));
        };
        element.right = edge(element.vx, size->width());
        element.bottom = edge(element.vy, size->height());
    }
}

} // namespace

void applyPictureSizes(SkinScript& script, const TReadBin& container)
{
    applySize(script.header.minimize, script.header.minimize.fn1, container);
    applySize(script.header.close, script.header.close.fn1, container);
    for (SkinScreen& screen : script.screens) {
        for (RBtn& button : screen.buttons)
            applySize(button, button.fn1, container);
        for (RSwthOne& s : screen.switchone)
            applySize(s, s.fn1, container);
        for (RSwthGrp& s : screen.switchgrp)
            applySize(s, s.fn1, container);
    }
}
