// The skinned window driven like a user drives it: pointer and keys on real widgets, under the
// offscreen platform, on a small skin made here.

#include "appcontext.h"
#include "hotarea.h"
#include "mainform.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "settingsstore.h"
#include "testfiles.h"
#include "testpictures.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Screen 1: five buttons (the first goes to screen 2), a single switch that remembers its state
// and two group switches. Screen 2: three buttons, the first goes back.
const QStringList kScript = {
    "title=окно для проверки",
    "_screen=fon1.bmp",
    "button 1 vx=10;vy=10;fn1=up.bmp;fn2=mv.bmp;fn3=dn.bmp;go=2;hint=Второй экран;wav=no",
    "button 1 vx=10;vy=60;fn1=up.bmp;fn2=mv.bmp;fn3=dn.bmp;go=html1=a.htm;hint=;wav=no",
    "button 1 vx=10;vy=110;fn1=up.bmp;fn2=mv.bmp;fn3=dn.bmp;go=tophtml;hint=;wav=no",
    "button 1 vx=10;vy=160;fn1=up.bmp;fn2=mv.bmp;fn3=dn.bmp;go=nextchapter;hint=;wav=no",
    "button 1 vx=10;vy=210;fn1=up.bmp;fn2=mv.bmp;fn3=dn.bmp;go=7;hint=;wav=no",
    "switchone 1 vx=200;vy=10;fn1=s1.bmp;fn2=s2.bmp;fn3=s3.bmp;fn4=s4.bmp;state=off;store=on",
    "goup=offtree;godown=ontree;hint=Дерево;wav=no",
    "switchgrp 1 vx=300;vy=10;fn1=s1.bmp;fn2=s2.bmp;fn3=s3.bmp;fn4=s4.bmp;state=on;store=on;group=1",
    "go=tree2;hint=;wav=no",
    "switchgrp 1 vx=300;vy=60;fn1=s1.bmp;fn2=s2.bmp;fn3=s3.bmp;fn4=s4.bmp;state=off;store=on;group=1",
    "go=tree1;hint=;wav=no",
    "_screen=fon2.bmp",
    "button 2 vx=10;vy=10;fn1=up.bmp;fn2=mv.bmp;fn3=dn.bmp;go=1;hint=Назад;wav=no",
    "button 2 vx=10;vy=60;fn1=up.bmp;fn2=mv.bmp;fn3=dn.bmp;go=tophtml;hint=;wav=no",
    "button 2 vx=10;vy=110;fn1=up.bmp;fn2=mv.bmp;fn3=dn.bmp;go=tophtml;hint=;wav=no",
};

