#include "htmlframe.h"

#include "appcontext.h"
#include "contentscheme.h"
#include "paneprint.h"
#include "screenids.h"
#include "settingskeys.h"
#include "settingsstore.h"
#include "viewerlog.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace {

// The title of a document as the title label and the history show it: the document's own, or
// for a document without one (a text file, a picture, an untitled page, which the engine names by
// its address) the name of its file, never the address.
QString documentTitle(const QString& file, const QString& title)
{
    const QString trimmed = title.trimmed();
    const bool address = trimmed.startsWith(QLatin1String(kContentScheme) + QLatin1Char(':'), Qt::CaseInsensitive) ||
                         (!file.isEmpty() && (trimmed == file || trimmed.endsWith(QLatin1String(kContentHost) + file)));
    const QString extension = QFileInfo(file).suffix().toLower();
    const bool page = extension.startsWith(QLatin1String("htm"));
    if (address || (trimmed.isEmpty() && !page))
        return QFileInfo(file).fileName();
    return title;
}

PaneFonts readFonts(const SettingsStore& settings)
{
    PaneFonts fonts;
    if (const std::optional<QString> name = settings.readString(SettingsKeys::FontName); name && !name->isEmpty())
        fonts.name = *name;
    fonts.color = settings.readInt(SettingsKeys::FontColor).value_or(fonts.color);
    fonts.size = settings.readInt(SettingsKeys::FontSize).value_or(fonts.size);
    fonts.linkColor = settings.readInt(SettingsKeys::HotSpotColor).value_or(fonts.linkColor);
    fonts.background = settings.readInt(SettingsKeys::Background).value_or(fonts.background);
    return fonts;
}

// The last page is kept by its path in the content folder, so that it is found again when the
// disc is mounted elsewhere; a page outside the folder keeps its whole path.
QString storedPagePath(const QString& file, const QString& programDir)
{
    return file.startsWith(programDir, Qt::CaseInsensitive) ? file.mid(programDir.size()) : file;
}

QString pageFromStored(const QString& stored, const QString& programDir)
{
    return stored.startsWith(QLatin1Char('/')) ? stored : programDir + stored;
}

} // namespace

THtmlFrame::THtmlFrame(QWidget* window, QWidget* panel, AppContext& context, const TDynamicHtmlArray& elements,
                       std::function<QWebEngineProfile*()> profile, Callbacks callbacks, LinkServices links)
    : m_window(window), m_panel(panel), m_context(context), m_elements(elements), m_profile(std::move(profile)),
      m_callbacks(std::move(callbacks)), m_links(context, std::move(links)), m_fonts(readFonts(context.settings))
{
    for (const RHTML& element : m_elements) {
        if (!viewerFor(element.screen)) {
            Viewer viewer;
            viewer.screen = element.screen;
            m_viewers.append(viewer);
        }
    }
    if (readingElement()) {
        const SettingsStore& settings = context.settings;
        const std::optional<QString> stored = settings.readString(SettingsKeys::LastPage);
        if (stored && !stored->trimmed().isEmpty()) {
            LastPage last;
            last.file = pageFromStored(stored->trimmed(), context.values.programDir);
            last.place.y = qMax(0, settings.readInt(SettingsKeys::LastPagePos).value_or(0));
            m_lastPage = last;
        }
    }
    LinkServices& services = m_links.services();
    if (!services.showPage)
        services.showPage = [this](const QString& page) { ShowPage(page); };
    if (!services.printFile)
        services.printFile = [this](const QString& file) {
            // A print link is reported from inside the engine's own call; a page loaded and laid
            // out in an event loop of ours there would never finish loading. The print starts once
            // that call has returned.
            QTimer::singleShot(0, this, [this, file] { printFile(file, QSize()); });
        };
}

THtmlFrame::~THtmlFrame()
{
    m_tooltip.hide();
    // The views go before the profile they use, which the window owns.
    for (Viewer& viewer : m_viewers)
        delete viewer.view;
}

void THtmlFrame::saveSettings()
{
    SettingsStore& settings = m_context.settings;
    settings.writeString(SettingsKeys::FontName, m_fonts.name);
    settings.writeInt(SettingsKeys::FontColor, m_fonts.color);
    settings.writeInt(SettingsKeys::FontSize, m_fonts.size);
    settings.writeInt(SettingsKeys::HotSpotColor, m_fonts.linkColor);
    settings.writeInt(SettingsKeys::Background, m_fonts.background);
    saveLastPage();
    settings.sync();
}

