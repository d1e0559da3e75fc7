#include "scripthelpers.h"

#include "pathresolver.h"

#include <QDir>

namespace {

QChar asciiLower(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? QChar(c.unicode() + 32) : c;
}

bool equalsAsciiCaseInsensitive(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

} // namespace

QStringList FindFiles(const PathResolver& resolver, const QString& folder, const QStringList& masks, bool recursive,
                      bool includeFolders)
{
    QStringList result;
    if (folder.isEmpty())
        return result;

    QString first = resolver.resolve(folder);
    if (!first.endsWith(QLatin1Char('/')))
        first += QLatin1Char('/');
    QStringList work{first};
    for (qsizetype i = 0; i < work.size(); ++i) {
        const QString current = work[i];
        if (includeFolders)
            result.append(current);
        QDir dir(current);
        for (const QString& mask : masks) {
            // "*.*" means every file, also one without an extension.
            const QString filter = mask == QLatin1String("*.*") ? QStringLiteral("*") : mask;
            dir.setNameFilters({filter});
            const QStringList files =
                dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
            for (const QString& name : files)
                result.append(current + name);
        }
        if (recursive) {
            dir.setNameFilters({});
            const QStringList folders =
                dir.entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                              QDir::Name | QDir::IgnoreCase);
            for (const QString& name : folders)
                work.append(current + name + QLatin1Char('/'));
        }
    }
    return result;
}

bool IndexOfInt(const QList<int>& values, int value, int& index)
{
    index = int(values.indexOf(value));
    return index >= 0;
}

bool ContainsText(const QStringList& texts, const QString& text)
{
    for (const QString& candidate : texts) {
        if (equalsAsciiCaseInsensitive(candidate, text))
            return true;
    }
    return false;
}