// Records what the window asks of the contents trees and panes.
class RecordingTrees final : public TreesHooks
{
public:
    QStringList calls;
    void setPendingPage(const QString& page) override { calls << "pending " + page; }
    void showTreeForScreen() override {}
    void chooseTree(int n) override { calls << QStringLiteral("choose %1").arg(n); }
    void showTrees() override { calls << "show"; }
    void hideTrees() override { calls << "hide"; }
    void nextChapter() override { calls << "next"; }
    void prevChapter() override { calls << "prev"; }
    void syncTreeWithPage(const QString&) override {}
    bool secondTreeExists() const override { return false; }
    bool bothHidden() const override { return false; }
};

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("VELBROOK_AUDIO_OUTPUT", "null");
        QVERIFY(m_dir.isValid());
        ContainerWriter kel;
        kel.add("Struct.cfs", EncodeScript(kScript));
        kel.add("fon1.bmp", TestBitmap({400, 300}, Qt::darkGray));
        kel.add("fon2.bmp", TestBitmap({400, 300}, Qt::darkBlue));
        kel.add("up.bmp", TestBitmap({40, 30}, Qt::gray));
        kel.add("mv.bmp", TestBitmap({40, 30}, Qt::yellow));
        kel.add("dn.bmp", TestBitmap({40, 30}, Qt::red));
        for (int i = 1; i <= 4; ++i)
            kel.add(QStringLiteral("s%1.bmp").arg(i), TestBitmap({40, 30}, QColor(60 * i, 0, 0)));
        kel.write(m_dir.filePath("Kel.dhl"));
    }

    void init()
    {
        SettingsStore(QStringLiteral(u"Окно для проверки")).remove(QString());
        open();
    }

    void cleanup()
    {
        m_form.reset();
        m_script.reset();
        m_context.reset();
    }

    void clickOnScreenButton_changesScreenAndRebuildsHotAreas()
    {
        QCOMPARE(m_form->hotAreas().size(), 8); // 5 buttons, 1 single, 2 group switches
        click(QPoint(30, 25));
        QCOMPARE(m_form->currentScreen(), 1);
        QCOMPARE(m_form->hotAreas().size(), 3);
        QCOMPARE(m_form->hotAreas().first()->toolTip(), QStringLiteral(u"Назад"));
        click(QPoint(30, 25));
        QCOMPARE(m_form->currentScreen(), 0);
        QCOMPARE(m_form->hotAreas().size(), 8);
        QCOMPARE(m_form->hotAreas().first()->toolTip(), QStringLiteral(u"Второй экран"));
    }

    void hitTest_isStrict()
    {
        // The button spans 10..50 x 10..40: its border pixels do not count.
        for (QPoint edge : {QPoint(10, 25), QPoint(30, 10), QPoint(50, 25), QPoint(30, 40)}) {
            QTest::mousePress(m_form.get(), Qt::LeftButton, {}, edge);
            QTest::mouseRelease(m_form.get(), Qt::LeftButton, {}, edge);
            QCOMPARE(m_form->currentScreen(), 0);
        }
        click(QPoint(11, 11));
        QCOMPARE(m_form->currentScreen(), 1);
    }

    void commandToMissingScreen_doesNothing()
    {
        click(QPoint(30, 225)); // "7"
        QCOMPARE(m_form->currentScreen(), 0);
    }

    void singleSwitch_togglesAndShiftSkipsItsCommand()
    {
        click(QPoint(220, 25));
        QCOMPARE(m_trees.calls, QStringList{"show"});
        click(QPoint(220, 25));
        QCOMPARE(m_trees.calls, (QStringList{"show", "hide"}));
        click(QPoint(220, 25), Qt::ShiftModifier);
        QCOMPARE(m_trees.calls.size(), 2);
        QVERIFY(m_script->screens[0].switchone[0].state);
    }

    void groupSwitch_onlyTurnsOthersOff()
    {
        const auto& groups = m_script->screens[0].switchgrp;
        QCOMPARE(m_startCalls, (QStringList{"hide", "choose 1"}));
        click(QPoint(320, 25)); // already on: nothing
        QVERIFY(m_trees.calls.isEmpty());
        click(QPoint(320, 75));
        QVERIFY(!groups[0].state && groups[1].state);
        QCOMPARE(m_trees.calls, QStringList{"choose 2"}); // "tree1" shows the tree of tree2.cfs
    }

    void hoverPicture_fadesInAndRests()
    {
        QWidget* area = m_form->childAt(QPoint(30, 25));
        QTest::mouseMove(area, QPoint(20, 15));
        QTRY_COMPARE_WITH_TIMEOUT(m_form->grab().toImage().pixelColor(30, 25), QColor(Qt::yellow), 5000);
        QTest::mouseMove(m_form.get(), QPoint(150, 250));
        QTRY_COMPARE_WITH_TIMEOUT(m_form->grab().toImage().pixelColor(30, 25), QColor(Qt::gray), 5000);
    }

    void pressMoveOutAndBack_runsNoCommand()
    {
        QWidget* area = m_form->childAt(QPoint(30, 25));
        QTest::mouseMove(area, QPoint(20, 15));
        QTest::mousePress(area, Qt::LeftButton, {}, QPoint(20, 15));
        QTest::mouseMove(m_form.get(), QPoint(150, 250)); // leaving clears the pressed flag
        QTest::mouseMove(area, QPoint(20, 15));
        QTest::mouseRelease(area, Qt::LeftButton, {}, QPoint(20, 15));
        QCOMPARE(m_form->currentScreen(), 0);
    }

    void switchStates_surviveARestart()
    {
        click(QPoint(220, 25));
        click(QPoint(320, 75));
        m_form->shutdown();
        cleanup();
        open();
        QVERIFY(m_script->screens[0].switchone[0].state);
        QVERIFY(!m_script->screens[0].switchgrp[0].state);
        QVERIFY(m_script->screens[0].switchgrp[1].state);
        // The start runs the commands of the restored switches.
        QCOMPARE(m_startCalls, (QStringList{"show", "choose 2"}));
    }

    void screenCommandWithPage_givesTheTreeItsPendingPage()
    {
        m_form->RunCommand(QStringLiteral("screen2=glava1.htm"), QString(), true);
        QCOMPARE(m_form->currentScreen(), 1);
        QCOMPARE(m_trees.calls.first(), QStringLiteral("pending ") + m_context->values.programDir + "glava1.htm");
    }

    void exitCommand_runsTheClosingEffectBeforeTheEnd()
    {
        QSignalSpy finished(m_form.get(), &TMainForm::closingFinished);
        click(QPoint(30, 25)); // to screen 2, where nothing is "exit"; the command comes directly
        m_form->RunCommand(QStringLiteral("exit"), QStringLiteral("sounds\\exit.wav"), false, CommandSource::Button, 0);
        QVERIFY(m_form->isVisible());
        QVERIFY(m_form->effectRunning());
        QCOMPARE(m_form->exitButtonIndex(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QVERIFY(!m_form->isVisible());
    }

    void busyFlag_ignoresCommands()
    {
        m_context->busy = true;
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        QCOMPARE(m_form->currentScreen(), 0);
    }

private:
    void open()
    {
        m_context = std::make_unique<AppContext>(StartupValues::ForContentFolder(m_dir.path()));
        m_context->container.Open(m_dir.filePath("Kel.dhl"));
        m_script = std::make_unique<SkinScript>(m_context->folders());
        m_script->read(DecodeScript(*m_context->container.Read("Struct.cfs"), true));
        m_context->values.appTitle = m_script->header.title;
        m_context->userSettings = UserSettings::Load(m_context->openSettings(), false);
        m_trees.calls.clear();
        m_form = std::make_unique<TMainForm>(*m_context, *m_script);
        m_form->components().trees = &m_trees;
        m_form->buildFirstScreen();
        m_startCalls = m_trees.calls;
        m_trees.calls.clear();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    // A click where a user would click: on the hot area under the point, if there is one.
    void click(QPoint at, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget* target = m_form->childAt(at);
        if (!target)
            target = m_form.get();
        const QPoint local = target->mapFrom(m_form.get(), at);
        QTest::mouseMove(target, local);
        QTest::mousePress(target, Qt::LeftButton, modifiers, local);
        QTest::mouseRelease(target, Qt::LeftButton, modifiers, local);
    }

    QTemporaryDir m_dir;
    RecordingTrees m_trees;
    QStringList m_startCalls; // what the switch commands of screen 1 asked at start
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<SkinScript> m_script;
    std::unique_ptr<TMainForm> m_form;
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
