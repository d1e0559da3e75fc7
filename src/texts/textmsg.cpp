#include "textmsg.h"

#include "caption.h"
#include "scriptvalues.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

namespace {

// Idents compare without regard to ASCII case only.
bool isStatusLineIdent(const QString& ident)
{
    static const QLatin1String kIdent("statusline");
    if (ident.size() != kIdent.size())
        return false;
    for (qsizetype i = 0; i < ident.size(); ++i) {
        char16_t c = ident[i].unicode();
        if (c >= u'A' && c <= u'Z')
            c = c - u'A' + u'a';
        if (c != char16_t(kIdent[i].unicode()))
            return false;
    }
    return true;
}

QRect textExtent(QPoint topLeft, const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    return QRect(topLeft, QSize(metrics.horizontalAdvance(text), metrics.height()));
}

} // namespace

TTextMsg::TTextMsg(QWidget* window, const TDynamicTextArray& texts, std::function<int()> currentScreen)
    : m_window(window), m_currentScreen(std::move(currentScreen))
{
    m_labels.reserve(texts.size());
    for (const RText& record : texts) {
        Label label;
        label.font = captionFont(record.font, record.size, parseFontStyle(record.style, 0));
        label.color = windowsColor(record.color);
        label.rect = QRect(record.vx, record.vy, 0, 0);
        label.screen = record.screen;
        label.number = record.number;
        label.text = record.value;
        label.statusLine = isStatusLineIdent(record.ident);
        m_labels.append(label);
    }
}

void TTextMsg::setDialogWindow(QWidget* dialog)
{
    m_dialog = dialog;
}

QWidget* TTextMsg::ownerOf(const Label& label) const
{
    return label.number == kDialogNumber ? m_dialog.data() : m_window.data();
}

void TTextMsg::PaintTexts(QPainter& painter, Owner owner)
{
    const int screen = m_currentScreen();
    for (Label& label : m_labels) {
        if (label.screen != screen || (label.number == kDialogNumber) != (owner == Owner::Dialog))
            continue;
        label.rect = textExtent(label.rect.topLeft(), label.font, label.text);
        painter.save();
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setBrush(Qt::NoBrush);
        painter.setFont(label.font);
        painter.setPen(label.color);
        painter.setClipRect(label.rect, Qt::IntersectClip);
        painter.drawText(label.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label.text);
        painter.restore();
    }
}

void TTextMsg::setLabelText(Label& label, const QString& text, bool redraw)
{
    if (label.text == text)
        return;
    label.text = text;
    if (!redraw)
        return;
    QWidget* owner = ownerOf(label);
    if (!owner)
        return;
    owner->update(label.rect);
    if (label.screen == m_currentScreen())
        owner->update(textExtent(label.rect.topLeft(), label.font, text));
}

void TTextMsg::SetText(const QString& text, int number, bool redraw)
{
    for (Label& label : m_labels) {
        if (number == kStatusLine) {
            if (label.statusLine)
                setLabelText(label, text, redraw);
        } else if (number >= 0 && label.number == number) {
            setLabelText(label, text, redraw);
            return;
        }
    }
}

QString TTextMsg::text(int number) const
{
    for (const Label& label : m_labels) {
        if (label.number == number)
            return label.text;
    }
    return QString();
}
