#include "backgroundmusic.h"

#include "medialog.h"
#include "settingskeys.h"
#include "settingsstore.h"
#include "tmplayer.h"
#include "usersettings.h"

#include <QTimer>

BackgroundMusic::BackgroundMusic(SettingsStore& settings, UserSettings& userSettings, QStringList songs,
                                 QObject* parent)
    : QObject(parent), m_settings(settings), m_userSettings(userSettings), m_songs(std::move(songs)),
      m_player(std::make_unique<TMPlayer>(nullptr, true)), m_fade([player = m_player.get()](int left, int right) {
          player->setVolume(100.0 * std::max(left, right) / FadeLevels::kFullVolume);
      })
{
    connect(m_player.get(), &TMPlayer::notify, this, &BackgroundMusic::NextSong);
    m_stopWatch = new QTimer(this);
    m_stopWatch->setInterval(20);
    connect(m_stopWatch, &QTimer::timeout, this, [this] {
        if (m_fade.finished().tryAcquire() || m_stopDeadline.hasExpired())
            closeAfterFade();
    });
}

BackgroundMusic::~BackgroundMusic()
{
    m_fade.stop();
}

bool BackgroundMusic::stopPending() const
{
    return m_stopWatch->isActive();
}

bool BackgroundMusic::StartMusic()
{
    // A fade-out still running ends now: this start takes the player over.
    if (stopPending()) {
        m_stopWatch->stop();
        m_fade.stop();
        m_player->Close();
        m_player->setVolume(100);
    }
    // The song and position of the last stop; a value that is missing leaves the rest unread.
    if (const std::optional<int> song = m_settings.readInt(SettingsKeys::BGSoundSong)) {
        m_songIndex = *song;
        if (const std::optional<int> position = m_settings.readInt(SettingsKeys::BGSoundPos))
            m_position = *position;
    }
    // The list may be shorter than when the song was kept: the first song then, from its start.
    if (m_songIndex < 0 || m_songIndex >= m_songs.size()) {
        qCDebug(lcMedia) << "kept song" << m_songIndex << "is not in the list of" << m_songs.size()
                         << "songs: the first one plays";
        m_songIndex = 0;
        m_position = 0;
    }
    if (m_songs.isEmpty()) {
        turnOff(QString());
        return false;
    }
    const QString song = m_songs.at(m_songIndex);
    m_player->setFileName(song);
    if (!m_player->Open()) {
        turnOff(song);
        return false;
    }
    m_player->setPosition(m_position);
    m_fade.start(FadeLevels::kFullVolume, FadeLevels::kFullVolume, FadeLevels::Direction::In);
    if (!m_player->Play()) {
        m_fade.stop();
        turnOff(song);
        return false;
    }
    return true;
}

void BackgroundMusic::keepPlace()
{
    // Only a song that is loaded has a place to keep: music that never started (or could not)
    // leaves the place kept by an earlier run as it was.
    if (m_player->Opened()) {
        m_settings.writeInt(SettingsKeys::BGSoundSong, m_songIndex);
        m_settings.writeInt(SettingsKeys::BGSoundPos, int(std::min<qint64>(m_player->Position(), INT_MAX)));
    } else {
        qCDebug(lcMedia) << "music stopped before it played: the kept song and position stay";
    }
}

void BackgroundMusic::StopMusic(bool fade)
{
    if (stopPending()) {
        // A fade-out is under way: a stop with a fade waits for its end, one without ends it now.
        m_stopWatch->stop();
        if (fade && !m_fade.finished().tryAcquire(1, int(std::max<qint64>(m_stopDeadline.remainingTime(), 0))))
            qCDebug(lcMedia) << "the music's fade-out did not end in" << kFadeWaitMs << "ms";
        closeAfterFade();
        return;
    }
    keepPlace();
    if (fade && m_player->Opened() && m_player->Mode() == TMPlayer::Playing) {
        m_fade.start(FadeLevels::kFullVolume, FadeLevels::kFullVolume, FadeLevels::Direction::Out);
        if (!m_fade.finished().tryAcquire(1, kFadeWaitMs))
            qCDebug(lcMedia) << "the music's fade-out did not end in" << kFadeWaitMs << "ms";
    }
    m_fade.stop();
    m_player->Close();
    m_player->setVolume(100);
}

void BackgroundMusic::fadeOutAndStop()
{
    if (stopPending())
        return;
    keepPlace();
    if (!m_player->Opened() || m_player->Mode() != TMPlayer::Playing) {
        m_fade.stop();
        m_player->Close();
        return;
    }
    m_fade.start(FadeLevels::kFullVolume, FadeLevels::kFullVolume, FadeLevels::Direction::Out);
    m_stopDeadline = QDeadlineTimer(kFadeWaitMs);
    m_stopWatch->start();
}

void BackgroundMusic::closeAfterFade()
{
    m_stopWatch->stop();
    if (m_stopDeadline.hasExpired())
        qCDebug(lcMedia) << "the music's fade-out did not end in" << kFadeWaitMs << "ms";
    m_fade.stop();
    m_player->Close();
    m_player->setVolume(100);
}

void BackgroundMusic::NextSong()
{
    if (m_player->notifyValue() != TMPlayer::NotifyValue::Successful || m_songs.isEmpty() || stopPending())
        return;
    m_songIndex = m_songIndex + 1 >= m_songs.size() ? 0 : m_songIndex + 1;
    const QString song = m_songs.at(m_songIndex);
    m_player->setFileName(song);
    if (!m_player->Open() || !m_player->Play())
        turnOff(song);
}

void BackgroundMusic::turnOff(const QString& song)
{
    m_userSettings.bgSound = false;
    qCDebug(lcMedia) << "background music off for this run: cannot play" << song;
    Q_EMIT failed(song);
}
