#include "supertimer.h"

#include <QPointer>
#include <QTest>

#include <memory>
#include <stdexcept>

namespace {

constexpr int kWait = 10000; // generous bound for ticks that should come

// What a handler saw at each tick.
struct TickLog
{
    QList<int> counts;
    bool offThread = false;
};

void logTicks(TSuperTimer& timer, TickLog& log)
{
    QObject::connect(&timer, &TSuperTimer::timeout, &timer, [&timer, &log] {
        log.counts.append(timer.tickCount());
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            log.offThread = true;
    });
}

QList<int> oneTo(int n)
{
    QList<int> counts;
    for (int i = 1; i <= n; ++i)
        counts.append(i);
    return counts;
}

} // namespace

class TestSuperTimer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ticksCountFromOneOnTheInterfaceThread()
    {
        TSuperTimer timer;
        QCOMPARE(timer.interval(), 1000);
        QVERIFY(!timer.isEnabled());
        timer.setInterval(1);
        TickLog log;
        logTicks(timer, log);
        timer.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(log.counts.size() >= 5, kWait);
        // Every tick increments the counter before the handler runs; none is skipped or doubled.
        QCOMPARE(log.counts, oneTo(int(log.counts.size())));
        QVERIFY(!log.offThread);
    }

    void enablingResetsTheCountOnlyWhenTheValueChanges()
    {
        TSuperTimer timer;
        timer.setInterval(1);
        timer.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(timer.tickCount() >= 3, kWait);
        const int reached = timer.tickCount();
        timer.setEnabled(true);
        QCOMPARE(timer.tickCount(), reached);

        timer.setEnabled(false);
        QCOMPARE(timer.tickCount(), reached); // switching off keeps the count
        timer.setEnabled(true);
        QCOMPARE(timer.tickCount(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(timer.tickCount() >= 1, kWait);
    }

    void handlerThatSwitchesItsTimerOffStopsTicks()
    {
        TSuperTimer timer;
        timer.setInterval(1);
        TickLog log;
        logTicks(timer, log);
        connect(&timer, &TSuperTimer::timeout, &timer, [&timer] {
            if (timer.tickCount() == 3)
                timer.setEnabled(false);
        });
        timer.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(!timer.isEnabled(), kWait);
        QTest::qWait(100);
        QCOMPARE(log.counts, oneTo(3));

        log.counts.clear();
        timer.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(!timer.isEnabled(), kWait);
        QCOMPARE(log.counts, oneTo(3));
    }

    void throwingHandlerKeepsTheTimerTicking()
    {
        TSuperTimer timer;
        timer.setInterval(1);
        int calls = 0;
        connect(&timer, &TSuperTimer::timeout, &timer, [&calls] {
            ++calls;
            throw std::runtime_error("handler failed");
        });
        timer.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(calls >= 3, kWait);
        QCOMPARE(timer.tickCount(), calls);
    }

    void tickOnItsWayIsDroppedWhenSwitchedOff()
    {
        TSuperTimer timer;
        timer.setInterval(0);
        TickLog log;
        logTicks(timer, log);
        timer.setEnabled(true);
        // The interface thread is busy: the worker queues a tick and waits for it.
        QThread::msleep(50);
        timer.setEnabled(false);
        QTest::qWait(100);
        QVERIFY(log.counts.isEmpty());
        QCOMPARE(timer.tickCount(), 0);
    }

    void handlerNeverRunsReentrantly()
    {
        TSuperTimer timer;
        timer.setInterval(0);
        int depth = 0;
        int deepest = 0;
        int calls = 0;
        connect(&timer, &TSuperTimer::timeout, &timer, [&] {
            ++depth;
            ++calls;
            deepest = std::max(deepest, depth);
            QTest::qWait(5); // a handler that runs the event loop, as a modal dialog would
            --depth;
        });
        timer.setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(calls >= 5, kWait);
        QCOMPARE(deepest, 1);
    }

    void destroyedTimerNeverTicksAgain_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("tickQueued");
        QTest::addColumn<bool>("fromItsHandler");
        QTest::newRow("between ticks") << 1 << false << false;
        // The worker waits for a tick that the destroying thread will never run.
        QTest::newRow("while a tick waits for delivery") << 0 << true << false;
        QTest::newRow("by its own handler") << 0 << false << true;
    }

    void destroyedTimerNeverTicksAgain()
    {
        QFETCH(int, interval);
        QFETCH(bool, tickQueued);
        QFETCH(bool, fromItsHandler);

        auto* timer = new TSuperTimer;
        QPointer<TSuperTimer> alive(timer);
        auto ticks = std::make_shared<int>(0);
        timer->setInterval(interval);
        connect(timer, &TSuperTimer::timeout, timer, [timer, ticks, fromItsHandler] {
            ++*ticks;
            if (fromItsHandler && *ticks == 2)
                delete timer;
        });
        timer->setEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(*ticks >= 2, kWait);
        if (!fromItsHandler) {
            if (tickQueued)
                QThread::msleep(50);
            delete timer;
        }
        QVERIFY(!alive);
        const int atDestruction = *ticks;
        QTest::qWait(100);
        QCOMPARE(*ticks, atDestruction);
    }
};

QTEST_GUILESS_MAIN(TestSuperTimer)
#include "tst_supertimer.moc"
