#include "alphablend.h"
#include "effbtncar.h"
#include "effcar.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

namespace {

constexpr int kWait = 10000; // generous bound for a fade to get somewhere

QImage uniform(QColor color)
{
    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// A picture whose bytes all differ, so a mix of two of them shows any byte mixed wrongly.
QImage gradient(int seed)
{
    QImage image(16, 12, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((seed + 13 * x) % 256, (seed * 3 + 17 * y) % 256, (255 - seed + x * y) % 256));
    }
    return image;
}

// Waits in a running event loop, so the fade's ticks come as fast as they can.
bool waitForSignals(QSignalSpy& spy, int count)
{
    while (spy.count() < count) {
        if (!spy.wait(kWait))
            return false;
    }
    return true;
}

// Lets the fade tick until it reaches target, looking a millisecond at a time: a coarser look
// (a busy machine's) can miss the short span before the fade runs out at 255.
bool tickUntil(const TEffBtnCar& effect, int target)
{
    QDeadlineTimer deadline(kWait);
    while (effect.isRunning() && effect.level() < target && !deadline.hasExpired())
        QTest::qWait(1);
    return effect.level() >= target;
}

// Same size and format, and no byte more than one level apart.
bool withinOneLevel(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    const qsizetype rowBytes = qsizetype(a.width()) * a.depth() / 8;
    for (int y = 0; y < a.height(); ++y) {
        for (qsizetype i = 0; i < rowBytes; ++i) {
            if (std::abs(int(a.constScanLine(y)[i]) - int(b.constScanLine(y)[i])) > 1)
                return false;
        }
    }
    return true;
}

// A window with one cross-fading button; its paint handler draws the resting background and
// then the effect, and keeps every frame it showed while the fade ran.
class ButtonWindow : public QWidget
{
public:
    struct Shown
    {
        int level;
        QImage frame;
    };

    ButtonWindow() : effect(new TEffBtnCar(this, 0)) { resize(80, 60); }

    TEffBtnCar* effect;
    QList<Shown> shown;

    // Frames of ticks, one per level (a paint of another cause shows the same frame again).
    QList<Shown> tickedFrames() const
    {
        QList<Shown> frames;
        for (const Shown& s : shown) {
            if (s.level > effect->alphaOffset() && (frames.isEmpty() || frames.last().level != s.level))
                frames.append(s);
        }
        return frames;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::darkGray);
        if (effect->isRunning())
            shown.append({effect->level(), effect->currentFrame()});
        effect->paint(painter);
    }
};

// A window that fades in; it has a field to hide during the fade and one that is hidden anyway.
class FadingWindow : public QWidget
{
public:
    FadingWindow() : fade(new TEffCar(this)), field(new QLabel(QStringLiteral("find"), this))
    {
        setWindowFlag(Qt::FramelessWindowHint);
        setFixedSize(64, 48);
        field->setGeometry(4, 4, 30, 12);
        field->setAutoFillBackground(true);
        hiddenField = new QLabel(QStringLiteral("hidden"), this);
        hiddenField->hide();
        fade->setHiddenDuringFade({field, hiddenField});
    }

    TEffCar* fade;
    QLabel* field;
    QLabel* hiddenField;
    int fadePaints = 0;
    bool fieldVisibleDuringFade = false;
    QImage lastFrame;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (fade->isFadeRunning()) {
            ++fadePaints;
            fieldVisibleDuringFade = fieldVisibleDuringFade || field->isVisible();
            lastFrame = fade->currentFrame();
            fade->PaintFadeFrame(painter);
            return;
        }
        painter.fillRect(rect(), QColor(200, 100, 50));
    }
};

} // namespace

