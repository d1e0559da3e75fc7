#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QPainter;
class QWidget;
class TSuperTimer;

// The cross-fade of one button or switch between two of its pictures, one frame per tick of
// its own millisecond timer. At tick n the frame is the mix of the two pictures at level
// n * step() + alphaOffset(); the fade ends at the first level above 255 with one last frame
// at 255 and emits finished().
//
// A fade started while another runs continues from the level the old one had reached: with
// the pictures exchanged, it starts at 255 minus that level, which is the same mix of them.
//
// Widgets paint only in their paint handler, so every frame is shown by repainting the
// owner's rectangle under the button at once; the owner's paintEvent calls paint() after
// painting the button's resting picture.
class TEffBtnCar final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEffBtnCar)
public:
    TEffBtnCar(QWidget* owner, int index);
    ~TEffBtnCar() override;

    int index() const { return m_index; }

    // Levels added per tick (1 unless set; buttons of the skinned windows use 3 or 4).
    void setStep(int step);
    int step() const { return m_step; }

    void StartCrossFade(const QImage& from, const QImage& to, QPoint position);
    // Ends a running fade at once, without a last frame and without finished().
    void StopCrossFade();

    bool isRunning() const { return m_running; }
    int alphaOffset() const { return m_alphaOffset; }
    // While running, the level the fade has reached: tick count * step + offset (its last
    // frame is mixed at 255 although the level is past it); 0 at rest.
    int level() const;
    QImage currentFrame() const { return m_frame; }
    QPoint position() const { return m_position; }
    QRect frameRect() const { return QRect(m_position, m_frame.deviceIndependentSize().toSize()); }

    // Draws the current frame at its position while a fade runs; nothing otherwise.
    void paint(QPainter& painter) const;

Q_SIGNALS:
    // A fade reached its end; the owner shows the button's resting picture again.
    void finished();

private:
    void onTick();
    void showFrame();
    void freeBuffers();

    QPointer<QWidget> m_owner;
    int m_index;
    TSuperTimer* m_timer;
    QImage m_from;
    QImage m_to;
    QImage m_frame;
    QPoint m_position;
    bool m_running = false;
    int m_step = 1;
    int m_alphaOffset = 0;
};
