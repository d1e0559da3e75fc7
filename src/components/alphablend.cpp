#include "alphablend.h"

#include <algorithm>
#include <cstring>

namespace {

int bytesPerPixel(QImage::Format format)
{
    switch (format) {
    case QImage::Format_Grayscale8:
    case QImage::Format_Indexed8:
    case QImage::Format_Alpha8:
        return 1;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        return 3;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return 4;
    default:
        return 0;
    }
}

// One row of bytes. Written as plain arithmetic on rows that do not overlap so the compiler
// can vectorise it; in C++20 a right shift of a negative value is an arithmetic shift.
void blendRow(uchar* __restrict out, const uchar* __restrict f, const uchar* __restrict t, qsizetype count, int alpha)
{
    for (qsizetype i = 0; i < count; ++i)
        out[i] = uchar(f[i] + ((alpha * (int(t[i]) - int(f[i]))) >> 8));
}

} // namespace

void AlphaBlend(QImage& frame, const QImage& from, const QImage& to, int alpha)
{
    if (from.isNull()) {
        frame = QImage();
        return;
    }
    const QImage source =
        bytesPerPixel(from.format()) != 0
            ? from
            : from.convertToFormat(from.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const QImage::Format format = source.format();
    const QImage target = to.isNull() || to.format() == format
                              ? to
                              : (format == QImage::Format_Indexed8 ? to.convertToFormat(format, source.colorTable())
                                                                   : to.convertToFormat(format));

    if (frame.size() != source.size() || frame.format() != format)
        frame = QImage(source.size(), format);
    if (format == QImage::Format_Indexed8 && frame.colorTable() != source.colorTable())
        frame.setColorTable(source.colorTable());
    frame.setDevicePixelRatio(source.devicePixelRatio());

    alpha = std::clamp(alpha, 0, 255);
    const int bpp = bytesPerPixel(format);
    const int commonWidth = target.isNull() ? 0 : std::min(source.width(), target.width());
    const int commonHeight = target.isNull() ? 0 : std::min(source.height(), target.height());
    const qsizetype mixed = qsizetype(commonWidth) * bpp;
    const qsizetype rowBytes = qsizetype(source.width()) * bpp;
    for (int y = 0; y < source.height(); ++y) {
        const uchar* f = source.constScanLine(y);
        uchar* out = frame.scanLine(y);
        qsizetype done = 0;
        if (y < commonHeight) {
            blendRow(out, f, target.constScanLine(y), mixed, alpha);
            done = mixed;
        }
        if (done < rowBytes)
            std::memcpy(out + done, f + done, size_t(rowBytes - done));
    }
}
