#pragma once

// TMyAviPlayer: the 3D video area of the start screen. "3d" plays a clip endlessly in a fixed
// rectangle of the window over its 3D backdrop; "2d" stops it and the window's own picture is
// back. A click in the playing area freezes it on its last frame; a second click plays on.

#include <QImage>
#include <QObject>
#include <QRect>

#include <memory>

class QPainter;
class QWidget;
class TMPlayer;
class VideoSurface;

class TMyAviPlayer final : public QObject
{
    Q_OBJECT

public:
    // Where the area stands in the start screen's picture.
    static constexpr QRect kArea{QPoint(31, 135), QPoint(686, 393)};
    // The longest the area waits for a pausing device to report that it stopped.
    static constexpr int kHaltWaitMs = 2000;

    explicit TMyAviPlayer(QObject* parent = nullptr);
    ~TMyAviPlayer() override;
    Q_DISABLE_COPY_MOVE(TMyAviPlayer)

    // owner: the window the area belongs to; ownerPicture: its picture under the area;
    // backdrop3d: the 3D backdrop (null: the owner's picture). False when the clip cannot open;
    // the area then has no player and never turns active.
    bool Setup(QWidget* owner, const QImage& ownerPicture, const QImage& backdrop3d, QRect area,
               const QString& fileName);
    void SetActive(bool on);
    bool IsHalted();
    bool HitTest(QPoint at) const { return m_area.contains(at); }
    bool ClickArea(QPoint at);
    void Freeze();
    void PaintFrozen(QPainter& painter);
    void ResumeUnlessUserPaused();
    void ReleasePlayer();
    // The owner's screen changed: the area shows only on the screen it belongs to.
    void setOnItsScreen(bool on);

    bool Active() const { return m_active; }
    bool Halted() const { return m_halted; }
    bool UserPaused() const { return m_userPaused; }
    const QImage& Snapshot() const { return m_snapshot; }
    TMPlayer* player() const { return m_player.get(); }
    VideoSurface* surface() const;

private:
    void noticeArrived();
    // Pauses and waits, with a bound, until the device says it is halted.
    void haltAndWait();
    void updateVisibility();

    std::unique_ptr<TMPlayer> m_player;
    QWidget* m_owner = nullptr;
    QRect m_area;
    QImage m_background2D;
    QImage m_background3D;
    QImage m_snapshot;
    bool m_active = false;
    bool m_halted = true;
    bool m_userPaused = false;
    bool m_onItsScreen = true;
};
