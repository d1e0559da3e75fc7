// The start clip (a missing clip, Esc, a clip played to its end) and the 3D video area (loop,
// freeze on a click, play on, resume only when the reader did not pause it).

#include "mediafiles.h"
#include "tmplayer.h"
#include "tmyaviplayer.h"
#include "tstartclip.h"
#include "videosurface.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

constexpr int kEventWaitMs = 15000;

} // namespace

class TestVideo : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_clip;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("VELBROOK_AUDIO_OUTPUT", "null");
        QVERIFY(m_dir.isValid());
        m_clip = m_dir.filePath(QStringLiteral("clip.avi"));
        makeClip(m_clip, 0.8, 160, 120);
    }

    void aMissingStartClipFinishesWithoutShowing()
    {
        int installs = 0;
        TStartClip clip(m_dir.filePath(QStringLiteral("rolic.avi")), false, [&installs] { ++installs; });
        QSignalSpy finished(&clip, &TStartClip::finished);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kEventWaitMs);
        QCOMPARE(clip.player().Error(), TMPlayer::kFileNotFound);
        QCOMPARE(installs, 0);
        QVERIFY(!clip.isVisible());
        QCOMPARE(clip.size(), QSize(0, 0));
    }

    void startClipPlaysToItsEnd_data()
    {
        QTest::addColumn<bool>("fullScreen");
        QTest::newRow("framed") << false;
        QTest::newRow("full screen") << true;
    }
    void startClipPlaysToItsEnd()
    {
        QFETCH(bool, fullScreen);
        TStartClip clip(m_clip, fullScreen, {});
        QSignalSpy finished(&clip, &TStartClip::finished);
        QTRY_VERIFY_WITH_TIMEOUT(clip.isVisible(), kEventWaitMs);
        const QRect video = clip.player().DisplayRect();
        QCOMPARE(video.size(), QSize(160, 120));
        if (fullScreen) {
            QCOMPARE(clip.pos(), QPoint(0, 0));
            QCOMPARE(video.center(), clip.rect().center());
        } else {
            QCOMPARE(clip.size(), QSize(180, 140)); // the video in a frame of 10 all round
            QCOMPARE(video.topLeft(), QPoint(10, 10));
        }
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, kEventWaitMs);
        QVERIFY(!clip.isVisible());
        QCOMPARE(clip.retryCount(), 0);
    }

    // A clip so short that it has ended before the first look never counts as playing: it is
    // tried ten times, then the start goes on without it.
    void aClipNeverSeenPlayingIsRetriedTenTimes()
    {
        const QString blink = m_dir.filePath(QStringLiteral("blink.avi"));
        makeClip(blink, 0.12, 160, 120);
        TStartClip clip(blink, false, {});
        QSignalSpy finished(&clip, &TStartClip::finished);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 30000);
        QCOMPARE(clip.retryCount(), TStartClip::kMaxRetries);
        QVERIFY(!clip.isVisible());
    }

    void escEndsTheStartClip()
    {
        TStartClip clip(m_clip, false, {});
        QSignalSpy finished(&clip, &TStartClip::finished);
        QTRY_VERIFY_WITH_TIMEOUT(clip.isVisible(), kEventWaitMs);
        QTest::keyClick(&clip, Qt::Key_Escape);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!clip.isVisible());
        QVERIFY(!clip.player().Opened());
    }

    void videoAreaLoopsFreezesAndPlaysOn()
    {
        QWidget window;
        window.resize(400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QImage backdrop(200, 150, QImage::Format_RGB32);
        backdrop.fill(Qt::darkBlue);
        TMyAviPlayer area;
        const QRect rect(20, 30, 200, 150);
        QVERIFY(area.Setup(&window, QImage(), backdrop, rect, m_clip));
        QVERIFY(!area.Active());
        area.SetActive(true);
        QVERIFY(area.Active());
        QVERIFY(!area.IsHalted());
        VideoSurface* surface = area.surface();
        QVERIFY(surface && surface->isVisible());
        QCOMPARE(surface->geometry(), rect);
        // The clip is 0.8 s long: it is still playing well after that, from the start again.
        QSignalSpy notices(area.player(), &TMPlayer::notify);
        QTRY_VERIFY_WITH_TIMEOUT(notices.size() >= 2, kEventWaitMs);
        QVERIFY(!area.IsHalted());

        // A click outside does nothing; inside it freezes on the frame shown.
        QVERIFY(!area.ClickArea(QPoint(5, 5)));
        QVERIFY(area.ClickArea(QPoint(100, 100)));
        QVERIFY(area.IsHalted());
        QVERIFY(area.UserPaused());
        QVERIFY(!area.Snapshot().isNull());
        QCOMPARE(surface->still(), area.Snapshot());
        // The frozen frame is what paints after a screen change.
        QImage canvas(400, 300, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        area.PaintFrozen(painter);
        painter.end();
        QCOMPARE(canvas.copy(rect), area.Snapshot().convertToFormat(QImage::Format_RGB32));
        // The reader paused it: a return to the start screen does not play on.
        area.ResumeUnlessUserPaused();
        QVERIFY(area.IsHalted());
        // A second click plays on.
        QVERIFY(area.ClickArea(QPoint(100, 100)));
        QVERIFY(!area.IsHalted());
        QVERIFY(!area.UserPaused());
        // Frozen by a screen change, not by the reader: the return plays on.
        area.Freeze();
        QVERIFY(area.IsHalted());
        area.ResumeUnlessUserPaused();
        QVERIFY(!area.IsHalted());

        // Off: halted, the surface gone, the window's own picture back.
        area.SetActive(false);
        QVERIFY(!area.Active());
        QVERIFY(area.IsHalted());
        QVERIFY(!surface->isVisible());
        area.ReleasePlayer();
        QVERIFY(!area.player());
    }
};

QTEST_MAIN(TestVideo)
#include "tst_video.moc"
