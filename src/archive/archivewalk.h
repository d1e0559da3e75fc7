#pragma once

// The two walks over an archive's entries: reading its contents for the listing pages, and
// unpacking every entry below a folder. Each reports what the reader is told through `report`,
// in the texts of the library's result tables.

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

using ArchiveReport = std::function<void(const QString& text)>;

// The texts of the library's results: opening an archive, and processing one of its entries
// (empty for codes that have no text of their own).
QString openErrorText(int code, const QString& name);
QString processErrorText(int code, const QString& name);
QString brokenHeaderText(const QString& name);
QString missingVolumeText(const QString& volume);
QString refusedNameText(const QString& name);
QString refusedLinkText(const QString& name);
// The code's name, for authors' tools ("ERAR_BAD_ARCHIVE").
QString rarResultName(int code);

struct ArchiveEntry
{
    QString name; // '/'-separated, as stored otherwise
    bool folder = false;
    qint64 size = 0;
    qint32 time = 0; // DOS date-time
};

struct ArchiveContents
{
    int openResult = 0;
    int endResult = 0; // what ended the walk: 10 at the end, else the failing code
    QList<ArchiveEntry> entries;
};

ArchiveContents readArchiveContents(const QString& archivePath, const ArchiveReport& report);

struct ExtractOutcome
{
    int openResult = 0;
    int endResult = 0;
    QStringList written; // the paths of the files and folders made
    QStringList refused; // names that would have left the destination, and links
};

// Unpacks every entry below destination (made when missing).
ExtractOutcome extractArchiveEntries(const QString& archivePath, const QString& destination,
                                     const ArchiveReport& report);
