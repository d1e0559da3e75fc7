#include "htmlframe.h"

#include "appcontext.h"
#include "contentscheme.h"

#include <QFileInfo>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

namespace {

bool sameFile(const QString& a, const QString& b)
{
    return QFileInfo(a).filePath().compare(QFileInfo(b).filePath(), Qt::CaseInsensitive) == 0;
}

} // namespace

THtmlFrame::THtmlFrame(QWidget* window, QWidget* panel, AppContext& context, const TDynamicHtmlArray& elements,
                       std::function<QWebEngineProfile*()> profile, Callbacks callbacks)
    : m_window(window), m_panel(panel), m_context(context), m_elements(elements), m_profile(std::move(profile)),
      m_callbacks(std::move(callbacks))
{
    for (const RHTML& element : m_elements) {
        if (!viewerFor(element.screen)) {
            Viewer viewer;
            viewer.screen = element.screen;
            m_viewers.append(viewer);
        }
    }
}

THtmlFrame::~THtmlFrame() = default;

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
    viewer.view->setPage(new QWebEnginePage(m_profile(), viewer.view));
    viewer.view->hide();
    const int screen = viewer.screen;
    QObject::connect(viewer.view, &QWebEngineView::loadFinished, viewer.view, [this, screen](bool ok) {
        if (Viewer* v = viewerFor(screen))
            onLoaded(*v, ok);
    });
    return viewer.view;
}

void THtmlFrame::load(Viewer& viewer, const QString& file)
{
    viewer.requested = file;
    ensureView(viewer)->load(ContentUrl(m_context.disk.toLocal(file)));
}

void THtmlFrame::onLoaded(Viewer& viewer, bool ok)
{
    if (!ok) {
        // A page that is neither packed nor on disk hides its pane.
        viewer.view->hide();
        return;
    }
    const QString file = ContentPath(viewer.view->url());
    const QString title = viewer.view->title();
    const qsizetype known = viewer.files.indexOf(file);
    if (known >= 0) {
        viewer.files.removeAt(known);
        viewer.titles.removeAt(known);
    }
    viewer.files.prepend(file);
    viewer.titles.prepend(title);
    while (viewer.files.size() > kHistoryMax) {
        viewer.files.removeLast();
        viewer.titles.removeLast();
    }
    if (&viewer == currentViewerRecord() && m_callbacks.pageChanged)
        m_callbacks.pageChanged(file, title);
}

void THtmlFrame::place(Viewer& viewer, const RHTML& element)
{
    QWebEngineView* view = ensureView(viewer);
    const QRect rect(QPoint(element.vx, element.vy), QPoint(element.vw - 1, element.vh - 1));
    if (element.screen == 1 && m_panel) {
        // On the reading screen the pane fills the document panel beside the contents tree.
        view->setParent(m_panel);
        view->setGeometry(QRect(m_treeWidth, 0, m_panel->width() - m_treeWidth, m_panel->height()));
        m_panel->show();
    } else {
        view->setParent(m_window);
        view->setGeometry(rect);
    }
    view->show();
}

void THtmlFrame::showScreenPane()
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
        if (viewer->files.isEmpty() && viewer->requested.isEmpty())
            load(*viewer, m_elements[m_currentElement].fn);
        place(*viewer, m_elements[m_currentElement]);
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
}

void THtmlFrame::showHtmlElement(int number, const QString& page)
{
    const int screen = m_callbacks.currentScreen ? m_callbacks.currentScreen() : 0;
    for (int i = 0; i < m_elements.size(); ++i) {
        const RHTML& element = m_elements[i];
        if (element.number != number)
            continue;
        Viewer* viewer = viewerFor(element.screen);
        const QString file = page.isEmpty() ? element.fn : page;
        load(*viewer, file);
        if (element.screen == screen) {
            m_currentElement = i;
            m_currentViewer = int(viewer - m_viewers.data());
            place(*viewer, element);
        }
        return;
    }
}

void THtmlFrame::showPage(const QString& file)
{
    if (m_currentViewer < 0)
        return;
    Viewer& viewer = m_viewers[m_currentViewer];
    if (!viewer.view || !viewer.view->isVisible())
        return;
    if (sameFile(currentFile(), file))
        return;
    load(viewer, file);
}

QString THtmlFrame::currentFile() const
{
    if (m_currentViewer < 0 || !m_viewers[m_currentViewer].view)
        return {};
    return ContentPath(m_viewers[m_currentViewer].view->url());
}

QWebEngineView* THtmlFrame::currentView() const
{
    return m_currentViewer < 0 ? nullptr : m_viewers[m_currentViewer].view;
}

QStringList THtmlFrame::history() const
{
    return m_currentViewer < 0 ? QStringList() : m_viewers[m_currentViewer].files;
}

void THtmlFrame::scrollToTop()
{
    if (QWebEngineView* view = currentView())
        view->page()->runJavaScript(QStringLiteral("window.scrollTo(0, 0);"));
}

void THtmlFrame::selectAll()
{
    if (QWebEngineView* view = currentView(); view && view->isVisible())
        view->page()->triggerAction(QWebEnginePage::SelectAll);
}

void THtmlFrame::setTreeWidth(int width)
{
    m_treeWidth = width;
    for (const Viewer& viewer : std::as_const(m_viewers)) {
        if (viewer.screen == 1 && viewer.view && m_panel && viewer.view->parent() == m_panel)
            viewer.view->setGeometry(QRect(m_treeWidth, 0, m_panel->width() - m_treeWidth, m_panel->height()));
    }
}
