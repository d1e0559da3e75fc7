#include "alphablend.h"

#include <QTest>

#include <cstring>

namespace {

int bytesPerPixel(QImage::Format format)
{
    return format == QImage::Format_RGB888 ? 3 : QImage::toPixelFormat(format).bitsPerPixel() / 8;
}

// A one-row picture whose bytes are exactly `bytes`, whatever the format's pixel order.
QImage rowOf(QImage::Format format, const QByteArray& bytes)
{
    QImage image(int(bytes.size() / bytesPerPixel(format)), 1, format);
    if (format == QImage::Format_Indexed8) {
        QList<QRgb> grays;
        for (int i = 0; i < 256; ++i)
            grays.append(qRgb(i, i, i));
        image.setColorTable(grays);
    }
    std::memcpy(image.scanLine(0), bytes.constData(), size_t(bytes.size()));
    return image;
}

QByteArray bytesOf(const QImage& image, int row = 0)
{
    return QByteArray(reinterpret_cast<const char*>(image.constScanLine(row)),
                      qsizetype(image.width()) * bytesPerPixel(image.format()));
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values)
        result.append(char(value));
    return result;
}

} // namespace

class TestAlphaBlend : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mixesEveryByte_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<int>("alpha");
        QTest::addColumn<QByteArray>("expected");

        const QImage::Format rgb = QImage::Format_RGB888;
        QTest::newRow("24-bit alpha 0 is from")
            << rgb << bytes({0, 100, 255}) << bytes({255, 0, 10}) << 0 << bytes({0, 100, 255});
        // 0 + (255*255 >> 8) = 254; 100 + (-25500 >> 8) = 0; 255 + (-62475 >> 8) = 10.
        QTest::newRow("24-bit alpha 255")
            << rgb << bytes({0, 100, 255}) << bytes({255, 0, 10}) << 255 << bytes({254, 0, 10});
        // The shift rounds towards minus infinity: falling values move at once, rising ones do not.
        QTest::newRow("24-bit alpha 1 falls, rises not")
            << rgb << bytes({200, 0, 7}) << bytes({0, 200, 7}) << 1 << bytes({199, 0, 7});
        // 10 + (1280 >> 8) = 15; 20 + (-1280 >> 8) = 15; 0 + (32640 >> 8) = 127; 255 + (-32640 >> 8) = 127.
        QTest::newRow("24-bit half way, two pixels")
            << rgb << bytes({10, 20, 0, 255, 0, 0}) << bytes({20, 10, 255, 0, 0, 0}) << 128
            << bytes({15, 15, 127, 127, 0, 0});

        // All four bytes of a 32-bit pixel are mixed, the fourth one too.
        // 16 + (64*32 >> 8) = 24; 32 + (64*-16 >> 8) = 28; 48 + 0 = 48; 255 + (64*-255 >> 8) = 191.
        QTest::newRow("32-bit RGB32") << QImage::Format_RGB32 << bytes({16, 32, 48, 255}) << bytes({48, 16, 48, 0})
                                      << 64 << bytes({24, 28, 48, 191});
        // 100 + (3*-100 >> 8) = 98; 0 + (3*255 >> 8) = 2; 255 + (3*-1 >> 8) = 254; 1 + (3*-1 >> 8) = 0.
        QTest::newRow("32-bit ARGB32") << QImage::Format_ARGB32 << bytes({100, 0, 255, 1}) << bytes({0, 255, 254, 0})
                                       << 3 << bytes({98, 2, 254, 0});

        // 8-bit pictures mix single bytes: 200 + (100*-150 >> 8) = 141; 50 + (100*150 >> 8) = 108.
        QTest::newRow("8-bit grayscale") << QImage::Format_Grayscale8 << bytes({200, 50}) << bytes({50, 200}) << 100
                                         << bytes({141, 108});
        QTest::newRow("8-bit indexed") << QImage::Format_Indexed8 << bytes({200, 50}) << bytes({50, 200}) << 100
                                       << bytes({141, 108});

        QTest::newRow("alpha above 255 counts as 255")
            << QImage::Format_Grayscale8 << bytes({0}) << bytes({255}) << 300 << bytes({254});
        QTest::newRow("negative alpha counts as 0")
            << QImage::Format_Grayscale8 << bytes({90}) << bytes({255}) << -5 << bytes({90});
    }

    void mixesEveryByte()
    {
        QFETCH(QImage::Format, format);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(int, alpha);
        QFETCH(QByteArray, expected);

        QImage frame;
        AlphaBlend(frame, rowOf(format, from), rowOf(format, to), alpha);
        QCOMPARE(frame.format(), format);
        QCOMPARE(bytesOf(frame), expected);
    }

    void endsAreFromExactlyAndToWithinOneLevel()
    {
        // Every pair of byte values: from is x, to is y.
        QImage from(256, 256, QImage::Format_Grayscale8);
        QImage to(256, 256, QImage::Format_Grayscale8);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                from.scanLine(y)[x] = uchar(x);
                to.scanLine(y)[x] = uchar(y);
            }
        }
        QImage frame;
        AlphaBlend(frame, from, to, 0);
        QCOMPARE(frame, from);

        AlphaBlend(frame, from, to, 255);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const int got = frame.constScanLine(y)[x];
                if (got != y && got != y - 1 && got != y + 1)
                    QFAIL(qPrintable(QStringLiteral("from %1 to %2 gave %3").arg(x).arg(y).arg(got)));
            }
        }
    }

    void differentSizesMixTheCommonArea()
    {
        // Odd widths of 24-bit rows leave padding at the end of each line, which must not
        // leak into the pixels.
        QImage from(5, 3, QImage::Format_RGB888);
        from.fill(QColor(0, 0, 0));
        QImage to(3, 5, QImage::Format_RGB888);
        to.fill(QColor(255, 255, 255));

        QImage frame(1, 1, QImage::Format_Mono); // wrong size and format: replaced
        AlphaBlend(frame, from, to, 128);
        QCOMPARE(frame.size(), from.size());
        QCOMPARE(frame.format(), QImage::Format_RGB888);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x)
                QCOMPARE(frame.pixelColor(x, y), x < 3 ? QColor(127, 127, 127) : QColor(0, 0, 0));
        }
    }

    void otherFormatsAndMissingPictures()
    {
        // A `to` of another format is converted to the format of `from`.
        QImage from(2, 2, QImage::Format_RGB888);
        from.fill(QColor(0, 0, 0));
        QImage to(2, 2, QImage::Format_ARGB32_Premultiplied);
        to.fill(QColor(255, 0, 128));
        QImage frame;
        AlphaBlend(frame, from, to, 255);
        QCOMPARE(frame.format(), QImage::Format_RGB888);
        QCOMPARE(frame.pixelColor(1, 1), QColor(254, 0, 127));

        // A format without a byte rule of its own is mixed as 32-bit pixels.
        QImage from16(2, 1, QImage::Format_RGB16);
        from16.fill(Qt::white);
        AlphaBlend(frame, from16, QImage(), 200);
        QCOMPARE(frame.format(), QImage::Format_RGB32);
        QCOMPARE(frame.pixelColor(0, 0), QColor(Qt::white));

        // Without a `to` picture the frame is `from`; without a `from` it is empty.
        AlphaBlend(frame, from, QImage(), 128);
        QCOMPARE(frame, from);
        AlphaBlend(frame, QImage(), to, 128);
        QVERIFY(frame.isNull());

        // The frame may be the from picture itself.
        QImage same = from;
        AlphaBlend(same, same, to, 255);
        QCOMPARE(same.pixelColor(0, 0), QColor(254, 0, 127));
        QCOMPARE(from.pixelColor(0, 0), QColor(0, 0, 0));
    }
};

QTEST_GUILESS_MAIN(TestAlphaBlend)
#include "tst_alphablend.moc"
