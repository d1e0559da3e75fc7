#pragma once

// A plain picture of one colour as the bytes of a Windows bitmap file: the skin's and the pages'
// picture format, made at test time.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

inline QByteArray testBitmap(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// A picture of one colour as an 8-bit run-length encoded Windows bitmap: a few bytes a row,
// whatever its width, so a small file may declare a very large picture (a "picture bomb"). With
// rowsDrawn below the height only that many rows are written before the end mark, and the file
// stays small however tall the picture is.
inline QByteArray testRleBitmap(QSize size, QColor color, int rowsDrawn = -1)
{
    const auto put16 = [](QByteArray& out, int v) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    };
    const auto put32 = [](QByteArray& out, qint64 v) {
        for (int i = 0; i < 4; ++i)
            out.append(char((v >> (8 * i)) & 0xFF));
    };
    QByteArray pixels;
    const int rows = rowsDrawn < 0 ? size.height() : qMin(rowsDrawn, size.height());
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < size.width(); x += 255) {
            pixels.append(char(qMin(255, size.width() - x))); // a run of colour index 1
            pixels.append(char(1));
        }
        pixels.append(char(0)); // end of line
        pixels.append(char(0));
    }
    pixels.append(char(0)); // end of bitmap
    pixels.append(char(1));

    const int palette = 2 * 4;
    const int offset = 14 + 40 + palette;
    QByteArray bmp("BM");
    put32(bmp, offset + pixels.size());
    put32(bmp, 0);
    put32(bmp, offset);
    put32(bmp, 40);
    put32(bmp, size.width());
    put32(bmp, size.height());
    put16(bmp, 1); // planes
    put16(bmp, 8); // bits a pixel
    put32(bmp, 1); // BI_RLE8
    put32(bmp, pixels.size());
    put32(bmp, 2835);
    put32(bmp, 2835);
    put32(bmp, 2); // colours used
    put32(bmp, 0);
    for (const QColor& c : {QColor(Qt::black), color}) {
        bmp.append(char(c.blue()));
        bmp.append(char(c.green()));
        bmp.append(char(c.red()));
        bmp.append(char(0));
    }
    return bmp + pixels;
}
