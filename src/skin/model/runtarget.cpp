#include "runtarget.h"

#include <QFile>
#include <QFileInfo>

bool isWebAddress(const QString& value)
{
    const QString text = value.trimmed();
    for (const char* prefix : {"http:", "https:", "ftp:", "mailto:", "www."}) {
        if (text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

RunAction classifyRunTarget(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return RunAction::OpenDocument;
    const QString extension = info.suffix().toLower();
    for (const char* windowsProgram : {"exe", "com", "bat", "cmd"}) {
        if (extension == QLatin1String(windowsProgram)) {
#ifdef Q_OS_WIN
            return RunAction::StartProgram;
#else
            return RunAction::OpenDocument;
#endif
        }
    }
    QByteArray head;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        head = file.read(4);
    const bool program = head == QByteArrayLiteral("\x7f"
                                                   "ELF") ||
                         head.startsWith("#!");
    if (info.isExecutable() && program)
        return RunAction::StartProgram;
    if (extension == QLatin1String("sh"))
        return info.isExecutable() ? RunAction::StartProgram : RunAction::StartShellScript;
    return RunAction::OpenDocument;
}
