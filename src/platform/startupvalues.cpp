#include "startupvalues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <unistd.h>

namespace {

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

QString mountPointOf(const QString& path)
{
    const QStorageInfo storage(path);
    const QString root = storage.isValid() ? storage.rootPath() : QString();
    return withSlash(root.isEmpty() ? QStringLiteral("/") : root);
}

QString contentDirOf(const QString& programDir, const QString& programDrive)
{
    // Only the part below the mount point is searched: a volume mounted under /run/media/ must
    // not lose its "run".
    const qsizetype start = programDir.startsWith(programDrive) ? programDrive.size() : 0;
    QStringView below = QStringView(programDir).mid(start);
    qsizetype at = 0;
    while (at < below.size()) {
        const qsizetype slash = below.indexOf(QLatin1Char('/'), at);
        if (slash < 0)
            break;
        if (below.mid(at, slash - at).compare(QLatin1String("run"), Qt::CaseInsensitive) == 0)
            return programDir.left(start + at) + programDir.mid(start + slash + 1);
        at = slash + 1;
    }
    return programDir;
}

StartupValues StartupValues::forContentFolder(const QString& contentFolder)
{
    StartupValues values;
    values.programDir = withSlash(QDir::cleanPath(QFileInfo(contentFolder).absoluteFilePath()));
    values.programDrive = mountPointOf(values.programDir);
    values.contentDir = contentDirOf(values.programDir, values.programDrive);

    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    values.windowsDir = withSlash(dataHome);
    values.systemDir = withSlash(dataHome + QStringLiteral("/Velbrook"));
    values.tempDir = withSlash(QDir::tempPath());
    return values;
}

void ensureRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QString folder = QDir::tempPath() + QStringLiteral("/runtime-") + QString::number(getuid());
    if (!QDir().mkpath(folder))
        return;
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}
