// Links in a pane on the real engine, clicked with the mouse as a reader would: a page link with a
// fragment, a link into a named frame, the program's own links ("copy:", "copylist:", a picture
// for another copy, a sound), visited marking, the default font and colours, and the picture
// tooltip. The page's classifier of clicks is held to the program's.

#include "appcontext.h"
#include "contentscheme.h"
#include "htmlframe.h"
#include "linkrules.h"
#include "packwriter.h"
#include "pagescript.h"
#include "settingsstore.h"
#include "testfiles.h"
#include "testpictures.h"

#include <QApplication>
#include <QClipboard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

// Links (given by their attributes) are blocks 40 pixels high from the top of the page, so link i
// is at y = 40 i + 20.
QByteArray linkPage(const QString& title, const QStringList& links, const QByteArray& more = {})
{
    QByteArray html = "<html><head><title>" + title.toUtf8() +
                      "</title><meta charset='utf-8'></head><body style='margin:0;font-size:20px'>\n";
    for (qsizetype i = 0; i < links.size(); ++i)
        html += QStringLiteral("<a id='l%1' style='display:block;height:40px' %2>link %1</a>\n")
                    .arg(i)
                    .arg(links[i])
                    .toUtf8();
    return html + more + "</body></html>";
}

QPoint linkPoint(int index)
{
    return QPoint(20, 40 * index + 20);
}

} // namespace

