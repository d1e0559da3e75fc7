#include "runtarget.h"

#include <QFile>
#include <QFileInfo>

bool IsWebAddress(const QString& value)
{
    const QString text = value.trimmed();
    for (const char* prefix : {"http:", "https:", "ftp:", "mailto:", "www."}) {
        if (text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

RunAction ClassifyRunTarget(const QString& path)
{
    const QFileInfo info(path);
    const QString extension = info.suffix().toLower();
    for (const char* program : {"exe", "com", "bat", "cmd", "sh"}) {
        if (extension == QLatin1String(program))
            return RunAction::StartProgram;
    }
    if (!info.isFile() || !info.isExecutable())
        return RunAction::OpenDocument;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return RunAction::OpenDocument;
    const QByteArray head = file.read(4);
    if (head == QByteArrayLiteral("\x7f"
                                  "ELF") ||
        head.startsWith("#!"))
        return RunAction::StartProgram;
    return RunAction::OpenDocument;
}
