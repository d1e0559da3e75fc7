// Velbrook Reader: a reader and multimedia shell for electronic reference manuals.

#include "commandline.h"
#include "startup.h"
#include "startupvalues.h"
#include "translations.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QStringList>

#include <cstdio>
#include <new>
#include <unistd.h>

namespace {

QtMessageHandler g_nextHandler = nullptr;

// Lines Qt prints that are no news to the reader. The engine at every start: run as root the
// program switches the engine's sandbox off on purpose (see main), and on the offscreen platform
// of screenshots and tests the engine draws in software, as intended there, without the shared
// graphics context it would otherwise complain about.
void dropEngineNotices(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtInfoMsg && message.trimmed() == QLatin1String("Sandboxing disabled by user."))
        return;
    // A link the desktop has no program for: the reader is told in the window, in Russian.
    if (type == QtWarningMsg && (message.startsWith(QLatin1String("Unable to detect a web browser to launch")) ||
                                 message.startsWith(QLatin1String("Unable to detect a launcher for"))))
        return;
    const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    if (type == QtWarningMsg && offscreen &&
        (message.trimmed() == QLatin1String("No suitable graphics backend found") ||
         message.startsWith(QLatin1String("WebEngineContext used before QtWebEngineCore::initialize()"))))
        return;
    g_nextHandler(type, context, message);
}

} // namespace

namespace {

// Answers --help, --version and bad usage before any window system is opened, so they work
// without a display too. Returns the exit code, or -1 when the program is to run.
int answerWithoutWindows(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine = CommandLine::parse(arguments);
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "velbrook: %s (see --help)\n", qUtf8Printable(commandLine.error));
        return 2;
    }
    if (commandLine.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (commandLine.version) {
        std::printf("velbrook %s\n", VELBROOK_VERSION);
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (const int code = answerWithoutWindows(argc, argv); code >= 0)
        return code;
    ensureRuntimeFolder();
    // The engine's sandbox cannot run as root; the content it shows is our own.
    if (getuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    g_nextHandler = qInstallMessageHandler(dropEngineNotices);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine describes its graphics set-up at every start; a reader does not need to see it.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velbrook"));
    QCoreApplication::setApplicationName(QStringLiteral("Velbrook Reader"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELBROOK_VERSION));
    installRussianTranslations(app);

    const CommandLine commandLine = CommandLine::parse(app.arguments());
    try {
        return runProgram(app, commandLine);
    } catch (const std::bad_alloc&) {
        // Content that asks for more memory than there is ends the program with one line, not an
        // abort.
        std::fputs("velbrook: out of memory: the content is too large or damaged\n", stderr);
        return 2;
    }
}
