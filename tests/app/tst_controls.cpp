// The controls of the demo's skinned window that open a window, search or show a state, driven
// through the window as the program builds it (SkinnedProgram, the path main() takes): «Настройки»
// from the start screen and from the Справочник screen, «Справка» and F1 on every screen, page
// search in the frame its element names, a word looked up in the thesaurus window, the music
// button's state, no button left lit once the pointer went over to the window it opened, and the window
// following the pointer only while its button is held.

#include "appcomponents.h"
#include "appcontext.h"
#include "engineparts.h"
#include "findtxthtml.h"
#include "hotarea.h"
#include "htmlframe.h"
#include "lazypanes.h"
#include "mainform.h"
#include "mediacontroller.h"
#include "pagescript.h"
#include "screenids.h"
#include "scriptcodec.h"
#include "searchcomponents.h"
#include "settingsstore.h"
#include "skinnedprogram.h"
#include "skinscript.h"
#include "statusline.h"
#include "textscontroller.h"
#include "usersettings.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

namespace {

const QString kDemo = QStringLiteral(VELBROOK_DEMO_DIR);
constexpr int kLoadWaitMs = 30000;

// The demo's content with the script read from it, in a run mode, as start-up reads them.
struct Title
{
    std::unique_ptr<AppContext> context;
    std::unique_ptr<SkinScript> script;
    std::unique_ptr<SkinnedProgram> program;

    Title(RunMode mode, const QString& scriptName)
    {
        context = std::make_unique<AppContext>(StartupValues::forContentFolder(kDemo));
        const QString root = context->values.programDir;
        context->pack.OpenPack(root + "interface.dat");
        context->pack.SetPackBase(context->values.contentDir);
        context->container.Open(root + "Kel.dhl");
        context->setRunMode(mode);
        const QStringList lines = DecodeScript(*context->container.Read(scriptName), true);
        if (mode == RunMode::Thesaurus) {
            script = std::make_unique<SkinScript>(context->folders(), SkinScript::Variant::Thesaurus);
            script->read(lines);
            context->values.appTitle = QStringLiteral("controls test thesaurus");
        } else {
            script = std::make_unique<SkinScript>(context->folders());
            script->readHeader(lines);
            context->values.appTitle = script->header.title + QStringLiteral(" controls test");
            script->readElements(lines);
            context->userSettings = UserSettings::Load(context->openSettings(), !script->image.isEmpty());
        }
        // The thesaurus copy is started with its start page, which its pane shows.
        if (mode == RunMode::Thesaurus) {
            for (RHTML& pane : script->html)
                pane.fn = root + QStringLiteral("tezaurus/index.htm");
        }
        program = std::make_unique<SkinnedProgram>(*context, *script, staticEngineParts);
        program->form().buildFirstScreen();
        program->components().ShowFieldsForScreen();
        program->form().show();
    }