class TestPaneLinks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        const QString root = m_dir.path() + QStringLiteral("/content/");
        PackWriter writer;
        writer.addFile(
            QStringLiteral("links.htm"),
            linkPage(QStringLiteral("Links"),
                     {"href='page2.htm#part'", "href='copylist:serial'", "href='copy:files/tool.txt'",
                      "href='images/big.bmp' target='_blank'", "href='sounds/beep.wav'",
                      "href='sounds/cancelled.wav' onclick='return false'"},
                     "<select name='Serial'><option>AAA-000</option><option selected>BBB-123</option></select>"
                     "<img id='pic' title='Двигатель' src='images/pic.bmp' style='display:block'>"));
        writer.addFile(QStringLiteral("page2.htm"), "<html><head><title>Page two</title></head><body>"
                                                    "<div style='height:3000px'>top</div><a name='part'>part</a>"
                                                    "<div style='height:3000px'></div></body></html>");
        writer.addFile(QStringLiteral("page3.htm"),
                       "<html><head><title>Page three</title></head><body>3</body></html>");
        writer.addFile(QStringLiteral("frames.htm"), "<html><head><title>Frames</title></head>"
                                                     "<frameset cols='200,*'><frame name='menu' src='menu.htm'>"
                                                     "<frame name='main' src='page2.htm'></frameset></html>");
        writer.addFile(QStringLiteral("menu.htm"),
                       linkPage(QStringLiteral("Menu"), {"href='page3.htm' target='main'"}));
        writer.addFile(QStringLiteral("styled.htm"), "<html><head><title>Styled</title></head><body>"
                                                     "<p id='plain'>plain</p><p id='own' style='color:#00ff00'>own</p>"
                                                     "<a id='link' href='page4.htm'>link</a></body></html>");
        writer.addFile(QStringLiteral("images/big.bmp"), testBitmap(QSize(40, 30), Qt::red));
        writer.addFile(QStringLiteral("images/pic.bmp"), testBitmap(QSize(120, 80), Qt::blue));
        writeTestFile(root + "files/tool.txt", "tool");
        writer.write(root + "interface.dat");

        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(root));
        QVERIFY(m_context->pack.OpenPack(root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.programDir);
        m_root = m_context->values.programDir;
        m_pathFolder = m_dir.path() + QStringLiteral("/saved/");

        m_window.resize(780, 600);
        m_panel = new QWidget(&m_window);
        m_panel->setGeometry(33, 90, 673, 421);
        m_frame = makeFrame();
        m_window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m_window));
        m_frame->ShowScreenPane();
        waitForPage(QStringLiteral("Links"));
    }

    void pageClassifier_agreesWithTheProgram_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("archive");
        QTest::addColumn<int>("rule");
        const auto row = [](const char* name, const char* target, const char* link, bool archive, LinkRule rule) {
            QTest::newRow(name) << QString::fromUtf8(target) << QString::fromUtf8(link) << archive << int(rule);
        };
        row("blank picture", "_Blank", "images/big.bmp", false, LinkRule::NewCopy);
        row("web", "", "HTTP://example.com", false, LinkRule::Shell);
        row("secure web", "", "https://example.com/page.html", false, LinkRule::Shell);
        row("file transfer", "", "ftp://example.com/tools.zip", false, LinkRule::Shell);
        row("page on a drive", "", "C:\\Book\\Glava1.HTM#p", false, LinkRule::ShowPage);
        row("mail", "", "mailto:x@y.z", false, LinkRule::Shell);
        row("print", "", "printhtml:page2.htm", false, LinkRule::Print);
        row("copy", "", "copy:files/tool.txt", false, LinkRule::CopyFile);
        row("copy list", "", "copylist:serial", false, LinkRule::CopyList);
        row("page with fragment", "", "page2.htm#part", false, LinkRule::FollowSync);
        row("page in a frame", "main", "Page3.HTML", false, LinkRule::FollowSync);
        row("fragment", "", "#top", false, LinkRule::FollowSync);
        row("picture", "", "images\\pic.JPEG", false, LinkRule::Follow);
        row("text", "", "readme.txt", false, LinkRule::Follow);
        row("empty link", "", "", false, LinkRule::FollowSync);
        row("archive", "", "files/instr.rar", false, LinkRule::FileAction);
        row("program on a drive", "", "D:\\Soft\\Setup.exe", false, LinkRule::FileAction);
        row("no extension", "", "files/readme", false, LinkRule::FileAction);
        row("dotted folder", "", "v1.2/readme", false, LinkRule::FileAction);
        row("script", "", "javascript:void(0)", false, LinkRule::Follow);
        row("archive member", "", "docs/member.htm", true, LinkRule::ShowPage);
        row("listing page", "", "as_list2.htm", true, LinkRule::Follow);
        row("listing fragment", "", "#top", true, LinkRule::Follow);
        row("member program", "", "setup.exe", true, LinkRule::FileAction);
        row("up and over", "", "../Dop/./Pusk.htm#Zima", false, LinkRule::FollowSync);
        row("above the root", "", "../../../../../../../x.htm", false, LinkRule::FollowSync);
    }

    void pageClassifier_agreesWithTheProgram()
    {
        QFETCH(QString, target);
        QFETCH(QString, link);
        QFETCH(bool, archive);
        QFETCH(int, rule);
        const QString document = m_root + QStringLiteral("links.htm");
        const LinkRule program = classifyLink(target, link, linkFullPath(document, link), archive);
        QCOMPARE(int(program), rule);
        const auto quoted = [](const QString& text) {
            return QStringLiteral("'%1'").arg(QString(text).replace(QLatin1String("\\"), QLatin1String("\\\\")));
        };
        const QVariant page = evaluate(classifyLinkScript() + QStringLiteral(".classify(%1, %2, %3, %4);")
                                                                  .arg(quoted(target), quoted(link),
                                                                       archive ? "true" : "false", quoted(document)));
        QCOMPARE(page.toBool(), linkIsHandled(program));
        const QVariant path = evaluate(classifyLinkScript() +
                                       QStringLiteral(".linkFullPath(%1, %2);").arg(quoted(document), quoted(link)));
        QCOMPARE(path.toString(), linkFullPath(document, link));
    }

    void pageLinkWithFragment_loadsThePage_andTheTreeFollows()
    {
        clickLink(0);
        waitForPage(QStringLiteral("Page two"));
        QCOMPARE(m_calls, QStringList{"tree " + m_root + "page2.htm"});
        QCOMPARE(m_frame->history(), (QStringList{m_root + "page2.htm", m_root + "links.htm"}));
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(QStringLiteral("window.scrollY")).toInt() > 1000, 10000);

        // Back to the first page by the history: no new entry.
        m_frame->ShowPage(m_root + "LINKS.HTM");
        waitForPage(QStringLiteral("Links"));
        QCOMPARE(m_frame->history().size(), 2);
        QCOMPARE(m_frame->historyIndex(), 1);
    }

    void programLinks_actWithoutLeavingThePage()
    {
        m_calls.clear();
        QGuiApplication::clipboard()->clear();
        clickLink(1);
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), QStringLiteral("BBB-123"), 10000);
        clickLink(2);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_pathFolder + "tool.txt"), 10000);
        clickLink(3);
        clickLink(5); // the page cancels this one itself
        clickLink(4);
        QTRY_COMPARE_WITH_TIMEOUT(m_calls.size(), 4, 10000);
        QCOMPARE(m_calls, (QStringList{u"status Серийный номер скопирован"_qs, u"status Файл скопирован"_qs,
                                       "copy " + m_root + "images/big.bmp", "clip " + m_root + "sounds/beep.wav"}));
        QTest::qWait(300);
        QCOMPARE(m_frame->currentView()->title(), QStringLiteral("Links"));

        // Each of them is marked visited in the page.
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(QStringLiteral("[1, 2, 3, 4, 0].map(i => document.getElementById('l' + i).classList.contains("
                                    "'velbrook-visited')).join()"))
                .toString(),
            QStringLiteral("true,true,true,true,true"), 10000);
        QCOMPARE(m_frame->visitedLinks().size(), 5);
    }

    void linkIntoANamedFrame_showsThereAndBecomesTheActiveDocument()
    {
        m_frame->ShowPage(m_root + "frames.htm");
        waitForPage(QStringLiteral("Frames"));
        QTest::qWait(500); // the frames render
        m_calls.clear();
        clickLink(0); // the menu frame's link
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->activeTitle(), QStringLiteral("Page three"), 10000);
        QCOMPARE(m_frame->activeFile(), m_root + "page3.htm");
        QCOMPARE(m_frame->currentFile(), m_root + "frames.htm");
        QCOMPARE(m_shown.last(), QStringLiteral("Page three"));
        QCOMPARE(m_calls, QStringList{"tree " + m_root + "page3.htm"});
    }

    void pageWithAFragment_showsAtItsAnchor()
    {
        m_frame->ShowPage(m_root + "page2.htm#part");
        waitForPage(QStringLiteral("Page two"));
        QVERIFY(m_frame->currentView()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(QStringLiteral("window.scrollY")).toInt() > 1000, 10000);
    }

    void defaultFontAndColours_giveWayToThePagesOwn()
    {
        PaneFonts fonts;
        fonts.name = QStringLiteral("DejaVu Serif");
        fonts.color = 0x0000FF;     // red, as Windows writes it
        fonts.linkColor = 0xFF0000; // blue
        fonts.size = 15;
        m_frame->setFonts(fonts);
        m_frame->ShowPage(m_root + "styled.htm");
        waitForPage(QStringLiteral("Styled"));
        const QString style = QStringLiteral("(id, p) => getComputedStyle(document.getElementById(id))[p]");
        QTRY_COMPARE_WITH_TIMEOUT(evaluate("(" + style + ")('plain', 'color')").toString(),
                                  QStringLiteral("rgb(255, 0, 0)"), 10000);
        QCOMPARE(evaluate("(" + style + ")('own', 'color')").toString(), QStringLiteral("rgb(0, 255, 0)"));
        QCOMPARE(evaluate("(" + style + ")('link', 'color')").toString(), QStringLiteral("rgb(0, 0, 255)"));
        QCOMPARE(evaluate("(" + style + ")('link', 'textDecorationLine')").toString(), QStringLiteral("none"));
        QCOMPARE(evaluate("(" + style + ")('plain', 'fontSize')").toString(), QStringLiteral("20px"));
        QVERIFY(evaluate("(" + style + ")('plain', 'fontFamily')").toString().contains("DejaVu Serif"));
        m_frame->setFonts(PaneFonts());
    }

    void pictureTitle_showsAsATooltip()
    {
        m_frame->ShowPage(m_root + "links.htm");
        waitForPage(QStringLiteral("Links"));
        const QRect picture =
            rectOf(evaluate(QStringLiteral("(() => { const r = document.getElementById('pic').getBoundingClientRect();"
                                           " return [r.x, r.y, r.width, r.height]; })()")));
        QVERIFY(picture.isValid());
        QWidget* surface = m_frame->currentView()->focusProxy();
        QTest::mouseMove(surface, QPoint(5, 5));
        QTest::mouseMove(surface, picture.center());
        QTRY_VERIFY_WITH_TIMEOUT(m_frame->tooltipShown(), 10000);
        QCOMPARE(m_frame->tooltipText(), QStringLiteral("Двигатель"));
        QTest::mouseMove(surface, QPoint(picture.right() + 100, picture.center().y()));
        QTRY_VERIFY_WITH_TIMEOUT(!m_frame->tooltipShown(), 10000);
    }

    void fillClient_coversThePanel_andRestoreBoundsGivesThePlaceBack()
    {
        QWebEngineView* view = m_frame->currentView();
        const QRect placed = view->geometry();
        m_frame->setTreeWidth(165);
        QCOMPARE(view->geometry(), QRect(165, 0, 673 - 165, 421));
        m_frame->FillClient();
        QCOMPARE(view->geometry(), m_panel->rect());
        m_panel->resize(700, 500); // the plain window grows
        QCOMPARE(view->geometry(), QRect(0, 0, 700, 500));
        m_panel->resize(673, 421);
        m_frame->RestoreBounds();
        QCOMPARE(view->geometry(), QRect(165, 0, 673 - 165, 421));
        m_frame->setTreeWidth(0);
        QCOMPARE(view->geometry(), placed);
    }

    void fontSettings_surviveARestart_andBadValuesTakeTheirDefaults()
    {
        m_context->values.appTitle = QStringLiteral("Pane links test");
        SettingsStore& settings = m_context->openSettings();
        settings.writeString(QStringLiteral("FontName"), QString());
        settings.writeString(QStringLiteral("FontSize"), QStringLiteral("big"));
        settings.writeInt(QStringLiteral("FontColor"), 255);
        settings.remove(QStringLiteral("HotSpotColor"));
        settings.remove(QStringLiteral("Background"));
        {
            const std::unique_ptr<THtmlFrame> first = makeFrame();
            PaneFonts expected;
            expected.color = 255;
            QCOMPARE(first->fonts().name, expected.name);
            QCOMPARE(first->fonts().size, expected.size);
            QCOMPARE(first->fonts().color, expected.color);
            QCOMPARE(first->fonts().linkColor, expected.linkColor);
            QCOMPARE(first->fonts().background, expected.background);
            expected.name = QStringLiteral("Times New Roman");
            expected.size = 12;
            expected.background = 0xE1FFFF;
            first->setFonts(expected);
            first->saveSettings(); // the ordered end keeps them, not the panes going away
        }
        const std::unique_ptr<THtmlFrame> second = makeFrame();
        QCOMPARE(second->fonts().name, QStringLiteral("Times New Roman"));
        QCOMPARE(second->fonts().size, 12);
        QCOMPARE(second->fonts().color, 255);
        QCOMPARE(second->fonts().background, 0xE1FFFF);
        m_context->settings.close();
    }

    void cleanupTestCase() { m_frame.reset(); }

