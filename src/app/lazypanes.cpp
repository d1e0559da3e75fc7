#include "lazypanes.h"

#include "applog.h"
#include "engine.h"

#include <QApplication>

#include <algorithm>

LazyPanes::LazyPanes(QWidget* window, QWidget* panel, AppContext& context, const TDynamicHtmlArray& elements,
                     PaneCallbacks callbacks, LinkServices links, std::function<EngineParts*()> engine)
    : m_window(window), m_panel(panel), m_context(context), m_elements(elements), m_callbacks(std::move(callbacks)),
      m_links(std::move(links)), m_engine(std::move(engine))
{
}

LazyPanes::~LazyPanes() = default;

HtmlPanesHooks* LazyPanes::make()
{
    if (!m_tried) {
        m_tried = true;
        if (EngineParts* parts = m_engine ? m_engine() : nullptr) {
            m_panes = parts->createPanes(m_window, m_panel, m_context, m_elements, m_callbacks, m_links);
            m_panes->setTreeWidth(m_treeWidth);
            if (m_forgetLastPage)
                m_panes->forgetLastPage();
        } else {
            qCDebug(lcApp) << "no web engine: the panes stay empty";
        }
    }
    return m_panes.get();
}

bool LazyPanes::hasPanes(int screen) const
{
    return std::any_of(m_elements.cbegin(), m_elements.cend(),
                       [screen](const RHTML& element) { return element.screen == screen; });
}

void LazyPanes::ShowScreenPane()
{
    if (!m_panes && !hasPanes(m_callbacks.currentScreen ? m_callbacks.currentScreen() : 0))
        return;
    if (HtmlPanesHooks* panes = make())
        panes->ShowScreenPane();
}

bool LazyPanes::resumesLastPage(int screen, const QString& page)
{
    if (!m_panes && !hasPanes(screen))
        return false;
    HtmlPanesHooks* panes = make();
    return panes && panes->resumesLastPage(screen, page);
}

void LazyPanes::forgetLastPage()
{
    m_forgetLastPage = true;
    if (m_panes)
        m_panes->forgetLastPage();
}

void LazyPanes::ShowHtmlElement(int number, const QString& page)
{
    if (HtmlPanesHooks* panes = make())
        panes->ShowHtmlElement(number, page);
}

void LazyPanes::ShowPage(const QString& file)
{
    if (m_panes)
        m_panes->ShowPage(file);
}

QString LazyPanes::currentFile() const
{
    return m_panes ? m_panes->currentFile() : QString();
}

void LazyPanes::ScrollToTop()
{
    if (m_panes)
        m_panes->ScrollToTop();
}

void LazyPanes::selectAll()
{
    if (m_panes)
        m_panes->selectAll();
}

void LazyPanes::printCurrentPage()
{
    if (m_panes)
        m_panes->printCurrentPage();
}

bool LazyPanes::printFile(const QString& file, QSize picture)
{
    // Another program's file is printed even when no pane has been shown yet.
    HtmlPanesHooks* panes = make();
    return panes && panes->printFile(file, picture);
}

void LazyPanes::CopyPageFiles()
{
    if (m_panes)
        m_panes->CopyPageFiles();
}

void LazyPanes::saveSettings()
{
    // Panes never made have nothing to keep: the stored choices stay as they are.
    if (m_panes)
        m_panes->saveSettings();
}

void LazyPanes::chooseFont()
{
    // The dialog starts from the stored choices, whether or not a pane has shown yet.
    if (HtmlPanesHooks* panes = make())
        panes->chooseFont();
}

void LazyPanes::fontsAdded()
{
    // Panes made later see the fonts anyway.
    if (m_panes)
        m_panes->fontsAdded();
}

bool LazyPanes::archiveMode() const
{
    return m_panes && m_panes->archiveMode();
}

void LazyPanes::setArchiveMode(bool on)
{
    if (m_panes)
        m_panes->setArchiveMode(on);
}

void LazyPanes::setTreeWidth(int width)
{
    m_treeWidth = width;
    if (m_panes)
        m_panes->setTreeWidth(width);
}

bool LazyPanes::currentVisible() const
{
    return m_panes && m_panes->currentVisible();
}

QStringList LazyPanes::historyFiles() const
{
    return m_panes ? m_panes->historyFiles() : QStringList();
}

QStringList LazyPanes::historyTitles() const
{
    return m_panes ? m_panes->historyTitles() : QStringList();
}

int LazyPanes::historyIndex() const
{
    return m_panes ? m_panes->historyIndex() : 0;
}

void LazyPanes::SetHistoryIndex(int index)
{
    if (m_panes)
        m_panes->SetHistoryIndex(index);
}

QString LazyPanes::currentTitle() const
{
    return m_panes ? m_panes->currentTitle() : QString();
}

int LazyPanes::scrollPosition() const
{
    return m_panes ? m_panes->scrollPosition() : 0;
}

void LazyPanes::setScrollPosition(int y)
{
    if (m_panes)
        m_panes->setScrollPosition(y);
}

void LazyPanes::copySelection()
{
    if (m_panes)
        m_panes->copySelection();
}

bool LazyPanes::isLoading() const
{
    return m_panes && m_panes->isLoading();
}

void LazyPanes::AddSection(const QString& page)
{
    // The "html" command that names the part makes the panes right after this.
    if (HtmlPanesHooks* panes = make())
        panes->AddSection(page);
}

QString LazyPanes::GoBackPage()
{
    if (m_panes)
        return m_panes->GoBackPage();
    QApplication::beep();
    return QString();
}

QString LazyPanes::GoForwardPage()
{
    if (m_panes)
        return m_panes->GoForwardPage();
    QApplication::beep();
    return QString();
}

void LazyPanes::FillClient()
{
    if (m_panes)
        m_panes->FillClient();
}

void LazyPanes::RestoreBounds()
{
    if (m_panes)
        m_panes->RestoreBounds();
}

void LazyPanes::revealMatch(const QString& text, bool matchCase, int active, int count, const QRect& clearOf,
                            std::function<void(QRect)> where)
{
    if (m_panes)
        m_panes->revealMatch(text, matchCase, active, count, clearOf, std::move(where));
    else
        where(QRect());
}

void LazyPanes::findText(const QString& text, bool matchCase, std::function<void(int, int)> done)
{
    if (m_panes)
        m_panes->findText(text, matchCase, std::move(done));
    else
        done(0, 0);
}

void LazyPanes::findTextInFrame(const QString& frame, const QString& text, bool matchCase,
                                std::function<void(int, int)> done)
{
    if (m_panes)
        m_panes->findTextInFrame(frame, text, matchCase, std::move(done));
    else
        done(0, 0);
}

void LazyPanes::selectHeadword(const QString& anchor, const QString& mark, std::function<void(const QString&)> done)
{
    if (m_panes)
        m_panes->selectHeadword(anchor, mark, std::move(done));
    else
        done(QString());
}
