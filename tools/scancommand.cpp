// "scan FOLDER TEXT [--match-case]": the pages of a content folder that show TEXT, found the way
// the reader's search across all pages finds them.

#include "contentfolder.h"
#include "pagescan.h"
#include "toolsupport.h"

int runScanCommand(ToolArgs& args)
{
    const bool matchCase = args.takeFlag(QStringLiteral("--match-case"));
    const QStringList words = args.positional(2, 2);
    const QString query = searchQuery(words[1]);
    if (query.isEmpty())
        fail(ExitBadInput, QStringLiteral("nothing to search for: TEXT is empty or only blanks"));
    const ContentFolder content(words[0]);
    const QString folder = content.path + QLatin1Char('/');
    const QStringList pages = listScanPages(content.pack, folder);
    bool found = false;
    for (qsizetype at = 0; at < pages.size(); ++at) {
        at = scanPages(content.pack, folder, pages, at, query, matchCase);
        if (at < 0)
            break;
        writeLine(printable(pages[at]));
        found = true;
    }
    return found ? ExitOk : ExitNotFound;
}
