// velbrook-tool as content authors use it: run as a process, judged by its output and exit code.

#include "codepage.h"
#include "memorylimit.h"
#include "rawpack.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "testfiles.h"
#include "toolrun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

namespace {

// A failure is one line on standard error.
bool oneErrorLine(const ToolRun& run)
{
    return run.err.count('\n') == 1 && run.err.endsWith('\n');
}

// The tool run with its address space limited to bytes.
ToolRun runToolWithMemory(const QStringList& args, qint64 bytes)
{
    QProcess process;
    process.setChildProcessModifier([bytes] {
        const rlimit limit{rlim_t(bytes), rlim_t(bytes)};
        setrlimit(RLIMIT_AS, &limit);
    });
    process.start(QStringLiteral(VELBROOK_TOOL), args);
    if (!process.waitForFinished(30000))
        qFatal("velbrook-tool did not finish");
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray le32(qint32 value)
{
    QByteArray raw(4, '\0');
    qToLittleEndian(value, raw.data());
    return raw;
}

} // namespace

class TestVelbrookTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_root = m_dir.path() + QLatin1Char('/');
    }

    void script_encodeThenDecode_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("LF") << QByteArray("Title=Руководство\nvx=1\n") << QStringList{u"Title=Руководство"_qs, "vx=1"};
        QTest::newRow("CR LF, no final end") << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFx\n") << QStringList{"x"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }

    void script_encodeThenDecode()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, lines);
        writeTestFile(m_root + "s.txt", text);
        const ToolRun encode = runTool({"script", "encode", m_root + "s.txt", "-o", m_root + "s.cfs"});
        QCOMPARE(encode.exitCode, 0);
        QVERIFY(encode.out.isEmpty());

        QFile stored(m_root + "s.cfs");
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(DecodeScript(stored.readAll(), false), lines);

        const ToolRun decode = runTool({"script", "decode", m_root + "s.cfs"});
        QCOMPARE(decode.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(decode.out).array().toVariantList(), QVariant(lines).toList());
        if (QTest::currentDataTag() == QByteArrayLiteral("LF")) {
            const ToolRun lower = runTool({"script", "decode", m_root + "s.cfs", "--lower"});
            QCOMPARE(QJsonDocument::fromJson(lower.out).array().first().toString(), u"title=Руководство"_qs);
        }
    }

    void script_refusesTextItCannotStore()
    {
        writeTestFile(m_root + "bad.txt", QByteArray("ok\nзнак 图\n"));
        const ToolRun run = runTool({"script", "encode", m_root + "bad.txt", "-o", m_root + "bad.cfs"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(oneErrorLine(run));
        QVERIFY(run.err.contains("line 2"));
        writeTestFile(m_root + "latin1.txt", QByteArray("caf\xE9\n"));
        QCOMPARE(runTool({"script", "encode", m_root + "latin1.txt", "-o", m_root + "x.cfs"}).exitCode, 2);
    }

    void container_buildListCat()
    {
        writeTestFile(m_root + "c/Struct.cfs", encodeScript({"title=x"}));
        writeTestFile(m_root + QStringLiteral(u"c/Фон.bmp"), QByteArray(100, 'b'));
        const QString kel = m_root + "Kel.dhl";
        QCOMPARE(runTool({"container", "build", kel, m_root + "c/Struct.cfs", m_root + u"c/Фон.bmp"_qs}).exitCode, 0);

        const ToolRun list = runTool({"container", "list", kel});
        QCOMPARE(list.exitCode, 0);
        TReadBin reader;
        reader.Open(kel);
        QCOMPARE(
            QString::fromUtf8(list.out),
            QStringLiteral("Struct.cfs\t%1\t%2\n").arg(reader.directory()[0].offset).arg(reader.directory()[0].size) +
                QStringLiteral(u"Фон.bmp\t%1\t100\n").arg(reader.directory()[1].offset));

        const ToolRun cat = runTool({"container", "cat", kel, u"ФОН.BMP"_qs});
        QCOMPARE(cat.exitCode, 0);
        QCOMPARE(cat.out, QByteArray(100, 'b'));

        const ToolRun missing = runTool({"container", "cat", kel, "none.bmp"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(oneErrorLine(missing));
    }

    void pack_buildListCat()
    {
        writeTestFile(m_root + "tree/Html/Glava1.htm", QByteArray("<p>глава</p>").repeated(40));
        writeTestFile(m_root + QStringLiteral(u"tree/Рисунки/a.gif"), "GIF89a");
        const QString pack = m_root + "interface.dat";
        QCOMPARE(runTool({"pack", "build", pack, m_root + "tree"}).exitCode, 0);

        const ToolRun list = runTool({"pack", "list", pack});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(QString::fromUtf8(list.out), QStringLiteral(u"HTML/GLAVA1.HTM\nРИСУНКИ/A.GIF\n"));

        QCOMPARE(runTool({"pack", "cat", pack, "html\\glava1.htm"}).out, QByteArray("<p>глава</p>").repeated(40));
        QCOMPARE(runTool({"pack", "cat", pack, u"/рисунки/A.GIF"_qs}).out, QByteArray("GIF89a"));
        const ToolRun based = runTool({"pack", "cat", pack, "/books/car/html/glava1.htm", "--base", "/Books/Car/"});
        QCOMPARE(based.exitCode, 0);

        const ToolRun missing = runTool({"pack", "cat", pack, "html/none.htm"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(oneErrorLine(missing));
    }

    // Names come from the file: a newline, ESC or TAB in one is written as an escape, so a listing
    // keeps one line per entry, its fields apart, and the terminal its colours.
    void container_controlCharactersInNames_areEscaped()
    {
        const QString kel = m_root + "controls.dhl";
        ContainerWriter writer;
        writer.add(QStringLiteral("evil\nname.cfs"), "a");
        writer.add(QStringLiteral("esc\x1b[31mred.bmp"), "b");
        writer.add(QStringLiteral("tab\tname\x7f\r.bmp"), "c");
        writer.write(kel);
        const ToolRun list = runTool({"container", "list", kel});
        QCOMPARE(list.exitCode, 0);
        const QList<QByteArray> lines = list.out.split('\n');
        QCOMPARE(lines.size(), 4); // three lines and the end of the last
        QVERIFY2(lines[0].startsWith("evil\\nname.cfs\t"), lines[0].constData());
        QVERIFY2(lines[1].startsWith("esc\\x1b[31mred.bmp\t"), lines[1].constData());
        QVERIFY2(lines[2].startsWith("tab\\tname\\x7f\\r.bmp\t"), lines[2].constData());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(lines[i].count('\t'), 2);
        QVERIFY(!list.out.contains('\x1b'));

        const ToolRun missing = runTool({"container", "cat", kel, "none\nname\x1b"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY2(oneErrorLine(missing), missing.err.constData());
        QVERIFY(missing.err.contains("none\\nname\\x1b"));
    }

    void container_damagedEntryName_isOneEscapedLine()
    {
        // One entry, "bad<LF>entry", whose data lies past the end of the file.
        const QByteArray bytes = QByteArray("\x01\x00", 2) + le32(9) + "bad\nentry" + le32(0) + le32(1000);
        writeTestFile(m_root + "damaged.dhl", bytes);
        const ToolRun run = runTool({"container", "list", m_root + "damaged.dhl"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(oneErrorLine(run), run.err.constData());
        QVERIFY2(run.err.contains("\"bad\\nentry\""), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }

    void pack_controlCharactersInNames_areEscaped()
    {
        RawPack raw;
        raw.entries = {raw.storedFile("A\nB.HTM", "a"),
                       raw.storedFile("\x1b[2J.HTM", "b"),
                       {"SUB\r", 1, 0, 0, 2},
                       raw.storedFile("C\tD\x01.HTM", "c")};
        raw.folders = {{0, 3}, {3, 1}};
        writeTestFile(m_root + "controls.dat", raw.bytes());
        const ToolRun list = runTool({"pack", "list", m_root + "controls.dat"});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(list.out, QByteArray("A\\nB.HTM\n\\x1b[2J.HTM\nSUB\\r/C\\tD\\x01.HTM\n"));

        // A damaged pack names the entry at fault in its one line.
        raw.entries[0].offset = 1000;
        writeTestFile(m_root + "controls.dat", raw.bytes());
        const ToolRun damaged = runTool({"pack", "list", m_root + "controls.dat"});
        QCOMPARE(damaged.exitCode, 2);
        QVERIFY2(oneErrorLine(damaged), damaged.err.constData());
        QVERIFY2(damaged.err.contains("A\\nB.HTM"), damaged.err.constData());
        QVERIFY(damaged.out.isEmpty());
    }

    void tree_dump()
    {
        ContainerWriter writer;
        writer.add(QStringLiteral("tree1.cfs"), encodeScript({"a.htm;A & B", "\tb.htm;B", "c.htm;C"}));
        writer.write(m_root + "tree.dhl");
        const ToolRun run = runTool({"tree", "dump", m_root + "tree.dhl", "tree1.cfs"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(run.out), QJsonDocument::fromJson(R"([
            {"caption": "A & B", "link": "a.htm", "children": [{"caption": "B", "link": "b.htm", "children": []}]},
            {"caption": "C", "link": "c.htm", "children": []}])"));
        QCOMPARE(run.out.count('\n'), 1);
    }

    // Line n has n TABs: a tree 2,000 levels deep. Its dump is compact JSON written without
    // recursion: in proportion to the items (indented, it took 96 MB and grew with the depth
    // squared; some 15,000 levels overflowed the stack in QJsonDocument).
    void tree_dumpOfADeepTree()
    {
        constexpr int kDepth = 2000;
        QStringList lines;
        for (int i = 0; i < kDepth; ++i)
            lines << QString(i, QLatin1Char('\t')) + QStringLiteral("p.htm;x");
        ContainerWriter writer;
        writer.add(QStringLiteral("tree1.cfs"), encodeScript(lines));
        writer.write(m_root + "deep.dhl");
        const ToolRun run = runTool({"tree", "dump", m_root + "deep.dhl", "tree1.cfs"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        const QByteArray item = R"({"caption":"x","children":[],"link":"p.htm"})";
        QCOMPARE(run.out.size(), kDepth * item.size() + 3);
        QVERIFY(run.out.startsWith(R"([{"caption":"x","children":[{"caption":"x","children":[)"));
        QVERIFY(run.out.endsWith("\"link\":\"p.htm\"}]\n"));
        QCOMPARE(run.out.count(item), 1); // the deepest item, under all the others
    }

    // More memory than the process may have (a 1.5 GB entry, the file sparse, under a 512 MB
    // address space): one line and exit 2, as for unreadable input, not an abort.
    void outOfMemory_exitsWith2()
    {
        if (kAddressSanitizer)
            QSKIP("the address space cannot be limited under AddressSanitizer");
        const qint32 size = 1500000000;
        const QByteArray directory = QByteArray("\x01\x00", 2) + le32(5) + "a.bmp" + le32(19) + le32(size);
        const QString kel = m_root + "huge.dhl";
        writeTestFile(kel, directory);
        QFile file(kel);
        QVERIFY(file.resize(19 + qint64(size)));
        const ToolRun run = runToolWithMemory({"container", "cat", kel, "a.bmp"}, qint64(512) << 20);
        QFile::remove(kel);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(oneErrorLine(run), run.err.constData());
        QVERIFY2(run.err.contains("out of memory"), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }

    void unreadableInputs_exitWith2_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("fileBytes");
        QTest::newRow("missing container") << QStringList{"container", "list", "%none"} << QByteArray();
        QTest::newRow("bad container") << QStringList{"container", "list", "%file"}
                                       << QByteArray("\x01\x00\xFF\xFF", 4);
        QTest::newRow("missing pack") << QStringList{"pack", "list", "%none"} << QByteArray();
        QTest::newRow("bad pack") << QStringList{"pack", "cat", "%file", "a"} << QByteArray(12, '\x7F');
        QTest::newRow("missing script") << QStringList{"script", "decode", "%none"} << QByteArray();
        QTest::newRow("pack build of no folder") << QStringList{"pack", "build", "%file", "%none"} << QByteArray();
    }

    void unreadableInputs_exitWith2()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, fileBytes);
        writeTestFile(m_root + "input.bin", fileBytes);
        args.replaceInStrings(QStringLiteral("%none"), m_root + "does-not-exist");
        args.replaceInStrings(QStringLiteral("%file"), m_root + "input.bin");
        const ToolRun run = runTool(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(oneErrorLine(run), run.err.constData());
        QVERIFY(run.out.isEmpty());
    }

    void badUsage_exitsWith2_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown group") << QStringList{"bogus", "verb"};
        QTest::newRow("group only") << QStringList{"pack"};
        QTest::newRow("unknown verb") << QStringList{"pack", "explode", "x"};
        QTest::newRow("missing argument") << QStringList{"pack", "cat", "x"};
        QTest::newRow("extra argument") << QStringList{"path", "combine", "a", "b", "c"};
        QTest::newRow("unknown option") << QStringList{"script", "decode", "x", "--upper"};
        QTest::newRow("option without value") << QStringList{"pack", "cat", "x", "y", "--base"};
        QTest::newRow("encode without -o") << QStringList{"script", "encode", "x"};
        QTest::newRow("expand without program dir") << QStringList{"path", "expand", "a.htm"};
    }

    void badUsage_exitsWith2()
    {
        QFETCH(QStringList, args);
        const ToolRun run = runTool(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(oneErrorLine(run), run.err.constData());
    }

    void paths_expandAndCombine()
    {
        ToolRun run = runTool(
            {"path", "expand", "<cd>video\\a.avi", "--program-dir", "/media/cd/run", "--program-drive", "/media/cd"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("/media/cd/video/a.avi\n"));
        run = runTool({"path", "expand", "html\\glava1.htm", "--program-dir", "/media/cd/run/"});
        QCOMPARE(run.out, QByteArray("/media/cd/run/html/glava1.htm\n"));
        run = runTool({"path", "combine", "d:\\run\\", "..\\data\\x.htm"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("d:/run/data/x.htm\n"));
    }

private:
    QTemporaryDir m_dir;
    QString m_root;
};

QTEST_GUILESS_MAIN(TestVelbrookTool)
#include "tst_velbrooktool.moc"
