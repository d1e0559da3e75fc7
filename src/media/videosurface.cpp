#include "videosurface.h"

#include <QPainter>

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void VideoSurface::setFrame(const QImage& frame)
{
    m_frame = frame;
    if (m_still.isNull())
        update();
}

void VideoSurface::setStill(const QImage& still)
{
    m_still = still;
    update();
}

void VideoSurface::setUnderlay(const QImage& underlay)
{
    m_underlay = underlay;
    update();
}

QImage VideoSurface::picture() const
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    if (!m_underlay.isNull())
        painter.drawImage(rect(), m_underlay);
    const QImage& shown = m_still.isNull() ? m_frame : m_still;
    if (!shown.isNull())
        painter.drawImage(rect(), shown);
    return image;
}

void VideoSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture());
}
