#include "pdfpages.h"

#include "printlog.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <exception>

namespace {

void open(QPDF& pdf, const char* name, const QByteArray& bytes)
{
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile(name, bytes.constData(), size_t(bytes.size()));
}

QByteArray write(QPDF& pdf)
{
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setCompressStreams(true);
    writer.setObjectStreamMode(qpdf_o_generate);
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), qsizetype(buffer->getSize()));
}

} // namespace

namespace {

QList<QSizeF> sizesOf(std::vector<QPDFPageObjectHelper>& pages)
{
    QList<QSizeF> sizes;
    for (QPDFPageObjectHelper& page : pages) {
        const QPDFObjectHandle::Rectangle box = page.getMediaBox().getArrayAsRectangle();
        QSizeF size(box.urx - box.llx, box.ury - box.lly);
        QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
        if (rotate.isInteger() && (rotate.getIntValue() / 90) % 2 != 0)
            size.transpose();
        sizes.append(size);
    }
    return sizes;
}

} // namespace

std::optional<QList<QSizeF>> pdfPageSizes(const QByteArray& pdf)
{
    try {
        QPDF document;
        open(document, "pages", pdf);
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(document).getAllPages();
        return sizesOf(pages);
    } catch (const std::exception& error) {
        qCDebug(lcPrint) << "a PDF could not be read:" << error.what();
        return std::nullopt;
    }
}

std::optional<QByteArray> overlayPdfPages(const QByteArray& base,
                                          const std::function<QByteArray(const QList<QSizeF>&)>& makeOverlay)
{
    try {
        QPDF target;
        open(target, "base", base);
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(target).getAllPages();
        const QByteArray overlay = makeOverlay(sizesOf(pages));
        QPDF source;
        open(source, "overlay", overlay);
        std::vector<QPDFPageObjectHelper> marks = QPDFPageDocumentHelper(source).getAllPages();
        for (size_t i = 0; i < std::min(pages.size(), marks.size()); ++i) {
            QPDFPageObjectHelper& page = pages[i];
            const QPDFObjectHandle form = target.copyForeignObject(marks[i].getFormXObjectForPage());
            QPDFObjectHandle resources = page.getAttribute("/Resources", true);
            if (!resources.isDictionary()) {
                resources = QPDFObjectHandle::newDictionary();
                page.getObjectHandle().replaceKey("/Resources", resources);
            }
            QPDFObjectHandle xobjects = resources.getKey("/XObject");
            xobjects = xobjects.isDictionary() ? xobjects.shallowCopy() : QPDFObjectHandle::newDictionary();
            resources.replaceKey("/XObject", xobjects);
            int suffix = 0;
            const std::string name = resources.getUniqueResourceName("/VbHeader", suffix);
            xobjects.replaceKey(name, form);
            const std::string place = page.placeFormXObject(form, name, page.getTrimBox().getArrayAsRectangle());
            // The page's own drawing is closed in a q/Q pair, so that nothing it leaves set (a
            // transformation, a clip) reaches the overlay.
            page.addPageContents(QPDFObjectHandle::newStream(&target, "q\n"), true);
            page.addPageContents(QPDFObjectHandle::newStream(&target, "\nQ\nq\n" + place + "\nQ\n"), false);
        }
        return write(target);
    } catch (const std::exception& error) {
        qCDebug(lcPrint) << "the pages could not be laid over each other:" << error.what();
        return std::nullopt;
    }
}

std::optional<QByteArray> pdfPageRange(const QByteArray& pdf, int first, int last)
{
    try {
        QPDF document;
        open(document, "range", pdf);
        QPDFPageDocumentHelper helper(document);
        std::vector<QPDFPageObjectHelper> pages = helper.getAllPages();
        first = std::max(first, 1);
        last = std::min(last, int(pages.size()));
        if (first > last)
            return std::nullopt;
        if (first == 1 && last == int(pages.size()))
            return pdf;
        for (int number = 1; number <= int(pages.size()); ++number) {
            if (number < first || number > last)
                helper.removePage(pages[size_t(number - 1)]);
        }
        return write(document);
    } catch (const std::exception& error) {
        qCDebug(lcPrint) << "a range of pages could not be taken from a PDF:" << error.what();
        return std::nullopt;
    }
}