private:
    std::unique_ptr<THtmlFrame> makeFrame()
    {
        TDynamicHtmlArray elements;
        elements.append(RHTML{33, 90, 706, 511, m_root + "links.htm", 1, 1});
        THtmlFrame::Callbacks callbacks;
        callbacks.currentScreen = [] { return 1; };
        callbacks.pageChanged = [this](const QString&, const QString& title) { m_shown << title; };
        LinkServices services;
        services.pathFolder = [this] { return m_pathFolder; };
        services.showStatus = [this](const QString& text) { m_calls << "status " + text; };
        services.syncTree = [this](const QString& page) { m_calls << "tree " + page; };
        services.playClip = [this](const QString& file) { m_calls << "clip " + file; };
        services.startCopy = [this](const QString& file) { m_calls << "copy " + file; };
        services.openUrl = [this](const QUrl& url) {
            m_calls << "url " + url.toString();
            return true;
        };
        services.startProgram = [this](const QString& program) { m_calls << "program " + program; };
        services.saveFileName = [](const QString&, const QString&) { return QString(); };
        fillDesktopLinkServices(services, &m_window, *m_context); // the clipboard
        return std::make_unique<THtmlFrame>(
            &m_window, m_panel, *m_context, elements,
            [this] { return m_profile ? m_profile : m_profile = makeContentProfile(m_context->pack, this); }, callbacks,
            services);
    }

    void waitForPage(const QString& title)
    {
        QTRY_COMPARE_WITH_TIMEOUT(m_shown.value(m_shown.size() - 1), title, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(m_frame->currentView()->focusProxy(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(QStringLiteral("document.readyState")).toString(),
                                  QStringLiteral("complete"), 10000);
    }

    QVariant evaluate(const QString& script) { return runPageScript(*m_frame->currentView()->page(), script); }

    static QRect rectOf(const QVariant& value)
    {
        const QVariantList r = value.toList();
        return r.size() == 4 ? QRect(r[0].toInt(), r[1].toInt(), r[2].toInt(), r[3].toInt()) : QRect();
    }

    void clickLink(int index)
    {
        QWidget* surface = m_frame->currentView()->focusProxy();
        QVERIFY(surface);
        QTest::mouseClick(surface, Qt::LeftButton, {}, linkPoint(index));
    }

    QTemporaryDir m_dir;
    QString m_root;
    QString m_pathFolder;
    std::unique_ptr<AppContext> m_context;
    QWidget m_window;
    QWidget* m_panel = nullptr;
    QWebEngineProfile* m_profile = nullptr;
    std::unique_ptr<THtmlFrame> m_frame;
    QStringList m_shown;
    QStringList m_calls;
};

int main(int argc, char* argv[])
{
    registerContentScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestPaneLinks test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_panelinks.moc"