    TMainForm& form() { return program->form(); }
    THtmlFrame* panes() { return dynamic_cast<THtmlFrame*>(program->components().panes()->made()); }
    QString status() { return program->components().texts().statusLine().message(); }
};

QImage rgb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_runtime.isValid());
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        qputenv("VELBROOK_AUDIO_OUTPUT", "null");
        QVERIFY2(QFileInfo::exists(kDemo + "/Kel.dhl"), "the demo manual has not been built");
        m_title = std::make_unique<Title>(RunMode::Skinned, QStringLiteral("Struct.cfs"));
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        form().desktopServices().startProgram = [this](const QString& program, const QStringList& arguments,
                                                       const QString&) {
            m_started.append(QStringList{program} + arguments);
            return true;
        };
    }

    // «Настройки» opens the options dialog from the gear of the start screen and from the
    // Справочник screen, time after time.
    void options_openFromBothScreens_data()
    {
        QTest::addColumn<int>("screen");
        QTest::newRow("start screen") << kStartScreen;
        QTest::newRow("Справочник") << 3;
    }
    void options_openFromBothScreens()
    {
        QFETCH(int, screen);
        showScreen(screen);
        const QRect button = buttonRect(QStringLiteral("options"));
        for (int round = 0; round < 3; ++round) {
            clickAt(button.center());
            QDialog* options = nullptr;
            QTRY_VERIFY((options = optionsDialog()) != nullptr);
            QTRY_VERIFY(options->isVisible());
            options->reject();
            QTRY_VERIFY(!options->isVisible());
        }
    }

    // «Справка» opens the help in a window of another program, which comes up under the pointer:
    // the window hears only that the pointer left it, and its button is no longer lit, neither
    // then nor when the help closes.
    void aButton_isNotLitOnceThePointerLeftTheWindow()
    {
        showScreen(3);
        m_started.clear();
        const QRect button = buttonRect(QStringLiteral("help"));
        const auto lit = [&] {
            return rgb(form().grab(button).toImage()) != rgb(form().composedBackground().copy(button));
        };
        clickAt(button.center());
        QCOMPARE(m_started.size(), 1);
        QTRY_VERIFY(lit());
        QEvent left(QEvent::Leave);
        QApplication::sendEvent(form().windowHandle(), &left);
        QTRY_VERIFY(!lit());
    }

    // «Справка» and F1 open the help copy: at the screen's topic, or at the top of the help page
    // on a screen without a topic of its own.
    void help_opensOnEveryScreen_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<bool>("key");
        QTest::addColumn<QString>("target");
        QTest::newRow("start screen, its button") << kStartScreen << false << u"dop/pomosh.htm#topic12"_qs;
        QTest::newRow("start screen, F1") << kStartScreen << true << u"dop/pomosh.htm#topic12"_qs;
        QTest::newRow("media screen, F1") << 2 << true << u"dop/pomosh.htm"_qs;
        QTest::newRow("Справочник, its button") << 3 << false << u"dop/pomosh.htm"_qs;
        QTest::newRow("Справочник, F1") << 3 << true << u"dop/pomosh.htm"_qs;
    }
    void help_opensOnEveryScreen()
    {
        QFETCH(int, screen);
        QFETCH(bool, key);
        QFETCH(QString, target);
        showScreen(screen);
        m_started.clear();
        if (key)
            QTest::keyClick(&form(), Qt::Key_F1);
        else
            clickAt(buttonRect(QStringLiteral("help")).center());
        QCOMPARE(m_started.size(), 1);
        const QString programDir = m_title->context->values.programDir;
        QCOMPARE(m_started[0].mid(1), (QStringList{"--content", programDir, programDir + target, "/h"}));
    }

    // The reading screen's find element names the frame "main": in a frame set the search looks
    // there alone, not in the contents frame beside it.
    void pageSearch_searchesTheFrameItsElementNames()
    {
        showScreen(kReadingScreen);
        form().RunCommand(QStringLiteral("html1=frames\\index.htm"), QString(), true);
        QTRY_VERIFY_WITH_TIMEOUT(m_title->panes() && m_title->panes()->currentFile().endsWith("frames/index.htm"),
                                 kLoadWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate("[window.frames['main'], window.frames['menu']].map((f) =>"
                                           " f.location.pathname.split('/').pop() + ' ' + f.document.readyState)"
                                           ".join(', ')")
                                      .toString(),
                                  u"pamyatka1.htm complete, menu.htm complete"_qs, kLoadWaitMs);
        form().RunCommand(QStringLiteral("findnext1"), QString(), true);
        QLineEdit* box = m_title->program->search().search()->box(0);
        QVERIFY(box);

        // In both frames; the contents frame comes first.
        find(box, u"Дальней поездкой"_qs);
        QCOMPARE(m_title->status(), QString());
        QCOMPARE(evaluate("window.frames['main'].getSelection().toString()").toString(), u"дальней поездкой"_qs);
        QCOMPARE(evaluate("window.frames['menu'].getSelection().toString()").toString(), QString());
        // In the contents frame only.
        find(box, u"правой рамке"_qs);
        QCOMPARE(m_title->status(), u"Текст не найден"_qs);
        QCOMPARE(evaluate("window.frames['menu'].getSelection().toString()").toString(), QString());
        m_title->program->search().closeDialog();
    }

    // The music buttons rest on their down picture while the music is on, on their up picture
    // while it is off.
    void musicButton_showsWhetherMusicIsOn()
    {
        showScreen(kStartScreen);
        const QRect button = buttonRect(QStringLiteral("bgsound"));
        const auto shown = [&] { return rgb(form().grab(button).toImage()); };
        const QImage off = rgb(form().composedBackground().copy(button));
        UserSettings& settings = m_title->context->userSettings;
        if (settings.bgSound)
            form().RunCommand(QStringLiteral("bgsound"), QString(), true, CommandSource::Button,
                              buttonIndex("bgsound"));
        QVERIFY(!settings.bgSound);
        QTRY_COMPARE(shown(), off);
        form().RunCommand(QStringLiteral("bgsound"), QString(), true, CommandSource::Button, buttonIndex("bgsound"));
        QVERIFY(settings.bgSound);
        QTRY_VERIFY(shown() != off);
        form().RunCommand(QStringLiteral("bgsound"), QString(), true, CommandSource::Button, buttonIndex("bgsound"));
        QVERIFY(!settings.bgSound);
        QTRY_COMPARE(shown(), off);
    }

    // A press on no element lets the window follow the pointer while the button is held: the
    // release ends it, and so does a move with the button up (its release went elsewhere) and
    // another window taking the focus.
    void window_followsThePointerOnlyWhileItsButtonIsHeld()
    {
        showScreen(kStartScreen);
        const QPoint empty(300, 60);
        for (QWidget* area : form().hotAreas())
            QVERIFY(!area->isVisible() || !area->geometry().contains(empty));
        const QPoint start = form().pos();

        QTest::mousePress(&form(), Qt::LeftButton, {}, empty);
        QVERIFY(form().dragging());
        QPoint global = form().mapToGlobal(empty);
        moveTo(global += QPoint(40, 25), Qt::LeftButton);
        QCOMPARE(form().pos(), start + QPoint(40, 25));
        QTest::mouseRelease(&form(), Qt::LeftButton, {}, form().mapFromGlobal(global));
        QVERIFY(!form().dragging());
        moveTo(global + QPoint(30, 30), Qt::NoButton);
        QCOMPARE(form().pos(), start + QPoint(40, 25));

        // The release never came.
        QTest::mousePress(&form(), Qt::LeftButton, {}, empty);
        moveTo(form().mapToGlobal(empty) + QPoint(10, 10), Qt::NoButton);
        QVERIFY(!form().dragging());
        QCOMPARE(form().pos(), start + QPoint(40, 25));
        QTest::mouseRelease(&form(), Qt::LeftButton, {}, empty);

        // Another window took the focus.
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        QTest::mousePress(&form(), Qt::LeftButton, {}, empty);
        QVERIFY(form().dragging());
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_VERIFY(!form().isActiveWindow());
        QVERIFY(!form().dragging());
        QTest::mouseRelease(&form(), Qt::LeftButton, {}, empty);
        form().move(start);
    }

    // The thesaurus window: a word that its page does not hold opens its article from
    // tezaurus.idx, with the headword selected.
    void thesaurusWindow_opensTheArticleOfAWord()
    {
        Title thesaurus(RunMode::Thesaurus, QStringLiteral("Tesaurus.cfs"));
        QTRY_VERIFY_WITH_TIMEOUT(thesaurus.panes() && thesaurus.panes()->currentFile().endsWith("tezaurus/index.htm") &&
                                     !thesaurus.panes()->isLoading(),
                                 kLoadWaitMs);
        QLineEdit* box = thesaurus.program->search().search()->box(0);
        QVERIFY(box && box->isVisible());
        box->setText(u"жиклёр"_qs);
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(thesaurus.panes()->currentFile().endsWith("tezaurus/toplivo.htm"), kLoadWaitMs);
        QWebEnginePage& page = *thesaurus.panes()->currentView()->page();
        QTRY_COMPARE_WITH_TIMEOUT(runPageScript(page, "window.getSelection().toString()").toString(), u"Карбюратор"_qs,
                                  10000);
        QTRY_VERIFY(!thesaurus.program->search().search()->isRunning());
        QCOMPARE(thesaurus.status(), QString());

        // Enter again finds the word in the article shown; the article is not opened anew.
        runPageScript(page, "window.__sameArticle = true");
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY(!thesaurus.program->search().search()->isRunning());
        QCOMPARE(runPageScript(page, "window.__sameArticle === true").toBool(), true);
        QCOMPARE(thesaurus.status(), QString());
    }

    void cleanupTestCase()
    {
        if (m_title) {
            m_title->program->components().media().stopAtEnd();
            m_title->program.reset();
            m_title->context->settings.close();
        }
    }

