#include "mainform.h"

#include "appcontext.h"
#include "caption.h"
#include "clicksound.h"
#include "effbtncar.h"
#include "hotarea.h"
#include "pathresolver.h"
#include "picturecache.h"
#include "screenids.h"
#include "settingsstore.h"
#include "shortcuts.h"
#include "skinlog.h"
#include "supertimer.h"
#include "windowcaptions.h"
#include "windowdirectory.h"
#include "windowshape.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMovie>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPolygon>
#include <QProcess>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

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

TMainForm::TMainForm(AppContext& context, SkinScript& script, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_context(context), m_script(script)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(m_context.values.appTitle);
    qApp->installEventFilter(this); // keys reach the window before its controls
    m_services.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    m_services.startProgram = [](const QString& program, const QStringList& arguments, const QString& folder) {
        return QProcess::startDetached(program, arguments, folder);
    };
    // The document panel that holds the trees and the panes: made with the window, so the
    // components can be joined to it before the first screen is built.
    m_panel = new QWidget(this);
    m_panel->setGeometry(kDocumentPanel);
    m_panel->setAutoFillBackground(true);
    QPalette palette = m_panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    m_panel->setPalette(palette);
    m_panel->hide();
    // The script's outline (m_outline) is made with the background, which gives its size.
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    for (ScreenElement& element : m_elements)
        releaseElement(element);
}

ClickSound& TMainForm::clickSound()
{
    // The player starts with the first sound, not with the window: it costs start-up time.
    if (!m_sound)
        m_sound = std::make_unique<ClickSound>();
    return *m_sound;
}

QImage TMainForm::loadPicture(const QString& name) const
{
    if (name.isEmpty())
        return {};
    const std::optional<QByteArray> bytes = m_context.container.Read(name);
    if (!bytes)
        return {};
    // A picture larger than a skin's may be is refused from its header, before it is decoded.
    QString why;
    QImage image = PictureCache::Decode(*bytes, PictureLimits(), &why);
    if (!why.isEmpty())
        qCWarning(lcSkin).noquote() << QStringLiteral("picture %1: %2; it is left out").arg(name, why);
    return image;
}

void TMainForm::loadBackground(int screen)
{
    if (screen < 0 || screen >= m_script.screens.size())
        return;
    const QImage background = loadPicture(m_script.screens[screen].background);
    if (background.isNull())
        return; // the previous background stays
    m_background = background;
    setFixedSize(m_background.size());
    // The outline is only of use where windows take shapes (not on the offscreen platform); it is
    // clipped to the window, so that no coordinate of the script can make it costly, and made
    // again only when a screen of another size comes.
    if (m_script.header.vertexmain.isEmpty() || QGuiApplication::platformName() == QLatin1String("offscreen") ||
        m_outlineSize == m_background.size())
        return;
    m_outlineSize = m_background.size();
    bool tooComplex = false;
    m_outline = OutlineRegion(m_script.header.vertexmain, m_outlineSize, &tooComplex);
    if (tooComplex)
        qCWarning(lcSkin) << "the window outline (vertexmain) crosses itself too often; the window stays rectangular";
    if (!m_initialising && !effectRunning() && isVisible())
        setMask(m_outline.isEmpty() ? QRegion(rect()) : m_outline);
}

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
                DrawCaption(pics.pictures[k], b.textcaption, caption,
                            CaptionFont(b.textfontname, b.textfontsize, styles[k]), WindowsColor(colors[k]));
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
                DrawCaption(pics.pictures[k], caption, upPicture ? upRect : downRect,
                            CaptionFont(sw.textfontname, sw.textfontsize, styles[k]), WindowsColor(colors[k]));
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

void TMainForm::restoreSwitchStates()
{
    SettingsStore* store = m_context.settings.get();
    for (int screen = 0; screen < m_script.screens.size(); ++screen) {
        SkinScreen& s = m_script.screens[screen];
        for (int i = 0; i < s.switchone.size(); ++i) {
            s.switchone[i].hover = false;
            if (store && s.switchone[i].store)
                s.switchone[i].state = store->readBool(QStringLiteral("SwOne%1%2").arg(screen).arg(i))
                                           .value_or(s.switchone[i].state);
        }
        for (int i = 0; i < s.switchgrp.size(); ++i) {
            s.switchgrp[i].hover = false;
            if (store && s.switchgrp[i].store)
                s.switchgrp[i].state = store->readBool(QStringLiteral("SwGrp%1%2").arg(screen).arg(i))
                                           .value_or(s.switchgrp[i].state);
        }
    }
}

