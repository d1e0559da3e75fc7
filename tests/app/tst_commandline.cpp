#include "appcontext.h"
#include "commandline.h"

#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(CommandLine::Mode)
Q_DECLARE_METATYPE(RunMode)

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modeAndArgument_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<CommandLine::Mode>("mode");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<bool>("copyFlag");
        QTest::addColumn<RunMode>("runMode");
        using M = CommandLine::Mode;
        using R = RunMode;
        QTest::newRow("nothing") << QStringList{} << M::Skinned << QString() << false << R::Skinned;
        QTest::newRow("port options only")
            << QStringList{"--content", "/cd", "--after", "5"} << M::Skinned << QString() << false << R::Skinned;
        QTest::newRow("picture") << QStringList{"/cd/images/a.jpg"} << M::Plain << "/cd/images/a.jpg" << false
                                 << R::PlainCopy;
        QTest::newRow("help page") << QStringList{"/cd/help.htm", "/h"} << M::Plain << "/cd/help.htm" << true
                                   << R::HelpCopy;
        QTest::newRow("thesaurus last") << QStringList{"/cd/t/a.htm#x", "/t"} << M::Thesaurus << "/cd/t/a.htm#x" << true
                                        << R::Thesaurus;
        QTest::newRow("/t inside a path")
            << QStringList{"/cd/t/a.htm"} << M::Plain << "/cd/t/a.htm" << false << R::PlainCopy;
        QTest::newRow("/h inside a path")
            << QStringList{"/home/tom/pic.gif"} << M::Plain << "/home/tom/pic.gif" << false << R::PlainCopy;
        QTest::newRow("markers in one quoted word")
            << QStringList{"\"/tmp/b.htm /T\""} << M::Thesaurus << "/tmp/b.htm" << true << R::Thesaurus;
        QTest::newRow("quoted") << QStringList{"\"/cd/my page.htm\""} << M::Plain << "/cd/my page.htm" << false
                                << R::PlainCopy;
    }

    void modeAndArgument()
    {
        QFETCH(QStringList, words);
        QFETCH(CommandLine::Mode, mode);
        QFETCH(QString, argument);
        QFETCH(bool, copyFlag);
        const CommandLine line = CommandLine::parse(QStringList{"velbrook"} + words);
        QVERIFY2(line.error.isEmpty(), qPrintable(line.error));
        QCOMPARE(int(line.mode), int(mode));
        QCOMPARE(line.argument, argument);
        QCOMPARE(line.copyFlag, copyFlag);
        QFETCH(RunMode, runMode);
        QCOMPARE(int(line.runMode()), int(runMode));
    }

    void portOptions()
    {
        const CommandLine line =
            CommandLine::parse({"velbrook", "--content", "build/demo", "--command", "2", "--command", "html1=a.htm",
                                "--screenshot", "s.png", "--after", "3000"});
        QCOMPARE(line.contentFolder, QStringLiteral("build/demo"));
        QCOMPARE(line.commands, (QStringList{"2", "html1=a.htm"}));
        QCOMPARE(line.screenshot, QStringLiteral("s.png"));
        QCOMPARE(line.screenshotAfter, 3000);
    }

    // A title's container, as a file manager hands it over, opens that title; any other file, and
    // the container asked for as a help page, keeps the meaning of a copy's file.
    void containerParameter_opensItsTitle_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<CommandLine::Mode>("mode");
        QTest::addColumn<QString>("contentFolder");
        QTest::addColumn<QString>("argument");
        using M = CommandLine::Mode;
        QTest::newRow("container") << QStringList{"/cd/Kel.dhl"} << M::Skinned << "/cd" << QString();
        QTest::newRow("any case") << QStringList{"/cd/run/KEL.DHL"} << M::Skinned << "/cd/run" << QString();
        QTest::newRow("relative") << QStringList{"Kel.dhl"} << M::Skinned << "." << QString();
        QTest::newRow("blank in the path") << QStringList{"/my disc/Kel.dhl"} << M::Skinned << "/my disc" << QString();
        QTest::newRow("instead of --content")
            << QStringList{"--content", "/usr/share/velbrook/demo", "/cd/Kel.dhl"} << M::Skinned << "/cd" << QString();
        QTest::newRow("as a help page") << QStringList{"/cd/Kel.dhl", "/h"} << M::Plain << QString() << "/cd/Kel.dhl";
        QTest::newRow("another name") << QStringList{"/cd/Kel.dhl.bak"} << M::Plain << QString() << "/cd/Kel.dhl.bak";
        QTest::newRow("name ending alike") << QStringList{"/cd/xKel.dhl"} << M::Plain << QString() << "/cd/xKel.dhl";
    }

    void containerParameter_opensItsTitle()
    {
        QFETCH(QStringList, words);
        QFETCH(CommandLine::Mode, mode);
        QFETCH(QString, contentFolder);
        QFETCH(QString, argument);
        const CommandLine line = CommandLine::parse(QStringList{"velbrook"} + words);
        QVERIFY2(line.error.isEmpty(), qPrintable(line.error));
        QCOMPARE(int(line.mode), int(mode));
        QCOMPARE(line.contentFolder, contentFolder);
        QCOMPARE(line.argument, argument);
    }

    // What the window asks of the context in each mode: a copy closes on Escape only, the
    // thesaurus finds in its own window, and the mode is chosen once.
    void contextQueries_followTheRunMode_data()
    {
        QTest::addColumn<RunMode>("mode");
        QTest::addColumn<bool>("hasParameters");
        QTest::addColumn<bool>("copyFlag");
        QTest::addColumn<bool>("thesaurus");
        QTest::newRow("skinned") << RunMode::Skinned << false << false << false;
        QTest::newRow("abandoned second copy") << RunMode::AbandonedSecondCopy << true << false << false;
        QTest::newRow("picture") << RunMode::PlainCopy << true << false << false;
        QTest::newRow("help page") << RunMode::HelpCopy << true << true << false;
        QTest::newRow("thesaurus") << RunMode::Thesaurus << true << true << true;
    }

    void contextQueries_followTheRunMode()
    {
        QFETCH(RunMode, mode);
        QFETCH(bool, hasParameters);
        QFETCH(bool, copyFlag);
        QFETCH(bool, thesaurus);
        QTemporaryDir folder;
        AppContext context(StartupValues::forContentFolder(folder.path()));
        QCOMPARE(int(context.runMode()), int(RunMode::Skinned));
        QVERIFY(context.setRunMode(mode));
        const RunMode other = mode == RunMode::Thesaurus ? RunMode::Skinned : RunMode::Thesaurus;
        QVERIFY(!context.setRunMode(other));
        QCOMPARE(int(context.runMode()), int(mode));
        QCOMPARE(context.hasParameters(), hasParameters);
        QCOMPARE(context.copyFlag(), copyFlag);
        QCOMPARE(context.thesaurusMode(), thesaurus);
    }

    void badOptions_areReported()
    {
        for (const QStringList& words : {QStringList{"--bogus"}, QStringList{"--content"}, QStringList{"--after", "x"}})
            QVERIFY(!CommandLine::parse(QStringList{"velbrook"} + words).error.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
