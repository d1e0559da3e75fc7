#include "toolsupport.h"

#include "contenterror.h"
#include "contentpack.h"
#include "packwriter.h"
#include "pathresolver.h"
#include "startupvalues.h"

#include <QFileInfo>

namespace {

// The pack opened for reading, with drive letters read against the volume that holds it.
struct OpenedPack
{
    explicit OpenedPack(const QString& path) : disk(mountPointOf(QFileInfo(path).absolutePath())), pack(disk)
    {
        bool valid = false;
        try {
            valid = pack.OpenPack(path);
        } catch (const ContentError& error) {
            fail(ExitBadInput, error.message());
        }
        if (!valid)
            fail(ExitBadInput, pack.errorString());
    }

    PathResolver disk;
    ContentPack pack;
};

void list(ToolArgs& args)
{
    args.setUsage(QStringLiteral("pack list FILE"));
    const QStringList words = args.positional(1, 1);
    const OpenedPack opened(words[0]);
    for (const QString& path : opened.pack.ListPackFiles())
        writeLine(printable(path));
}

void cat(ToolArgs& args)
{
    args.setUsage(QStringLiteral("pack cat FILE PATH [--base FOLDER]"));
    const std::optional<QString> base = args.takeOption(QStringLiteral("--base"));
    const QStringList words = args.positional(2, 2);
    OpenedPack opened(words[0]);
    if (base)
        opened.pack.SetPackBase(*base);
    const int index = opened.pack.FindPackEntry(words[1]);
    if (index < 0)
        fail(ExitNotFound, QStringLiteral("%1 holds no file %2").arg(words[0], words[1]));
    QByteArray data;
    if (opened.pack.loadEntry(index, data) != ContentPack::Load::Loaded)
        fail(ExitBadInput, QStringLiteral("the packed file %1 in %2 is damaged").arg(words[1], words[0]));
    writeOutput(data);
}

void build(ToolArgs& args)
{
    args.setUsage(QStringLiteral("pack build OUT FOLDER"));
    const QStringList words = args.positional(2, 2);
    if (!QFileInfo(words[1]).isDir())
        fail(ExitBadInput, QStringLiteral("%1 is not a folder").arg(words[1]));
    try {
        PackWriter::fromFolder(words[1], words[0]).write(words[0]);
    } catch (const ContentError& error) {
        fail(ExitBadInput, error.message());
    }
}

} // namespace

bool runPackCommand(const QString& verb, ToolArgs& args)
{
    return runVerb(verb, args, {{"list", list}, {"cat", cat}, {"build", build}});
}
