#include "pagestore.h"

#include "cupsprint.h"
#include "pdfpages.h"
#include "printlog.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QPointer>
#include <QPrinterInfo>
#include <QSet>
#include <QTemporaryFile>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMarginMm = 20.0;     // at print scale 1
constexpr double kHeaderPoints = 10.0; // at print scale 1
constexpr int kMaxRenderDpi = 300;     // pages go to a printer that cannot take PDF at most this fine
constexpr double kPointsPerMm = 72.0 / 25.4;

// The page's zoom is the print scale while the engine lays it out; what it was, and where the
// page was scrolled to, are kept in the page and put back afterwards.
const char kZoomScript[] = "(function(){var e=document.documentElement;if(!e)return;"
                           "if(window.__velbrookPrint===undefined)"
                           "window.__velbrookPrint={zoom:e.style.zoom,x:window.scrollX,y:window.scrollY};"
                           "e.style.zoom='%1';})();";
const char kRestoreScript[] =
    "(function(){var s=window.__velbrookPrint;if(s===undefined)return;delete window.__velbrookPrint;"
    "var e=document.documentElement;if(e)e.style.zoom=s.zoom;window.scrollTo(s.x,s.y);})();";

int g_pendingPrints = 0;

// Pages whose background setting was changed by a print and not yet taken over by the engine.
QSet<const QWebEnginePage*>& settingChanged()
{
    static QSet<const QWebEnginePage*> pages;
    return pages;
}

} // namespace

// One layout: the engine's print of one page, from the zoom to the engine's answer.
struct PageStore::Job
{
    QPointer<QWebEnginePage> page;
    double scale = 1.0;
    bool backgrounds = true;
    QPageLayout pageLayout;
    std::function<void(bool ok, const QByteArray& pdf)> finished; // to the store; dropped on cancel

    bool cancelled = false; // the store no longer wants the answer
    bool answered = false;  // the engine answered, or never will be asked
    bool restored = true;
    bool zoomed = false;
    bool oldBackgrounds = true;
    std::vector<std::function<void()>> afterAnswer; // layouts of the same page waiting for this one
};

namespace {

// A page prints one document at a time: a layout asked for while the engine still works on an
// earlier one (a cancelled one, say) starts when that one is answered.
QHash<const QWebEnginePage*, std::weak_ptr<PageStore::Job>>& busyPages()
{
    static QHash<const QWebEnginePage*, std::weak_ptr<PageStore::Job>> pages;
    return pages;
}

} // namespace

QString pageHeaderText(int number)
{
    return QStringLiteral(u"Страница ") + QString::number(number);
}

