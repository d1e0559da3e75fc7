#include "privatefolder.h"

#include "platformlog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kOwnerOnly = S_IRWXU;

bool ownedFolder(const struct stat& info)
{
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid();
}

} // namespace

std::optional<QString> makePrivateFolder(const QString& base, const QStringList& components)
{
    struct stat info
    {
    };
    // The base may be reached through a link the user laid (a cache folder moved elsewhere), so it
    // is looked at where it leads; what lies below it is this program's and is never a link.
    if (base.isEmpty() || ::stat(QFile::encodeName(base).constData(), &info) != 0 || !ownedFolder(info)) {
        qCDebug(lcPlatform) << "no private folder: the base is not a folder of the user's:" << base;
        return std::nullopt;
    }
    QString path = QDir::cleanPath(base);
    for (const QString& component : components) {
        path += QLatin1Char('/') + component;
        const QByteArray name = QFile::encodeName(path);
        if (::mkdir(name.constData(), kOwnerOnly) != 0 && errno != EEXIST) {
            qCDebug(lcPlatform) << "no private folder: cannot make" << path;
            return std::nullopt;
        }
        if (::lstat(name.constData(), &info) != 0 || !ownedFolder(info)) {
            qCDebug(lcPlatform) << "no private folder: not a folder of the user's, or a link:" << path;
            return std::nullopt;
        }
        if ((info.st_mode & 07777) != kOwnerOnly && ::chmod(name.constData(), kOwnerOnly) != 0) {
            qCDebug(lcPlatform) << "no private folder: its access cannot be narrowed:" << path;
            return std::nullopt;
        }
    }
    return path;
}

std::optional<QString> privateFolder(const QStringList& components)
{
    const QString overridden = qEnvironmentVariable("VELBROOK_RUNTIME_DIR");
    if (!overridden.isEmpty()) {
        QDir().mkpath(overridden);
        return makePrivateFolder(QDir(overridden).absolutePath(), components);
    }
    QStringList bases;
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty())
        bases.append(runtime);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty() && QDir().mkpath(cache))
        bases.append(cache);
    for (const QString& base : std::as_const(bases)) {
        if (std::optional<QString> folder = makePrivateFolder(base, components))
            return folder;
    }
    return std::nullopt;
}
