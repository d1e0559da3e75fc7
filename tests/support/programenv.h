#pragma once

// The environment a test runs the program in: locks and window sockets in a runtime folder of the
// test's own, settings below it, click sounds silent, on the given window system.

#include <QProcessEnvironment>
#include <QString>

inline QProcessEnvironment programEnvironment(const QString& runtimeFolder,
                                              const QString& platform = QStringLiteral("offscreen"))
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", platform);
    env.insert("VELBROOK_AUDIO_OUTPUT", "null");
    env.insert("VELBROOK_RUNTIME_DIR", runtimeFolder);
    env.insert("XDG_CONFIG_HOME", runtimeFolder + "/config");
    return env;
}
