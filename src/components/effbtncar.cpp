#include "effbtncar.h"

#include "alphablend.h"
#include "supertimer.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

TEffBtnCar::TEffBtnCar(QWidget* owner, int index)
    : QObject(owner), m_owner(owner), m_index(index), m_timer(new TSuperTimer(this))
{
    m_timer->setInterval(1);
    m_timer->setPriority(QThread::HighestPriority);
    connect(m_timer, &TSuperTimer::timeout, this, &TEffBtnCar::onTick);
}

TEffBtnCar::~TEffBtnCar() = default;

void TEffBtnCar::setStep(int step)
{
    m_step = std::max(step, 1);
}

int TEffBtnCar::level() const
{
    return m_running ? m_timer->tickCount() * m_step + m_alphaOffset : 0;
}

void TEffBtnCar::StartCrossFade(const QImage& from, const QImage& to, QPoint position)
{
    const bool reversing = m_running;
    if (reversing) {
        // The new fade goes the other way from the level the old one had reached.
        m_alphaOffset = 255 - (m_timer->tickCount() * m_step + m_alphaOffset);
        m_timer->setEnabled(false);
    }
    m_from = from;
    m_to = to;
    // Until the first tick the frame on show is the old fade's last one, which is the same mix
    // as the new fade's start; a fresh fade starts on its from picture.
    if (!reversing || m_frame.size() != m_from.size())
        AlphaBlend(m_frame, m_from, m_to, 0);
    m_position = position;
    m_running = true;
    m_timer->setEnabled(true);
}

void TEffBtnCar::StopCrossFade()
{
    m_timer->setEnabled(false);
    m_alphaOffset = 0;
    m_running = false;
    freeBuffers();
}

void TEffBtnCar::paint(QPainter& painter) const
{
    if (m_running && !m_frame.isNull())
        painter.drawImage(m_position, m_frame);
}

void TEffBtnCar::onTick()
{
    const int alpha = m_timer->tickCount() * m_step + m_alphaOffset;
    if (alpha < 256) {
        AlphaBlend(m_frame, m_from, m_to, alpha);
        showFrame();
        return;
    }
    m_timer->setEnabled(false);
    AlphaBlend(m_frame, m_from, m_to, 255);
    showFrame();
    m_alphaOffset = 0;
    m_running = false;
    freeBuffers();
    Q_EMIT finished();
}

void TEffBtnCar::showFrame()
{
    // repaint(), not update(): the frame must reach the screen within this tick, or a busy
    // event loop would merge frames and the fade would jump.
    if (m_owner && !m_frame.isNull())
        m_owner->repaint(frameRect());
}

void TEffBtnCar::freeBuffers()
{
    m_from = QImage();
    m_to = QImage();
    m_frame = QImage();
}
