// The program started as a reader starts it, on a title whose first screen has an HTML pane: the
// pane shows at start, and the first screen's switch commands (here one that puts another page
// into the pane) act on it. The window tests join the components by hand; this one does not.

#include "packwriter.h"
#include "programenv.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "testpictures.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QColor kStartColour(255, 0, 255); // the pane's start page
const QColor kSwitchColour(0, 255, 0);  // the page the first screen's switch puts into the pane
const QRect kPane(20, 20, 300, 200);    // vx=20; vy=20; vw=320; vh=220
// On the reading screen (the second) the pane fills the document panel, from (33, 90) to the edge
// of this title's window, beside the place of the contents tree.
const QRect kReadingPane(210, 100, 180, 180);

QByteArray colourPage(const QColor& colour)
{
    return QStringLiteral("<html><head><title>page</title></head><body style='margin:0;background:%1'></body></html>")
        .arg(colour.name())
        .toLatin1();
}

int countPixels(const QImage& image, const QRect& rect, const QColor& colour)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.pixelColor(x, y) == colour;
    }
    return count;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_content.isValid() && m_runtime.isValid()); }

    void firstScreenPane_showsAtStart()
    {
        makeTitle(QStringLiteral(u"панель на первом экране"), {});
        const QImage shot = screenshot();
        QCOMPARE(shot.size(), QSize(400, 300));
        QVERIFY2(countPixels(shot, kPane, kStartColour) > kPane.width() * kPane.height() * 9 / 10,
                 qPrintable(QString::number(countPixels(shot, kPane, kStartColour))));
        // Only the pane: the background around it is the screen's.
        QCOMPARE(shot.pixelColor(350, 250), QColor(Qt::darkGray));
    }

    void firstScreenSwitchCommands_actOnThePane()
    {
        makeTitle(QStringLiteral(u"переключатель на первом экране"),
                  {"switchgrp 1 vx=340;vy=10;fn1=s1.bmp;fn2=s2.bmp;fn3=s3.bmp;fn4=s4.bmp;state=on;store=off;group=1",
                   "go=html1=second.htm;hint=;wav=no"});
        const QImage shot = screenshot();
        QVERIFY2(countPixels(shot, kPane, kSwitchColour) > kPane.width() * kPane.height() * 9 / 10,
                 qPrintable(QString::number(countPixels(shot, kPane, kSwitchColour))));
    }

    // Each command of a scripted run waits for the page the one before asked for: "back" after
    // "html1=" returns to the start page, instead of beeping at an empty history before the
    // second page has come.
    void scriptedCommands_waitForPages()
    {
        makeTitle(QStringLiteral(u"команды по очереди"), {});
        const QImage shot = screenshot({"--command", "html1=second.htm", "--command", "back"});
        QVERIFY2(countPixels(shot, kPane, kStartColour) > kPane.width() * kPane.height() * 9 / 10,
                 qPrintable(QString::number(countPixels(shot, kPane, kSwitchColour))));
        const QImage forward =
            screenshot({"--command", "html1=second.htm", "--command", "back", "--command", "forward"});
        QVERIFY2(countPixels(forward, kPane, kSwitchColour) > kPane.width() * kPane.height() * 9 / 10,
                 qPrintable(QString::number(countPixels(forward, kPane, kStartColour))));
    }

    // A start screen without a pane, music, clip or archive loads none of the libraries those need:
    // the web engine, the media player and the archive library come when they are first used.
    void startScreen_loadsOnlyWhatItShows()
    {
        QTemporaryDir content;
        ContainerWriter kel;
        kel.add("Struct.cfs", encodeScript({u"title=только окно"_qs, "_screen=fon1.bmp"}));
        kel.add("fon1.bmp", testBitmap({400, 300}, Qt::darkGray));
        kel.write(content.filePath("Kel.dhl"));
        QProcess program;
        QProcessEnvironment env = programEnvironment(m_runtime.path());
        env.insert("LD_DEBUG", "files");
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VELBROOK_APP),
                      {"--content", content.path(), "--screenshot", m_runtime.filePath("bare.png"), "--after", "0"});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        const QByteArray loaded = program.readAllStandardError();
        QVERIFY2(loaded.contains("file=libQt6Widgets"), "LD_DEBUG=files said nothing of the libraries loaded");
        for (const char* library : {"libarchive", "libmpv", "libQt6WebEngine", "libvelbrook-engine"})
            QVERIFY2(!loaded.contains(QByteArray(QByteArray("file=") + library)), library);
    }

    // The page the reading screen (the second) showed at the end of a run is there again the first
    // time it shows in the next run, unless the command line names a page for it.
    void lastPageRead_comesBackNextStart_unlessTheCommandLineNamesOne()
    {
        makeTitle(QStringLiteral(u"страница прошлого раза"), {}, 2);
        const auto fills = [](const QImage& shot, const QColor& colour) {
            return countPixels(shot, kReadingPane, colour) > kReadingPane.width() * kReadingPane.height() * 9 / 10;
        };
        const QStringList plain{"--command", "2", "--command", "tophtml"};
        // This title has no contents tree to show the page of a screen command: "html1=" names it.
        QVERIFY(fills(screenshot({"--command", "2", "--command", "html1=second.htm"}), kSwitchColour));
        QVERIFY2(fills(screenshot(plain), kSwitchColour), "the reading screen did not continue at the last page");
        QVERIFY2(fills(screenshot({"--command", "screen2=start.htm", "--command", "tophtml"}), kStartColour),
                 "the page the command line names was not shown");
        QVERIFY(fills(screenshot(plain), kStartColour));
    }

