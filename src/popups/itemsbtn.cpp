#include "itemsbtn.h"

#include "caption.h"
#include "scriptvalues.h"
#include "skinrecords.h"

#include <QPainter>

namespace {

QString entry(const QStringList& list, int index)
{
    if (list.isEmpty())
        return {};
    return index >= 0 && index < list.size() ? list[index] : list.first();
}

} // namespace

ItemLook itemLook(const RPopupData& data, int index)
{
    ItemLook look;
    look.up = entry(data.fnbtnup, index);
    look.move = entry(data.fnbtnmove, index);
    look.down = entry(data.fnbtndown, index);
    look.fontUp = captionFont(data.fontup, data.sizeup, parseFontStyle(data.styleup, 0));
    look.fontMove = captionFont(data.fontmv, data.sizemv, parseFontStyle(data.stylemv, 0));
    look.colorUp = windowsColor(data.colorup);
    look.colorMove = windowsColor(data.colormv);
    return look;
}

TItemsBtn::TItemsBtn(ItemLook look, const PictureSource& pictures) : m_look(std::move(look)), m_pictures(pictures)
{
    loadLook();
}

void TItemsBtn::loadLook()
{
    const QString names[3] = {m_look.up, m_look.move, m_look.down};
    for (int i = 0; i < 3; ++i) {
        m_bitmaps[i] = m_pictures ? m_pictures(names[i]) : QImage();
        // Drawn on: a copy of its own, not the shared picture.
        if (!m_bitmaps[i].isNull())
            m_bitmaps[i].detach();
    }
    m_layout.size = m_bitmaps[Normal].size();
}

bool TItemsBtn::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return false;
    m_caption = caption;
    loadLook();
    m_hint.clear();
    bool needsHint = false;
    for (int i = 0; i < 3; ++i) {
        const QFont& font = i == Normal ? m_look.fontUp : m_look.fontMove;
        const CaptionLayout layout = layoutCaption(caption, QFontMetrics(font), m_layout.size);
        needsHint = needsHint || layout.needsHint;
        if (i == Normal)
            m_shown = layout.text;
        if (m_bitmaps[i].isNull())
            continue;
        QPainter painter(&m_bitmaps[i]);
        painter.setFont(font);
        painter.setPen(i == Normal ? m_look.colorUp : m_look.colorMove);
        painter.setBrush(Qt::NoBrush);
        painter.drawText(layout.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, layout.text);
    }
    if (needsHint)
        m_hint = caption;
    return true;
}

const QImage& TItemsBtn::currentBitmap() const
{
    if (pressed)
        return m_bitmaps[Pressed];
    if (hovered)
        return m_bitmaps[Hover];
    return m_bitmaps[Normal];
}

bool TItemsBtn::strictlyContains(QPoint point) const
{
    const QRect r = rect();
    return point.x() > r.left() && point.x() < r.right() && point.y() > r.top() && point.y() < r.bottom();
}
