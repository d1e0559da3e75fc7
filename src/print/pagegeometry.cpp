#include "pagegeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// One axis of the page area: the printable length less what the margins take beyond the
// unprintable parts, in screen pixels.
int usableLength(int dpi, int paper, int printable, int offset, double scale, int screenDpi)
{
    const int scaledDpi = int(std::lround(dpi * scale));
    if (scaledDpi <= 0)
        return 0;
    const int margin = int(scaledDpi * 0.7874015748031497); // 2 cm at the print scale
    const int unprintableEnd = std::max(0, paper - printable - offset);
    const int usable = printable - (margin - offset) - (margin - unprintableEnd);
    return int(std::lround(double(usable) * screenDpi / scaledDpi));
}

} // namespace

QSize pageArea(const SheetGeometry& sheet, double scale, int screenDpi)
{
    return {usableLength(sheet.dpiX, sheet.paperWidth, sheet.printableWidth, sheet.offsetX, scale, screenDpi),
            usableLength(sheet.dpiY, sheet.paperHeight, sheet.printableHeight, sheet.offsetY, scale, screenDpi)};
}

PictureFit fitPicture(QSize picture, QPageLayout::Orientation orientation,
                      const std::function<SheetGeometry(QPageLayout::Orientation)>& sheetFor, int screenDpi)
{
    PictureFit fit;
    fit.orientation = orientation;
    const int width = picture.width();
    const int height = picture.height();
    if (width <= 0 || height <= 0)
        return fit;
    QSize area = pageArea(sheetFor(fit.orientation), 1.0, screenDpi);
    if (width > height) {
        if (width > area.width()) {
            fit.orientation = QPageLayout::Landscape;
            area = pageArea(sheetFor(fit.orientation), 1.0, screenDpi);
            fit.scale = double(area.width()) / width;
            area = pageArea(sheetFor(fit.orientation), fit.scale, screenDpi);
        }
        if (height > area.height()) {
            area = pageArea(sheetFor(fit.orientation), 1.0, screenDpi);
            fit.scale = double(area.height()) / height;
        }
    } else {
        if (height <= area.height())
            return fit;
        fit.orientation = QPageLayout::Portrait;
        area = pageArea(sheetFor(fit.orientation), 1.0, screenDpi);
        if (height > area.height()) {
            fit.scale = double(area.height()) / height;
            area = pageArea(sheetFor(fit.orientation), fit.scale, screenDpi);
        }
        if (width > area.width()) {
            area = pageArea(sheetFor(fit.orientation), 1.0, screenDpi);
            fit.scale = double(area.width()) / width;
        }
    }
    fit.scale = std::min(fit.scale, 1.0);
    return fit;
}
