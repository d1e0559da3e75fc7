#pragma once

// The listing of an archive as pages: the folder list completed from the files' paths, one page
// record per folder, the size and date texts, and the pages written from their templates (a
// frame set with the column headers on top and the root folder's page below).

#include "archivewalk.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <functional>

struct RListDir
{
    QString Name;
    QString Page;
    qint32 Time = 0;
};
using TListDir = QList<RListDir>;

struct RListFiles
{
    QString Name;
    qint64 Size = 0;
    qint32 Time = 0;
};

struct RInfoFiles
{
    QString Dir;
    QString Page;
    TListDir SubDirs;
    QList<RListFiles> Files;
};

// Paths inside the archive, '/'-separated.
QString archiveFolderOf(const QString& path);
QString archiveLastComponent(const QString& path);

// The folders of the listing, the root first: the archive's folder entries (each once), then
// every folder that a file or folder lies in and that has no entry of its own.
TListDir completeFolderList(const QList<ArchiveEntry>& entries);

// One record per folder, in the folder list's order; dosNow gives the time in the page names.
QList<RInfoFiles> buildPageRecords(const TListDir& folders, const QList<ArchiveEntry>& entries,
                                   const std::function<qint32()>& dosNow);

// The locale of the size and date texts: the reader's interface is Russian.
QLocale archiveLocale();
QString sizeText(qint64 size, const QLocale& locale);
QString dateText(qint32 dosTime, const QLocale& locale);
qint32 currentDosTime();

// The folder name of an archive's pages and files: "as_" + the archive's path with '/', '\',
// ':' and the last '.' turned into '_'.
QString archiveTempFolderName(const QString& archivePath);
// "as_" + the archive's file name + ".htm".
QString framesetPageName(const QString& archivePath);

// Writes the frame set, the header bar and the folder pages into folder; false when a page could
// not be written.
bool writeListingPages(const QList<RInfoFiles>& records, const QString& folder, const QString& archivePath,
                       const QLocale& locale);

// The whole listing of an archive into folder (made when missing): reads it, writes its pages.
// Returns the frame set page's path, or empty when the archive could not be opened or a page
// could not be written.
QString listArchiveInto(const QString& archivePath, const QString& folder, const ArchiveReport& report);
