#include "pagestore.h"

#include "printlog.h"

#include <QEventLoop>
#include <QPainter>
#include <QPrinterInfo>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineSettings>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMarginMm = 20.0;      // at print scale 1
constexpr double kHeaderPoints = 10.0;  // at print scale 1
constexpr int kMaxRenderDpi = 300;      // pages are drawn onto the printer at most this fine
constexpr int kLayoutTimeoutMs = 60000; // the engine's answer is awaited this long at most

} // namespace

QString pageHeaderText(int number)
{
    return QStringLiteral(u"Страница ") + QString::number(number);
}

PageStore::PageStore(const QString& printToFile) : m_file(printToFile)
{
    if (m_file.isEmpty()) {
        m_printer = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    } else {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setOutputFileName(m_file);
        m_printer->setResolution(kMaxRenderDpi);
        m_printer->setPageSize(QPageSize(QPageSize::A4));
        m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    m_printer->setFullPage(true);
}

PageStore::~PageStore() = default;

bool PageStore::available()
{
    m_unavailable.clear();
    if (!m_file.isEmpty())
        return true;
    if (QPrinterInfo::availablePrinters().isEmpty())
        m_unavailable = kNoPrinters.toString();
    else if (QPrinterInfo::defaultPrinter().isNull() || !m_printer->isValid())
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

bool PageStore::layout(QWebEnginePage* page, double scale, const std::function<bool(int)>& progress)
{
    if (progress && !progress(0))
        return false;
    if (!page)
        return false;
    page->settings()->setAttribute(QWebEngineSettings::PrintElementBackgrounds, m_backgrounds);

    // The print scale is the document's zoom while the engine lays it out for printing.
    QEventLoop loop;
    const QString zoom = QString::number(scale, 'f', 4);
    page->runJavaScript(
        QStringLiteral(
            "(function(){var e=document.documentElement;if(!e)return;"
            "if(window.__velbrookZoom===undefined)window.__velbrookZoom=e.style.zoom;e.style.zoom='%1';})();")
            .arg(zoom),
        [&loop](const QVariant&) { loop.quit(); });
    loop.exec();

    QPageLayout pageLayout = m_printer->pageLayout();
    const SheetGeometry sheet = geometry();
    const double mmPerPixel = 25.4 / sheet.dpiX;
    const double margin = std::max({kMarginMm * scale, sheet.offsetX * mmPerPixel, sheet.offsetY * mmPerPixel});
    pageLayout.setUnits(QPageLayout::Millimeter);
    pageLayout.setMinimumMargins(QMarginsF());
    pageLayout.setMargins(QMarginsF(margin, margin, margin, margin));

    QByteArray pdf;
    bool answered = false;
    page->printToPdf(
        [&](const QByteArray& bytes) {
            pdf = bytes;
            answered = true;
            loop.quit();
        },
        pageLayout);
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    bound.start(kLayoutTimeoutMs);
    if (!answered)
        loop.exec();

    page->runJavaScript(
        QStringLiteral("(function(){var e=document.documentElement;if(e&&window.__velbrookZoom!=="
                       "undefined){e.style.zoom=window.__velbrookZoom;delete window.__velbrookZoom;}})();"));
    if (!answered || pdf.isEmpty()) {
        qCDebug(lcPrint) << "the engine gave no pages for" << page->url();
        return false;
    }

    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open() || file->write(pdf) != pdf.size() || !file->flush()) {
        qCDebug(lcPrint) << "the pages could not be kept in a temporary file";
        return false;
    }
    auto document = std::make_unique<QPdfDocument>();
    if (document->load(file->fileName()) != QPdfDocument::Error::None || document->pageCount() <= 0) {
        qCDebug(lcPrint) << "the engine's pages could not be read";
        return false;
    }
    m_document = std::move(document);
    m_pdfFile = std::move(file);
    if (progress) {
        for (int i = 1; i <= m_document->pageCount(); ++i) {
            if (!progress(i))
                return false;
        }
    }
    return true;
}

int PageStore::pageCount() const
{
    return m_document ? m_document->pageCount() : 0;
}

void PageStore::drawPage(QPainter& painter, int index, const QRectF& target, double scale) const
{
    painter.fillRect(target, Qt::white);
    if (!m_document || index < 0 || index >= pageCount())
        return;
    const QSize size = target.size().toSize();
    if (size.isEmpty())
        return;
    painter.drawImage(target, m_document->render(index, size));
    if (!m_numbering)
        return;
    // The header sits in the top margin, its right edge on the margin's line.
    const SheetGeometry sheet = geometry();
    const double perPrinterPixel = target.width() / std::max(1, sheet.paperWidth);
    const double margin = sheet.dpiX * scale * 0.7874015748031497 * perPrinterPixel;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, int(std::lround(kHeaderPoints / 72.0 * sheet.dpiY * scale * perPrinterPixel))));
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF header(target.left(), target.top() + margin / 3, target.width() - margin, margin / 2);
    painter.drawText(header, Qt::AlignRight | Qt::AlignVCenter, pageHeaderText(index + 1));
    painter.restore();
}

bool PageStore::print(int first, int last, double scale, const std::function<bool(int)>& progress)
{
    first = std::max(first, 1);
    last = std::min(last, pageCount());
    if (first > last)
        return true;
    QPainter painter;
    if (!painter.begin(m_printer.get()))
        return false;
    const QRect paper = m_printer->pageLayout().fullRectPixels(m_printer->resolution());
    const double toRender = double(std::min(m_printer->resolution(), kMaxRenderDpi)) / m_printer->resolution();
    for (int number = first; number <= last; ++number) {
        if (progress && !progress(number)) {
            painter.end();
            return false;
        }
        if (number > first)
            m_printer->newPage();
        // Drawn at the render resolution and stretched onto the sheet, so a fine printer does not
        // need an enormous picture per page.
        painter.save();
        painter.scale(1 / toRender, 1 / toRender);
        drawPage(painter, number - 1, QRectF(0, 0, paper.width() * toRender, paper.height() * toRender), scale);
        painter.restore();
    }
    return painter.end();
}
