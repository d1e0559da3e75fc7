#pragma once

// The media of the skinned window joined to its hooks: the background music, the clip player and
// its areas, the 3D video area, the slide show. Every player is made when first needed, so a
// start that plays nothing never loads libmpv.

#include "componenthooks.h"

#include <QImage>
#include <QObject>

#include <functional>
#include <memory>

class AppContext;
class BackgroundMusic;
class SkinScript;
class TMyAviPlayer;
class TSlideImage;
class TSound;
class TStartClip;
class QWidget;

// What the media ask of the window they live in.
struct MediaWindow
{
    QWidget* window = nullptr;
    std::function<int()> currentScreen;
    // The window's picture of the current screen (the 2D picture under the 3D area).
    std::function<QImage()> picture;
    // The pointer is over an area: the window's buttons lose their hover.
    std::function<void()> pointerOff;
    // The music was switched on or off for the run: the window shows it on its music buttons.
    std::function<void()> musicChanged;
};

class MediaController final : public QObject, public MediaHooks
{
    Q_OBJECT

public:
    MediaController(MediaWindow window, AppContext& context, const SkinScript& script, ComponentHooks& hooks);
    ~MediaController() override;

    // The show step of start-up: music when it is on.
    void startMusicAtShow();
    // The window has shown its first frame: a 3D area asked for while it was hidden (a switch
    // remembered on) starts now.
    void windowShown();
    // The start clip's window, playing, when the skin names a clip and the setting wants it;
    // nullptr otherwise. Its finished() lets start-up go on.
    std::unique_ptr<TStartClip> makeStartClip();
    // The ordered end: music stops with its fade, its song and position kept; the 3D area's
    // player is released.
    void stopAtEnd();

    TSound* clipPlayer() const { return m_sound; }
    TSlideImage* slideShow() const { return m_slides; }
    TMyAviPlayer* videoArea() const { return m_video; }
    BackgroundMusic* music();

    bool videoExists() const override;
    bool videoActive() const override;
    bool videoHalted() const override;
    bool videoHitTest(QPoint at) const override;
    bool videoClickArea(QPoint at) override;
    void setVideoActive(bool active) override;
    void freezeVideo() override;
    void resumeVideoUnlessUserPaused() override;
    void paintFrozenVideo(QPainter& painter) override;
    void PlayClip(const QString& file, const QString& page, int mode) override;
    void clipCommand(const QString& command) override;
    void StartMusic() override;
    void StopMusic() override;
    void ShowClipAreas() override;
    void ShowSlidesForScreen() override;
    void NextPicture() override;
    void PrevPicture() override;

private:
    void status(const QString& text);
    void musicChanged();

    MediaWindow m_window;
    AppContext& m_context;
    const SkinScript& m_script;
    ComponentHooks& m_hooks;
    std::unique_ptr<BackgroundMusic> m_music;
    TSound* m_sound = nullptr;
    TSlideImage* m_slides = nullptr;
    TMyAviPlayer* m_video = nullptr;
    bool m_videoWanted = false;
};
