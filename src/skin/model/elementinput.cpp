#include "elementinput.h"

namespace {

ElementStep fade(ElementStep step, int from, int to)
{
    step.fadeFrom = from;
    step.fadeTo = to;
    return step;
}

} // namespace

ElementStep pointerMoveStep(ElementKind kind, ElementState state, bool hit, bool blocked)
{
    ElementStep step{state};
    switch (kind) {
    case ElementKind::Button:
        if (hit && !state.hover) {
            step.state.hover = true;
            return fade(step, 0, 1);
        }
        if (!hit && state.hover) {
            step.state.hover = false;
            step.state.pressed = false;
            return fade(step, 1, 0);
        }
        return step;
    case ElementKind::SingleSwitch:
        if (hit && !state.hover) {
            if (blocked) {
                step.stop = true;
                return step;
            }
            step.state.hover = true;
            return fade(step, state.on ? 3 : 0, state.on ? 2 : 1);
        }
        if (!hit && state.hover) {
            step.state.hover = false;
            return fade(step, state.on ? 2 : 1, state.on ? 3 : 0);
        }
        return step;
    case ElementKind::GroupSwitch:
        if (hit != state.hover) {
            step.state.hover = hit;
            step.repaint = true;
        }
        return step;
    }
    return step;
}

ElementStep pointerPressStep(ElementKind kind, ElementState state, bool hit, bool shift, bool blocked)
{
    ElementStep step{state};
    if (!hit)
        return step;
    switch (kind) {
    case ElementKind::Button:
        // A button already held lets the press go on to the elements after it.
        if (state.pressed)
            return step;
        step.state.pressed = true;
        step.stop = true;
        return fade(step, 1, 2);
    case ElementKind::SingleSwitch:
        step.stop = true;
        if (blocked)
            return step;
        step.state.on = !state.on;
        if (!shift)
            step.command = state.on ? ElementCommand::Up : ElementCommand::Down;
        return state.on ? fade(step, 2, 1) : fade(step, 1, 2);
    case ElementKind::GroupSwitch:
        step.stop = true;
        if (state.on)
            return step; // a group switch is not turned off by clicking it
        step.state.on = true;
        step.clearGroup = true;
        step.repaint = true;
        // With Shift the switch shows its resting "on" picture; otherwise it stays hovered.
        if (shift)
            step.state.hover = false;
        else
            step.command = ElementCommand::Go;
        return step;
    }
    return step;
}

ElementStep pointerReleaseStep(ElementKind kind, ElementState state, bool hit, bool fadeBack)
{
    ElementStep step{state};
    if (!hit)
        return step;
    switch (kind) {
    case ElementKind::Button:
        if (!state.pressed)
            return fade(step, 2, 0);
        step.state.pressed = false;
        step.command = ElementCommand::Go;
        return fadeBack ? fade(step, 2, 1) : step;
    case ElementKind::SingleSwitch:
        return step;
    case ElementKind::GroupSwitch:
        step.state.hover = false;
        step.moveAgain = true;
        return step;
    }
    return step;
}

bool releaseFadesBack(const QString& command)
{
    return !command.startsWith(QLatin1String("screen2")) && command != QLatin1String("1") &&
           !command.startsWith(QLatin1String("exit"));
}

const char* elementCommandName(ElementCommand command)
{
    switch (command) {
    case ElementCommand::None:
        return "None";
    case ElementCommand::Go:
        return "Go";
    case ElementCommand::Up:
        return "Up";
    case ElementCommand::Down:
        return "Down";
    }
    return "?";
}
