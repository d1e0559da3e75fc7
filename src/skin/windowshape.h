#pragma once

// The outlines of the window while it opens and closes: the opening grows an ellipse from the
// centre (4 pixels across and 2 down per tick); the closing squeezes a rounded rectangle from top
// and bottom, then from the sides, and ends with a shrinking ellipse.

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

QRegion EllipseRegion(int left, int top, int right, int bottom);
QRegion RoundedRectRegion(int left, int top, int right, int bottom, int corner);
