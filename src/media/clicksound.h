#pragma once

// The click sounds of buttons, switches and the about window. A click never waits: when a sound
// is still playing, the next one is dropped, not queued. Only the exit button's sound at shutdown
// is played to its end before the caller goes on.
//
// The audio output is mpv's default unless VELBROOK_AUDIO_OUTPUT names one ("null" in tests).
// Creating a ClickSound sets the C library's numeric locale to "C", which libmpv requires.

#include <QObject>
#include <QString>

struct mpv_handle;
struct mpv_event;

class ClickSound final : public QObject
{
    Q_OBJECT

public:
    explicit ClickSound(QObject* parent = nullptr);
    ~ClickSound() override;
    Q_DISABLE_COPY_MOVE(ClickSound)

    // False when the player could not be created; every call then does nothing.
    bool isAvailable() const { return m_mpv != nullptr; }

    // Starts the file and returns at once; does nothing while a sound plays or when the file
    // does not exist.
    void play(const QString& file);

    // Plays the file and returns when it ended (true) or failed, or when maxWaitMs passed (false).
    // A sound still playing is cut off first.
    bool playToEnd(const QString& file, int maxWaitMs);

    // Also takes in the player's pending news, so it is right without a running event loop.
    bool isPlaying() const;

    // Sounds started since creation (dropped clicks do not count).
    int startedCount() const { return m_started; }

Q_SIGNALS:
    void soundStarted(const QString& file);
    // completed is false when the file could not be played or was cut off.
    void soundFinished(bool completed);

private:
    bool start(const QString& file);
    // Handles every event already waiting, without blocking.
    void drainEvents();
    void handleEvent(const mpv_event& event);

    mpv_handle* m_mpv = nullptr;
    const struct MpvLibrary* m_api = nullptr;
    int m_started = 0;
    // The sound we wait for, as the player numbers its entries (0: the player does not say, and
    // the next end of any file counts).
    qint64 m_entry = 0;
    bool m_playing = false;
    bool m_lastCompleted = false;
};
