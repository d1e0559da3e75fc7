// velbrook-tool archive: the lines and exit codes authors and scripts rely on.

#include "archivefixtures.h"
#include "toolrun.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestArchiveTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listPrintsEveryEntryAcrossVolumes();
    void listFailsOnUnreadableInput_data();
    void listFailsOnUnreadableInput();
    void extractPrintsPathsAndRefusesEscapes();
    void pagesWritesTheListing();
    void buildMakesWhatListReads();
    void buildTakesARelativeFolder();
    void extractRefusesAnEmptyDestination();
    void damagedInputFails_data();
    void damagedInputFails();

private:
    QTemporaryDir m_dir;
};

void TestArchiveTool::listPrintsEveryEntryAcrossVolumes()
{
    const QStringList volumes = sampleArchive().write(m_dir.filePath(QStringLiteral("split.rar")), 700);
    QVERIFY(volumes.size() > 2);
    const ToolRun run = runTool({QStringLiteral("archive"), QStringLiteral("list"), volumes.first()});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), QStringLiteral(u"d\t0\tdocs\nf\t2500\tdocs/a.txt\nf\t999\treadme.txt\n"
                                                        u"f\t10\tИнструкция.txt\nf\t5\t日本.txt\n"));
}

void TestArchiveTool::listFailsOnUnreadableInput_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("not an archive") << QStringLiteral("text") << QByteArray("ERAR_BAD_ARCHIVE (13)");
    QTest::newRow("no such file") << QStringLiteral("absent") << QByteArray("ERAR_EOPEN (15)");
    QTest::newRow("missing volume") << QStringLiteral("volume") << QByteArray("ERAR_EOPEN (15)");
}

void TestArchiveTool::listFailsOnUnreadableInput()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, result);
    const QString folder = m_dir.filePath(kind);
    QDir().mkpath(folder);
    QString file = folder + QStringLiteral("/x.rar");
    QByteArray out;
    if (kind == QLatin1String("text")) {
        writeTestFile(file, "plain text");
    } else if (kind == QLatin1String("volume")) {
        RarWriter writer;
        writer.addFile(QStringLiteral("a.txt"), QByteArray(50, 'a'));
        writer.addFile(QStringLiteral("b.txt"), QByteArray(50, 'b'));
        const QStringList volumes = writer.write(file, 50, RarWriter::Naming::Old);
        QFile::remove(volumes.value(1));
        out = "f\t50\ta.txt\n";
    }
    const ToolRun run = runTool({QStringLiteral("archive"), QStringLiteral("list"), file});
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(run.err.contains(result), run.err.constData());
}

void TestArchiveTool::extractPrintsPathsAndRefusesEscapes()
{
    RarWriter writer;
    writer.addFolder(QStringLiteral("sub"));
    writer.addFile(QStringLiteral("sub/in.txt"), "in");
    writer.addFile(QStringLiteral("..\\out.txt"), "out");
    writer.addFile(QStringLiteral("/abs.txt"), "abs");
    const QString archive = m_dir.filePath(QStringLiteral("mixed.rar"));
    QVERIFY(!writer.write(archive).isEmpty());
    const QString dest = m_dir.filePath(QStringLiteral("dest"));

    const ToolRun run = runTool({QStringLiteral("archive"), QStringLiteral("extract"), archive, dest});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QString::fromUtf8(run.out), dest + QStringLiteral("/sub\n") + dest + QStringLiteral("/sub/in.txt\n"));
    QCOMPARE(run.err.count('\n'), 2);
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("out.txt"))));

    RarWriter clean;
    clean.addFile(QStringLiteral("ok.txt"), "ok");
    const QString good = m_dir.filePath(QStringLiteral("good.rar"));
    QVERIFY(!clean.write(good).isEmpty());
    const ToolRun fine = runTool({QStringLiteral("archive"), QStringLiteral("extract"), good, dest});
    QCOMPARE(fine.exitCode, 0);
    QCOMPARE(fine.err, QByteArray());

    const ToolRun bad =
        runTool({QStringLiteral("archive"), QStringLiteral("extract"), dest + QStringLiteral("/ok.txt"), dest});
    QCOMPARE(bad.exitCode, 2);
}

void TestArchiveTool::pagesWritesTheListing()
{
    const QString archive = m_dir.filePath(QStringLiteral("tools.rar"));
    QVERIFY(!sampleArchive().write(archive).isEmpty());
    const QString out = m_dir.filePath(QStringLiteral("pages"));
    const ToolRun run = runTool({QStringLiteral("archive"), QStringLiteral("pages"), archive, out});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out), out + QStringLiteral("/as_tools.rar.htm\n"));
    // The frame set, the header bar, the root's page and the folder's.
    QCOMPARE(QDir(out).entryList(QDir::Files).size(), 4);
}

