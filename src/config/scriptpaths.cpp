#include "scriptpaths.h"

#include "pathresolver.h"

namespace {

bool isAbsolute(const QString& path)
{
    return path.startsWith(QLatin1Char('/')) || path.contains(QLatin1String(":/"));
}

} // namespace

QString ExpandPath(const QString& value, const ProgramFolders& folders)
{
    QString path = toInternalPath(value);
    const qsizetype marker = path.indexOf(QLatin1String("<cd>"));
    if (marker >= 0)
        return path.replace(marker, 4, folders.drive);
    if (isAbsolute(path))
        return path;
    if (!path.contains(QLatin1Char('.')) && !path.contains(QLatin1Char('/')))
        return path;
    const qsizetype equals = path.lastIndexOf(QLatin1Char('='));
    if (equals >= 0)
        return path.left(equals + 1) + CombinePath(folders.dir, path.mid(equals + 1));
    return CombinePath(folders.dir, path);
}

QString CombinePath(const QString& baseValue, const QString& relativeValue)
{
    QString base = toInternalPath(baseValue);
    const QString relative = toInternalPath(relativeValue);

    // Root limit: index of the '/' that ends the first folder below the root (or the root's own
    // '/' when there is no such folder); for a relative base, its first '/'.
    qsizetype rootSlash = -1;
    if (base.startsWith(QLatin1Char('/'))) {
        rootSlash = 0;
    } else if (const qsizetype colon = base.indexOf(QLatin1String(":/")); colon >= 0) {
        rootSlash = colon + 1;
    }
    qsizetype limit = -1;
    if (rootSlash >= 0) {
        const qsizetype next = base.indexOf(QLatin1Char('/'), rootSlash + 1);
        limit = next >= 0 ? next : rootSlash;
    } else {
        limit = base.indexOf(QLatin1Char('/'));
    }
    if (limit < 0) {
        base += QLatin1Char('/');
        limit = base.size() - 1;
    } else if (!base.endsWith(QLatin1Char('/'))) {
        base += QLatin1Char('/');
    }

    QString result = relative.startsWith(QLatin1Char('/')) ? base.left(limit + 1) + relative.mid(1) : base + relative;

    // Collapse "folder/../"; a ".." at or above the root limit is dropped.
    for (qsizetype q = result.indexOf(QLatin1String("/../")); q >= 0; q = result.indexOf(QLatin1String("/../"))) {
        if (q > limit) {
            const qsizetype previous = q > 0 ? result.lastIndexOf(QLatin1Char('/'), q - 1) : -1;
            if (previous < 0)
                break;
            result.remove(previous + 1, q + 4 - (previous + 1));
        } else {
            result.remove(q + 1, 3);
        }
    }
    return result;
}

QString CommandArg(const QString& command, const ProgramFolders& folders)
{
    const qsizetype first = command.indexOf(QLatin1Char('='));
    if (first < 0)
        return {};
    const qsizetype last = command.lastIndexOf(QLatin1Char('='));
    if (first == last)
        return ExpandPath(command.mid(first + 1), folders);
    return ExpandPath(command.mid(first + 1, last - first - 1), folders);
}

QString CommandTarget(const QString& command, const ProgramFolders& folders)
{
    const qsizetype first = command.indexOf(QLatin1Char('='));
    const qsizetype last = command.lastIndexOf(QLatin1Char('='));
    if (first < 0 || first == last)
        return {};
    return ExpandPath(command.mid(last + 1), folders);
}
