#include "toolsupport.h"

#include "contentfolder.h"

#include "contenterror.h"
#include "contentpack.h"
#include "indexbuilder.h"
#include "makefind.h"
#include "pathresolver.h"
#include "startupvalues.h"
#include "tesaurusfind.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

void build(ToolArgs& args)
{
    args.setUsage(QStringLiteral("index build FOLDER"));
    const QString folder = args.positional(1, 1)[0];
    const ContentFolder content(folder);
    try {
        const FullTextIndex index = buildFullTextIndex(
            content.pack, content.path + QLatin1Char('/'), [](const QString& page, const QString& why) {
                std::fprintf(stderr, "velbrook-tool: %s is left out of the index: %s\n",
                             qUtf8Printable(printable(page)), qUtf8Printable(why));
            });
        if (index.pages == 0)
            fail(ExitNotFound, QStringLiteral("%1 holds no page to index: no .htm or .html file on disk or in its "
                                              "interface.dat")
                                   .arg(folder));
        writeFullTextIndex(index, content.path);
    } catch (const ContentError& error) {
        fail(ExitBadInput, error.message());
    }
}

void findInIndex(ToolArgs& args)
{
    args.setUsage(QStringLiteral("index find FOLDER WORD"));
    const QStringList words = args.positional(2, 2);
    const ContentFolder content(words[0]);
    TMakeFind find(content.pack);
    find.SetIndexFolder(content.path);
    QStringList files;
    QStringList titles;
    const IndexLookup lookup = find.FindInIndex(words[1], files, titles, false);
    if (lookup.message != IndexMessage::None)
        fail(ExitNotFound, indexMessageText(lookup.message));
    if (!lookup)
        fail(ExitNotFound, QStringLiteral("the index of %1 holds no word \"%2\"").arg(words[0], words[1]));
    for (qsizetype i = 0; i < files.size(); ++i)
        writeLine(printable(files[i]) + QLatin1Char('\t') + printable(titles[i]));
}

void findInThesaurus(ToolArgs& args)
{
    args.setUsage(QStringLiteral("thesaurus find FOLDER WORD"));
    const QStringList words = args.positional(2, 2);
    const ContentFolder content(words[0]);
    TMakeTesaurusFind find(content.pack);
    find.SetIndexFolder(content.path);
    QString page;
    const IndexLookup lookup = find.FindInThesaurus(words[1], page);
    if (lookup.message != IndexMessage::None)
        fail(ExitNotFound, indexMessageText(lookup.message));
    if (!lookup)
        fail(ExitNotFound, QStringLiteral("the thesaurus of %1 has no page for \"%2\"").arg(words[0], words[1]));
    writeLine(printable(page));
}

} // namespace

bool runIndexCommand(const QString& verb, ToolArgs& args)
{
    return runVerb(verb, args, {{"build", build}, {"find", findInIndex}});
}

bool runThesaurusCommand(const QString& verb, ToolArgs& args)
{
    return runVerb(verb, args, {{"find", findInThesaurus}});
}
