#include "startupmessages.h"

#include "applog.h"
#include "commandline.h"
#include "windowdirectory.h"

#include <QGuiApplication>

#include <cstdio>

void printError(const QString& line)
{
    std::fprintf(stderr, "velbrook: %s\n", qUtf8Printable(line));
}

StartupMessages::StartupMessages(const CommandLine& commandLine)
{
    const QString platform = QGuiApplication::platformName();
    const bool display = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    m_boxes = display && commandLine.screenshot.isEmpty() && commandLine.printTo.isEmpty();
}

QString StartupMessages::caption()
{
    return QStringLiteral("Velbrook Reader");
}

void StartupMessages::fail(const QString& line, const QString& text) const
{
    printError(line);
    tell(QMessageBox::Critical, text);
}

void StartupMessages::tell(QMessageBox::Icon icon, const QString& text) const
{
    if (!m_boxes) {
        qCDebug(lcApp).noquote() << "start-up message without a box:" << text;
        return;
    }
    qCDebug(lcApp).noquote() << "start-up message box:" << text;
    QMessageBox box(icon, caption(), text, QMessageBox::Ok);
    WindowEndpoint endpoint(caption());
    QObject::connect(&endpoint, &WindowEndpoint::closeRequested, &box, &QMessageBox::close);
    box.exec();
}
