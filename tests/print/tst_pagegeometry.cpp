#include "pagegeometry.h"

#include <QTest>

namespace {

// An A4 sheet at 300 dpi with no unprintable border; landscape swaps the sides.
SheetGeometry a4(QPageLayout::Orientation orientation)
{
    SheetGeometry sheet;
    sheet.paperWidth = sheet.printableWidth = 2480;
    sheet.paperHeight = sheet.printableHeight = 3508;
    if (orientation == QPageLayout::Landscape) {
        std::swap(sheet.paperWidth, sheet.paperHeight);
        std::swap(sheet.printableWidth, sheet.printableHeight);
    }
    return sheet;
}

} // namespace

class TestPageGeometry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // 2 cm margins at the scale on each side, in screen pixels at 96 dpi.
    void pageArea_leavesScaledMargins()
    {
        const QSize whole = pageArea(a4(QPageLayout::Portrait), 1.0, 96);
        QCOMPARE(whole.width(), 643); // (2480 - 2 * 236) * 96 / 300
        QCOMPARE(whole.height(), 972);
        // At half the scale the sheet holds more than twice as many screen pixels: the margins
        // shrink with the scale too.
        const QSize half = pageArea(a4(QPageLayout::Portrait), 0.5, 96);
        QCOMPARE(half.width(), 1436);
        QVERIFY(half.width() > 2 * whole.width());
    }

    void fitPicture_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("shrunk");
        QTest::newRow("small picture stays") << QSize(300, 200) << int(QPageLayout::Portrait) << false;
        QTest::newRow("tall picture that fits") << QSize(300, 900) << int(QPageLayout::Portrait) << false;
        QTest::newRow("wide picture turns the sheet") << QSize(900, 400) << int(QPageLayout::Landscape) << false;
        QTest::newRow("very wide picture shrinks") << QSize(3000, 400) << int(QPageLayout::Landscape) << true;
        QTest::newRow("very tall picture shrinks") << QSize(400, 3000) << int(QPageLayout::Portrait) << true;
    }
    void fitPicture()
    {
        QFETCH(QSize, picture);
        QFETCH(int, orientation);
        QFETCH(bool, shrunk);
        const PictureFit fit = ::fitPicture(picture, QPageLayout::Portrait, a4, 96);
        QCOMPARE(int(fit.orientation), orientation);
        QVERIFY(fit.scale <= 1.0);
        QCOMPARE(fit.scale < 1.0, shrunk);
        // Whatever the scale, the picture now fits the sheet's area at it.
        const QSize area = pageArea(a4(fit.orientation), fit.scale, 96);
        QVERIFY2(picture.width() <= area.width() + 2 && picture.height() <= area.height() + 2,
                 qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                .arg(picture.width())
                                .arg(picture.height())
                                .arg(area.width())
                                .arg(area.height())));
    }
};

QTEST_GUILESS_MAIN(TestPageGeometry)
#include "tst_pagegeometry.moc"
