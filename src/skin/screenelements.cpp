// The buttons and switches of the current screen: built from the screen's records, painted, and
// answering the pointer through the pure steps of elementinput.h.

#include "mainform.h"

#include "appcontext.h"
#include "caption.h"
#include "effbtncar.h"
#include "hotarea.h"
#include "picturecache.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

// A point hits an element strictly inside its bounds: the border pixels do not count.
template <typename Element> bool hits(const Element& e, QPoint p)
{
    return e.vx < p.x() && p.x() < e.right && e.vy < p.y() && p.y() < e.bottom;
}

template <typename Element> QRect boundsOf(const Element& e)
{
    return QRect(e.vx, e.vy, e.right - e.vx, e.bottom - e.vy);
}

} // namespace

void TMainForm::releaseElement(ScreenElement& element)
{
    delete element.effect;
    delete element.area;
    element.effect = nullptr;
    element.area = nullptr;
}

void TMainForm::resizeElements(qsizetype count)
{
    // The hot areas and effects of the previous screen are used again.
    while (m_elements.size() > count) {
        releaseElement(m_elements.last());
        m_elements.removeLast();
    }
    while (m_elements.size() < count) {
        ScreenElement element;
        element.area = new HotArea(this);
        connect(element.area, &HotArea::pointerMoved, this, [this](QPoint at) { pointerMove(at); });
        connect(element.area, &HotArea::pointerPressed, this,
                [this](QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
                    pointerPress(at, button, modifiers);
                });
        connect(element.area, &HotArea::pointerReleased, this, [this](QPoint at) { pointerRelease(at); });
        element.effect = new TEffBtnCar(this, int(m_elements.size()));
        connect(element.effect, &TEffBtnCar::finished, this, qOverload<>(&QWidget::update));
        m_elements.append(element);
    }
    for (ScreenElement& element : m_elements) {
        element.effect->setStep(4);
        element.hover = false;
        element.pressed = false;
        element.pictures = {};
    }
}

TMainForm::ScreenElement* TMainForm::element(ElementKind kind, int record)
{
    for (ScreenElement& element : m_elements) {
        if (element.kind == kind && element.record == record)
            return &element;
    }
    return nullptr;
}

// The record of an element, nullptr when the screen has none at its index (while a screen
// change has not yet built the new screen's elements).
template <typename Records> auto* recordOf(Records& records, int index)
{
    return index >= 0 && index < records.size() ? &records[index] : nullptr;
}

TMainForm::ElementPlace TMainForm::placeOf(const ScreenElement& element)
{
    SkinScreen& s = screenRecord();
    const auto place = [](const auto* r) {
        return r ? ElementPlace{r->vx, r->vy, r->right, r->bottom} : ElementPlace{};
    };
    switch (element.kind) {
    case ElementKind::Button:
        return place(recordOf(s.buttons, element.record));
    case ElementKind::SingleSwitch:
        return place(recordOf(s.switchone, element.record));
    case ElementKind::GroupSwitch:
        return place(recordOf(s.switchgrp, element.record));
    }
    return {};
}

ElementState TMainForm::stateOf(const ScreenElement& element)
{
    const auto ofSwitch = [](const auto* sw) {
        ElementState state;
        if (sw) {
            state.hover = sw->hover;
            state.on = sw->state;
        }
        return state;
    };
    switch (element.kind) {
    case ElementKind::Button:
        return {element.hover, element.pressed};
    case ElementKind::SingleSwitch:
        return ofSwitch(recordOf(screenRecord().switchone, element.record));
    case ElementKind::GroupSwitch:
        return ofSwitch(recordOf(screenRecord().switchgrp, element.record));
    }
    return {};
}

void TMainForm::setState(ScreenElement& element, const ElementState& state)
{
    const auto toSwitch = [&state](auto* sw) {
        if (sw) {
            sw->hover = state.hover;
            sw->state = state.on;
        }
    };
    switch (element.kind) {
    case ElementKind::Button:
        element.hover = state.hover;
        element.pressed = state.pressed;
        break;
    case ElementKind::SingleSwitch:
        toSwitch(recordOf(screenRecord().switchone, element.record));
        break;
    case ElementKind::GroupSwitch:
        toSwitch(recordOf(screenRecord().switchgrp, element.record));
        break;
    }
}