void TMainForm::saveSwitchStates()
{
    SettingsStore* store = m_context.settings.get();
    if (!store)
        return;
    for (int screen = 0; screen < m_script.screens.size(); ++screen) {
        const SkinScreen& s = m_script.screens[screen];
        for (int i = 0; i < s.switchone.size(); ++i) {
            if (s.switchone[i].store)
                store->writeBool(QStringLiteral("SwOne%1%2").arg(screen).arg(i), s.switchone[i].state);
        }
        for (int i = 0; i < s.switchgrp.size(); ++i) {
            if (s.switchgrp[i].store)
                store->writeBool(QStringLiteral("SwGrp%1%2").arg(screen).arg(i), s.switchgrp[i].state);
        }
    }
    store->sync();
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

void TMainForm::addFonts()
{
    const QDir folder(m_context.disk.resolve(m_context.values.programDir));
    const QStringList fonts = folder.entryList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : fonts) {
        const int id = QFontDatabase::addApplicationFont(folder.filePath(name));
        if (id >= 0)
            m_fonts.append(id);
    }
}

void TMainForm::createAnimation()
{
    const std::optional<QByteArray> gif =
        m_context.pack.readFile(m_context.values.programDir + QStringLiteral("piston.gif"));
    if (!gif)
        return;
    m_movieData = new QBuffer(this);
    m_movieData->setData(*gif);
    m_movie = new QMovie(m_movieData, QByteArray(), this);
    if (!m_movie->isValid()) {
        delete m_movie;
        m_movie = nullptr;
        return;
    }
    m_animation = new QLabel(this);
    m_animation->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_animation->setMovie(m_movie);
    m_movie->jumpToFrame(0);
    m_animation->setGeometry(QRect(kAnimationPosition, m_movie->currentImage().size()));
    updateAnimation();
}

void TMainForm::updateAnimation()
{
    if (!m_movie)
        return;
    const bool show = m_screen != kReadingScreen;
    m_animation->setVisible(show);
    if (show)
        m_movie->start();
    else
        m_movie->stop();
}

void TMainForm::buildFirstScreen()
{
    m_screen = kStartScreen;
    if (m_script.screens.isEmpty())
        m_script.screens.resize(1);
    loadBackground(kStartScreen);
    buildElements();
    restoreSwitchStates();
    composeBackground();

    m_initialising = true;
    createAnimation();
    addFonts();
    // The first screen shows its pane and tree as every screen change does, before its switch
    // commands act on them.
    if (m_components.panes)
        m_components.panes->showScreenPane();
    if (m_components.trees)
        m_components.trees->showTreeForScreen();
    runSwitchCommands(false);
    m_initialising = false;
}

void TMainForm::changeScreen(int screen, CommandSource source, int sourceIndex)
{
    if (screen < 0 || screen >= m_script.screens.size())
        return;
    if (m_clipRestart)
        m_clipRestart->stop();

    // The element whose command started the change rests.
    const ElementKind originKind = source == CommandSource::Button         ? ElementKind::Button
                                   : source == CommandSource::SingleSwitch ? ElementKind::SingleSwitch
                                                                           : ElementKind::GroupSwitch;
    if (ScreenElement* origin = element(originKind, sourceIndex)) {
        origin->hover = false;
        origin->pressed = false;
        origin->effect->StopCrossFade();
    }
    if (source == CommandSource::SingleSwitch && sourceIndex >= 0 && sourceIndex < screenRecord().switchone.size())
        screenRecord().switchone[sourceIndex].hover = false;
    if (source == CommandSource::GroupSwitch && sourceIndex >= 0 && sourceIndex < screenRecord().switchgrp.size())
        screenRecord().switchgrp[sourceIndex].hover = false;

    m_screen = screen;
    MediaHooks* media = m_components.media;
    if (screen == kReadingScreen && media && media->videoExists())
        media->freezeVideo();

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    loadBackground(screen);
    buildElements();
    composeBackground();

    if (m_components.search)
        m_components.search->showSearchBoxes();
    if (m_components.misc)
        m_components.misc->showFieldsForScreen();
    if (media) {
        media->showClipAreas();
        media->showSlidesForScreen();
    }
    if (m_components.popups)
        m_components.popups->buildPopups();
    updateAnimation();

    m_initialising = true;
    if (m_components.panes)
        m_components.panes->showScreenPane();
    if (m_components.trees)
        m_components.trees->showTreeForScreen();
    runSwitchCommands(true);
    m_initialising = false;

    if (media && media->videoExists()) {
        QPainter painter(&m_background);
        media->paintFrozenVideo(painter);
    }
    startClipRestart();

    update();
    QGuiApplication::restoreOverrideCursor();
    Q_EMIT screenChanged(screen);
}

