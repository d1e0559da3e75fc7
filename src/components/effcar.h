#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>

class QPainter;
class QWidget;
class TSuperTimer;

// The fade-in of a whole top-level window over the screen behind it: at tick n the window
// shows the mix of the screen area under it and its own picture at level 5 * n, so it comes
// up in 51 frames; the first tick above 255 shows one last frame at 255 and ends the fade.
//
// While the fade runs the owner's paintEvent calls PaintFadeFrame() instead of its normal
// painting. Child widgets would paint over that frame at full strength, so the owner names
// the ones to hide for the time of the fade.
class TEffCar final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEffCar)
public:
    explicit TEffCar(QWidget* owner);
    ~TEffCar() override;

    // Takes the screen under the owner's geometry and the owner's own picture (painted
    // normally, as the fade is not running yet) and starts the fade. Best called just before
    // the window is shown, so the screen taken is what lies behind it. A fade that is running
    // is stopped first.
    void StartFadeIn();
    bool isFadeRunning() const { return m_fadeRunning; }

    // Draws the current frame at (0, 0).
    void PaintFadeFrame(QPainter& painter) const;
    QImage currentFrame() const { return m_frame; }

    // Widgets hidden while a fade runs; those that were visible are shown again at its end.
    void setHiddenDuringFade(const QList<QWidget*>& widgets);

Q_SIGNALS:
    void finished();

private:
    void onTick();
    void endFade();

    QPointer<QWidget> m_owner;
    TSuperTimer* m_timer;
    QImage m_under;
    QImage m_image;
    QImage m_frame;
    bool m_fadeRunning = false;
    QList<QPointer<QWidget>> m_hideDuringFade;
    QList<QPointer<QWidget>> m_hidden; // the ones this fade hid
};
