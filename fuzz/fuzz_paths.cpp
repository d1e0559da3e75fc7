// The path values of scripts and commands: expanded against the program folder and the "<cd>"
// drive, combined with a base, and the argument and target of a command taken from them, as the
// script readers and the dispatcher do; then resolved on the disk the way the file opener does.
// The input's first line is the value, its second (when there is one) the base.

#include "fuzzsupport.h"
#include "pathresolver.h"
#include "scriptpaths.h"

#include <QDir>

namespace {

ProgramFolders g_folders;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv);
    const QString drive = QDir(fuzz::tempDir()).filePath(QStringLiteral("cd"));
    QDir().mkpath(drive + QStringLiteral("/run/Glava"));
    g_folders = {drive + QLatin1Char('/'), drive + QStringLiteral("/run/")};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList lines = fuzz::textLines(data, size);
    const QString value = lines.value(0);
    const QString base = lines.size() > 1 ? lines[1] : g_folders.dir;

    const QString expanded = ExpandPath(value, g_folders);
    FUZZ_CHECK(!expanded.contains(QLatin1Char('\\')), QStringLiteral("a '\\' left in %1").arg(expanded));
    for (const QString& start : {base, g_folders.dir, QStringLiteral("c:\\cd\\run"), QStringLiteral("relative\\dir")}) {
        const QString combined = CombinePath(start, value);
        FUZZ_CHECK(!combined.contains(QLatin1String("/../")),
                   QStringLiteral("\"%1\" + \"%2\" left a step up in %3").arg(start, value, combined));
    }
    CommandArg(value, g_folders);
    CommandTarget(value, g_folders);
    toInternalPath(value);
    hasDriveLetter(value);

    PathResolver disk(g_folders.drive);
    disk.toLocal(expanded);
    disk.resolve(expanded);
    disk.fileExists(expanded);
    disk.folderExists(expanded);
    disk.resolveForWrite(expanded);
    return 0;
}
