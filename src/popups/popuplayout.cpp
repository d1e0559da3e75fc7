#include "popuplayout.h"

#include <QPolygon>

#include <cmath>
#include <functional>
#include <limits>

int itemMargin(int ybtn)
{
    return ybtn < 0 ? kDefaultItemMargin : ybtn;
}

int layoutItems(QList<LayoutItem>& items, int popupWidth, int xbtn, int ybtn)
{
    const int margin = itemMargin(ybtn);
    bool unplaceRest = false;
    for (LayoutItem& item : items) {
        if (unplaceRest)
            item.placed = false;
        else if (!item.visible || !item.placed)
            unplaceRest = true;
        if (!item.visible)
            item.placed = false;
    }
    // In 64 bits: a damaged script's list may hold more items than an int of pixels can stack.
    constexpr qint64 kFar = std::numeric_limits<int>::max() / 2;
    qint64 sum = 0;
    int nextTop = margin;
    for (LayoutItem& item : items) {
        if (!item.visible)
            continue;
        if (!item.placed) {
            const int left = xbtn == -1 ? (popupWidth - item.size.width()) / 2 : xbtn;
            item.position = QPoint(left, nextTop);
            item.placed = true;
        }
        nextTop = int(qMin<qint64>(qint64(item.position.y()) + item.size.height(), kFar));
        sum = qMin<qint64>(sum + item.size.height(), kFar);
    }
    return int(sum);
}

QImage fitBackground(const QImage& original, int height, int margin)
{
    if (original.isNull() || height <= 0)
        return original.isNull() ? QImage() : QImage(original.width(), 0, original.format());
    const int oldHeight = original.height();
    const int band = qBound(0, margin, qMin(oldHeight, height));
    QImage fitted(original.width(), height, original.format());
    const qsizetype rowBytes = qMin<qsizetype>(original.bytesPerLine(), fitted.bytesPerLine());
    const auto copyRow = [&](int from, int to) { memcpy(fitted.scanLine(to), original.constScanLine(from), rowBytes); };
    // The top of the picture, as far as it reaches above the new bottom band.
    const int top = qMin(oldHeight - band, height - band);
    for (int y = 0; y < top; ++y)
        copyRow(y, y);
    // A taller popup: the rows between repeat the picture's middle row.
    for (int y = top; y < height - band; ++y)
        copyRow(oldHeight / 2, y);
    for (int i = 0; i < band; ++i)
        copyRow(oldHeight - band + i, height - band + i);
    return fitted;
}

QString shortenCaption(const QString& text, const QFontMetrics& metrics, int width)
{
    return shortenCaption(
        text, [&metrics](const QString& t) { return metrics.horizontalAdvance(t); }, width);
}

QString shortenCaption(const QString& text, const std::function<int(const QString&)>& measure, int width)
{
    if (measure(text) <= width)
        return text;
    // A beginning of text never ends between the two halves of a surrogate pair.
    const auto whole = [&text](qsizetype length) {
        return length > 0 && length < text.size() && text.at(length).isLowSurrogate() &&
                       text.at(length - 1).isHighSurrogate()
                   ? length - 1
                   : length;
    };
    // The longest beginning that fits with the ellipsis: a longer beginning is never narrower, so
    // the lengths that fit are those below some bound, which bisection finds.
    qsizetype fits = 0;              // fits (the empty beginning is taken in any case)
    qsizetype tooLong = text.size(); // does not fit: text itself did not, even without "..."
    while (tooLong - fits > 1) {
        const qsizetype middle = fits + (tooLong - fits) / 2;
        if (measure(text.left(whole(middle)) + kEllipsis) <= width)
            fits = middle;
        else
            tooLong = middle;
    }
    const qsizetype length = whole(fits);
    return length > 0 ? text.left(length) + kEllipsis : kEllipsis;
}

CaptionLayout layoutCaption(const QString& caption, const QFontMetrics& metrics, QSize item)
{
    CaptionLayout layout;
    const int textWidth = metrics.horizontalAdvance(caption);
    const int textHeight = metrics.height();
    int top = -3;
    int bottom = item.height();
    if (textHeight < item.height()) {
        top = (item.height() - textHeight) / 2;
        bottom = top + textHeight;
    }
    int right = item.width() - kCaptionInset;
    if (textWidth + 2 * kCaptionInset < item.width())
        right = textWidth + kCaptionInset;
    else
        layout.needsHint = true;
    layout.rect = QRect(QPoint(kCaptionInset, top), QPoint(right - 1, bottom - 1));
    layout.text = shortenCaption(caption, metrics, qMax(0, right - kCaptionInset));
    return layout;
}

QPoint keepOnDesktop(QPoint wanted, QSize size, const QRect& desktop)
{
    QPoint at = wanted;
    if (at.x() + size.width() > desktop.x() + desktop.width())
        at.setX(desktop.x() + desktop.width() - size.width());
    if (at.y() + size.height() > desktop.y() + desktop.height())
        at.setY(desktop.y() + desktop.height() - size.height());
    at.setX(qMax(at.x(), desktop.x()));
    at.setY(qMax(at.y(), desktop.y()));
    return at;
}

QList<QPoint> outlinePoints(const QStringList& vertex)
{
    QList<QPoint> points;
    for (const QString& item : vertex) {
        if (points.size() == kMaxOutlinePoints)
            break;
        const QStringList parts = item.split(QLatin1Char(','));
        bool xOk = false;
        bool yOk = false;
        const int x = parts.size() == 2 ? parts[0].trimmed().toInt(&xOk) : 0;
        const int y = parts.size() == 2 ? parts[1].trimmed().toInt(&yOk) : 0;
        if (xOk && yOk)
            points.append(QPoint(x, y));
    }
    return points;
}

namespace {

struct Point
{
    double x;
    double y;
};

// One pass of the polygon clipping: keeps the part on the inner side of one edge of the rectangle.
QList<Point> clipPolygon(const QList<Point>& polygon, const std::function<bool(Point)>& inside,
                         const std::function<Point(Point, Point)>& cross)
{
    QList<Point> out;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const Point a = polygon[i];
        const Point b = polygon[(i + 1) % polygon.size()];
        const bool aIn = inside(a);
        const bool bIn = inside(b);
        if (aIn)
            out.append(a);
        if (aIn != bIn)
            out.append(cross(a, b));
    }
    return out;
}

} // namespace

QRegion popupOutlineRegion(const QList<QPoint>& points, QSize size)
{
    const double right = qMax(size.width(), 0);
    const double bottom = qMax(size.height(), 0);
    QList<Point> polygon;
    for (const QPoint& p : points)
        polygon.append({double(p.x()), double(p.y())});
    const auto atX = [](double x) {
        return [x](Point a, Point b) { return Point{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
    };
    const auto atY = [](double y) {
        return [y](Point a, Point b) { return Point{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
    };
    polygon = clipPolygon(
        polygon, [](Point p) { return p.x >= 0; }, atX(0));
    polygon = clipPolygon(
        polygon, [&](Point p) { return p.x <= right; }, atX(right));
    polygon = clipPolygon(
        polygon, [](Point p) { return p.y >= 0; }, atY(0));
    polygon = clipPolygon(
        polygon, [&](Point p) { return p.y <= bottom; }, atY(bottom));
    QPolygon clipped;
    for (const Point& p : polygon)
        clipped.append(QPoint(int(std::lround(qBound(0.0, p.x, right))), int(std::lround(qBound(0.0, p.y, bottom)))));
    if (clipped.size() < 3)
        return QRegion();
    return QRegion(clipped, Qt::WindingFill);
}