void TMainForm::buildElements()
{
    SkinScreen& s = screenRecord();
    // Each picture of the screen is decoded once and shared by the elements that name it; the
    // screen's pictures, with the copies that get captions, stay within the cache's budget.
    PictureCache cache(m_context.container);
    const auto captioned = [&cache](const QImage& picture, const QString& caption) {
        return !picture.isNull() && !caption.trimmed().isEmpty() && cache.reserve(picture.sizeInBytes());
    };
    const auto placeArea = [](ScreenElement& pics, QRect bounds, const QString& hint) {
        pics.area->setGeometry(bounds);
        pics.area->setToolTip(hint);
        pics.area->show();
    };

    resizeElements(s.buttons.size() + s.switchone.size() + s.switchgrp.size());
    qsizetype next = 0;
    const auto take = [&](ElementKind kind, qsizetype record) -> ScreenElement& {
        ScreenElement& element = m_elements[next++];
        element.kind = kind;
        element.record = int(record);
        return element;
    };
    for (qsizetype i = 0; i < s.buttons.size(); ++i) {
        RBtn& b = s.buttons[i];
        ScreenElement& pics = take(ElementKind::Button, i);
        const QImage up = cache.picture(b.fn1);
        b.right = b.vx + up.width();
        b.bottom = b.vy + up.height();
        const QRect caption(b.texttx, b.textty, b.textbx - b.texttx, b.textby - b.textty);
        const QString fn[3] = {b.fn1, b.fn2, b.fn3};
        const FontStyles styles[3] = {b.styleup, b.stylemv, b.styledn};
        const int colors[3] = {b.colorup, b.colormv, b.colordn};
        for (int k = 0; k < 3; ++k) {
            pics.pictures[k] = k == 0 ? up : cache.picture(fn[k]);
            if (captioned(pics.pictures[k], b.textcaption))
                drawCaption(pics.pictures[k], b.textcaption, caption,
                            captionFont(b.textfontname, b.textfontsize, styles[k]), windowsColor(colors[k]));
        }
        pics.effect->setStep(b.go.toLower().contains(QLatin1String("contextmenu")) ? 3 : 4);
        placeArea(pics, boundsOf(b), b.hint);
    }

    // Switches: off and off-hovered carry the up caption, on-hovered and on the down caption.
    const auto buildSwitch = [&](auto& sw, ScreenElement& pics, QRect upRect, QRect downRect) {
        const QString fn[4] = {sw.fn1, sw.fn2, sw.fn3, sw.fn4};
        const FontStyles styles[4] = {sw.styleup, sw.stylemvup, sw.stylemvdn, sw.styledn};
        const int colors[4] = {sw.colorup, sw.colormvup, sw.colormvdn, sw.colordn};
        for (int k = 0; k < 4; ++k) {
            pics.pictures[k] = cache.picture(fn[k]);
            if (k == 0) {
                sw.right = sw.vx + pics.pictures[0].width();
                sw.bottom = sw.vy + pics.pictures[0].height();
            }
            const bool upPicture = k < 2;
            const QString& caption = upPicture ? sw.textcaptionup : sw.textcaptiondn;
            if (captioned(pics.pictures[k], caption))
                drawCaption(pics.pictures[k], caption, upPicture ? upRect : downRect,
                            captionFont(sw.textfontname, sw.textfontsize, styles[k]), windowsColor(colors[k]));
        }
        placeArea(pics, boundsOf(sw), sw.hint);
    };
    for (qsizetype i = 0; i < s.switchone.size(); ++i) {
        RSwthOne& sw = s.switchone[i];
        buildSwitch(sw, take(ElementKind::SingleSwitch, i),
                    QRect(sw.texttxup, sw.texttyup, sw.textbxup - sw.texttxup, sw.textbyup - sw.texttyup),
                    QRect(sw.texttxdn, sw.texttydn, sw.textbxdn - sw.texttxdn, sw.textbydn - sw.texttydn));
    }
    for (qsizetype i = 0; i < s.switchgrp.size(); ++i) {
        RSwthGrp& sw = s.switchgrp[i];
        const QRect rect(sw.texttx, sw.textty, sw.textbx - sw.texttx, sw.textby - sw.textty);
        buildSwitch(sw, take(ElementKind::GroupSwitch, i), rect, rect);
    }
}

