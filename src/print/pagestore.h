#pragma once

// The page store of the print preview: the engine's PDF of a document, laid out on the printer's
// sheet at a print scale, its pages drawn by QtPdf for the preview and onto the printer, with the
// "Страница N" header at the top right of each sheet while numbering is on.

#include "pagegeometry.h"

#include <QPageLayout>
#include <QPdfDocument>
#include <QPrinter>
#include <QTemporaryFile>

#include <functional>
#include <memory>

class QPainter;
class QWebEnginePage;

class PageStore final
{
    Q_DISABLE_COPY_MOVE(PageStore)
public:
    // The texts of the two ways a printer is missing.
    static constexpr QStringView kNoPrinters = u"Не найдено установленных принтеров!";
    static constexpr QStringView kNoDefaultPrinter = u"Принтер, установленный по умолчанию, сейчас не доступен!";

    // printToFile: a "print to PDF file" printer writing that file; empty: the system's default
    // printer.
    explicit PageStore(const QString& printToFile = QString());
    ~PageStore();

    // Whether a printer device is there; refreshes the sheet geometry. When not, unavailableText()
    // says why.
    bool available();
    QString unavailableText() const { return m_unavailable; }
    bool printsToFile() const { return !m_file.isEmpty(); }
    QString outputFile() const { return m_file; }

    SheetGeometry geometry() const;
    SheetGeometry geometryFor(QPageLayout::Orientation orientation) const;
    QPageLayout::Orientation orientation() const;
    void setOrientation(QPageLayout::Orientation orientation);

    bool numbering() const { return m_numbering; }
    void setNumbering(bool on) { m_numbering = on; }
    bool backgrounds() const { return m_backgrounds; }
    void setBackgrounds(bool on) { m_backgrounds = on; }

    // Lays the page's document out at the print scale; progress is told 0 before the engine starts
    // and each page number as the pages come, and returns false to cancel. False when cancelled or
    // when the engine gave no pages (the store then keeps what it held).
    bool layout(QWebEnginePage* page, double scale, const std::function<bool(int)>& progress = {});
    int pageCount() const;

    // Draws page index (0-based) into target, the whole sheet, with its header when numbering is on.
    void drawPage(QPainter& painter, int index, const QRectF& target, double scale) const;
    // Prints the pages first..last (1-based, clamped to the store) on the printer; false when the
    // printer could not be opened or the user cancelled through progress.
    bool print(int first, int last, double scale, const std::function<bool(int)>& progress = {});
    QPrinter& printer() { return *m_printer; }

private:
    QString m_file;
    std::unique_ptr<QPrinter> m_printer;
    QString m_unavailable;
    bool m_numbering = true;
    bool m_backgrounds = true;
    std::unique_ptr<QTemporaryFile> m_pdfFile;
    std::unique_ptr<QPdfDocument> m_document;
};

// The header of a page: "Страница " and its 1-based number.
QString pageHeaderText(int number);