class TestFades : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void crossFadeEndsOnItsToPicture_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("ticks");
        QTest::newRow("step 1") << 1 << 256;
        QTest::newRow("step 3") << 3 << 86;
        QTest::newRow("step 4") << 4 << 64;
    }

    void crossFadeEndsOnItsToPicture()
    {
        QFETCH(int, step);
        QFETCH(int, ticks);

        ButtonWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage from = uniform(QColor(40, 90, 250));
        const QImage to = uniform(QColor(200, 10, 250));
        QSignalSpy finished(window.effect, &TEffBtnCar::finished);
        window.effect->setStep(step);
        window.effect->StartCrossFade(from, to, QPoint(10, 5));

        // Before its first tick the effect shows the from picture at its position.
        QImage canvas(80, 60, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        {
            QPainter painter(&canvas);
            window.effect->paint(painter);
        }
        QCOMPARE(canvas.pixelColor(10, 5), QColor(40, 90, 250));
        QCOMPARE(canvas.pixelColor(9, 5), QColor(Qt::white));
        QCOMPARE(canvas.pixelColor(26, 17), QColor(Qt::white));

        QVERIFY(waitForSignals(finished, 1));
        QVERIFY(!window.effect->isRunning());
        QCOMPARE(window.effect->alphaOffset(), 0);
        QVERIFY(window.effect->currentFrame().isNull());

        // One frame per tick, each repainted as it came: step, 2 * step, ... and the last one.
        const QList<ButtonWindow::Shown> frames = window.tickedFrames();
        QCOMPARE(frames.size(), ticks);
        for (int i = 0; i < frames.size(); ++i)
            QCOMPARE(frames[i].level, (i + 1) * step);
        QImage expected;
        AlphaBlend(expected, from, to, step);
        QCOMPARE(frames.first().frame, expected);
        QVERIFY(withinOneLevel(frames.last().frame, to));

        // At rest the effect draws nothing.
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        window.effect->paint(painter);
        QCOMPARE(canvas.pixelColor(10, 5), QColor(Qt::white));
    }

    void reversedFadeContinuesFromTheLevelReached()
    {
        ButtonWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage a = gradient(20);
        const QImage b = gradient(170);
        QSignalSpy finished(window.effect, &TEffBtnCar::finished);
        window.effect->StartCrossFade(a, b, QPoint(0, 0));

        // Reverse twice: the second reversal starts from a fade that had an offset itself.
        QImage from = a;
        QImage to = b;
        for (int reversal = 0; reversal < 2; ++reversal) {
            const int target = window.effect->alphaOffset() + 40;
            QVERIFY(tickUntil(*window.effect, target));
            const int reached = window.effect->level();
            const QImage lastFrame = window.effect->currentFrame();
            QCOMPARE(window.shown.last().frame, lastFrame);

            std::swap(from, to);
            window.shown.clear();
            window.effect->StartCrossFade(from, to, QPoint(0, 0));
            QVERIFY(window.effect->isRunning());
            QCOMPARE(window.effect->alphaOffset(), 255 - reached);
            QCOMPARE(window.effect->currentFrame(), lastFrame);

            QTRY_VERIFY_WITH_TIMEOUT(!window.tickedFrames().isEmpty(), kWait);
            const ButtonWindow::Shown first = window.tickedFrames().first();
            QCOMPARE(first.level, 256 - reached);
            QVERIFY(withinOneLevel(first.frame, lastFrame));
        }

        QVERIFY(waitForSignals(finished, 1));
        QVERIFY(withinOneLevel(window.shown.last().frame, to));
        QCOMPARE(window.effect->alphaOffset(), 0);
    }

    void reversalBeforeTheFirstTickEndsAtOnce()
    {
        ButtonWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage a = gradient(20);
        const QImage b = gradient(170);
        QSignalSpy finished(window.effect, &TEffBtnCar::finished);
        window.effect->setStep(4);
        window.effect->StartCrossFade(a, b, QPoint(0, 0));
        window.effect->StartCrossFade(b, a, QPoint(0, 0));
        QCOMPARE(window.effect->alphaOffset(), 255);

        QVERIFY(waitForSignals(finished, 1));
        const QList<ButtonWindow::Shown> frames = window.tickedFrames();
        QCOMPARE(frames.size(), 1);
        QVERIFY(withinOneLevel(frames.first().frame, a));
    }

    void stoppedFadeEndsAtOnceWithoutFinishing()
    {
        ButtonWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy finished(window.effect, &TEffBtnCar::finished);
        window.effect->StartCrossFade(gradient(20), gradient(170), QPoint(0, 0));
        QVERIFY(tickUntil(*window.effect, 10));
        window.effect->StartCrossFade(gradient(170), gradient(20), QPoint(0, 0));
        QVERIFY(window.effect->alphaOffset() > 0);

        window.effect->StopCrossFade();
        QVERIFY(!window.effect->isRunning());
        QCOMPARE(window.effect->alphaOffset(), 0);
        QVERIFY(window.effect->currentFrame().isNull());
        window.shown.clear();
        QTest::qWait(100);
        QCOMPARE(finished.count(), 0);
        QVERIFY(window.shown.isEmpty());

        // The next fade starts afresh.
        window.effect->StartCrossFade(gradient(20), gradient(170), QPoint(0, 0));
        QCOMPARE(window.effect->alphaOffset(), 0);
        QVERIFY(waitForSignals(finished, 1));
    }

    void fadeInRunsToTheEndWithFieldsHidden()
    {
        FadingWindow window;
        window.move(40, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage own = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QSignalSpy finished(window.fade, &TEffCar::finished);

        window.fade->StartFadeIn();
        QVERIFY(window.fade->isFadeRunning());
        QVERIFY(window.field->isHidden());

        QVERIFY(waitForSignals(finished, 1));
        QVERIFY(!window.fade->isFadeRunning());
        QVERIFY(window.fade->currentFrame().isNull());
        // 51 frames at levels 5..255 and the last one, each repainted as it came.
        QVERIFY(window.fadePaints >= 52);
        QVERIFY(!window.fieldVisibleDuringFade);
        // The last frame is the window's own picture, the hidden field drawn into it.
        QVERIFY(withinOneLevel(window.lastFrame, own));
        QVERIFY(window.field->isVisible());
        QVERIFY(window.hiddenField->isHidden());
    }

    void fadeInStartedAgainReplacesTheRunningOne()
    {
        FadingWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy finished(window.fade, &TEffCar::finished);
        window.fade->StartFadeIn();
        QTRY_VERIFY_WITH_TIMEOUT(window.fadePaints >= 10, kWait);

        window.fade->StartFadeIn();
        QVERIFY(window.fade->isFadeRunning());
        QVERIFY(window.field->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(!window.fade->isFadeRunning(), kWait);
        QTest::qWait(50);
        QCOMPARE(finished.count(), 1);
        QVERIFY(window.field->isVisible());
        QVERIFY(window.hiddenField->isHidden());
    }
};

QTEST_MAIN(TestFades)
#include "tst_fades.moc"
