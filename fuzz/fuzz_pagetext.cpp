// The scan's reading of a page: its declared charset, its decoding, the visible text (markup,
// comments, entities, <head>, <script> and <style> left out) and its words, the all-pages search's
// match in it, and the index builder's reading of the same page.

#include "fuzzsupport.h"
#include "htmltext.h"
#include "indexbuilder.h"
#include "pagescan.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray page = fuzz::bytes(data, size);
    declaredCharset(page);
    const QString decoded = decodePage(page);
    const PageText text = extractPageText(decoded);
    const QStringList words = indexWords(text.text);
    const QString visible = visiblePageText(page);

    // Every word the index would keep is found by the search in the text the scan sees.
    for (qsizetype i = 0; i < qMin<qsizetype>(words.size(), 16); ++i) {
        const QString query = searchQuery(words[i]);
        if (query.isEmpty())
            continue;
        FUZZ_CHECK(visibleTextContains(visible, query, false),
                   QStringLiteral("the word \"%1\" of the page is not found in its visible text").arg(words[i]));
        visibleTextContains(visible, query, true);
    }
    visibleTextContains(visible, searchQuery(QStringLiteral("масло двигателя")), false);

    FullTextIndexBuilder builder;
    builder.addPage(QStringLiteral("glava1.htm"), page);
    builder.addPage(QStringLiteral("frames/glava2.htm"), page);
    builder.build();
    return 0;
}
