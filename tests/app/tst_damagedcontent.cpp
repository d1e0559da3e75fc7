// Content folders whose skin script is damaged, as a disc or a download may damage it: the
// program says what it could not use, one line each on standard error, and leaves with exit 1
// when there is no first screen to show, instead of a black window without a title. The program
// is run as the user runs it, on content made here, offscreen: no message box is ever shown.

#include "programenv.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "testpictures.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList kGoodScript = {
    "title=повреждённое руководство",
    "_screen=fon1.bmp",
    "button 1 vx=10;vy=10;fn1=up.bmp;fn2=up.bmp;fn3=up.bmp;go=2;hint=Дальше;wav=no",
    "button 1 vx=10;vy=60;fn1=up.bmp;fn2=up.bmp;fn3=up.bmp;go=exit;hint=Выход;wav=no",
    "_screen=fon2.bmp",
    "button 2 vx=10;vy=10;fn1=up.bmp;fn2=up.bmp;fn3=up.bmp;go=1;hint=Назад;wav=no",
};

struct Run
{
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QStringList errors; // the program's own lines on standard error
    bool screenshot = false;
};

} // namespace

class TestDamagedContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_runtime.isValid()); }

    void emptyScript_saysThereIsNoScreen()
    {
        const Run run = start({{"Struct.cfs", QByteArray()}, {"fon1.bmp", testBitmap({200, 100}, Qt::darkCyan)}});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.errors.size(), 1);
        QVERIFY2(run.errors.first().contains("declares no screen"), qPrintable(run.errors.first()));
        QVERIFY(!run.screenshot);
    }

    void oneLineScript_saysThereIsNoScreen()
    {
        const Run run = start(
            {{"Struct.cfs", encodeScript({"title=одна строка"})}, {"fon1.bmp", testBitmap({200, 100}, Qt::darkCyan)}});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.errors.size(), 1);
        QVERIFY(run.errors.first().contains("declares no screen"));
    }

    void firstScreenWithoutItsBackground_saysSo()
    {
        const Run missing = start({{"Struct.cfs", encodeScript({"title=без фона", "_screen=fon1.bmp"})}});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.errors.size(), 1);
        QVERIFY(missing.errors.first().contains("fon1.bmp, is not in the container"));

        const Run garbage = start({{"Struct.cfs", encodeScript({"title=не картинка", "_screen=fon1.bmp"})},
                                   {"fon1.bmp", "no picture at all"}});
        QCOMPARE(garbage.exitCode, 1);
        QCOMPARE(garbage.errors.size(), 1);
        QVERIFY(garbage.errors.first().contains("no picture"));

        // Elements of screen 1 with no _screen line: a screen without a background.
        const Run bare = start({{"Struct.cfs", encodeScript({"title=без экрана", kGoodScript[2]})},
                                {"up.bmp", testBitmap({40, 30}, Qt::gray)}});
        QCOMPARE(bare.exitCode, 1);
        QVERIFY(bare.errors.last().contains("no background picture"));
    }

    void damagedScript_isNeverSilent_data()
    {
        QTest::addColumn<QByteArray>("stored");
        const QByteArray good = encodeScript(kGoodScript);
        QTest::newRow("truncated to a half") << good.left(good.size() / 2);
        QTest::newRow("truncated by one byte") << good.left(good.size() - 1);
        // A flip garbles the text from its position to the start of the script (the text is
        // stored backwards): one near the end only touches the first letters of the title.
        for (const qsizetype at : {qsizetype(10), good.size() / 3, good.size() / 2}) {
            QByteArray flipped = good;
            flipped[at] = char(flipped[at] ^ 0x10);
            QTest::newRow(qPrintable(QStringLiteral("a bit flipped at %1").arg(at))) << flipped;
        }
    }

    void damagedScript_isNeverSilent()
    {
        QFETCH(QByteArray, stored);
        const Run run = start({{"Struct.cfs", stored},
                               {"fon1.bmp", testBitmap({200, 100}, Qt::darkCyan)},
                               {"fon2.bmp", testBitmap({200, 100}, Qt::darkBlue)},
                               {"up.bmp", testBitmap({40, 30}, Qt::gray)}});
        // Either it starts, having said what it could not use, or it says why it cannot.
        QVERIFY2(!run.errors.isEmpty(), "a damaged script started without a word");
        QVERIFY(run.exitCode == 0 || run.exitCode == 1);
        QCOMPARE(run.screenshot, run.exitCode == 0);
    }

    void problems_arePrinted_andTheWindowStarts()
    {
        QStringList script = kGoodScript;
        script << "button 0 vx=10;vy=10;fn1=up.bmp;fn2=up.bmp;fn3=up.bmp;go=1;hint=;wav=no";
        const Run run = start({{"Struct.cfs", encodeScript(script)},
                               {"fon1.bmp", testBitmap({200, 100}, Qt::darkCyan)},
                               {"fon2.bmp", testBitmap({200, 100}, Qt::darkBlue)},
                               {"up.bmp", testBitmap({40, 30}, Qt::gray)}});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.screenshot);
        QCOMPARE(
            run.errors,
            QStringList{"velbrook: Struct.cfs: line 7: screen number 0 is outside 1..256; the element is dropped"});
    }

    void goodContent_startsWithoutAWord()
    {
        const Run run = start({{"Struct.cfs", encodeScript(kGoodScript)},
                               {"fon1.bmp", testBitmap({200, 100}, Qt::darkCyan)},
                               {"fon2.bmp", testBitmap({200, 100}, Qt::darkBlue)},
                               {"up.bmp", testBitmap({40, 30}, Qt::gray)}});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.screenshot);
        QCOMPARE(run.errors, QStringList());
    }

    void demoContent_starts()
    {
        const Run run = startIn(QStringLiteral(VELBROOK_DEMO_DIR));
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.screenshot);
        QCOMPARE(run.errors, QStringList());
    }

    // The about window is modal, yet a scripted run of commands that opens it still takes its
    // picture and ends.
    void demoContent_aboutCommand_scriptedRunEnds()
    {
        const Run run = startIn(QStringLiteral(VELBROOK_DEMO_DIR), {"--command", "about"});
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.screenshot);
        QCOMPARE(run.errors, QStringList());
    }

    // The files authors leave beside the scripts stop the start with their warnings; a run without
    // a reader at the screen gets them as lines, instead of waiting on boxes nobody can close.
    void authoringLeftovers_stopTheStartWithTheirWarnings()
    {
        const QString folder =
            writeTitle({{"Struct.cfs", encodeScript(kGoodScript)}, {"fon1.bmp", testBitmap({200, 100}, Qt::darkCyan)}});
        for (const char* leftover : {"Coder.exe", "Struct.txt"}) {
            QFile file(folder + "/" + leftover);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString shot = m_runtime.filePath("leftovers.png");
        const Run run = launch({"--content", folder, "--screenshot", shot}, shot);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.errors, (QStringList{QStringLiteral(u"velbrook: Файл Struct.txt не удален"),
                                          QStringLiteral(u"velbrook: А зачем тут кодер лежит?")}));
        QVERIFY(!run.screenshot);
    }

    // A title's Kel.dhl given as the file opens that title, also where --content names another
    // folder; a picture that cannot be written fails the run.
    void containerPath_opensItsTitle()
    {
        const QString folder = writeTitle({{"Struct.cfs", encodeScript(kGoodScript)},
                                           {"fon1.bmp", testBitmap({200, 100}, Qt::darkCyan)},
                                           {"fon2.bmp", testBitmap({200, 100}, Qt::darkBlue)},
                                           {"up.bmp", testBitmap({40, 30}, Qt::gray)}});
        QTemporaryDir elsewhere;
        const QString shot = m_runtime.filePath("container.png");
        const Run opened = launch({"--content", elsewhere.path(), folder + "/KEL.DHL", "--screenshot", shot}, shot);
        QCOMPARE(opened.exitCode, 0);
        QVERIFY(opened.screenshot);
        QCOMPARE(QImage(shot).size(), QSize(200, 100));
        QCOMPARE(opened.errors, QStringList());

        const QString nowhere = m_runtime.filePath("no-such-folder/shot.png");
        const Run unwritten = launch({folder + "/Kel.dhl", "--screenshot", nowhere}, nowhere);
        QCOMPARE(unwritten.exitCode, 1);
        QCOMPARE(unwritten.errors, QStringList{"velbrook: cannot write " + nowhere});
    }

