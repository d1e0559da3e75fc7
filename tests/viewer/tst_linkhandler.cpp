// What a click on a link does, without the engine: the full path and extension of a link, and the
// actions of the link handler against stand-ins for the shell, the dialogs and other components.

#include "appcontext.h"
#include "linkhandler.h"
#include "packwriter.h"
#include "testfiles.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

class TestLinkHandler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("HOME", QFile::encodeName(m_dir.path() + "/home"));
        m_root = m_dir.path() + QStringLiteral("/content/");
        PackWriter writer;
        writer.addFile(QStringLiteral("page.htm"), "<html></html>");
        writer.addFile(QStringLiteral("images/big.gif"), "GIF89a");
        writer.addFile(QStringLiteral("packed.files/style.css"), "p {}");
        writer.addFile(QStringLiteral("packed.files/img/a.gif"), "GIF89a");
        writer.addFile(QStringLiteral("packed.htm"), "<html>packed</html>");
        writeTestFile(m_root + "interface.dat");
        writer.write(m_root + "interface.dat");
        writeTestFile(m_root + "files/tool.txt", "tool");
        writeTestFile(m_root + "files/Tools.zip", "PK");
        writeTestFile(m_root + "disk.htm", "<html>disk</html>");
        writeTestFile(m_root + "snd/Beep.WAV");
        writeTestFile(m_root + "files/Instr.rar");
        writeTestFile(m_root + "files/Manual.pdf");
        writeTestFile(m_root + "files/Tool.EXE");
        writeTestFile(m_root + "disk.files/pic.gif", "GIF89a");
        writeTestFile(m_root + "disk.files/sub/deep.css", "b {}");
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_root));
        QVERIFY(m_context->pack.OpenPack(m_root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.programDir);
        m_root = m_context->values.programDir;
    }

    void init()
    {
        m_desktopOpens = true;
        m_calls.clear();
        m_visited.clear();
        m_handler = std::make_unique<TLinkHandler>(*m_context, recordingServices());
    }

    void fullPathAndExtension_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("fullPath");
        QTest::addColumn<QString>("extension");
        QTest::newRow("relative with fragment") << "Page2.HTM#Part"
                                                << "/c/Html/Page2.HTM#Part"
                                                << ".htm#part";
        QTest::newRow("up a folder, backslashes") << "..\\Dop\\Pusk.htm"
                                                  << "/c/Dop/Pusk.htm"
                                                  << ".htm";
        QTest::newRow("fragment only") << "#top"
                                       << "/c/Html/index.htm#top"
                                       << ".htm#top";
        QTest::newRow("drive letter") << "D:\\Soft\\Setup.exe"
                                      << "D:/Soft/Setup.exe"
                                      << ".exe";
        QTest::newRow("absolute") << "/x/y.rar"
                                  << "/x/y.rar"
                                  << ".rar";
        QTest::newRow("no extension") << "files/readme"
                                      << "/c/Html/files/readme"
                                      << "";
        QTest::newRow("dot in a folder only") << "v1.2/readme"
                                              << "/c/Html/v1.2/readme"
                                              << "";
    }

    void fullPathAndExtension()
    {
        QFETCH(QString, link);
        QFETCH(QString, fullPath);
        QFETCH(QString, extension);
        const QString full = linkFullPath(QStringLiteral("/c/Html/index.htm"), link);
        QCOMPARE(full, fullPath);
        QCOMPARE(linkExtension(full), extension);
    }

    void blankTarget_startsACopyOnlyForAnExistingFile()
    {
        QVERIFY(click("images/big.gif#x", "_BLANK"));
        QVERIFY(click("images/missing.gif", "_blank"));
        QCOMPARE(m_calls, QStringList{"copy " + m_root + "images/big.gif"});
        QCOMPARE(m_visited, QStringList{m_root.toLower() + "images/big.gif#x"});
    }

    void fileActions_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("call");
        QTest::newRow("web") << "HTTP://example.com/A"
                             << "url http://example.com/A";
        QTest::newRow("mail") << "mailto:a@b.c"
                              << "url mailto:a@b.c";
        QTest::newRow("print") << "printhtml:page.htm"
                               << "print %1page.htm";
        QTest::newRow("sound") << "snd/Beep.WAV"
                               << "clip %1snd/Beep.WAV";
        QTest::newRow("archive") << "files/instr.rar"
                                 << "archive %1files/Instr.rar from %1page.htm";
        QTest::newRow("program") << "files/tool.exe"
                                 << "program %1files/Tool.EXE";
        QTest::newRow("program on the authoring drive, not there")
            << "D:\\soft\\setup.exe" << u"status Файл не найден: %drive%soft/setup.exe"_qs;
        QTest::newRow("document") << "files/manual.pdf"
                                  << "url file://%1files/Manual.pdf";
    }

    void fileActions()
    {
        QFETCH(QString, link);
        QFETCH(QString, call);
        QVERIFY(click(link));
        call.replace(QLatin1String("%drive%"), m_context->values.programDrive);
        QCOMPARE(m_calls, QStringList{call.contains(QLatin1String("%1")) ? call.arg(m_root) : call});
        QCOMPARE(m_visited.size(), 1);
    }

    // What the desktop cannot open is told in Russian: an address or a document no program takes,
    // a document that is not there.
    void linksNothingOpens_areTold_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("desktopOpens");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("web") << "http://example.com/A" << false
                             << QStringList{"url http://example.com/A",
                                            u"status Не удалось открыть адрес http://example.com/A"_qs};
        QTest::newRow("mail") << "mailto:a@b.c" << false
                              << QStringList{"url mailto:a@b.c", u"status Не удалось открыть адрес mailto:a@b.c"_qs};
        QTest::newRow("document") << "files/manual.pdf" << false
                                  << QStringList{"url file://%1files/Manual.pdf",
                                                 u"status Не удалось открыть файл Manual.pdf"_qs};
        QTest::newRow("document not there")
            << "files/zametki.rtf" << true << QStringList{u"status Файл не найден: %1files/zametki.rtf"_qs};
        QTest::newRow("opened: nothing to tell")
            << "http://example.com/A" << true << QStringList{"url http://example.com/A"};
    }

    void linksNothingOpens_areTold()
    {
        QFETCH(QString, link);
        QFETCH(bool, desktopOpens);
        QFETCH(QStringList, calls);
        m_desktopOpens = desktopOpens;
        QVERIFY(click(link));
        for (QString& call : calls)
            call = call.contains(QLatin1String("%1")) ? call.arg(m_root) : call;
        QCOMPARE(m_calls, calls);
    }

    void pagesAndPictures_areLeftToTheEngine_andPagesSyncTheTree_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("page with fragment") << "page.htm#part" << QStringList{"tree %1page.htm"};
        QTest::newRow("picture") << "images/big.gif" << QStringList();
        QTest::newRow("text") << "files/tool.txt" << QStringList();
        QTest::newRow("fragment") << "#top" << QStringList{"tree %1index.htm"};
    }

    void pagesAndPictures_areLeftToTheEngine_andPagesSyncTheTree()
    {
        QFETCH(QString, link);
        QFETCH(QStringList, calls);
        QVERIFY(!click(link));
        for (QString& call : calls)
            call = call.contains(QLatin1String("%1")) ? call.arg(m_root) : call;
        QCOMPARE(m_calls, calls);
        QVERIFY(m_visited.isEmpty());
    }

    void pageOnADrive_isShownByTheProgramFromTheProgramDrive()
    {
        QVERIFY(click("C:\\Book\\Page.htm#p"));
        const QString page = m_context->values.programDrive + "Book/Page.htm";
        QCOMPARE(m_calls, (QStringList{"tree " + page, "show " + page + "#p"}));
    }

    void zipLinks_saveWhereTheReaderChose_andTheDialogRemembersTheFolder()
    {
        const QString first = m_dir.path() + "/saved/one/Tools.zip";
        const QString second = m_dir.path() + "/saved/two/again.zip";
        m_saveAnswers = {first, second};
        QVERIFY(click("files/tools.zip"));
        QVERIFY(click("files/tools.zip"));
        QCOMPARE(m_calls,
                 (QStringList{"save in  as Tools.zip", "save in " + m_dir.path() + "/saved/one as Tools.zip"}));
        QVERIFY(QFile::exists(first));
        QVERIFY(QFile::exists(second));

        m_saveAnswers = {QString()}; // cancelled
        QVERIFY(click("files/tools.zip"));
        QCOMPARE(m_handler->lastSaveFolder(), m_dir.path() + "/saved/two");
    }

    void copyLinks_copyIntoThePathFieldsFolder()
    {
        m_pathFolder = m_dir.path() + "/target/";
        QVERIFY(click("copy:files/tool.txt"));
        QVERIFY(click("copy:images/big.gif")); // only in the pack
        QCOMPARE(readFile(m_pathFolder + "tool.txt"), QByteArray("tool"));
        QCOMPARE(readFile(m_pathFolder + "big.gif"), QByteArray("GIF89a"));

        // A folder written for the system the manual was made on is in the reader's home.
        m_pathFolder = "c:\\Velbrook\\";
        QVERIFY(click("copy:files/tool.txt"));
        QCOMPARE(readFile(m_dir.path() + "/home/Velbrook/tool.txt"), QByteArray("tool"));

        // Each copy is told; so is a file that is not there, and a window without a path field.
        QCOMPARE(m_calls, QStringList(3, u"status Файл скопирован"_qs));
        m_calls.clear();
        QVERIFY(click("copy:files/missing.txt"));
        QCOMPARE(m_calls, QStringList{u"status Файл не скопирован"_qs});
        m_calls.clear();
        m_pathFolder = m_dir.path() + "/elsewhere/";
        QFile::remove(m_pathFolder);
        m_pathFolder.clear(); // no path field: nothing is copied
        QVERIFY(click("copy:files/tool.txt"));
        QVERIFY(!QFileInfo::exists(m_dir.path() + "/elsewhere"));
        QCOMPARE(m_calls, QStringList{u"status Файл не скопирован: не задана папка для копирования"_qs});
    }

    void copyListLinks_putTheSelectedTextOnTheClipboard()
    {
        LinkClick list{QString(),
                       QStringLiteral("copylist:Serial"),
                       m_root + "page.htm",
                       {{"other", "no"}, {"SERIAL", "BBB-123"}}};
        QVERIFY(m_handler->HandleLinkClick(list, false, QString(), nullptr));
        QCOMPARE(m_calls, (QStringList{"clipboard BBB-123", u"status Серийный номер скопирован"_qs}));

        m_calls.clear();
        list.lists = {{"other", "no"}};
        QVERIFY(m_handler->HandleLinkClick(list, false, QString(), nullptr));
        QVERIFY(m_calls.isEmpty());
    }

    void copyPageFiles_copiesThePageAndItsFilesFolder_fromDiskOrPack_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("copied");
        QTest::newRow("disk") << "disk.htm" << QStringList{"disk.htm", "disk.files/pic.gif", "disk.files/sub/deep.css"};
        QTest::newRow("pack") << "packed.htm"
                              << QStringList{"packed.htm", "packed.files/style.css", "packed.files/img/a.gif"};
    }

    void copyPageFiles_copiesThePageAndItsFilesFolder_fromDiskOrPack()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, copied);
        m_pathFolder = m_dir.path() + "/copy-" + QTest::currentDataTag() + "/";
        m_handler->CopyPageFiles(m_root + page);
        for (const QString& file : copied)
            QVERIFY2(QFile::exists(m_pathFolder + file), qPrintable(file));
        QCOMPARE(m_calls, QStringList{u"status Файл скопирован"_qs});
    }

    void copyPageFiles_saysSoWhenThePageCannotBeCopied()
    {
        m_pathFolder = m_dir.path() + "/copy-missing/";
        m_handler->CopyPageFiles(m_root + "missing.htm");
        QCOMPARE(m_calls, QStringList{u"status Файл не скопирован"_qs});

        // A target folder that cannot be made: a file stands in its way.
        writeTestFile(m_dir.path() + "/in-the-way");
        m_calls.clear();
        m_pathFolder = m_dir.path() + "/in-the-way/sub/";
        m_handler->CopyPageFiles(m_root + "packed.htm");
        QCOMPARE(m_calls, QStringList{u"status Файл не скопирован"_qs});
    }

    void copyPageFiles_withoutAPathField_saysSo()
    {
        m_pathFolder.clear();
        m_handler->CopyPageFiles(m_root + "packed.htm");
        QCOMPARE(m_calls, QStringList{u"status Файл не скопирован: не задана папка для копирования"_qs});
    }

    // A title whose program lives in a "run" folder below the content: the pack's paths are
    // relative to the content folder, not to the program's.
    void copyPageFiles_runFolderLayout_copiesThePackedFilesFolder()
    {
        const QString content = m_dir.path() + "/cd/";
        PackWriter writer;
        writer.addFile(QStringLiteral("html/runpage.htm"), "<html>run</html>");
        writer.addFile(QStringLiteral("html/runpage.files/pic.gif"), "GIF89a");
        writer.addFile(QStringLiteral("html/runpage.files/css/s.css"), "p {}");
        writer.addFile(QStringLiteral("html/other.files/no.gif"), "GIF89a");
        writeTestFile(content + "run/interface.dat");
        writer.write(content + "run/interface.dat");
        AppContext context(StartupValues::forContentFolder(content + "run"));
        QCOMPARE(context.values.contentDir, QDir(content).absolutePath() + "/");
        QVERIFY(context.pack.OpenPack(context.values.programDir + "interface.dat"));
        context.pack.SetPackBase(context.values.contentDir); // as the program opens it
        TLinkHandler handler(context, recordingServices());

        m_pathFolder = m_dir.path() + "/copy-run/";
        handler.CopyPageFiles(context.values.contentDir + "html/runpage.htm");
        QCOMPARE(readFile(m_pathFolder + "runpage.htm"), QByteArray("<html>run</html>"));
        QCOMPARE(readFile(m_pathFolder + "runpage.files/pic.gif"), QByteArray("GIF89a"));
        QCOMPARE(readFile(m_pathFolder + "runpage.files/css/s.css"), QByteArray("p {}"));
        QVERIFY(!QFileInfo::exists(m_pathFolder + "other.files"));
        QVERIFY(!QFileInfo::exists(m_pathFolder + "no.gif"));
        QCOMPARE(m_calls, QStringList{u"status Файл скопирован"_qs});
    }

    void archiveListing_unpacksForAMember_andLeavesListingPagesToTheEngine()
    {
        const QString listing = m_dir.path() + "/Tmp/as_list.htm";
        m_members = {m_dir.path() + "/Tmp/Member.htm"};
        QVERIFY(click("member.htm", QString(), true, listing));
        QCOMPARE(m_calls, (QStringList{"extract", "show " + m_dir.path() + "/Tmp/Member.htm"}));
        m_calls.clear();
        QVERIFY(!click("as_list2.htm", QString(), true, listing));
        QCOMPARE(m_calls, QStringList{"extract"});
        m_calls.clear();
        QVERIFY(!click("#top", QString(), true, listing));
        QVERIFY(m_calls.isEmpty());
    }

