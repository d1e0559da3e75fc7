// A start that fails, as a reader who started the program from the desktop meets it: on a real X
// server each reason the program cannot start comes in a Russian message box besides the line on
// standard error, and the program ends once the box is closed. A damaged content pack is told in a
// box too, and the window then opens without the pack. A screenshot or a print run never shows a
// box, on a display or not. The program runs as a process of its own, found and closed through the
// window directory, as another copy would close it.
//
// Needs a real X server: with DISPLAY set the program runs on the "xcb" platform; without one the
// test is skipped (offscreen, no box is ever shown).

#include "programenv.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "testpictures.h"
#include "windowdirectory.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kBoxCaption = QStringLiteral("Velbrook Reader");

// The Russian text of the box, from the program's debug line about it.
QString boxText(const QString& errors)
{
    const QString marker = QStringLiteral("start-up message box: ");
    const qsizetype at = errors.indexOf(marker);
    if (at < 0)
        return {};
    const qsizetype end = errors.indexOf(QLatin1Char('\n'), at);
    return errors.mid(at + marker.size(), end < 0 ? -1 : end - at - marker.size());
}

} // namespace

class TestStartupBoxesX11 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs a real X server: DISPLAY is not set");
        QVERIFY(m_runtime.isValid() && m_content.isValid());
        // The program publishes its windows here, where this process looks for them.
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void failedStart_isShownInARussianBox_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("line");    // in the English line on standard error
        QTest::addColumn<QString>("russian"); // in the box
        QTest::newRow("not a content folder")
            << "empty" << 1 << "holds no Kel.dhl: not a content folder" << QStringLiteral(u"нет руководства");
        QTest::newRow("no folder at all") << "missing" << 2 << "is not a folder" << QStringLiteral(u"не найдена");
        QTest::newRow("damaged container")
            << "garbage" << 1 << "Kel.dhl" << QStringLiteral(u"повреждён и не может быть прочитан");
        QTest::newRow("no Struct.cfs") << "noscript" << 1 << "holds no Struct.cfs"
                                       << QStringLiteral(u"нет сценария Struct.cfs");
        QTest::newRow("no usable first screen")
            << "noscreen" << 1 << "declares no screen" << QStringLiteral(u"нет первого экрана");
        QTest::newRow("authoring leftover") << "leftover" << 1 << QStringLiteral(u"Файл Struct.txt не удален")
                                            << QStringLiteral(u"Файл Struct.txt не удален");
        QTest::newRow("container given as the file")
            << "container" << 1 << "declares no screen" << QStringLiteral(u"нет первого экрана");
    }

    void failedStart_isShownInARussianBox()
    {
        QFETCH(QString, kind);
        QFETCH(int, exitCode);
        QFETCH(QString, line);
        QFETCH(QString, russian);
        QProcess program;
        start(program, arguments(kind));
        WindowEntry box;
        waitForBox(program, &box);
        if (QTest::currentTestFailed())
            return;
        // The box waits for the reader; closed, it ends the program.
        QTest::qWait(300);
        QCOMPARE(program.state(), QProcess::Running);
        QVERIFY(WindowDirectory::requestClose(box));
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), exitCode);
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(errors.contains(QStringLiteral("velbrook: ")) && errors.contains(line), qPrintable(errors));
        QVERIFY2(boxText(errors).contains(russian), qPrintable(errors));
    }

    // The pack is told once, and the window opens with the pages on disk.
    void damagedPack_isToldAndTheWindowOpens()
    {
        const QString folder = title(QStringLiteral(u"повреждённый пакет"));
        writeFile(folder + "/interface.dat", QByteArray(64, 'x'));
        QProcess program;
        start(program, {"--content", folder});
        WindowEntry box;
        waitForBox(program, &box);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(WindowDirectory::requestClose(box));
        // The window opens; a close that comes while it is still opening is not taken, so ask
        // until it goes.
        const QString caption = QStringLiteral(u"повреждённый пакет");
        QTRY_VERIFY_WITH_TIMEOUT(WindowDirectory::exists(caption) || program.state() != QProcess::Running, 30000);
        for (int tries = 0; tries < 20 && program.state() == QProcess::Running; ++tries) {
            WindowDirectory::requestClose(caption);
            program.waitForFinished(1500);
        }
        QCOMPARE(program.state(), QProcess::NotRunning);
        QCOMPARE(program.exitCode(), 0);
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(errors.contains(QStringLiteral("is not a valid content pack")), qPrintable(errors));
        QVERIFY2(boxText(errors).contains(QStringLiteral(u"interface.dat повреждён")), qPrintable(errors));
    }

    // Unattended runs end with the line alone, on a display too.
    void unattendedRuns_showNoBox_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("screenshot") << QStringList{"--screenshot", m_runtime.filePath("shot.png")};
        QTest::newRow("print to a file") << QStringList{"--print-to", m_runtime.filePath("out.pdf")};
    }

    void unattendedRuns_showNoBox()
    {
        QFETCH(QStringList, options);
        for (const QString& kind : {QStringLiteral("empty"), QStringLiteral("noscreen"), QStringLiteral("leftover")}) {
            QProcess program;
            start(program, arguments(kind) + options);
            QVERIFY2(program.waitForFinished(30000), qPrintable(kind + " waited for a reader"));
            QCOMPARE(program.exitCode(), 1);
            const QString errors = QString::fromUtf8(program.readAllStandardError());
            QVERIFY2(errors.contains(QStringLiteral("start-up message without a box")), qPrintable(errors));
            QVERIFY(boxText(errors).isEmpty());
        }
    }

