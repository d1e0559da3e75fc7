#pragma once

// The background music: the skin's songs one after the other, endlessly, faded in when music
// starts and out when it stops. The song and the position in it are kept in the title's settings
// when music stops and taken up again by the next start.

#include "volumefade.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QStringList>

#include <memory>

class SettingsStore;
class QTimer;
class TMPlayer;
struct UserSettings;

class BackgroundMusic final : public QObject
{
    Q_OBJECT

public:
    // The longest StopMusic waits for the fade-out to end ("Adj_Volume").
    static constexpr int kFadeWaitMs = 10000;

    BackgroundMusic(SettingsStore& settings, UserSettings& userSettings, QStringList songs, QObject* parent = nullptr);
    ~BackgroundMusic() override;
    Q_DISABLE_COPY_MOVE(BackgroundMusic)

    // Plays the song and position kept at the last stop, fading in. A song that cannot be
    // played turns music off for the run (the setting is not written); false then.
    bool StartMusic();
    // Keeps song and position, then stops, fading out first when fade is set; returns when the
    // music is closed (the fade is waited for at most kFadeWaitMs).
    void StopMusic(bool fade);
    // The same with a fade, without holding the interface: the player closes when the fade-out
    // has ended (or kFadeWaitMs passed). Music started meanwhile cancels the close.
    void fadeOutAndStop();
    bool stopPending() const;

    int songIndex() const { return m_songIndex; }
    const QStringList& songs() const { return m_songs; }
    TMPlayer& player() { return *m_player; }
    bool fading() const { return m_fade.isRunning(); }

Q_SIGNALS:
    // Music could not be played and is off for the run.
    void failed(const QString& song);

private:
    void NextSong();
    void turnOff(const QString& song);
    void keepPlace();
    void closeAfterFade();

    SettingsStore& m_settings;
    UserSettings& m_userSettings;
    QStringList m_songs;
    std::unique_ptr<TMPlayer> m_player;
    VolumeFade m_fade;
    int m_songIndex = 0;
    qint64 m_position = 0;
    QTimer* m_stopWatch = nullptr; // looks for the end of a fade-out that nobody waits for
    QDeadlineTimer m_stopDeadline;
};
