// The media device: opening errors as media-control codes, the notices of the two command
// families and the one-shot override, modes, auto-rewind, video frames and the display rectangle.

#include "mediafiles.h"
#include "testfiles.h"
#include "tmplayer.h"
#include "videosurface.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using NV = TMPlayer::NotifyValue;
Q_DECLARE_METATYPE(TMPlayer::NotifyValue)

namespace {

constexpr int kEventWaitMs = 15000;

// Every notice a player reports, with its value at the time.
struct NoticeLog
{
    explicit NoticeLog(TMPlayer& player)
    {
        QObject::connect(&player, &TMPlayer::notify, &player, [this, &player] { values.append(player.notifyValue()); });
    }
    QList<NV> values;
};

} // namespace

class TestTMPlayer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_tone; // 1.5 s of sound
    QString m_clip; // 0.6 s of pictures and sound
    QString file(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("VELBROOK_AUDIO_OUTPUT", "null");
        QVERIFY(m_dir.isValid());
        m_tone = file("tone.wav");
        m_clip = file("clip.avi");
        makeTone(m_tone, 1.5);
        makeClip(m_clip, 0.6);
        writeTestFile(file("text.avi"), "this is not a clip, only words\n");
        writeTestFile(file("empty.mp3"));
        QVERIFY(TMPlayer().isAvailable());
    }

    void openErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::newRow("missing file") << "missing.avi" << TMPlayer::kFileNotFound;
        QTest::newRow("no name") << "" << TMPlayer::kFileNotFound;
        QTest::newRow("a folder") << "." << TMPlayer::kFileNotFound;
        QTest::newRow("text named as a clip") << "text.avi" << TMPlayer::kInvalidFile;
        QTest::newRow("empty file") << "empty.mp3" << TMPlayer::kInvalidFile;
    }
    void openErrors()
    {
        QFETCH(QString, name);
        QFETCH(int, error);
        TMPlayer player;
        player.setFileName(name.isEmpty() ? QString() : m_dir.filePath(name));
        QVERIFY(!player.Open());
        QCOMPARE(player.Error(), error);
        QVERIFY(!player.Opened());
        QCOMPARE(player.Mode(), int(TMPlayer::NotReady));
        // Commands that need a device refuse without one.
        QVERIFY(!player.Play());
        QVERIFY(!player.PauseOnly());
    }

    void unreadableFileIsAReadError()
    {
        if (geteuid() == 0)
            QSKIP("root reads every file");
        const QString locked = file("locked.wav");
        QFile::copy(m_tone, locked);
        QFile::setPermissions(locked, QFileDevice::Permissions());
        TMPlayer player;
        player.setFileName(locked);
        QVERIFY(!player.Open());
        QCOMPARE(player.Error(), TMPlayer::kFileRead);
    }

    void playToEndGivesOneSuccessfulNotice()
    {
        TMPlayer player;
        NoticeLog log(player);
        player.setFileName(m_tone);
        QVERIFY(player.Open());
        QCOMPARE(player.Mode(), int(TMPlayer::Stopped));
        QVERIFY(player.Length() > 1400);
        QVERIFY(player.Play());
        QCOMPARE(player.Mode(), int(TMPlayer::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(log.values.size(), 1, kEventWaitMs);
        QCOMPARE(log.values.first(), NV::Successful);
        QCOMPARE(player.Mode(), int(TMPlayer::Stopped));
        QCOMPARE(player.Position(), player.Length());
    }

    void interruptedPlayReportsHowItEnded_data()
    {
        QTest::addColumn<QString>("interruption");
        QTest::addColumn<QList<NV>>("notices");
        QTest::newRow("close aborts") << "close" << QList<NV>{NV::Aborted};
        QTest::newRow("stop aborts") << "stop" << QList<NV>{NV::Aborted};
        QTest::newRow("a second play supersedes") << "play" << QList<NV>{NV::Superseded, NV::Successful};
    }
    void interruptedPlayReportsHowItEnded()
    {
        QFETCH(QString, interruption);
        QFETCH(QList<NV>, notices);
        TMPlayer player;
        NoticeLog log(player);
        player.setFileName(m_tone);
        QVERIFY(player.Open());
        QVERIFY(player.Play());
        if (interruption == QLatin1String("close"))
            player.Close();
        else if (interruption == QLatin1String("stop"))
            player.Stop();
        else
            player.Play();
        // The notice of a closed device still arrives, later, on this thread.
        QVERIFY(log.values.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(log.values, notices, kEventWaitMs);
        QTest::qWait(100);
        QCOMPARE(log.values, notices);
    }

    void overrideOffSilencesTheNextPlayOnly()
    {
        TMPlayer player;
        NoticeLog log(player);
        player.setFileName(m_tone);
        QVERIFY(player.Open());
        QVERIFY(player.Play());
        // "pause": Notify(off) then Pause: no notice of its own; the play it cut is superseded.
        player.Notify(false);
        QVERIFY(player.Pause());
        QCOMPARE(player.Mode(), int(TMPlayer::Paused));
        QTRY_COMPARE_WITH_TIMEOUT(log.values, QList<NV>{NV::Superseded}, kEventWaitMs);
        // The same override before a resume: the resumed playback ends without a notice.
        player.Notify(false);
        QVERIFY(player.Pause());
        QCOMPARE(player.Mode(), int(TMPlayer::Playing));
        QTRY_COMPARE_WITH_TIMEOUT(player.Mode(), int(TMPlayer::Stopped), kEventWaitMs);
        QTest::qWait(100);
        QCOMPARE(log.values, QList<NV>{NV::Superseded});
        // The override was used up: the next play reports its end again.
        QVERIFY(player.Rewind());
        QVERIFY(player.Play());
        QTRY_COMPARE_WITH_TIMEOUT(log.values.size(), 2, kEventWaitMs);
        QCOMPARE(log.values.last(), NV::Successful);
    }

    void waitFamilyReportsOnlyWhenAsked()
    {
        TMPlayer player;
        NoticeLog log(player);
        player.setFileName(m_tone);
        QVERIFY(player.Open());
        QVERIFY(player.Stop());
        player.Notify(true);
        QVERIFY(player.setPosition(100));
        QTRY_COMPARE_WITH_TIMEOUT(log.values, QList<NV>{NV::Successful}, kEventWaitMs);
        QCOMPARE(player.Position(), 100);
    }

    void pauseActsByMode()
    {
        TMPlayer player;
        player.setFileName(m_tone);
        QVERIFY(player.Open());
        QVERIFY(player.Pause()); // stopped: nothing happens
        QCOMPARE(player.Mode(), int(TMPlayer::Stopped));
        // A resume of a device that is not paused plays it.
        QVERIFY(player.Resume());
        QCOMPARE(player.Mode(), int(TMPlayer::Playing));
        QVERIFY(player.PauseOnly());
        QCOMPARE(player.Mode(), int(TMPlayer::Paused));
        QVERIFY(player.Pause());
        QCOMPARE(player.Mode(), int(TMPlayer::Playing));
    }

    void playAtTheEnd_data()
    {
        QTest::addColumn<bool>("autoRewind");
        QTest::newRow("auto-rewind plays again from the start") << true;
        QTest::newRow("without it the play ends at once") << false;
    }
    void playAtTheEnd()
    {
        QFETCH(bool, autoRewind);
        TMPlayer player;
        NoticeLog log(player);
        player.setAutoRewind(autoRewind);
        player.setFileName(m_tone);
        QVERIFY(player.Open());
        QVERIFY(player.setPosition(player.Length()));
        QCOMPARE(player.Position(), player.Length());
        QVERIFY(player.Play());
        if (autoRewind) {
            QVERIFY(player.Position() < player.Length());
            QCOMPARE(player.Mode(), int(TMPlayer::Playing));
        }
        QTRY_COMPARE_WITH_TIMEOUT(log.values, QList<NV>{NV::Successful}, kEventWaitMs);
        QCOMPARE(player.Mode(), int(TMPlayer::Stopped));
    }

    void videoIsDrawnInItsDisplay()
    {
        QWidget display;
        display.resize(400, 300);
        TMPlayer player;
        player.setDisplay(&display); // chosen before opening, applied by Open
        player.setFileName(m_clip);
        QVERIFY(player.Open());
        QVERIFY(player.HasVideo());
        QCOMPARE(player.NaturalSize(), QSize(160, 120));
        QCOMPARE(player.DisplayRect(), QRect(0, 0, 160, 120));
        player.setDisplayRect(QRect(30, 20, 0, 0)); // zero size: the natural one
        QCOMPARE(player.DisplayRect(), QRect(30, 20, 160, 120));
        QVERIFY(player.surface());
        QCOMPARE(player.surface()->parentWidget(), &display);
        QCOMPARE(player.surface()->geometry(), QRect(30, 20, 160, 120));

        QSignalSpy frames(&player, &TMPlayer::frameReady);
        QVERIFY(player.Play());
        QTRY_VERIFY_WITH_TIMEOUT(frames.size() >= 3, kEventWaitMs);
        const QImage first = player.currentFrame();
        QCOMPARE(first.size(), QSize(160, 120));
        // The test pictures move: a later frame differs from an earlier one.
        QTRY_VERIFY_WITH_TIMEOUT(player.currentFrame() != first, kEventWaitMs);
    }

    void soundHasNoVideo()
    {
        QWidget display;
        TMPlayer player;
        player.setDisplay(&display);
        player.setFileName(m_tone);
        QVERIFY(player.Open());
        QVERIFY(!player.HasVideo());
        QVERIFY(!player.surface());
        QCOMPARE(player.DisplayRect(), QRect());
    }
};

QTEST_MAIN(TestTMPlayer)
#include "tst_tmplayer.moc"
