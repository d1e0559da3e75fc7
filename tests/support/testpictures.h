#pragma once

// A plain picture of one colour as the bytes of a Windows bitmap file: the skin's and the pages'
// picture format, made at test time.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

inline QByteArray TestBitmap(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB888);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}
