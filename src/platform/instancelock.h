#pragma once

// One running copy per title: what the original did with a named semaphore. A lock file named
// after the title in the user's runtime folder; it is released when the object goes away and,
// after a crash, the next copy finds the owner gone and takes the lock over.

#include <QLockFile>
#include <QString>

// The per-user folder for locks and window sockets: $VELBROOK_RUNTIME_DIR when set (tests, or
// several sessions kept apart), else the runtime folder of the desktop, else a folder of the
// user's own in the temporary folder. Created with owner-only access when missing.
QString userRuntimeFolder();

class InstanceLock
{
public:
    explicit InstanceLock(const QString& title);
    ~InstanceLock();
    Q_DISABLE_COPY_MOVE(InstanceLock)

    // True when this object now holds the lock (or already held it); false while another
    // object or process holds it. Never waits.
    bool tryLock();
    bool isLocked() const { return m_lock.isLocked(); }
    void unlock() { m_lock.unlock(); }

    QString fileName() const { return m_fileName; }

private:
    QString m_fileName;
    QLockFile m_lock;
};