QByteArray pageHeadersPdf(const QList<QSizeF>& sizes, double marginMm, double scale)
{
    if (sizes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const auto layoutFor = [](QSizeF size) {
        const QSizeF portrait(std::min(size.width(), size.height()), std::max(size.width(), size.height()));
        return QPageLayout(QPageSize(portrait, QPageSize::Point, QString(), QPageSize::ExactMatch),
                           size.width() > size.height() ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
    };
    QPdfWriter writer(&buffer);
    writer.setResolution(72); // one unit is one point
    writer.setPageLayout(layoutFor(sizes.first()));
    writer.setCreator(QStringLiteral("Velbrook Reader"));
    QPainter painter(&writer);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(std::max(1.0, kHeaderPoints * scale));
    const double margin = marginMm * kPointsPerMm;
    for (int i = 0; i < sizes.size(); ++i) {
        if (i > 0) {
            writer.setPageLayout(layoutFor(sizes[i]));
            writer.newPage();
        }
        // The header sits in the top margin, its right edge on the margin's line.
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QRectF header(0, margin / 3, sizes[i].width() - margin, margin / 2);
        painter.drawText(header, Qt::AlignRight | Qt::AlignVCenter, pageHeaderText(i + 1));
    }
    painter.end();
    return buffer.data();
}

PageStore::PageStore(const QString& printToFile) : m_file(printToFile)
{
    const QPrinterInfo system = QPrinterInfo::defaultPrinter();
    if (m_file.isEmpty() && !system.isNull()) {
        m_printer = std::make_unique<QPrinter>(system, QPrinter::HighResolution);
        m_systemPrinter = true;
    } else {
        // A PDF file, or no printer at all: an A4 sheet without unprintable edges.
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(m_file);
        m_printer->setResolution(kMaxRenderDpi);
        m_printer->setPageSize(QPageSize(QPageSize::A4));
        m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    m_printer->setFullPage(true);
}

PageStore::~PageStore()
{
    cancelLayout();
}

bool PageStore::available()
{
    m_unavailable.clear();
    if (!m_file.isEmpty())
        return true;
    if (QPrinterInfo::availablePrinters().isEmpty())
        m_unavailable = kNoPrinters.toString();
    else if (!m_systemPrinter || QPrinterInfo::defaultPrinter().isNull() || !m_printer->isValid())
        m_unavailable = kNoDefaultPrinter.toString();
    return m_unavailable.isEmpty();
}

SheetGeometry PageStore::geometryFor(QPageLayout::Orientation orientation) const
{
    QPageLayout layout = m_printer->pageLayout();
    layout.setOrientation(orientation);
    const int dpi = m_printer->resolution();
    SheetGeometry sheet;
    sheet.dpiX = sheet.dpiY = dpi;
    const QRect paper = layout.fullRectPixels(dpi);
    const QRect printable = layout.paintRectPixels(dpi);
    sheet.paperWidth = paper.width();
    sheet.paperHeight = paper.height();
    sheet.offsetX = printable.left();
    sheet.offsetY = printable.top();
    sheet.printableWidth = printable.width();
    sheet.printableHeight = printable.height();
    return sheet;
}

SheetGeometry PageStore::geometry() const
{
    return geometryFor(orientation());
}

QPageLayout::Orientation PageStore::orientation() const
{
    return m_printer->pageLayout().orientation();
}

void PageStore::setOrientation(QPageLayout::Orientation orientation)
{
    m_printer->setPageOrientation(orientation);
}

void PageStore::setNumbering(bool on)
{
    if (m_numbering == on)
        return;
    m_numbering = on;
    if (!m_enginePdf.isEmpty() && !compose())
        qCDebug(lcPrint) << "the page numbers could not be laid over the pages again";
}

int PageStore::enginePrintsPending()
{
    return g_pendingPrints;
}

namespace {

void restorePage(PageStore::Job& job)
{
    if (job.restored)
        return;
    job.restored = true;
    if (!job.page)
        return;
    if (job.page->settings()->testAttribute(QWebEngineSettings::PrintElementBackgrounds) != job.oldBackgrounds)
        settingChanged().insert(job.page.data());
    job.page->settings()->setAttribute(QWebEngineSettings::PrintElementBackgrounds, job.oldBackgrounds);
    if (job.zoomed)
        job.page->runJavaScript(QString::fromLatin1(kRestoreScript));
}

void answer(const std::shared_ptr<PageStore::Job>& job, const QByteArray& pdf)
{
    if (job->answered)
        return;
    job->answered = true;
    restorePage(*job);
    if (job->page) {
        auto& busy = busyPages();
        const auto it = busy.find(job->page.data());
        if (it != busy.end() && it->lock() == job)
            busy.erase(it);
    }
    const auto waiting = std::move(job->afterAnswer);
    for (const auto& next : waiting)
        next();
    if (!job->cancelled && job->finished)
        job->finished(!pdf.isEmpty(), pdf);
}

void printNow(const std::shared_ptr<PageStore::Job>& job)
{
    if (job->cancelled || !job->page) {
        answer(job, {});
        return;
    }
    ++g_pendingPrints;
    job->page->printToPdf(
        [job](const QByteArray& bytes) {
            --g_pendingPrints;
            answer(job, bytes);
        },
        job->pageLayout);
}

void run(const std::shared_ptr<PageStore::Job>& job)
{
    QWebEnginePage* page = job->page;
    if (job->cancelled || !page) {
        answer(job, {});
        return;
    }
    busyPages().insert(page, job);
    job->restored = false;
    job->oldBackgrounds = page->settings()->testAttribute(QWebEngineSettings::PrintElementBackgrounds);
    const bool settingTurn = settingChanged().remove(page) || job->oldBackgrounds != job->backgrounds;
    page->settings()->setAttribute(QWebEngineSettings::PrintElementBackgrounds, job->backgrounds);
    job->zoomed = !qFuzzyCompare(job->scale, 1.0);
    if (!settingTurn && !job->zoomed) {
        printNow(job);
        return;
    }
    // The engine takes a changed setting over on its next turn (this one's, or the one an earlier
    // print put back); the page's script runs after that, and the print after the script.
    const QString script =
        job->zoomed ? QString::fromLatin1(kZoomScript).arg(job->scale, 0, 'f', 4) : QStringLiteral("0");
    QTimer::singleShot(0, page, [job, script] {
        if (!job->page || job->cancelled) {
            answer(job, {});
            return;
        }
        job->page->runJavaScript(script, [job](const QVariant&) { printNow(job); });
    });
}

} // namespace

void PageStore::startLayout(QWebEnginePage* page, double scale, std::function<void(bool ok)> done)
{
    cancelLayout();
    auto job = std::make_shared<Job>();
    job->page = page;
    job->scale = scale;
    job->backgrounds = m_backgrounds;

    // The sheet less the margin: 2 cm at the print scale, and never less than the printer's
    // unprintable edges.
    QPageLayout pageLayout = m_printer->pageLayout();
    const SheetGeometry sheet = geometry();
    const double mmPerPixel = 25.4 / sheet.dpiX;
    const double margin = std::max({kMarginMm * scale, sheet.offsetX * mmPerPixel, sheet.offsetY * mmPerPixel});
    pageLayout.setUnits(QPageLayout::Millimeter);
    pageLayout.setMinimumMargins(QMarginsF());
    pageLayout.setMargins(QMarginsF(margin, margin, margin, margin));
    job->pageLayout = pageLayout;

    job->finished = [this, scale, margin, done = std::move(done)](bool ok, const QByteArray& pdf) {
        m_job.reset();
        if (!ok) {
            qCDebug(lcPrint) << "the engine gave no pages";
            done(false);
            return;
        }
        const QByteArray previous = std::exchange(m_enginePdf, pdf);
        const double previousScale = std::exchange(m_layoutScale, scale);
        const double previousMargin = std::exchange(m_marginMm, margin);
        if (!compose()) {
            m_enginePdf = previous;
            m_layoutScale = previousScale;
            m_marginMm = previousMargin;
            done(false);
            return;
        }
        done(true);
    };
    m_job = job;

    // Every wait has its bound: an engine that does not answer fails the layout.
    std::weak_ptr<Job> weak = job;
    QTimer::singleShot(kLayoutTimeoutMs, [weak] {
        if (const auto late = weak.lock(); late && !late->answered && !late->cancelled) {
            qCDebug(lcPrint) << "the engine did not answer in time; its pages will be dropped";
            const auto finished = std::move(late->finished);
            late->cancelled = true;
            restorePage(*late);
            if (finished)
                finished(false, {});
        }
    });

    if (!page) {
        answer(job, {});
        return;
    }
    const auto busy = busyPages().value(page).lock();
    if (busy && !busy->answered)
        busy->afterAnswer.push_back([job] { run(job); });
    else
        run(job);
}

void PageStore::cancelLayout()
{
    if (!m_job)
        return;
    const std::shared_ptr<Job> job = std::exchange(m_job, nullptr);
    job->cancelled = true;
    job->finished = nullptr;
    // The page is put back now; the engine's answer, when it comes, is dropped.
    restorePage(*job);
}

bool PageStore::layoutRunning() const
{
    return m_job != nullptr;
}

bool PageStore::layout(QWebEnginePage* page, double scale, const std::function<bool(int)>& progress)
{
    if (progress && !progress(0))
        return false;
    if (!page)
        return false;
    QEventLoop loop;
    bool finished = false;
    bool ok = false;
    startLayout(page, scale, [&](bool result) {
        finished = true;
        ok = result;
        loop.quit();
    });
    if (!finished)
        loop.exec(); // bounded: the layout fails after kLayoutTimeoutMs
    if (!ok)
        return false;
    if (progress) {
        for (int i = 1; i <= m_pageCount; ++i) {
            if (!progress(i))
                return false;
        }
    }
    return true;
}

bool PageStore::compose()
{
    int count = 0;
    QByteArray pdf = m_enginePdf;
    if (m_numbering) {
        const std::optional<QByteArray> numbered = overlayPdfPages(m_enginePdf, [&](const QList<QSizeF>& sizes) {
            count = int(sizes.size());
            return pageHeadersPdf(sizes, m_marginMm, m_layoutScale);
        });
        if (!numbered)
            return false;
        pdf = *numbered;
    } else if (const std::optional<QList<QSizeF>> sizes = pdfPageSizes(m_enginePdf)) {
        count = int(sizes->size());
    }
    if (count == 0) {
        qCDebug(lcPrint) << "the engine's pages could not be read";
        return false;
    }
    m_pdf = pdf;
    m_pageCount = count;
    m_document.reset();
    m_pdfFile.reset();
    return true;
}

QPdfDocument* PageStore::document() const
{
    if (m_document || m_pdf.isEmpty())
        return m_document.get();
    // QtPdf reads the pages from a file of their own, made the first time a page is drawn.
    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open() || file->write(m_pdf) != m_pdf.size() || !file->flush()) {
        qCDebug(lcPrint) << "the pages could not be kept in a temporary file";
        return nullptr;
    }
    auto document = std::make_unique<QPdfDocument>();
    if (document->load(file->fileName()) != QPdfDocument::Error::None) {
        qCDebug(lcPrint) << "QtPdf could not read the pages";
        return nullptr;
    }
    m_pdfFile = std::move(file);
    m_document = std::move(document);
    return m_document.get();
}

bool PageStore::writePdf(const QString& file, int first, int last) const
{
    const bool whole = first <= 1 && last >= m_pageCount && !m_pdf.isEmpty();
    const std::optional<QByteArray> bytes = whole ? std::optional<QByteArray>(m_pdf) : pdfPageRange(m_pdf, first, last);
    if (!bytes)
        return false;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(*bytes) != bytes->size() || !out.flush()) {
        qCDebug(lcPrint) << "the PDF could not be written to" << file << out.errorString();
        out.close();
        out.remove(); // no half-written file is left behind
        return false;
    }
    return true;
}

void PageStore::drawPage(QPainter& painter, int index, const QRectF& target) const
{
    painter.fillRect(target, Qt::white);
    if (index < 0 || index >= m_pageCount)
        return;
    const QSize size = target.size().toSize();
    if (size.isEmpty())
        return;
    if (QPdfDocument* pages = document())
        painter.drawImage(target, pages->render(index, size));
}

bool PageStore::print(int first, int last, const std::function<bool(int)>& progress)
{
    first = std::max(first, 1);
    last = std::min(last, m_pageCount);
    if (first > last)
        return true;
    if (progress && !progress(first))
        return false;
    if (m_printer->outputFormat() == QPrinter::PdfFormat) // a PDF file: this store's, or one chosen to print to
        return writePdf(m_printer->outputFileName(), first, last);
    if (!m_systemPrinter)
        return false;
    const QString name = m_printer->printerName();
    if (!cupsTakesPdf(name))
        return printPictures(first, last, progress);
    QTemporaryFile file;
    const std::optional<QByteArray> bytes = pdfPageRange(m_pdf, first, last);
    if (!bytes || !file.open() || file.write(*bytes) != bytes->size() || !file.flush())
        return false;
    CupsJobOptions options;
    options.title = m_printer->docName();
    options.copies = m_printer->copyCount();
    options.collate = m_printer->collateCopies();
    options.twoSided = m_printer->duplex() != QPrinter::DuplexNone;
    options.shortEdge = m_printer->duplex() == QPrinter::DuplexShortSide;
    return cupsPrintPdf(name, file.fileName(), options);
}

bool PageStore::printPictures(int first, int last, const std::function<bool(int)>& progress)
{
    QPainter painter;
    if (!painter.begin(m_printer.get()))
        return false;
    const QRect paper = m_printer->pageLayout().fullRectPixels(m_printer->resolution());
    const double toRender = double(std::min(m_printer->resolution(), kMaxRenderDpi)) / m_printer->resolution();
    for (int number = first; number <= last; ++number) {
        if (number > first && progress && !progress(number)) {
            m_printer->abort(); // nothing of a cancelled job reaches the printer
            painter.end();
            return false;
        }
        if (number > first)
            m_printer->newPage();
        // Drawn at the render resolution and stretched onto the sheet, so a fine printer does not
        // need an enormous picture per page.
        painter.save();
        painter.scale(1 / toRender, 1 / toRender);
        drawPage(painter, number - 1, QRectF(0, 0, paper.width() * toRender, paper.height() * toRender));
        painter.restore();
    }
    return painter.end();
}
