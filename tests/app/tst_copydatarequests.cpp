// Requests of other programs to the skinned window: a page to show and a file to print stay inside
// the manual's folder (and, for a file to print, the user's temporary folder); the file deleted
// after printing is the one printed, and only once it was. The program is run as the companion
// program meets it, through velbrook-tool send.

#include "copydatareceiver.h"
#include "programenv.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "testfiles.h"
#include "testpictures.h"
#include "toolrun.h"
#include "windowdirectory.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kTitle = QStringLiteral(u"руководство с печатью");

// A title whose first screen has a pane, so that it takes requests.
void makeTitle(const QString& folder)
{
    ContainerWriter kel;
    kel.add("Struct.cfs", encodeScript({"title=" + kTitle, "_screen=fon1.bmp",
                                        "_html=1; vx=0; vy=0; vw=200; vh=120; fn=page.htm; number=1"}));
    kel.add("fon1.bmp", testBitmap({200, 120}, Qt::darkCyan));
    kel.write(folder + "/Kel.dhl");
    writeTestFile(folder + "/page.htm", "<html><head><title>page</title></head><body>page</body></html>");
}

ToolRun send(const QString& kind, const QString& string)
{
    return runTool({QStringLiteral("send"), kTitle, kind, string});
}

} // namespace

class TestCopyDataRequests : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_root = m_dir.path() + QLatin1Char('/');
        m_book = m_root + "book/";
        m_temp = m_root + "tmp/";
        QVERIFY(QDir().mkpath(m_book) && QDir().mkpath(m_temp));
        qputenv("VELBROOK_RUNTIME_DIR", QFile::encodeName(m_root + "runtime"));
        makeTitle(m_book);
    }

    void acceptedPrintFile_onlyRegularFilesOfTheTwoFolders_data()
    {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("accepted"); // relative to the test's folder; empty: refused
        QTest::newRow("a file of the manual, relative") << "page.htm"
                                                        << "book/page.htm";
        QTest::newRow("a file of the manual, absolute") << "@book/page.htm"
                                                        << "book/page.htm";
        QTest::newRow("a file of the temporary folder") << "@tmp/print.htm"
                                                        << "tmp/print.htm";
        QTest::newRow("Windows separators") << "@tmp\\print.htm"
                                            << "tmp/print.htm";
        QTest::newRow("climbing out of the manual") << "../victim.htm"
                                                    << "";
        QTest::newRow("climbing out, Windows separators") << "..\\victim.htm"
                                                          << "";
        QTest::newRow("down and out again") << "@tmp/../victim.htm"
                                            << "";
        QTest::newRow("a file of neither folder") << "@victim.htm"
                                                  << "";
        QTest::newRow("a link in the temporary folder to a file outside") << "@tmp/link.htm"
                                                                          << "";
        QTest::newRow("a link to a file of the manual") << "@tmp/inner-link.htm"
                                                        << "";
        QTest::newRow("a folder") << "@tmp/folder.htm"
                                  << "";
        QTest::newRow("a missing file") << "@tmp/absent.htm"
                                        << "";
        QTest::newRow("a device") << "/dev/zero"
                                  << "";
        QTest::newRow("a drive letter") << "c:\\victim.htm"
                                        << "";
        QTest::newRow("nothing") << ""
                                 << "";
    }

    void acceptedPrintFile_onlyRegularFilesOfTheTwoFolders()
    {
        QFETCH(QString, requested);
        QFETCH(QString, accepted);
        writeTestFile(m_temp + "print.htm", "<p>print</p>");
        writeTestFile(m_root + "victim.htm", "<p>the user's</p>");
        QFile::link(m_root + "victim.htm", m_temp + "link.htm");
        QFile::link(m_book + "page.htm", m_temp + "inner-link.htm");
        QDir().mkpath(m_temp + "folder.htm");
        if (requested.startsWith(QLatin1Char('@')))
            requested = m_root + requested.mid(1);
        const QString canonicalRoot = QFileInfo(m_root).canonicalFilePath() + QLatin1Char('/');
        QCOMPARE(acceptedPrintFile(requested, m_book, m_temp),
                 accepted.isEmpty() ? QString() : canonicalRoot + accepted);
    }

    void acceptedPage_staysInTheManual_data()
    {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("page"); // below the manual's folder; "-": refused
        QTest::newRow("relative") << "html\\glava1.htm#top"
                                  << "html/glava1.htm#top";
        QTest::newRow("absolute inside") << "@html/glava1.htm"
                                         << "html/glava1.htm";
        QTest::newRow("relative, climbing out") << "..\\..\\outside.htm"
                                                << "-";
        QTest::newRow("absolute outside") << "/etc/passwd"
                                          << "-";
        QTest::newRow("absolute, climbing out") << "@html/../../outside.htm"
                                                << "-";
        QTest::newRow("a drive letter") << "d:\\outside.htm"
                                        << "-";
    }

    void acceptedPage_staysInTheManual()
    {
        QFETCH(QString, requested);
        QFETCH(QString, page);
        if (requested.startsWith(QLatin1Char('@')))
            requested = m_book + requested.mid(1);
        QCOMPARE(acceptedPage(requested, m_book), page == QLatin1String("-") ? QString() : m_book + page);
    }

    // The window prints only what it may, deletes what it printed once it was printed, and shows
    // only pages of the manual.
    void runningWindow_refusesFilesAndPagesOutside_printsAndDeletesTheHandedFile()
    {
        const QString victim = m_root + "victim.htm";
        const QString linked = m_temp + "link.htm";
        writeTestFile(victim, "<p>the user's</p>");
        QFile::remove(linked);
        QVERIFY(QFile::link(victim, linked));
        const QString handed = m_temp + "handed.htm";
        writeTestFile(handed, "<html><body><p>from the companion</p></body></html>");
        const QString pdf = m_root + "printed.pdf";

        QProcessEnvironment env = programEnvironment(m_root + "runtime");
        env.insert("TMPDIR", m_temp);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VELBROOK_APP), {"--content", m_book, "--print-to", pdf});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!WindowDirectory::windows(kTitle).isEmpty(), 30000);

        // Pages outside the manual are not shown; a page of it is.
        for (const QString& outside : {QStringLiteral("../victim.htm"), victim}) {
            const ToolRun run = send("0", outside);
            QCOMPARE(run.out, QByteArray("none\n"));
            QCOMPARE(run.exitCode, 1);
        }
        QCOMPARE(send("0", "page.htm").out, QByteArray("shown\n"));

        // Files that are not the manual's or the temporary folder's are neither printed nor
        // deleted, nor is a link followed to one.
        for (const QString& refused : {QStringLiteral("../victim.htm"), victim, linked, m_temp}) {
            const ToolRun run = send("1", refused);
            QCOMPARE(run.out, QByteArray("refused\n"));
            QCOMPARE(run.exitCode, 1);
        }
        QVERIFY(QFileInfo(victim).isFile());
        QVERIFY(QFileInfo(linked).isSymLink());
        QVERIFY(QFileInfo(m_temp).isDir());
        QVERIFY(!QFile::exists(pdf));

        // The companion's own file: printed, then deleted.
        const ToolRun run = send("1", handed);
        QCOMPARE(run.out, QByteArray("sent\n"));
        QCOMPARE(run.exitCode, 0);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(QFileInfo(pdf).size() > 0);
        QVERIFY(!QFile::exists(handed));
        QVERIFY(QFileInfo(victim).isFile());
    }

private:
    QTemporaryDir m_dir;
    QString m_root;
    QString m_book;
    QString m_temp;
};

QTEST_GUILESS_MAIN(TestCopyDataRequests)
#include "tst_copydatarequests.moc"
