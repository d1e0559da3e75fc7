#pragma once

// The environment a test runs the program in: locks and window sockets in a runtime folder of the
// test's own, settings below it, installed fonts and the font cache too, click sounds silent, on
// the given window system.

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
    env.insert("XDG_DATA_HOME", runtimeFolder + "/data"); // "installfonts" writes data/fonts
    env.insert("XDG_CACHE_HOME", runtimeFolder + "/cache");
    return env;
}
