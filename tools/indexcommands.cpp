#include "toolsupport.h"

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

// A content folder as the reader opens it: its interface.dat, when there is one, with the folder
// as the pack's base, and the disk files beside it.
struct ContentFolder
{
    explicit ContentFolder(const QString& folder)
        : path(QDir::cleanPath(QFileInfo(folder).absoluteFilePath())), disk(mountPointOf(path)), pack(disk)
    {
        if (!QFileInfo(folder).isDir())
            fail(ExitBadInput, QStringLiteral("%1 is not a folder").arg(folder));
        const QString packPath = disk.resolve(path + QStringLiteral("/interface.dat"));
        if (!QFileInfo(packPath).isFile())
            return;
        bool valid = false;
        try {
            valid = pack.OpenPack(packPath);
        } catch (const ContentError& error) {
            fail(ExitBadInput, error.message());
        }
        // A damaged pack is absent; the disk files still serve.
        if (!valid)
            std::fprintf(stderr, "velbrook-tool: %s\n", qUtf8Printable(printable(pack.errorString())));
        pack.SetPackBase(path + QLatin1Char('/'));
    }

    QString path;
    PathResolver disk;
    ContentPack pack;
};

void build(ToolArgs& args)
{
    args.setUsage(QStringLiteral("index build FOLDER"));
    const QString folder = args.positional(1, 1)[0];
    try {
        writeFullTextIndex(buildFullTextIndex(folder), folder);
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
