#include "instancelock.h"

#include "settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString userSuffix()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return titleFileName(qEnvironmentVariable("USERNAME"));
#endif
}

// A folder we create is the user's alone; one that exists is taken as it is.
bool ensureFolder(const QString& path)
{
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).isDir())
        return true;
    if (!QDir().mkpath(path))
        return false;
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return true;
}

} // namespace

QString userRuntimeFolder()
{
    const QString overridden = qEnvironmentVariable("VELBROOK_RUNTIME_DIR");
    if (!overridden.isEmpty() && ensureFolder(overridden))
        return QDir(overridden).absolutePath();
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (ensureFolder(runtime))
        return runtime;
    // The temporary folder may be shared by all users: keep a folder of our own in it.
    const QString own = QDir::tempPath() + QLatin1String("/velbrook-") + userSuffix();
    ensureFolder(own);
    return own;
}

InstanceLock::InstanceLock(const QString& title)
    : m_fileName(userRuntimeFolder() + QLatin1String("/velbrook-") + titleFileName(title) + QLatin1String(".lock")),
      m_lock(m_fileName)
{
    // A running copy may hold the lock for days: only a dead owner makes the file stale.
    m_lock.setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryLock()
{
    return m_lock.isLocked() || m_lock.tryLock(0);
}
