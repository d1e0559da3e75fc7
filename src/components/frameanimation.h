#pragma once

// An animated picture (a GIF) played on a label, frame by frame from its bytes, as QMovie plays
// one; unlike QMovie it asks only the GIF handler to read it (see picturebytes.h), so a window
// with an animation does not load every image plug-in at its start.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class QImageReader;
class QLabel;

class FrameAnimation final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrameAnimation)
public:
    // The animation in bytes, its first frame shown on label; invalid (and label left alone) when
    // bytes hold no picture.
    FrameAnimation(const QByteArray& bytes, QLabel* label, QObject* parent = nullptr);
    ~FrameAnimation() override;

    bool isValid() const { return !m_frame.isNull(); }
    QSize size() const { return m_frame.size(); }
    bool isRunning() const { return m_timer.isActive(); }
    const QImage& currentFrame() const { return m_frame; }

    // Plays on from the frame shown, over and over as the picture's loop count says; stop keeps
    // the frame shown.
    void start();
    void stop();

private:
    // A reader at the first frame; false when it cannot read one.
    bool rewind();
    bool readFrame();
    void advance();

    QByteArray m_bytes;
    QBuffer m_buffer;
    std::unique_ptr<QImageReader> m_reader;
    QPointer<QLabel> m_label;
    QTimer m_timer;
    QImage m_frame;
    int m_delay = 0;
    int m_loopCount = 0; // the picture's: -1 for ever, 0 once, n times more
    int m_loopsDone = 0;
};
