#include "toolsupport.h"

#include "pathresolver.h"
#include "scriptpaths.h"
#include "startupvalues.h"

namespace {

QString asFolder(const QString& path)
{
    QString folder = toInternalPath(path);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void expand(ToolArgs& args)
{
    args.setUsage(QStringLiteral("path expand VALUE --program-dir DIR [--program-drive DIR]"));
    const std::optional<QString> dir = args.takeOption(QStringLiteral("--program-dir"));
    const std::optional<QString> drive = args.takeOption(QStringLiteral("--program-drive"));
    const QStringList words = args.positional(1, 1);
    if (!dir)
        args.usageFailure();
    ProgramFolders folders;
    folders.dir = asFolder(*dir);
    folders.drive = drive ? asFolder(*drive) : mountPointOf(folders.dir);
    writeLine(ExpandPath(words[0], folders));
}

void combine(ToolArgs& args)
{
    args.setUsage(QStringLiteral("path combine BASE RELATIVE"));
    const QStringList words = args.positional(2, 2);
    writeLine(CombinePath(words[0], words[1]));
}

} // namespace

bool runPathCommand(const QString& verb, ToolArgs& args)
{
    return runVerb(verb, args, {{"expand", expand}, {"combine", combine}});
}
