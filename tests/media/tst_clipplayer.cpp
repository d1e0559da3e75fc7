// The clip player: clip areas per screen, what a clip does to the music and what happens when it
// ends, files that cannot be played, the video in its area, and the ten-second steps.

#include "mediafiles.h"
#include "testfiles.h"
#include "tmplayer.h"
#include "tsound.h"
#include "videosurface.h"

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

constexpr int kEventWaitMs = 15000;

// The rest of the program as the clip player sees it, recording what it is asked.
struct Fakes
{
    int screen = 0;
    bool music = false;
    int musicStops = 0;
    int musicResumes = 0;
    int driverInstalls = 0;
    QList<QPair<int, QString>> pages;
    QStringList statuses;

    ClipServices services()
    {
        ClipServices s;
        s.currentScreen = [this] { return screen; };
        s.showPage = [this](int pane, const QString& page) { pages.append({pane, page}); };
        s.musicOn = [this] { return music; };
        s.stopMusicForClip = [this] {
            ++musicStops;
            music = false;
        };
        s.resumeMusic = [this] {
            ++musicResumes;
            music = true;
        };
        s.installMpegDriver = [this] { ++driverInstalls; };
        s.showStatus = [this](const QString& text) { statuses.append(text); };
        return s;
    }
};

RClip clipArea(int screen, int pane, QRect r)
{
    RClip c;
    c.vx = r.left();
    c.vy = r.top();
    c.vw = r.right() + 1;
    c.vh = r.bottom() + 1;
    c.screen = screen;
    c.html = pane;
    c.bgcolor = 0x202020;
    return c;
}

} // namespace

