// Every command of the demo's scripts, driven through the window as the program builds it
// (SkinnedProgram, the path main() takes), each by the control that carries it: the buttons and
// switches of every screen, the popup lists' items, the window's keys, the skinned dialog's buttons
// and switches, the about window's buttons and links, the thesaurus window's buttons. The commands
// are collected from the scripts by the program's own readers; each one is looked up in a table of
// command -> what the reader sees, which says how to check it. A command of the demo without a row
// fails its row, naming it; a command that cannot be run in a test has a row that says why.

#include "aboutbox.h"
#include "appcomponents.h"
#include "appcontext.h"
#include "commandmatch.h"
#include "controlpopupwindow.h"
#include "cooldialog.h"
#include "dialogscript.h"
#include "engineparts.h"
#include "findtxthtml.h"
#include "hotarea.h"
#include "htmlfavorite.h"
#include "htmlframe.h"
#include "lazypanes.h"
#include "mainform.h"
#include "mediacontroller.h"
#include "modalwatch.h"
#include "pagescript.h"
#include "pathinputbox.h"
#include "popupwindow.h"
#include "programenv.h"
#include "screenids.h"
#include "scriptcodec.h"
#include "scriptpaths.h"
#include "searchcomponents.h"
#include "settingskeys.h"
#include "settingsstore.h"
#include "shortcuts.h"
#include "skinnedprogram.h"
#include "skinscript.h"
#include "statusline.h"
#include "textscontroller.h"
#include "tfontform.h"
#include "tmplayer.h"
#include "tmyaviplayer.h"
#include "tpreviewform.h"
#include "treescontroller.h"
#include "tslideimage.h"
#include "tsound.h"
#include "tunrar.h"
#include "usersettings.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

const QString kDemo = QStringLiteral(VELBROOK_DEMO_DIR);
constexpr int kLoadWaitMs = 30000;

// The demo's content with a script read from it, in a run mode, built as start-up builds it.
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
            context->values.appTitle = QStringLiteral("command walk thesaurus");
            // The thesaurus copy is started with its start page, which its pane shows.
            for (RHTML& pane : script->html)
                pane.fn = root + QStringLiteral("tezaurus/index.htm");
        } else {
            script = std::make_unique<SkinScript>(context->folders());
            script->readHeader(lines);
            context->values.appTitle = script->header.title + QStringLiteral(" command walk");
            script->readElements(lines);
            context->userSettings = UserSettings::Load(context->openSettings(), !script->image.isEmpty());
        }
        program = std::make_unique<SkinnedProgram>(*context, *script, staticEngineParts);
        program->form().buildFirstScreen();
        program->components().ShowFieldsForScreen();
        program->form().show();
    }
    ~Title()
    {
        program->components().media().stopAtEnd();
        program->form().shutdown();
        program.reset();
        context->settings.close();
    }

    TMainForm& form() { return program->form(); }
    THtmlFrame* panes() { return dynamic_cast<THtmlFrame*>(program->components().panes()->made()); }
};

// Which window a command belongs to, and so how it is driven.
enum class Domain
{
    Window,    // the skinned window: buttons, switches, popup items
    Key,       // the skinned window's keys
    Dialog,    // the skinned dialog
    About,     // the about window
    Thesaurus, // the thesaurus window
};

// One place a command is found in the demo's scripts (or a key in the window's key table).
struct Occurrence
{
    enum class Control
    {
        Button,
        SingleSwitch,
        GroupSwitch,
        PopupItem,
        Key,
        DialogButton,
        DialogSwitch,
        AboutButton,
    };
    Domain domain = Domain::Window;
    Control control = Control::Button;
    int screen = 0;    // the window's screen, or the dialog's page
    int index = 0;     // of the control among its kind on its screen (a popup: its list)
    int item = 0;      // a popup's item
    bool down = false; // a single switch: its command when turned on
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString command; // a key: its name, "Shift+T"

    QString where() const
    {
        static const char* const names[] = {"button", "single switch", "group switch",  "popup item",
                                            "key",    "dialog button", "dialog switch", "about window button"};
        static const char* const domains[] = {"window", "window", "dialog", "about window", "thesaurus window"};
        QString text =
            QStringLiteral("%1, %2 %3")
                .arg(QLatin1String(domains[int(domain)]), QLatin1String(names[int(control)]), QString::number(index));
        if (control == Control::PopupItem)
            text += QStringLiteral(" item %1").arg(item);
        return (domain == Domain::Dialog ? QStringLiteral("page %1, ") : QStringLiteral("screen %1, "))
                   .arg(screen + 1) +
               text;
    }
};

// A row of the table: a command (or every command that starts with it, for a prefix ending in
// '='), what the reader sees when it runs, and the check; or why it is not run.
struct Row
{
    Domain domain;
    QString command;
    const char* effect;
    std::function<void(const Occurrence&)> check; // empty: not run
    const char* notRunBecause = nullptr;

    bool matches(const Occurrence& o) const
    {
        if (o.domain != domain)
            return false;
        if (command.endsWith(QLatin1Char('=')))
            return o.command.startsWith(command, Qt::CaseInsensitive);
        return o.command.compare(command, Qt::CaseInsensitive) == 0;
    }
};

QString keyName(int key, Qt::KeyboardModifiers modifiers)
{
    return QKeySequence(QKeyCombination(modifiers, Qt::Key(key))).toString(QKeySequence::PortableText);
}

// The keys the window's key table is asked about: every key a reader may press with the usual
// modifiers. A rule added to the table for any of them shows up as a new key of the walk.
QList<int> candidateKeys()
{
    QList<int> keys{Qt::Key_Escape, Qt::Key_Tab,    Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Insert,
                    Qt::Key_Delete, Qt::Key_Home,   Qt::Key_End,       Qt::Key_Left,   Qt::Key_Up,    Qt::Key_Right,
                    Qt::Key_Down,   Qt::Key_PageUp, Qt::Key_PageDown,  Qt::Key_Space,  Qt::Key_Back,  Qt::Key_Forward};
    for (int key = Qt::Key_F1; key <= Qt::Key_F12; ++key)
        keys.append(key);
    for (int key = Qt::Key_0; key <= Qt::Key_9; ++key)
        keys.append(key);
    for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key)
        keys.append(key);
    return keys;
}

} // namespace

class TestCommandWalk : public QObject
{
    Q_OBJECT

public:
    explicit TestCommandWalk(const QString& runtime) : m_runtimeFolder(runtime) {}

private Q_SLOTS:
    void initTestCase()
    {
        // The settings live in the private configuration folder main() gave the program.
        QVERIFY2(QFileInfo::exists(kDemo + "/Kel.dhl"), "the demo manual has not been built");
        m_title = std::make_unique<Title>(RunMode::Skinned, QStringLiteral("Struct.cfs"));
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        standInForTheDesktop(form());
        // No favorites of an earlier run.
        for (int i = 0; i < 10; ++i)
            settings().remove(SettingsKeys::favorite(i));
        m_rows = rows();
    }