private:
    LinkServices recordingServices()
    {
        LinkServices s;
        s.pathFolder = [this] { return m_pathFolder; };
        s.showStatus = [this](const QString& text) { m_calls << "status " + text; };
        s.syncTree = [this](const QString& page) { m_calls << "tree " + page; };
        s.showArchive = [this](const QString& a, const QString& from) { m_calls << "archive " + a + " from " + from; };
        s.extractArchive = [this] {
            m_calls << "extract";
            for (const QString& member : std::as_const(m_members))
                writeTestFile(member);
        };
        s.playClip = [this](const QString& file) { m_calls << "clip " + file; };
        s.printFile = [this](const QString& file) { m_calls << "print " + file; };
        s.showPage = [this](const QString& page) { m_calls << "show " + page; };
        s.startCopy = [this](const QString& file) { m_calls << "copy " + file; };
        s.openUrl = [this](const QUrl& url) {
            m_calls << "url " + url.toString();
            return m_desktopOpens;
        };
        s.startProgram = [this](const QString& program) { m_calls << "program " + program; };
        s.saveFileName = [this](const QString& folder, const QString& name) {
            m_calls << "save in " + folder + " as " + name;
            return m_saveAnswers.isEmpty() ? QString() : m_saveAnswers.takeFirst();
        };
        s.setClipboard = [this](const QString& text) { m_calls << "clipboard " + text; };
        return s;
    }

    bool click(const QString& link, const QString& target = QString(), bool archive = false,
               const QString& document = QString())
    {
        const LinkClick c{target, link, document.isEmpty() ? m_root + "index.htm" : document, {}};
        return m_handler->HandleLinkClick(c, archive, m_root + "page.htm",
                                          [this](const QString& path) { m_visited << path; });
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    QString m_root;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<TLinkHandler> m_handler;
    QStringList m_calls;
    QStringList m_visited;
    QStringList m_saveAnswers;
    QStringList m_members; // what unpacking the listed archive writes
    QString m_pathFolder;
    bool m_desktopOpens = true; // whether a program of the desktop takes what openUrl is given
};

QTEST_GUILESS_MAIN(TestLinkHandler)
#include "tst_linkhandler.moc"
