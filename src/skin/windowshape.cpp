#include "windowshape.h"

#include <cstdlib>

#include <QPainterPath>
#include <QPolygon>

#include <cmath>

QRegion ellipseRegion(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return QRegion();
    return QRegion(QRect(left, top, right - left, bottom - top), QRegion::Ellipse);
}

QRegion roundedRectRegion(int left, int top, int right, int bottom, int corner)
{
    if (right <= left || bottom <= top)
        return QRegion();
    QPainterPath path;
    path.addRoundedRect(QRectF(left, top, right - left, bottom - top), corner / 2.0, corner / 2.0);
    return QRegion(path.toFillPolygon().toPolygon());
}

OpeningOutline::OpeningOutline(QSize window) : m_size(window), m_x(window.width() / 2), m_y(window.height() / 2) {}

bool OpeningOutline::next(QRegion& outline)
{
    if (m_x < -(m_size.width() / 2))
        return false;
    outline = ellipseRegion(m_x, m_y, m_size.width() - m_x, m_size.height() - m_y);
    m_x -= 4;
    m_y -= 2;
    return true;
}

ClosingOutline::ClosingOutline(QSize window) : m_size(window) {}

bool ClosingOutline::next(QRegion& outline)
{
    const int w = m_size.width();
    const int h = m_size.height();
    if (m_y <= h / 2 - 10) {
        outline = roundedRectRegion(0, m_y, w, h - m_y, 20);
        m_y += 2;
        return true;
    }
    if (m_x <= w / 2 - 10) {
        outline = roundedRectRegion(m_x, m_y, w - m_x, h - m_y, 20);
        m_x += 3;
        return true;
    }
    if (m_x <= w / 2) {
        outline = ellipseRegion(m_x, m_y, w - m_x, h - m_y);
        ++m_x;
        ++m_y;
        return true;
    }
    return false;
}

namespace {

struct OutlinePoint
{
    double x;
    double y;
};

// One Sutherland-Hodgman step: the polygon cut by the half plane where inside holds; the cut part
// is replaced by a path along the boundary, which keeps the winding number of every point inside
// the half plane. cross gives the point where an edge from inside to outside, or back, meets it.
template <typename Inside, typename Cross>
QList<OutlinePoint> clipOutline(const QList<OutlinePoint>& polygon, Inside inside, Cross cross)
{
    QList<OutlinePoint> out;
    if (polygon.isEmpty())
        return out;
    out.reserve(polygon.size() + 4);
    OutlinePoint previous = polygon.last();
    bool previousInside = inside(previous);
    for (const OutlinePoint& point : polygon) {
        const bool pointInside = inside(point);
        if (pointInside != previousInside)
            out.append(cross(previous, point));
        if (pointInside)
            out.append(point);
        previous = point;
        previousInside = pointInside;
    }
    return out;
}

} // namespace

QRegion outlineRegion(const QList<QPoint>& vertices, QSize window, bool* tooComplex)
{
    if (tooComplex)
        *tooComplex = false;
    const double left = -kOutlineMargin;
    const double top = -kOutlineMargin;
    const double right = double(qMax(window.width(), 0)) + kOutlineMargin;
    const double bottom = double(qMax(window.height(), 0)) + kOutlineMargin;

    QList<OutlinePoint> polygon;
    polygon.reserve(vertices.size());
    for (const QPoint& v : vertices)
        polygon.append({double(v.x()), double(v.y())});

    // Where the edge a-b meets the vertical line x, or the horizontal line y (a and b lie on
    // either side of it, so the divisor is not 0).
    const auto atX = [](double x) {
        return [x](OutlinePoint a, OutlinePoint b) {
            return OutlinePoint{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
        };
    };
    const auto atY = [](double y) {
        return [y](OutlinePoint a, OutlinePoint b) {
            return OutlinePoint{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
        };
    };
    polygon = clipOutline(
        polygon, [&](OutlinePoint p) { return p.x >= left; }, atX(left));
    polygon = clipOutline(
        polygon, [&](OutlinePoint p) { return p.x <= right; }, atX(right));
    polygon = clipOutline(
        polygon, [&](OutlinePoint p) { return p.y >= top; }, atY(top));
    polygon = clipOutline(
        polygon, [&](OutlinePoint p) { return p.y <= bottom; }, atY(bottom));

    QPolygon points;
    points.reserve(polygon.size());
    for (const OutlinePoint& p : polygon) {
        // Every point now lies within the grown rectangle.
        const QPoint point(int(std::lround(qBound(left, p.x, right))), int(std::lround(qBound(top, p.y, bottom))));
        if (points.isEmpty() || points.last() != point)
            points.append(point);
    }
    if (points.size() > 1 && points.first() == points.last())
        points.removeLast();
    if (points.size() < 3)
        return QRegion();
    // The scan conversion visits every edge on every row it spans: an outline whose edges cross
    // each row a great many times (a zigzag of thousands of points) takes seconds and gives a
    // region of hundreds of thousands of rectangles. Such an outline is no shape a window has.
    qint64 rowsSpanned = 0;
    for (qsizetype i = 0; i < points.size(); ++i)
        rowsSpanned += std::abs(points.at(i).y() - points.at((i + 1) % points.size()).y());
    if (rowsSpanned > kOutlineEdgesPerRow * (qint64(window.height()) + 2 * kOutlineMargin)) {
        if (tooComplex)
            *tooComplex = true;
        return QRegion();
    }
    return QRegion(points, Qt::WindingFill);
}
