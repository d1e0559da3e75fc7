#include "linkrules.h"

#include "pathresolver.h"
#include "viewerscripts.h"

#include <QDir>

namespace {

// The page and picture types that the engine shows; a link to any other file is an action.
constexpr const char* kShownTypes[] = {".htm", ".txt", ".inf", ".diz", ".bmp", ".gif", ".jpg", ".jpeg"};

QString lastComponent(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

bool linkIsHandled(LinkRule rule)
{
    return rule != LinkRule::Follow && rule != LinkRule::FollowSync;
}

QString linkFullPath(const QString& document, const QString& link)
{
    QString path = toInternalPath(link);
    // The fragment and query are not part of the file, but stay on the end.
    qsizetype tail = path.indexOf(QLatin1Char('#'));
    const qsizetype query = path.indexOf(QLatin1Char('?'));
    if (query >= 0 && (tail < 0 || query < tail))
        tail = query;
    const QString suffix = tail >= 0 ? path.mid(tail) : QString();
    QString file = tail >= 0 ? path.left(tail) : path;
    if (file.isEmpty())
        file = document;
    else if (!hasDriveLetter(file) && !file.startsWith(QLatin1Char('/')))
        file = document.left(document.lastIndexOf(QLatin1Char('/')) + 1) + file;
    const bool drive = hasDriveLetter(file);
    QString clean = QDir::cleanPath(drive ? file.mid(2) : file);
    // Nothing is above the root.
    while (clean.startsWith(QLatin1String("/../")))
        clean.remove(0, 3);
    if (clean == QLatin1String("/.."))
        clean = QStringLiteral("/");
    if (drive)
        clean.prepend(file.left(2));
    return clean + suffix;
}

QString withoutFragment(const QString& path)
{
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    return hash < 0 ? path : path.left(hash);
}

QString linkExtension(const QString& fullPath)
{
    const QString name = lastComponent(fullPath);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

LinkRule classifyLink(const QString& target, const QString& link, const QString& fullPath, bool archiveMode)
{
    const QString lower = link.toLower();
    if (target.compare(QLatin1String("_blank"), Qt::CaseInsensitive) == 0)
        return LinkRule::NewCopy;
    // Secure and file-transfer addresses too: the engine of the panes reads only the manual.
    if (lower.contains(QLatin1String("http:")) || lower.contains(QLatin1String("https:")) ||
        lower.contains(QLatin1String("ftp:")) || lower.contains(QLatin1String("mailto:")))
        return LinkRule::Shell;
    if (lower.contains(QLatin1String("printhtml:")))
        return LinkRule::Print;
    if (lower.contains(QLatin1String("copy:")))
        return LinkRule::CopyFile;
    if (lower.contains(QLatin1String("copylist:")))
        return LinkRule::CopyList;
    // Scripts in links are the page's own business.
    if (lower.startsWith(QLatin1String("javascript:")))
        return LinkRule::Follow;
    const bool fragmentOnly = lower.startsWith(QLatin1Char('#'));
    const QString extension = linkExtension(fullPath);
    const bool shown = std::any_of(std::begin(kShownTypes), std::end(kShownTypes),
                                   [&](const char* type) { return extension.contains(QLatin1String(type)); });
    if (!fragmentOnly && !shown)
        return LinkRule::FileAction;
    if (archiveMode) {
        const QString name = lastComponent(fullPath).toLower();
        return !fragmentOnly && !name.contains(QLatin1String("as_")) ? LinkRule::ShowPage : LinkRule::Follow;
    }
    // A page written with a drive letter is no address the engine knows: the program shows it.
    if (hasDriveLetter(link))
        return LinkRule::ShowPage;
    return extension.startsWith(QLatin1String(".htm")) ? LinkRule::FollowSync : LinkRule::Follow;
}

QString classifyLinkScript()
{
    // Kept in step with LinkFullPath and ClassifyLink above.
    return viewerScript(QStringLiteral("linkrules.js"));
}
