// The HTML panes on the real engine: start pages, the "html" command on the shown screen and on
// another one, and a screen that keeps its page while another shows.

#include "appcontext.h"
#include "contentscheme.h"
#include "htmlframe.h"
#include "packwriter.h"
#include "pagescript.h"
#include "testfiles.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

class TestHtmlFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString root = m_dir.path() + QLatin1Char('/');
        PackWriter writer;
        for (const char* name : {"start", "second", "other"})
            writer.addFile(QStringLiteral("%1.htm").arg(QLatin1String(name)),
                           QStringLiteral("<html><head><title>%1</title></head><body>%1</body></html>")
                               .arg(QLatin1String(name))
                               .toLatin1());
        writer.addFile(QStringLiteral("notes/readme.txt"), "plain text, no title");
        writer.addFile(QStringLiteral("untitled.htm"), "<html><body>no title</body></html>");
        writer.addFile(QStringLiteral("zh.htm"), QStringLiteral("<html><head><meta charset=utf-8><title>zh</title>"
                                                                "</head><body><p>отверстия &mdash; жиклёры. "
                                                                "<b>Карбюратор</b> прост</p></body></html>")
                                                     .toUtf8());
        writer.write(root + "interface.dat");
        writeTestFile(root + "disk.htm", "<html><head><title>disk</title></head></html>");
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(root));
        QVERIFY(m_context->pack.OpenPack(root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.contentDir);
        m_root = m_context->values.programDir;

        m_window.resize(780, 600);
        m_panel = new QWidget(&m_window);
        m_panel->setGeometry(33, 90, 673, 421);
        TDynamicHtmlArray elements;
        elements.append(RHTML{33, 90, 706, 511, m_root + "start.htm", 1, 1});
        elements.append(RHTML{10, 10, 300, 200, m_root + "other.htm", 2, 2});
        THtmlFrame::Callbacks callbacks;
        callbacks.currentScreen = [this] { return m_screen; };
        callbacks.pageChanged = [this](const QString& file, const QString& title) {
            m_shown << title;
            Q_UNUSED(file);
        };
        m_frame = std::make_unique<THtmlFrame>(
            &m_window, m_panel, *m_context, elements,
            [this] { return m_profile ? m_profile : m_profile = makeContentProfile(m_context->pack, this); },
            callbacks);
        m_window.show();
    }

    void startPage_showsOnItsScreen()
    {
        m_screen = 0;
        m_frame->ShowScreenPane();
        QVERIFY(!m_frame->currentView());
        QVERIFY(!m_profile); // nothing started the engine yet
        m_screen = 1;
        m_frame->ShowScreenPane();
        QTRY_COMPARE_WITH_TIMEOUT(m_shown.value(0), QStringLiteral("start"), 30000);
        QCOMPARE(m_frame->currentView()->parentWidget(), m_panel);
    }

    void htmlCommand_onTheShownScreen_andPreloadedOnAnother()
    {
        m_frame->ShowHtmlElement(1, m_root + "DISK.HTM");
        QTRY_COMPARE_WITH_TIMEOUT(m_shown.last(), QStringLiteral("disk"), 30000);
        QCOMPARE(m_frame->history().first(), m_root + "DISK.HTM");

        // Element 2 stands on screen 2: its page loads there without being shown.
        const qsizetype before = m_shown.size();
        m_frame->ShowHtmlElement(2, m_root + "second.htm");
        QTest::qWait(500);
        QCOMPARE(m_shown.size(), before);
        m_screen = 2;
        m_frame->ShowScreenPane();
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->currentView()->title(), QStringLiteral("second"), 30000);
    }

    void returningToAScreen_keepsItsPage()
    {
        m_screen = 1;
        m_frame->ShowScreenPane();
        QCOMPARE(m_frame->currentView()->title(), QStringLiteral("disk"));
        QVERIFY(m_frame->currentView()->isVisible());
    }

    // A document without a title of its own is named by its file, never by its internal address.
    void textFileOrUntitledPage_titleIsTheFileName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        QTest::newRow("text file") << "notes/readme.txt"
                                   << "readme.txt";
        QTest::newRow("untitled page") << "untitled.htm"
                                       << "untitled.htm";
    }

    void textFileOrUntitledPage_titleIsTheFileName()
    {
        QFETCH(QString, file);
        QFETCH(QString, title);
        m_screen = 1;
        m_frame->ShowScreenPane();
        m_frame->ShowHtmlElement(1, m_root + file);
        QTRY_VERIFY_WITH_TIMEOUT(m_frame->currentFile().endsWith(file), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(m_shown.last(), title, 30000);
        QCOMPARE(m_frame->historyTitles().value(m_frame->historyIndex()), title);
        for (const QString& shown : std::as_const(m_shown))
            QVERIFY2(!shown.contains(QLatin1String("velbrook:")), qPrintable(shown));
    }

    // A script's pane as large as its numbers allow (the thesaurus window's own pane): the engine
    // draws a pane of the screen's size at most, and the page shows in it.
    void hugePane_isCutToTheScreen()
    {
        QWidget window;
        window.resize(400, 300);
        TDynamicHtmlArray elements;
        elements.append(RHTML{0, 0, kMaxSkinCoordinate, kMaxSkinCoordinate, m_root + "other.htm", 1, 0});
        THtmlFrame::Callbacks callbacks;
        callbacks.currentScreen = [] { return 0; };
        THtmlFrame frame(
            &window, nullptr, *m_context, elements,
            [this] { return m_profile ? m_profile : m_profile = makeContentProfile(m_context->pack, this); },
            callbacks);
        window.show();
        frame.ShowScreenPane();
        QVERIFY(frame.currentView());
        QTRY_COMPARE_WITH_TIMEOUT(frame.currentView()->title(), QStringLiteral("other"), 30000);
        const QSize screen = window.screen()->geometry().size();
        QVERIFY2(
            frame.currentView()->width() <= screen.width() && frame.currentView()->height() <= screen.height(),
            qPrintable(QStringLiteral("%1 x %2").arg(frame.currentView()->width()).arg(frame.currentView()->height())));
        QTest::qWait(300); // painted at that size
        QVERIFY(frame.currentView()->isVisible());
    }

    // The text looked for in vain on one page, then on the next page after a selection there,
    // is found there (the thesaurus window: a word, then its article with the headword selected).
    // The engine answers "no match" to the first request of such a find.
    void findText_onTheNextPage_afterItsSelection()
    {
        m_screen = 1;
        m_frame->ShowScreenPane();
        const auto show = [this](const QString& page) {
            m_frame->ShowHtmlElement(1, m_root + page + ".htm");
            QTRY_COMPARE_WITH_TIMEOUT(m_frame->currentView()->title(), page, 30000);
            QTRY_VERIFY_WITH_TIMEOUT(!m_frame->isLoading(), 30000);
        };
        show(QStringLiteral("start"));
        QCOMPARE(find(u"жиклёр"_qs), 0);
        show(QStringLiteral("zh"));
        const QVariant selected =
            runPageScript(*m_frame->currentView()->page(),
                          QStringLiteral("(() => { const text = document.querySelector('b').firstChild;"
                                         " const range = document.createRange(); range.selectNodeContents(text);"
                                         " getSelection().removeAllRanges(); getSelection().addRange(range);"
                                         " return getSelection().toString(); })()"));
        QCOMPARE(selected.toString(), u"Карбюратор"_qs);
        QCOMPARE(find(u"жиклёр"_qs), 1);
    }

private:
    // The number of matches the pane's find reports.
    int find(const QString& text)
    {
        int matches = -1;
        m_frame->findText(text, false, [&matches](int found, int) { matches = found; });
        if (!QTest::qWaitFor([&matches] { return matches >= 0; }, 10000))
            return -1;
        return matches;
    }

    QTemporaryDir m_dir;
    QString m_root;
    std::unique_ptr<AppContext> m_context;
    QWidget m_window;
    QWidget* m_panel = nullptr;
    QWebEngineProfile* m_profile = nullptr;
    std::unique_ptr<THtmlFrame> m_frame;
    int m_screen = 0;
    QStringList m_shown;
};

int main(int argc, char* argv[])
{
    registerContentScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestHtmlFrame test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_htmlframe.moc"
