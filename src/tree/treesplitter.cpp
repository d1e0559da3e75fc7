#include "treesplitter.h"

#include <QMouseEvent>
#include <QPainter>

TreeSplitter::TreeSplitter(QWidget* panel) : QWidget(panel)
{
    setCursor(Qt::SplitHCursor);
    setToolTip(QString());
    hide();
}

void TreeSplitter::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor(115, 105, 115));
}

void TreeSplitter::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_grab = event->position().toPoint().x();
}

void TreeSplitter::mouseMoveEvent(QMouseEvent* event)
{
    if (m_grab < 0)
        return;
    Q_EMIT dragged(mapToParent(event->position().toPoint()).x() - m_grab);
}

void TreeSplitter::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_grab < 0 || event->button() != Qt::LeftButton)
        return;
    m_grab = -1;
    Q_EMIT released();
}
