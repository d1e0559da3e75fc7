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

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

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
    void ShowTreeForScreen() override {}
    void chooseTree(int n) override { calls << QStringLiteral("choose %1").arg(n); }
    void showTrees() override { calls << "show"; }
    void hideTrees() override { calls << "hide"; }
    void NextChapter() override { calls << "next"; }
    void PrevChapter() override { calls << "prev"; }
    void SyncTreeWithPage(const QString&) override {}
    bool secondTreeExists() const override { return false; }
    bool bothHidden() const override { return false; }
};

// Records what the window asks of the panes.
class RecordingPanes final : public HtmlPanesHooks
{
public:
    QStringList calls;
    void ShowHtmlElement(int number, const QString& page) override
    {
        calls << QStringLiteral("html%1 %2").arg(number).arg(page);
    }
    void ShowScreenPane() override {}
    void ShowPage(const QString& file) override { calls << "show " + file; }
    QString currentFile() const override { return {}; }
    void ScrollToTop() override { calls << "top"; }
    void selectAll() override { calls << "select all"; }
    void printCurrentPage() override { calls << "print"; }
    void CopyPageFiles() override {}
    bool archiveMode() const override { return false; }
    void setArchiveMode(bool) override {}
    void saveSettings() override { calls << "save settings"; }
    void setTreeWidth(int) override {}
    bool currentVisible() const override { return true; }
    QStringList historyFiles() const override { return {}; }
    QStringList historyTitles() const override { return {}; }
    int historyIndex() const override { return 0; }
    void SetHistoryIndex(int index) override { calls << QStringLiteral("history %1").arg(index); }
    QString currentTitle() const override { return {}; }
    int scrollPosition() const override { return 0; }
    void setScrollPosition(int) override {}
    void copySelection() override {}
    bool isLoading() const override { return false; }
    void AddSection(const QString& page) override { calls << "section " + page; }
    QString GoBackPage() override { return {}; }
    QString GoForwardPage() override { return {}; }
    void FillClient() override { calls << "fill"; }
    void RestoreBounds() override { calls << "restore"; }
    void findText(const QString&, bool, std::function<void(int, int)> done) override { done(0, 0); }
};

// Records the status lines the window shows.
class RecordingMisc final : public MiscHooks
{
public:
    QStringList status;
    void ShowArchive(const QString&) override {}
    void ExtractArchive() override {}
    void InstallFonts() override {}
    void thesaurus() override {}
    void HideFields(bool hide) override { status << (hide ? "fields hidden" : "fields shown"); }
    void ShowFieldsForScreen() override {}
    void PaintTexts(QPainter&) override {}
    void showStatus(const QString& text) override { status << text; }
};