    // Each command of the demo, by the control that carries it, and what the reader sees.
    void command_doesWhatItSays_data()
    {
        QTest::addColumn<int>("occurrence");
        m_occurrences = collect();
        QVERIFY(!m_occurrences.isEmpty());
        for (int i = 0; i < m_occurrences.size(); ++i) {
            const Occurrence& o = m_occurrences[i];
            QTest::addRow("%s: %s", qPrintable(o.where()), qPrintable(o.command)) << i;
        }
    }
    void command_doesWhatItSays()
    {
        QFETCH(int, occurrence);
        const Occurrence& o = m_occurrences[occurrence];
        const Row* row = nullptr;
        for (const Row& r : m_rows) {
            if (r.matches(o)) {
                row = &r;
                break;
            }
        }
        QVERIFY2(row, qPrintable(QStringLiteral("the demo's command «%1» (%2) has no row in the walk's table")
                                     .arg(o.command, o.where())));
        if (!row->check)
            QSKIP(qPrintable(QStringLiteral("«%1» is not run: %2").arg(o.command, QLatin1String(row->notRunBecause))));
        if (o.domain != Domain::Thesaurus && o.domain != Domain::About && o.domain != Domain::Dialog)
            goTo(o.screen);
        row->check(o);
    }

    // Whatever a row left open is put back, so that the next one starts from the window at rest.
    void cleanup()
    {
        if (!m_title)
            return;
        if (m_title->program->components().popups())
            m_title->program->components().popups()->hideAll();
        if (TCoolDialog* dialog = search().dialog(); dialog && dialog->isVisible())
            search().closeDialog();
        if (TAboutBox* about = aboutBox(); about && about->isVisible())
            about->reject();
        if (QDialog* options = optionsDialog(); options && options->isVisible())
            options->reject();
        if (form().isStandardWindow())
            form().ReturnToSkin();
        if (form().isMinimized())
            form().showNormal();
        if (TSound* clips = m_title->program->components().media().clipPlayer())
            clips->stopCommand();
        QTRY_VERIFY(!form().isMinimized());
    }

    void cleanupTestCase()
    {
        m_thesaurus.reset();
        m_title.reset();
    }

private:
    // ---- the commands found in the demo ----

