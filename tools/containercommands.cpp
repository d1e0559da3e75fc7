#include "toolsupport.h"

#include "contenterror.h"
#include "readbin.h"

#include <QFileInfo>

namespace {

TReadBin openContainer(const QString& path)
{
    TReadBin container;
    try {
        container.Open(path);
    } catch (const ContentError& error) {
        fail(ExitBadInput, error.message());
    }
    return container;
}

void list(ToolArgs& args)
{
    args.setUsage(QStringLiteral("container list FILE"));
    const QStringList words = args.positional(1, 1);
    const TReadBin container = openContainer(words[0]);
    for (const RBin& record : container.directory())
        writeLine(QStringLiteral("%1\t%2\t%3").arg(printable(record.name)).arg(record.offset).arg(record.size));
}

void cat(ToolArgs& args)
{
    args.setUsage(QStringLiteral("container cat FILE NAME"));
    const QStringList words = args.positional(2, 2);
    const TReadBin container = openContainer(words[0]);
    if (!container.Exists(words[1]))
        fail(ExitNotFound, QStringLiteral("%1 has no entry \"%2\"").arg(words[0], words[1]));
    const std::optional<QByteArray> data = container.Read(words[1]);
    if (!data)
        fail(ExitBadInput, QStringLiteral("cannot read entry \"%1\" of %2").arg(words[1], words[0]));
    writeOutput(*data);
}

void build(ToolArgs& args)
{
    args.setUsage(QStringLiteral("container build OUT FILE..."));
    const QStringList words = args.positional(1, 0xFFFF + 1);
    ContainerWriter writer;
    for (const QString& path : words.mid(1))
        writer.add(QFileInfo(path).fileName(), readInputFile(path));
    try {
        writer.write(words[0]);
    } catch (const ContentError& error) {
        fail(ExitBadInput, error.message());
    }
}

} // namespace

bool runContainerCommand(const QString& verb, ToolArgs& args)
{
    return runVerb(verb, args, {{"list", list}, {"cat", cat}, {"build", build}});
}
