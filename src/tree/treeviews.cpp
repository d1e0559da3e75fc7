#include "treeviews.h"

#include "appcontext.h"
#include "scriptcodec.h"
#include "scriptpaths.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

namespace {

TreeScript readTree(const TReadBin& container, const QString& scriptName)
{
    const std::optional<QByteArray> stored = container.Read(scriptName);
    if (!stored)
        return {};
    return TreeScript::read(DecodeScript(*stored, false));
}

} // namespace

TTreeViews::TTreeViews(AppContext& context, const QString& scriptName, std::shared_ptr<const TreeCallbacks> callbacks,
                       QWidget* panel)
    : QTreeView(panel), m_context(context), m_callbacks(std::move(callbacks)),
      m_model(new TreeModel(readTree(context.container, scriptName), this))
{
    hide();
    setGeometry(kGeometry);
    setMinimumWidth(kMinimumWidth);
    setModel(m_model);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformRowHeights(true);

    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        colours.setColor(group, QPalette::Highlight, QColor(115, 105, 115));
        colours.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(colours);

    // The vertical scroll bar stands at the left edge: the view's own bar stays off and drives a
    // bar of ours placed in a left margin.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_leftBar = new QScrollBar(Qt::Vertical, this);
    m_leftBar->hide();
    QScrollBar* own = verticalScrollBar();
    connect(own, &QScrollBar::rangeChanged, this, [this, own](int minimum, int maximum) {
        m_leftBar->setRange(minimum, maximum);
        m_leftBar->setPageStep(own->pageStep());
        m_leftBar->setSingleStep(own->singleStep());
        const bool needed = maximum > minimum;
        if (needed != m_leftBar->isVisibleTo(this)) {
            m_leftBar->setVisible(needed);
            setViewportMargins(needed ? m_leftBar->sizeHint().width() : 0, 0, 0, 0);
        }
        placeScrollBar();
    });
    connect(own, &QScrollBar::valueChanged, m_leftBar, &QScrollBar::setValue);
    connect(m_leftBar, &QScrollBar::valueChanged, own, &QScrollBar::setValue);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { currentItemChanged(current); });
}

TTreeViews::~TTreeViews() = default;

QString TTreeViews::cutTitleAt(QPoint point) const
{
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return QString();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    const int needed = itemDelegateForIndex(index)->sizeHint(option, index).width();
    const int shown = option.rect.intersected(viewport()->rect()).right() - option.rect.left() + 1;
    return needed > shown ? index.data(Qt::DisplayRole).toString() : QString();
}

bool TTreeViews::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QTreeView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString title = cutTitleAt(help->pos());
    if (title.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), title, viewport(), visualRect(indexAt(help->pos())));
    }
    return true;
}

void TTreeViews::placeScrollBar()
{
    const QRect area = contentsRect();
    m_leftBar->setGeometry(area.left(), area.top(), m_leftBar->sizeHint().width(), area.height());
}

void TTreeViews::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    placeScrollBar();
}

void TTreeViews::mousePressEvent(QMouseEvent* event)
{
    if (m_callbacks->hidePopups)
        m_callbacks->hidePopups();
    // A click on the item that is already chosen changes no selection, so it would not open
    // the item's branch: a collapsed chosen item opens here.
    const QModelIndex pressed = indexAt(event->position().toPoint());
    const bool chosenAndCollapsed = pressed.isValid() && pressed == currentIndex() && !isExpanded(pressed);
    QTreeView::mousePressEvent(event);
    if (chosenAndCollapsed && event->button() == Qt::LeftButton)
        expand(pressed);
}

void TTreeViews::currentItemChanged(const QModelIndex& current)
{
    const int item = TreeModel::itemOf(current);
    if (item < 0)
        return;
    m_chosenLink = tree().items().at(item).link;
    expand(current);
    if (!m_quiet)
        OpenChosenItem(true);
}

void TTreeViews::focusItem(int item)
{
    const QModelIndex index = m_model->indexOf(item);
    if (!index.isValid())
        return;
    m_quiet = true;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_quiet = false;
    expand(index);
    scrollTo(index);
}

void TTreeViews::OpenChosenItem(bool fromTree)
{
    const QString link = m_chosenLink.trimmed();
    if (link.isEmpty())
        return; // a heading without a page
    const QString current = m_callbacks->currentFile ? treeFileName(m_callbacks->currentFile()) : QString();
    if (current.compare(link, Qt::CaseInsensitive) != 0 && m_callbacks->openPage) {
        const QString page = link.contains(QLatin1Char('/')) ? ExpandPath(link, m_context.folders())
                                                             : m_context.values.programDir + link;
        m_callbacks->openPage(page);
    }
    if (fromTree && focusPolicy() != Qt::NoFocus && isEnabled())
        scrollTo(currentIndex());
}

void TTreeViews::ShowTreeForScreen(int screen, bool chosen)
{
    if (screen == 1) {
        parentWidget()->show();
        if (!chosen) {
            hide();
            m_inactive = true;
        } else {
            if (!m_hiddenByCommand)
                show();
            m_inactive = false;
        }
    } else if (screen == 0) {
        parentWidget()->hide();
        hide();
        m_inactive = true;
        m_hiddenByCommand = false;
    }

    if (isHidden() || m_pendingPage.isEmpty())
        return;
    const int item = tree().findLink(treeFileName(m_pendingPage));
    if (item >= 0) {
        openStep(item);
        return;
    }
    const qsizetype hash = m_pendingPage.indexOf(QLatin1Char('#'));
    if (hash < 0)
        return;
    const int chapter = tree().findLink(treeFileName(m_pendingPage.left(hash)));
    if (chapter >= 0)
        FindInTree(tree().items().at(chapter).caption);
}

void TTreeViews::SyncTreeWithPage(const QString& name)
{
    const QString trimmed = name.trimmed();
    const bool current = trimmed.isEmpty() || trimmed == QLatin1String("fromhistory");
    QString page = name;
    if (current)
        page = m_callbacks->currentFile ? m_callbacks->currentFile() : QString();
    // The reader's own choice stands: when the focused item already names the page shown (a
    // section that shares its chapter's page, an index entry), it stays focused; the first item
    // of the page is looked for only when it does not.
    int item = focusedItem();
    if (!tree().linkNamesPage(item, page))
        item = tree().findPage(page);
    if (item < 0)
        return;
    int top = item;
    while (tree().items().at(top).parent >= 0)
        top = tree().items().at(top).parent;
    focusItem(item);
    scrollTo(m_model->indexOf(top));
    scrollTo(m_model->indexOf(item));
    if (trimmed.isEmpty())
        OpenChosenItem();
}

void TTreeViews::openStep(int item)
{
    if (item < 0)
        return;
    focusItem(item);
    OpenChosenItem();
}

void TTreeViews::NextChapter()
{
    openStep(tree().NextChapter(focusedItem()));
}

void TTreeViews::PrevChapter()
{
    openStep(tree().PrevChapter(focusedItem()));
}

std::pair<QString, QString> TTreeViews::UpdateChapterHints()
{
    if (focusedItem() < 0)
        focusItem(0);
    const int focused = focusedItem();
    return {tree().nextChapterHint(focused), tree().prevChapterHint(focused)};
}

bool TTreeViews::FindInTree(const QString& text)
{
    const int item = tree().findCaption(text, focusedItem());
    if (item < 0)
        return false;
    openStep(item);
    return true;
}

void TTreeViews::HideTree()
{
    hide();
    m_hiddenByCommand = true;
}

void TTreeViews::ShowTree()
{
    if (!m_inactive)
        show();
    m_hiddenByCommand = false;
}
