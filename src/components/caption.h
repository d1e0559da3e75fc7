#pragma once

// Captions drawn onto button and switch pictures: one line, letter by letter from the rectangle's
// left, each letter advancing by its width in the bold variant of the font less one pixel, so a
// caption keeps its letter positions whether its state is bold or not.

#include "scriptvalues.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRect>

// The font of a caption: face, size in points, styles.
QFont captionFont(const QString& face, int pointSize, FontStyles styles);

// The left edge of every letter of text, from rect.left().
QList<int> captionLetterPositions(const QString& text, const QFont& font, int left);

// Draws text into picture inside rect (picture pixels), clipped to it.
void drawCaption(QImage& picture, const QString& text, const QRect& rect, const QFont& font, const QColor& color);

// A Windows colour value (red in the low byte) as a colour.
QColor windowsColor(int value);
