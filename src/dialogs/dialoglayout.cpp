#include "dialoglayout.h"

#include "dialogscript.h"

#include <QPainter>

namespace {

// The part of the find page above its result list.
constexpr int kHeightWithoutResults = 115;

} // namespace

TextPlacement placeText(int textWidth, int textHeight, const DialogText& box)
{
    const int width = box.vw - box.vx;
    TextPlacement placement;
    if (textWidth > width) {
        placement.extra = textWidth - width;
        placement.at = QPoint(box.vx, box.vy);
        placement.clip = QRect(QPoint(box.vx, box.vy), QPoint(box.vw + placement.extra, box.vy + textHeight));
    } else {
        placement.at = QPoint(box.vx + (width - textWidth) / 2, box.vy);
        placement.clip = QRect(QPoint(box.vx, box.vy), QPoint(box.vw, box.vy + textHeight));
    }
    return placement;
}

QImage widenPicture(const QImage& background, int extra)
{
    if (extra <= 0 || background.isNull())
        return background;
    const int w = background.width();
    const int middle = w / 2;
    QImage wide(w + extra, background.height(),
                background.format() == QImage::Format_Invalid ? QImage::Format_RGB32 : background.format());
    QPainter painter(&wide);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), background, QRect(0, 0, middle, background.height()));
    painter.drawImage(QPoint(middle + extra, 0), background, QRect(middle, 0, w - middle, background.height()));
    const QImage column = background.copy(middle, 0, 1, background.height());
    for (int x = middle; x < middle + extra; ++x)
        painter.drawImage(QPoint(x, 0), column);
    return wide;
}

int buttonOffset(const QString& align, int extra)
{
    if (align == QLatin1String("left"))
        return 0;
    if (align == QLatin1String("middle"))
        return extra / 2;
    return extra;
}

int dialogHeight(bool hasResults, int fullHeight)
{
    return hasResults ? fullHeight : qMin(kHeightWithoutResults, fullHeight);
}

QString dialogSwitchKey(int page, int index)
{
    if (page >= 0 && page < 10 && index >= 0 && index < 10)
        return QStringLiteral("SwGrpD%1%2").arg(page).arg(index);
    return QStringLiteral("SwGrpD%1_%2").arg(page).arg(index);
}
