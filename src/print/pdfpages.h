#pragma once

// What the print path does to whole PDF documents, with libqpdf: counting and measuring pages,
// laying the pages of one document over those of another (each as a form XObject, so text stays
// text), and keeping a range of pages. Every function takes and gives the bytes of a PDF; a
// document that cannot be read gives nothing, with one debug line.

#include <QByteArray>
#include <QList>
#include <QSizeF>

#include <functional>
#include <optional>

// The sizes of the pages, in points; nothing when the bytes are not a readable PDF.
std::optional<QList<QSizeF>> pdfPageSizes(const QByteArray& pdf);

// base with page i of the overlay drawn over its page i, for as many pages as both have; base's
// pages beyond the overlay's stay as they are. The overlay is made from the sizes of base's pages.
std::optional<QByteArray> overlayPdfPages(const QByteArray& base,
                                          const std::function<QByteArray(const QList<QSizeF>&)>& makeOverlay);

// The pages first..last (1-based, clamped to the document) of pdf; nothing when no page is left.
std::optional<QByteArray> pdfPageRange(const QByteArray& pdf, int first, int last);
