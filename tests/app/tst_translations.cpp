// Qt's own dialogs speak Russian like the rest of the interface: their texts, and the kinds,
// sizes and dates of files in the file dialog.

#include "translations.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void qtDialogTexts_areRussian_data()
    {
        QTest::addColumn<QByteArray>("context");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("file dialog") << QByteArray("QFileDialog") << QByteArray("Look in:");
        QTest::newRow("message box buttons") << QByteArray("QPlatformTheme") << QByteArray("Save");
        QTest::newRow("a folder in the file dialog") << QByteArray("QAbstractFileIconProvider") << QByteArray("Folder");
    }

    void qtDialogTexts_areRussian()
    {
        QFETCH(QByteArray, context);
        QFETCH(QByteArray, text);
        install();
        const QString translated = QCoreApplication::translate(context.constData(), text.constData());
        QVERIFY2(translated != QLatin1String(text), qPrintable(translated));
        QVERIFY2(translated.contains(QRegularExpression(QStringLiteral(u"[а-яА-Я]"))), qPrintable(translated));
    }

    // Qt's own file dialog, as the ZIP link opens it, whatever the desktop's locale is (the tests
    // run in the "C" one): a folder is a "Папка", and a file's size and date are written the
    // Russian way.
    void fileDialog_listsFoldersSizesAndDatesInRussian()
    {
        install();
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("tools")));
        QFile file(dir.filePath(QStringLiteral("parts.zip")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(3000, 'x'));
        file.close();

        QFileDialog dialog(nullptr, QString(), dir.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setViewMode(QFileDialog::Detail);
        dialog.show();
        QTreeView* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(view && view->model());
        QAbstractItemModel* model = view->model();
        const auto cell = [&](const QString& name, int column) {
            for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
                const QModelIndex index = model->index(row, 0, view->rootIndex());
                if (index.data().toString() == name)
                    return index.siblingAtColumn(column).data().toString();
            }
            return QStringLiteral("(no row %1)").arg(name);
        };
        QTRY_COMPARE_WITH_TIMEOUT(cell(QStringLiteral("tools"), 2), u"Папка"_qs, 10000);
        const QLocale russian(QLocale::Russian, QLocale::Russia);
        QCOMPARE(cell(QStringLiteral("parts.zip"), 3),
                 russian.toString(QFileInfo(file.fileName()).lastModified(), QLocale::ShortFormat));
        QCOMPARE(cell(QStringLiteral("parts.zip"), 1), russian.formattedDataSize(3000));
        const QString date = cell(QStringLiteral("tools"), 3);
        QVERIFY2(!date.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))), qPrintable(date));
    }

private:
    static void install()
    {
        static bool installed = false;
        if (!installed) {
            installRussianTranslations(*QCoreApplication::instance());
            installed = true;
        }
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
