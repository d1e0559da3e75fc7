#pragma once

// The window's keys as a table: which key, with exactly which modifiers, on which screen, does
// what. The window looks a key up with MatchShortcut and carries the answer out; a key that
// matches nothing goes on to the focused control.

#include <QString>
#include <Qt>

enum class ShortcutAction
{
    None,          // the key goes on to the focused control
    CloseCopy,     // a copy of the program closes
    Escape,        // stops a search, closes the dialog or the popups; passes on when nothing was open
    HelpTopic,     // argument: the help topic
    RunCommand,    // argument: the command, run silently
    ClickSwitches, // argument: the command whose single switches are clicked
    AddFavorite,
    PrintPage,
    FindPage,
    SelectAll,
};

// What the window is doing when the key comes.
struct ShortcutContext
{
    int screen = 0;
    bool hasParameters = false; // a copy started with a file to show
    bool copyFlag = false;      // a help copy
    bool textEntry = false;     // the key goes to a text field
    bool hasPanes = false;
    bool hasHistory = false;
    bool hasDialogs = false;
};

struct ShortcutMatch
{
    ShortcutAction action = ShortcutAction::None;
    QString argument;
};

// Only Shift, Control and Alt count; among them the modifiers must be exactly those of a rule.
ShortcutMatch matchShortcut(int key, Qt::KeyboardModifiers modifiers, const ShortcutContext& context);

// The help topic of a screen, empty for a screen without one.
QString helpTopicForScreen(int screen);

// Name of an action, for messages and tests.
const char* shortcutActionName(ShortcutAction action);