void TMainForm::composeBackground()
{
    if (m_background.isNull())
        return;
    QPainter painter(&m_background);
    for (const ScreenElement& element : std::as_const(m_elements)) {
        const ElementPlace place = placeOf(element);
        painter.drawImage(QPoint(place.vx, place.vy), element.pictures[0]);
    }
}

void TMainForm::setButtonHints(const QString& command, const QString& hint)
{
    SkinScreen& s = screenRecord();
    for (qsizetype i = 0; i < s.buttons.size(); ++i) {
        if (s.buttons[i].go.trimmed().compare(command, Qt::CaseInsensitive) != 0)
            continue;
        s.buttons[i].hint = hint;
        if (ScreenElement* button = element(ElementKind::Button, int(i)); button && button->area)
            button->area->setToolTip(hint);
    }
}

QList<HotArea*> TMainForm::hotAreas() const
{
    QList<HotArea*> areas;
    for (const ScreenElement& element : m_elements)
        areas.append(element.area);
    return areas;
}

void TMainForm::paintEvent(QPaintEvent*)
{
    m_painted = true;
    QPainter painter(this);
    if (m_standard) {
        // An ordinary window: the system's face colour around the pane.
        painter.fillRect(rect(), palette().color(QPalette::Button));
        return;
    }
    painter.drawImage(0, 0, m_background);
    if (m_screen >= 0 && m_screen < m_script.screens.size()) {
        for (const ScreenElement& element : std::as_const(m_elements)) {
            const ElementPlace place = placeOf(element);
            const ElementState state = stateOf(element);
            const QPoint at(place.vx, place.vy);
            if (element.kind == ElementKind::Button) {
                // A held button rests on its down picture, a hovered one on its hover picture.
                if (state.pressed || (!state.hover && restsDown(element)))
                    painter.drawImage(at, element.pictures[2]);
                else if (state.hover)
                    painter.drawImage(at, element.pictures[1]);
            } else if (state.hover) {
                painter.drawImage(at, element.pictures[state.on ? 2 : 1]);
            } else if (state.on) {
                painter.drawImage(at, element.pictures[3]);
            }
        }
    }
    // Group switches do not fade.
    for (const ScreenElement& element : std::as_const(m_elements)) {
        if (element.kind != ElementKind::GroupSwitch)
            element.effect->paint(painter);
    }
    if (m_components.misc)
        m_components.misc->PaintTexts(painter);
}

void TMainForm::crossFade(ScreenElement& element, const ElementStep& step, QPoint at)
{
    if (!step.fades())
        return;
    // A button resting down fades to and from its down picture where others use their up one.
    const int rest = restsDown(element) ? 2 : 0;
    const int from = step.fadeFrom == 0 ? rest : step.fadeFrom;
    const int to = step.fadeTo == 0 ? rest : step.fadeTo;
    element.effect->StartCrossFade(element.pictures[from], element.pictures[to], at);
}

bool TMainForm::treeSwitchBlocked(const ScreenElement& element)
{
    if (element.kind != ElementKind::SingleSwitch)
        return false;
    const RSwthOne* sw = recordOf(screenRecord().switchone, element.record);
    const TreesHooks* trees = m_components.trees;
    return sw && trees && trees->secondTreeExists() && trees->bothHidden() &&
           (sw->goup.compare(QLatin1String("tree2"), Qt::CaseInsensitive) == 0 ||
            sw->godown.compare(QLatin1String("tree2"), Qt::CaseInsensitive) == 0);
}