void TestArchiveTool::buildMakesWhatListReads()
{
    const QString source = m_dir.filePath(QStringLiteral("source"));
    writeTestFile(source + QStringLiteral(u"/Папка/файл.txt"), QByteArray(1200, 'x'));
    writeTestFile(source + QStringLiteral("/top.txt"), "top");
    const QString archive = m_dir.filePath(QStringLiteral("built/b.rar"));
    QDir().mkpath(QFileInfo(archive).absolutePath());
    const ToolRun build = runTool({QStringLiteral("archive"), QStringLiteral("build"), archive, source,
                                   QStringLiteral("--volume-size"), QStringLiteral("1000")});
    QCOMPARE(build.exitCode, 0);
    QCOMPARE(QString::fromUtf8(build.out), m_dir.filePath(QStringLiteral("built/b.part1.rar\n")) +
                                               m_dir.filePath(QStringLiteral("built/b.part2.rar\n")));
    const ToolRun list = runTool(
        {QStringLiteral("archive"), QStringLiteral("list"), m_dir.filePath(QStringLiteral("built/b.part1.rar"))});
    QCOMPARE(list.exitCode, 0);
    QCOMPARE(QString::fromUtf8(list.out), QStringLiteral(u"f\t3\ttop.txt\nd\t0\tПапка\nf\t1200\tПапка/файл.txt\n"));
}

void TestArchiveTool::buildTakesARelativeFolder()
{
    writeTestFile(m_dir.filePath(QStringLiteral("relative/source/sub/a.txt")), "a");
    QProcess tool;
    tool.setWorkingDirectory(m_dir.filePath(QStringLiteral("relative")));
    tool.start(QStringLiteral(VELBROOK_TOOL), {"archive", "build", "out.rar", "source"});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.readAllStandardError(), QByteArray());
    QCOMPARE(tool.exitCode(), 0);
    const ToolRun list = runTool(
        {QStringLiteral("archive"), QStringLiteral("list"), m_dir.filePath(QStringLiteral("relative/out.rar"))});
    QCOMPARE(list.exitCode, 0);
    QCOMPARE(list.out, QByteArray("d\t0\tsub\nf\t1\tsub/a.txt\n"));
}

void TestArchiveTool::extractRefusesAnEmptyDestination()
{
    RarWriter writer;
    writer.addFile(QStringLiteral("stray.txt"), "x");
    const QString archive = m_dir.filePath(QStringLiteral("stray.rar"));
    QVERIFY(!writer.write(archive).isEmpty());
    const QString here = m_dir.filePath(QStringLiteral("here"));
    QDir().mkpath(here);
    for (const QString& empty : {QString(), QStringLiteral("  ")}) {
        QProcess tool;
        tool.setWorkingDirectory(here);
        tool.start(QStringLiteral(VELBROOK_TOOL), {"archive", "extract", archive, empty});
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 2);
        QCOMPARE(tool.readAllStandardError().count('\n'), 1);
        QCOMPARE(QDir(here).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
}

void TestArchiveTool::damagedInputFails_data()
{
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QByteArray>("said");
    QTest::newRow("extract: a changed byte of data")
        << "extract"
        << "data" << QByteArray("\xd0\xbe\xd1\x88\xd0\xb8\xd0\xb1\xd0\xba\xd0\xb0 "); // "ошибка "
    QTest::newRow("list: a RAR 5 archive cut short") << "list"
                                                     << "cut" << QByteArray("ERAR_BAD_DATA (12)");
}

// Damage is a failure, with the line that says what it was: never an empty archive or a success.
void TestArchiveTool::damagedInputFails()
{
    QFETCH(QString, verb);
    QFETCH(QString, damage);
    QFETCH(QByteArray, said);
    QString archive = m_dir.filePath(damage + QStringLiteral(".rar"));
    if (damage == QLatin1String("data")) {
        RarWriter writer;
        writer.addFile(QStringLiteral("a.txt"), "the data of a.txt");
        QVERIFY(!writer.write(archive).isEmpty());
        QFile file(archive);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        bytes[bytes.indexOf("data of")] = 'D';
        QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
    } else {
        writeTestFile(archive, uudecodedFixture(QStringLiteral("rar5-unicode.rar.uu")).left(40));
    }
    QStringList args{QStringLiteral("archive"), verb, archive};
    if (verb == QLatin1String("extract"))
        args.append(m_dir.filePath(damage + QStringLiteral("-out")));
    const ToolRun run = runTool(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(said), run.err.constData());
    QVERIFY(!QFileInfo::exists(m_dir.filePath(damage + QStringLiteral("-out/a.txt"))));
}

QTEST_GUILESS_MAIN(TestArchiveTool)
#include "tst_archivetool.moc"