// A control that can hold the focus, and the keys that reached it.
class KeyTaker final : public QWidget
{
public:
    explicit KeyTaker(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys << event->key(); }
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
        QVERIFY(m_dir.isValid() && m_runtime.isValid());
        // The closing effect asks other windows of the program to close: only this test's own.
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        ContainerWriter kel;
        kel.add("Struct.cfs", encodeScript(kScript));
        kel.add("fon1.bmp", testBitmap({400, 300}, Qt::darkGray));
        kel.add("fon2.bmp", testBitmap({400, 300}, Qt::darkBlue));
        kel.add("up.bmp", testBitmap({40, 30}, Qt::gray));
        kel.add("mv.bmp", testBitmap({40, 30}, Qt::yellow));
        kel.add("dn.bmp", testBitmap({40, 30}, Qt::red));
        for (int i = 1; i <= 4; ++i)
            kel.add(QStringLiteral("s%1.bmp").arg(i), testBitmap({40, 30}, QColor(60 * i, 0, 0)));
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
        RecordingPanes panes;
        m_form->components().panes = &panes;
        m_form->shutdown();
        m_form->components().panes = nullptr;
        QVERIFY(panes.calls.contains("save settings")); // the panes' fonts are kept at the ordered end
        cleanup();
        open();
        QVERIFY(m_script->screens[0].switchone[0].state);
        QVERIFY(!m_script->screens[0].switchgrp[0].state);
        QVERIFY(m_script->screens[0].switchgrp[1].state);
        // The start runs the commands of the restored switches.
        QCOMPARE(m_startCalls, (QStringList{"show", "choose 2"}));
    }

    // "standartwin" and the toolbar's "Свернуть", twice: the pane fills the window and goes back,
    // the fields hide and return, the skin's buttons are out of the way and come back, and the
    // window takes its skin's size again.
    void plainWindow_entersAndReturnsToTheSkin()
    {
        RecordingPanes panes;
        RecordingMisc misc;
        m_form->components().panes = &panes;
        m_form->components().misc = &misc;
        const QSize skinSize = m_form->size();
        const int areas = m_form->hotAreas().size();
        for (int round = 0; round < 2; ++round) {
            m_form->RunCommand(QStringLiteral("standartwin"), QString(), true);
            QVERIFY(m_form->isStandardWindow());
            auto* toolbar = m_form->findChild<QToolBar*>();
            QVERIFY(toolbar && toolbar->isVisible());
            QStringList captions;
            for (QAction* action : toolbar->actions())
                captions << action->text();
            QCOMPARE(captions, (QStringList{QStringLiteral(u"Печать"), QStringLiteral(u"Свернуть")}));
            for (HotArea* area : m_form->hotAreas())
                QVERIFY(!area->isVisible());
            QCOMPARE(m_form->contentsRect().top(), toolbar->height());

            toolbar->actions().at(1)->trigger();
            QVERIFY(!m_form->isStandardWindow());
            QVERIFY(!toolbar->isVisible());
            QCOMPARE(m_form->size(), skinSize);
            QCOMPARE(m_form->contentsRect(), m_form->rect());
            QCOMPARE(m_form->hotAreas().size(), areas);
            for (HotArea* area : m_form->hotAreas())
                QVERIFY(area->isVisible());
        }
        QCOMPARE(panes.calls.filter(QRegularExpression("^(fill|restore)$")),
                 (QStringList{"fill", "restore", "fill", "restore"}));
        QCOMPARE(misc.status, (QStringList{"fields hidden", "fields shown", "fields hidden", "fields shown"}));
        m_form->components().panes = nullptr;
        m_form->components().misc = nullptr;
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

    void keys_reachTheWindowBeforeTheFocusedControl_data()
    {
        QTest::addColumn<QString>("target"); // where the focus is: a control, a text field, the window
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("controlGetsKey");
        const int shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier, none = Qt::NoModifier;
        QTest::newRow("shift+down in a control steps chapters")
            << "control" << int(Qt::Key_Down) << shift << QStringList{"next"} << false;
        QTest::newRow("shift+up in a control steps chapters")
            << "control" << int(Qt::Key_Up) << shift << QStringList{"prev"} << false;
        QTest::newRow("ctrl+a in a control selects the page")
            << "control" << int(Qt::Key_A) << ctrl << QStringList{"select all"} << false;
        QTest::newRow("ctrl+p in a control prints")
            << "control" << int(Qt::Key_P) << ctrl << QStringList{"print"} << false;
        QTest::newRow("a plain arrow stays the control's")
            << "control" << int(Qt::Key_Down) << none << QStringList{} << true;
        QTest::newRow("ctrl+shift+down is not a chapter step")
            << "control" << int(Qt::Key_Down) << (shift | ctrl) << QStringList{} << true;
        QTest::newRow("a text field keeps its capitals") << "field" << int(Qt::Key_T) << shift << QStringList{} << true;
        QTest::newRow("a text field keeps ctrl+a") << "field" << int(Qt::Key_A) << ctrl << QStringList{} << true;
        QTest::newRow("the window itself") << "window" << int(Qt::Key_Down) << shift << QStringList{"next"} << false;
    }

    void keys_reachTheWindowBeforeTheFocusedControl()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QStringList, calls);
        QFETCH(bool, controlGetsKey);
        RecordingPanes panes;
        m_form->components().panes = &panes;
        click(QPoint(30, 25)); // the keys act on the reading screen
        QCOMPARE(m_form->currentScreen(), 1);
        m_trees.calls.clear();

        auto* control = new KeyTaker(m_form.get());
        auto* field = new QLineEdit(m_form.get());
        QWidget* focus = target == "control" ? static_cast<QWidget*>(control)
                         : target == "field" ? static_cast<QWidget*>(field)
                                             : m_form.get();
        QTest::keyClick(focus, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_trees.calls + panes.calls, calls);
        if (target == "control")
            QCOMPARE(control->keys.contains(key), controlGetsKey);
        if (target == "field" && key == Qt::Key_T)
            QCOMPARE(field->text().toUpper(), QStringLiteral("T"));
        m_form->components().panes = nullptr;
        delete control;
        delete field;
    }

    // Part of the ordered end: once the window has shut down, the components go while it lives on,
    // and it no longer looks at their events (keys included).
    void shutdown_stopsLookingAtOtherWidgetsEvents()
    {
        RecordingPanes panes;
        m_form->components().panes = &panes;
        click(QPoint(30, 25));
        QCOMPARE(m_form->currentScreen(), 1);
        m_trees.calls.clear();
        auto* control = new KeyTaker(m_form.get());
        QTest::keyClick(control, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(m_trees.calls, QStringList{"next"});
        m_trees.calls.clear();

        m_form->shutdown();
        QTest::keyClick(control, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(m_trees.calls, QStringList());
        QVERIFY(control->keys.contains(Qt::Key_Down));
        m_form->components().panes = nullptr;
        delete control;
    }

    void closeRequestDuringTheClosingEffect_isRefused()
    {
        QSignalSpy finished(m_form.get(), &TMainForm::closingFinished);
        QVERIFY(!m_form->close()); // the first request starts the effect
        QVERIFY(m_form->effectRunning());
        for (int i = 0; i < 5; ++i)
            QVERIFY(!m_form->close());
        QVERIFY(m_form->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QVERIFY(!m_form->isVisible());
    }

    void droppedFile_opensByItsWholeName()
    {
        RecordingPanes panes;
        m_form->components().panes = &panes;
        // The kind is told from the start of the name; the whole name is opened.
        const QString file = QDir::tempPath() + "/manual.htm.d/" + QString(200, QLatin1Char('x')) + "/page.bak";
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_form.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_form.get(), &drop);
        QCOMPARE(panes.calls, QStringList{"show " + file});
        m_form->components().panes = nullptr;
    }

    void runCommand_startsProgramsOnlyAndOpensTheRest_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a document with the execute bit opens") << "run=docs\\manual.pdf"
                                                               << "open docs/manual.pdf";
#ifdef Q_OS_WIN
        QTest::newRow("a Windows program starts") << "run=soft\\setup.exe=/s"
                                                  << "start soft/setup.exe /s";
#else
        QTest::newRow("a Windows program goes to the desktop's handler") << "run=soft\\setup.exe=/s"
                                                                         << "open soft/setup.exe";
#endif
        QTest::newRow("a program of this system starts") << "run=soft/tool=-v"
                                                         << "start soft/tool -v";
        QTest::newRow("a script without the execute bit starts through the shell") << "run=soft/install.sh"
                                                                                   << "start /bin/sh soft/install.sh";
        QTest::newRow("a #! text without the execute bit opens") << "run=soft/notes"
                                                                 << "open soft/notes";
        QTest::newRow("an empty run does nothing") << "run="
                                                   << "";
        QTest::newRow("a web address goes to the browser") << "run=http://example.org/a?b=c"
                                                           << "open http://example.org/a?b=c";
        QTest::newRow("a missing file is reported") << "run=soft/none.exe" << u"status Файл не найден: none.exe"_qs;
    }

    void runCommand_startsProgramsOnlyAndOpensTheRest()
    {
        QFETCH(QString, command);
        QFETCH(QString, expected);
        const QString dir = m_context->values.programDir;
        QDir(dir).mkpath("docs");
        QDir(dir).mkpath("soft");
        writeTestFile(dir + "docs/manual.pdf", "%PDF-1.4");
        writeTestFile(dir + "soft/setup.exe", "MZ");
        writeTestFile(dir + "soft/tool", "#!/bin/sh\necho\n");
        writeTestFile(dir + "soft/install.sh", "echo\n");
        writeTestFile(dir + "soft/notes", "#! not a program\n");
        for (const QString name : {"docs/manual.pdf", "soft/tool"})
            QFile::setPermissions(dir + name, QFile::permissions(dir + name) | QFile::ExeOwner);

        RecordingMisc misc;
        m_form->components().misc = &misc;
        QStringList actions;
        m_form->desktopServices().openUrl = [&](const QUrl& url) {
            actions << "open " + (url.isLocalFile() ? url.toLocalFile().mid(dir.size()) : url.toString());
            return true;
        };
        m_form->desktopServices().startProgram = [&](const QString& program, const QStringList& arguments,
                                                     const QString& folder) {
            QStringList shown{program.startsWith(dir) ? program.mid(dir.size()) : program};
            for (const QString& argument : arguments)
                shown << (argument.startsWith(dir) ? argument.mid(dir.size()) : argument);
            actions << "start " + shown.join(' ');
            return QFileInfo(folder).isDir();
        };
        const QString before = QDir::currentPath();
        m_form->RunCommand(command, QString(), true);
        QCOMPARE(QDir::currentPath(), before); // the reader's own folder stays
        for (const QString& status : std::as_const(misc.status))
            actions << "status " + status;
        QCOMPARE(actions, expected.isEmpty() ? QStringList() : QStringList{expected});
        m_form->components().misc = nullptr;
    }

private:
    void open()
    {
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_dir.path()));
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
    QTemporaryDir m_runtime;
    RecordingTrees m_trees;
    QStringList m_startCalls; // what the switch commands of screen 1 asked at start
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<SkinScript> m_script;
    std::unique_ptr<TMainForm> m_form;
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
