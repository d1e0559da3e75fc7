#include "translations.h"

#include "applog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// Texts Qt asks to be translated that its Russian translations lack: the file dialog's name for
// a folder and a drive.
class MissingQtTexts final : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 && qstrcmp(context, "QFileIconProvider") != 0)
            return QString();
        if (qstrcmp(sourceText, "Folder") == 0 || qstrcmp(sourceText, "File Folder") == 0)
            return QStringLiteral(u"Папка");
        if (qstrcmp(sourceText, "Drive") == 0)
            return QStringLiteral(u"Диск");
        return QString();
    }

    bool isEmpty() const override { return false; }
};

// Qt's file dialog writes the size and the date of a file in the desktop's locale, which need not
// be Russian (month names, "KB"): this model gives them in the program's own.
class RussianFileModel final : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        if (index.column() == 3)
            return QLocale().toString(info.lastModified(), QLocale::ShortFormat);
        return info.isDir() ? QString() : QLocale().formattedDataSize(info.size());
    }
};

// Every file dialog of Qt's own the program opens (the ZIP save dialog, the print dialog's file
// chooser) takes the model above as it is first shown.
class FileDialogLocale final : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Polish) {
            if (auto* dialog = qobject_cast<QFileDialog*>(watched); dialog && !dialog->proxyModel())
                dialog->setProxyModel(new RussianFileModel(dialog));
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void installRussianTranslations(QCoreApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    app.installTranslator(new MissingQtTexts(&app));
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
    app.installEventFilter(new FileDialogLocale(&app));
}
