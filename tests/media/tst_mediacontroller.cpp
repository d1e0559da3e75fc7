// The media as the window's hooks reach them: the 3D area's "3d" and "2d" (and a "3d" that comes
// while the window is hidden), and what the music button and a clip do to each other.

#include "appcontext.h"
#include "backgroundmusic.h"
#include "codecinstall.h"
#include "mediacontroller.h"
#include "mediafiles.h"
#include "settingsstore.h"
#include "skinscript.h"
#include "tmplayer.h"
#include "tmyaviplayer.h"
#include "tsound.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

class TestMediaController : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_content;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<SkinScript> m_script;

    std::unique_ptr<MediaController> controller(QWidget& window, ComponentHooks& hooks)
    {
        MediaWindow media;
        media.window = &window;
        media.currentScreen = [] { return 0; };
        media.picture = [&window] { return window.grab().toImage(); };
        return std::make_unique<MediaController>(media, *m_context, *m_script, hooks);
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("VELBROOK_AUDIO_OUTPUT", "null");
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_content.isValid());
        makeClip(m_content.filePath(QStringLiteral("car.avi")), 1.0, 320, 130);
        makeClip(m_content.filePath(QStringLiteral("clip.avi")), 3.0);
        makeTone(m_content.filePath(QStringLiteral("song.mp3")), 6);
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_content.path()));
        m_context->settings.open(QStringLiteral("media controller test"));
        m_script = std::make_unique<SkinScript>(m_context->folders());
        m_script->header.bgsounddef = {m_content.filePath(QStringLiteral("song.mp3"))};
    }

    void init() { m_context->userSettings = UserSettings(); }

    void theVideoAreaByCommands()
    {
        QWidget window;
        window.resize(780, 600);
        ComponentHooks hooks;
        auto media = controller(window, hooks);
        QCOMPARE(hooks.media, media.get());

        // "2d" with no area: nothing is made.
        media->setVideoActive(false);
        QVERIFY(!media->videoExists());
        // "3d" while the window is hidden waits for it; the clip is not opened before.
        media->setVideoActive(true);
        QVERIFY(!media->videoExists());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        media->windowShown();
        QVERIFY(media->videoExists());
        QVERIFY(media->videoActive());
        QVERIFY(!media->videoHalted());
        QVERIFY(media->videoHitTest(TMyAviPlayer::kArea.center()));
        // "3d" again plays on.
        media->setVideoActive(true);
        QVERIFY(media->videoActive());
        QVERIFY(!media->videoHalted());
        // "2d" stops it; "2d" again keeps it off.
        media->setVideoActive(false);
        QVERIFY(!media->videoActive());
        QVERIFY(media->videoHalted());
        media->setVideoActive(false);
        QVERIFY(!media->videoActive());
        media->stopAtEnd();
        QVERIFY(!media->videoArea()->player());
    }

    // Nothing is installed on this system, but the start-up triggers keep their rule.
    void codecsInstalledAtStartup_data()
    {
        QTest::addColumn<QString>("codec");
        QTest::addColumn<bool>("clip");
        QTest::addColumn<int>("installed");
        QTest::newRow("both words") << "indeo5,mpegaudio" << true << 3;
        QTest::newRow("start clip off skips the video codec") << "indeo5,mpegaudio" << false << 2;
        QTest::newRow("video codec only") << "indeo5" << true << 1;
        QTest::newRow("none") << "" << true << 0;
    }
    void codecsInstalledAtStartup()
    {
        QFETCH(QString, codec);
        QFETCH(bool, clip);
        QTEST(CodecInstall::installForStartup(codec, clip), "installed");
    }

    void aClipStopsTheMusicAndTheMusicButtonStopsTheClip()
    {
        QWidget window;
        ComponentHooks hooks;
        auto media = controller(window, hooks);
        media->startMusicAtShow();
        QVERIFY(m_context->userSettings.bgSound);
        QVERIFY(media->music()->player().Opened());

        media->PlayClip(m_content.filePath(QStringLiteral("clip.avi")), QString(), 4);
        QVERIFY(!m_context->userSettings.bgSound); // off for the run, at once
        QVERIFY(!media->music()->player().Opened());
        QCOMPARE(media->clipPlayer()->player().Mode(), int(TMPlayer::Playing));

        // The music button: the clip gives way to the music.
        m_context->userSettings.bgSound = true;
        media->StartMusic();
        QVERIFY(!media->clipPlayer()->player().Opened());
        QVERIFY(media->music()->player().Opened());
        media->stopAtEnd();
        QVERIFY(!media->music()->player().Opened());
    }
};

QTEST_MAIN(TestMediaController)
#include "tst_mediacontroller.moc"
