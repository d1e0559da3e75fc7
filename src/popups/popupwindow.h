#pragma once

// One popup list of the current screen: a small window of its own that never takes the focus,
// drawn from the skin's background picture with a column of picture items. It reports a pressed
// item; what the item does is the controller's business.

#include "itemsbtn.h"
#include "skinrecords.h"

#include <QList>
#include <QWidget>

#include <memory>

class THtmlFavorite;

class TPopupWindow final : public QWidget
{
    Q_OBJECT
public:
    // The popup of element data, index among the screen's popup elements; its background and
    // item pictures come from pictures.
    TPopupWindow(const RPopupData& data, int index, PictureSource pictures);
    ~TPopupWindow() override;

    int type() const { return m_data.type; }
    int index() const { return m_index; }
    // The fixed place in the main window's client area; -1 takes that coordinate from the point
    // the popup opens at.
    QPoint fixedPosition() const { return QPoint(m_data.xfon, m_data.yfon); }
    // The skin gives it an outline (more than one point).
    bool shaped() const { return m_outline.size() > 1; }
    const QList<QPoint>& outline() const { return m_outline; }

    // Item maintenance: count empty hidden items; an item added with a caption and shown; an
    // item's caption and command; an item shown or hidden; an item removed, the later ones moving
    // up. Out-of-range indexes are ignored.
    void SetItemCount(int count);
    void AddItem(const QString& caption, const QString& command);
    // The items of a script's list at once, laid out once (commands may be fewer than captions).
    void AddItems(const QStringList& captions, const QStringList& commands);
    void SetItem(int index, const QString& caption, const QString& command);
    void ShowItem(int index, bool visible);
    void removeItem(int index);

    int itemCount() const { return int(m_items.size()); }
    int visibleItemCount() const;
    const TItemsBtn& item(int index) const { return m_items[index]; }
    // The item under point (popup coordinates), -1 for none.
    int itemAt(QPoint point) const;

    bool deleteMode() const { return m_deleteMode; }
    void setDeleteMode(bool on) { m_deleteMode = on; }

    THtmlFavorite* favorites() const { return m_favorites.get(); }
    void setFavorites(std::unique_ptr<THtmlFavorite> favorites);

    // The background as fitted to the items.
    const QImage& background() const { return m_background; }
    // Places the items and, for a popup without an outline, fits its height to them.
    void layoutPopup();

    // Shows the popup with its top-left corner at position (screen coordinates), above all
    // windows and without taking the focus; shape is its outline region, or empty for none.
    void showAt(QPoint position, const QRegion& shape);
    // Hides it: no item hovered or pressed, delete mode left.
    void closePopup();
    // When it was last shown (ms since the epoch), 0 before.
    qint64 lastShown() const { return m_lastShown; }

Q_SIGNALS:
    void itemPressed(int index);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    TItemsBtn makeItem(int index) const;

    RPopupData m_data;
    int m_index;
    PictureSource m_pictures;
    QImage m_original; // the background as loaded
    QImage m_background;
    QList<QPoint> m_outline;
    QList<TItemsBtn> m_items;
    bool m_deleteMode = false;
    qint64 m_lastShown = 0;
    std::unique_ptr<THtmlFavorite> m_favorites;
};