private:
    TMainForm& form() { return m_title->form(); }

    void showScreen(int screen)
    {
        if (form().currentScreen() != screen)
            form().RunCommand(QString::number(screen + 1), QString(), true);
        QCOMPARE(form().currentScreen(), screen);
    }

    int buttonIndex(const char* command)
    {
        const TDynamicBtnArray& buttons = m_title->script->screens[form().currentScreen()].buttons;
        for (int i = 0; i < buttons.size(); ++i) {
            if (buttons[i].go.compare(QLatin1String(command), Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }

    QRect buttonRect(const QString& command)
    {
        const int index = buttonIndex(command.toLatin1().constData());
        if (index < 0)
            return QRect();
        const RBtn& b = m_title->script->screens[form().currentScreen()].buttons[index];
        return QRect(QPoint(b.vx, b.vy), QPoint(b.right - 1, b.bottom - 1));
    }

    // A click of the window's element under point, through its hot area, with the pointer
    // brought there first.
    void clickAt(QPoint point)
    {
        for (QWidget* area : form().hotAreas()) {
            if (area->isVisible() && area->geometry().contains(point)) {
                QTest::mouseMove(area, point - area->pos());
                QTest::mouseClick(area, Qt::LeftButton, {}, point - area->pos());
                return;
            }
        }
        QFAIL("no element there");
    }

    // The pointer moved to a point of the screen with the buttons given held.
    void moveTo(QPoint global, Qt::MouseButtons buttons)
    {
        const QPointF local = form().mapFromGlobal(global);
        QMouseEvent move(QEvent::MouseMove, local, local, global, Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&form(), &move);
    }

    QDialog* optionsDialog() const
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->windowTitle() == u"Настройки"_qs)
                return dialog;
        }
        return nullptr;
    }

    // Types the text into the find box and presses Enter, as the reader does.
    void find(QLineEdit* box, const QString& text)
    {
        box->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_VERIFY(!m_title->program->search().search()->isRunning());
    }

    QVariant evaluate(const char* script)
    {
        return runPageScript(*m_title->panes()->currentView()->page(), QString::fromUtf8(script));
    }

    QTemporaryDir m_runtime;
    std::unique_ptr<Title> m_title;
    QList<QStringList> m_started;
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
