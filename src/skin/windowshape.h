#pragma once

// The outlines of the window while it opens and closes: the opening grows an ellipse from the
// centre (4 pixels across and 2 down per tick); the closing squeezes a rounded rectangle from top
// and bottom, then from the sides, and ends with a shrinking ellipse.

#include <QList>
#include <QPoint>
#include <QRegion>
#include <QSize>

class OpeningOutline
{
public:
    explicit OpeningOutline(QSize window);
    // The next outline; false when the opening is over (the last outline stays).
    bool next(QRegion& outline);

private:
    QSize m_size;
    int m_x;
    int m_y;
};

class ClosingOutline
{
public:
    explicit ClosingOutline(QSize window);
    // The next outline; false when the window has shrunk past its centre.
    bool next(QRegion& outline);

private:
    QSize m_size;
    int m_x = 0;
    int m_y = 0;
};

QRegion ellipseRegion(int left, int top, int right, int bottom);
QRegion roundedRectRegion(int left, int top, int right, int bottom, int corner);

// The script's window outline (vertexmain, winding fill) for a window of size window. The polygon
// is first clipped to the window's rectangle grown by kOutlineMargin on every side: the part of
// the outline inside the window stays exactly as declared, while coordinates far outside (a script
// may give any int) no longer reach QRegion, whose scan conversion takes time and memory in
// proportion to the polygon's extent and fails on overflow near the int limits. Empty when
// nothing of the polygon is left. An outline whose edges cross the rows of the window more than
// kOutlineEdgesPerRow times on average is refused as too complex (empty, *tooComplex set): its
// region would cost seconds to make and to apply.
constexpr int kOutlineMargin = 16;
constexpr int kOutlineEdgesPerRow = 64;
QRegion outlineRegion(const QList<QPoint>& vertices, QSize window, bool* tooComplex = nullptr);