private:
    QStringList arguments(const QString& kind)
    {
        const QString folder = m_content.filePath(QStringLiteral("%1-%2").arg(kind).arg(++m_folders));
        QDir().mkpath(folder);
        if (kind == QLatin1String("missing"))
            return {"--content", folder + "/nowhere"};
        if (kind == QLatin1String("garbage"))
            writeFile(folder + "/Kel.dhl", QByteArray("\xff\xff", 2) + QByteArray(10, '\x7f'));
        if (kind == QLatin1String("noscript")) {
            ContainerWriter kel;
            kel.add("fon1.bmp", testBitmap({200, 100}, Qt::darkCyan));
            kel.write(folder + "/Kel.dhl");
        }
        if (kind == QLatin1String("noscreen") || kind == QLatin1String("container")) {
            ContainerWriter kel;
            kel.add("Struct.cfs", encodeScript({"title=без экрана"}));
            kel.write(folder + "/Kel.dhl");
        }
        if (kind == QLatin1String("leftover")) {
            ContainerWriter kel;
            kel.add("Struct.cfs", encodeScript({"title=черновик", "_screen=fon1.bmp"}));
            kel.add("fon1.bmp", testBitmap({200, 100}, Qt::darkCyan));
            kel.write(folder + "/Kel.dhl");
            writeFile(folder + "/Struct.txt", "title=черновик\n");
        }
        if (kind == QLatin1String("container"))
            return {folder + "/Kel.dhl"};
        return {"--content", folder};
    }

    QString title(const QString& name)
    {
        const QString folder = m_content.filePath(QStringLiteral("title-%1").arg(++m_folders));
        QDir().mkpath(folder);
        ContainerWriter kel;
        kel.add("Struct.cfs", encodeScript({"title=" + name, "_screen=fon1.bmp"}));
        kel.add("fon1.bmp", testBitmap({200, 100}, Qt::darkCyan));
        kel.write(folder + "/Kel.dhl");
        return folder;
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void start(QProcess& program, const QStringList& arguments)
    {
        QProcessEnvironment env = programEnvironment(m_runtime.path(), QStringLiteral("xcb"));
        env.insert("QT_LOGGING_RULES", "velbrook.app.debug=true");
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VELBROOK_APP), arguments);
        QVERIFY(program.waitForStarted());
    }

    // The box of this program as the window directory lists it, once it has come; and, where
    // xdotool is at hand, seen on the X server as a mapped window of that caption.
    void waitForBox(QProcess& program, WindowEntry* box)
    {
        const auto find = [&program]() -> WindowEntry {
            for (const WindowEntry& window : WindowDirectory::windows(kBoxCaption)) {
                if (window.pid == program.processId())
                    return window;
            }
            return {};
        };
        QTRY_VERIFY_WITH_TIMEOUT(!find().id.isEmpty() || program.state() != QProcess::Running, 30000);
        *box = find();
        if (box->id.isEmpty())
            QFAIL(qPrintable("no box came: " + QString::fromUtf8(program.readAllStandardError())));
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (!xdotool.isEmpty()) {
            QProcess search;
            search.start(xdotool, {"search", "--sync", "--onlyvisible", "--pid", QString::number(program.processId()),
                                   "--name", "^" + kBoxCaption + "$"});
            const bool found = search.waitForFinished(10000) && search.exitCode() == 0;
            if (!found)
                search.kill();
            QVERIFY2(found, "the box is not a visible window on the X server");
        }
    }

    QTemporaryDir m_runtime;
    QTemporaryDir m_content;
    int m_folders = 0;
};

QTEST_GUILESS_MAIN(TestStartupBoxesX11)
#include "tst_startupboxes_x11.moc"
