#include "mainform.h"

#include "appcontext.h"
#include "caption.h"
#include "clicksound.h"
#include "copydata.h"
#include "effbtncar.h"
#include "frameanimation.h"
#include "hotarea.h"
#include "pathresolver.h"
#include "picturecache.h"
#include "screenids.h"
#include "settingsstore.h"
#include "shortcuts.h"
#include "skinlog.h"
#include "supertimer.h"
#include "switchstates.h"
#include "windowcaptions.h"
#include "windowdirectory.h"
#include "windowshape.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPolygon>
#include <QProcess>
#include <QTextEdit>
#include <QTimer>

TMainForm::TMainForm(AppContext& context, SkinScript& script, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_context(context), m_script(script)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The buttons' hints and the contents' whole titles show also while the skinned dialog or
    // another of the program's windows has the focus, as the popups' hints do.
    setAttribute(Qt::WA_AlwaysShowToolTips);
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
    if (!m_standard)
        setFixedSize(m_background.size()); // the plain window keeps the size the reader gave it
    // The outline is only of use where windows take shapes (not on the offscreen platform); it is
    // clipped to the window, so that no coordinate of the script can make it costly, and made
    // again only when a screen of another size comes.
    if (m_script.header.vertexmain.isEmpty() || QGuiApplication::platformName() == QLatin1String("offscreen") ||
        m_outlineSize == m_background.size())
        return;
    m_outlineSize = m_background.size();
    bool tooComplex = false;
    m_outline = outlineRegion(m_script.header.vertexmain, m_outlineSize, &tooComplex);
    if (tooComplex)
        qCWarning(lcSkin) << "the window outline (vertexmain) crosses itself too often; the window stays rectangular";
    if (!m_initialising && !effectRunning() && isVisible())
        setMask(m_outline.isEmpty() ? QRegion(rect()) : m_outline);
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
    m_animation = new QLabel(this);
    m_animation->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_movie = new FrameAnimation(*gif, m_animation, this);
    if (!m_movie->isValid()) {
        delete m_movie;
        m_movie = nullptr;
        delete m_animation;
        m_animation = nullptr;
        return;
    }
    m_animation->setGeometry(QRect(kAnimationPosition, m_movie->size()));
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
    restoreSwitchStates(m_script, m_context.settings);
    composeBackground();

    m_initialising = true;
    createAnimation();
    addFonts();
    // The first screen shows its pane and tree as every screen change does, before its switch
    // commands act on them.
    if (m_components.panes)
        m_components.panes->ShowScreenPane();
    if (m_components.trees)
        m_components.trees->ShowTreeForScreen();
    runSwitchCommands(false);
    m_initialising = false;
}

