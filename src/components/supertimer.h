#pragma once

#include <QObject>
#include <QThread>

#include <memory>

// A millisecond timer for interface animations. A worker thread of its own sleeps for the
// interval and then hands the tick to the thread the timer lives on, waiting there until the
// tick has been handled: ticks never pile up, a busy interface thread slows the animation down
// instead of queueing ticks, and no handler ever runs twice at once.
//
// Everything but the worker's sleep happens on the timer's own thread: the tick counter, the
// timeout() handlers and every setter. The worker is started at the first enabling and ends
// when the timer is destroyed.
class TSuperTimer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSuperTimer)
public:
    explicit TSuperTimer(QObject* parent = nullptr);
    ~TSuperTimer() override;

    // Sleep between ticks, 0..65535 ms (0 only yields the worker's time slice). A change
    // applies from the worker's next sleep; the tick counter keeps counting.
    void setInterval(int ms);
    int interval() const { return m_interval; }

    // Switching on resets the tick counter to 0 and starts a fresh sleep; writing the value the
    // timer already has changes nothing. Switching off drops a tick that is already on its way.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // Priority of the worker thread; default QThread::HighPriority.
    void setPriority(QThread::Priority priority);
    QThread::Priority priority() const { return m_priority; }

    // Ticks delivered since the last enabling: 1 at the first tick. Handlers use it as their
    // frame number.
    int tickCount() const { return m_tickCount; }

Q_SIGNALS:
    // Emitted at every tick, after the tick counter has been incremented. An exception thrown
    // by a handler is swallowed and the timer keeps ticking. No ticks arrive once the
    // application is closing down.
    void timeout();

private:
    struct Shared;

    static void runWorker(const std::shared_ptr<Shared>& shared);
    void deliverTick(quint64 generation);
    void startWorker();

    std::shared_ptr<Shared> m_shared;
    QThread* m_worker = nullptr;
    int m_interval = 1000;
    bool m_enabled = false;
    QThread::Priority m_priority = QThread::HighPriority;
    int m_tickCount = 0;
    quint64 m_generation = 0; // bumped at every enabling, so a stale tick can be recognised
};
