#include "commandline.h"

#include <QTest>

Q_DECLARE_METATYPE(CommandLine::Mode)

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
        using M = CommandLine::Mode;
        QTest::newRow("nothing") << QStringList{} << M::Skinned << QString() << false;
        QTest::newRow("port options only") << QStringList{"--content", "/cd", "--after", "5"} << M::Skinned << QString() << false;
        QTest::newRow("picture") << QStringList{"/cd/images/a.jpg"} << M::Plain << "/cd/images/a.jpg" << false;
        QTest::newRow("help page") << QStringList{"/cd/help.htm", "/h"} << M::Plain << "/cd/help.htm" << true;
        QTest::newRow("thesaurus last") << QStringList{"/cd/t/a.htm#x", "/t"} << M::Thesaurus << "/cd/t/a.htm#x" << true;
        QTest::newRow("/t inside a path") << QStringList{"/cd/t/a.htm"} << M::Plain << "/cd/t/a.htm" << false;
        QTest::newRow("/h inside a path") << QStringList{"/home/tom/pic.gif"} << M::Plain << "/home/tom/pic.gif" << false;
        QTest::newRow("markers in one quoted word") << QStringList{"\"/tmp/b.htm /T\""} << M::Thesaurus << "/tmp/b.htm" << true;
        QTest::newRow("quoted") << QStringList{"\"/cd/my page.htm\""} << M::Plain << "/cd/my page.htm" << false;
    }

    void modeAndArgument()
    {
        QFETCH(QStringList, words);
        QFETCH(CommandLine::Mode, mode);
        QFETCH(QString, argument);
        QFETCH(bool, copyFlag);
        const CommandLine line = CommandLine::Parse(QStringList{"velbrook"} + words);
        QVERIFY2(line.error.isEmpty(), qPrintable(line.error));
        QCOMPARE(int(line.mode), int(mode));
        QCOMPARE(line.argument, argument);
        QCOMPARE(line.copyFlag, copyFlag);
    }

    void portOptions()
    {
        const CommandLine line = CommandLine::Parse({"velbrook", "--content", "build/demo", "--command", "2",
                                                     "--command", "html1=a.htm", "--screenshot", "s.png", "--after",
                                                     "3000"});
        QCOMPARE(line.contentFolder, QStringLiteral("build/demo"));
        QCOMPARE(line.commands, (QStringList{"2", "html1=a.htm"}));
        QCOMPARE(line.screenshot, QStringLiteral("s.png"));
        QCOMPARE(line.screenshotAfter, 3000);
    }

    void badOptions_areReported()
    {
        for (const QStringList& words : {QStringList{"--bogus"}, QStringList{"--content"}, QStringList{"--after", "x"}})
            QVERIFY(!CommandLine::Parse(QStringList{"velbrook"} + words).error.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