const RHTML* THtmlFrame::readingElement() const
{
    for (const RHTML& element : m_elements) {
        if (element.screen == kReadingScreen)
            return &element;
    }
    return nullptr;
}

void THtmlFrame::saveLastPage()
{
    // Only a page the reader read on the reading screen in this run: an archive's listing is gone
    // when the program ends, and a run that never showed the screen keeps the last one's page.
    const Viewer* viewer = nullptr;
    for (const Viewer& each : std::as_const(m_viewers)) {
        if (each.screen == kReadingScreen)
            viewer = &each;
    }
    if (!viewer || !viewer->view || viewer->history.isEmpty() || viewer->archiveMode)
        return;
    const QString file = viewer->history.files().value(viewer->history.index());
    if (file.isEmpty())
        return;
    SettingsStore& settings = m_context.settings;
    settings.writeString(SettingsKeys::LastPage, storedPagePath(file, m_context.values.programDir));
    settings.writeInt(SettingsKeys::LastPagePos, placeOf(*viewer).y);
}

THtmlFrame::Viewer* THtmlFrame::viewerFor(int screen)
{
    for (Viewer& viewer : m_viewers) {
        if (viewer.screen == screen)
            return &viewer;
    }
    return nullptr;
}

QWebEngineView* THtmlFrame::ensureView(Viewer& viewer)
{
    if (viewer.view)
        return viewer.view;
    viewer.view = new QWebEngineView(m_window);
    viewer.page = new PanePage(m_profile(), viewer.view);
    viewer.view->setPage(viewer.page);
    viewer.view->setContextMenuPolicy(Qt::NoContextMenu);
    viewer.view->hide();
    viewer.view->installEventFilter(this);
    // The widget the engine draws into may be made with the page, before the filter watches for
    // new children: it is watched too, so presses and moves on the page reach the window.
    for (QWidget* child : viewer.view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->installEventFilter(this);
    updateScript(viewer);
    const int screen = viewer.screen;
    connect(viewer.page, &PanePage::loadStarting, this, [this, screen] {
        if (Viewer* v = viewerFor(screen)) {
            // A link the engine follows by itself: the page left keeps its place first.
            if (!std::exchange(v->placeKept, false))
                keepPlace(*v);
            v->frameScrolls.clear();
        }
    });
    connect(viewer.page, &PanePage::loadEnded, this, [this, screen](bool ok) {
        if (Viewer* v = viewerFor(screen))
            loaded(*v, ok);
    });
    connect(viewer.page, &PanePage::documentScrolled, this, [this, screen](const QString& document, int y) {
        if (Viewer* v = viewerFor(screen); v && !document.isEmpty())
            v->frameScrolls.insert(document.toLower(), y);
    });
    connect(viewer.page, &PanePage::linkClicked, this, [this, screen](const LinkClick& click) {
        if (Viewer* v = viewerFor(screen))
            linkClicked(*v, click);
    });
    connect(viewer.page, &PanePage::documentLoaded, this,
            [this, screen](const QString& document, const QString& title, bool top) {
                if (Viewer* v = viewerFor(screen))
                    documentLoaded(*v, document, title, top);
            });
    connect(viewer.page, &PanePage::documentActivated, this, [this, screen](const QString& document) {
        Viewer* v = viewerFor(screen);
        if (v && !document.isEmpty() && !sameFile(document, v->activeFile)) {
            v->activeFile = document;
            v->activeTitle.clear();
        }
    });
    connect(viewer.page, &PanePage::pointerMoved, this, [this, screen](const PointerObject& object) {
        if (viewerFor(screen) == current())
            m_tooltip.pointerMoved(object);
    });
    return viewer.view;
}

void THtmlFrame::updateScript(Viewer& viewer)
{
    if (viewer.page) {
        viewer.page->setScriptState({m_fonts, viewer.archiveMode});
        viewer.page->setVisited(viewer.history.visited());
    }
}

void THtmlFrame::load(Viewer& viewer, const QString& file, std::optional<PanePlace> place)
{
    QWebEngineView* view = ensureView(viewer);
    viewer.pendingPlace.reset();
    if (!m_context.pack.PackFileExists(withoutFragment(file))) {
        // A page that is neither packed nor on disk hides its pane.
        qCDebug(lcViewer) << "pane hidden: no such page" << file;
        view->hide();
        viewer.history.clearPending();
        return;
    }
    const QUrl url = contentUrl(m_context.disk.toLocal(file));
    // A step within the document shown (its fragment) loads nothing.
    const bool sameDocument = url.adjusted(QUrl::RemoveFragment) == view->url().adjusted(QUrl::RemoveFragment);
    if (!sameDocument) {
        keepPlace(viewer);
        viewer.placeKept = true;
        viewer.pendingPlace = std::move(place);
    }
    view->load(url);
    if (viewer.page && !sameDocument)
        viewer.page->loadRequested();
}

void THtmlFrame::showOrLoad(Viewer& viewer, const QString& file)
{
    const qsizetype known = viewer.history.indexOf(file);
    if (known >= 0)
        showEntry(viewer, int(known), std::nullopt);
    else
        load(viewer, file);
}

void THtmlFrame::showEntry(Viewer& viewer, int index, std::optional<PanePlace> place)
{
    viewer.history.setPending(index);
    load(viewer, viewer.history.files()[index], std::move(place));
}

PanePlace THtmlFrame::placeOf(const Viewer& viewer) const
{
    if (!viewer.page)
        return {};
    const QString page = viewer.history.files().value(viewer.history.index());
    if (!viewer.activeFile.isEmpty() && !page.isEmpty() && !sameFile(viewer.activeFile, page))
        return {viewer.frameScrolls.value(viewer.activeFile.toLower()), viewer.activeFile};
    return {qRound(viewer.page->scrollPosition().y()), QString()};
}

void THtmlFrame::keepPlace(Viewer& viewer)
{
    if (viewer.view && !viewer.history.isEmpty() && !viewer.page->isLoading())
        viewer.history.rememberPlace(placeOf(viewer));
}

void THtmlFrame::loaded(Viewer& viewer, bool ok)
{
    if (!ok) {
        viewer.view->hide();
        viewer.history.clearPending();
        viewer.pendingPlace.reset();
        return;
    }
    const QString file = contentPath(viewer.view->url());
    const QString title = documentTitle(file, viewer.view->title());
    viewer.history.loaded(file, title);
    viewer.activeFile = file;
    viewer.activeTitle = title;
    viewer.page->setVisited(viewer.history.visited());
    viewer.sections.pageShown(file);
    if (const std::optional<PanePlace> place = std::exchange(viewer.pendingPlace, std::nullopt); place && place->y > 0)
        viewer.page->scrollTo(place->y, place->document);
    pageChanged(viewer, file, title);
}

void THtmlFrame::pageChanged(Viewer& viewer, const QString& file, const QString& title)
{
    if (&viewer == current() && m_callbacks.pageChanged)
        m_callbacks.pageChanged(file, title);
}

void THtmlFrame::linkClicked(Viewer& viewer, const LinkClick& click)
{
    if (!click.document.isEmpty())
        viewer.activeFile = click.document;
    const bool handled =
        m_links.HandleLinkClick(click, viewer.archiveMode, currentFile(),
                                [this, &viewer](const QString& fullPath) { markVisited(viewer, fullPath); });
    // A link the engine follows is visited as well.
    if (!handled && !click.link.isEmpty())
        markVisited(viewer, linkFullPath(click.document, click.link).toLower());
}

void THtmlFrame::documentLoaded(Viewer& viewer, const QString& document, const QString& rawTitle, bool top)
{
    if (top || viewer.page->isLoading() || document.isEmpty())
        return; // the frames of a frame set as it loads
    // A frame showed another document: it is the one the reader works in now.
    const QString title = documentTitle(document, rawTitle);
    viewer.activeFile = document;
    viewer.activeTitle = title;
    pageChanged(viewer, document, title);
}

void THtmlFrame::markVisited(Viewer& viewer, const QString& fullPath)
{
    viewer.history.markVisited(fullPath);
    if (viewer.page)
        viewer.page->setVisited(viewer.history.visited());
}

void THtmlFrame::place(Viewer& viewer, const RHTML& element)
{
    QWebEngineView* view = ensureView(viewer);
    QRect rect(QPoint(element.vx, element.vy), QPoint(element.vw - 1, element.vh - 1));
    // A script may ask for a pane of any size, and the engine draws a pane as large as it is: one
    // larger than the screen is cut to the screen's size (at 100000 x 100000 the engine would fail).
    if (const QScreen* screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen()) {
        const QSize most = screen->geometry().size();
        rect.setSize(QSize(std::clamp(rect.width(), 0, most.width()), std::clamp(rect.height(), 0, most.height())));
    }
    if (element.screen == 1 && m_panel) {
        // On the reading screen the pane fills the document panel beside the contents tree.
        view->setParent(m_panel);
        view->setGeometry(QRect(m_treeWidth, 0, m_panel->width() - m_treeWidth, m_panel->height()));
        m_panel->show();
    } else {
        view->setParent(m_window);
        view->setGeometry(rect);
    }
    if (m_filling && view->parentWidget())
        view->setGeometry(view->parentWidget()->contentsRect());
    view->show();
}

void THtmlFrame::ShowScreenPane()
{
    const int screen = m_callbacks.currentScreen ? m_callbacks.currentScreen() : 0;
    m_currentElement = -1;
    for (int i = 0; i < m_elements.size(); ++i) {
        if (m_elements[i].screen == screen) {
            m_currentElement = i;
            break;
        }
    }
    if (m_currentElement >= 0) {
        Viewer* viewer = viewerFor(screen);
        m_currentViewer = int(viewer - m_viewers.data());
        const RHTML& element = m_elements[m_currentElement];
        const bool fresh = viewer->history.isEmpty() && !viewer->view;
        place(*viewer, element);
        // The first time the reading screen shows, it shows the page the reader left it at in the
        // last run, where it was left, unless a page was named for it before.
        const std::optional<LastPage> last =
            screen == kReadingScreen ? std::exchange(m_lastPage, std::nullopt) : std::nullopt;
        if (fresh && last && m_context.pack.PackFileExists(withoutFragment(last->file))) {
            load(*viewer, last->file, last->place);
        } else if (fresh) {
            load(*viewer, element.fn);
        } else if (viewer->history.isEmpty() && !(viewer->page && viewer->page->isLoading())) {
            load(*viewer, element.fn); // the start page failed before: try it again
        } else if (!viewer->page->isLoading()) {
            // The screen comes back to its page, at the place the reader left it; the page's title,
            // the history lists and the tree are this pane's again.
            const int index = viewer->history.index();
            const QString file =
                viewer->activeFile.isEmpty() ? viewer->history.files().value(index) : viewer->activeFile;
            const QString title =
                viewer->activeTitle.isEmpty() ? viewer->history.titles().value(index) : viewer->activeTitle;
            pageChanged(*viewer, file, title);
        }
    } else {
        m_currentViewer = -1;
    }
    if (m_previousScreen != screen) {
        if (Viewer* previous = viewerFor(m_previousScreen); previous && previous->view)
            previous->view->hide();
        if (m_previousScreen == 1 && m_panel && screen != 1)
            m_panel->hide();
    }
    m_previousScreen = screen;
    m_tooltip.hide();
}

void THtmlFrame::ShowHtmlElement(int number, const QString& page)
{
    const int screen = m_callbacks.currentScreen ? m_callbacks.currentScreen() : 0;
    for (int i = 0; i < m_elements.size(); ++i) {
        const RHTML& element = m_elements[i];
        if (element.number != number)
            continue;
        Viewer* viewer = viewerFor(element.screen);
        const QString file = page.isEmpty() ? element.fn : page;
        if (element.screen == kReadingScreen)
            m_lastPage.reset(); // a page named for the reading screen: the last run's is not shown
        if (element.screen == screen) {
            m_currentElement = i;
            m_currentViewer = int(viewer - m_viewers.data());
            if (!m_pendingSection.isEmpty())
                viewer->sections.add(std::exchange(m_pendingSection, QString()));
            place(*viewer, element);
            showOrLoad(*viewer, file);
        } else {
            // Loaded now, shown when its screen comes.
            ensureView(*viewer)->hide();
            showOrLoad(*viewer, file);
        }
        return;
    }
}

void THtmlFrame::ShowPage(const QString& file)
{
    Viewer* viewer = current();
    if (!viewer || !currentVisible())
        return;
    const qsizetype known = viewer->history.indexOf(file);
    if (known >= 0) {
        if (known == viewer->history.index() && sameFile(currentFile(), file) && !viewer->page->isLoading())
            ScrollToTop();
        else
            showEntry(*viewer, int(known), std::nullopt);
        return;
    }
    markVisited(*viewer, linkFullPath(file, file).toLower());
    load(*viewer, file);
}

QString THtmlFrame::currentFile() const
{
    const Viewer* viewer = current();
    return viewer && viewer->view ? contentPath(viewer->view->url()) : QString();
}

void THtmlFrame::findText(const QString& text, bool matchCase, std::function<void(int, int)> done)
{
    QWebEngineView* view = currentView();
    if (!view || text.isEmpty()) {
        done(0, 0);
        return;
    }
    const QWebEnginePage::FindFlags flags =
        matchCase ? QWebEnginePage::FindCaseSensitively : QWebEnginePage::FindFlags();
    QPointer<QWebEngineView> guard(view);
    view->page()->findText(
        text, flags, [guard, text, flags, done = std::move(done)](const QWebEngineFindTextResult& result) mutable {
            if (result.numberOfMatches() > 0 || !guard) {
                done(result.numberOfMatches(), result.activeMatch());
                return;
            }
            // The engine goes on with a text it looked for in vain on the page
            // before: on a page with a selection (a headword the pane script
            // selected, say) it first answers "no match" although the page has
            // one. Asked again, it counts them.
            guard->page()->findText(text, flags, [done = std::move(done)](const QWebEngineFindTextResult& again) {
                done(again.numberOfMatches(), again.activeMatch());
            });
        });
}

void THtmlFrame::findTextInFrame(const QString& frame, const QString& text, bool matchCase,
                                 std::function<void(int, int)> done)
{
    QWebEngineView* view = currentView();
    if (frame.isEmpty() || !view || text.isEmpty()) {
        findText(text, matchCase, std::move(done));
        return;
    }
    // The engine's own find goes through every frame of the page: the pane script searches the
    // named one alone.
    QPointer<QWebEngineView> guard(view);
    auto* page = static_cast<PanePage*>(view->page());
    page->callScript(QStringLiteral("findInFrame"), {frame, text, matchCase},
                     [this, guard, text, matchCase, done = std::move(done)](const QVariant& answer) mutable {
                         const QVariantMap found = answer.toMap();
                         if (!guard) { // the pane went with its window
                             done(0, 0);
                             return;
                         }
                         if (!found.value(QStringLiteral("frame")).toBool()) {
                             findText(text, matchCase, std::move(done));
                             return;
                         }
                         guard->page()->findText(QString()); // no highlight of an earlier find stays
                         done(found.value(QStringLiteral("matches")).toInt(),
                              found.value(QStringLiteral("active")).toInt());
                     });
}

void THtmlFrame::selectHeadword(const QString& anchor, const QString& mark, std::function<void(const QString&)> done)
{
    QWebEngineView* view = currentView();
    if (!view) {
        done(QString());
        return;
    }
    static_cast<PanePage*>(view->page())
        ->callScript(QStringLiteral("selectHeadword"), {anchor, mark},
                     [done = std::move(done)](const QVariant& answer) { done(answer.toString()); });
}

void THtmlFrame::revealMatch(const QString& text, bool matchCase, int active, int count, const QRect& clearOf,
                             std::function<void(QRect)> where)
{
    Viewer* viewer = current();
    if (!viewer || !viewer->page || !currentVisible() || text.isEmpty() || count <= 0) {
        where(QRect());
        return;
    }
    // The page measures in its own pixels: the view's zoomed by its zoom factor.
    QPointer<QWebEngineView> view = viewer->view;
    const qreal zoom = view->zoomFactor() > 0 ? view->zoomFactor() : 1.0;
    const QRectF local(view->mapFromGlobal(clearOf.topLeft()), clearOf.size());
    const QRect inPage = QRectF(local.topLeft() / zoom, local.size() / zoom).toAlignedRect();
    viewer->page->revealMatch(text, matchCase, active, count, inPage, [view, zoom, where](QRect hit) {
        if (!view || hit.isEmpty()) {
            where(QRect());
            return;
        }
        const QRect scaled = QRectF(QPointF(hit.topLeft()) * zoom, QSizeF(hit.size()) * zoom).toAlignedRect();
        where(QRect(view->mapToGlobal(scaled.topLeft()), scaled.size()));
    });
}

bool THtmlFrame::resumesLastPage(int screen, const QString& page)
{
    const RHTML* element = readingElement();
    if (screen != kReadingScreen || !m_lastPage || !element)
        return false;
    if (page.isEmpty() || sameFile(page, element->fn))
        return true;
    m_lastPage.reset(); // the command names a page of its own
    return false;
}

QWebEngineView* THtmlFrame::currentView() const
{
    const Viewer* viewer = current();
    return viewer ? viewer->view : nullptr;
}

bool THtmlFrame::currentVisible() const
{
    const QWebEngineView* view = currentView();
    return view && view->isVisible();
}

void THtmlFrame::copySelection()
{
    if (!currentVisible())
        return;
    // The selection is read from the page's documents and put on the clipboard here: the engine's
    // own copy works only in a page that has the focus, and after a click on the skin it has none.
    QPointer<THtmlFrame> guard(this);
    static_cast<PanePage*>(currentView()->page())
        ->callScript(QStringLiteral("selectedText"), {}, [guard](const QVariant& answer) {
            const QString text = answer.toString();
            if (!guard)
                return;
            if (text.isEmpty()) {
                qCDebug(lcViewer) << "copy: nothing is selected";
                return;
            }
            if (guard->m_links.services().setClipboard)
                guard->m_links.services().setClipboard(text);
        });
}

void THtmlFrame::printCurrentPage()
{
    if (!currentVisible()) {
        qCDebug(lcViewer) << "print: no pane shows a page";
        return;
    }
    printDocument(m_window, currentView()->page(), m_context, currentFile());
}

bool THtmlFrame::printFile(const QString& file, QSize picture)
{
    return printHiddenFile(m_window, m_profile(), m_context, file, picture);
}

void THtmlFrame::CopyPageFiles()
{
    if (currentVisible())
        m_links.CopyPageFiles(currentFile());
}

bool THtmlFrame::archiveMode() const
{
    const Viewer* viewer = current();
    return viewer && viewer->archiveMode;
}

void THtmlFrame::setArchiveMode(bool on)
{
    if (Viewer* viewer = current(); viewer && viewer->archiveMode != on) {
        viewer->archiveMode = on;
        updateScript(*viewer);
    }
}

void THtmlFrame::FillClient()
{
    if (!currentVisible())
        return;
    m_filling = true;
    QWidget* parent = currentView()->parentWidget();
    parent->installEventFilter(this);
    currentView()->setGeometry(parent->contentsRect());
    currentView()->raise(); // over the trees and their splitter
}

void THtmlFrame::RestoreBounds()
{
    m_filling = false;
    if (!currentVisible() || m_currentElement < 0)
        return;
    currentView()->parentWidget()->removeEventFilter(this);
    place(*current(), m_elements[m_currentElement]);
}

void THtmlFrame::setFonts(const PaneFonts& fonts)
{
    m_fonts = fonts;
    for (Viewer& viewer : m_viewers)
        updateScript(viewer);
    if (currentVisible())
        currentView()->reload();
}

void THtmlFrame::setTreeWidth(int width)
{
    m_treeWidth = width;
    for (const Viewer& viewer : std::as_const(m_viewers)) {
        if (viewer.screen == 1 && viewer.view && m_panel && viewer.view->parent() == m_panel && !m_filling)
            viewer.view->setGeometry(QRect(m_treeWidth, 0, m_panel->width() - m_treeWidth, m_panel->height()));
    }
}

bool THtmlFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (m_filling && event->type() == QEvent::Resize && currentView() && watched == currentView()->parentWidget()) {
        currentView()->setGeometry(currentView()->parentWidget()->contentsRect());
        return false;
    }
    // The engine draws into a child widget of the view, made when the first page renders.
    if (event->type() == QEvent::ChildAdded) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
            child->installEventFilter(this);
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_callbacks.hidePopups)
            m_callbacks.hidePopups();
        if (mouse->button() == Qt::RightButton && mouse->buttons() == Qt::RightButton && m_callbacks.openPanePopup)
            m_callbacks.openPanePopup(mouse->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseMove:
        if (m_callbacks.pointerLeftElements)
            m_callbacks.pointerLeftElements();
        break;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers shifts =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if (key->key() == Qt::Key_Insert && shifts == Qt::ControlModifier) {
            copySelection();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_callbacks.enterPressed)
            m_callbacks.enterPressed();
        break;
    }
    default:
        break;
    }
    return false;
}

bool THtmlFrame::tooltipShown() const
{
    return m_tooltip.shown();
}

QString THtmlFrame::tooltipText() const
{
    return m_tooltip.text();
}
