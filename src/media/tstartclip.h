#pragma once

// TStartClip: the clip that plays once while the program starts, in a window of its own above
// everything: framed at the video's size, or centred on a black screen. It finishes when the clip
// ends, when Esc is pressed, or when the clip cannot be played; finished() then lets start-up go
// on. A clip that never starts playing is tried again every half second, ten times.

#include <QWidget>

#include <functional>
#include <memory>

class QTimer;
class TMPlayer;

class TStartClip final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kStartMs = 10;
    static constexpr int kWaitMs = 500;
    static constexpr int kWatchMs = 100;
    static constexpr int kMaxRetries = 10;

    // fullScreen: a black backdrop over the whole screen instead of a frame.
    TStartClip(const QString& file, bool fullScreen, std::function<void()> installMpegDriver,
               QWidget* parent = nullptr);
    ~TStartClip() override;

    TMPlayer& player() { return *m_player; }
    int retryCount() const { return m_retries; }
    bool isFinished() const { return m_finished; }

Q_SIGNALS:
    void finished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void openClip();
    void waitTick();
    void watchTick();
    void Finish();

    QString m_file;
    bool m_fullScreen = false;
    std::function<void()> m_installMpegDriver;
    std::unique_ptr<TMPlayer> m_player;
    QTimer* m_startTimer = nullptr;
    QTimer* m_waitTimer = nullptr;
    QTimer* m_watchTimer = nullptr;
    int m_retries = 0;
    bool m_finished = false;
};
