#pragma once

// TMPlayer: the media device under every player of the program (music, clips, the start clip, the
// 3D area). It keeps the operations of a media-control device over libmpv: a file is opened, then
// played, paused, stopped, sought and closed; Play and Resume return at once and report the end
// of playback later as a notice, delivered on the interface thread like any other event; the
// other commands finish before they return and report a notice only when one was asked for with
// Notify(true). Notify(value) is a one-shot override for the next command that consults it.
//
// Commands that need an open device return false without one (and leave one debug line). A
// failure of the device itself is kept in Error() as the media-control error code; callers tell
// a fault of the file (kFileNotFound, kInvalidFile, kFileRead) from a missing driver (others).
//
// Video is drawn by the player itself: frames come from libmpv's software renderer into an image
// that a VideoSurface shows in the Display widget at DisplayRect, so a still or a screenshot of
// the video is a plain image copy (currentFrame()).
//
// libmpv is loaded by the first Open, never before. The audio output is mpv's default unless
// VELBROOK_AUDIO_OUTPUT names one ("null" in tests).

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

struct mpv_handle;
struct mpv_event;
struct mpv_render_context;
#include "videosurface.h"

class TMPlayer final : public QObject
{
    Q_OBJECT

public:
    // Error codes of the media-control interface that callers test.
    static constexpr int kFileNotFound = 275;
    static constexpr int kInvalidFile = 296;
    static constexpr int kFileRead = 348;
    // No player could be loaded or the device did not answer: a "missing driver".
    static constexpr int kCannotLoadDriver = 266;

    // How the last notice ended the command it belongs to.
    enum class NotifyValue
    {
        Successful = 1,
        Superseded = 2,
        Aborted = 4,
        Failure = 8,
    };
    // Mode() ordinals.
    enum Mode
    {
        NotReady = 0,
        Stopped = 1,
        Playing = 2,
        Recording = 3,
        Seeking = 4,
        Paused = 5,
        DeviceOpen = 6,
    };

    // audioOnly players never decode pictures (the background music).
    explicit TMPlayer(QObject* parent = nullptr, bool audioOnly = false);
    ~TMPlayer() override;
    Q_DISABLE_COPY_MOVE(TMPlayer)

    QString FileName() const { return m_fileName; }
    void setFileName(const QString& file) { m_fileName = file; }
    bool AutoRewind() const { return m_autoRewind; }
    void setAutoRewind(bool on) { m_autoRewind = on; }

    // Opens FileName; false with Error() set when it cannot. An open device is closed first.
    bool Open();
    // Closes the device if one is open; a notice still pending is aborted.
    void Close();
    bool Play();
    bool Stop();
    // Pauses a playing device, resumes a paused one, does nothing otherwise.
    bool Pause();
    bool PauseOnly();
    // A device that is not paused is played instead.
    bool Resume();
    bool Rewind();
    // In milliseconds (the only time format this device has); 0 without an open device.
    qint64 Position();
    bool setPosition(qint64 position);
    qint64 Length();
    int Mode();
    // The format is kept and changes nothing: positions are always milliseconds.
    void TimeFormat(int format) { m_timeFormat = format; }
    void Notify(bool value)
    {
        m_overridePending = true;
        m_overrideValue = value;
    }

    // The widget the video is drawn on; nullptr for none (the picture is then only kept).
    QWidget* Display() const { return m_display; }
    void setDisplay(QWidget* display);
    // Where in Display the video goes: left, top, width, height. A rectangle of zero width and
    // height asks for the natural size at its left and top. Only with an open video device.
    QRect DisplayRect() const;
    void setDisplayRect(const QRect& rect);

    bool Opened() const { return m_opened; }
    int Error() const { return m_error; }
    QString ErrorMessage() const;
    NotifyValue notifyValue() const { return m_notifyValue; }
    bool HasVideo() const { return m_hasVideo; }
    QSize NaturalSize() const { return m_naturalSize; }

    // The last video frame drawn, at the natural size; null before the first one.
    QImage currentFrame() const { return m_frame; }
    // The surface that shows the video in Display, or nullptr.
    VideoSurface* surface() const { return m_surface; }

    // Volume of this player only, 0..100 (the system's mixer is never touched). Safe to call
    // from any thread while the player exists.
    void setVolume(double percent);

    // Whether the player could be created (libmpv found and started).
    bool isAvailable();

Q_SIGNALS:
    // OnNotify: one per completion notice; notifyValue() tells how the command ended.
    void notify();
    // A new video frame is in currentFrame().
    void frameReady();

private:
    bool ensurePlayer();
    bool requireOpen(const char* operation) const;
    // The notices of the two command families: whether this command asks for one.
    bool waitFamilyNotify();
    bool noticeFamilyNotify(bool consume);
    void postNotice(NotifyValue value);
    // A Play or Resume that asked for a notice and has not ended yet gets this value.
    void endPendingPlay(NotifyValue value);
    void playbackEnded();
    void drainEvents();
    void handleEvent(const mpv_event& event);
    // Waits for the player's news until done() holds or maxMs passed; false on time-out.
    template <typename Done> bool waitFor(Done done, int maxMs);
    void setPaused(bool paused);
    void renderFrame();
    void updateSurface();
    double doubleProperty(const char* name, double fallback);

    mpv_handle* m_mpv = nullptr;
    mpv_render_context* m_render = nullptr;
    const struct MpvLibrary* m_api = nullptr;
    bool m_audioOnly = false;
    bool m_triedCreate = false;

    QString m_fileName;
    bool m_autoRewind = false;
    bool m_opened = false;
    int m_mode = NotReady;
    int m_error = 0;
    int m_timeFormat = 0;
    NotifyValue m_notifyValue = NotifyValue::Successful;
    bool m_overridePending = false;
    bool m_overrideValue = false;
    bool m_playNotifyPending = false; // a Play or Resume waits to report its end
    bool m_atEnd = false;

    // Open: the entry loadfile made, and how its loading ended.
    qint64 m_entry = 0;
    bool m_loaded = false;
    int m_loadError = 0;
    bool m_seeking = false;
    // A stopped device stands exactly where it was put (the player reports the position it
    // decoded to, which may differ by a frame); -1 once it plays.
    qint64 m_heldPosition = -1;

    bool m_hasVideo = false;
    QSize m_naturalSize;
    QRect m_displayRect;
    QPointer<QWidget> m_display;
    QPointer<VideoSurface> m_surface;
    QImage m_frame;
};
