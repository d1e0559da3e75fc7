#include "dialoglayout.h"

#include "dialogscript.h"

#include <QPainter>

#include <algorithm>

namespace {

// The part of the find page above its result list.
constexpr int kHeightWithoutResults = 115;

} // namespace

namespace {

// Coordinates of the page, far beyond any screen and small enough that nothing built from them
// overflows.
constexpr qint64 kMaxCoordinate = 1 << 20;

int bounded(qint64 value)
{
    return int(std::clamp(value, -kMaxCoordinate, kMaxCoordinate));
}

} // namespace

TextPlacement placeText(int textWidth, int textHeight, const DialogText& box, int maxExtra)
{
    const qint64 left = box.vx;
    const qint64 right = box.vw;
    const qint64 top = box.vy;
    const qint64 width = right - left;
    const qint64 limit = std::clamp<qint64>(maxExtra, 0, kMaxDialogExtra);
    TextPlacement placement;
    qint64 clipRight = right;
    if (textWidth > width) {
        placement.extra = int(std::min(qint64(textWidth) - width, limit));
        placement.at = QPoint(bounded(left), bounded(top));
        clipRight = right + placement.extra;
    } else {
        placement.at = QPoint(bounded(left + (width - textWidth) / 2), bounded(top));
    }
    // A box whose right end lies left of its left end (a reversed box) clips the text away: the
    // clip is empty rather than turned round.
    const int clipLeft = bounded(left);
    placement.clip = QRect(QPoint(clipLeft, bounded(top)),
                           QPoint(std::max(bounded(clipRight), clipLeft - 1), bounded(top + textHeight)));
    return placement;
}

QImage widenPicture(const QImage& background, int extra)
{
    extra = std::min(extra, kMaxDialogExtra);
    if (extra <= 0 || background.isNull())
        return background;
    const int w = background.width();
    const int middle = w / 2;
    QImage wide(w + extra, background.height(),
                background.format() == QImage::Format_Invalid ? QImage::Format_RGB32 : background.format());
    if (wide.isNull())
        return background;
    QPainter painter(&wide);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), background, QRect(0, 0, middle, background.height()));
    painter.drawImage(QPoint(middle + extra, 0), background, QRect(middle, 0, w - middle, background.height()));
    // The middle column stretched over the gap, in one step.
    painter.drawImage(QRect(middle, 0, extra, background.height()), background.copy(middle, 0, 1, background.height()));
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
