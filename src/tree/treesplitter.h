#pragma once

// The bar between the contents trees and the pane on the document panel: the reader drags it to
// give the trees more or less room.

#include <QWidget>

class TreeSplitter final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 4;

    explicit TreeSplitter(QWidget* panel);

Q_SIGNALS:
    // The bar's left edge is to stand at x (panel coordinates) while the reader drags it.
    void dragged(int x);
    // The reader let go of the bar.
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_grab = -1; // where in the bar the pointer took it, while dragging
};
