// Velbrook Reader: a reader and multimedia shell for electronic reference manuals.

#include "commandline.h"
#include "startup.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Velbrook"));
    QCoreApplication::setApplicationName(QStringLiteral("Velbrook Reader"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELBROOK_VERSION));

    const CommandLine commandLine = CommandLine::Parse(app.arguments());
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
    return RunProgram(app, commandLine);
}
