#include "archivewalk.h"

#include "archivelog.h"
#include "unrarlib.h"

#include <QDir>

QString openErrorText(int code, const QString& name)
{
    switch (code) {
    case ERAR_NO_MEMORY:
        return QStringLiteral("Not enough memory to initialize data structures");
    case ERAR_BAD_DATA:
        return name + QStringLiteral(": archive header broken");
    case ERAR_BAD_ARCHIVE:
        return QStringLiteral(u"Файл ") + name + QStringLiteral(u" не является RAR архивом.");
    case ERAR_EOPEN:
        return QStringLiteral("Cannot open ") + name;
    default:
        return {};
    }
}

QString processErrorText(int code, const QString& name)
{
    switch (code) {
    case ERAR_BAD_DATA:
        return QStringLiteral(u"У файла ") + name + QStringLiteral(u" ошибка контрольной суммы.");
    case ERAR_BAD_ARCHIVE:
        return QStringLiteral("Volume is not valid RAR archive");
    case ERAR_UNKNOWN_FORMAT:
        return QStringLiteral("Unknown archive format");
    case ERAR_ECREATE:
        return QStringLiteral("File ") + name + QStringLiteral(" create error");
    case ERAR_ECLOSE:
        return QStringLiteral("File ") + name + QStringLiteral(" close error");
    case ERAR_EREAD:
        return QStringLiteral("Read error");
    case ERAR_EWRITE:
        return QStringLiteral("Write error");
    case ERAR_UNSAFE_NAME:
        return refusedNameText(name);
    case ERAR_LINK:
        return refusedLinkText(name);
    default:
        return {}; // 15: the volume callback has spoken already
    }
}

QString brokenHeaderText(const QString& name)
{
    return QStringLiteral(u"У файла: ") + name + QStringLiteral(u" испорчен заголовок.");
}

QString missingVolumeText(const QString& volume)
{
    return QStringLiteral(u"Том ") + volume + QStringLiteral(u" не найден.");
}

QString refusedNameText(const QString& name)
{
    return QStringLiteral(u"Файл ") + name + QStringLiteral(u" не распакован: его путь ведёт за пределы папки.");
}

QString refusedLinkText(const QString& name)
{
    return QStringLiteral(u"Файл ") + name + QStringLiteral(u" не распакован: это ссылка.");
}

QString rarResultName(int code)
{
    switch (code) {
    case ERAR_SUCCESS:
        return QStringLiteral("ERAR_SUCCESS");
    case ERAR_END_ARCHIVE:
        return QStringLiteral("ERAR_END_ARCHIVE");
    case ERAR_NO_MEMORY:
        return QStringLiteral("ERAR_NO_MEMORY");
    case ERAR_BAD_DATA:
        return QStringLiteral("ERAR_BAD_DATA");
    case ERAR_BAD_ARCHIVE:
        return QStringLiteral("ERAR_BAD_ARCHIVE");
    case ERAR_UNKNOWN_FORMAT:
        return QStringLiteral("ERAR_UNKNOWN_FORMAT");
    case ERAR_EOPEN:
        return QStringLiteral("ERAR_EOPEN");
    case ERAR_ECREATE:
        return QStringLiteral("ERAR_ECREATE");
    case ERAR_ECLOSE:
        return QStringLiteral("ERAR_ECLOSE");
    case ERAR_EREAD:
        return QStringLiteral("ERAR_EREAD");
    case ERAR_EWRITE:
        return QStringLiteral("ERAR_EWRITE");
    case ERAR_UNSAFE_NAME:
        return QStringLiteral("ERAR_UNSAFE_NAME");
    case ERAR_LINK:
        return QStringLiteral("ERAR_LINK");
    default:
        return QStringLiteral("ERAR_%1").arg(code);
    }
}

namespace {

void say(const ArchiveReport& report, const QString& text)
{
    if (!text.isEmpty() && report)
        report(text);
}

// What a processing result means for the walk: go on with the next header, or end it. Broken
// data and read errors end it (the reader cannot trust what follows); a file that could not be
// made or written, or a name refused, costs that entry only.
bool endsWalk(int result)
{
    return result == ERAR_BAD_DATA || result == ERAR_BAD_ARCHIVE || result == ERAR_UNKNOWN_FORMAT ||
           result == ERAR_EOPEN || result == ERAR_EREAD;
}

QString folderName(const QString& name)
{
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

// The walk shared by listing and unpacking: opens, reads each header, processes the entry.
template <typename Process>
int walk(const QString& archivePath, RarOpenMode mode, const ArchiveReport& report, int& openResult, Process process)
{
    RAROpenArchiveData open;
    open.ArcName = archivePath;
    open.OpenMode = mode;
    const std::unique_ptr<RarArchive> archive = RarArchive::RAROpenArchive(open);
    openResult = open.OpenResult;
    if (!archive) {
        say(report, openErrorText(open.OpenResult, archivePath));
        return open.OpenResult;
    }
    archive->RARSetCallback([&report](const QString& volume, RarVolumeMode volumeMode) {
        if (volumeMode == RAR_VOL_ASK) {
            say(report, missingVolumeText(volume));
            return false;
        }
        return true;
    });
    RARHeaderData header;
    QString lastName;
    int result = ERAR_SUCCESS;
    bool processFailed = false;
    while ((result = archive->RARReadHeader(header)) == ERAR_SUCCESS) {
        lastName = header.FileName;
        const int processed = process(*archive, header);
        if (processed != ERAR_SUCCESS) {
            say(report, processErrorText(processed, header.FileName));
            if (endsWalk(processed)) {
                result = processed;
                processFailed = true;
                break;
            }
        }
    }
    if (result == ERAR_BAD_DATA && !processFailed)
        say(report, brokenHeaderText(lastName));
    return result;
}

} // namespace

ArchiveContents readArchiveContents(const QString& archivePath, const ArchiveReport& report)
{
    ArchiveContents contents;
    contents.endResult =
        walk(archivePath, RAR_OM_LIST, report, contents.openResult, [&](RarArchive& archive, const RARHeaderData& h) {
            contents.entries.append({folderName(h.FileName), h.isFolder(), h.UnpSize, h.FileTime});
            return archive.RARProcessFile(RAR_SKIP, QString());
        });
    return contents;
}

ExtractOutcome extractArchiveEntries(const QString& archivePath, const QString& destination,
                                     const ArchiveReport& report)
{
    ExtractOutcome outcome;
    outcome.endResult =
        walk(archivePath, RAR_OM_EXTRACT, report, outcome.openResult, [&](RarArchive& archive, const RARHeaderData& h) {
            if (!QDir().mkpath(destination.isEmpty() ? QStringLiteral(".") : destination))
                return int(ERAR_ECREATE);
            const int result = archive.RARProcessFile(RAR_EXTRACT, destination);
            if (result == ERAR_SUCCESS)
                outcome.written.append(
                    QDir::cleanPath(destination + QLatin1Char('/') + RarArchive::safeRelativePath(h.FileName)));
            else if (result == ERAR_UNSAFE_NAME || result == ERAR_LINK)
                outcome.refused.append(h.FileName);
            return result;
        });
    return outcome;
}
