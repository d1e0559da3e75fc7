#include "translations.h"

#include "applog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void installRussianTranslations(QCoreApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // "qt_ru" takes in the translations of the modules it names (the base among them).
    for (const char* name : {"qt_ru", "qtwebengine_ru"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QLatin1String(name), folder)) {
            app.installTranslator(translator);
        } else {
            qCDebug(lcApp) << "no Qt translation" << name << "in" << folder;
            delete translator;
        }
    }
}
