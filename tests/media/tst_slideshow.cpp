// The slide show: the pictures of a folder and their order, stepping with wrap, the position
// shared by areas on different screens, the timer and the three orders.

#include "testfiles.h"
#include "testpictures.h"
#include "tslideimage.h"
#include "usersettings.h"

#include <QBuffer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace {

QByteArray jpeg(QColor color)
{
    QImage image(QSize(40, 30), QImage::Format_RGB888);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

RImage area(int screen, const QString& dir)
{
    RImage image;
    image.vx = 10;
    image.vy = 10;
    image.vw = 110;
    image.vh = 90;
    image.screen = screen;
    image.dir = dir + QLatin1Char('/');
    return image;
}

QString nameOf(const QString& path)
{
    return path.section(QLatin1Char('/'), -1);
}

} // namespace

class TestSlideShow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_three; // a.bmp, b.jpg, c.jpeg and files that are no slides
    QString m_two;   // x.bmp, y.bmp
    int m_screen = 0;

    std::unique_ptr<TSlideImage> show(QWidget& window, const TDynamicImageArray& areas, const UserSettings& settings)
    {
        return std::make_unique<TSlideImage>(
            &window, areas, settings, [this] { return m_screen; }, std::function<void()>());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_three = m_dir.filePath(QStringLiteral("three"));
        m_two = m_dir.filePath(QStringLiteral("two"));
        writeTestFile(m_three + QStringLiteral("/c.jpeg"), jpeg(Qt::blue));
        writeTestFile(m_three + QStringLiteral("/b.jpg"), jpeg(Qt::green));
        writeTestFile(m_three + QStringLiteral("/a.bmp"), testBitmap({40, 30}, Qt::red));
        writeTestFile(m_three + QStringLiteral("/d.png"), testBitmap({40, 30}, Qt::black));
        writeTestFile(m_three + QStringLiteral("/notes.txt"), "no slide");
        writeTestFile(m_two + QStringLiteral("/x.bmp"), testBitmap({40, 30}, Qt::yellow));
        writeTestFile(m_two + QStringLiteral("/y.bmp"), "a broken picture");
    }

    void init() { m_screen = 0; }

    void picturesInMaskOrder()
    {
        QStringList names;
        for (const QString& file : TSlideImage::picturesOf(m_three))
            names.append(nameOf(file));
        QCOMPARE(names, (QStringList{"a.bmp", "b.jpg", "c.jpeg"}));
        QVERIFY(TSlideImage::picturesOf(m_dir.filePath(QStringLiteral("none"))).isEmpty());
    }

    void stepsWrapBothWays()
    {
        QWidget window;
        UserSettings settings;
        auto slides = show(window, {area(0, m_three)}, settings);
        QVERIFY(!slides->control(0)->isHidden());
        QCOMPARE(nameOf(slides->shownFile(0)), QStringLiteral("a.bmp"));
        QCOMPARE(slides->control(0)->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
        slides->NextPicture();
        slides->NextPicture();
        QCOMPARE(nameOf(slides->shownFile(0)), QStringLiteral("c.jpeg"));
        slides->NextPicture();
        QCOMPARE(nameOf(slides->shownFile(0)), QStringLiteral("a.bmp"));
        slides->PrevPicture();
        QCOMPARE(nameOf(slides->shownFile(0)), QStringLiteral("c.jpeg"));
        QCOMPARE(slides->SlidePosition(), 2);
    }

    void aBrokenPictureLeavesTheShownOne()
    {
        QWidget window;
        UserSettings settings;
        auto slides = show(window, {area(0, m_two)}, settings);
        slides->NextPicture();
        QCOMPARE(slides->SlidePosition(), 1);
        QCOMPARE(nameOf(slides->shownFile(0)), QStringLiteral("x.bmp"));
        QVERIFY(!slides->control(0)->pixmap().isNull());
    }

    void thePositionIsSharedByTheAreas()
    {
        QWidget window;
        UserSettings settings;
        auto slides = show(window, {area(0, m_three), area(1, m_two)}, settings);
        QVERIFY(slides->control(1)->isHidden());
        slides->NextPicture();
        slides->NextPicture(); // position 2: beyond the second area's list
        m_screen = 1;
        slides->ShowSlidesForScreen();
        QVERIFY(slides->control(0)->isHidden());
        QVERIFY(!slides->control(1)->isHidden());
        QCOMPARE(slides->CurrentSlideArea(), 1);
        QVERIFY(slides->shownFile(1).isEmpty());
        slides->NextPicture(); // 3 is beyond the list too: the first picture
        QCOMPARE(nameOf(slides->shownFile(1)), QStringLiteral("x.bmp"));
        // Back on the first screen the area shows what it showed.
        m_screen = 0;
        slides->ShowSlidesForScreen();
        QCOMPARE(nameOf(slides->shownFile(0)), QStringLiteral("c.jpeg"));
    }

    void theTimerFollowsTheSettingAndTheScreen()
    {
        QWidget window;
        UserSettings settings;
        settings.runSlideShow = true;
        settings.slideShowTime = 1;
        auto slides = show(window, {area(0, m_three)}, settings);
        QVERIFY(slides->timerActive());
        QCOMPARE(slides->timerInterval(), 1000);
        slides->ShowSlidesForScreen(); // the same screen again: still running
        QVERIFY(slides->timerActive());
        m_screen = 1;
        slides->ShowSlidesForScreen();
        QVERIFY(!slides->timerActive());
        slides->setRunning(true); // the options switch it on elsewhere: it steps the last area
        QVERIFY(slides->timerActive());
        slides->setPeriod(7);
        QCOMPARE(slides->timerInterval(), 7000);
        slides->setRunning(false);
        QVERIFY(!slides->timerActive());
    }

    void theTimerStepsInTheChosenOrder_data()
    {
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QStringList>("allowed");
        QTest::newRow("forward") << 0 << QStringList{"b.jpg"};
        QTest::newRow("backward") << 1 << QStringList{"c.jpeg"};
        QTest::newRow("random") << 2 << QStringList{"a.bmp", "b.jpg", "c.jpeg"};
    }
    void theTimerStepsInTheChosenOrder()
    {
        QFETCH(int, sequence);
        QFETCH(QStringList, allowed);
        QWidget window;
        UserSettings settings;
        settings.runSlideShow = true;
        settings.slideShowTime = 1;
        settings.imageSequence = sequence;
        auto slides = show(window, {area(0, m_three)}, settings);
        const QString first = slides->shownFile(0);
        // Wait for one step of the timer.
        QTRY_VERIFY_WITH_TIMEOUT(slides->shownFile(0) != first || sequence == 2, 10000);
        if (sequence == 2)
            QTest::qWait(1200);
        QVERIFY2(allowed.contains(nameOf(slides->shownFile(0))), qPrintable(slides->shownFile(0)));
    }
};

QTEST_MAIN(TestSlideShow)
#include "tst_slideshow.moc"
