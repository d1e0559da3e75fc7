#include "viewerscripts.h"

#include <QFile>

// Outside any namespace, as the resource's initialiser is declared there.
static void initViewerScripts()
{
    Q_INIT_RESOURCE(viewerscripts);
}

QString viewerScript(const QString& name)
{
    // The viewer is a static library: its resources are registered on first use, whichever program
    // or module links it.
    static const bool registered = (initViewerScripts(), true);
    Q_UNUSED(registered);
    QFile file(QStringLiteral(":/velbrook/viewer/js/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("viewer script %s is missing from the resources", qUtf8Printable(name));
    return QString::fromUtf8(file.readAll());
}
