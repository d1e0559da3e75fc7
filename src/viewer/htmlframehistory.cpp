// The HTML panes' history: the entries of the current pane, the steps back and forward through
// them, the parts of the manual they belong to, and the scroll position a favorite comes back to.

#include "htmlframe.h"

#include "panepage.h"
#include "viewerlog.h"

#include <QApplication>
#include <QWebEngineView>

QStringList THtmlFrame::history() const
{
    const Viewer* viewer = current();
    return viewer ? viewer->history.files() : QStringList();
}

QStringList THtmlFrame::historyTitles() const
{
    const Viewer* viewer = current();
    return viewer ? viewer->history.titles() : QStringList();
}

int THtmlFrame::historyIndex() const
{
    const Viewer* viewer = current();
    return viewer ? viewer->history.index() : 0;
}

void THtmlFrame::SetHistoryIndex(int index)
{
    Viewer* viewer = current();
    if (!viewer || index < 0 || index >= viewer->history.files().size())
        return;
    // Back, forward and the history lists come back to the place the page was read at.
    showEntry(*viewer, index, viewer->history.place(index));
}

QStringList THtmlFrame::visitedLinks() const
{
    const Viewer* viewer = current();
    return viewer ? viewer->history.visited() : QStringList();
}

QString THtmlFrame::activeFile() const
{
    const Viewer* viewer = current();
    return viewer ? viewer->activeFile : QString();
}

QString THtmlFrame::activeTitle() const
{
    const Viewer* viewer = current();
    return viewer ? viewer->activeTitle : QString();
}

void THtmlFrame::ScrollToTop()
{
    Viewer* viewer = current();
    if (!viewer || !viewer->page)
        return;
    // The document in use: the page, or the frame the reader last worked in.
    const bool top = viewer->activeFile.isEmpty() || sameFile(viewer->activeFile, currentFile());
    viewer->page->sendCommand(QStringLiteral("top"), top ? QString() : viewer->activeFile);
}

void THtmlFrame::selectAll()
{
    if (!currentVisible())
        return;
    // The page's script selects, in the frame the reader works in: the engine's own action selects
    // only in a page that has the focus, and after a click on the skin or a key given to the window
    // it has none. The page takes the focus too, so that the keys of the page act on the selection.
    currentView()->setFocus(Qt::OtherFocusReason);
    static_cast<PanePage*>(currentView()->page())
        ->callScript(QStringLiteral("selectAll"), {}, [](const QVariant& answer) {
            if (answer.toInt() <= 0)
                qCDebug(lcViewer) << "select all: the page has no text";
        });
}

QString THtmlFrame::currentTitle() const
{
    const Viewer* viewer = current();
    if (!viewer)
        return QString();
    const qsizetype index = viewer->history.index();
    return index < viewer->history.titles().size() ? viewer->history.titles()[index] : QString();
}

int THtmlFrame::scrollPosition() const
{
    const Viewer* viewer = current();
    return viewer ? placeOf(*viewer).y : 0;
}

void THtmlFrame::setScrollPosition(int y)
{
    Viewer* viewer = current();
    if (!viewer || !viewer->page)
        return;
    if (viewer->page->isLoading()) {
        viewer->pendingPlace = PanePlace{qMax(0, y), QString()};
        return;
    }
    // The document worked in: a frame of a frame set, or the page.
    const QString page = viewer->history.files().value(viewer->history.index());
    const bool frame = !viewer->activeFile.isEmpty() && !sameFile(viewer->activeFile, page);
    viewer->page->scrollTo(qMax(0, y), frame ? viewer->activeFile : QString());
}

bool THtmlFrame::isLoading() const
{
    const Viewer* viewer = current();
    return viewer && viewer->page && viewer->page->isLoading();
}

void THtmlFrame::AddSection(const QString& page)
{
    if (Viewer* viewer = current())
        viewer->sections.add(page);
    else
        m_pendingSection = page; // the first "html" command: its pane is chosen next
}

QString THtmlFrame::GoBackPage()
{
    return stepHistory(+1);
}

QString THtmlFrame::GoForwardPage()
{
    return stepHistory(-1);
}

QString THtmlFrame::stepHistory(int delta)
{
    Viewer* viewer = current();
    const int target = viewer ? viewer->history.index() + delta : -1;
    if (!viewer || !currentVisible() || target < 0 || target >= viewer->history.files().size()) {
        qCDebug(lcViewer) << "no history entry" << (delta > 0 ? "back" : "forward");
        QApplication::beep();
        return QString();
    }
    const QString before = currentFile();
    const QString after = viewer->history.files()[target];
    SetHistoryIndex(target);
    if (sameFile(before, after))
        return QString();
    // The part of the manual is known before the page has loaded: the reader sees the switch of
    // that part pressed while the page comes.
    viewer->sections.pageShown(after);
    return viewer->sections.currentStartPage();
}
