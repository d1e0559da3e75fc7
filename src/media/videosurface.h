#pragma once

// The widget a player's video shows in: a child of the Display widget, placed at the player's
// DisplayRect, that paints the last frame scaled to its size. It lets the pointer through to the
// widget beneath, which decides what a click on the video means. A still picture set on it
// (a frozen frame) is shown instead of the frames until it is cleared; an underlay is painted
// first, where the frame does not cover.

#include <QImage>
#include <QWidget>

class VideoSurface final : public QWidget
{
    Q_OBJECT

public:
    explicit VideoSurface(QWidget* parent);

    void setFrame(const QImage& frame);
    void setStill(const QImage& still);
    void setUnderlay(const QImage& underlay);
    const QImage& frame() const { return m_frame; }
    const QImage& still() const { return m_still; }
    // What the surface shows now, at its own size.
    QImage picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_frame;
    QImage m_still;
    QImage m_underlay;
};
