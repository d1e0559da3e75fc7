// RAR archives through our adapter over libarchive: the listing walk, the listing pages the reader
// shows, and unpacking into a folder of its own, after which nothing may lie outside that folder
// and nothing inside it may be a link (the unpacking makes none).

#include "archivewalk.h"
#include "fuzzsupport.h"
#include "listingpages.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

QString g_root;  // holds the archive, the box and the listing pages, nothing else
QString g_box;   // holds the destination, nothing else
QString g_dest;  // where the archive is unpacked
QString g_pages; // where its listing pages go

void checkOnly(const QString& folder, const QStringList& allowed)
{
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names)
        FUZZ_CHECK(allowed.contains(name), QStringLiteral("%1 was made outside its folder, in %2").arg(name, folder));
}

void checkNoLinks(const QString& folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        FUZZ_CHECK(!entry.isSymLink(), QStringLiteral("unpacking made a link: %1").arg(entry.filePath()));
        FUZZ_CHECK(entry.isFile() || entry.isDir(),
                   QStringLiteral("unpacking made a special file: %1").arg(entry.filePath()));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::start(argc, argv);
    g_root = QDir(fuzz::tempDir()).filePath(QStringLiteral("rar"));
    g_box = g_root + QStringLiteral("/box");
    g_dest = g_box + QStringLiteral("/dest");
    g_pages = g_root + QStringLiteral("/pages");
    QDir().mkpath(g_dest);
    QDir().mkpath(g_pages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString archive = fuzz::writeFile(QStringLiteral("rar/archive.rar"), data, size);
    const ArchiveReport report = [](const QString& text) {
        FUZZ_CHECK(!text.isEmpty(), QStringLiteral("an empty report"));
    };

    const ArchiveContents contents = readArchiveContents(archive, report);
    if (contents.openResult == 0) {
        const QList<RInfoFiles> records =
            buildPageRecords(completeFolderList(contents.entries), contents.entries, [] { return qint32(0x5A2B6000); });
        for (const RInfoFiles& record : records) {
            sizeText(record.Files.isEmpty() ? 0 : record.Files.first().Size, archiveLocale());
            for (const RListFiles& file : record.Files)
                dateText(file.Time, archiveLocale());
        }
    }
    listArchiveInto(archive, g_pages, report);

    const ExtractOutcome outcome = extractArchiveEntries(archive, g_dest, report);
    const QString inside = QDir::cleanPath(g_dest) + QLatin1Char('/');
    for (const QString& written : outcome.written)
        FUZZ_CHECK(written.startsWith(inside), QStringLiteral("written outside the destination: %1").arg(written));
    checkOnly(g_root, {QStringLiteral("archive.rar"), QStringLiteral("box"), QStringLiteral("pages")});
    checkOnly(g_box, {QStringLiteral("dest")});
    checkNoLinks(g_dest);

    fuzz::clearFolder(g_dest);
    fuzz::clearFolder(g_pages);
    return 0;
}
