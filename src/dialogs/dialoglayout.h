#pragma once

// How a page of the skinned dialog is laid out around its text: a text wider than its box widens
// the page by the overflow, stretching the background's middle column; buttons follow by their
// alignment. Pure functions, tested without a window.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

struct DialogText;

struct TextPlacement
{
    int extra = 0; // columns the page grows by
    QPoint at;     // where the text's left edge and top go
    QRect clip;    // the text is clipped to this
};

// textWidth, textHeight: the text measured in the page's font. The page grows by at most
// maxExtra columns (the screen's width): a script's box may hold any numbers, and a page wider
// than the screen shows nothing more. Sums are worked out without overflow.
TextPlacement placeText(int textWidth, int textHeight, const DialogText& box, int maxExtra);

// The background with extra columns: its columns left of the middle as they are, the rest moved
// right by extra, and the gap filled with copies of the middle column. extra is taken as at most
// kMaxDialogExtra.
QImage widenPicture(const QImage& background, int extra);

// The widest any page grows, whatever the screen.
inline constexpr int kMaxDialogExtra = 16384;

// How far a button moves right on a page widened by extra: 0 for "left", half for "middle", all of
// it for anything else.
int buttonOffset(const QString& align, int extra);

// The window's height: the part above the result list when there are no results, the whole page
// otherwise.
int dialogHeight(bool hasResults, int fullHeight);

// The settings key that keeps the state of switch index on page (both from 0): "SwGrpD" followed
// by the two numbers. Written side by side they would make page 1, switch 12 and page 11, switch 2
// one key, so a number of more than one digit is set off by '_' ("SwGrpD1_12", "SwGrpD11_2").
QString dialogSwitchKey(int page, int index);