    QList<Occurrence> collect()
    {
        QList<Occurrence> found;
        const auto add = [&](Occurrence o) {
            for (const Occurrence& seen : std::as_const(found)) {
                if (seen.domain == o.domain && seen.control == o.control && seen.screen == o.screen &&
                    seen.command == o.command && (o.control != Occurrence::Control::PopupItem || seen.index == o.index))
                    return; // the same command twice on a screen, or in a list: once is enough
            }
            found.append(o);
        };
        // The skinned window: each screen's buttons (the header's among them), switches and popups.
        const SkinScript& script = *m_title->script;
        for (int s = 0; s < script.screens.size(); ++s)
            collectScreen(script.screens[s], s, Domain::Window, add);
        // The window's keys: the key table asked, as the window asks it, screen by screen.
        const QList<int> keys = candidateKeys();
        const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier,
                                                   Qt::ShiftModifier,
                                                   Qt::ControlModifier,
                                                   Qt::AltModifier,
                                                   Qt::ControlModifier | Qt::ShiftModifier,
                                                   Qt::ControlModifier | Qt::AltModifier,
                                                   Qt::AltModifier | Qt::ShiftModifier};
        for (int s = 0; s < script.screens.size(); ++s) {
            QList<std::pair<int, QString>> seen; // key and what it does: any modifiers, once
            for (int key : keys) {
                for (Qt::KeyboardModifiers m : modifiers) {
                    ShortcutContext context;
                    context.screen = s;
                    context.hasPanes = form().components().panes != nullptr;
                    context.hasHistory = form().components().history != nullptr;
                    context.hasDialogs = form().components().dialogs != nullptr;
                    const ShortcutMatch match = matchShortcut(key, m, context);
                    if (match.action == ShortcutAction::None)
                        continue;
                    const QString does = QLatin1String(shortcutActionName(match.action)) + match.argument;
                    if (seen.contains(std::pair{key, does}))
                        continue;
                    seen.append({key, does});
                    Occurrence o;
                    o.domain = Domain::Key;
                    o.control = Occurrence::Control::Key;
                    o.screen = s;
                    o.key = key;
                    o.modifiers = m;
                    o.command = keyName(key, m);
                    add(o);
                }
            }
        }
        // The skinned dialog, read as the program reads it.
        const DialogScript dialog = readDialogScript(
            DecodeScript(m_title->context->container.Read(QStringLiteral("Dialog.cfs")).value_or(QByteArray()), true),
            m_title->context->folders());
        for (int page = 0; page < dialog.pages.size(); ++page) {
            for (int b = 0; b < dialog.pages[page].buttons.size(); ++b) {
                Occurrence o;
                o.domain = Domain::Dialog;
                o.control = Occurrence::Control::DialogButton;
                o.screen = page;
                o.index = b;
                o.command = dialog.pages[page].buttons[b].go;
                add(o);
            }
            for (int w = 0; w < dialog.pages[page].switches.size(); ++w) {
                Occurrence o;
                o.domain = Domain::Dialog;
                o.control = Occurrence::Control::DialogSwitch;
                o.screen = page;
                o.index = w;
                o.command = dialog.pages[page].switches[w].go;
                add(o);
            }
        }
        // The about window, built from its script as the program builds it: buttons close it,
        // links open their address.
        const TAboutBox about(m_title->context->container, m_title->context->folders(), {});
        for (int b = 0; b < about.buttons().size(); ++b) {
            Occurrence o;
            o.domain = Domain::About;
            o.control = Occurrence::Control::AboutButton;
            o.index = b;
            o.command =
                about.buttons()[b].link ? QStringLiteral("url=") + about.buttons()[b].address : QStringLiteral("close");
            add(o);
        }
        // The thesaurus window's script.
        SkinScript thesaurus(m_title->context->folders(), SkinScript::Variant::Thesaurus);
        thesaurus.read(DecodeScript(
            m_title->context->container.Read(QStringLiteral("Tesaurus.cfs")).value_or(QByteArray()), true));
        for (int s = 0; s < thesaurus.screens.size(); ++s)
            collectScreen(thesaurus.screens[s], s, Domain::Thesaurus, add);
        return found;
    }

    template <typename Add> void collectScreen(const SkinScreen& screen, int s, Domain domain, const Add& add)
    {
        using C = Occurrence::Control;
        const auto one = [&](C control, int index, const QString& command, int item = 0, bool down = false) {
            Occurrence o;
            o.domain = domain;
            o.control = control;
            o.screen = s;
            o.index = index;
            o.item = item;
            o.down = down;
            o.command = command;
            add(o);
        };
        for (int i = 0; i < screen.buttons.size(); ++i)
            one(C::Button, i, screen.buttons[i].go);
        for (int i = 0; i < screen.switchone.size(); ++i) {
            one(C::SingleSwitch, i, screen.switchone[i].godown, 0, true);
            one(C::SingleSwitch, i, screen.switchone[i].goup, 0, false);
        }
        for (int i = 0; i < screen.switchgrp.size(); ++i)
            one(C::GroupSwitch, i, screen.switchgrp[i].go);
        for (int p = 0; p < screen.popups.size(); ++p) {
            for (int item = 0; item < screen.popups[p].go.size(); ++item)
                one(C::PopupItem, p, screen.popups[p].go[item], item);
        }
    }

    // ---- the table ----

    QList<Row> rows()
    {
        const auto screenNumber = [this](int screen) {
            return [this, screen](const Occurrence& o) { checkScreen(o, screen); };
        };
        const auto member = [this](void (TestCommandWalk::*check)(const Occurrence&)) {
            return [this, check](const Occurrence& o) { (this->*check)(o); };
        };
        using W = TestCommandWalk;
        QList<Row> table{
            // The window.
            {Domain::Window,
             "exit",
             "the closing effect runs and the program ends",
             {},
             "it ends the program, and with it the test"},
            {Domain::Window, "minimize", "the window is minimised", member(&W::checkMinimize)},
            {Domain::Window, "1", "the start screen", screenNumber(0)},
            {Domain::Window, "2", "the reading screen", screenNumber(1)},
            {Domain::Window, "3", "the media screen", screenNumber(2)},
            {Domain::Window, "4", "the Справочник screen", screenNumber(3)},
            {Domain::Window, "screen2=", "the reading screen at the page named", member(&W::checkScreenWithPage)},
            {Domain::Window, "html3=", "the Справочник screen's pane shows the page named", member(&W::checkPanePage)},
            {Domain::Window, "3d", "the 3D area plays", member(&W::checkVideo)},
            {Domain::Window, "2d", "the 3D area stops", member(&W::checkVideo)},
            {Domain::Window, "tesaurus", "the thesaurus copy starts at its start page", member(&W::checkThesaurus)},
            {Domain::Window, "contextmenu1", "the page menu opens", member(&W::checkMenu)},
            {Domain::Window, "contextmenu2", "the chapter menu opens", member(&W::checkMenu)},
            {Domain::Window, "help", "the help copy starts at the screen's topic", member(&W::checkHelp)},
            {Domain::Window, "bgsound", "the music turns off or on, and the setting is written",
             member(&W::checkMusic)},
            {Domain::Window, "options", "the «Настройки» dialog opens", member(&W::checkOptions)},
            {Domain::Window, "about", "the about window opens", member(&W::checkAbout)},
            {Domain::Window, "back", "the page before shows", member(&W::checkBack)},
            {Domain::Window, "forward", "the page after shows", member(&W::checkForward)},
            {Domain::Window, "historyback", "the list of pages read opens", member(&W::checkHistoryList)},
            {Domain::Window, "historyforward", "the list of pages ahead opens", member(&W::checkHistoryList)},
            {Domain::Window, "showfavorite", "the favorites list opens", member(&W::checkFavoritesList)},
            {Domain::Window, "deletefromfavorite", "the favorites list opens to delete",
             member(&W::checkFavoritesList)},
            {Domain::Window, "addtofavorite", "the page is among the favorites kept", member(&W::checkAddFavorite)},
            {Domain::Window, "printhtml", "the print preview of the page opens", member(&W::checkPrint)},
            {Domain::Window, "findnext1", "the dialog's find page opens", member(&W::checkFindPage)},
            {Domain::Window, "tophtml", "the page goes back to its top", member(&W::checkTop)},
            {Domain::Window, "copyhtml", "the page is copied into the path field's folder, and the status says so",
             member(&W::checkCopyPage)},
            {Domain::Window, "unarc",
             "the archive listed is unpacked into the path field's folder, and a message "
             "says where",
             member(&W::checkUnpack)},
            {Domain::Window, "standartwin", "the plain window", member(&W::checkPlainWindow)},
            {Domain::Window, "prevchapter", "the chapter before", member(&W::checkChapterStep)},
            {Domain::Window, "nextchapter", "the chapter after", member(&W::checkChapterStep)},
            {Domain::Window, "caseon", "the search tells capitals from small letters", member(&W::checkCase)},
            {Domain::Window, "caseoff", "the search takes capitals and small letters alike", member(&W::checkCase)},
            {Domain::Window, "tree1", "the subject index shows", member(&W::checkTreeChoice)},
            {Domain::Window, "tree2", "the chapters tree shows", member(&W::checkTreeChoice)},
            {Domain::Window, "offtree", "the tree hides", member(&W::checkTreeShown)},
            {Domain::Window, "ontree", "the tree shows", member(&W::checkTreeShown)},
            {Domain::Window, "findtxtlimit", "the search looks in the page shown", member(&W::checkScope)},
            {Domain::Window, "findtxtall", "the search looks in every page", member(&W::checkScope)},
            {Domain::Window, "copyclipboardhtml", "the selection is on the clipboard", member(&W::checkCopySelection)},
            {Domain::Window, "selectallhtml", "the whole page is selected", member(&W::checkSelectAll)},
            {Domain::Window, "deffonthtml", "the font dialog opens", member(&W::checkFontDialog)},
            {Domain::Window, "clip=", "the clip plays in the screen's area, its page in the pane",
             member(&W::checkClip)},
            {Domain::Window, "play", "silence: the clip stops", member(&W::checkClipCommand)},
            {Domain::Window, "pause", "the clip pauses", member(&W::checkClipCommand)},
            {Domain::Window, "stop", "the clip stops", member(&W::checkClipCommand)},
            {Domain::Window, "stepforward", "the clip goes 10 s on", member(&W::checkClipCommand)},
            {Domain::Window, "stepback", "the clip goes 10 s back", member(&W::checkClipCommand)},
            {Domain::Window, "nextpic", "the next slide", member(&W::checkSlide)},
            {Domain::Window, "prevpic", "the slide before", member(&W::checkSlide)},
            {Domain::Window, "run=", "the file opens with the desktop's program", member(&W::checkRun)},
            {Domain::Window, "installfonts", "the page's fonts are installed, and a message says how many",
             member(&W::checkInstallFonts)},

            // The window's keys.
            {Domain::Key, "Esc", "the popup open closes", member(&W::checkEscape)},
            {Domain::Key, "F1", "the help copy starts at the screen's topic", member(&W::checkHelp)},
            {Domain::Key, "Shift+T", "the thesaurus copy starts", member(&W::checkThesaurus)},
            {Domain::Key, "Shift+Z", "the other tree shows", member(&W::checkTreeChoice)},
            {Domain::Key, "Ctrl+Shift+Z", "the tree hides or shows", member(&W::checkTreeShown)},
            {Domain::Key, "Shift+Up", "the chapter before", member(&W::checkChapterStep)},
            {Domain::Key, "Shift+Down", "the chapter after", member(&W::checkChapterStep)},
            {Domain::Key, "Shift+Home", "the start screen", screenNumber(0)},
            {Domain::Key, "Ctrl+I", "the page is among the favorites kept", member(&W::checkAddFavorite)},
            {Domain::Key, "Alt+Left", "the page before shows", member(&W::checkBack)},
            {Domain::Key, "Backspace", "the page before shows", member(&W::checkBack)},
            {Domain::Key, "Back", "the page before shows", member(&W::checkBack)},
            {Domain::Key, "Alt+Right", "the page after shows", member(&W::checkForward)},
            {Domain::Key, "Shift+Backspace", "the page after shows", member(&W::checkForward)},
            {Domain::Key, "Forward", "the page after shows", member(&W::checkForward)},
            {Domain::Key, "Ctrl+P", "the print preview of the page opens", member(&W::checkPrint)},
            {Domain::Key, "Ctrl+F", "the dialog's find page opens", member(&W::checkFindPage)},
            {Domain::Key, "Ctrl+A", "the whole page is selected", member(&W::checkSelectAll)},

            // The skinned dialog.
            {Domain::Dialog, "yes", "the message closes", member(&W::checkDialogCloses)},
            {Domain::Dialog, "no", "the find page closes", member(&W::checkDialogCloses)},
            {Domain::Dialog, "findnext1", "the word is found and selected in the page", member(&W::checkDialogFind)},
            {Domain::Dialog, "findtxtlimit", "the search looks in the page shown", member(&W::checkDialogScope)},
            {Domain::Dialog, "findtxtall", "the search looks in the index of all pages", member(&W::checkDialogScope)},
            {Domain::Dialog, "findtxtcontents", "the search looks in the contents' titles",
             member(&W::checkDialogScope)},

            // The about window.
            {Domain::About, "close", "the about window closes", member(&W::checkAboutButton)},
            {Domain::About, "url=", "the address goes to the desktop's browser or mail program",
             member(&W::checkAboutButton)},

            // The thesaurus window.
            {Domain::Thesaurus,
             "exit",
             "the thesaurus window closes and its copy ends",
             {},
             "it ends the copy's application, which is the test's"},
            {Domain::Thesaurus, "minimize", "the thesaurus window is minimised", member(&W::checkThesaurusWindow)},
            {Domain::Thesaurus, "back", "the article before shows", member(&W::checkThesaurusWindow)},
            {Domain::Thesaurus, "forward", "the article after shows", member(&W::checkThesaurusWindow)},
            {Domain::Thesaurus, "printhtml", "the print preview of the article opens",
             member(&W::checkThesaurusWindow)},
            {Domain::Thesaurus, "findnext1", "the word's article opens", member(&W::checkThesaurusWindow)},
        };
        return table;
    }

    // ---- driving a control ----

    // The control of the occurrence used as the reader uses it.
    void drive(const Occurrence& o)
    {
        using C = Occurrence::Control;
        TMainForm& window = o.domain == Domain::Thesaurus ? thesaurus().form() : form();
        const SkinScreen& screen =
            o.domain == Domain::Thesaurus ? thesaurus().script->screens[o.screen] : m_title->script->screens[o.screen];
        switch (o.control) {
        case C::Button: {
            const RBtn& b = screen.buttons[o.index];
            clickAt(window, QRect(QPoint(b.vx, b.vy), QPoint(b.right - 1, b.bottom - 1)).center());
            break;
        }
        case C::SingleSwitch: {
            const RSwthOne& s = screen.switchone[o.index];
            clickAt(window, QPoint(s.vx + 2, s.vy + 2));
            break;
        }
        case C::GroupSwitch: {
            const RSwthGrp& s = screen.switchgrp[o.index];
            clickAt(window, QPoint(s.vx + 2, s.vy + 2));
            break;
        }
        case C::PopupItem: {
            const int type = screen.popups[o.index].type;
            TControlPopupWindow* popups = m_title->program->components().popups();
            popups->open(type, form().mapToGlobal(QPoint(300, 200)));
            TPopupWindow* menu = popups->popup(type);
            QVERIFY(menu && menu->isVisible());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->item(o.item).rect().center());
            QCoreApplication::processEvents(); // the item's command runs once the press is over
            break;
        }
        case C::Key:
            QTest::keyClick(&form(), Qt::Key(o.key), o.modifiers);
            break;
        case C::DialogButton: {
            TCoolDialog* dialog = search().dialog();
            QTRY_VERIFY(dialog->isVisible() && !dialog->isFading());
            QTest::mouseClick(dialog, Qt::LeftButton, {}, dialog->buttonRect(o.index).center());
            break;
        }
        case C::DialogSwitch: {
            TCoolDialog* dialog = search().dialog();
            QTRY_VERIFY(dialog->isVisible() && !dialog->isFading());
            QTest::mouseClick(dialog, Qt::LeftButton, {}, dialog->switchRect(o.index).center());
            break;
        }
        case C::AboutButton: {
            TAboutBox* about = aboutBox();
            QTRY_VERIFY(about->isVisible() && !about->fadeRunning());
            const QRect rect = about->buttons()[o.index].rect;
            QTest::mouseMove(about, rect.center());
            QTest::mouseClick(about, Qt::LeftButton, {}, rect.center());
            break;
        }
        }
    }

    // A click of the window's element under point, through its hot area, with the pointer brought
    // there first.
    void clickAt(TMainForm& window, QPoint point)
    {
        for (QWidget* area : window.hotAreas()) {
            if (area->isVisible() && area->geometry().contains(point)) {
                QTest::mouseMove(area, point - area->pos());
                QTest::mouseClick(area, Qt::LeftButton, {}, point - area->pos());
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("no element of the window at %1,%2").arg(point.x()).arg(point.y())));
    }

    // ---- the checks ----

    void checkScreen(const Occurrence& o, int screen)
    {
        // From another screen, so that the change shows.
        goTo(screen == 0 ? 1 : 0);
        goTo(o.screen);
        drive(o);
        QTRY_COMPARE(form().currentScreen(), screen);
    }

    void checkMinimize(const Occurrence& o)
    {
        drive(o);
        QTRY_VERIFY(form().isMinimized());
        form().showNormal();
        QTRY_VERIFY(!form().isMinimized());
    }

    // "screen2=page": the reading screen at that page, coming from another screen.
    void checkScreenWithPage(const Occurrence& o)
    {
        const QString page = relative(CommandArg(o.command, m_title->context->folders()));
        // With the chapters tree, the subject index, and no tree shown.
        for (int trees = 0; trees < 3; ++trees) {
            goTo(kReadingScreen);
            setTrees(trees);
            showPage(page == QLatin1String("glava8.htm") ? u"glava7.htm"_qs : u"glava8.htm"_qs);
            goTo(o.screen);
            drive(o);
            QTRY_COMPARE(form().currentScreen(), kReadingScreen);
            waitForPage(page);
        }
        setTrees(0);
    }

    // The reading screen's trees by their switches: 0 the chapters, 1 the subject index, 2 none.
    void setTrees(int trees)
    {
        TDynamicSwthOneArray& singles = m_title->script->screens[kReadingScreen].switchone;
        for (RSwthOne& s : singles) {
            const bool want = s.godown == QLatin1String("offtree") ? trees == 2
                              : s.godown == QLatin1String("tree1") ? trees == 1
                                                                   : s.state;
            if (s.state != want &&
                (s.godown != QLatin1String("tree1") || !m_title->program->components().trees().bothHidden()))
                clickAt(form(), QPoint(s.vx + 2, s.vy + 2));
        }
    }

    // "html3=page" from a tab or a button: the Справочник screen's pane shows the page.
    void checkPanePage(const Occurrence& o)
    {
        const QString page = relative(CommandArg(o.command, m_title->context->folders()));
        showPage(page == QLatin1String("glava3.htm") ? u"glava4.htm"_qs : u"glava3.htm"_qs);
        if (o.control == Occurrence::Control::GroupSwitch)
            turnGroupSwitchOff(o);
        drive(o);
        waitForPage(page);
        if (o.control == Occurrence::Control::GroupSwitch)
            QVERIFY(m_title->script->screens[o.screen].switchgrp[o.index].state);
    }

    void checkVideo(const Occurrence& o)
    {
        setSingleSwitch(o, !o.down);
        drive(o);
        TMyAviPlayer* video = media().videoArea();
        if (o.down) {
            QTRY_VERIFY(video && video->Active());
        } else {
            QTRY_VERIFY(!video || !video->Active());
        }
        QCOMPARE(singleSwitch(o).state, o.down);
    }

    void checkThesaurus(const Occurrence& o)
    {
        m_started.clear();
        drive(o);
        QTRY_COMPARE(m_started.size(), 1);
        const QStringList arguments = m_started[0].mid(1);
        QCOMPARE(arguments.size(), 4);
        QCOMPARE(arguments[0], u"--content"_qs);
        QCOMPARE(arguments[3], u"/t"_qs);
        const QString page = arguments[2].section(QLatin1Char('#'), 0, 0);
        QVERIFY2(page.startsWith(programDir() + "tezaurus/") && m_title->context->pack.PackFileExists(page),
                 qPrintable(page));
    }

    void checkMenu(const Occurrence& o)
    {
        const CommandMatch match = matchCommand(o.command);
        drive(o);
        TPopupWindow* menu = popups()->popup(match.number);
        QTRY_VERIFY(menu && menu->isVisible());
        int items = -1;
        for (const RPopupData& data : m_title->script->screens[o.screen].popups) {
            if (data.type == match.number)
                items = int(data.go.size());
        }
        QCOMPARE(menu->itemCount(), items);
    }

    void checkHelp(const Occurrence& o)
    {
        m_started.clear();
        drive(o);
        QTRY_COMPARE(m_started.size(), 1);
        const QString topic = helpTopicForScreen(o.screen);
        const QString target = m_title->script->header.helpwin + (topic.isEmpty() ? QString() : "#" + topic.toLower());
        QCOMPARE(m_started[0].mid(1), (QStringList{"--content", programDir(), target, "/h"}));
    }

    void checkMusic(const Occurrence& o)
    {
        UserSettings& user = m_title->context->userSettings;
        for (int round = 0; round < 2; ++round) {
            const bool before = user.bgSound;
            drive(o);
            QCOMPARE(user.bgSound, !before);
            QCOMPARE(settings().readBool(SettingsKeys::BGSound).value_or(before), !before);
        }
    }

    void checkOptions(const Occurrence& o)
    {
        drive(o);
        QDialog* options = nullptr;
        QTRY_VERIFY((options = optionsDialog()) != nullptr && options->isVisible());
        options->reject();
        QTRY_VERIFY(!options->isVisible());
    }

    void checkAbout(const Occurrence& o)
    {
        drive(o);
        QTRY_VERIFY(aboutBox() && aboutBox()->isVisible());
        aboutBox()->reject();
        QTRY_VERIFY(!aboutBox()->isVisible());
    }

    // Two pages read in the screen's pane; the occurrence steps back to the first.
    void checkBack(const Occurrence& o)
    {
        if (!screenHasPane(o.screen)) {
            // The start screen shows no page: the key leaves the screen as it is.
            drive(o);
            QCOMPARE(form().currentScreen(), o.screen);
            return;
        }
        showPage(u"glava3.htm"_qs);
        showPage(u"glava5.htm"_qs);
        drive(o);
        waitForPage(u"glava3.htm"_qs);
    }

    void checkForward(const Occurrence& o)
    {
        if (!screenHasPane(o.screen)) {
            drive(o);
            QCOMPARE(form().currentScreen(), o.screen);
            return;
        }
        showPage(u"glava3.htm"_qs);
        showPage(u"glava5.htm"_qs);
        form().RunCommand(QStringLiteral("back"), QString(), true);
        waitForPage(u"glava3.htm"_qs);
        drive(o);
        waitForPage(u"glava5.htm"_qs);
    }

    void checkHistoryList(const Occurrence& o)
    {
        const bool back = o.command == QLatin1String("historyback");
        showPage(u"glava3.htm"_qs);
        const QString older = panes()->currentTitle();
        showPage(u"glava5.htm"_qs);
        const QString newer = panes()->currentTitle();
        if (!back) {
            form().RunCommand(QStringLiteral("back"), QString(), true);
            waitForPage(u"glava3.htm"_qs);
        }
        drive(o);
        TPopupWindow* list = popups()->popup(back ? PopupHistoryBack : PopupHistoryForward);
        QTRY_VERIFY(list && list->isVisible());
        // The nearest page first: the top item of the back list, the bottom one of the forward list.
        QCOMPARE(list->item(back ? 0 : list->itemCount() - 1).caption(), back ? older : newer);
    }

    void checkFavoritesList(const Occurrence& o)
    {
        showPage(u"glava6.htm"_qs);
        form().RunCommand(QStringLiteral("addtofavorite"), QString(), true);
        drive(o);
        TPopupWindow* list = popups()->popup(PopupFavorite);
        QTRY_VERIFY(list && list->isVisible());
        QVERIFY(list->itemCount() > 0);
        QCOMPARE(list->deleteMode(), o.command == QLatin1String("deletefromfavorite"));
    }

    // A page not yet among the favorites is shown; the occurrence adds it, and it is kept in the
    // settings for the favorites list, whichever screen it was added on.
    void checkAddFavorite(const Occurrence& o)
    {
        const QStringList pages{u"glava1.htm"_qs, u"glava2.htm"_qs,     u"glava4.htm"_qs, u"glava7.htm"_qs,
                                u"glava8.htm"_qs, u"ustroistvo.htm"_qs, u"serial.htm"_qs};
        QString title;
        for (const QString& page : pages) {
            showPage(page);
            title = panes()->currentTitle();
            if (!storedFavorites().contains(title))
                break;
            title.clear();
        }
        QVERIFY2(!title.isEmpty(), "every page of the walk is a favorite already");
        drive(o);
        QTRY_VERIFY2(storedFavorites().contains(title), qPrintable(storedFavorites().join(", ")));
        // Where the list cannot be seen, the reader is told.
        if (!popups()->favorites()) {
            QTRY_VERIFY(search().dialog()->isVisible());
            QCOMPARE(search().dialog()->pageText(), u"Страница добавлена в закладки"_qs);
        }
    }

    void checkPrint(const Occurrence& o)
    {
        if (o.screen == kReadingScreen)
            showPage(u"glava2.htm"_qs);
        else
            waitForLoaded();
        bool shown = false;
        whenModal<TPreviewForm>([&](TPreviewForm* preview) {
            QTRY_VERIFY_WITH_TIMEOUT(preview->failed() || preview->pageCount() > 0, 60000);
            shown = !preview->failed() && preview->pageCount() > 0;
            preview->reject();
        });
        drive(o);
        QTRY_VERIFY_WITH_TIMEOUT(shown, 60000);
    }

    void checkFindPage(const Occurrence& o)
    {
        drive(o);
        QTRY_VERIFY(search().dialog()->isVisible());
        QCOMPARE(search().dialog()->currentPage(), int(TCoolDialog::kFindPage));
    }

    void checkTop(const Occurrence& o)
    {
        showPage(u"glava2.htm"_qs);
        panes()->setScrollPosition(400);
        QTRY_VERIFY(panes()->scrollPosition() > 0);
        drive(o);
        QTRY_COMPARE(panes()->scrollPosition(), 0);
    }

    void checkCopyPage(const Occurrence& o)
    {
        showPage(u"ustroistvo.htm"_qs);
        QTemporaryDir target;
        m_title->program->components().texts().pathFields()->field(0)->setText(target.path());
        drive(o);
        QTRY_VERIFY(QFileInfo::exists(target.filePath("ustroistvo.htm")));
        QTRY_COMPARE(status(), u"Файл скопирован"_qs);
    }

    void checkUnpack(const Occurrence& o)
    {
        m_title->program->components().ShowArchive(programDir() + "files/instrumenty.rar");
        QTRY_VERIFY_WITH_TIMEOUT(panes()->archiveMode() && !panes()->isLoading(), kLoadWaitMs);
        QTemporaryDir target;
        m_title->program->components().texts().pathFields()->field(0)->setText(target.path());
        drive(o);
        const QString folder = target.filePath(QStringLiteral("instrumenty.rar"));
        QTRY_VERIFY(QFileInfo(folder + u"/Инструмент/ключи.txt"_qs).isFile());
        QTRY_VERIFY(search().dialog()->isVisible());
        QCOMPARE(search().dialog()->pageText(), TUnRar::kUnpackedInto.toString().arg(QDir::toNativeSeparators(folder)));
    }

    void checkPlainWindow(const Occurrence& o)
    {
        drive(o);
        QTRY_VERIFY(form().isStandardWindow());
        form().ReturnToSkin();
        QTRY_VERIFY(!form().isStandardWindow());
    }

    // From the chapter's first page, one step each way: Введение and Глава 1 follow each other.
    void checkChapterStep(const Occurrence& o)
    {
        const bool next = o.command == QLatin1String("nextchapter") || o.command == QLatin1String("Shift+Down");
        showPage(next ? u"intro.htm"_qs : u"glava1.htm"_qs);
        drive(o);
        waitForPage(next ? u"glava1.htm"_qs : u"intro.htm"_qs);
    }

    void checkCase(const Occurrence& o)
    {
        setSingleSwitch(o, !o.down);
        drive(o);
        QCOMPARE(singleSwitch(o).state, o.down);
        QCOMPARE(search().search()->matchCase(), o.down);
    }

    // The tree switch: on shows the second script's tree (the subject index), off the first.
    void checkTreeChoice(const Occurrence& o)
    {
        TreesController& trees = m_title->program->components().trees();
        showTreesFirst();
        if (o.control == Occurrence::Control::Key) {
            const int before = trees.chosenTree();
            drive(o);
            QTRY_VERIFY(trees.chosenTree() != before);
            return;
        }
        setSingleSwitch(o, !o.down);
        drive(o);
        QTRY_COMPARE(trees.chosenTree(), o.down ? 2 : 1);
        QVERIFY(trees.treeOfTheMoment()->isVisible());
    }

    void checkTreeShown(const Occurrence& o)
    {
        TreesController& trees = m_title->program->components().trees();
        if (o.control == Occurrence::Control::Key) {
            const bool before = trees.bothHidden();
            drive(o);
            QTRY_COMPARE(trees.bothHidden(), !before);
            drive(o);
            QTRY_COMPARE(trees.bothHidden(), before);
            return;
        }
        setSingleSwitch(o, !o.down);
        drive(o);
        QTRY_COMPARE(trees.bothHidden(), o.down);
    }

    void checkScope(const Occurrence& o)
    {
        turnGroupSwitchOff(o);
        drive(o);
        // With the index files there, all pages are searched through them.
        TFindTxtHtml* find = search().search();
        if (o.command == QLatin1String("findtxtall"))
            QVERIFY(find->allPages() || find->indexMode());
        else
            QVERIFY(!find->allPages() && !find->indexMode() && !find->treeMode());
        QVERIFY(m_title->script->screens[o.screen].switchgrp[o.index].state);
    }

    void checkCopySelection(const Occurrence& o)
    {
        waitForLoaded();
        panes()->selectAll();
        QTRY_VERIFY(!selection().isEmpty());
        QGuiApplication::clipboard()->clear();
        form().setFocus(); // as after a click on the skin: the page does not have the focus
        drive(o);
        QTRY_VERIFY(!QGuiApplication::clipboard()->text().isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), selection());
    }

    void checkSelectAll(const Occurrence& o)
    {
        if (o.screen == kReadingScreen)
            showPage(u"glava2.htm"_qs);
        waitForLoaded();
        clearSelection();
        QCOMPARE(selection(), QString());
        form().setFocus(); // as after a click on the skin: the page does not have the focus
        drive(o);
        QTRY_VERIFY(selection().size() > 100);
    }

    void checkFontDialog(const Occurrence& o)
    {
        bool shown = false;
        whenModal<TFontForm>([&](TFontForm* dialog) {
            shown = dialog->isVisible();
            dialog->reject();
        });
        drive(o);
        QTRY_VERIFY_WITH_TIMEOUT(shown, 30000);
    }

    void checkClip(const Occurrence& o)
    {
        const ProgramFolders folders = m_title->context->folders();
        const QString file = relative(CommandArg(o.command, folders));
        const QString page = relative(CommandTarget(o.command, folders));
        showPage(page == QLatin1String("glava3.htm") ? u"glava4.htm"_qs : u"glava3.htm"_qs);
        drive(o);
        TSound* clips = media().clipPlayer();
        QTRY_VERIFY_WITH_TIMEOUT(clips && clips->player().Mode() == TMPlayer::Playing, 10000);
        QVERIFY2(clips->player().FileName().endsWith(file, Qt::CaseInsensitive),
                 qPrintable(clips->player().FileName()));
        waitForPage(page);
    }

    // The player's buttons, with the first clip of the screen playing.
    void checkClipCommand(const Occurrence& o)
    {
        form().RunCommand(QStringLiteral("clip=video\\clip1.avi=glava2.htm"), QString(), true);
        TMPlayer& player = media().clipPlayer()->player();
        QTRY_VERIFY_WITH_TIMEOUT(player.Mode() == TMPlayer::Playing, 10000);
        if (o.command == QLatin1String("stepback"))
            QTRY_VERIFY_WITH_TIMEOUT(player.Position() > 2000, 10000);
        if (o.command.startsWith(QLatin1String("step"))) {
            media().clipCommand(QStringLiteral("pause"));
            QTRY_COMPARE(player.Mode(), int(TMPlayer::Paused));
        }
        const qint64 before = player.Position();
        drive(o);
        if (o.command == QLatin1String("pause")) {
            QTRY_COMPARE(player.Mode(), int(TMPlayer::Paused));
        } else if (o.command == QLatin1String("stop") || o.command == QLatin1String("play")) {
            QTRY_VERIFY(player.Mode() != TMPlayer::Playing);
        } else if (o.command == QLatin1String("stepforward")) {
            // The clip is shorter than the step: it goes to its end.
            QVERIFY2(
                player.Position() >= std::min(before + 10000, player.Length()) - 100,
                qPrintable(QStringLiteral("%1 -> %2 of %3").arg(before).arg(player.Position()).arg(player.Length())));
        } else {
            QVERIFY2(player.Position() < 1000,
                     qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(player.Position())));
        }
    }

    void checkSlide(const Occurrence& o)
    {
        TSlideImage* slides = media().slideShow();
        QVERIFY(slides);
        const int before = slides->SlidePosition();
        drive(o);
        QTRY_VERIFY(slides->SlidePosition() != before);
    }

    void checkRun(const Occurrence& o)
    {
        m_opened.clear();
        drive(o);
        QTRY_COMPARE(m_opened.size(), 1);
        const QString file = m_opened[0].toLocalFile();
        QVERIFY2(QFileInfo(file).isFile(), qPrintable(m_opened[0].toString()));
        QCOMPARE(relative(file), relative(CommandArg(o.command, m_title->context->folders())));
    }

    void checkInstallFonts(const Occurrence& o)
    {
        waitForLoaded();
        drive(o);
        QTRY_VERIFY_WITH_TIMEOUT(search().dialog()->isVisible(), 30000);
        QVERIFY2(search().dialog()->pageText().startsWith(u"Установлено шрифтов: "_qs),
                 qPrintable(search().dialog()->pageText()));
    }

    void checkEscape(const Occurrence& o)
    {
        const QList<RPopupData>& lists = m_title->script->screens[o.screen].popups;
        QVERIFY(!lists.isEmpty());
        if (screenHasPane(o.screen))
            waitForLoaded();
        const int type = lists.last().type;
        popups()->open(type, form().mapToGlobal(QPoint(300, 200)));
        TPopupWindow* menu = popups()->popup(type);
        QTRY_VERIFY(menu && menu->isVisible());
        drive(o);
        QTRY_VERIFY(!menu->isVisible());
    }

    void checkDialogCloses(const Occurrence& o)
    {
        TCoolDialog* dialog = search().dialog();
        if (o.screen == TCoolDialog::kFindPage)
            form().RunCommand(QStringLiteral("findnext1"), QString(), true);
        else
            dialog->ShowDialogPage(o.screen, u"Проверка"_qs);
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->currentPage(), o.screen);
        drive(o);
        QTRY_VERIFY(!dialog->isVisible());
    }

    void checkDialogFind(const Occurrence& o)
    {
        goTo(kReadingScreen);
        showPage(u"glava2.htm"_qs);
        form().RunCommand(QStringLiteral("findtxtlimit"), QString(), true);
        form().RunCommand(QStringLiteral("findnext1"), QString(), true);
        QTRY_VERIFY(search().dialog()->isVisible());
        QLineEdit* box = search().search()->box(0);
        QVERIFY(box);
        box->setText(u"двигатель"_qs);
        int matches = -1;
        QMetaObject::Connection found =
            connect(panes()->currentView()->page(), &QWebEnginePage::findTextFinished, this,
                    [&](const QWebEngineFindTextResult& result) { matches = result.numberOfMatches(); });
        drive(o);
        QTRY_VERIFY(!search().search()->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(matches > 0, 10000);
        disconnect(found);
        QCOMPARE(status(), QString());
    }

    void checkDialogScope(const Occurrence& o)
    {
        goTo(kReadingScreen);
        TCoolDialog* dialog = search().dialog();
        form().RunCommand(QStringLiteral("findnext1"), QString(), true);
        QTRY_VERIFY(dialog->isVisible() && !dialog->isFading());
        if (dialog->switchOn(o.index)) {
            // Another switch of the group first, so that this one turns on.
            const int other = o.index == 0 ? 1 : 0;
            QTest::mouseClick(dialog, Qt::LeftButton, {}, dialog->switchRect(other).center());
            QVERIFY(!dialog->switchOn(o.index));
        }
        drive(o);
        QVERIFY(dialog->switchOn(o.index));
        TFindTxtHtml* find = search().search();
        if (o.command == QLatin1String("findtxtall"))
            QVERIFY(find->indexMode());
        else if (o.command == QLatin1String("findtxtcontents"))
            QVERIFY(find->treeMode());
        else
            QVERIFY(!find->allPages() && !find->indexMode() && !find->treeMode());
    }

    void checkAboutButton(const Occurrence& o)
    {
        form().RunCommand(QStringLiteral("about"), QString(), true);
        QTRY_VERIFY(aboutBox() && aboutBox()->isVisible());
        m_opened.clear();
        drive(o);
        if (o.command == QLatin1String("close")) {
            QTRY_VERIFY(!aboutBox()->isVisible());
            return;
        }
        QCOMPARE(m_opened.size(), 1);
        const QUrl url = m_opened[0];
        QVERIFY2(url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http") ||
                     url.scheme() == QLatin1String("mailto"),
                 qPrintable(url.toString()));
        QCOMPARE(url, QUrl(o.command.mid(4)));
        QVERIFY(aboutBox()->isVisible());
    }

    void checkThesaurusWindow(const Occurrence& o)
    {
        Title& t = thesaurus();
        const auto shown = [&t] { return t.panes() ? QFileInfo(t.panes()->currentFile()).fileName() : QString(); };
        const auto show = [&](const QString& page) {
            t.panes()->ShowPage(t.context->values.programDir + "tezaurus/" + page);
            QTRY_VERIFY_WITH_TIMEOUT(shown() == page && !t.panes()->isLoading(), kLoadWaitMs);
        };
        QTRY_VERIFY_WITH_TIMEOUT(t.panes() && !t.panes()->isLoading(), kLoadWaitMs);
        if (o.command == QLatin1String("minimize")) {
            drive(o);
            QTRY_VERIFY(t.form().isMinimized());
            t.form().showNormal();
            QTRY_VERIFY(!t.form().isMinimized());
        } else if (o.command == QLatin1String("back") || o.command == QLatin1String("forward")) {
            show(u"dvigatel.htm"_qs);
            show(u"tormoza.htm"_qs);
            if (o.command == QLatin1String("forward")) {
                t.form().RunCommand(QStringLiteral("back"), QString(), true);
                // Loaded, not only named: a command given while a page loads may be dropped.
                QTRY_VERIFY_WITH_TIMEOUT(shown() == u"dvigatel.htm"_qs && !t.panes()->isLoading(), kLoadWaitMs);
            }
            drive(o);
            QTRY_COMPARE_WITH_TIMEOUT(
                shown(), o.command == QLatin1String("back") ? u"dvigatel.htm"_qs : u"tormoza.htm"_qs, kLoadWaitMs);
        } else if (o.command == QLatin1String("printhtml")) {
            show(u"tormoza.htm"_qs);
            bool printed = false;
            whenModal<TPreviewForm>([&](TPreviewForm* preview) {
                QTRY_VERIFY_WITH_TIMEOUT(preview->failed() || preview->pageCount() > 0, 60000);
                printed = !preview->failed() && preview->pageCount() > 0;
                preview->reject();
            });
            drive(o);
            QTRY_VERIFY_WITH_TIMEOUT(printed, 60000);
        } else if (o.command == QLatin1String("findnext1")) {
            show(u"index.htm"_qs);
            QLineEdit* box = t.program->search().search()->box(0);
            QVERIFY(box);
            box->setText(u"жиклёр"_qs);
            drive(o);
            QTRY_COMPARE_WITH_TIMEOUT(shown(), u"toplivo.htm"_qs, kLoadWaitMs);
        } else {
            QFAIL("a thesaurus command without a check");
        }
    }

    // ---- the window's state ----

    TMainForm& form() { return m_title->form(); }
    THtmlFrame* panes() { return m_title->panes(); }
    MediaController& media() { return m_title->program->components().media(); }
    TControlPopupWindow* popups() { return m_title->program->components().popups(); }
    SearchComponents& search() { return m_title->program->search(); }
    SettingsStore& settings() { return m_title->context->settings; }
    QString programDir() const { return m_title->context->values.programDir; }
    QString status() { return m_title->program->components().texts().statusLine().message(); }

    Title& thesaurus()
    {
        if (!m_thesaurus) {
            m_thesaurus = std::make_unique<Title>(RunMode::Thesaurus, QStringLiteral("Tesaurus.cfs"));
            standInForTheDesktop(m_thesaurus->form());
        }
        return *m_thesaurus;
    }

    // Programs and addresses the window hands to the desktop are noted, not started.
    void standInForTheDesktop(TMainForm& window)
    {
        window.desktopServices().startProgram = [this](const QString& program, const QStringList& arguments,
                                                       const QString&) {
            m_started.append(QStringList{program} + arguments);
            return true;
        };
        window.desktopServices().openUrl = [this](const QUrl& url) {
            m_opened.append(url);
            return true;
        };
    }

    void goTo(int screen)
    {
        if (form().currentScreen() != screen)
            form().RunCommand(QString::number(screen + 1), QString(), true);
        QCOMPARE(form().currentScreen(), screen);
    }

    bool screenHasPane(int screen) const
    {
        for (const RHTML& pane : m_title->script->html) {
            if (pane.screen == screen)
                return true;
        }
        return false;
    }

    // A path of the content, relative to the program folder, with '/' and small letters.
    QString relative(const QString& path) const
    {
        QString p = QDir::fromNativeSeparators(path).toLower();
        const QString root = programDir().toLower();
        if (p.startsWith(root))
            p = p.mid(root.size());
        return p;
    }

    void showPage(const QString& page)
    {
        QVERIFY(panes());
        panes()->ShowPage(programDir() + page);
        waitForPage(page);
    }

    void waitForPage(const QString& page)
    {
        QTRY_COMPARE_WITH_TIMEOUT(panes() ? relative(panes()->currentFile()) : QString(), page, kLoadWaitMs);
        waitForLoaded();
    }

    void waitForLoaded()
    {
        QTRY_VERIFY_WITH_TIMEOUT(panes() && !panes()->isLoading(), kLoadWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate("document.readyState").toString(), u"complete"_qs, kLoadWaitMs);
    }

    QVariant evaluate(const char* script)
    {
        return runPageScript(*panes()->currentView()->page(), QString::fromUtf8(script));
    }

    // The text selected in the page or in any of its frames (a frame set has no text of its own).
    QString selection()
    {
        return evaluate("(() => { const docs = [document];"
                        " for (let i = 0; i < docs.length; ++i) {"
                        "   const text = docs[i].getSelection().toString();"
                        "   if (text) return text;"
                        "   for (const f of docs[i].querySelectorAll('frame, iframe'))"
                        "     try { if (f.contentDocument) docs.push(f.contentDocument); } catch (e) {}"
                        " } return ''; })()")
            .toString();
    }

    void clearSelection()
    {
        evaluate("(() => { const docs = [document];"
                 " for (let i = 0; i < docs.length; ++i) {"
                 "   docs[i].getSelection().removeAllRanges();"
                 "   for (const f of docs[i].querySelectorAll('frame, iframe'))"
                 "     try { if (f.contentDocument) docs.push(f.contentDocument); } catch (e) {}"
                 " } })()");
    }

    RSwthOne& singleSwitch(const Occurrence& o) { return m_title->script->screens[o.screen].switchone[o.index]; }

    // The single switch of the occurrence is brought to state (on: its godown ran last) by a click.
    void setSingleSwitch(const Occurrence& o, bool on)
    {
        if (singleSwitch(o).state != on) {
            const RSwthOne& s = singleSwitch(o);
            clickAt(form(), QPoint(s.vx + 2, s.vy + 2));
        }
        QCOMPARE(singleSwitch(o).state, on);
    }

    // A group switch that is on stays on when clicked: another of its group is clicked first.
    void turnGroupSwitchOff(const Occurrence& o)
    {
        TDynamicSwthGrpArray& group = m_title->script->screens[o.screen].switchgrp;
        if (!group[o.index].state)
            return;
        for (int i = 0; i < group.size(); ++i) {
            if (i != o.index && group[i].group == group[o.index].group) {
                clickAt(form(), QPoint(group[i].vx + 2, group[i].vy + 2));
                break;
            }
        }
        QVERIFY(!group[o.index].state);
    }

    // The trees shown, by their switch, so that the tree switch answers.
    void showTreesFirst()
    {
        TDynamicSwthOneArray& singles = m_title->script->screens[kReadingScreen].switchone;
        for (RSwthOne& s : singles) {
            if (s.godown == QLatin1String("offtree") && s.state)
                clickAt(form(), QPoint(s.vx + 2, s.vy + 2));
        }
        QTRY_VERIFY(!m_title->program->components().trees().bothHidden());
    }

    QStringList storedFavorites()
    {
        QStringList captions;
        for (int i = 0; i < 10; ++i) {
            const std::optional<QString> value = settings().readString(SettingsKeys::favorite(i));
            if (value)
                captions.append(parseFavoriteValue(*value).caption);
        }
        return captions;
    }

    TAboutBox* aboutBox() { return form().findChild<TAboutBox*>(); }

    QDialog* optionsDialog() const
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->windowTitle() == u"Настройки"_qs)
                return dialog;
        }
        return nullptr;
    }

    QString m_runtimeFolder;
    std::unique_ptr<Title> m_title;
    std::unique_ptr<Title> m_thesaurus;
    QList<Occurrence> m_occurrences;
    QList<Row> m_rows;
    QList<QStringList> m_started;
    QList<QUrl> m_opened;
};

int main(int argc, char* argv[])
{
    // The program's private environment: settings, fonts, caches and window sockets in a folder of
    // the test's own, sounds silent.
    QTemporaryDir runtime;
    const QProcessEnvironment env =
        programEnvironment(runtime.path(), qEnvironmentVariable("QT_QPA_PLATFORM", u"offscreen"_qs));
    for (const QString& name : env.keys())
        qputenv(name.toLocal8Bit().constData(), env.value(name).toLocal8Bit());
    // The walk is one test function of many rows; on a loaded machine it may take minutes.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "1800000");
    staticEngineParts(); // registers the content scheme before the application starts
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestCommandWalk test(runtime.path());
    return QTest::qExec(&test, argc, argv);
}
#include "tst_commandwalk.moc"
