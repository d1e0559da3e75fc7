#include "caption.h"

#include <QFontMetrics>
#include <QPainter>

QFont captionFont(const QString& face, int pointSize, FontStyles styles)
{
    QFont font(face);
    if (pointSize > 0)
        font.setPointSize(pointSize);
    font.setBold(styles.testFlag(FontStyle::Bold));
    font.setItalic(styles.testFlag(FontStyle::Italic));
    font.setUnderline(styles.testFlag(FontStyle::Underline));
    font.setStrikeOut(styles.testFlag(FontStyle::StrikeOut));
    return font;
}

QList<int> captionLetterPositions(const QString& text, const QFont& font, int left)
{
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    QList<int> positions;
    positions.reserve(text.size());
    int x = left;
    for (const QChar c : text) {
        positions.append(x);
        x += metrics.horizontalAdvance(c) - 1;
    }
    return positions;
}

void drawCaption(QImage& picture, const QString& text, const QRect& rect, const QFont& font, const QColor& color)
{
    if (picture.isNull() || text.trimmed().isEmpty())
        return;
    QPainter painter(&picture);
    painter.setClipRect(rect);
    painter.setFont(font);
    painter.setPen(color);
    const QFontMetrics metrics(font);
    const QList<int> positions = captionLetterPositions(text, font, rect.left());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (positions[i] > rect.right())
            break;
        painter.drawText(QPoint(positions[i], rect.top() + metrics.ascent()), QString(text[i]));
    }
}

QColor windowsColor(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
