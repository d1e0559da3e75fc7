#include "paneprint.h"

#include "appcontext.h"
#include "comprstream.h"
#include "contentscheme.h"
#include "settingskeys.h"
#include "viewerlog.h"

#include <QImageReader>
#include <QWebEnginePage>

#include <memory>

PrintOptions printOptionsFor(const AppContext& context, const QString& file, QSize picture)
{
    PrintOptions options;
    options.printToFile = context.printToFile;
    options.quitAfter = !context.printToFile.isEmpty();
    if (options.printToFile.isEmpty())
        options.printToFile = context.settings.readString(SettingsKeys::PrintToFile).value_or(QString());
    options.picture = isPrintPicture(file) || picture.isValid();
    options.pictureSize = picture;
    if (options.picture && !picture.isValid()) {
        try {
            TComprStream stream(context.pack, context.disk.toLocal(file));
            QImageReader reader(&stream);
            options.pictureSize = reader.size();
        } catch (...) {
            qCDebug(lcViewer) << "the picture to print could not be read for its size:" << file;
        }
    }
    return options;
}

void printDocument(QWidget* parent, QWebEnginePage* page, const AppContext& context, const QString& file)
{
    PrintPage(parent, page, printOptionsFor(context, file));
}

bool printHiddenFile(QWidget* parent, QWebEngineProfile* profile, const AppContext& context, const QString& file,
                     QSize picture)
{
    const std::unique_ptr<QWebEnginePage> page(loadForPrinting(profile, contentUrl(context.disk.toLocal(file))));
    if (!page) {
        qCDebug(lcViewer) << "a file to print did not load:" << file;
        return false;
    }
    PrintPage(parent, page.get(), printOptionsFor(context, file, picture));
    return true;
}