private:
    // A title whose pane (start.htm) stands on screen paneScreen, counted from 1. A screen's number
    // is the first number of its line: screen N has the picture "fonN.bmp".
    void makeTitle(const QString& title, const QStringList& more, int paneScreen = 1)
    {
        QStringList script{"title=" + title};
        ContainerWriter kel;
        for (int screen = 1; screen <= paneScreen; ++screen) {
            script << QStringLiteral("_screen=fon%1.bmp").arg(screen);
            kel.add(QStringLiteral("fon%1.bmp").arg(screen), testBitmap({400, 300}, Qt::darkGray));
        }
        script << QStringLiteral("_html %1 vx=20;vy=20;vw=320;vh=220;fn=start.htm;number=1").arg(paneScreen);
        script += more;
        m_pane = paneScreen == 2 ? kReadingPane : kPane;
        kel.add("Struct.cfs", encodeScript(script));
        for (int i = 1; i <= 4; ++i)
            kel.add(QStringLiteral("s%1.bmp").arg(i), testBitmap({40, 30}, QColor(60 * i, 0, 0)));
        kel.write(m_content.filePath("Kel.dhl"));
        PackWriter pack;
        pack.addFile("start.htm", colourPage(kStartColour));
        pack.addFile("second.htm", colourPage(kSwitchColour));
        pack.write(m_content.filePath("interface.dat"));
    }

    // The window as the program draws it once started; the engine may take long to start on a
    // busy machine, so a second try waits longer.
    QImage screenshot(const QStringList& commands = {})
    {
        const QString shot = m_runtime.filePath("shot.png");
        QImage image;
        for (const int after : {4000, 15000}) {
            QFile::remove(shot);
            QProcess program;
            program.setProcessEnvironment(programEnvironment(m_runtime.path()));
            program.start(QStringLiteral(VELBROOK_APP), QStringList{"--content", m_content.path(), "--screenshot", shot,
                                                                    "--after", QString::number(after)} +
                                                            commands);
            if (!program.waitForFinished(after + 60000)) {
                program.kill();
                program.waitForFinished();
                continue;
            }
            image = QImage(shot);
            if (!image.isNull() && countPixels(image, m_pane, Qt::white) < m_pane.width() * m_pane.height() / 2 &&
                countPixels(image, m_pane, QColor(Qt::darkGray)) < m_pane.width() * m_pane.height() / 2)
                break; // the pane has drawn its page
        }
        return image;
    }

    QTemporaryDir m_content;
    QTemporaryDir m_runtime;
    QRect m_pane = kPane; // where the title's pane shows
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