private:
    QString writeTitle(const QList<std::pair<QString, QByteArray>>& entries)
    {
        const QString folder = m_runtime.filePath(QStringLiteral("content%1").arg(++m_folders));
        QDir().mkpath(folder);
        ContainerWriter kel;
        for (const auto& [name, bytes] : entries)
            kel.add(name, bytes);
        kel.write(folder + "/Kel.dhl");
        return folder;
    }

    // The program on a content folder holding a Kel.dhl of entries, with a screenshot.
    Run start(const QList<std::pair<QString, QByteArray>>& entries) { return startIn(writeTitle(entries)); }

    Run startIn(const QString& folder, const QStringList& more = {})
    {
        const QString shot = m_runtime.filePath(QStringLiteral("shot%1.png").arg(++m_shots));
        return launch(QStringList{"--content", folder, "--screenshot", shot, "--after", "500"} + more, shot);
    }

    Run launch(const QStringList& arguments, const QString& shot)
    {
        QProcess process;
        process.setProcessEnvironment(programEnvironment(m_runtime.path()));
        process.start(QStringLiteral(VELBROOK_APP), arguments);
        Run run;
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            qWarning("the program did not finish within a minute");
            return run;
        }
        run.status = process.exitStatus();
        run.exitCode = run.status == QProcess::NormalExit ? process.exitCode() : -1;
        for (const QByteArray& line : process.readAllStandardError().split('\n')) {
            if (line.startsWith("velbrook:"))
                run.errors << QString::fromUtf8(line);
        }
        run.screenshot = QFile::exists(shot);
        return run;
    }

    QTemporaryDir m_runtime;
    int m_folders = 0;
    int m_shots = 0;
};

QTEST_GUILESS_MAIN(TestDamagedContent)
#include "tst_damagedcontent.moc"