class TestClipPlayer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_clip;  // 0.6 s video
    QString m_sound; // 1.5 s sound
    QString m_long;  // 25 s sound, uncompressed so that seeks are exact

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("VELBROOK_AUDIO_OUTPUT", "null");
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
        m_sound = m_dir.filePath(QStringLiteral("drop.wav"));
        m_long = m_dir.filePath(QStringLiteral("long.wav"));
        makeClip(m_clip, 0.6);
        makeTone(m_sound, 1.5);
        makeTone(m_long, 25);
        writeTestFile(m_dir.filePath(QStringLiteral("bad.avi")), "not a clip");
    }

    void areasShowOnTheirScreen()
    {
        QWidget window;
        window.resize(800, 600);
        window.show();
        Fakes fakes;
        TSound sound(&window, {clipArea(0, 2, {10, 10, 100, 80}), clipArea(1, 3, {200, 10, 100, 80})}, fakes.services(),
                     {});
        const QList<QWidget*> areas = sound.areas();
        QCOMPARE(areas[0]->geometry(), QRect(10, 10, 100, 80));
        QVERIFY(areas[0]->isVisible());
        QVERIFY(!areas[1]->isVisible());
        fakes.screen = 1;
        sound.ShowClipAreas();
        QVERIFY(!areas[0]->isVisible());
        QVERIFY(areas[1]->isVisible());
        // The same screen again keeps its areas.
        sound.ShowClipAreas();
        QVERIFY(areas[1]->isVisible());
    }

    void whatAClipDoesToTheMusicAndAtItsEnd_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("music");
        QTest::addColumn<int>("endAction");
        QTest::addColumn<bool>("openAfterEnd");
        QTest::addColumn<int>("resumes");
        QTest::newRow("clip command, music on: closed, music stays off") << 4 << true << 4 << false << 0;
        QTest::newRow("dropped sound, music on: music back at the end") << 3 << true << 5 << true << 1;
        QTest::newRow("dropped sound, music off: closed at the end") << 3 << false << 4 << false << 0;
        QTest::newRow("play with nothing after") << 0 << false << 0 << true << 0;
    }
    void whatAClipDoesToTheMusicAndAtItsEnd()
    {
        QFETCH(int, action);
        QFETCH(bool, music);
        QWidget window;
        Fakes fakes;
        fakes.music = music;
        TSound sound(&window, {}, fakes.services(), {});
        sound.PlayClip(m_sound, QString(), action);
        QCOMPARE(fakes.musicStops, music ? 1 : 0); // at once, not at the end
        QTEST(sound.endAction(), "endAction");
        QCOMPARE(sound.player().Mode(), int(TMPlayer::Playing));
        QTRY_VERIFY_WITH_TIMEOUT(sound.player().Mode() != TMPlayer::Playing, kEventWaitMs);
        QTest::qWait(50);
        QTEST(sound.player().Opened(), "openAfterEnd");
        QTEST(fakes.musicResumes, "resumes");
    }

    void aSecondDropKeepsTheRunningEndAction()
    {
        QWidget window;
        Fakes fakes;
        fakes.music = true;
        TSound sound(&window, {}, fakes.services(), {});
        sound.PlayClip(m_sound, QString(), 3);
        QCOMPARE(sound.endAction(), 5);
        sound.PlayClip(m_sound, QString(), 3); // the music is off by now, yet the end brings it back
        QCOMPARE(sound.endAction(), 5);
        QTRY_COMPARE_WITH_TIMEOUT(fakes.musicResumes, 1, kEventWaitMs);
    }

    void filesThatCannotPlay_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << "missing.avi" << TMPlayer::kFileNotFound;
        QTest::newRow("not a clip") << "bad.avi" << TMPlayer::kInvalidFile;
    }
    void filesThatCannotPlay()
    {
        QFETCH(QString, name);
        QWidget window;
        Fakes fakes;
        TSound sound(&window, {clipArea(0, 2, {0, 0, 100, 100})}, fakes.services(), {});
        sound.PlayClip(m_dir.filePath(name), QStringLiteral("page.htm"), 4);
        QTEST(sound.player().Error(), "error");
        // A fault of the file never installs a driver; the reader is told.
        QCOMPARE(fakes.driverInstalls, 0);
        QCOMPARE(fakes.statuses.size(), 1);
        QVERIFY(fakes.statuses.first().contains(name));
    }

    void playWithoutAFileOnlyStops()
    {
        QWidget window;
        Fakes fakes;
        fakes.music = true;
        TSound sound(&window, {}, fakes.services(), {});
        sound.PlayClip(m_long, QString(), 4);
        sound.PlayClip(QString(), QString(), 0);
        QVERIFY(!sound.player().Opened());
        QCOMPARE(fakes.musicStops, 1);
        QVERIFY(fakes.statuses.isEmpty());
    }

    void aClipShowsMovingPicturesInTheAreaOfTheScreen()
    {
        QWidget window;
        window.resize(800, 600);
        window.show();
        Fakes fakes;
        fakes.screen = 1;
        TSound sound(&window, {clipArea(0, 2, {10, 10, 320, 240}), clipArea(1, 3, {400, 100, 320, 240})},
                     fakes.services(), {});
        // A name that ends in ".WAV" in capitals is not taken for a sound.
        const QString shouting = m_dir.filePath(QStringLiteral("CLIP.WAV"));
        QFile::copy(m_clip, shouting);
        sound.PlayClip(shouting, QStringLiteral("glava2.htm"), 4);
        QCOMPARE(fakes.pages, (QList<QPair<int, QString>>{{3, QStringLiteral("glava2.htm")}}));
        VideoSurface* surface = sound.player().surface();
        QVERIFY(surface);
        QCOMPARE(surface->parentWidget(), sound.areas()[1]);
        // Filled to the area's size with the clip's proportions.
        QCOMPARE(surface->geometry(), QRect(0, 0, 320, 240));
        QTRY_VERIFY_WITH_TIMEOUT(!surface->frame().isNull(), kEventWaitMs);
        const QImage first = surface->picture();
        QTRY_VERIFY_WITH_TIMEOUT(surface->picture() != first, kEventWaitMs);
    }

    void stepsMoveTenSecondsWithinTheClip()
    {
        QWidget window;
        Fakes fakes;
        TSound sound(&window, {}, fakes.services(), {});
        sound.StepForward(); // nothing open: dropped
        sound.PlayClip(m_long, QString(), 0);
        TMPlayer& player = sound.player();
        player.PauseOnly();
        player.setPosition(2000);
        sound.StepForward();
        QCOMPARE(player.Mode(), int(TMPlayer::Playing));
        player.PauseOnly();
        // The player may report a position up to its audio buffer (a fifth of a second) behind.
        QVERIFY(player.Position() >= 11700 && player.Position() < 13000);
        player.setPosition(20000);
        sound.StepForward(); // beyond the end: to the end
        QTRY_COMPARE_WITH_TIMEOUT(player.Mode(), int(TMPlayer::Stopped), kEventWaitMs);
        QCOMPARE(player.Position(), player.Length());
        player.setPosition(15000);
        sound.StepBack();
        player.PauseOnly();
        QVERIFY2(player.Position() >= 4700 && player.Position() < 6000, qPrintable(QString::number(player.Position())));
        player.setPosition(8000);
        sound.StepBack(); // less than ten seconds in: to the start
        player.PauseOnly();
        QVERIFY(player.Position() < 1000);
    }
};

QTEST_MAIN(TestClipPlayer)
#include "tst_clipplayer.moc"
