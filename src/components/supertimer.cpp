#include "supertimer.h"

#include "componentslog.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// What the worker and the timer's thread share. The timer's thread writes the settings; the
// worker only reads them and raises `delivering` while a tick is on its way. Every wait of the
// worker also ends on `stopping`, so the destructor can always join it, even while a tick is
// queued and the timer's thread is the one destroying the timer.
struct TSuperTimer::Shared
{
    std::mutex mutex;
    std::condition_variable wake;
    TSuperTimer* timer = nullptr; // cleared when destruction begins
    bool stopping = false;
    bool enabled = false;
    bool delivering = false;
    int interval = 1000;
    quint64 generation = 0;
};

TSuperTimer::TSuperTimer(QObject* parent) : QObject(parent), m_shared(std::make_shared<Shared>())
{
    m_shared->timer = this;
    m_shared->interval = m_interval;
}

TSuperTimer::~TSuperTimer()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->stopping = true;
        m_shared->timer = nullptr;
    }
    m_shared->wake.notify_all();
    if (m_worker) {
        m_worker->wait();
        delete m_worker;
    }
    // A tick still queued for this object is discarded with it by QObject's destructor.
}

void TSuperTimer::setInterval(int ms)
{
    ms = std::clamp(ms, 0, 65535);
    if (ms == m_interval)
        return;
    m_interval = ms;
    std::lock_guard lock(m_shared->mutex);
    m_shared->interval = ms;
}

void TSuperTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled) {
        m_tickCount = 0;
        ++m_generation;
    }
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->enabled = enabled;
        m_shared->generation = m_generation;
    }
    m_shared->wake.notify_all();
    if (enabled && !m_worker)
        startWorker();
}

void TSuperTimer::setPriority(QThread::Priority priority)
{
    if (priority == QThread::InheritPriority)
        priority = QThread::NormalPriority;
    m_priority = priority;
    if (m_worker && m_worker->isRunning())
        m_worker->setPriority(priority);
}

void TSuperTimer::startWorker()
{
    m_worker = QThread::create(&TSuperTimer::runWorker, m_shared);
    m_worker->setObjectName(QStringLiteral("TSuperTimer"));
    m_worker->start(m_priority);
}

void TSuperTimer::runWorker(const std::shared_ptr<Shared>& shared)
{
    Shared& s = *shared;
    std::unique_lock lock(s.mutex);
    for (;;) {
        s.wake.wait(lock, [&] { return s.stopping || s.enabled; });
        if (s.stopping)
            return;

        // Sleep; a disabling or a re-enabling during the sleep starts over, so a re-enabled
        // timer always waits a full interval before its first tick.
        const quint64 generation = s.generation;
        const auto interrupted = [&] { return s.stopping || !s.enabled || s.generation != generation; };
        if (s.interval > 0) {
            if (s.wake.wait_for(lock, std::chrono::milliseconds(s.interval), interrupted))
                continue;
        } else {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
            if (interrupted())
                continue;
        }

        // Hand the tick over while still holding the lock: the destructor cannot have begun,
        // so the timer is whole when the call is queued. The context object makes Qt drop the
        // call if the timer is destroyed before it runs.
        TSuperTimer* timer = s.timer;
        s.delivering = true;
        QMetaObject::invokeMethod(
            timer,
            [timer, shared, generation] {
                timer->deliverTick(generation); // may destroy the timer
                {
                    std::lock_guard doneLock(shared->mutex);
                    shared->delivering = false;
                }
                shared->wake.notify_all();
            },
            Qt::QueuedConnection);
        s.wake.wait(lock, [&] { return s.stopping || !s.delivering; });
    }
}

void TSuperTimer::deliverTick(quint64 generation)
{
    // A tick that was on its way while the timer was switched off (or off and on again) is
    // not delivered.
    if (QCoreApplication::closingDown() || !m_enabled || generation != m_generation)
        return;
    ++m_tickCount;
    try {
        Q_EMIT timeout();
    } catch (const std::exception& e) {
        qCDebug(lcComponents) << "timer handler failed:" << e.what();
    } catch (...) {
        qCDebug(lcComponents) << "timer handler failed";
    }
    // Nothing may touch `this` here: a handler is allowed to destroy its timer.
}
