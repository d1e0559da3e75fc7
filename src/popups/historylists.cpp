#include "historylists.h"

namespace {

HistorySlot slotFor(const QStringList& titles, int i)
{
    return {historyCaption(titles[i]), QStringLiteral("history=%1").arg(i)};
}

} // namespace

QString historyCaption(const QString& title)
{
    if (title.isEmpty())
        return QStringLiteral(u"Без названия");
    QString caption = title.left(kHistoryTitleLength);
    if (caption.size() > 1 && caption.back().isHighSurrogate())
        caption.chop(1);
    return caption;
}

HistorySlots historyBackSlots(const QStringList& titles, int index)
{
    HistorySlots slots;
    int slot = 0;
    for (qsizetype i = qMax(index + 1, 0); i <= qsizetype(index) + kHistorySlots && i < titles.size(); ++i)
        slots[slot++] = slotFor(titles, int(i));
    return slots;
}

HistorySlots historyForwardSlots(const QStringList& titles, int index)
{
    HistorySlots slots;
    int slot = kHistorySlots - 1;
    for (qsizetype i = qMax(index - kHistorySlots, 0); i < index && i < titles.size(); ++i)
        slots[slot--] = slotFor(titles, int(i));
    return slots;
}

int historyCommandIndex(const QString& command, qsizetype count)
{
    const qsizetype equals = command.indexOf(QLatin1Char('='));
    if (equals < 0)
        return -1;
    bool ok = false;
    const int index = command.mid(equals + 1).trimmed().toInt(&ok);
    return ok && index >= 0 && index < count ? index : -1;
}
