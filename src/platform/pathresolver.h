#pragma once

// Content was authored on Windows: it writes "html\glava1.htm", drive letters, and names whose
// case does not match the files on disk. Every disk access by a content path goes through
// PathResolver, which turns such a path into the name of the file that is really there.

#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QString>

// "html\a.htm" -> "html/a.htm": content paths are kept with '/' inside the program.
QString toInternalPath(QString path);

// True for "d:/..." and "d:" (a drive letter followed by a colon), '\' or '/' alike.
bool hasDriveLetter(QStringView path);

// A path that content or another program gives relative to the content folder (an index's page,
// a request's page): true when it stays inside that folder. False for an empty path, an absolute
// one, a drive letter, or ".." components that climb above the folder. A "#" fragment is not part
// of the path.
bool staysInsideFolder(const QString& relativePath);

// Whether the absolute path lies inside folder (or is folder itself), by their cleaned texts:
// "/book/../etc/x" is not inside "/book". A "#" fragment is not part of the path.
bool isWithinFolder(const QString& path, const QString& folder);

class PathResolver
{
public:
    // programDrive is the mount point of the volume that holds the content, with a trailing '/'.
    // A drive-letter path from content is read against it.
    explicit PathResolver(QString programDrive = QStringLiteral("/"));
    Q_DISABLE_COPY_MOVE(PathResolver)

    QString programDrive() const { return m_programDrive; }

    // The path as the disk would see it, without asking the disk: '\' becomes '/', "d:" becomes
    // the program drive.
    QString toLocal(const QString& contentPath) const;

    // The existing file or folder that the path names, matching each component without regard to
    // case (Latin and Cyrillic) when the exact name is not there. When nothing matches, the
    // result is toLocal(contentPath), so an error message names what was asked for.
    QString resolve(const QString& contentPath) const;

    bool fileExists(const QString& contentPath) const;
    bool folderExists(const QString& contentPath) const;

    // For a file about to be written: its folder resolved, its own name kept as given.
    QString resolveForWrite(const QString& contentPath) const;

    // Drops the cached folder listings (they are also refreshed when a folder changes).
    void forget();

private:
    struct Listing
    {
        QDateTime modified;
        QHash<QString, QString> byFoldedName; // case-folded name -> name on disk
    };

    // The name in folder that matches component without regard to case, or an empty string.
    QString matchInFolder(const QString& folder, const QString& component) const;
    bool resolveInto(const QString& local, QString& out) const;

    QString m_programDrive;
    mutable QMutex m_mutex;
    mutable QHash<QString, Listing> m_listings;
};
