#pragma once

// One item of a popup list: a picture for each of its three looks (normal, under the pointer,
// pressed) with its caption drawn in, the command it runs, and its place in the list.

#include "popuplayout.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include <array>
#include <functional>

struct RPopupData;

// The pictures of a popup by name; an empty picture for a name the skin does not hold.
using PictureSource = std::function<QImage(const QString& name)>;

// How item index of a popup looks: its three pictures (the index-th entry of each list, or the
// first when the list is shorter) and the fonts and colours of its normal and hover captions.
struct ItemLook
{
    QString up;
    QString move;
    QString down;
    QFont fontUp;
    QFont fontMove;
    QColor colorUp;
    QColor colorMove;
};
ItemLook itemLook(const RPopupData& data, int index);

class TItemsBtn
{
public:
    enum Look
    {
        Normal = 0,
        Hover = 1,
        Pressed = 2,
    };

    TItemsBtn(ItemLook look, const PictureSource& pictures);

    // Draws caption onto the three pictures, when it differs from the present one; the whole
    // caption becomes the tooltip when it does not fit the item. True when it changed.
    bool setCaption(const QString& caption);
    QString caption() const { return m_caption; }
    QString hint() const { return m_hint; }
    // The caption as drawn in the normal look (shortened when it does not fit).
    QString shownCaption() const { return m_shown; }

    const QImage& bitmap(Look look) const { return m_bitmaps[look]; }
    // The picture for the item's state: pressed, else hovered, else normal.
    const QImage& currentBitmap() const;
    QSize size() const { return m_layout.size; }
    QRect rect() const { return QRect(m_layout.position, m_layout.size); }
    // Inside the item's rectangle, not on its edge.
    bool strictlyContains(QPoint point) const;

    QString command;
    bool hovered = false;
    bool pressed = false;

    LayoutItem& layout() { return m_layout; }
    const LayoutItem& layout() const { return m_layout; }
    bool visible() const { return m_layout.visible; }

private:
    void loadLook();

    ItemLook m_look;
    PictureSource m_pictures;
    std::array<QImage, 3> m_bitmaps;
    QString m_caption;
    QString m_shown;
    QString m_hint;
    LayoutItem m_layout;
};
