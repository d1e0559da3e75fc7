#include "frameanimation.h"
#include "picturebytes.h"

#include "../media/mediafiles.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

namespace {

QImage testPicture()
{
    QImage image(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 30, y * 50, 90));
    }
    return image;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        qFatal("cannot write a %s picture", format);
    return bytes;
}

// An animated GIF of `frames` frames of plain colours, 100 ms each, made by ffmpeg; loop is
// ffmpeg's -loop (0 for ever, -1 once).
QByteArray animatedGif(const QString& folder, int frames, int loop)
{
    const QString file = folder + QStringLiteral("/anim%1.gif").arg(loop);
    makeMedia({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
               QStringLiteral("testsrc=size=16x12:rate=10:duration=%1").arg(frames / 10.0), QStringLiteral("-loop"),
               QString::number(loop), file});
    QFile gif(file);
    if (!gif.open(QIODevice::ReadOnly))
        qFatal("no GIF made");
    return gif.readAll();
}

QImage shown(const QLabel& label)
{
    return label.pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestPictureBytes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each format a skin uses is named from its first bytes and read as Qt reads it by detection;
    // bytes of another format fall back to detection; bytes that are no picture read as nothing.
    void formatsAreNamedAndRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("readable");
        const QImage picture = testPicture();
        QTest::newRow("bmp") << encoded(picture, "BMP") << QByteArray("bmp") << true;
        QTest::newRow("png") << encoded(picture, "PNG") << QByteArray("png") << true;
        QTest::newRow("jpeg") << encoded(picture, "JPEG") << QByteArray("jpeg") << true;
        QTest::newRow("ico") << encoded(picture, "ICO") << QByteArray("ico") << true;
        QTest::newRow("ppm, by detection") << encoded(picture, "PPM") << QByteArray() << true;
        QTest::newRow("text") << QByteArray("BLANK PAGE") << QByteArray() << false;
        QTest::newRow("bmp signature, no picture") << QByteArray("BM\0\0\0\0", 6) << QByteArray("bmp") << false;
        QTest::newRow("empty") << QByteArray() << QByteArray() << false;
    }
    void formatsAreNamedAndRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, format);
        QFETCH(bool, readable);
        QCOMPARE(pictureFormat(bytes), format);
        const QImage image = pictureFromBytes(bytes);
        QCOMPARE(!image.isNull(), readable);
        if (readable)
            QCOMPARE(image, QImage::fromData(bytes));

        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        QCOMPARE(nameReaderFormat(reader, bytes), !format.isEmpty());
        if (!format.isEmpty())
            QCOMPARE(reader.size().isValid(), readable);
    }

    // The animation shows its first frame at once, plays its frames in turn, and keeps the frame
    // shown when stopped; a picture that plays once ends on its last frame, one that loops goes
    // round again.
    void animationPlaysAndLoopsAsThePictureSays()
    {
        QTemporaryDir folder;
        const QByteArray once = animatedGif(folder.path(), 3, -1);
        const QByteArray forever = animatedGif(folder.path(), 3, 0);
        QCOMPARE(pictureFormat(once), QByteArray("gif"));

        QList<QImage> frames;
        QImageReader reader(QStringLiteral("%1/anim0.gif").arg(folder.path()));
        while (reader.canRead())
            frames.append(reader.read().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(frames.size(), 3);
        QVERIFY(frames[0] != frames[1] && frames[1] != frames[2]);

        QLabel onceLabel;
        FrameAnimation playOnce(once, &onceLabel);
        QVERIFY(playOnce.isValid());
        QCOMPARE(playOnce.size(), QSize(16, 12));
        QCOMPARE(shown(onceLabel), frames[0]);
        playOnce.start();
        QTRY_COMPARE_WITH_TIMEOUT(shown(onceLabel), frames[1], 2000);
        QTRY_COMPARE_WITH_TIMEOUT(shown(onceLabel), frames[2], 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!playOnce.isRunning(), 2000);
        QTest::qWait(300);
        QCOMPARE(shown(onceLabel), frames[2]);

        QLabel loopLabel;
        FrameAnimation loops(forever, &loopLabel);
        loops.start();
        QTRY_COMPARE_WITH_TIMEOUT(shown(loopLabel), frames[2], 2000);
        QTRY_COMPARE_WITH_TIMEOUT(shown(loopLabel), frames[0], 2000);
        QVERIFY(loops.isRunning());
        loops.stop();
        const QImage kept = shown(loopLabel);
        QTest::qWait(300);
        QCOMPARE(shown(loopLabel), kept);
    }

    void bytesWithoutPictureMakeNoAnimation()
    {
        QLabel label;
        FrameAnimation none(QByteArray("GIF89a, and then nothing"), &label);
        QVERIFY(!none.isValid());
        none.start();
        QVERIFY(!none.isRunning());
        QVERIFY(label.pixmap().isNull());
    }
};

QTEST_MAIN(TestPictureBytes)
#include "tst_picturebytes.moc"