void TMainForm::pointerMove(QPoint at)
{
    MediaHooks* media = m_components.media;
    if (media && media->videoExists() && media->videoActive() && media->videoHitTest(at))
        return;
    for (ScreenElement& element : m_elements) {
        const ElementPlace place = placeOf(element);
        const ElementState state = stateOf(element);
        const bool hit = hits(place, at);
        const bool blocked = hit && !state.hover && treeSwitchBlocked(element);
        const ElementStep step = pointerMoveStep(element.kind, state, hit, blocked);
        if (step.stop)
            return;
        crossFade(element, step, QPoint(place.vx, place.vy));
        setState(element, step.state);
        if (step.repaint)
            update(boundsOf(place));
    }
}

void TMainForm::startDrag(QPoint at, Qt::MouseButton button)
{
    // The window moves itself: the window manager's move, started after the press, could begin
    // after a quick release and then follow a pointer whose button is up.
    if (button == Qt::NoButton || !(QGuiApplication::mouseButtons() & button))
        return;
    m_dragging = true;
    m_dragAnchor = at;
    m_dragButton = button;
}

void TMainForm::endDrag()
{
    m_dragging = false;
}

bool TMainForm::dragEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!(mouse->buttons() & m_dragButton)) {
            endDrag(); // the release went elsewhere
            return false;
        }
        move(mouse->globalPosition().toPoint() - m_dragAnchor);
        return true;
    }
    case QEvent::MouseButtonRelease:
        endDrag();
        return false;
    default:
        return false;
    }
}

bool TMainForm::restsDown(const ScreenElement& element)
{
    if (element.kind != ElementKind::Button || !m_context.userSettings.bgSound)
        return false;
    const RBtn* b = recordOf(screenRecord().buttons, element.record);
    return b && b->go.trimmed().compare(QLatin1String("bgsound"), Qt::CaseInsensitive) == 0;
}

void TMainForm::pointerPress(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    if (m_components.popups)
        m_components.popups->hideAll();
    MediaHooks* media = m_components.media;
    if (media && media->videoExists() && media->videoClickArea(at)) {
        QTimer::singleShot(100, this, [this, at, button] {
            if (button == Qt::LeftButton && m_components.media && m_components.media->videoHalted())
                startDrag(at, button);
        });
        return;
    }
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    SkinScreen& s = screenRecord();
    for (ScreenElement& element : m_elements) {
        const ElementPlace place = placeOf(element);
        const bool hit = hits(place, at);
        const bool blocked = hit && treeSwitchBlocked(element);
        const ElementStep step = pointerPressStep(element.kind, stateOf(element), hit, shift, blocked);
        if (step.clearGroup) {
            const RSwthGrp& sw = s.switchgrp[element.record];
            for (RSwthGrp& other : s.switchgrp) {
                if (&other != &sw && other.group == sw.group && other.state) {
                    other.state = false;
                    update(boundsOf(other));
                }
            }
        }
        crossFade(element, step, QPoint(place.vx, place.vy));
        setState(element, step.state);
        if (step.repaint)
            update(boundsOf(place));
        if (step.command != ElementCommand::None) {
            QString command;
            QString sound;
            CommandSource source = CommandSource::GroupSwitch;
            if (element.kind == ElementKind::SingleSwitch) {
                const RSwthOne& sw = s.switchone[element.record];
                command = step.command == ElementCommand::Up ? sw.goup : sw.godown;
                sound = sw.wav;
                source = CommandSource::SingleSwitch;
            } else {
                const RSwthGrp& sw = s.switchgrp[element.record];
                command = sw.go;
                sound = sw.wav;
            }
            RunCommand(command, sound, false, source, element.record);
        }
        if (step.stop)
            return;
    }
    startDrag(at, button);
}

void TMainForm::pointerRelease(QPoint at)
{
    MediaHooks* media = m_components.media;
    if (media && media->videoExists() && media->videoActive() && media->videoHitTest(at))
        return;
    const int screenBefore = m_screen;
    // By index: a command may change the records, and a screen change the elements.
    for (qsizetype i = 0; i < m_elements.size(); ++i) {
        ScreenElement& element = m_elements[i];
        const ElementPlace place = placeOf(element);
        const bool button = element.kind == ElementKind::Button;
        const RBtn b = button ? screenRecord().buttons.value(element.record) : RBtn();
        const ElementStep step =
            pointerReleaseStep(element.kind, stateOf(element), hits(place, at), !button || releaseFadesBack(b.go));
        setState(element, step.state);
        const bool runs = step.command == ElementCommand::Go;
        if (runs && b.go.startsWith(QLatin1String("screen2")) && media && media->videoExists() &&
            media->videoActive() && !media->videoHalted())
            media->freezeVideo();
        crossFade(element, step, QPoint(place.vx, place.vy));
        if (runs) {
            RunCommand(b.go, b.wav, false, CommandSource::Button, element.record);
            if (m_screen != screenBefore)
                return;
        }
        if (step.moveAgain)
            pointerMove(at);
    }
}

