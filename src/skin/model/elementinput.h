#pragma once

// How a button or switch of a screen answers the pointer, as pure steps: given the element's
// state and whether the pointer hits it, what it looks like afterwards, which of its pictures
// cross-fade into which, and which of its commands runs. The window applies the steps.
//
// Pictures by index: buttons 0 up, 1 hover, 2 down; switches 0 off, 1 off hovered, 2 on hovered,
// 3 on.

#include <QString>

enum class ElementKind
{
    Button,
    SingleSwitch,
    GroupSwitch,
};

struct ElementState
{
    bool hover = false;
    bool pressed = false; // buttons: held down
    bool on = false;      // switches
};

// Which of the element's commands runs.
enum class ElementCommand
{
    None,
    Go,   // a button's or group switch's command
    Up,   // a single switch turned off
    Down, // a single switch turned on
};

struct ElementStep
{
    ElementState state; // the element afterwards
    int fadeFrom = -1;  // the pictures that cross-fade; -1 for none
    int fadeTo = -1;
    bool repaint = false;    // the element is painted again from its state (group switches)
    bool clearGroup = false; // the other switches of its group turn off
    bool moveAgain = false;  // the pointer's position is looked at again, as if it moved
    ElementCommand command = ElementCommand::None;
    bool stop = false; // no later element sees this pointer event

    bool fades() const { return fadeFrom >= 0; }
};

// blocked: a switch of the second tree while neither tree shows; it does not answer.
ElementStep pointerMoveStep(ElementKind kind, ElementState state, bool hit, bool blocked = false);
// With shift, a switch changes its state without running its command.
ElementStep pointerPressStep(ElementKind kind, ElementState state, bool hit, bool shift, bool blocked = false);
// fadeBack: a released button fades from down back to hover (see ReleaseFadesBack).
ElementStep pointerReleaseStep(ElementKind kind, ElementState state, bool hit, bool fadeBack = true);

// A released button fades back to hover unless its command leaves the screen as it is: another
// screen ("screen2…", "1") or the end ("exit…").
bool releaseFadesBack(const QString& command);

// Name of a command choice, for messages and tests.
const char* elementCommandName(ElementCommand command);
