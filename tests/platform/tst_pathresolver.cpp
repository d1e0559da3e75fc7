#include "pathresolver.h"
#include "startupvalues.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestPathResolver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_root = m_dir.path() + QLatin1Char('/');
        writeTestFile(m_root + QStringLiteral(u"Html/Глава/Page.HTM"));
        writeTestFile(m_root + QStringLiteral("Html/index.htm"));
    }

    void contentPathsFindTheFileOnDisk_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("expected");
        QTest::newRow("exact") << QStringLiteral("Html/index.htm") << QStringLiteral("Html/index.htm");
        QTest::newRow("backslashes and case")
            << QStringLiteral(u"HTML\\ГЛАВА\\page.htm") << QStringLiteral(u"Html/Глава/Page.HTM");
        QTest::newRow("cyrillic lower case")
            << QStringLiteral(u"html/глава/PAGE.htm") << QStringLiteral(u"Html/Глава/Page.HTM");
        QTest::newRow("doubled separator") << QStringLiteral("html//INDEX.HTM") << QStringLiteral("Html/index.htm");
        QTest::newRow("folder") << QStringLiteral(u"html\\глава\\") << QStringLiteral(u"Html/Глава/");
    }

    void contentPathsFindTheFileOnDisk()
    {
        QFETCH(QString, relative);
        QFETCH(QString, expected);
        const PathResolver resolver;
        QCOMPARE(resolver.resolve(m_root + relative), m_root + expected);
    }

    void missingPath_keepsTheAskedName()
    {
        const PathResolver resolver;
        const QString asked = m_root + QStringLiteral("html\\nowhere\\x.htm");
        QCOMPARE(resolver.resolve(asked), m_root + QStringLiteral("html/nowhere/x.htm"));
        QVERIFY(!resolver.fileExists(asked));
        QVERIFY(resolver.fileExists(m_root + QStringLiteral("HTML/INDEX.HTM")));
        QVERIFY(!resolver.fileExists(m_root + QStringLiteral("HTML")));
        QVERIFY(resolver.folderExists(m_root + QStringLiteral("HTML")));
    }

    void driveLetters_areReadAgainstTheProgramDrive()
    {
        const PathResolver resolver(m_root);
        QCOMPARE(resolver.toLocal(QStringLiteral("d:\\soft\\x.exe")), m_root + QStringLiteral("soft/x.exe"));
        QCOMPARE(resolver.resolve(QStringLiteral("E:\\HTML\\Index.htm")), m_root + QStringLiteral("Html/index.htm"));
        QCOMPARE(resolver.toLocal(QStringLiteral("html/a.htm")), QStringLiteral("html/a.htm"));
    }

    void newFiles_areSeenAfterAFolderWasListed()
    {
        const PathResolver resolver;
        QVERIFY(!resolver.fileExists(m_root + QStringLiteral("HTML/NEW.HTM")));
        QTest::qWait(20); // a coarse clock must see the folder change
        writeTestFile(m_root + QStringLiteral("Html/New.htm"));
        QVERIFY(resolver.fileExists(m_root + QStringLiteral("HTML/NEW.HTM")));
    }

    void resolveForWrite_keepsTheNewName()
    {
        const PathResolver resolver;
        QCOMPARE(resolver.resolveForWrite(m_root + QStringLiteral(u"HTML/ГЛАВА/Copy.txt")),
                 m_root + QStringLiteral(u"Html/Глава/Copy.txt"));
    }

    void contentDir_dropsTheRunFolderBelowTheDrive_data()
    {
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("contentDir");
        QTest::newRow("run below drive") << "/media/cd/run/"
                                         << "/media/cd/"
                                         << "/media/cd/";
        QTest::newRow("any case") << "/media/cd/Book/RUN/"
                                  << "/media/cd/"
                                  << "/media/cd/Book/";
        QTest::newRow("mount under /run") << "/run/media/u/CD/"
                                          << "/run/media/u/CD/"
                                          << "/run/media/u/CD/";
        QTest::newRow("rerun is no run folder") << "/srv/rerun/"
                                                << "/"
                                                << "/srv/rerun/";
        QTest::newRow("first run folder only") << "/a/run/b/run/"
                                               << "/"
                                               << "/a/b/run/";
        QTest::newRow("no run") << "/home/u/book/"
                                << "/"
                                << "/home/u/book/";
    }

    void contentDir_dropsTheRunFolderBelowTheDrive()
    {
        QFETCH(QString, programDir);
        QFETCH(QString, drive);
        QFETCH(QString, contentDir);
        QCOMPARE(contentDirOf(programDir, drive), contentDir);
    }

    void startupValues_endWithSlashes()
    {
        const StartupValues values = StartupValues::forContentFolder(m_dir.path());
        QCOMPARE(values.programDir, m_root);
        for (const QString& folder :
             {values.programDrive, values.contentDir, values.systemDir, values.windowsDir, values.tempDir})
            QVERIFY2(folder.endsWith(QLatin1Char('/')), qPrintable(folder));
        QVERIFY(values.programDir.startsWith(values.programDrive));
    }

    // Paths from indexes and from other programs' requests never lead out of the content folder.
    void pathsFromContent_stayInsideTheFolder_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("inside");
        QTest::newRow("a page") << "glava1.htm" << true;
        QTest::newRow("a page in a folder, Windows separators") << "t\\brakes.htm#top" << true;
        QTest::newRow("down and up again") << "t/../glava1.htm" << true;
        QTest::newRow("dots in names") << "..glava/x..htm" << true;
        QTest::newRow("parent of the folder") << "../outside.htm" << false;
        QTest::newRow("parent, Windows separators") << "..\\..\\outside.htm" << false;
        QTest::newRow("climbs out after going down") << "t/../../outside.htm" << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("absolute, Windows") << "\\outside.htm" << false;
        QTest::newRow("drive letter") << "d:\\outside.htm" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("only a fragment") << "#top" << false;
        QTest::newRow("dots in the fragment only") << "a.htm#../../x" << true;
    }

    void pathsFromContent_stayInsideTheFolder()
    {
        QFETCH(QString, relative);
        QFETCH(bool, inside);
        QCOMPARE(staysInsideFolder(relative), inside);
    }

    void isWithinFolder_comparesWholeFolderNames()
    {
        QVERIFY(isWithinFolder("/book/a.htm", "/book/"));
        QVERIFY(isWithinFolder("/book/a.htm", "/book"));
        QVERIFY(!isWithinFolder("/bookshelf/a.htm", "/book/"));
        QVERIFY(!isWithinFolder("/book/../etc/passwd", "/book/"));
        QVERIFY(!isWithinFolder("relative/a.htm", "/book/"));
        QVERIFY(isWithinFolder("/book/t/../a.htm#../../x", "/book/"));
        QVERIFY(!isWithinFolder("/book/t/../../a.htm", "/book/"));
    }

private:
    QTemporaryDir m_dir;
    QString m_root;
};

QTEST_GUILESS_MAIN(TestPathResolver)
#include "tst_pathresolver.moc"
