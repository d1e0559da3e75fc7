// The pure parts of the window: caption layout and the outlines of the opening and closing.

#include "caption.h"
#include "windowshape.h"

#include <QFontMetrics>
#include <QTest>

#include <climits>

class TestWindowParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void captionLetters_advanceByTheirBoldWidthLessOne()
    {
        for (bool bold : {false, true}) {
            const QFont font = captionFont(QStringLiteral("DejaVu Sans"), 10, bold ? FontStyle::Bold : FontStyles());
            QFont boldFont = font;
            boldFont.setBold(true);
            const QFontMetrics boldMetrics(boldFont);
            const QList<int> x = captionLetterPositions(QStringLiteral(u"AБW"), font, 5);
            QCOMPARE(x.size(), 3);
            QCOMPARE(x[0], 5);
            QCOMPARE(x[1], 5 + boldMetrics.horizontalAdvance(QLatin1Char('A')) - 1);
            QCOMPARE(x[2], x[1] + boldMetrics.horizontalAdvance(QChar(u'Б')) - 1);
        }
    }

    void caption_isClippedToItsRectangle()
    {
        QImage picture(60, 20, QImage::Format_RGB32);
        picture.fill(Qt::black);
        drawCaption(picture, QStringLiteral("WWWWWWWWWW"), QRect(2, 2, 20, 16),
                    captionFont(QStringLiteral("DejaVu Sans"), 10, {}), Qt::white);
        bool inside = false;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 60; ++x) {
                const bool lit = picture.pixelColor(x, y) != QColor(Qt::black);
                QVERIFY2(!lit || QRect(2, 2, 20, 16).contains(x, y), "a letter left its rectangle");
                inside = inside || lit;
            }
        }
        QVERIFY(inside);
    }

    void windowsColor_hasRedInTheLowByte()
    {
        QCOMPARE(windowsColor(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(windowsColor(0xFF8000), QColor(0, 128, 255));
    }

    void opening_growsFromTheCentreToCoverTheWindow()
    {
        OpeningOutline opening(QSize(740, 540));
        QRegion outline;
        QRegion previous;
        int ticks = 0;
        while (opening.next(outline)) {
            QVERIFY(outline.contains(previous.boundingRect().center()) || previous.isEmpty());
            previous = outline;
            ++ticks;
        }
        // x goes from 370 by 4 below -370: 186 outlines, the last covering every corner.
        QCOMPARE(ticks, 186);
        for (QPoint corner : {QPoint(0, 0), QPoint(739, 0), QPoint(0, 539), QPoint(739, 539)})
            QVERIFY(previous.contains(corner));
    }

    void closing_squeezesThenShrinksPastTheCentre()
    {
        ClosingOutline closing(QSize(200, 100));
        QRegion outline;
        QList<QRect> bounds;
        while (closing.next(outline))
            bounds.append(outline.boundingRect());
        QVERIFY(!bounds.isEmpty());
        // First from top and bottom, full width: y grows by 2 until H/2 - 10.
        QCOMPARE(bounds.first().width(), 200);
        QCOMPARE(bounds[1].top(), 2);
        // Every outline lies inside the one before.
        for (qsizetype i = 1; i < bounds.size(); ++i)
            QVERIFY(bounds[i - 1].contains(bounds[i]) || bounds[i].isEmpty());
        QVERIFY(bounds.last().width() <= 2);
    }

    void outline_isTheScriptsPolygonWithinTheWindow()
    {
        // A real outline: corners cut off a 780 x 600 window.
        const QList<QPoint> vertices{{0, 32},   {18, 14},   {48, 0},    {432, 0},  {446, 14}, {762, 14},
                                     {780, 32}, {780, 582}, {762, 600}, {18, 600}, {0, 582}};
        QCOMPARE(outlineRegion(vertices, QSize(781, 601)), QRegion(QPolygon(vertices), Qt::WindingFill));
    }

    void outline_farOutsideTheWindow_isClippedNotDistorted()
    {
        const QSize window(400, 300);
        const QRect grown =
            QRect(QPoint(0, 0), window).adjusted(-kOutlineMargin, -kOutlineMargin, kOutlineMargin, kOutlineMargin);
        // The edge from (60000, 0) to (0, 300) keeps its slope inside the window: (399, 297) is
        // under it, (399, 299) is not. Made whole, the region took 15 s.
        const QRegion slope = outlineRegion({{0, 0}, {60000, 0}, {0, 300}}, window);
        QVERIFY(slope.contains(QPoint(399, 297)));
        QVERIFY(!slope.contains(QPoint(399, 299)));
        QVERIFY(slope.contains(QPoint(0, 0)));
        QVERIFY(grown.contains(slope.boundingRect()));

        // At the int limits QRegion failed with SIGFPE at once, or SIGSEGV after 2 GB.
        const QRegion triangle = outlineRegion({{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {0, INT_MAX}}, window);
        QCOMPARE(triangle.boundingRect(), grown);
        QVERIFY(triangle.contains(QRect(QPoint(0, 0), window)));
        const QRegion five = outlineRegion(
            {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}, {0, INT_MIN}}, window);
        QVERIFY(grown.contains(five.boundingRect()));
        QVERIFY(!five.isEmpty());

        // A zigzag of the most points a script keeps crosses every row a thousand times: refused,
        // where its region took seconds at every screen change. A real outline is well within.
        QList<QPoint> zigzag;
        for (int i = 0; i < 1000; ++i)
            zigzag << QPoint(i * 400 / 1000, 0) << QPoint(i * 400 / 1000 + 3, 300);
        bool tooComplex = false;
        QVERIFY(outlineRegion(zigzag, window, &tooComplex).isEmpty());
        QVERIFY(tooComplex);
        QVERIFY(!outlineRegion({{0, 0}, {400, 0}, {400, 300}, {0, 300}}, window, &tooComplex).isEmpty());
        QVERIFY(!tooComplex);

        // Nothing left inside: no outline at all.
        QVERIFY(outlineRegion({{-5000, -5000}, {-4000, -5000}, {-4000, -4000}}, window).isEmpty());
        QVERIFY(outlineRegion({{0, 0}, {100, 100}}, window).isEmpty());
    }
};

QTEST_MAIN(TestWindowParts)
#include "tst_windowparts.moc"
