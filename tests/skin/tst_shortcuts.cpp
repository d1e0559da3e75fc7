#include "screenids.h"
#include "shortcuts.h"

#include <QTest>

Q_DECLARE_METATYPE(ShortcutAction)
Q_DECLARE_METATYPE(ShortcutContext)

namespace {

// The window as it usually is when a key comes: the reading screen with every component joined,
// the focus off any text field.
ShortcutContext reading()
{
    ShortcutContext context;
    context.screen = kReadingScreen;
    context.hasPanes = true;
    context.hasHistory = true;
    context.hasDialogs = true;
    return context;
}

} // namespace

class TestShortcuts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyDecides_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<ShortcutContext>("context");
        QTest::addColumn<ShortcutAction>("action");
        QTest::addColumn<QString>("argument");
        using A = ShortcutAction;
        const Qt::KeyboardModifiers none;
        const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
        const auto row = [](const char* name, int key, Qt::KeyboardModifiers modifiers, ShortcutContext context,
                            A action, const char* argument = "") {
            QTest::newRow(name) << key << modifiers << context << action << QString::fromLatin1(argument);
        };
        const auto with = [](auto change) {
            ShortcutContext context = reading();
            change(context);
            return context;
        };
        const ShortcutContext start = with([](ShortcutContext& c) { c.screen = kStartScreen; });
        const ShortcutContext third = with([](ShortcutContext& c) { c.screen = 2; });
        const ShortcutContext typing = with([](ShortcutContext& c) { c.textEntry = true; });
        const ShortcutContext noPanes = with([](ShortcutContext& c) { c.hasPanes = false; });
        const ShortcutContext copy = with([](ShortcutContext& c) { c.copyFlag = true; });
        const ShortcutContext shown = with([](ShortcutContext& c) { c.hasParameters = true; });

        // The reading screen's keys, each with exactly its modifiers.
        row("shift+t thesaurus", Qt::Key_T, shift, reading(), A::RunCommand, "tesaurus");
        const Qt::KeyboardModifiers alt = Qt::AltModifier;
        row("alt+left back", Qt::Key_Left, alt, reading(), A::RunCommand, "back");
        row("alt+right forward", Qt::Key_Right, alt, reading(), A::RunCommand, "forward");
        row("backspace back", Qt::Key_Backspace, none, reading(), A::RunCommand, "back");
        row("shift+backspace forward", Qt::Key_Backspace, shift, reading(), A::RunCommand, "forward");
        row("back key with any modifiers", Qt::Key_Back, ctrl, reading(), A::RunCommand, "back");
        row("backspace in a text field stays there", Qt::Key_Backspace, none, typing, A::None);
        row("left alone scrolls the page", Qt::Key_Left, none, reading(), A::None);
        row("alt+left on another screen with a pane", Qt::Key_Left, alt, third, A::RunCommand, "back");
        row("alt+left without panes", Qt::Key_Left, alt, noPanes, A::None);
        row("shift+z first tree", Qt::Key_Z, shift, reading(), A::ClickSwitches, "tree1");
        row("ctrl+shift+z trees off", Qt::Key_Z, ctrlShift, reading(), A::ClickSwitches, "offtree");
        row("shift+up previous chapter", Qt::Key_Up, shift, reading(), A::RunCommand, "prevchapter");
        row("shift+down next chapter", Qt::Key_Down, shift, reading(), A::RunCommand, "nextchapter");
        row("shift+home start screen", Qt::Key_Home, shift, reading(), A::RunCommand, "1");
        row("ctrl+i favorite", Qt::Key_I, ctrl, reading(), A::AddFavorite);
        row("ctrl+p print", Qt::Key_P, ctrl, reading(), A::PrintPage);
        row("ctrl+f find", Qt::Key_F, ctrl, reading(), A::FindPage);
        row("ctrl+a select all", Qt::Key_A, ctrl, reading(), A::SelectAll);
        row("keypad and meta do not count", Qt::Key_T, shift | Qt::KeypadModifier | Qt::MetaModifier, reading(),
            A::RunCommand, "tesaurus");

        // Modifiers compare exactly.
        row("t alone", Qt::Key_T, none, reading(), A::None);
        row("ctrl+shift+t", Qt::Key_T, ctrlShift, reading(), A::None);
        row("alt+shift+z", Qt::Key_Z, shift | Qt::AltModifier, reading(), A::None);
        row("ctrl+z", Qt::Key_Z, ctrl, reading(), A::None);
        row("ctrl+shift+p", Qt::Key_P, ctrlShift, reading(), A::None);
        row("shift+a", Qt::Key_A, shift, reading(), A::None);

        // The reading keys need the panes, the reading screen and no text field.
        row("text field keeps shift+t", Qt::Key_T, shift, typing, A::None);
        row("text field keeps ctrl+a", Qt::Key_A, ctrl, typing, A::None);
        row("no panes", Qt::Key_P, ctrl, noPanes, A::None);
        row("start screen", Qt::Key_T, shift, start, A::None);
        row("third screen", Qt::Key_A, ctrl, third, A::None);
        row("ctrl+i without history", Qt::Key_I, ctrl, with([](ShortcutContext& c) { c.hasHistory = false; }), A::None);
        row("ctrl+f without dialogs", Qt::Key_F, ctrl, with([](ShortcutContext& c) { c.hasDialogs = false; }), A::None);

        // Escape and F1 come before the text field and ignore the modifiers.
        row("escape", Qt::Key_Escape, none, reading(), A::Escape);
        row("escape in a field without panes", Qt::Key_Escape, ctrl, with([](ShortcutContext& c) {
                c.textEntry = true;
                c.hasPanes = false;
            }),
            A::Escape);
        row("f1 on the start screen", Qt::Key_F1, none, start, A::HelpTopic, "Topic12");
        row("f1 on the reading screen in a field", Qt::Key_F1, shift, typing, A::HelpTopic, "Topic13");
        // A screen without a topic of its own opens the help at its top.
        row("f1 elsewhere", Qt::Key_F1, none, third, A::HelpTopic, "");

        // A copy knows only Escape, which closes it.
        row("help copy escape", Qt::Key_Escape, none, copy, A::CloseCopy);
        row("help copy f1", Qt::Key_F1, none, copy, A::None);
        row("help copy ctrl+a", Qt::Key_A, ctrl, copy, A::None);
        row("copy with a file escape", Qt::Key_Escape, shift, shown, A::CloseCopy);
        row("copy with a file ctrl+p", Qt::Key_P, ctrl, shown, A::None);
    }

    void keyDecides()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(ShortcutContext, context);
        QFETCH(ShortcutAction, action);
        QFETCH(QString, argument);
        const ShortcutMatch match = matchShortcut(key, modifiers, context);
        QCOMPARE(shortcutActionName(match.action), shortcutActionName(action));
        QCOMPARE(match.argument, argument);
    }

    void helpTopicOnlyForTheStartAndReadingScreens()
    {
        QCOMPARE(helpTopicForScreen(kStartScreen), QStringLiteral("Topic12"));
        QCOMPARE(helpTopicForScreen(kReadingScreen), QStringLiteral("Topic13"));
        QVERIFY(helpTopicForScreen(2).isEmpty());
        QVERIFY(helpTopicForScreen(-1).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestShortcuts)
#include "tst_shortcuts.moc"
