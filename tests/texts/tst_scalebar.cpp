// The search progress bar on a dialog's background picture, from pictures in a container.

#include "readbin.h"
#include "scalebar.h"

#include "testpictures.h"
#include <QBuffer>
#include <QTemporaryDir>

#include <QTest>
#include <QWidget>

namespace {

constexpr QPoint kAt = TScaleBar::kPosition;
constexpr int kWidth = 20;

// How many columns of the bar, from its left, show the full picture.
int filledColumns(const QImage& background)
{
    int columns = 0;
    while (columns < kWidth && background.pixelColor(kAt + QPoint(columns, 2)) == QColor(Qt::green))
        ++columns;
    return columns;
}

} // namespace

class TestScaleBar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ContainerWriter kel;
        kel.add("status_up.bmp", testBitmap({kWidth, 6}, Qt::gray));
        kel.add("status_dn.bmp", testBitmap({kWidth, 6}, Qt::green));
        kel.write(m_dir.filePath("Kel.dhl"));
        kel = ContainerWriter();
        kel.add("other.bmp", testBitmap({4, 4}, Qt::red));
        kel.write(m_dir.filePath("Empty.dhl"));
    }

    void init()
    {
        m_background = QImage(200, 120, QImage::Format_RGB32);
        m_background.fill(Qt::white);
        m_screen = TScaleBar::kScreen;
    }

    void advanceTo_fillsInProportionToTheDocuments_data()
    {
        QTest::addColumn<int>("documents");
        QTest::addColumn<QList<int>>("filled"); // after advanceTo(k, documents) for k = 0, 1, ...
        QTest::newRow("four documents") << 4 << QList<int>{6, 11, 16, 20};
        QTest::newRow("three documents") << 3 << QList<int>{7, 14, 20};
        QTest::newRow("more documents than columns") << 40 << QList<int>{1, 2, 2, 3};
    }

    void advanceTo_fillsInProportionToTheDocuments()
    {
        QFETCH(int, documents);
        QFETCH(QList<int>, filled);
        TReadBin container;
        container.Open(m_dir.filePath("Kel.dhl"));
        TScaleBar bar(container, screen());
        bar.setDialog(&m_dialog, &m_background);
        bar.ShowBar();
        QCOMPARE(bar.barRect(), QRect(kAt, QSize(kWidth, 6)));
        QCOMPARE(m_background.pixelColor(kAt), QColor(Qt::gray));
        for (int k = 0; k < filled.size(); ++k) {
            bar.advanceTo(k, documents);
            QCOMPARE(filledColumns(m_background), filled[k]);
            QCOMPARE(bar.fillPosition() - kAt.x(), filled[k]);
        }
        bar.ResetBar();
        QCOMPARE(filledColumns(m_background), 0);
        QCOMPARE(bar.fillPosition(), kAt.x());
    }

    void otherScreen_drawsNothingButStillCounts()
    {
        TReadBin container;
        container.Open(m_dir.filePath("Kel.dhl"));
        TScaleBar bar(container, screen());
        bar.setDialog(&m_dialog, &m_background);
        bar.ShowBar();
        m_screen = 0;
        bar.AdvanceBar();
        bar.AdvanceBar();
        QCOMPARE(filledColumns(m_background), 0);
        QCOMPARE(bar.fillPosition(), kAt.x() + 2);
        m_screen = TScaleBar::kScreen;
        bar.AdvanceBar();
        QCOMPARE(m_background.pixelColor(kAt + QPoint(2, 2)), QColor(Qt::green));
        QCOMPARE(m_background.pixelColor(kAt + QPoint(1, 2)), QColor(Qt::gray));
    }

    void missingPicturesOrDialog_drawNothingAndEnd()
    {
        TReadBin container;
        container.Open(m_dir.filePath("Empty.dhl"));
        TScaleBar bar(container, screen());
        bar.setDialog(&m_dialog, &m_background);
        bar.ShowBar();
        bar.advanceTo(0, 1); // a bar without width is already full
        QCOMPARE(bar.fillPosition(), kAt.x());
        QCOMPARE(m_background.pixelColor(kAt), QColor(Qt::white));

        TReadBin full;
        full.Open(m_dir.filePath("Kel.dhl"));
        TScaleBar withoutDialog(full, screen());
        withoutDialog.ShowBar();
        withoutDialog.advanceTo(0, 2);
        QCOMPARE(withoutDialog.fillPosition() - kAt.x(), 11);
    }

private:
    std::function<int()> screen()
    {
        return [this] { return m_screen; };
    }

    QTemporaryDir m_dir;
    QWidget m_dialog;
    QImage m_background;
    int m_screen = 0;
};

QTEST_MAIN(TestScaleBar)
#include "tst_scalebar.moc"