void TMainForm::startClipRestart()
{
    MediaHooks* media = m_components.media;
    if (!media)
        return;
    const SkinScreen& s = screenRecord();
    bool start = false;
    const bool videoRunning = media->videoExists() && media->videoActive();
    for (const RSwthOne& sw : s.switchone) {
        if (sw.state && sw.godown == QLatin1String("3d") && m_screen == kStartScreen && videoRunning &&
            media->videoHalted())
            start = true;
    }
    for (const RSwthGrp& sw : s.switchgrp) {
        if (sw.state && sw.go == QLatin1String("3d") && (m_screen != kStartScreen || videoRunning))
            start = true;
    }
    if (!start)
        return;
    if (!m_clipRestart) {
        m_clipRestart = new QTimer(this);
        m_clipRestart->setInterval(100);
        connect(m_clipRestart, &QTimer::timeout, this, [this] {
            m_clipRestart->stop();
            if (m_screen == kStartScreen && m_components.media)
                m_components.media->resumeVideoUnlessUserPaused();
        });
    }
    m_clipRestart->start();
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

bool TMainForm::effectRunning() const
{
    return m_effectTimer && m_effectTimer->isEnabled();
}

void TMainForm::paintEvent(QPaintEvent*)
{
    m_painted = true;
    QPainter painter(this);
    painter.drawImage(0, 0, m_background);
    if (m_screen >= 0 && m_screen < m_script.screens.size()) {
        for (const ScreenElement& element : std::as_const(m_elements)) {
            const ElementPlace place = placeOf(element);
            const ElementState state = stateOf(element);
            const QPoint at(place.vx, place.vy);
            if (element.kind == ElementKind::Button) {
                // A held button rests on its down picture, a hovered one on its hover picture.
                if (state.pressed)
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
        m_components.misc->paintTexts(painter);
}

void TMainForm::crossFade(ScreenElement& element, const ElementStep& step, QPoint at)
{
    if (step.fades())
        element.effect->StartCrossFade(element.pictures[step.fadeFrom], element.pictures[step.fadeTo], at);
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
        const ElementStep step = PointerMoveStep(element.kind, state, hit, blocked);
        if (step.stop)
            return;
        crossFade(element, step, QPoint(place.vx, place.vy));
        setState(element, step.state);
        if (step.repaint)
            update(boundsOf(place));
    }
}

void TMainForm::startDrag()
{
    if (QWindow* window = windowHandle())
        window->startSystemMove();
}

void TMainForm::pointerPress(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    if (m_components.popups)
        m_components.popups->hideAll();
    MediaHooks* media = m_components.media;
    if (media && media->videoExists() && media->videoClickArea(at)) {
        QTimer::singleShot(100, this, [this, button] {
            if (button == Qt::LeftButton && m_components.media && m_components.media->videoHalted())
                startDrag();
        });
        return;
    }
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    SkinScreen& s = screenRecord();
    for (ScreenElement& element : m_elements) {
        const ElementPlace place = placeOf(element);
        const bool hit = hits(place, at);
        const bool blocked = hit && treeSwitchBlocked(element);
        const ElementStep step = PointerPressStep(element.kind, stateOf(element), hit, shift, blocked);
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
    startDrag();
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
        const ElementStep step = PointerReleaseStep(element.kind, stateOf(element), hits(place, at),
                                                    !button || ReleaseFadesBack(b.go));
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

void TMainForm::mouseMoveEvent(QMouseEvent* event)
{
    pointerMove(event->position().toPoint());
}

void TMainForm::mousePressEvent(QMouseEvent* event)
{
    pointerPress(event->position().toPoint(), event->button(), event->modifiers());
}

void TMainForm::mouseReleaseEvent(QMouseEvent* event)
{
    pointerRelease(event->position().toPoint());
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // The window sees every key before the pane, tree or field that has the focus, as a key
    // preview does: a key the window acts on goes no further. A key it leaves alone goes on to
    // the focused control, and from there up to the window again, where it is still left alone.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const bool textEntry = qobject_cast<QLineEdit*>(watched) || qobject_cast<QAbstractSpinBox*>(watched) ||
                               qobject_cast<QTextEdit*>(watched) || qobject_cast<QPlainTextEdit*>(watched);
        if (previewKey(static_cast<QKeyEvent*>(event), textEntry))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TMainForm::previewKey(QKeyEvent* event, bool textEntry)
{
    ShortcutContext context;
    context.screen = m_screen;
    context.hasParameters = m_context.hasParameters;
    context.copyFlag = m_context.copyFlag;
    context.textEntry = textEntry;
    context.hasPanes = m_components.panes != nullptr;
    context.hasHistory = m_components.history != nullptr;
    context.hasDialogs = m_components.dialogs != nullptr;
    const ShortcutMatch match = MatchShortcut(event->key(), event->modifiers(), context);

    DialogsHooks* dialogs = m_components.dialogs;
    switch (match.action) {
    case ShortcutAction::None:
        return false;
    case ShortcutAction::CloseCopy:
        close();
        break;
    case ShortcutAction::Escape:
        if (m_components.search && dialogs && dialogs->dialogVisible()) {
            if (m_components.search->isRunning())
                m_components.search->stop();
            else
                dialogs->closeDialog();
        } else if (dialogs && dialogs->dialogVisible()) {
            dialogs->closeDialog();
        } else if (!m_components.popups || !m_components.popups->hideAll()) {
            return false; // nothing to close: the key goes on to the control
        }
        break;
    case ShortcutAction::HelpTopic:
        showHelpTopic(match.argument);
        break;
    case ShortcutAction::RunCommand:
        RunCommand(match.argument, QString(), true);
        break;
    case ShortcutAction::ClickSwitches: {
        const TDynamicSwthOneArray singles = screenRecord().switchone;
        for (const RSwthOne& sw : singles) {
            if (sw.goup.compare(match.argument, Qt::CaseInsensitive) == 0 ||
                sw.godown.compare(match.argument, Qt::CaseInsensitive) == 0)
                pointerPress(QPoint(sw.vx + 1, sw.vy + 1), Qt::LeftButton, Qt::NoModifier);
        }
        break;
    }
    case ShortcutAction::AddFavorite:
        m_components.history->addFavorite();
        break;
    case ShortcutAction::PrintPage:
        m_components.panes->printCurrentPage();
        break;
    case ShortcutAction::FindPage:
        dialogs->showFindPage();
        break;
    case ShortcutAction::SelectAll:
        m_components.panes->selectAll();
        break;
    }
    return true;
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    // The kind is told from at most the first 199 characters of the name; the file itself is
    // opened by its whole path.
    const QString file = urls.first().toLocalFile();
    const QString name = file.left(199).toLower();
    const auto has = [&](std::initializer_list<const char*> parts) {
        for (const char* part : parts) {
            if (name.contains(QLatin1String(part)))
                return true;
        }
        return false;
    };
    if (has({".htm", ".txt", ".bmp", ".jpg", ".jpeg", ".gif", ".png"})) {
        if (m_components.panes)
            m_components.panes->showPage(file);
    } else if (has({".rar"})) {
        if (m_components.misc)
            m_components.misc->showArchive(file);
    } else if (has({".wav", ".mp3", ".mpa"})) {
        if (m_components.media)
            m_components.media->playClip(file, QString(), 3);
    }
    event->acceptProposedAction();
}

void TMainForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_components.popups)
        m_components.popups->hideAll();
    QWidget::changeEvent(event);
}

void TMainForm::setOutline(const QRegion& outline)
{
    // Platforms without window shapes (the offscreen one of tests and screenshots) draw the whole
    // rectangle.
    static const bool shapes = QGuiApplication::platformName() != QLatin1String("offscreen");
    if (!shapes)
        return;
    // The script's outline, when it has one, keeps clipping whatever shape an effect gives.
    // An empty region would lift the mask altogether: a window that is to show nothing yet shows
    // one pixel.
    if (outline.isEmpty())
        setMask(QRegion(0, 0, 1, 1));
    else
        setMask(m_outline.isEmpty() ? outline : outline.intersected(m_outline));
}

void TMainForm::showStep()
{
    m_context.userSettings.animation = false;
    const QSize size = m_background.isNull() ? this->size() : m_background.size();
    auto outline = std::make_shared<OpeningOutline>(size);
    QRegion first;
    outline->next(first);
    setOutline(first);
    show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();
        activateWindow();
    }

    delete m_effectTimer;
    m_effectTimer = new TSuperTimer(this);
    m_effectTimer->setInterval(1);
    connect(m_effectTimer, &TSuperTimer::timeout, this, [this, outline] {
        QRegion region;
        if (!outline->next(region)) {
            m_effectTimer->setEnabled(false);
            return;
        }
        setOutline(region);
    });
    m_effectTimer->setEnabled(true);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // A request that comes while the closing effect runs is refused: the effect ends the program
    // itself, and cutting it short would skip the ordered end.
    if (m_context.thesaurusMode || m_context.hasParameters || (m_closing && !effectRunning())) {
        event->accept();
        return;
    }
    event->ignore();
    if (m_closing || effectRunning())
        return;
    startClosingEffect();
}

void TMainForm::startClosingEffect()
{
    if (m_clipRestart)
        m_clipRestart->stop();
    m_closing = true;
    auto outline = std::make_shared<ClosingOutline>(size());
    delete m_effectTimer;
    m_effectTimer = new TSuperTimer(this);
    m_effectTimer->setInterval(2);
    connect(m_effectTimer, &TSuperTimer::timeout, this, [this, outline] {
        QRegion region;
        if (!outline->next(region)) {
            m_effectTimer->setEnabled(false);
            hide();
            Q_EMIT closingFinished();
            return;
        }
        setOutline(region);
    });
    closeOtherWindows();
    m_effectTimer->setEnabled(true);
}

void TMainForm::closeOtherWindows()
{
    // Help and thesaurus copies once each, the companion's and help windows until none is left,
    // and the enlarged pictures unless this is a copy itself.
    WindowDirectory::requestClose(WindowCaption::Help());
    WindowDirectory::requestClose(WindowCaption::Thesaurus());
    for (const QString& caption : QStringList{WindowCaption::WiringDiagram()} + WindowCaption::HelpSystem()) {
        if (caption.compare(m_context.values.appTitle, Qt::CaseInsensitive) != 0)
            WindowDirectory::requestCloseAll(caption);
    }
    if (m_components.dialogs)
        m_components.dialogs->closeDialog();
    if (!m_context.hasParameters)
        WindowDirectory::requestCloseAll(WindowCaption::EnlargedPicture());
}

void TMainForm::showHelpTopic(const QString& topic)
{
    if (m_components.dialogs) {
        m_components.dialogs->showHelpTopic(topic);
        return;
    }
    // The help page of the header, at the topic's anchor, in a help copy of the program; a help
    // copy that is already open comes to the front instead.
    const QString page = m_script.header.helpwin;
    if (page.isEmpty())
        return;
    if (WindowDirectory::requestRaise(WindowCaption::Help()))
        return;
    QProcess::startDetached(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--content"), m_context.values.programDir,
                             page + QLatin1Char('#') + topic.toLower(), QStringLiteral("/h")});
}

void TMainForm::shutdown()
{
    SkinScreen& s = screenRecord();
    if (m_exitButton >= 0 && m_exitButton < s.buttons.size()) {
        const QString wav = s.buttons[m_exitButton].wav;
        if (!wav.isEmpty() && wav != QLatin1String("no") && m_context.userSettings.wav)
            clickSound().playToEnd(m_context.disk.resolve(m_context.values.programDir + wav), 10000);
    }
    for (int id : std::as_const(m_fonts))
        QFontDatabase::removeApplicationFont(id);
    m_fonts.clear();
    if (!m_context.hasParameters)
        saveSwitchStates();
}