void TMainForm::changeScreen(int screen, CommandSource source, int sourceIndex)
{
    if (screen < 0 || screen >= m_script.screens.size())
        return;
    // The plain window shows one pane; another screen is a skin's screen, with its buttons: the
    // window is the skin again first.
    if (m_standard)
        ReturnToSkin();
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
        m_components.search->ShowSearchBoxes();
    if (m_components.misc)
        m_components.misc->ShowFieldsForScreen();
    if (media) {
        media->ShowClipAreas();
        media->ShowSlidesForScreen();
    }
    if (m_components.popups)
        m_components.popups->BuildPopups();
    updateAnimation();

    m_initialising = true;
    if (m_components.panes)
        m_components.panes->ShowScreenPane();
    if (m_components.trees)
        m_components.trees->ShowTreeForScreen();
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

bool TMainForm::effectRunning() const
{
    return m_effectTimer && m_effectTimer->isEnabled();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    // While the window follows the pointer, the moves and the release come to whichever of its
    // widgets took the press.
    if (m_dragging && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this && dragEvent(event))
        return true;
    // The window sees every key before the pane, tree or field that has the focus, as a key
    // preview does: a key the window acts on goes no further. A key it leaves alone goes on to
    // the focused control, and from there up to the window again, where it is still left alone.
    QWidget* widget = event->type() == QEvent::KeyPress ? qobject_cast<QWidget*>(watched) : nullptr;
    if (widget && widget->window() == this) {
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
    context.hasParameters = m_context.hasParameters();
    context.copyFlag = m_context.copyFlag();
    context.textEntry = textEntry;
    context.hasPanes = m_components.panes != nullptr;
    context.hasHistory = m_components.history != nullptr;
    context.hasDialogs = m_components.dialogs != nullptr;
    const ShortcutMatch match = matchShortcut(event->key(), event->modifiers(), context);

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
        if (m_components.popups)
            m_components.popups->AddFavorite();
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
            m_components.panes->ShowPage(file);
    } else if (has({".rar"})) {
        if (m_components.misc)
            m_components.misc->ShowArchive(file);
    } else if (has({".wav", ".mp3", ".mpa"})) {
        if (m_components.media)
            m_components.media->PlayClip(file, QString(), 3);
    }
    event->acceptProposedAction();
}

void TMainForm::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        endDrag(); // another window took the focus, and with it the pointer's release
        if (m_components.popups)
            m_components.popups->hideAll();
    }
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
    if (m_context.thesaurusMode() || m_context.hasParameters() || (m_closing && !effectRunning())) {
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
    for (const QString& caption : QStringList{WindowCaption::wiringDiagram()} + WindowCaption::helpSystem()) {
        if (caption.compare(m_context.values.appTitle, Qt::CaseInsensitive) != 0)
            WindowDirectory::requestCloseAll(caption);
    }
    if (m_components.dialogs)
        m_components.dialogs->closeDialog();
    if (!m_context.hasParameters())
        WindowDirectory::requestCloseAll(WindowCaption::enlargedPicture());
}

void TMainForm::showHelpTopic(const QString& topic)
{
    // The help page of the header, at the topic's anchor (from its top for a screen without a
    // topic of its own), in a help copy of the program; a help copy that is already open comes to
    // the front instead.
    const auto report = [this](const QString& text) {
        qCDebug(lcSkin) << "help:" << text;
        if (m_components.misc)
            m_components.misc->showStatus(text);
    };
    const QString page = m_script.header.helpwin;
    if (page.isEmpty()) {
        report(QStringLiteral(u"Справка к этому руководству не приложена"));
        return;
    }
    const QString target = topic.isEmpty() ? page : page + QLatin1Char('#') + topic.toLower();
    if (WindowDirectory::exists(WindowCaption::Help())) {
        CopyDataRecord show;
        show.kind = quint16(CopyDataKind::ShowPage);
        show.strings.append({0, target});
        if (SendCopyDataByCaption(WindowCaption::Help(), show) && WindowDirectory::requestRaise(WindowCaption::Help()))
            return;
        qCDebug(lcSkin) << "the open help copy did not take the topic; another copy starts:" << topic;
    }
    if (!m_services.startProgram(
            QCoreApplication::applicationFilePath(),
            {QStringLiteral("--content"), m_context.values.programDir, target, QStringLiteral("/h")}, QString()))
        report(QStringLiteral(u"Не удалось открыть справку"));
}

void TMainForm::shutdown()
{
    // The components (the panes among them) go after this, while the window lives on: the window
    // stops looking at the events of the whole program first, so none of theirs reaches it while
    // they are being taken apart.
    qApp->removeEventFilter(this);
    SkinScreen& s = screenRecord();
    if (m_exitButton >= 0 && m_exitButton < s.buttons.size()) {
        const QString wav = s.buttons[m_exitButton].wav;
        if (!wav.isEmpty() && wav != QLatin1String("no") && m_context.userSettings.wav)
            clickSound().playToEnd(m_context.disk.resolve(m_context.values.programDir + wav), 10000);
    }
    for (int id : std::as_const(m_fonts))
        QFontDatabase::removeApplicationFont(id);
    m_fonts.clear();
    if (!m_context.hasParameters())
        saveSwitchStates(m_script, m_context.settings);
    if (m_components.panes)
        m_components.panes->saveSettings();
}
