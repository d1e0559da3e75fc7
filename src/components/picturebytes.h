#pragma once

// Pictures read from bytes (the container's skin pictures, icons, backdrops). Qt asked to read
// bytes of no named format loads every image plug-in it has (TIFF, WebP, MNG, SVG... with the
// libraries they link) to ask each whether it can; a skin's pictures are BMP, PNG, GIF, JPEG and
// ICO, whose first bytes name the format, so only that format's handler is asked.

#include <QByteArray>
#include <QImage>

class QImageReader;

// The image format whose signature bytes begins with ("bmp", "png", "gif", "jpeg", "ico"), or
// empty when it begins with none of them.
QByteArray pictureFormat(const QByteArray& bytes);

// Sets reader, which reads bytes, to their format when pictureFormat names one, without detection
// by content. Returns false (the reader left detecting) when it names none.
bool nameReaderFormat(QImageReader& reader, const QByteArray& bytes);

// The picture in bytes, as QImage::fromData reads it: by its named format first, and when that
// does not read it, by Qt's detection as before.
QImage pictureFromBytes(const QByteArray& bytes);
