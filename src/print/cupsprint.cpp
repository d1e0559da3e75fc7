#include "cupsprint.h"

#include "printlog.h"

#include <cups/cups.h>

bool cupsTakesPdf(const QString& printer)
{
    const QByteArray name = printer.toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.isEmpty() ? nullptr : name.constData(), nullptr);
    if (!dest) {
        qCDebug(lcPrint) << "CUPS knows no printer" << printer;
        return false;
    }
    bool pdf = false;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        pdf = cupsCheckDestSupported(CUPS_HTTP_DEFAULT, dest, info, "document-format", CUPS_FORMAT_PDF) != 0;
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return pdf;
}

bool cupsPrintPdf(const QString& printer, const QString& pdfFile, const CupsJobOptions& options)
{
    cups_option_t* list = nullptr;
    int count = 0;
    count = cupsAddOption("copies", QByteArray::number(std::max(1, options.copies)).constData(), count, &list);
    count = cupsAddOption("collate", options.collate ? "true" : "false", count, &list);
    count = cupsAddOption("sides",
                          !options.twoSided   ? "one-sided"
                          : options.shortEdge ? "two-sided-short-edge"
                                              : "two-sided-long-edge",
                          count, &list);
    count = cupsAddOption("document-format", CUPS_FORMAT_PDF, count, &list);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), pdfFile.toUtf8().constData(),
                                   options.title.toUtf8().constData(), count, list);
    cupsFreeOptions(count, list);
    if (job <= 0) {
        qCDebug(lcPrint) << "CUPS refused the job for" << printer << ":" << cupsLastErrorString();
        return false;
    }
    return true;
}
