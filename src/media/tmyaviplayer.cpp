#include "tmyaviplayer.h"

#include "medialog.h"
#include "tmplayer.h"
#include "videosurface.h"

#include <QDeadlineTimer>
#include <QPainter>
#include <QThread>
#include <QWidget>

TMyAviPlayer::TMyAviPlayer(QObject* parent) : QObject(parent) {}

TMyAviPlayer::~TMyAviPlayer() = default;

VideoSurface* TMyAviPlayer::surface() const
{
    return m_player ? m_player->surface() : nullptr;
}

bool TMyAviPlayer::Setup(QWidget* owner, const QImage& ownerPicture, const QImage& backdrop3d, QRect area,
                         const QString& fileName)
{
    if (!owner || fileName.trimmed().isEmpty())
        return false;
    m_owner = owner;
    m_area = area;
    m_background2D = ownerPicture;
    m_background3D = backdrop3d.isNull() ? ownerPicture : backdrop3d;
    m_halted = false;
    m_player = std::make_unique<TMPlayer>();
    m_player->setAutoRewind(true);
    m_player->setDisplay(owner);
    m_player->setFileName(fileName);
    connect(m_player.get(), &TMPlayer::notify, this, &TMyAviPlayer::noticeArrived);
    if (!m_player->Open()) {
        // Without a clip there is no area: it never turns active, so the pointer keeps its
        // ordinary meaning over its rectangle.
        qCDebug(lcMedia) << "3D area: the clip does not open, error" << m_player->Error() << fileName;
        m_player.reset();
        return false;
    }
    m_player->setDisplayRect(QRect(area.topLeft(), area.size()));
    if (VideoSurface* video = m_player->surface())
        video->setUnderlay(m_background3D);
    updateVisibility();
    return true;
}

bool TMyAviPlayer::IsHalted()
{
    if (m_halted || !m_player)
        return true;
    const int mode = m_player->Mode();
    return mode == TMPlayer::Stopped || mode == TMPlayer::Paused || mode == TMPlayer::NotReady;
}

void TMyAviPlayer::noticeArrived()
{
    // Every notice: a clip that ended while the area plays starts again from its beginning.
    if (m_active && !m_halted && IsHalted())
        m_player->Play();
}

void TMyAviPlayer::haltAndWait()
{
    m_player->PauseOnly();
    // The device reports its halt in its own time; the wait is bounded so that a device that
    // never does cannot hold the interface.
    const QDeadlineTimer deadline(kHaltWaitMs);
    while (!IsHalted() && !deadline.hasExpired())
        QThread::msleep(10);
    if (!IsHalted())
        qCDebug(lcMedia) << "3D area: the device did not halt in" << kHaltWaitMs << "ms";
    m_halted = true;
}

void TMyAviPlayer::SetActive(bool on)
{
    if (!m_player)
        return;
    if (!m_owner || !m_owner->isVisible()) {
        if (m_player->Opened())
            m_player->Stop();
        m_active = false;
        updateVisibility();
        return;
    }
    if (m_active && !on) {
        haltAndWait();
    } else if (on) {
        m_player->Play();
        m_halted = false;
        m_userPaused = false;
        if (VideoSurface* video = surface())
            video->setStill(QImage());
    }
    m_active = on;
    updateVisibility();
}

bool TMyAviPlayer::ClickArea(QPoint at)
{
    if (!m_active || !m_area.contains(at))
        return false;
    m_userPaused = !IsHalted();
    if (IsHalted()) {
        m_player->Play();
        m_halted = false;
        if (VideoSurface* video = surface())
            video->setStill(QImage());
    } else {
        Freeze();
    }
    return true;
}

void TMyAviPlayer::Freeze()
{
    if (!m_active || !m_player)
        return;
    haltAndWait();
    if (VideoSurface* video = surface()) {
        m_snapshot = video->picture();
        video->setStill(m_snapshot);
    }
}

void TMyAviPlayer::PaintFrozen(QPainter& painter)
{
    if (!m_active || m_snapshot.isNull() || !m_player)
        return;
    const int mode = m_player->Mode();
    if (mode == TMPlayer::Stopped || mode == TMPlayer::Paused)
        painter.drawImage(m_area.topLeft(), m_snapshot);
}

void TMyAviPlayer::ResumeUnlessUserPaused()
{
    if (m_userPaused || !m_player)
        return;
    m_halted = false;
    if (VideoSurface* video = surface())
        video->setStill(QImage());
    noticeArrived();
}

void TMyAviPlayer::ReleasePlayer()
{
    if (!m_player)
        return;
    m_player->Close();
    m_player->setDisplay(nullptr);
    m_player.reset();
    m_active = false;
}

void TMyAviPlayer::setOnItsScreen(bool on)
{
    m_onItsScreen = on;
    updateVisibility();
}

void TMyAviPlayer::updateVisibility()
{
    if (VideoSurface* video = surface())
        video->setVisible(m_active && m_onItsScreen);
}
