#pragma once

// Runs velbrook-tool as a content author does and keeps what it said.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ToolRun runTool(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(VELBROOK_TOOL), args);
    if (!process.waitForFinished(30000))
        qFatal("velbrook-tool did not finish");
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
