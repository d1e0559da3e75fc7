#include "picturetooltip.h"

#include <QCursor>
#include <QLabel>

PictureTooltip::PictureTooltip()
{
    m_timer.setInterval(kTick);
    connect(&m_timer, &QTimer::timeout, this, &PictureTooltip::tick);
}

PictureTooltip::~PictureTooltip()
{
    hide();
    delete m_hint;
}

void PictureTooltip::pointerMoved(const PointerObject& object)
{
    m_pointer = object;
    if (m_pointer.kind == PointerObject::None) {
        m_lastPicture.clear();
    } else if (m_pointer.kind == PointerObject::Picture && !m_pointer.title.isEmpty() &&
               m_pointer.id != m_lastPicture && !m_timer.isActive()) {
        m_ticks = 0;
        m_timer.start();
    }
}

void PictureTooltip::tick()
{
    ++m_ticks;
    if (m_pointer.kind == PointerObject::None) {
        m_lastPicture.clear();
        hide();
        return;
    }
    if (m_ticks > 20) {
        hide();
        return;
    }
    if (m_ticks < 2)
        return;
    if (m_shown && m_pointer.id == m_lastPicture)
        return;
    if (m_pointer.kind != PointerObject::Picture)
        return;
    if (m_pointer.title.isEmpty()) {
        hide();
        return;
    }
    if (!m_hint) {
        m_hint = new QLabel(nullptr, Qt::ToolTip);
        m_hint->setStyleSheet(
            QStringLiteral("QLabel { background: #FFFFE1; color: black; border: 1px solid gray; padding: 2px; }"));
        m_hint->setWordWrap(true);
        m_hint->setTextFormat(Qt::PlainText);
        m_hint->setMaximumWidth(300);
    }
    m_hint->setText(m_pointer.title);
    m_hint->adjustSize();
    m_hint->move(QCursor::pos() + QPoint(0, 18));
    m_hint->show();
    m_shown = true;
    if (m_pointer.id != m_lastPicture) {
        m_ticks = 2;
        m_lastPicture = m_pointer.id;
    }
}

void PictureTooltip::hide()
{
    m_timer.stop();
    if (m_hint)
        m_hint->hide();
    m_shown = false;
}

QString PictureTooltip::text() const
{
    return m_hint ? m_hint->text() : QString();
}
