#pragma once

#include "skinscript.h"

#include <QByteArray>
#include <QSize>

#include <optional>

class TReadBin;

// The size a Windows bitmap file declares in its header, without decoding it.
std::optional<QSize> bitmapSize(const QByteArray& bmp);

// Sets right and bottom of every button and switch from the size of its up picture in the
// container (unchanged where the picture is missing or no bitmap).
void applyPictureSizes(SkinScript& script, const TReadBin& container);
