// The geometry of a popup list: items in a column, the background fitted to them, captions
// shortened to their items, the list kept on the desktop, and the outline that shapes it.

#include "popuplayout.h"

#include <QFont>
#include <QTest>

namespace {

LayoutItem item(int height, bool visible = true, int width = 100)
{
    LayoutItem i;
    i.size = QSize(width, height);
    i.visible = visible;
    return i;
}

// A background whose rows say where they came from: row y has the grey value y.
QImage rowPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(y, y, y));
    }
    return picture;
}

QList<int> rowsOf(const QImage& picture)
{
    QList<int> rows;
    for (int y = 0; y < picture.height(); ++y)
        rows.append(qRed(picture.pixel(0, y)));
    return rows;
}

} // namespace

class TestPopupLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout_data()
    {
        QTest::addColumn<QList<LayoutItem>>("items");
        QTest::addColumn<int>("xbtn");
        QTest::addColumn<int>("ybtn");
        QTest::addColumn<QList<QPoint>>("positions"); // (-1,-1) for an unplaced item
        QTest::addColumn<int>("sum");

        QTest::newRow("a column from the margin")
            << QList{item(20), item(20), item(30)} << 8 << 6 << QList{QPoint(8, 6), QPoint(8, 26), QPoint(8, 46)} << 70;
        QTest::newRow("ybtn -1 is a margin of 5") << QList{item(20)} << 8 << -1 << QList{QPoint(8, 5)} << 20;
        QTest::newRow("hidden items take no room")
            << QList{item(20, false), item(20), item(20, false), item(20)} << 8 << 6
            << QList{QPoint(-1, -1), QPoint(8, 6), QPoint(-1, -1), QPoint(8, 26)} << 40;
        QTest::newRow("xbtn -1 centres each item")
            << QList{item(20, true, 100), item(20, true, 60)} << -1 << 6 << QList{QPoint(50, 6), QPoint(70, 26)} << 40;
        QTest::newRow("nothing visible") << QList{item(20, false), item(20, false)} << 8 << 6
                                         << QList{QPoint(-1, -1), QPoint(-1, -1)} << 0;
    }
    void layout()
    {
        QFETCH(QList<LayoutItem>, items);
        QFETCH(int, xbtn);
        QFETCH(int, ybtn);
        QFETCH(QList<QPoint>, positions);
        QFETCH(int, sum);
        QCOMPARE(layoutItems(items, 200, xbtn, ybtn), sum);
        for (qsizetype i = 0; i < items.size(); ++i)
            QCOMPARE(items[i].placed ? items[i].position : QPoint(-1, -1), positions[i]);
    }

    // An item shown again after others were placed goes back between them, and those after it
    // move down; those before it keep their places.
    void layout_itemShownAgain_placesTheRestAfterIt()
    {
        QList<LayoutItem> items{item(20), item(20, false), item(20)};
        layoutItems(items, 200, 8, 6);
        QCOMPARE(items[2].position, QPoint(8, 26));
        items[1].visible = true;
        QCOMPARE(layoutItems(items, 200, 8, 6), 60);
        QCOMPARE(items[0].position, QPoint(8, 6));
        QCOMPARE(items[1].position, QPoint(8, 26));
        QCOMPARE(items[2].position, QPoint(8, 46));
    }

    void fitBackground_keepsTopAndBottomBand_andRepeatsTheMiddleRow_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<QList<int>>("rows");
        // The picture is 10 rows (0..9), its bottom band of 3 rows is 7, 8, 9, its middle row 5.
        QTest::newRow("same height") << 10 << QList{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        QTest::newRow("shorter") << 6 << QList{0, 1, 2, 7, 8, 9};
        QTest::newRow("taller") << 13 << QList{0, 1, 2, 3, 4, 5, 6, 5, 5, 5, 7, 8, 9};
        QTest::newRow("shorter than the band") << 2 << QList{8, 9};
    }
    void fitBackground_keepsTopAndBottomBand_andRepeatsTheMiddleRow()
    {
        QFETCH(int, height);
        QFETCH(QList<int>, rows);
        const QImage fitted = fitBackground(rowPicture(4, 10), height, 3);
        QCOMPARE(fitted.size(), QSize(4, height));
        QCOMPARE(rowsOf(fitted), rows);
    }

    // A list that shrank to nothing and grows again looks as if it had grown from the picture
    // as loaded: fitting a fitted picture again would repeat a row of its bottom band instead.
    void fitBackground_fromTheLoadedPicture_looksTheSameWhateverCameBefore()
    {
        const QImage original = rowPicture(4, 10);
        const QImage shrunk = fitBackground(original, 6, 3);
        QVERIFY(rowsOf(fitBackground(shrunk, 13, 3)) != rowsOf(fitBackground(original, 13, 3)));
        QVERIFY(fitBackground(QImage(), 13, 3).isNull());
    }

    void captions_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("itemWidth");
        QTest::addColumn<bool>("shortened");
        QTest::addColumn<bool>("hint");

        QTest::newRow("fits") << u"Глава 2"_qs << 300 << false << false;
        QTest::newRow("too wide") << u"Глава 6. Ходовая часть и рулевое управление"_qs << 120 << true << true;
        QTest::newRow("narrower than the ellipsis") << u"Глава"_qs << 16 << true << true;
        QTest::newRow("empty") << QString() << 100 << false << false;
    }
    void captions()
    {
        QFETCH(QString, caption);
        QFETCH(int, itemWidth);
        QFETCH(bool, shortened);
        QFETCH(bool, hint);
        const QFontMetrics metrics{QFont()};
        const CaptionLayout layout = layoutCaption(caption, metrics, QSize(itemWidth, 24));
        QCOMPARE(layout.needsHint, hint);
        QCOMPARE(layout.rect.left(), kCaptionInset);
        QVERIFY(layout.rect.right() < itemWidth);
        if (!shortened) {
            QCOMPARE(layout.text, caption);
            return;
        }
        QVERIFY(layout.text.endsWith(kEllipsis));
        const QString kept = layout.text.chopped(kEllipsis.size());
        QVERIFY(caption.startsWith(kept));
        QVERIFY(kept.size() < caption.size());
        // The longest that fits: one letter more would not.
        QVERIFY(metrics.horizontalAdvance(layout.text) <= layout.rect.width() || kept.isEmpty());
        if (!kept.isEmpty() || metrics.horizontalAdvance(caption.left(1) + kEllipsis) <= layout.rect.width())
            QVERIFY(metrics.horizontalAdvance(caption.left(kept.size() + 1) + kEllipsis) > layout.rect.width());
    }

    void shortenCaption_neverSplitsASurrogatePair()
    {
        const QString caption = QStringLiteral("ab") + QString::fromUcs4(U"\U0001F697\U0001F697\U0001F697");
        const QFontMetrics metrics{QFont()};
        for (int width = 0; width < metrics.horizontalAdvance(caption); ++width) {
            const QString shown = shortenCaption(caption, metrics, width);
            const QString kept = shown.chopped(kEllipsis.size());
            QVERIFY2(kept.isEmpty() || !kept.back().isHighSurrogate(), qPrintable(QString::number(width)));
        }
    }

    // A caption of any length is shortened with a few dozen measurements, each of a beginning of
    // it: the longest beginning that fits with "...".
    void shortenCaption_longCaption_fewMeasurements()
    {
        const QString caption(100000, u'ж');
        int measured = 0;
        const auto measure = [&measured](const QString& text) {
            ++measured;
            return int(text.size()) * 7;
        };
        QCOMPARE(shortenCaption(caption, measure, 700), QString(97, u'ж') + kEllipsis);
        QVERIFY2(measured <= 40, qPrintable(QString::number(measured)));
        measured = 0;
        QCOMPARE(shortenCaption(caption, measure, 10), kEllipsis);
        QVERIFY2(measured <= 40, qPrintable(QString::number(measured)));

        // The same through the popup's layout, with the font's own measuring.
        const QFontMetrics metrics{QFont()};
        const CaptionLayout layout = layoutCaption(caption, metrics, QSize(200, 20));
        QVERIFY(layout.needsHint);
        QVERIFY(layout.text.endsWith(kEllipsis));
        QVERIFY(metrics.horizontalAdvance(layout.text) <= layout.rect.width());
        QVERIFY(metrics.horizontalAdvance(caption.left(layout.text.size() - kEllipsis.size() + 1) + kEllipsis) >
                layout.rect.width());
    }

    void keepOnDesktop_data()
    {
        QTest::addColumn<QPoint>("wanted");
        QTest::addColumn<QPoint>("placed");
        const QRect desktop(0, 0, 800, 600); // the popup is 200 x 100
        QTest::newRow("inside") << QPoint(10, 20) << QPoint(10, 20);
        QTest::newRow("past the bottom-right corner") << QPoint(750, 580) << QPoint(600, 500);
        QTest::newRow("left of and above") << QPoint(-50, -10) << QPoint(0, 0);
        QTest::newRow("on the edge") << QPoint(600, 500) << QPoint(600, 500);
    }
    void keepOnDesktop()
    {
        QFETCH(QPoint, wanted);
        QFETCH(QPoint, placed);
        QCOMPARE(::keepOnDesktop(wanted, QSize(200, 100), QRect(0, 0, 800, 600)), placed);
        // Larger than the desktop: its top-left corner stays on it.
        QCOMPARE(::keepOnDesktop(wanted, QSize(900, 700), QRect(0, 0, 800, 600)), QPoint(0, 0));
    }

    void outline()
    {
        const QList<QPoint> square = outlinePoints({"0,0", "10,0", "10,10", "0,10"});
        QCOMPARE(square.size(), 4);
        QCOMPARE(popupOutlineRegion(square, QSize(20, 20)).boundingRect(), QRect(0, 0, 10, 10));
        // Points far outside the popup are cut at its edges, at no cost.
        const QList<QPoint> huge = outlinePoints(
            {"-2000000000,-2000000000", "2000000000,-2000000000", "2000000000,2000000000", "-2000000000,2000000000"});
        QCOMPARE(popupOutlineRegion(huge, QSize(30, 40)).boundingRect(), QRect(0, 0, 30, 40));
        // Items that are not two numbers are left out; fewer than three points make no shape.
        QCOMPARE(outlinePoints({"1,2", "x,3", "4", "5,6,7", " 8 , 9 "}), (QList<QPoint>{{1, 2}, {8, 9}}));
        QVERIFY(popupOutlineRegion(outlinePoints({"0,0", "10,10"}), QSize(20, 20)).isEmpty());
        QStringList many;
        for (int i = 0; i < 3000; ++i)
            many.append(QStringLiteral("%1,%2").arg(i % 50).arg(i / 50));
        QCOMPARE(outlinePoints(many).size(), kMaxOutlinePoints);
    }
};

QTEST_MAIN(TestPopupLayout)
#include "tst_popuplayout.moc"
