// The demo manual walked as a reader walks it, on a real X server: every screen, and on each the
// commands of its buttons and switches that stay inside the window; then the help copy and the
// enlarged-picture copy opened and closed again and again. The program runs as the reader runs it,
// as a process of its own: a crash, a hang or a failed exit on any path fails the test.
//
// Needs a real X server: with DISPLAY set the copies run on the "xcb" platform; without one the
// test is skipped (the offscreen platform hides the timing that made copies crash).

#include "programenv.h"
#include "windowdirectory.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kCopyRounds = 10;

// Commands that leave the window (the end, other programs, copies, printing, dialogs that wait for
// the reader): the walk leaves them to the tests of their own components.
bool staysInTheWindow(const QString& command)
{
    const QString c = command.trimmed().toLower();
    if (c.isEmpty() || c.startsWith(QLatin1Char('[')))
        return false;
    for (const char* prefix : {"exit", "run", "minimize"}) {
        if (c.startsWith(QLatin1String(prefix)))
            return false;
    }
    for (const char* whole :
         {"help", "tesaurus", "printhtml", "options", "about", "installfonts", "standartwin", "unarc"}) {
        if (c == QLatin1String(whole))
            return false;
    }
    return true;
}

} // namespace

class TestCrashWalkX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs a real X server: DISPLAY is not set");
        QVERIFY(m_runtime.isValid() && m_home.isValid());
        // The copies publish their windows here, where this process looks for them.
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        m_demo = QStringLiteral(VELBROOK_DEMO_DIR);
        QVERIFY(QFile::exists(m_demo + "/Kel.dhl"));
    }

    void everyScreenAndItsCommands()
    {
        QProcess tool;
        tool.start(QStringLiteral(VELBROOK_TOOL), {"script", "dump", m_demo + "/Kel.dhl"});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
        const QJsonArray screens = QJsonDocument::fromJson(tool.readAllStandardOutput())["screens"].toArray();
        QVERIFY(screens.size() >= 2);

        QStringList arguments{"--content", m_demo};
        int walked = 0;
        for (qsizetype i = 0; i < screens.size(); ++i) {
            const QJsonObject screen = screens.at(i).toObject();
            QStringList commands{QString::number(i + 1)};
            for (const QJsonValue button : screen["buttons"].toArray())
                commands << button["go"].toString();
            for (const QJsonValue single : screen["switchone"].toArray())
                commands << single["godown"].toString() << single["goup"].toString();
            for (const QJsonValue group : screen["switchgrp"].toArray())
                commands << group["go"].toString();
            for (const QString& command : std::as_const(commands)) {
                if (!staysInTheWindow(command))
                    continue;
                // A command may have moved to another screen: each one runs from its own.
                arguments << "--command" << QString::number(i + 1) << "--command" << command;
                ++walked;
            }
        }
        QVERIFY(walked > 20);
        const QString shot = m_runtime.filePath("walk.png");
        arguments << "--command"
                  << "2"
                  << "--screenshot" << shot << "--after"
                  << "1000";

        QProcess reader;
        reader.setProcessEnvironment(environment());
        reader.start(QStringLiteral(VELBROOK_APP), arguments);
        QVERIFY(reader.waitForStarted());
        QVERIFY2(reader.waitForFinished(240000), "the walk did not end");
        const QByteArray errors = reader.readAllStandardError();
        QVERIFY2(reader.exitStatus() == QProcess::NormalExit, errors.constData());
        QVERIFY2(reader.exitCode() == 0, errors.constData());
        QVERIFY(QFile::exists(shot));
        QVERIFY2(errors.isEmpty(), errors.constData()); // the demo is walked without a word on the console
    }

    void copiesOpenAndClose_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("help") << QStringLiteral(u"Помощь") << QStringList{"dop\\pomosh.htm#topic13", "/h"};
        QTest::newRow("enlarged picture")
            << QStringLiteral(u"Увеличенная картинка")
            << QStringList{QStringLiteral(VELBROOK_DEMO_DIR) + "/images/dvigatel-big.jpg"};
    }

    void copiesOpenAndClose()
    {
        QFETCH(QString, caption);
        QFETCH(QStringList, arguments);
        for (int round = 0; round < kCopyRounds; ++round) {
            QProcess copy;
            copy.setProcessEnvironment(environment());
            copy.start(QStringLiteral(VELBROOK_APP), QStringList{"--content", m_demo} + arguments);
            QVERIFY(copy.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(WindowDirectory::exists(caption) || copy.state() != QProcess::Running, 30000);
            // Closed at once, while its page loads, and once it has drawn.
            QTest::qWait((round % 4) * 150);
            WindowDirectory::requestClose(caption);
            const bool ended = copy.waitForFinished(30000);
            const QByteArray errors = copy.readAllStandardError();
            QVERIFY2(ended, qPrintable(QStringLiteral("round %1 did not end").arg(round)));
            QVERIFY2(copy.exitStatus() == QProcess::NormalExit,
                     qPrintable(QStringLiteral("round %1 crashed: %2").arg(round).arg(QString::fromLocal8Bit(errors))));
            QCOMPARE(copy.exitCode(), 0);
            QTRY_VERIFY_WITH_TIMEOUT(!WindowDirectory::exists(caption), 5000);
        }
    }

private:
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = programEnvironment(m_runtime.path(), QStringLiteral("xcb"));
        env.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
        env.insert("HOME", m_home.path()); // copied pages land here, not in the real home
        return env;
    }

    QString m_demo;
    QTemporaryDir m_runtime;
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(TestCrashWalkX11)
#include "tst_crashwalk_x11.moc"
