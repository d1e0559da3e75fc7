#include "effcar.h"

#include "alphablend.h"
#include "supertimer.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace {

constexpr int kLevelsPerTick = 5;

// A picture as a 32-bit buffer of the window's size in device pixels; a null picture (no
// screen content available, as on the offscreen platform) gives a black one.
QImage toBuffer(const QPixmap& picture, QSize size, qreal ratio)
{
    QImage buffer((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(Qt::black);
    if (!picture.isNull()) {
        QPainter painter(&buffer);
        painter.drawPixmap(QRect(QPoint(0, 0), size), picture);
    }
    return buffer;
}

} // namespace

TEffCar::TEffCar(QWidget* owner) : QObject(owner), m_owner(owner), m_timer(new TSuperTimer(this))
{
    m_timer->setInterval(1);
    m_timer->setPriority(QThread::HighestPriority);
    connect(m_timer, &TSuperTimer::timeout, this, &TEffCar::onTick);
}

TEffCar::~TEffCar() = default;

void TEffCar::setHiddenDuringFade(const QList<QWidget*>& widgets)
{
    m_hideDuringFade.clear();
    for (QWidget* widget : widgets)
        m_hideDuringFade.append(widget);
}

void TEffCar::StartFadeIn()
{
    if (!m_owner)
        return;
    if (m_fadeRunning)
        endFade();

    QWidget* window = m_owner;
    const QSize size = window->size();
    const qreal ratio = window->devicePixelRatioF();
    QPixmap under;
    if (QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
        // The window's geometry is in global coordinates; the grab wants them relative to
        // the screen.
        const QPoint at = window->geometry().topLeft() - screen->geometry().topLeft();
        under = screen->grabWindow(0, at.x(), at.y(), size.width(), size.height());
    }
    m_under = toBuffer(under, size, ratio);
    m_frame = m_under;
    m_image = toBuffer(window->grab(), size, ratio);
    m_fadeRunning = true;

    m_hidden.clear();
    for (const QPointer<QWidget>& widget : std::as_const(m_hideDuringFade)) {
        if (widget && !widget->isHidden()) {
            widget->hide();
            m_hidden.append(widget);
        }
    }
    m_timer->setEnabled(true);
}

void TEffCar::PaintFadeFrame(QPainter& painter) const
{
    if (!m_frame.isNull())
        painter.drawImage(QPoint(0, 0), m_frame);
}

void TEffCar::onTick()
{
    const int alpha = m_timer->tickCount() * kLevelsPerTick;
    if (alpha <= 255) {
        AlphaBlend(m_frame, m_under, m_image, alpha);
        if (m_owner)
            m_owner->repaint();
        return;
    }
    AlphaBlend(m_frame, m_under, m_image, 255);
    if (m_owner)
        m_owner->repaint();
    endFade();
    Q_EMIT finished();
}

void TEffCar::endFade()
{
    m_timer->setEnabled(false);
    m_fadeRunning = false;
    m_under = QImage();
    m_image = QImage();
    m_frame = QImage();
    for (const QPointer<QWidget>& widget : std::as_const(m_hidden)) {
        if (widget)
            widget->show();
    }
    m_hidden.clear();
}
