#include "shortcuts.h"

#include "screenids.h"

#include <iterator>

namespace {

enum class Needs
{
    Nothing,
    History,
    PaneHistory, // history, a pane, and no text field: on any screen
    Dialogs,
};

struct Shortcut
{
    bool anyModifiers;               // Escape and F1 ignore the modifiers
    Qt::KeyboardModifiers modifiers; // otherwise exactly these
    int key;
    int screen;   // -1: any screen
    bool paneKey; // needs the panes, the reading screen (or parameters), and no text field
    Needs needs;
    ShortcutAction action;
    const char* argument;
};

constexpr Qt::KeyboardModifiers kShift{Qt::ShiftModifier};
constexpr Qt::KeyboardModifiers kCtrl{Qt::ControlModifier};
constexpr Qt::KeyboardModifiers kCtrlShift{Qt::ControlModifier | Qt::ShiftModifier};
constexpr Qt::KeyboardModifiers kAlt{Qt::AltModifier};

using A = ShortcutAction;

// The first rule that fits decides.
constexpr Shortcut kShortcuts[] = {
    {true, {}, Qt::Key_Escape, -1, false, Needs::Nothing, A::Escape, ""},
    {true, {}, Qt::Key_F1, kStartScreen, false, Needs::Nothing, A::HelpTopic, "Topic12"},
    {true, {}, Qt::Key_F1, kReadingScreen, false, Needs::Nothing, A::HelpTopic, "Topic13"},
    // The other screens have no topic of their own: the help opens at its top.
    {true, {}, Qt::Key_F1, -1, false, Needs::Nothing, A::HelpTopic, ""},
    {false, kShift, Qt::Key_T, -1, true, Needs::Nothing, A::RunCommand, "tesaurus"},
    {false, kShift, Qt::Key_Z, -1, true, Needs::Nothing, A::ClickSwitches, "tree1"},
    {false, kCtrlShift, Qt::Key_Z, -1, true, Needs::Nothing, A::ClickSwitches, "offtree"},
    {false, kShift, Qt::Key_Up, -1, true, Needs::Nothing, A::RunCommand, "prevchapter"},
    {false, kShift, Qt::Key_Down, -1, true, Needs::Nothing, A::RunCommand, "nextchapter"},
    {false, kShift, Qt::Key_Home, -1, true, Needs::Nothing, A::RunCommand, "1"},
    {false, kCtrl, Qt::Key_I, -1, true, Needs::History, A::AddFavorite, ""},
    // The browser's keys for back and forward, as a reader of web pages expects them.
    // On every screen with a pane, the reading screen or not.
    {false, kAlt, Qt::Key_Left, -1, false, Needs::PaneHistory, A::RunCommand, "back"},
    {false, kAlt, Qt::Key_Right, -1, false, Needs::PaneHistory, A::RunCommand, "forward"},
    {false, {}, Qt::Key_Backspace, -1, false, Needs::PaneHistory, A::RunCommand, "back"},
    {false, kShift, Qt::Key_Backspace, -1, false, Needs::PaneHistory, A::RunCommand, "forward"},
    {true, {}, Qt::Key_Back, -1, false, Needs::PaneHistory, A::RunCommand, "back"},
    {true, {}, Qt::Key_Forward, -1, false, Needs::PaneHistory, A::RunCommand, "forward"},
    {false, kCtrl, Qt::Key_P, -1, true, Needs::Nothing, A::PrintPage, ""},
    {false, kCtrl, Qt::Key_F, kReadingScreen, true, Needs::Dialogs, A::FindPage, ""},
    {false, kCtrl, Qt::Key_A, -1, true, Needs::Nothing, A::SelectAll, ""},
};

bool fits(const Shortcut& rule, int key, Qt::KeyboardModifiers modifiers, const ShortcutContext& context)
{
    if (rule.key != key || (!rule.anyModifiers && rule.modifiers != modifiers))
        return false;
    if (rule.screen >= 0 && rule.screen != context.screen)
        return false;
    // Typing in a field keeps its letters, its selection and its cursor keys.
    if (rule.paneKey &&
        (context.textEntry || !context.hasPanes || !(context.screen == kReadingScreen || context.hasParameters)))
        return false;
    switch (rule.needs) {
    case Needs::Nothing:
        return true;
    case Needs::History:
        return context.hasHistory;
    case Needs::PaneHistory:
        return context.hasHistory && context.hasPanes && !context.textEntry && !context.hasParameters;
    case Needs::Dialogs:
        return context.hasDialogs;
    }
    return false;
}

} // namespace

ShortcutMatch matchShortcut(int key, Qt::KeyboardModifiers modifiers, const ShortcutContext& context)
{
    // A copy knows one key: Escape closes it.
    if (context.hasParameters || context.copyFlag)
        return {key == Qt::Key_Escape ? A::CloseCopy : A::None, {}};
    modifiers &= Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    for (const Shortcut& rule : kShortcuts) {
        if (fits(rule, key, modifiers, context))
            return {rule.action, QString::fromLatin1(rule.argument)};
    }
    return {};
}

QString helpTopicForScreen(int screen)
{
    for (const Shortcut& rule : kShortcuts) {
        if (rule.action == A::HelpTopic && rule.screen == screen)
            return QString::fromLatin1(rule.argument);
    }
    return {};
}

const char* shortcutActionName(ShortcutAction action)
{
    static constexpr const char* names[] = {"None",          "CloseCopy",   "Escape",    "HelpTopic", "RunCommand",
                                            "ClickSwitches", "AddFavorite", "PrintPage", "FindPage",  "SelectAll"};
    const auto index = std::size_t(action);
    return index < std::size(names) ? names[index] : "?";
}
