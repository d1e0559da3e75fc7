// The panes' fonts: the font dialog, and fonts added while the program runs.

#include "htmlframe.h"

#include "tfontform.h"
#include "viewerlog.h"

#include <QWebEngineView>

void THtmlFrame::chooseFont()
{
    TFontForm form(m_window);
    form.setFonts(m_fonts);
    if (form.exec() != QDialog::Accepted)
        return;
    setFonts(form.fonts());
    // Kept at once, not only at the end of the run.
    saveSettings();
}

void THtmlFrame::fontsAdded()
{
    for (Viewer& viewer : m_viewers) {
        if (!viewer.page || viewer.page->url().isEmpty())
            continue;
        // A discarded page lets its renderer go and, made active again, loads its page in a new
        // one, which reads the font list afresh; a plain reload would keep the old renderer.
        const bool visible = viewer.page->isVisible();
        viewer.page->setVisible(false);
        viewer.page->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
        const bool discarded = viewer.page->lifecycleState() == QWebEnginePage::LifecycleState::Discarded;
        viewer.page->setLifecycleState(QWebEnginePage::LifecycleState::Active);
        viewer.page->setVisible(visible);
        if (!discarded) {
            qCDebug(lcViewer) << "a pane's renderer could not be renewed for new fonts; the page is only reloaded";
            viewer.page->triggerAction(QWebEnginePage::Reload);
        }
    }
}
