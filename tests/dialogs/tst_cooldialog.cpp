// The skinned dialog: how a page widens for its text, where its buttons go, its heights with and
// without results, its switches and their remembered states.

#include "appcontext.h"
#include "cooldialog.h"
#include "dialoglayout.h"
#include "dialogscript.h"
#include "findtxthtml.h"
#include "readbin.h"
#include "testpictures.h"

#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <climits>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 240;

// A background whose left half is red, middle column blue and right half green.
QByteArray threeColourBackground()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int x = kWidth / 2; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            image.setPixelColor(x, y, x == kWidth / 2 ? Qt::blue : Qt::green);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

const QStringList kScript{
    u"_picture=bg1.bmp"_qs,
    u"_text=1; vx=100; vy=20; vw=300"_qs,
    u"font=dejavu sans; size=10; style=bold; color=0,0,0; value=x"_qs,
    u"_button=1; vx=10; vy=150; align=left; fn1=b.bmp; fn2=b.bmp; fn3=b.bmp; go=yes; hint=a; wav=no"_qs,
    u"_button=1; vx=180; vy=150; align=middle; fn1=b.bmp; fn2=b.bmp; fn3=b.bmp; go=yes; hint=b; wav=no"_qs,
    u"_button=1; vx=350; vy=150; align=right; fn1=b.bmp; fn2=b.bmp; fn3=b.bmp; go=yes; hint=c; wav=no"_qs,
    u"_picture=bg2.bmp"_qs,
    u"_text=2; vx=20; vy=70; vw=20; font=dejavu sans; size=9; style=normal; color=0,0,0; value="_qs,
    u"_button=2; vx=308; vy=36; align=left; fn1=b.bmp; fn2=b.bmp; fn3=b.bmp; go=findnext1; hint=Искать; wav=no"_qs,
    u"switchgrp=2; vx=16; vy=86; fn1=s.bmp; fn2=s.bmp; fn3=s.bmp; fn4=s.bmp"_qs,
    u"state=on; store=on; group=1; go=findtxtlimit; hint=p; wav=no"_qs,
    u"switchgrp=2; vx=141; vy=86; fn1=s.bmp; fn2=s.bmp; fn3=s.bmp; fn4=s.bmp"_qs,
    u"state=off; store=on; group=1; go=findtxtall; hint=i; wav=no"_qs,
    u"switchgrp=2; vx=266; vy=86; fn1=s.bmp; fn2=s.bmp; fn3=s.bmp; fn4=s.bmp"_qs,
    u"state=off; store=off; group=1; go=findtxtcontents; hint=t; wav=no"_qs,
    u"_picture=missing3.bmp"_qs, // the page number is the first number on the line
};

} // namespace

class TestCoolDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        ContainerWriter kel;
        kel.add(u"bg1.bmp"_qs, threeColourBackground());
        kel.add(u"bg2.bmp"_qs, threeColourBackground());
        kel.add(u"b.bmp"_qs, testBitmap({40, 20}, Qt::yellow));
        kel.add(u"s.bmp"_qs, testBitmap({100, 20}, Qt::gray));
        kel.write(m_dir.filePath("Kel.dhl"));
    }

    void init()
    {
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_dir.path()));
        m_context->container.Open(m_dir.filePath("Kel.dhl"));
        m_context->values.appTitle = QStringLiteral("Velbrook dialog test");
        m_context->openSettings();
    }

    void cleanup()
    {
        m_context->settings.remove(dialogSwitchKey(1, 0));
        m_context->settings.remove(dialogSwitchKey(1, 1));
    }

    void script_readsPagesInOrder()
    {
        const DialogScript script = readDialogScript(kScript, m_context->folders());
        QCOMPARE(script.pages.size(), 3);
        QCOMPARE(script.pages[0].buttons.size(), 3);
        QCOMPARE(script.pages[0].text.vw, 300);
        QCOMPARE(script.pages[1].switches.size(), 3);
        QCOMPARE(script.pages[1].switches[0].go, u"findtxtlimit"_qs);
        QVERIFY(script.pages[1].switches[0].store);
        QCOMPARE(script.pages[1].buttons[0].hint, u"Искать"_qs);
        QVERIFY(script.problems.isEmpty());
    }

    // A message wider than its box widens the page by exactly the overflow: the left half stays,
    // the middle column is stretched, the right half moves; buttons follow their alignment.
    void widening_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wider");
        QTest::newRow("short text: centred, no widening") << u"Да"_qs << false;
        QTest::newRow("long text: widened") << QString(40, u'Ж') << true;
    }

    void widening()
    {
        QFETCH(QString, text);
        QFETCH(bool, wider);
        TCoolDialog dialog(*m_context, readDialogScript(kScript, m_context->folders()), nullptr);
        QVERIFY(dialog.ShowDialogPage(TCoolDialog::kMessagePage, text));
        QFont font(u"dejavu sans"_qs);
        font.setPointSize(10);
        font.setBold(true);
        const int overflow = qMax(0, QFontMetrics(font).horizontalAdvance(text) - 200);
        QCOMPARE(overflow > 0, wider);
        QCOMPARE(dialog.extra(), overflow);
        const QImage& picture = dialog.pagePicture();
        QCOMPARE(picture.width(), kWidth + overflow);
        QCOMPARE(dialog.width(), kWidth + overflow);
        // Below the text: the background's columns.
        QCOMPARE(picture.pixelColor(kWidth / 2 - 1, 230), QColor(Qt::red));
        for (int x = kWidth / 2; x <= kWidth / 2 + overflow; ++x)
            QCOMPARE(picture.pixelColor(x, 230), QColor(Qt::blue));
        QCOMPARE(picture.pixelColor(kWidth / 2 + overflow + 1, 230), QColor(Qt::green));
        QCOMPARE(picture.pixelColor(kWidth + overflow - 1, 230), QColor(Qt::green));

        QCOMPARE(dialog.buttonRect(0), QRect(10, 150, 40, 20));
        QCOMPARE(dialog.buttonRect(1), QRect(180 + overflow / 2, 150, 40, 20));
        QCOMPARE(dialog.buttonRect(2), QRect(350 + overflow, 150, 40, 20));
        dialog.closeDialog();
    }

    // A script's box at the ends of the number range: the page is laid out at once, grows by no
    // more than the screen is wide, and its picture is as wide as the page.
    void hostileTextBox_staysWithinTheScreen_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("sums that overflow") << u"vx=2147483647; vy=20; vw=-2147483648"_qs;
        QTest::newRow("two billion columns to fill") << u"vx=100; vy=20; vw=-2000000000"_qs;
        QTest::newRow("a box wider than any screen") << u"vx=-2147483648; vy=-2147483648; vw=2147483647"_qs;
    }

    void hostileTextBox_staysWithinTheScreen()
    {
        QFETCH(QString, box);
        QStringList script = kScript;
        script[1] = u"_text=1; "_qs + box;
        TCoolDialog dialog(*m_context, readDialogScript(script, m_context->folders()), nullptr);
        QVERIFY(dialog.ShowDialogPage(TCoolDialog::kMessagePage, QString(80, u'Ж')));
        const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
        QVERIFY2(dialog.extra() >= 0 && dialog.extra() <= screenWidth, qPrintable(QString::number(dialog.extra())));
        QCOMPARE(dialog.pagePicture().width(), kWidth + dialog.extra());
        dialog.closeDialog();
    }

    void placeText_neverOverflows_data()
    {
        QTest::addColumn<int>("vx");
        QTest::addColumn<int>("vw");
        QTest::addColumn<int>("extra");
        QTest::newRow("an ordinary box, text too wide") << 100 << 300 << 100;
        QTest::newRow("an ordinary box, text fits") << 0 << 1000 << 0;
        QTest::newRow("the widest box the numbers allow") << INT_MIN << INT_MAX << 0;
        QTest::newRow("a box reversed end to end") << INT_MAX << INT_MIN << 500;
        QTest::newRow("a box two billion columns reversed") << 100 << -2000000000 << 500;
    }

    void placeText_neverOverflows()
    {
        QFETCH(int, vx);
        QFETCH(int, vw);
        QFETCH(int, extra);
        DialogText box;
        box.vx = vx;
        box.vy = 20;
        box.vw = vw;
        const TextPlacement placement = placeText(300, 16, box, 500);
        QCOMPARE(placement.extra, extra);
        QVERIFY(placement.clip.left() <= placement.clip.right() + 1);
        QVERIFY(qAbs(qint64(placement.clip.right())) <= 1 << 20 && qAbs(qint64(placement.at.x())) <= 1 << 20);
        QImage background(10, 10, QImage::Format_RGB32);
        background.fill(Qt::gray);
        const QImage wide = widenPicture(background, placement.extra);
        QCOMPARE(wide.width(), 10 + placement.extra);
    }

    void buttonOffset_byAlignment_data()
    {
        QTest::addColumn<QString>("align");
        QTest::addColumn<int>("offset");
        QTest::newRow("left") << u"left"_qs << 0;
        QTest::newRow("middle") << u"middle"_qs << 15;
        QTest::newRow("right") << u"right"_qs << 31;
        QTest::newRow("anything else: right") << u"centre"_qs << 31;
    }

    void buttonOffset_byAlignment()
    {
        QFETCH(QString, align);
        QFETCH(int, offset);
        QCOMPARE(buttonOffset(align, 31), offset);
    }

    // The find page is short while it lists nothing; results bring its whole height back.
    void findPage_heightFollowsTheResults()
    {
        TCoolDialog dialog(*m_context, readDialogScript(kScript, m_context->folders()), nullptr);
        QVERIFY(dialog.ShowDialogPage(TCoolDialog::kFindPage, QString()));
        QCOMPARE(dialog.fullHeight(), kHeight);
        QCOMPARE(dialog.height(), 115);
        dialog.ShowResults({u"/c/a.htm"_qs}, {u"Тормоза"_qs});
        QCOMPARE(dialog.height(), kHeight);
        QVERIFY(dialog.resultList());
        QCOMPARE(dialog.resultList()->count(), 1);
        dialog.ShowResults({}, {});
        QCOMPARE(dialog.height(), 115);
        QVERIFY(!dialog.resultList());
        dialog.closeDialog();
        QVERIFY(!dialog.isVisible());
    }

    void missingPage_showsNothing_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("picture not in the container") << 2;
        QTest::newRow("page not declared") << 7;
    }

    void missingPage_showsNothing()
    {
        QFETCH(int, page);
        TCoolDialog dialog(*m_context, readDialogScript(kScript, m_context->folders()), nullptr);
        QVERIFY(!dialog.ShowDialogPage(page, u"текст"_qs));
        QVERIFY(!dialog.isVisible());
    }

    // A click on an off switch turns the others of its group off and sets the search's mode; one
    // on a switch that is on changes nothing. Stored switches keep their state for the next run.
    void switches_groupModeAndStoredState()
    {
        {
            TCoolDialog dialog(*m_context, readDialogScript(kScript, m_context->folders()), nullptr);
            TFindTxtHtml search(*m_context, {}, &dialog, FindServices{});
            dialog.setSearch(&search);
            QVERIFY(dialog.ShowDialogPage(TCoolDialog::kFindPage, QString()));
            QVERIFY(!search.indexMode());
            QVERIFY(dialog.switchOn(0));
            QTRY_VERIFY(!dialog.isFading());

            QTest::mouseClick(&dialog, Qt::LeftButton, {}, dialog.switchRect(1).center());
            QVERIFY(!dialog.switchOn(0));
            QVERIFY(dialog.switchOn(1));
            QVERIFY(search.indexMode());

            QTest::mouseClick(&dialog, Qt::LeftButton, {}, dialog.switchRect(1).center());
            QVERIFY(dialog.switchOn(1));
            QVERIFY(search.indexMode());

            QTest::mouseClick(&dialog, Qt::LeftButton, {}, dialog.switchRect(2).center());
            QVERIFY(search.treeMode());
            QTest::mouseClick(&dialog, Qt::LeftButton, {}, dialog.switchRect(1).center());
            dialog.closeDialog();
            dialog.setSearch(nullptr);
        }
        TCoolDialog again(*m_context, readDialogScript(kScript, m_context->folders()), nullptr);
        QVERIFY(again.ShowDialogPage(TCoolDialog::kFindPage, QString()));
        QVERIFY(!again.switchOn(0));
        QVERIFY(again.switchOn(1));
        QVERIFY(!again.switchOn(2));
    }

    void switchKeys_neverShared_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::newRow("single digits as written") << 1 << 2 << u"SwGrpD12"_qs;
        QTest::newRow("page 1, switch 12") << 1 << 12 << u"SwGrpD1_12"_qs;
        QTest::newRow("page 11, switch 2") << 11 << 2 << u"SwGrpD11_2"_qs;
    }

    void switchKeys_neverShared()
    {
        QFETCH(int, page);
        QFETCH(int, index);
        QFETCH(QString, key);
        QCOMPARE(dialogSwitchKey(page, index), key);
    }

    void searchButton_hintFollowsTheSearch()
    {
        TCoolDialog dialog(*m_context, readDialogScript(kScript, m_context->folders()), nullptr);
        QVERIFY(dialog.ShowDialogPage(TCoolDialog::kFindPage, QString()));
        QCOMPARE(dialog.buttonHint(0), u"Искать"_qs);
        dialog.SetSearchHint(u"Остановить поиск"_qs);
        QCOMPARE(dialog.buttonHint(0), u"Остановить поиск"_qs);
        dialog.closeDialog();
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<AppContext> m_context;
};

QTEST_MAIN(TestCoolDialog)
#include "tst_cooldialog.moc"
