// Background music: the fade's step table and channels, the fade worker and its end signal, the
// endless song list, and the song and position kept between runs.

#include "backgroundmusic.h"
#include "mediafiles.h"
#include "settingskeys.h"
#include "settingsstore.h"
#include "tmplayer.h"
#include "usersettings.h"
#include "volumefade.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <mutex>

namespace {

constexpr int kEventWaitMs = 15000;

} // namespace

class TestBackgroundMusic : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QStringList m_songs;
    int m_title = 0;

    // A settings store of its own for each test.
    std::unique_ptr<SettingsStore> freshSettings()
    {
        auto store = std::make_unique<SettingsStore>(QStringLiteral("music test %1").arg(++m_title));
        for (const QString& key : {SettingsKeys::BGSoundSong, SettingsKeys::BGSoundPos, SettingsKeys::BGSound})
            store->remove(key);
        return store;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("VELBROOK_AUDIO_OUTPUT", "null");
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        for (int i = 0; i < 3; ++i) {
            m_songs.append(m_dir.filePath(QStringLiteral("song%1.mp3").arg(i)));
            makeTone(m_songs.last(), 1.0, 300 + 100 * i);
        }
    }

    void fadeInTakesTheTableSteps()
    {
        FadeLevels fade = FadeLevels::start(65535, 65535, FadeLevels::Direction::In);
        QCOMPARE(fade.level, 0);
        int ticks = 1;
        while (!fade.advance())
            ++ticks;
        QCOMPARE(ticks, 2489);
    }

    void stepGrowsWithTheLevel_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("step");
        QTest::newRow("silence") << 0 << 3;
        QTest::newRow("100") << 100 << 3;
        QTest::newRow("101") << 101 << 7;
        QTest::newRow("4000") << 4000 << 7;
        QTest::newRow("4001") << 4001 << 15;
        QTest::newRow("8001") << 8001 << 25;
        QTest::newRow("32000") << 32000 << 25;
        QTest::newRow("32001") << 32001 << 50;
    }
    void stepGrowsWithTheLevel()
    {
        QFETCH(int, level);
        QFETCH(int, step);
        QCOMPARE(FadeLevels::stepFor(level), step);
    }

    void quieterChannelFollowsByTheRatio_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("leftVolume");
        QTest::addColumn<int>("rightVolume");
        QTest::newRow("equal channels together") << 0x8000 << 0x8000 << 1000 << 1000 << 1000;
        QTest::newRow("left louder, right at half") << 0x8000 << 0x4000 << 1001 << 1001 << 500;
        QTest::newRow("right louder, left at a third") << 0x3000 << 0x9000 << 900 << 300 << 900;
        QTest::newRow("a silent channel counts as 1") << 0 << 0 << 1 << 1 << 1;
        // 1.5 rounds to 2 (ties to even), 2.5 to 2 as well.
        QTest::newRow("ratio 1.5") << 0x6000 << 0x4000 << 1000 << 1000 << 500;
        QTest::newRow("ratio 2.5") << 0xA000 << 0x4000 << 1000 << 1000 << 500;
    }
    void quieterChannelFollowsByTheRatio()
    {
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, level);
        FadeLevels fade = FadeLevels::start(left, right, FadeLevels::Direction::Out);
        fade.level = level;
        QTEST(fade.leftVolume(), "leftVolume");
        QTEST(fade.rightVolume(), "rightVolume");
    }

    void fadeWorkerEndsAsItsDirectionSays()
    {
        std::mutex lock;
        QList<QPair<int, int>> volumes;
        VolumeFade fade([&](int left, int right) {
            std::lock_guard guard(lock);
            volumes.append({left, right});
        });
        fade.start(4000, 4000, FadeLevels::Direction::Out);
        QVERIFY(fade.finished().tryAcquire(1, 30000));
        fade.stop();
        QCOMPARE(volumes.first(), qMakePair(4000, 4000));
        QCOMPARE(volumes.last(), qMakePair(0, 0));
        // Auto-reset: one end, one release.
        QVERIFY(!fade.finished().tryAcquire());

        volumes.clear();
        fade.start(4000, 2000, FadeLevels::Direction::In);
        QTRY_VERIFY_WITH_TIMEOUT(!fade.isRunning(), 30000);
        QCOMPARE(volumes.first(), qMakePair(0, 0));
        QCOMPARE(volumes.last(), qMakePair(4000, 2000)); // the start volumes again
        QVERIFY(!fade.finished().tryAcquire());          // a fade-in signals nothing
    }

    void aSecondFadeStopsTheFirst()
    {
        std::atomic<int> calls{0};
        VolumeFade fade([&](int, int) { ++calls; });
        fade.start(65535, 65535, FadeLevels::Direction::Out);
        fade.start(200, 200, FadeLevels::Direction::Out);
        // Only the second one runs to its end: one release, and it came from the short fade.
        QVERIFY(fade.finished().tryAcquire(1, 30000));
        fade.stop();
        QVERIFY(!fade.finished().tryAcquire());
    }

    void songsFollowEachOtherAndWrap()
    {
        auto settings = freshSettings();
        settings->writeInt(SettingsKeys::BGSoundSong, 2);
        UserSettings user;
        BackgroundMusic music(*settings, user, m_songs);
        QVERIFY(music.StartMusic());
        QCOMPARE(music.songIndex(), 2);
        QCOMPARE(music.player().FileName(), m_songs[2]);
        // After the last song the first follows; songs after the first start at their beginning.
        QTRY_COMPARE_WITH_TIMEOUT(music.songIndex(), 0, kEventWaitMs);
        QCOMPARE(music.player().FileName(), m_songs[0]);
        QTRY_COMPARE_WITH_TIMEOUT(music.songIndex(), 1, kEventWaitMs);
        QVERIFY(user.bgSound);
        music.StopMusic(false);
    }

    void anInterruptedSongDoesNotAdvanceTheList()
    {
        auto settings = freshSettings();
        UserSettings user;
        BackgroundMusic music(*settings, user, m_songs);
        QVERIFY(music.StartMusic());
        music.StopMusic(false); // the song's notice is "aborted"
        QTest::qWait(800);
        QCOMPARE(music.songIndex(), 0);
        QVERIFY(!music.player().Opened());
    }

    void songAndPositionAreKeptAndTakenUp()
    {
        auto settings = freshSettings();
        settings->writeInt(SettingsKeys::BGSoundSong, 1);
        settings->writeInt(SettingsKeys::BGSoundPos, 300);
        UserSettings user;
        {
            BackgroundMusic music(*settings, user, m_songs);
            QVERIFY(music.StartMusic());
            QCOMPARE(music.songIndex(), 1);
            music.player().PauseOnly();
            QVERIFY(music.player().Position() >= 300);
            QVERIFY(music.player().setPosition(350));
            music.StopMusic(false);
        }
        QCOMPARE(settings->readInt(SettingsKeys::BGSoundSong), 1);
        // Where the player stood, to within its seek's precision in a compressed song.
        const int kept = settings->readInt(SettingsKeys::BGSoundPos).value_or(-1);
        QVERIFY2(qAbs(kept - 350) <= 40, qPrintable(QString::number(kept)));
        // The next run takes them up.
        BackgroundMusic next(*settings, user, m_songs);
        QVERIFY(next.StartMusic());
        next.player().PauseOnly();
        QCOMPARE(next.songIndex(), 1);
        QVERIFY(next.player().Position() >= kept - 40);
        next.StopMusic(false);
    }

    void aKeptSongBeyondTheListPlaysTheFirst()
    {
        auto settings = freshSettings();
        settings->writeInt(SettingsKeys::BGSoundSong, 7);
        settings->writeInt(SettingsKeys::BGSoundPos, 300);
        UserSettings user;
        BackgroundMusic music(*settings, user, m_songs.mid(0, 2));
        QVERIFY(music.StartMusic());
        music.player().PauseOnly();
        QCOMPARE(music.songIndex(), 0);
        QVERIFY(music.player().Position() < 300);
        music.StopMusic(false);
        QCOMPARE(settings->readInt(SettingsKeys::BGSoundSong), 0);
    }

    void fadedStopEndsSilentAndClosed()
    {
        auto settings = freshSettings();
        UserSettings user;
        makeTone(m_dir.filePath(QStringLiteral("long.mp3")), 8);
        BackgroundMusic music(*settings, user, {m_dir.filePath(QStringLiteral("long.mp3"))});
        QVERIFY(music.StartMusic());
        music.StopMusic(true);
        QVERIFY(!music.fading());
        QVERIFY(!music.player().Opened());
        QCOMPARE(settings->readInt(SettingsKeys::BGSoundSong), 0);
        QVERIFY(settings->readInt(SettingsKeys::BGSoundPos).has_value());
    }

    void theMusicButtonFadesOutWithoutWaiting()
    {
        const QString longSong = m_dir.filePath(QStringLiteral("long.mp3"));
        makeTone(longSong, 8);
        auto settings = freshSettings();
        UserSettings user;
        BackgroundMusic music(*settings, user, {longSong});
        QVERIFY(music.StartMusic());
        music.fadeOutAndStop();
        // Back at once, still playing while it fades; closed when the fade has ended.
        QVERIFY(music.stopPending());
        QVERIFY(music.player().Opened());
        QTRY_VERIFY_WITH_TIMEOUT(!music.player().Opened(), 20000);
        QVERIFY(!music.stopPending());
        QVERIFY(!music.fading());

        // Music started again during the fade-out takes the player over: nothing closes it.
        QVERIFY(music.StartMusic());
        music.fadeOutAndStop();
        QVERIFY(music.StartMusic());
        QVERIFY(!music.stopPending());
        QTest::qWait(300);
        QVERIFY(music.player().Opened());

        // The end of the program during a fade-out waits for it and closes.
        music.fadeOutAndStop();
        music.StopMusic(true);
        QVERIFY(!music.stopPending());
        QVERIFY(!music.player().Opened());
    }

    void aSongThatCannotPlayTurnsMusicOffForTheRun_data()
    {
        QTest::addColumn<QStringList>("songs");
        QTest::newRow("missing song") << QStringList{QStringLiteral("/nowhere/song.mp3")};
        QTest::newRow("no songs") << QStringList();
    }
    void aSongThatCannotPlayTurnsMusicOffForTheRun()
    {
        QFETCH(QStringList, songs);
        auto settings = freshSettings();
        settings->writeBool(SettingsKeys::BGSound, true);
        settings->writeInt(SettingsKeys::BGSoundSong, 0);
        settings->writeInt(SettingsKeys::BGSoundPos, 1234);
        UserSettings user;
        BackgroundMusic music(*settings, user, songs);
        QSignalSpy failed(&music, &BackgroundMusic::failed);
        QVERIFY(!music.StartMusic());
        QVERIFY(!user.bgSound);
        QCOMPARE(failed.size(), 1);
        // For this run only: the setting stays as it was.
        QCOMPARE(settings->readBool(SettingsKeys::BGSound), true);
        // Stopping what never started neither waits for a fade nor loses the place kept before.
        music.StopMusic(true);
        QVERIFY(!music.fading());
        QCOMPARE(settings->readInt(SettingsKeys::BGSoundPos), 1234);
    }
};

QTEST_MAIN(TestBackgroundMusic)
#include "tst_backgroundmusic.moc"
