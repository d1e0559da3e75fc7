#pragma once

// Acting on a modal window a test opens: the window's own event loop runs until it is closed, so
// the check must be set up before the call that opens it.

#include <QApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs check once a modal window of type T is up (at most 60 s from now; nothing runs after that).
template <typename T> void whenModal(const std::function<void(T*)>& check)
{
    auto* timer = new QTimer;
    auto* started = new QElapsedTimer;
    started->start();
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window || started->elapsed() > 60000) {
            timer->stop();
            timer->deleteLater();
            delete started;
            if (window)
                check(window);
        }
    });
    timer->start(20);
}
