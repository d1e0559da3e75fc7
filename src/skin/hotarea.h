#pragma once

#include <QWidget>

// An invisible area over a button or switch: it shows the element's hint and hands pointer
// events to the window it belongs to, in the window's coordinates.
class HotArea final : public QWidget
{
    Q_OBJECT
public:
    explicit HotArea(QWidget* window);

Q_SIGNALS:
    void pointerMoved(QPoint windowPos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void pointerPressed(QPoint windowPos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void pointerReleased(QPoint windowPos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
