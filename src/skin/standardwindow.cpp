// The skinned window as an ordinary window: a toolbar over the current pane, and back.

#include "mainform.h"

#include "hotarea.h"
#include "skinlog.h"

#include <QAction>
#include <QCursor>
#include <QToolBar>

void TMainForm::StartStandardWindow()
{
    if (m_standard)
        return;
    m_standard = true;
    if (m_components.popups)
        m_components.popups->hideAll();
    if (m_components.misc)
        m_components.misc->HideFields(true);
    if (m_components.search)
        m_components.search->HideSearchBoxes(true);
    m_skinMask = mask();
    m_skinPosition = pos();
    clearMask();
    for (HotArea* area : hotAreas())
        area->hide();

    if (!m_toolbar) {
        m_toolbar = new QToolBar(this);
        m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
        QAction* print = m_toolbar->addAction(QStringLiteral(u"Печать"));
        print->setToolTip(QStringLiteral(u"Напечатать текущий файл"));
        connect(print, &QAction::triggered, this, [this] {
            if (m_components.panes)
                m_components.panes->printCurrentPage();
        });
        QAction* back = m_toolbar->addAction(QStringLiteral(u"Свернуть"));
        back->setToolTip(QStringLiteral(u"Вернуться к красивому окошку"));
        connect(back, &QAction::triggered, this, &TMainForm::ReturnToSkin);
    }
    m_toolbar->adjustSize();
    m_toolbar->setGeometry(0, 0, width(), m_toolbar->sizeHint().height());
    m_toolbar->show();
    m_toolbar->raise();
    // The pane fills what the toolbar leaves: the window's contents, or on the reading screen the
    // document panel, which then takes those contents itself.
    setContentsMargins(0, m_toolbar->height(), 0, 0);
    if (m_panel->isVisible())
        m_panel->setGeometry(contentsRect());
    if (m_components.panes)
        m_components.panes->FillClient();
    // An ordinary window: framed, of any size the reader gives it, and maximised to begin with.
    setWindowFlag(Qt::FramelessWindowHint, false);
    setMinimumSize(kPlainMinimum);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    showMaximized();
    update();
    qCDebug(lcSkin) << "plain window on";
}

void TMainForm::ReturnToSkin()
{
    if (!m_standard)
        return;
    m_standard = false;
    if (m_toolbar)
        m_toolbar->hide();
    setContentsMargins(0, 0, 0, 0);
    // The skin again: no frame, its picture's size and no other, where it stood before. The
    // window leaves its maximised state first, while the desktop still sees it.
    showNormal();
    setWindowFlag(Qt::FramelessWindowHint, true);
    setFixedSize(m_background.size());
    move(m_skinPosition);
    show();
    m_panel->setGeometry(kDocumentPanel);
    if (m_components.panes)
        m_components.panes->RestoreBounds();
    setMask(m_skinMask.isEmpty() ? QRegion(rect()) : m_skinMask);
    for (HotArea* area : hotAreas())
        area->show();
    if (m_components.misc)
        m_components.misc->HideFields(false);
    if (m_components.search)
        m_components.search->HideSearchBoxes(false);
    // The element last under the pointer rests again unless the pointer is still on it.
    pointerMove(mapFromGlobal(QCursor::pos()));
    update();
    qCDebug(lcSkin) << "plain window off";
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    if (m_standard && m_toolbar) {
        m_toolbar->setGeometry(0, 0, width(), m_toolbar->height());
        if (m_panel->isVisible())
            m_panel->setGeometry(contentsRect());
    }
    QWidget::resizeEvent(event);
}
