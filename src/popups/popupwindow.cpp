#include "popupwindow.h"

#include "htmlfavorite.h"
#include "popupslog.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

TPopupWindow::TPopupWindow(const RPopupData& data, int index, PictureSource pictures)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowStaysOnTopHint),
      m_data(data), m_index(index), m_pictures(std::move(pictures)), m_outline(outlinePoints(data.vertex))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    m_original = m_pictures ? m_pictures(data.fnfon) : QImage();
    if (m_original.isNull())
        qCDebug(lcPopups) << "popup" << data.type << "has no background picture:" << data.fnfon;
    m_background = m_original;
    resize(m_background.size());
}

TPopupWindow::~TPopupWindow()
{
    // The favorites are written back while their popup still stands.
    m_favorites.reset();
}

TItemsBtn TPopupWindow::makeItem(int index) const
{
    return TItemsBtn(itemLook(m_data, index), m_pictures);
}

void TPopupWindow::SetItemCount(int count)
{
    m_items.clear();
    for (int i = 0; i < count; ++i)
        m_items.append(makeItem(i));
    layoutPopup();
}

void TPopupWindow::AddItem(const QString& caption, const QString& command)
{
    AddItems({caption}, {command});
}

void TPopupWindow::AddItems(const QStringList& captions, const QStringList& commands)
{
    for (qsizetype k = 0; k < captions.size(); ++k) {
        TItemsBtn item = makeItem(int(m_items.size()));
        item.command = commands.value(k);
        item.setCaption(captions[k]);
        item.layout().visible = true;
        m_items.append(item);
    }
    layoutPopup();
}

void TPopupWindow::SetItem(int index, const QString& caption, const QString& command)
{
    if (index < 0 || index >= m_items.size())
        return;
    m_items[index].command = command;
    if (m_items[index].setCaption(caption))
        update();
}

void TPopupWindow::ShowItem(int index, bool visible)
{
    if (index < 0 || index >= m_items.size())
        return;
    TItemsBtn& item = m_items[index];
    item.layout().visible = visible;
    if (!visible) {
        item.hovered = false;
        item.pressed = false;
        item.layout().placed = false;
    }
    layoutPopup();
}

void TPopupWindow::removeItem(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    m_items.removeAt(index);
    // The later items move up: they are placed again.
    for (qsizetype i = index; i < m_items.size(); ++i)
        m_items[i].layout().placed = false;
    layoutPopup();
}

int TPopupWindow::visibleItemCount() const
{
    return int(std::count_if(m_items.cbegin(), m_items.cend(), [](const TItemsBtn& item) { return item.visible(); }));
}

int TPopupWindow::itemAt(QPoint point) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        const TItemsBtn& item = m_items[i];
        if (item.visible() && item.layout().placed && item.rect().contains(point))
            return int(i);
    }
    return -1;
}

void TPopupWindow::setFavorites(std::unique_ptr<THtmlFavorite> favorites)
{
    m_favorites = std::move(favorites);
}

void TPopupWindow::layoutPopup()
{
    QList<LayoutItem> layout;
    layout.reserve(m_items.size());
    for (const TItemsBtn& item : std::as_const(m_items))
        layout.append(item.layout());
    const int sum = layoutItems(layout, m_original.width(), m_data.xbtn, m_data.ybtn);
    for (qsizetype i = 0; i < m_items.size(); ++i)
        m_items[i].layout() = layout[i];
    if (!shaped() && !m_original.isNull()) {
        const int margin = itemMargin(m_data.ybtn);
        const qint64 height = qint64(sum) + 2 * qint64(margin);
        m_background = fitBackground(m_original, int(qMin<qint64>(height, kMaxPopupHeight)), margin);
        resize(m_background.size());
    }
    update();
}

void TPopupWindow::showAt(QPoint position, const QRegion& shape)
{
    move(position);
    if (shape.isEmpty())
        clearMask();
    else
        setMask(shape);
    show();
    raise();
    update();
    m_lastShown = QDateTime::currentMSecsSinceEpoch();
}

void TPopupWindow::closePopup()
{
    for (TItemsBtn& item : m_items) {
        item.hovered = false;
        item.pressed = false;
    }
    m_deleteMode = false;
    hide();
}

bool TPopupWindow::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int at = itemAt(help->pos());
        if (at >= 0 && !m_items[at].hint().isEmpty()) {
            QToolTip::showText(help->globalPos(), m_items[at].hint(), this, m_items[at].rect());
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void TPopupWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_background);
    for (const TItemsBtn& item : std::as_const(m_items)) {
        if (item.visible() && item.layout().placed)
            painter.drawImage(item.layout().position, item.currentBitmap());
    }
}

void TPopupWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    bool changed = false;
    for (TItemsBtn& item : m_items) {
        const bool over = item.visible() && item.layout().placed && item.strictlyContains(at);
        if (over && !item.hovered) {
            item.hovered = true;
            changed = true;
        } else if (!over && item.hovered) {
            item.hovered = false;
            item.pressed = false;
            changed = true;
        }
    }
    if (changed)
        update();
}

void TPopupWindow::mousePressEvent(QMouseEvent* event)
{
    const int at = itemAt(event->position().toPoint());
    if (at < 0 || m_items[at].pressed)
        return;
    m_items[at].pressed = true;
    repaint();
    Q_EMIT itemPressed(at);
}

void TPopupWindow::leaveEvent(QEvent* event)
{
    bool changed = false;
    for (TItemsBtn& item : m_items) {
        if (item.hovered || item.pressed) {
            item.hovered = false;
            item.pressed = false;
            changed = true;
        }
    }
    if (changed)
        update();
    QWidget::leaveEvent(event);
}
