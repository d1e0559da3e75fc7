#include "mediacontroller.h"
#include "picturebytes.h"

#include "appcontext.h"
#include "backgroundmusic.h"
#include "codecinstall.h"
#include "medialog.h"
#include "screenids.h"
#include "skinscript.h"
#include "tmplayer.h"
#include "tmyaviplayer.h"
#include "tslideimage.h"
#include "tsound.h"
#include "tstartclip.h"

#include <QDir>
#include <QGuiApplication>
#include <QWidget>

namespace {

const QString kVideoAreaClip = QStringLiteral("car.avi");
const QString kVideoAreaBackdrop = QStringLiteral("3d_bg.bmp");

void setBusyCursor(bool busy)
{
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace

MediaController::MediaController(MediaWindow window, AppContext& context, const SkinScript& script,
                                 ComponentHooks& hooks)
    : m_window(std::move(window)), m_context(context), m_script(script), m_hooks(hooks)
{
    ClipServices services;
    services.currentScreen = m_window.currentScreen;
    services.showPage = [this](int pane, const QString& page) {
        if (m_hooks.panes)
            m_hooks.panes->ShowHtmlElement(pane, page);
    };
    services.musicOn = [this] { return m_context.userSettings.bgSound; };
    services.stopMusicForClip = [this] {
        music()->StopMusic(false);
        m_context.userSettings.bgSound = false;
        musicChanged();
    };
    services.resumeMusic = [this] {
        m_context.userSettings.bgSound = true;
        music()->StartMusic();
        musicChanged();
    };
    services.installMpegDriver = &CodecInstall::InstallMpegDriver;
    services.setBusy = &setBusyCursor;
    services.showStatus = [this](const QString& text) { status(text); };
    services.resolve = [this](const QString& path) { return m_context.disk.resolve(path); };
    // The areas and picture controls belong to the window; the players to this controller.
    m_sound = new TSound(m_window.window, script.clip, services, m_window.pointerOff);
    m_sound->setParent(this);
    if (!script.image.isEmpty()) {
        // The folders as the disk spells them: a script's "slides\" is the disc's "Slides".
        TDynamicImageArray images = script.image;
        for (RImage& image : images)
            image.dir = context.disk.resolve(image.dir);
        m_slides =
            new TSlideImage(m_window.window, images, context.userSettings, m_window.currentScreen, m_window.pointerOff);
        m_slides->setParent(this);
    }
    hooks.media = this;
}

MediaController::~MediaController()
{
    if (m_hooks.media == this)
        m_hooks.media = nullptr;
}

BackgroundMusic* MediaController::music()
{
    if (!m_music) {
        // The songs as the disk spells them: "music\song.mp3" may be "Music/Song.MP3" there.
        QStringList songs;
        for (const QString& song : m_script.header.bgsounddef)
            songs.append(m_context.disk.resolve(song));
        m_music = std::make_unique<BackgroundMusic>(m_context.settings, m_context.userSettings, songs);
        connect(m_music.get(), &BackgroundMusic::failed, this, [this] {
            status(QStringLiteral(u"Не удалось воспроизвести фоновую музыку"));
            musicChanged();
        });
    }
    return m_music.get();
}

void MediaController::status(const QString& text)
{
    if (m_hooks.misc)
        m_hooks.misc->showStatus(text);
}

void MediaController::musicChanged()
{
    if (m_window.musicChanged)
        m_window.musicChanged();
}

void MediaController::startMusicAtShow()
{
    if (!m_context.userSettings.bgSound)
        return;
    setBusyCursor(true);
    music()->StartMusic();
    setBusyCursor(false);
}

std::unique_ptr<TStartClip> MediaController::makeStartClip()
{
    const QString rolic = m_script.header.rolic;
    if (rolic.isEmpty() || rolic == QLatin1String("no") || !m_context.userSettings.clip)
        return nullptr;
    const QString background = m_script.header.background;
    const bool fullScreen = !background.isEmpty() && background != QLatin1String("no");
    const QString file = m_context.disk.resolve(m_context.values.programDir + rolic);
    return std::make_unique<TStartClip>(file, fullScreen, &CodecInstall::InstallMpegDriver);
}

void MediaController::stopAtEnd()
{
    if (m_music && (m_context.userSettings.bgSound || m_music->stopPending()))
        m_music->StopMusic(true);
    if (m_video)
        m_video->ReleasePlayer();
}

bool MediaController::videoExists() const
{
    return m_video != nullptr;
}

bool MediaController::videoActive() const
{
    return m_video && m_video->Active();
}

bool MediaController::videoHalted() const
{
    return !m_video || m_video->IsHalted();
}

bool MediaController::videoHitTest(QPoint at) const
{
    return m_video && m_video->HitTest(at);
}

bool MediaController::videoClickArea(QPoint at)
{
    return m_video && m_video->ClickArea(at);
}

void MediaController::windowShown()
{
    if (!m_videoWanted)
        return;
    m_videoWanted = false;
    setVideoActive(true);
}

void MediaController::setVideoActive(bool active)
{
    if (!m_video) {
        m_videoWanted = false;
        if (!active)
            return;
        // A hidden window cannot show the area; it starts with the window (windowShown), and
        // the clip is not opened before the first frame.
        if (!m_window.window->isVisible()) {
            m_videoWanted = true;
            qCDebug(lcMedia) << "3D area waits for the window to show";
            return;
        }
        QDir::setCurrent(m_context.values.programDir);
        m_video = new TMyAviPlayer(this);
        const QRect area = TMyAviPlayer::kArea;
        const QImage picture = m_window.picture ? m_window.picture().copy(area) : QImage();
        QImage backdrop;
        if (const std::optional<QByteArray> bytes = m_context.container.Read(kVideoAreaBackdrop)) {
            backdrop = pictureFromBytes(*bytes);
            if (backdrop.isNull())
                backdrop = picture;
        } else {
            qCDebug(lcMedia) << "3D area: no" << kVideoAreaBackdrop << "in the container";
        }
        const QString clip = m_context.disk.resolve(m_context.values.programDir + kVideoAreaClip);
        if (!m_video->Setup(m_window.window, picture, backdrop, area, clip)) {
            // No area then: the next "3d" tries again, and the pointer is not held in its place.
            delete m_video;
            m_video = nullptr;
            status(QStringLiteral(u"Не удалось воспроизвести файл %1").arg(kVideoAreaClip));
            return;
        }
        m_video->setOnItsScreen(!m_window.currentScreen || m_window.currentScreen() == kStartScreen);
    }
    m_video->SetActive(active);
}

void MediaController::freezeVideo()
{
    if (m_video)
        m_video->Freeze();
}

void MediaController::resumeVideoUnlessUserPaused()
{
    if (m_video)
        m_video->ResumeUnlessUserPaused();
}

void MediaController::paintFrozenVideo(QPainter& painter)
{
    if (m_video)
        m_video->PaintFrozen(painter);
}

void MediaController::PlayClip(const QString& file, const QString& page, int mode)
{
    m_sound->PlayClip(file, page, mode);
}

void MediaController::clipCommand(const QString& command)
{
    const QString name = command.trimmed().toLower();
    if (name.startsWith(QLatin1String("stepforward")))
        m_sound->StepForward();
    else if (name.startsWith(QLatin1String("stepback")))
        m_sound->StepBack();
    else if (name.startsWith(QLatin1String("pause")))
        m_sound->pauseCommand();
    else if (name.startsWith(QLatin1String("stop")))
        m_sound->stopCommand();
    else
        qCDebug(lcMedia) << "player command not known:" << command;
}

void MediaController::StartMusic()
{
    // The music button: a clip that plays gives way to the music.
    m_sound->player().Close();
    setBusyCursor(true);
    music()->StartMusic();
    setBusyCursor(false);
}

void MediaController::StopMusic()
{
    // The music button: the music fades out while the window goes on answering.
    music()->fadeOutAndStop();
}

void MediaController::ShowClipAreas()
{
    m_sound->ShowClipAreas();
    // The 3D area belongs to the start screen.
    if (m_video)
        m_video->setOnItsScreen(!m_window.currentScreen || m_window.currentScreen() == kStartScreen);
}

void MediaController::ShowSlidesForScreen()
{
    if (m_slides)
        m_slides->ShowSlidesForScreen();
}

void MediaController::NextPicture()
{
    if (m_slides)
        m_slides->NextPicture();
    else
        qCDebug(lcMedia) << "nextpic dropped: the skin has no picture areas";
}

void MediaController::PrevPicture()
{
    if (m_slides)
        m_slides->PrevPicture();
    else
        qCDebug(lcMedia) << "prevpic dropped: the skin has no picture areas";
}
