#include "pathresolver.h"

#include <QDir>
#include <QFileInfo>

QString toInternalPath(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

bool hasDriveLetter(QStringView path)
{
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter() && path[0].unicode() < 0x80;
}

namespace {

QString withoutFragment(const QString& path)
{
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    return hash < 0 ? path : path.left(hash);
}

} // namespace

bool staysInsideFolder(const QString& relativePath)
{
    const QString path = toInternalPath(withoutFragment(relativePath));
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || hasDriveLetter(path))
        return false;
    int depth = 0;
    for (const QStringView part : QStringView(path).split(QLatin1Char('/'))) {
        if (part == QLatin1String(".."))
            --depth;
        else if (!part.isEmpty() && part != QLatin1String("."))
            ++depth;
        if (depth < 0)
            return false;
    }
    return true;
}

bool isWithinFolder(const QString& path, const QString& folder)
{
    const QString local = toInternalPath(withoutFragment(path));
    if (!local.startsWith(QLatin1Char('/')) || folder.isEmpty())
        return false;
    const QString cleanFolder = QDir::cleanPath(toInternalPath(folder));
    const QString cleanPath = QDir::cleanPath(local);
    if (cleanPath == cleanFolder)
        return true;
    const QString prefix = cleanFolder.endsWith(QLatin1Char('/')) ? cleanFolder : cleanFolder + QLatin1Char('/');
    return cleanPath.startsWith(prefix);
}

PathResolver::PathResolver(QString programDrive) : m_programDrive(toInternalPath(std::move(programDrive)))
{
    if (!m_programDrive.endsWith(QLatin1Char('/')))
        m_programDrive += QLatin1Char('/');
}

QString PathResolver::toLocal(const QString& contentPath) const
{
    QString path = toInternalPath(contentPath);
    if (hasDriveLetter(path)) {
        qsizetype rest = 2;
        while (rest < path.size() && path[rest] == QLatin1Char('/'))
            ++rest;
        path = m_programDrive + path.mid(rest);
    }
    return path;
}

QString PathResolver::matchInFolder(const QString& folder, const QString& component) const
{
    const QFileInfo folderInfo(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QDateTime modified = folderInfo.lastModified();

    QMutexLocker lock(&m_mutex);
    auto it = m_listings.find(folder);
    if (it == m_listings.end() || it->modified != modified) {
        Listing listing;
        listing.modified = modified;
        // Sorted, so that when two names differ only in case the same one wins every time.
        const QStringList names =
            QDir(folderInfo.filePath())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& name : names) {
            const QString folded = name.toCaseFolded();
            if (!listing.byFoldedName.contains(folded))
                listing.byFoldedName.insert(folded, name);
        }
        it = m_listings.insert(folder, std::move(listing));
    }
    return it->byFoldedName.value(component.toCaseFolded());
}

bool PathResolver::resolveInto(const QString& local, QString& out) const
{
    if (local.isEmpty())
        return false;
    if (QFileInfo::exists(local)) {
        out = local;
        return true;
    }

    // Walk the components, taking each as it is when it exists and as the disk spells it otherwise.
    const bool absolute = local.startsWith(QLatin1Char('/'));
    QString current = absolute ? QStringLiteral("/") : QString();
    const QStringList parts = local.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part == QLatin1String("."))
            continue;
        QString next = current + part;
        if (part != QLatin1String("..") && !QFileInfo::exists(next)) {
            const QString match = matchInFolder(current, part);
            if (match.isEmpty())
                return false;
            next = current + match;
        }
        current = i + 1 < parts.size() ? next + QLatin1Char('/') : next;
    }
    if (local.endsWith(QLatin1Char('/')) && !current.endsWith(QLatin1Char('/')))
        current += QLatin1Char('/');
    out = current;
    return true;
}

QString PathResolver::resolve(const QString& contentPath) const
{
    const QString local = toLocal(contentPath);
    QString resolved;
    return resolveInto(local, resolved) ? resolved : local;
}

bool PathResolver::fileExists(const QString& contentPath) const
{
    const QString local = toLocal(contentPath);
    QString resolved;
    return resolveInto(local, resolved) && QFileInfo(resolved).isFile();
}

bool PathResolver::folderExists(const QString& contentPath) const
{
    const QString local = toLocal(contentPath);
    QString resolved;
    return resolveInto(local, resolved) && QFileInfo(resolved).isDir();
}

QString PathResolver::resolveForWrite(const QString& contentPath) const
{
    const QString local = toLocal(contentPath);
    const qsizetype slash = local.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return local;
    const QString folder = local.left(slash + 1);
    QString resolvedFolder;
    if (!resolveInto(folder, resolvedFolder))
        return local;
    if (!resolvedFolder.endsWith(QLatin1Char('/')))
        resolvedFolder += QLatin1Char('/');
    return resolvedFolder + local.mid(slash + 1);
}

void PathResolver::forget()
{
    QMutexLocker lock(&m_mutex);
    m_listings.clear();
}
