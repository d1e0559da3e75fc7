#pragma once

// The main() of a test that drives the program's window with its panes in this process.

#include "engineparts.h"

#include <QApplication>
#include <QTest>

// Runs the test object Test as a test program: no sound device, the content scheme registered
// before the application starts, and the engine's contexts shared.
template <typename Test> int runEngineTest(int argc, char* argv[])
{
    qputenv("VELBROOK_AUDIO_OUTPUT", "null");
    staticEngineParts(); // registers the content scheme before the application starts
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
