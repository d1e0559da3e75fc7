#include "hotarea.h"

#include <QMouseEvent>

HotArea::HotArea(QWidget* window) : QWidget(window)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
}

void HotArea::mouseMoveEvent(QMouseEvent* event)
{
    Q_EMIT pointerMoved(event->position().toPoint() + pos(), event->buttons(), event->modifiers());
}

void HotArea::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT pointerPressed(event->position().toPoint() + pos(), event->button(), event->modifiers());
}

void HotArea::mouseReleaseEvent(QMouseEvent* event)
{
    Q_EMIT pointerReleased(event->position().toPoint() + pos(), event->button(), event->modifiers());
}
