#pragma once

#include <QImage>

// Mixes two pictures: for every byte of every pixel, with f the byte of `from` and t the byte
// of `to`, the frame gets f + ((alpha * (t - f)) >> 8), the shift being an arithmetic shift of
// the signed product (so it rounds towards minus infinity). Alpha 0 gives `from` exactly, 255
// gives `to` within one level. `alpha` is clamped to 0..255.
//
// Byte layouts: 3 bytes a pixel for Format_RGB888, all 4 bytes for the 32-bit formats (RGB32,
// ARGB32 and the like), 1 byte for Format_Grayscale8, Format_Indexed8 and Format_Alpha8 (an
// indexed picture keeps the colour table of `from`). Other formats of `from` are converted to
// RGB32 (ARGB32 when they carry alpha) first; `to` is converted to the format of `from`.
//
// `frame` ends up sized and formatted like `from`; it is reused without a new allocation when
// it already is, so an animation can pass the same frame at every tick. When the pictures
// differ in size only their common area is mixed; the rest of the frame is `from`. A null
// `from` gives a null frame.
void AlphaBlend(QImage& frame, const QImage& from, const QImage& to, int alpha);
