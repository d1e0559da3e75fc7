// Qt's own dialogs speak Russian like the rest of the interface.

#include "translations.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>

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
    }

    void qtDialogTexts_areRussian()
    {
        QFETCH(QByteArray, context);
        QFETCH(QByteArray, text);
        static bool installed = false;
        if (!installed) {
            installRussianTranslations(*QCoreApplication::instance());
            installed = true;
        }
        const QString translated = QCoreApplication::translate(context.constData(), text.constData());
        QVERIFY2(translated != QLatin1String(text), qPrintable(translated));
        QVERIFY2(translated.contains(QRegularExpression(QStringLiteral(u"[а-яА-Я]"))), qPrintable(translated));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
