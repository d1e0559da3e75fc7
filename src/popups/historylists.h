#pragma once

// What the back (-1) and forward (-2) lists show for a pane's history: eight slots each, filled
// with the entries nearest the page shown first. History titles come newest first; index is the
// entry shown (0 the newest), so older pages have higher indexes.

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

constexpr int kHistorySlots = 8;
// The longest title a slot shows.
constexpr int kHistoryTitleLength = 255;

struct HistorySlot
{
    QString caption;
    QString command; // "history=" + the entry's index
};
using HistorySlots = std::array<std::optional<HistorySlot>, kHistorySlots>;

// The caption of a history entry: its title cut to kHistoryTitleLength, "Без названия" when empty.
QString historyCaption(const QString& title);

// The older pages: index+1 .. index+8, from slot 0 down; the rest of the slots empty.
HistorySlots historyBackSlots(const QStringList& titles, int index);
// The newer pages: index-8 .. index-1, the newest in slot 7, going up; the slots above empty.
HistorySlots historyForwardSlots(const QStringList& titles, int index);

// The entry a "history=" command names, or -1 when it names none of count entries.
int historyCommandIndex(const QString& command, qsizetype count);
