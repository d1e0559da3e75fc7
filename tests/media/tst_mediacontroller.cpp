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
#include "tslideimage.h"
#include "tsound.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

// The window's status line, as far as the media use it.
class StatusOnly final : public MiscHooks
{
public:
    QStringList shown;
    void showStatus(const QString& text) override { shown.append(text); }
    void ShowArchive(const QString&) override {}
    void ExtractArchive() override {}
    void InstallFonts() override {}
    void thesaurus() override {}
    void HideFields(bool) override {}
    void ShowFieldsForScreen() override {}
    void PaintTexts(QPainter&) override {}
};

} // namespace

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

    // A 3D area whose clip cannot be opened is no area: it never turns active, so it holds no
    // pointer in its place, and the reader is told. The next "3d" tries again.
    void aVideoAreaWithoutItsClip_isNotActive_data()
    {
        QTest::addColumn<QByteArray>("clip"); // car.avi's bytes; null for no file
        QTest::newRow("no car.avi") << QByteArray();
        QTest::newRow("car.avi is no video") << QByteArray("not a video at all");
    }
    void aVideoAreaWithoutItsClip_isNotActive()
    {
        QFETCH(QByteArray, clip);
        QTemporaryDir content;
        if (!clip.isNull()) {
            QFile file(content.filePath(QStringLiteral("car.avi")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(clip);
        }
        AppContext context(StartupValues::forContentFolder(content.path()));
        SkinScript script(context.folders());
        QWidget window;
        window.resize(780, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ComponentHooks hooks;
        StatusOnly status;
        hooks.misc = &status;
        MediaWindow media;
        media.window = &window;
        media.currentScreen = [] { return 0; };
        media.picture = [&window] { return window.grab().toImage(); };
        MediaController controller(media, context, script, hooks);

        for (int round = 0; round < 2; ++round) {
            controller.setVideoActive(true);
            QVERIFY(!controller.videoActive());
            QVERIFY(!controller.videoHitTest(TMyAviPlayer::kArea.center()));
            QVERIFY(!controller.videoClickArea(TMyAviPlayer::kArea.center()));
        }
        QCOMPARE(status.shown, (QStringList(2, u"Не удалось воспроизвести файл car.avi"_qs)));
    }

    // A disc authored on Windows spells its folders and files as it likes: the script's
    // "music\song.mp3", "video\clip.avi" and "slides\" are "Music/Song.MP3", "Video/Clip.AVI"
    // and "Slides/" on disk, and every one of them plays or shows.
    void mediaPaths_matchTheDiskWithoutRegardToCase()
    {
        QTemporaryDir content;
        QVERIFY(QDir(content.path()).mkpath(QStringLiteral("Music")));
        QVERIFY(QDir(content.path()).mkpath(QStringLiteral("Video")));
        QVERIFY(QDir(content.path()).mkpath(QStringLiteral("Slides")));
        makeTone(content.filePath(QStringLiteral("Music/Song.MP3")), 4);
        makeClip(content.filePath(QStringLiteral("Video/Clip.AVI")), 2.0);
        QImage slide(40, 30, QImage::Format_RGB32);
        slide.fill(Qt::darkGreen);
        QVERIFY(slide.save(content.filePath(QStringLiteral("Slides/A.BMP")), "BMP"));

        AppContext context(StartupValues::forContentFolder(content.path()));
        context.settings.open(QStringLiteral("media paths test"));
        const QString root = context.values.programDir;
        SkinScript script(context.folders());
        script.header.bgsounddef = {root + QStringLiteral("music/song.mp3")};
        RImage area;
        area.vx = 10;
        area.vy = 10;
        area.vw = 60;
        area.vh = 50;
        area.dir = root + QStringLiteral("slides/");
        script.image = {area};
        RClip clipArea;
        clipArea.vx = 100;
        clipArea.vy = 10;
        clipArea.vw = 300;
        clipArea.vh = 200;
        script.clip = {clipArea};

        QWidget window;
        ComponentHooks hooks;
        MediaWindow media;
        media.window = &window;
        media.currentScreen = [] { return 0; };
        MediaController controller(media, context, script, hooks);

        QCOMPARE(QFileInfo(controller.slideShow()->shownFile(0)).fileName(), QStringLiteral("A.BMP"));
        controller.startMusicAtShow();
        QVERIFY(context.userSettings.bgSound);
        QVERIFY(controller.music()->player().Opened());
        controller.PlayClip(root + QStringLiteral("video/clip.avi"), QString(), 4);
        QCOMPARE(controller.clipPlayer()->player().Mode(), int(TMPlayer::Playing));
        controller.stopAtEnd();
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
