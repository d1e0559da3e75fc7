#pragma once

// The sheet of the printer in printer pixels, and what fits on it: pure functions, so the picture
// fitting is tested without a printer.

#include <QPageLayout>
#include <QSize>

#include <functional>

struct SheetGeometry
{
    int dpiX = 300;
    int dpiY = 300;
    int paperWidth = 0; // the whole sheet
    int paperHeight = 0;
    int offsetX = 0; // the unprintable left and top
    int offsetY = 0;
    int printableWidth = 0;
    int printableHeight = 0;
};

// How many screen pixels (at screenDpi) of a picture fit on one sheet at the print scale: the
// sheet less a margin of 2 cm at that scale on each side.
QSize pageArea(const SheetGeometry& sheet, double scale, int screenDpi);

struct PictureFit
{
    double scale = 1.0;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

// The print scale and orientation that fit a picture of size (screen pixels) on one sheet,
// starting from orientation; sheetFor gives the sheet in an orientation. The scale is 1.0 when the
// picture fits as it is, and never above 1.0.
PictureFit fitPicture(QSize picture, QPageLayout::Orientation orientation,
                      const std::function<SheetGeometry(QPageLayout::Orientation)>& sheetFor, int screenDpi);
