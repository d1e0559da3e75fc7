// Printing from the command line, as the program runs it: the reading screen's start page printed
// to a PDF file whose text a PDF reader extracts, the page numbers included, and a page of the
// pack printed by its link's command.

#include "programenv.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestPrintTo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startPage_printsToAPdfWithItsText()
    {
        QTemporaryDir runtime;
        const QString out = runtime.filePath(QStringLiteral("out.pdf"));
        QProcess program;
        program.setProcessEnvironment(programEnvironment(runtime.path()));
        program.start(QStringLiteral(VELBROOK_APP),
                      {QStringLiteral("--content"), QStringLiteral(VELBROOK_DEMO_DIR), QStringLiteral("--command"),
                       QStringLiteral("2"), QStringLiteral("--command"), QStringLiteral("printhtml"),
                       QStringLiteral("--print-to"), out});
        QVERIFY(program.waitForFinished(120000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(QFileInfo::exists(out));
        // The engine's own PDF: text and pictures at their own size, not sheets of pictures.
        QVERIFY2(QFileInfo(out).size() < 500 * 1024, qPrintable(QString::number(QFileInfo(out).size())));

        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils, scripts/setup-deps) is needed");
        QProcess extract;
        extract.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), out, QStringLiteral("-")});
        QVERIFY(extract.waitForFinished(30000));
        const QString text = QString::fromUtf8(extract.readAllStandardOutput());
        QVERIFY2(text.contains(QStringLiteral(u"Страница 1")), qPrintable(text.left(300)));
        QVERIFY2(text.contains(QStringLiteral(u"Добро пожаловать")), qPrintable(text.left(300)));
    }
};

QTEST_GUILESS_MAIN(TestPrintTo)
#include "tst_printto.moc"
