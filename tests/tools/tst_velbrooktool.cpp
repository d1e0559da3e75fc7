// velbrook-tool as content authors use it: run as a process, judged by its output and exit code.

#include "codepage.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "testfiles.h"
#include "toolrun.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A failure is one line on standard error.
bool oneErrorLine(const ToolRun& run)
{
    return run.err.count('\n') == 1 && run.err.endsWith('\n');
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
        WriteTestFile(m_root + "s.txt", text);
        const ToolRun encode = RunTool({"script", "encode", m_root + "s.txt", "-o", m_root + "s.cfs"});
        QCOMPARE(encode.exitCode, 0);
        QVERIFY(encode.out.isEmpty());

        QFile stored(m_root + "s.cfs");
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(DecodeScript(stored.readAll(), false), lines);

        const ToolRun decode = RunTool({"script", "decode", m_root + "s.cfs"});
        QCOMPARE(decode.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(decode.out).array().toVariantList(), QVariant(lines).toList());
        if (QTest::currentDataTag() == QByteArrayLiteral("LF")) {
            const ToolRun lower = RunTool({"script", "decode", m_root + "s.cfs", "--lower"});
            QCOMPARE(QJsonDocument::fromJson(lower.out).array().first().toString(), u"title=Руководство"_qs);
        }
    }

    void script_refusesTextItCannotStore()
    {
        WriteTestFile(m_root + "bad.txt", QByteArray("ok\nзнак 图\n"));
        const ToolRun run = RunTool({"script", "encode", m_root + "bad.txt", "-o", m_root + "bad.cfs"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(oneErrorLine(run));
        QVERIFY(run.err.contains("line 2"));
        WriteTestFile(m_root + "latin1.txt", QByteArray("caf\xE9\n"));
        QCOMPARE(RunTool({"script", "encode", m_root + "latin1.txt", "-o", m_root + "x.cfs"}).exitCode, 2);
    }

    void container_buildListCat()
    {
        WriteTestFile(m_root + "c/Struct.cfs", EncodeScript({"title=x"}));
        WriteTestFile(m_root + QStringLiteral(u"c/Фон.bmp"), QByteArray(100, 'b'));
        const QString kel = m_root + "Kel.dhl";
        QCOMPARE(RunTool({"container", "build", kel, m_root + "c/Struct.cfs", m_root + u"c/Фон.bmp"_qs}).exitCode, 0);

        const ToolRun list = RunTool({"container", "list", kel});
        QCOMPARE(list.exitCode, 0);
        TReadBin reader;
        reader.Open(kel);
        QCOMPARE(QString::fromUtf8(list.out),
                 QStringLiteral("Struct.cfs\t%1\t%2\n").arg(reader.directory()[0].offset).arg(reader.directory()[0].size) +
                     QStringLiteral(u"Фон.bmp\t%1\t100\n").arg(reader.directory()[1].offset));

        const ToolRun cat = RunTool({"container", "cat", kel, u"ФОН.BMP"_qs});
        QCOMPARE(cat.exitCode, 0);
        QCOMPARE(cat.out, QByteArray(100, 'b'));

        const ToolRun missing = RunTool({"container", "cat", kel, "none.bmp"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(oneErrorLine(missing));
    }

    void pack_buildListCat()
    {
        WriteTestFile(m_root + "tree/Html/Glava1.htm", QByteArray("<p>глава</p>").repeated(40));
        WriteTestFile(m_root + QStringLiteral(u"tree/Рисунки/a.gif"), "GIF89a");
        const QString pack = m_root + "interface.dat";
        QCOMPARE(RunTool({"pack", "build", pack, m_root + "tree"}).exitCode, 0);

        const ToolRun list = RunTool({"pack", "list", pack});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(QString::fromUtf8(list.out), QStringLiteral(u"HTML/GLAVA1.HTM\nРИСУНКИ/A.GIF\n"));

        QCOMPARE(RunTool({"pack", "cat", pack, "html\\glava1.htm"}).out, QByteArray("<p>глава</p>").repeated(40));
        QCOMPARE(RunTool({"pack", "cat", pack, u"/рисунки/A.GIF"_qs}).out, QByteArray("GIF89a"));
        const ToolRun based = RunTool({"pack", "cat", pack, "/books/car/html/glava1.htm", "--base", "/Books/Car/"});
        QCOMPARE(based.exitCode, 0);

        const ToolRun missing = RunTool({"pack", "cat", pack, "html/none.htm"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(oneErrorLine(missing));
    }

    void unreadableInputs_exitWith2_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("fileBytes");
        QTest::newRow("missing container") << QStringList{"container", "list", "%none"} << QByteArray();
        QTest::newRow("bad container") << QStringList{"container", "list", "%file"} << QByteArray("\x01\x00\xFF\xFF", 4);
        QTest::newRow("missing pack") << QStringList{"pack", "list", "%none"} << QByteArray();
        QTest::newRow("bad pack") << QStringList{"pack", "cat", "%file", "a"} << QByteArray(12, '\x7F');
        QTest::newRow("missing script") << QStringList{"script", "decode", "%none"} << QByteArray();
        QTest::newRow("pack build of no folder") << QStringList{"pack", "build", "%file", "%none"} << QByteArray();
    }

    void unreadableInputs_exitWith2()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, fileBytes);
        WriteTestFile(m_root + "input.bin", fileBytes);
        args.replaceInStrings(QStringLiteral("%none"), m_root + "does-not-exist");
        args.replaceInStrings(QStringLiteral("%file"), m_root + "input.bin");
        const ToolRun run = RunTool(args);
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
        const ToolRun run = RunTool(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(oneErrorLine(run), run.err.constData());
    }

    void paths_expandAndCombine()
    {
        ToolRun run = RunTool({"path", "expand", "<cd>video\\a.avi", "--program-dir", "/media/cd/run", "--program-drive",
                        "/media/cd"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("/media/cd/video/a.avi\n"));
        run = RunTool({"path", "expand", "html\\glava1.htm", "--program-dir", "/media/cd/run/"});
        QCOMPARE(run.out, QByteArray("/media/cd/run/html/glava1.htm\n"));
        run = RunTool({"path", "combine", "d:\\run\\", "..\\data\\x.htm"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QByteArray("d:/run/data/x.htm\n"));
    }

private:
    QTemporaryDir m_dir;
    QString m_root;
};

QTEST_GUILESS_MAIN(TestVelbrookTool)
#include "tst_velbrooktool.moc"
