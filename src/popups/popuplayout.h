#pragma once

// The geometry of a popup list, as pure functions over plain data: where its items stand, how
// its background picture is stretched or cut to the items' height, how an item's caption is
// fitted into the item, where the list opens on the desktop, and the outline that shapes it.

#include <QFontMetrics>
#include <QImage>
#include <QList>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QStringList>

#include <functional>

// The margin above the first item and below the last when the skin gives -1.
constexpr int kDefaultItemMargin = 5;
// No desktop is taller: a popup whose items and margins need more stops there, and the items
// past its bottom stay unseen (a damaged script's list can run over thousands of lines).
constexpr int kMaxPopupHeight = 4096;
// The caption's distance from the item's left and right edges.
constexpr int kCaptionInset = 7;
// What a shortened caption ends with.
inline const QString kEllipsis = QStringLiteral("...");

// One item as the layout sees it.
struct LayoutItem
{
    QSize size;
    bool visible = false;
    bool placed = false;
    QPoint position; // in the popup, valid while placed
};

// The margin a popup's ybtn gives: -1 (and any other negative value) means the default.
int itemMargin(int ybtn);

// Places the items in one column: items placed before the first hidden or unplaced one keep
// their places; every later visible item goes under the previous placed one (the first at the
// margin), at xbtn from the left, or centred in popupWidth when xbtn is -1. Hidden items take no
// room. Returns the summed height of the visible items (no more than half the int range).
int layoutItems(QList<LayoutItem>& items, int popupWidth, int xbtn, int ybtn);

// The background picture fitted to height: the picture's top stays, its bottom band of margin
// rows moves to the new bottom, and rows a taller popup adds between them repeat the picture's
// middle row. Always made from the picture as loaded, so the look does not depend on the sizes
// the popup had before. A null picture stays null.
QImage fitBackground(const QImage& original, int height, int margin);

// Where an item's caption is drawn and what of it: the rectangle (item coordinates), the text
// (shortened with "..." until it fits the rectangle), and whether the item needs the whole
// caption as its tooltip (the caption does not fit with the inset on both sides).
struct CaptionLayout
{
    QRect rect;
    QString text;
    bool needsHint = false;
};
CaptionLayout layoutCaption(const QString& caption, const QFontMetrics& metrics, QSize item);

// text with characters taken from its end, and "..." appended, until it is at most width wide;
// text itself when it fits. Never splits a surrogate pair. The longest such beginning is found by
// bisection, so a caption of any length takes a few dozen measurements.
QString shortenCaption(const QString& text, const QFontMetrics& metrics, int width);
// The same with the measuring given: measure(text) is text's width.
QString shortenCaption(const QString& text, const std::function<int(const QString&)>& measure, int width);

// The top-left corner of a popup of size that opens at wanted, kept on the desktop: moved up or
// left to end at the desktop's bottom or right edge, then down or right to start at its top or
// left edge.
QPoint keepOnDesktop(QPoint wanted, QSize size, const QRect& desktop);

// The most outline points a popup keeps.
constexpr int kMaxOutlinePoints = 2000;
// The outline points of a popup from the skin's "x,y" items; an item that is not two integers is
// left out. At most kMaxOutlinePoints.
QList<QPoint> outlinePoints(const QStringList& vertex);
// The region of an outline (winding rule) for a popup of size, clipped to the popup's rectangle
// first, so that coordinates far outside it cost nothing. Empty with fewer than three points
// left.
QRegion popupOutlineRegion(const QList<QPoint>& points, QSize size);
