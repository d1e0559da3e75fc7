#include "toolsupport.h"

#include "archivewalk.h"
#include "listingpages.h"
#include "rarwriter.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cstdio>

namespace {

void printError(const QString& text)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", qUtf8Printable(printable(text)));
}

// One line naming the library's result, with what the reader would have been told.
[[noreturn]] void failWithResult(const QString& file, int code, const QStringList& said)
{
    QString line = QStringLiteral("%1: %2 (%3)").arg(file, rarResultName(code)).arg(code);
    if (!said.isEmpty())
        line += QStringLiteral(": ") + said.join(QStringLiteral("; "));
    fail(ExitBadInput, line);
}

void list(ToolArgs& args)
{
    args.setUsage(QStringLiteral("archive list FILE"));
    const QString file = args.positional(1, 1)[0];
    QStringList said;
    const ArchiveContents contents = readArchiveContents(file, [&said](const QString& text) { said.append(text); });
    if (contents.openResult != 0)
        failWithResult(file, contents.openResult, said);
    for (const ArchiveEntry& entry : contents.entries)
        writeLine(QStringLiteral("%1\t%2\t%3")
                      .arg(entry.folder ? QLatin1Char('d') : QLatin1Char('f'))
                      .arg(entry.size)
                      .arg(printable(entry.name)));
    if (contents.endResult != 10)
        failWithResult(file, contents.endResult, said);
}

void extract(ToolArgs& args)
{
    args.setUsage(QStringLiteral("archive extract FILE DEST"));
    const QStringList words = args.positional(2, 2);
    // An empty DEST would unpack into whatever folder the tool runs in.
    if (words[1].trimmed().isEmpty())
        fail(ExitBadInput, QStringLiteral("DEST is empty: name the folder to unpack into"));
    QStringList said;
    const ExtractOutcome outcome = extractArchiveEntries(words[0], words[1], [&said](const QString& text) {
        said.append(text);
        printError(text);
    });
    if (outcome.openResult != 0)
        failWithResult(words[0], outcome.openResult, {});
    for (const QString& path : outcome.written)
        writeLine(printable(path));
    if (outcome.endResult != 10)
        failWithResult(words[0], outcome.endResult, {});
    // Refused names and entries that could not be written have had their line each already.
    if (!said.isEmpty())
        fail(ExitNotFound, QString());
}

void pages(ToolArgs& args)
{
    args.setUsage(QStringLiteral("archive pages FILE OUTDIR"));
    const QStringList words = args.positional(2, 2);
    const QString frameset = listArchiveInto(words[0], words[1], printError);
    if (frameset.isEmpty())
        fail(ExitBadInput, QStringLiteral("%1: no listing written").arg(words[0]));
    writeLine(printable(frameset));
}

void build(ToolArgs& args)
{
    args.setUsage(QStringLiteral("archive build OUT FOLDER [--volume-size BYTES] [--old-names]"));
    const std::optional<QString> volumeSize = args.takeOption(QStringLiteral("--volume-size"));
    const bool oldNames = args.takeFlag(QStringLiteral("--old-names"));
    const QStringList words = args.positional(2, 2);
    const QDir folder(QFileInfo(words[1]).absoluteFilePath());
    if (!QFileInfo(words[1]).isDir())
        fail(ExitBadInput, QStringLiteral("%1 is not a folder").arg(words[1]));
    bool ok = true;
    const qint64 bytes = volumeSize ? volumeSize->toLongLong(&ok) : 0;
    if (!ok || bytes < 0)
        args.usageFailure();

    QStringList paths;
    QDirIterator it(folder.path(), QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(folder.relativeFilePath(it.next()));
    paths.sort();
    RarWriter writer;
    for (const QString& path : paths) {
        const QFileInfo info(folder.filePath(path));
        const QDateTime at = info.lastModified();
        const qint32 time = RarWriter::dosTimeOf(at.date().year(), at.date().month(), at.date().day(), at.time().hour(),
                                                 at.time().minute(), at.time().second());
        if (info.isDir())
            writer.addFolder(path, time);
        else
            writer.addFile(path, readInputFile(info.filePath()), time);
    }
    const QStringList written =
        writer.write(words[0], bytes, oldNames ? RarWriter::Naming::Old : RarWriter::Naming::Parts);
    if (written.isEmpty())
        fail(ExitBadInput, QStringLiteral("cannot write %1").arg(words[0]));
    for (const QString& volume : written)
        writeLine(printable(volume));
}

} // namespace

bool runArchiveCommand(const QString& verb, ToolArgs& args)
{
    return runVerb(verb, args, {{"list", list}, {"extract", extract}, {"pages", pages}, {"build", build}});
}