void TMainForm::leaveEvent(QEvent* event)
{
    // The pointer went to another window (one that a button opened, say): no button of this one
    // stays lit, whether or not the window saw the pointer move off it.
    pointerOffElements();
    QWidget::leaveEvent(event);
}

void TMainForm::hideEvent(QHideEvent* event)
{
    endDrag();
    QWidget::hideEvent(event);
}

void TMainForm::mouseMoveEvent(QMouseEvent* event)
{
    if (m_standard)
        return; // no skin under the pointer
    pointerMove(event->position().toPoint());
}

void TMainForm::mousePressEvent(QMouseEvent* event)
{
    if (m_standard)
        return; // no skin under the pointer
    pointerPress(event->position().toPoint(), event->button(), event->modifiers());
}

void TMainForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_standard)
        return; // no skin under the pointer
    pointerRelease(event->position().toPoint());
}

void TMainForm::pressSwitchesFor(const QString& startPage)
{
    if (startPage.isEmpty())
        return;
    // A command opens the part when it names its start page: written out in full, or as the
    // script writes it, relative to the program's folder (the start page was expanded from it).
    const ProgramFolders folders = m_context.folders();
    const auto opens = [&startPage, &folders](const QString& command) {
        return command.contains(startPage) || CommandArg(command, folders).compare(startPage, Qt::CaseInsensitive) == 0;
    };
    // Copies: pressing changes the records.
    const TDynamicSwthOneArray singles = screenRecord().switchone;
    const TDynamicSwthGrpArray groups = screenRecord().switchgrp;
    for (const RSwthOne& sw : singles) {
        if (opens(sw.state ? sw.goup : sw.godown))
            pointerPress(QPoint(sw.vx + 1, sw.vy + 1), Qt::LeftButton, Qt::ShiftModifier);
    }
    for (const RSwthGrp& sw : groups) {
        if (!sw.state && opens(sw.go))
            pointerPress(QPoint(sw.vx + 1, sw.vy + 1), Qt::LeftButton, Qt::ShiftModifier);
    }
}

void TMainForm::showGroupSwitch(const QString& command, bool on)
{
    bool changed = false;
    for (int screen = 0; screen < m_script.screens.size(); ++screen) {
        TDynamicSwthGrpArray& groups = m_script.screens[screen].switchgrp;
        for (RSwthGrp& sw : groups) {
            if (sw.go.compare(command, Qt::CaseInsensitive) != 0 || sw.state == on)
                continue;
            if (on) {
                for (RSwthGrp& other : groups) {
                    if (other.group == sw.group && other.state) {
                        other.state = false;
                        changed = changed || screen == m_screen;
                    }
                }
            }
            sw.state = on;
            changed = changed || screen == m_screen;
        }
    }
    if (changed)
        update();
}

void TMainForm::runSwitchCommands(bool onScreenChange)
{
    // Copies: the commands may change the screen's records.
    const TDynamicSwthOneArray singles = screenRecord().switchone;
    const TDynamicSwthGrpArray groups = screenRecord().switchgrp;
    for (const RSwthOne& sw : singles) {
        if (onScreenChange && sw.godown == QLatin1String("3d"))
            continue;
        RunCommand(sw.state ? sw.godown : sw.goup, QString(), true, CommandSource::SingleSwitch);
    }
    for (const RSwthGrp& sw : groups) {
        if (onScreenChange && sw.go == QLatin1String("3d"))
            continue;
        if (sw.state)
            RunCommand(sw.go, QString(), true, CommandSource::GroupSwitch);
    }
}
