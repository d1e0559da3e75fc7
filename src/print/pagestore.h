#pragma once

// The page store of the print preview: one PDF of a document, the engine's own (vector text,
// pictures at their resolution) laid out on the sheet at a print scale, with the "Страница N"
// header laid over each sheet as text while numbering is on. The same PDF serves the preview
// (drawn by QtPdf), a PDF file (written as it is), and the printer (CUPS takes it as it is; a
// printer that cannot take PDF gets the pages as pictures).
//
// The engine lays the document out asynchronously. A layout can be cancelled at any time: the
// engine's late answer is then dropped. The live page is left as it was: its zoom, scroll position
// and background setting are put back as soon as the engine answered or the layout was cancelled.

#include "pagegeometry.h"

#include <QByteArray>
#include <QPageLayout>
#include <QPrinter>

#include <functional>
#include <memory>

class QPainter;
class QPdfDocument;
class QTemporaryFile;
class QWebEnginePage;

class PageStore final
{
    Q_DISABLE_COPY_MOVE(PageStore)
public:
    // The texts of the two ways a printer is missing.
    static constexpr QStringView kNoPrinters = u"Не найдено установленных принтеров!";
    static constexpr QStringView kNoDefaultPrinter = u"Принтер, установленный по умолчанию, сейчас не доступен!";
    // How long the engine's answer is awaited at most.
    static constexpr int kLayoutTimeoutMs = 60000;

    // printToFile: a "print to PDF file" printer writing that file; empty: the system's default
    // printer, or an A4 sheet with no printer behind it when the system has none.
    explicit PageStore(const QString& printToFile = QString());
    ~PageStore();

    // Whether a printer (the system's, or the PDF file) is there to print on; refreshes the sheet
    // geometry. When not, unavailableText() says why; the pages can still be laid out and saved.
    bool available();
    QString unavailableText() const { return m_unavailable; }
    bool printsToFile() const { return !m_file.isEmpty(); }
    QString outputFile() const { return m_file; }

    SheetGeometry geometry() const;
    SheetGeometry geometryFor(QPageLayout::Orientation orientation) const;
    QPageLayout::Orientation orientation() const;
    void setOrientation(QPageLayout::Orientation orientation);

    // Numbering is laid over the engine's pages again at once; no new layout is needed.
    bool numbering() const { return m_numbering; }
    void setNumbering(bool on);
    bool backgrounds() const { return m_backgrounds; }
    void setBackgrounds(bool on) { m_backgrounds = on; }

    // Starts laying the page's document out at the print scale. done is called once, on the
    // interface thread: true with the new pages in the store, false when the engine gave none (the
    // store then keeps what it held) or did not answer in kLayoutTimeoutMs. After cancelLayout()
    // it is not called at all.
    void startLayout(QWebEnginePage* page, double scale, std::function<void(bool ok)> done);
    void cancelLayout();
    bool layoutRunning() const;
    // Lays out and waits for the engine; progress is told 0 before the engine starts and each page
    // number once the pages are there, and returns false to cancel. False when cancelled or failed.
    bool layout(QWebEnginePage* page, double scale, const std::function<bool(int)>& progress = {});

    int pageCount() const { return m_pageCount; }
    // The PDF of all pages, as the preview shows them; empty before the first layout.
    QByteArray pdf() const { return m_pdf; }
    // Writes pages first..last (1-based) to file; the whole document is written as it is.
    bool writePdf(const QString& file, int first, int last) const;

    // Draws page index (0-based) into target, the whole sheet.
    void drawPage(QPainter& painter, int index, const QRectF& target) const;
    // Prints the pages first..last (1-based, clamped to the store) on the printer as it is set up:
    // a PDF file, a CUPS printer that takes PDF, or else pictures of the pages. False when the
    // printer failed or progress cancelled.
    bool print(int first, int last, const std::function<bool(int)>& progress = {});
    QPrinter& printer() { return *m_printer; }

    // The engine prints that were asked for and not answered yet, over all stores; for tests.
    static int enginePrintsPending();

    struct Job; // one layout, from the page's zoom to the engine's answer

private:
    bool compose();
    bool printPictures(int first, int last, const std::function<bool(int)>& progress);
    QPdfDocument* document() const;

    QString m_file;
    std::unique_ptr<QPrinter> m_printer;
    bool m_systemPrinter = false; // m_printer is the system's default printer
    QString m_unavailable;
    bool m_numbering = true;
    bool m_backgrounds = true;
    std::shared_ptr<Job> m_job;

    QByteArray m_enginePdf; // the engine's pages, as it gave them
    double m_layoutScale = 1.0;
    double m_marginMm = 0;
    QByteArray m_pdf; // what the store shows and prints
    int m_pageCount = 0;
    mutable std::unique_ptr<QTemporaryFile> m_pdfFile;
    mutable std::unique_ptr<QPdfDocument> m_document;
};

// The header of a page: "Страница " and its 1-based number.
QString pageHeaderText(int number);

// A PDF of empty pages of those sizes (points), each with its header at the top right: right edge
// on the margin's line, in the top margin, in a font of 10 points at the print scale.
QByteArray pageHeadersPdf(const QList<QSizeF>& sizes, double marginMm, double scale);
