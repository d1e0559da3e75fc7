// The index and thesaurus commands of velbrook-tool, run as a process.

#include "codepage.h"
#include "indexfixture.h"
#include "packwriter.h"
#include "testfiles.h"
#include "toolrun.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestSearchTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_root = m_dir->path() + QLatin1Char('/');
        writeTestFile(m_root + "html/glava1.htm", toCp1251(u"<title>Тормоза</title><p>Тормозная жидкость</p>"_qs));
        writeTestFile(m_root + "html/glava2.htm", toCp1251(u"<p>Жидкость гидроусилителя</p>"_qs));
    }

    void index_buildThenFind()
    {
        const ToolRun build = runTool({"index", "build", m_root});
        QCOMPARE(build.exitCode, 0);
        for (const char* name : {"keywords.idx", "index.idx", "files.idx"})
            QVERIFY2(QFile::exists(m_root + name), name);

        const ToolRun found = runTool({"index", "find", m_root, u"ЖИДКОСТЬ"_qs});
        QCOMPARE(found.exitCode, 0);
        QCOMPARE(QString::fromUtf8(found.out), u"html/glava1.htm\tТормоза\nhtml/glava2.htm\tglava2.htm\n"_qs);

        const ToolRun missing = runTool({"index", "find", m_root, u"кузов"_qs});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.out.isEmpty());
        QCOMPARE(missing.err.count('\n'), 1);
    }

    void index_findsTheIndexInsideThePack()
    {
        QCOMPARE(runTool({"index", "build", m_root}).exitCode, 0);
        PackWriter writer;
        for (const char* name : {"keywords.idx", "index.idx", "files.idx"}) {
            QFile file(m_root + name);
            QVERIFY(file.open(QIODevice::ReadOnly));
            writer.addFile(QString::fromLatin1(name).toUpper(), file.readAll());
            file.close();
            QVERIFY(file.remove());
        }
        writer.write(m_root + "interface.dat");

        const ToolRun found = runTool({"index", "find", m_root, u"гидроусилителя"_qs});
        QCOMPARE(found.exitCode, 0);
        QCOMPARE(QString::fromUtf8(found.out), u"html/glava2.htm\tglava2.htm\n"_qs);
    }

    // A packed title: the pack's pages are indexed with the disk's, each once (the pack's copy of a
    // page both hold), numbered in the order the scan walks them.
    void index_buildIndexesThePacksPages()
    {
        PackWriter writer;
        writer.addFile(u"HTML/GLAVA1.HTM"_qs, toCp1251(u"<title>Упакованная</title><p>Тормозная колодка</p>"_qs));
        writer.addFile(u"PACK/GLAVA3.HTM"_qs, u"<meta charset=utf-8><p>Колодка в паке</p>"_qs.toUtf8());
        writer.addFile(u"PACK/PIC.GIF"_qs, "GIF89a");
        writer.write(m_root + "interface.dat");
        QCOMPARE(runTool({"index", "build", m_root}).exitCode, 0);

        const ToolRun found = runTool({"index", "find", m_root, u"колодка"_qs});
        QCOMPARE(found.exitCode, 0);
        QCOMPARE(QString::fromUtf8(found.out), u"html/glava1.htm\tУпакованная\nPACK/GLAVA3.HTM\tGLAVA3.HTM\n"_qs);
        // The disk's copy of the page the pack also holds is not read.
        QCOMPARE(runTool({"index", "find", m_root, u"жидкость"_qs}).out, QByteArray("html/glava2.htm\tglava2.htm\n"));

        const ToolRun scan = runTool({"scan", m_root, u"колодка"_qs});
        QCOMPARE(QString::fromUtf8(scan.out), u"html/glava1.htm\nPACK/GLAVA3.HTM\n"_qs);
    }

    // A folder without a page is refused, and no index files are written.
    void index_buildWithoutPages_saysSo()
    {
        QTemporaryDir empty;
        writeTestFile(empty.filePath("notes.txt"), "x");
        PackWriter writer;
        writer.addFile(u"PIC.GIF"_qs, "GIF89a");
        writer.write(empty.filePath("interface.dat"));
        const ToolRun run = runTool({"index", "build", empty.path()});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains("holds no page"), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY(!QFile::exists(empty.filePath("keywords.idx")));
    }

    // Links that loop and files that are no pages: the scan and the index builder end, list each
    // page once and read nothing endless.
    void linksAndDevices_scanAndIndexEnd()
    {
        QVERIFY(QFile::link(m_root, m_root + "a"));
        QVERIFY(QFile::link(m_root, m_root + "b"));
        QVERIFY(QFile::link(m_root + "html", m_root + "html/loop"));
        QVERIFY(QFile::link(u"/dev/zero"_qs, m_root + "html/zero.htm"));

        const ToolRun scan = runTool({"scan", m_root, u"жидкость"_qs});
        QCOMPARE(scan.exitCode, 0);
        QCOMPARE(QString::fromUtf8(scan.out), u"html/glava1.htm\nhtml/glava2.htm\n"_qs);

        QCOMPARE(runTool({"index", "build", m_root}).exitCode, 0);
        QFile files(m_root + "files.idx");
        QVERIFY(files.open(QIODevice::ReadOnly));
        QCOMPARE(files.readAll(), toCp1251(u"html\\glava1.htm#:#Тормоза\r\nhtml\\glava2.htm#:#glava2.htm\r\n"_qs));
    }

    void index_withoutIndexFiles_saysSo()
    {
        const ToolRun run = runTool({"index", "find", m_root, u"жидкость"_qs});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY(QString::fromUtf8(run.err).contains(u"Индескный(е) файл(ы) не найден"_qs));
    }

    // The scan: disk and pack pages, each once, relative paths with '/', in scan order.
    void scan_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::newRow("any case, disk and pack")
            << QStringList{u"ЖИДКОСТЬ"_qs} << 0 << u"html/glava1.htm\nhtml/glava2.htm\nPACK/GLAVA3.HTM\n"_qs;
        QTest::newRow("match case") << QStringList{u"Жидкость"_qs, u"--match-case"_qs} << 0
                                    << u"html/glava2.htm\nPACK/GLAVA3.HTM\n"_qs;
        QTest::newRow("the pack's copy of a disk page is the one read")
            << QStringList{u"упакованная"_qs} << 0 << u"html/glava1.htm\n"_qs;
        QTest::newRow("titles are not text") << QStringList{u"Тормоза"_qs} << 1 << QString();
        QTest::newRow("no page") << QStringList{u"кузов"_qs} << 1 << QString();
    }

    void scan()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        PackWriter writer;
        writer.addFile(u"PACK/GLAVA3.HTM"_qs, u"<meta charset=utf-8><p>Жидкость в паке</p>"_qs.toUtf8());
        writer.addFile(u"HTML/GLAVA1.HTM"_qs, toCp1251(u"<p>Упакованная тормозная жидкость</p>"_qs));
        writer.write(m_root + "interface.dat");
        const ToolRun run = runTool(QStringList{u"scan"_qs, m_root} + args);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(QString::fromUtf8(run.out), out);
    }

    void badInput_exitsWith2_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("build: no such folder") << QStringList{"index", "build", "/nonexistent/velbrook"};
        QTest::newRow("find: no such folder") << QStringList{"index", "find", "/nonexistent/velbrook", "x"};
        QTest::newRow("find: no word") << QStringList{"index", "find", "/tmp"};
        QTest::newRow("scan: no such folder") << QStringList{"scan", "/nonexistent/velbrook", "x"};
        QTest::newRow("scan: blanks only") << QStringList{"scan", "/tmp", "   "};
        QTest::newRow("scan: no text") << QStringList{"scan", "/tmp"};
        QTest::newRow("scan: unknown option") << QStringList{"scan", "/tmp", "x", "--case"};
        QTest::newRow("thesaurus: unknown verb") << QStringList{"thesaurus", "list", "/tmp"};
    }

    void badInput_exitsWith2()
    {
        QFETCH(QStringList, args);
        const ToolRun run = runTool(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count('\n'), 1);
    }

    void thesaurus_find_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::newRow("start page") << QString() << 0 << u"t/brakes.htm#top\n"_qs;
        QTest::newRow("a key within the word") << u"Двигателя"_qs << 0 << u"t/engine.htm\n"_qs;
        QTest::newRow("no match") << u"кузов"_qs << 1 << QString();
    }

    void thesaurus_find()
    {
        QFETCH(QString, word);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        writeTestFile(m_root + "tezaurus.idx",
                      indexText({u"тормоза ~ t\\brakes.htm#top"_qs, u"двигател~t\\engine.htm"_qs}));
        const ToolRun run = runTool({"thesaurus", "find", m_root, word});
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(QString::fromUtf8(run.out), out);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
};

QTEST_GUILESS_MAIN(TestSearchTool)
#include "tst_searchtool.moc"
