#include "windowshape.h"

#include <QPainterPath>
#include <QPolygon>

QRegion EllipseRegion(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return QRegion();
    return QRegion(QRect(left, top, right - left, bottom - top), QRegion::Ellipse);
}

QRegion RoundedRectRegion(int left, int top, int right, int bottom, int corner)
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
    outline = EllipseRegion(m_x, m_y, m_size.width() - m_x, m_size.height() - m_y);
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
        outline = RoundedRectRegion(0, m_y, w, h - m_y, 20);
        m_y += 2;
        return true;
    }
    if (m_x <= w / 2 - 10) {
        outline = RoundedRectRegion(m_x, m_y, w - m_x, h - m_y, 20);
        m_x += 3;
        return true;
    }
    if (m_x <= w / 2) {
        outline = EllipseRegion(m_x, m_y, w - m_x, h - m_y);
        ++m_x;
        ++m_y;
        return true;
    }
    return false;
}
