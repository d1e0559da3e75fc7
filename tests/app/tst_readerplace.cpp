// The reader's place in the demo manual, kept as a reader expects: the reading screen comes back
// to the page and place it was left at, back and forward come back to where each page was read, a
// favorite in a frame set keeps its frame's place, the parts of the manual press their switches
// again from a folder named in capitals, and the next start continues at the page last read.
//
// The demo runs from a copy in a folder with capitals ("CDROM"), as a disc may be mounted.

#include "appcomponents.h"
#include "appcontext.h"
#include "controlpopupwindow.h"
#include "enginetestmain.h"
#include "hotarea.h"
#include "htmlfavorite.h"
#include "htmlframe.h"
#include "lazypanes.h"
#include "mainform.h"
#include "pagescript.h"
#include "popupwindow.h"
#include "scriptcodec.h"
#include "searchcomponents.h"
#include "settingskeys.h"
#include "settingsstore.h"
#include "skinscript.h"
#include "textmsg.h"
#include "textscontroller.h"
#include "treescontroller.h"
#include "treeviews.h"

#include <QApplication>
#include <QDirIterator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

namespace {

// The demo's start screen: «Руководство» and the chapter menu; the reading screen: «Медиа»; the
// media screen: «К чтению».
constexpr QPoint kManualButton(60, 425);
constexpr QPoint kMediaButton(690, 535);
constexpr QPoint kReadButton(70, 60);
constexpr int kChapterMenu = 2;

bool copyFolder(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + file.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

} // namespace

class TestReaderPlace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_disc.isValid());
        m_root = m_disc.path() + QStringLiteral("/CDROM/Manual");
        QVERIFY(copyFolder(QStringLiteral(VELBROOK_DEMO_DIR), m_root));
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(m_root));
        const QString root = m_context->values.programDir;
        QVERIFY(root.contains(QLatin1String("/CDROM/")));
        QVERIFY(m_context->pack.OpenPack(root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.contentDir);
        m_context->container.Open(root + "Kel.dhl");
        m_lines = DecodeScript(*m_context->container.Read(QStringLiteral("Struct.cfs")), true);
        m_context->values.appTitle = QStringLiteral("reader place test");
        SettingsStore& settings = m_context->openSettings();
        for (const QString& key : {SettingsKeys::LastPage, SettingsKeys::LastPagePos})
            settings.remove(key);
        for (int i = 0; i < THtmlFavorite::kMaxFavorites; ++i)
            settings.remove(SettingsKeys::favorite(i));
        start();
    }

    void firstStart_opensTheManualAtItsStartPage()
    {
        clickAt(kManualButton);
        QCOMPARE(m_form->currentScreen(), 1);
        waitForTitle(u"Добро пожаловать"_qs);
    }

    // «Медиа» and back with «К чтению»: the page read and the place in it are there again, and the
    // history did not move.
    void returningToTheReadingScreen_showsThePageLeft_whereItWasLeft()
    {
        show("glava4.htm", u"Глава 4. Топливная система"_qs);
        scrollTo(300);
        const QStringList history = panes()->historyFiles();

        clickAt(kMediaButton);
        QCOMPARE(m_form->currentScreen(), 2);
        clickAt(kReadButton);
        QCOMPARE(m_form->currentScreen(), 1);
        QTest::qWait(1500); // nothing else comes into the pane afterwards
        QCOMPARE(panes()->currentView()->title(), u"Глава 4. Топливная система"_qs);
        // The title line is the page's again, not the media screen's pane's.
        QCOMPARE(m_components->texts().texts()->text(1), u"Глава 4. Топливная система  "_qs);
        QCOMPARE(panes()->historyFiles(), history);
        QCOMPARE(panes()->historyIndex(), 0);
        QTRY_COMPARE(panes()->scrollPosition(), 300);
    }

    void backAndForward_comeBackToWhereEachPageWasRead()
    {
        show("glava2.htm", u"Глава 2. Двигатель"_qs);
        scrollTo(400);
        show("glava3.htm", u"Глава 3. Система охлаждения"_qs);
        scrollTo(250);
        show("glava5.htm", u"Глава 5. Трансмиссия"_qs); // read from its top

        m_form->RunCommand(QStringLiteral("back"), QString(), true);
        waitForTitle(u"Глава 3. Система охлаждения"_qs);
        QTRY_COMPARE(panes()->scrollPosition(), 250);
        m_form->RunCommand(QStringLiteral("back"), QString(), true);
        waitForTitle(u"Глава 2. Двигатель"_qs);
        QTRY_COMPARE(panes()->scrollPosition(), 400);
        scrollTo(120); // read on further up: that is where it is left now
        m_form->RunCommand(QStringLiteral("forward"), QString(), true);
        waitForTitle(u"Глава 3. Система охлаждения"_qs);
        QTRY_COMPARE(panes()->scrollPosition(), 250);
        m_form->RunCommand(QStringLiteral("forward"), QString(), true);
        waitForTitle(u"Глава 5. Трансмиссия"_qs);
        QTest::qWait(300);
        QCOMPARE(panes()->scrollPosition(), 0);
        m_form->RunCommand(QStringLiteral("back"), QString(), true);
        waitForTitle(u"Глава 3. Система охлаждения"_qs);
        m_form->RunCommand(QStringLiteral("back"), QString(), true);
        waitForTitle(u"Глава 2. Двигатель"_qs);
        QTRY_COMPARE(panes()->scrollPosition(), 120);

        // A page chosen anew (here from the tree's side, by name) opens at its top.
        show("glava3.htm", u"Глава 3. Система охлаждения"_qs);
        QTest::qWait(300);
        QCOMPARE(panes()->scrollPosition(), 0);
    }

    // The frame the reader scrolled keeps its place in the favorite, and gets it back.
    void favoriteInAFrameSet_keepsTheFramesPlace()
    {
        show("frames/index.htm", u"Краткая памятка водителю"_qs);
        QTRY_VERIFY(evaluate("frames.length === 2 && frames[1].document.readyState === 'complete'").toBool());
        const int room = evaluate("frames[1].document.documentElement.scrollHeight - frames[1].innerHeight").toInt();
        QVERIFY2(room >= 40, "the content frame is too short to scroll");
        const int y = qMin(200, room);
        // The content frame is scrolled (with the wheel, say: no click in it).
        evaluate(QStringLiteral("frames[1].scrollTo(0, %1)").arg(y));
        QTRY_COMPARE(panes()->scrollPosition(), y);
        m_form->RunCommand(QStringLiteral("addtofavorite"), QString(), true);
        const QList<RFavoriteCaption> favorites = m_components->popups()->favorites()->favorites();
        QCOMPARE(favorites.size(), 1);
        QVERIFY2(favorites[0].command.endsWith(QStringLiteral("index.htm=%1").arg(y)),
                 qPrintable(favorites[0].command));

        show("glava1.htm", u"Глава 1. Общие сведения об автомобиле"_qs);
        m_components->popups()->open(-3, QPoint(300, 300));
        TPopupWindow* list = m_components->popups()->popup(-3);
        QVERIFY(list && list->isVisible());
        QTest::mouseClick(list, Qt::LeftButton, {}, list->item(0).rect().center());
        waitForTitle(u"Краткая памятка водителю"_qs);
        QTRY_COMPARE(evaluate("frames.length === 2 ? frames[1].scrollY : -1").toInt(), y);
    }

    // The tabs of the reference screen open parts of the manual; a page first reached in one part
    // belongs to it. In a folder named in capitals, history leading back to such a page presses
    // its part's tab again.
    void partsInACapitalisedFolder_pressTheirSwitchAgain()
    {
        m_form->RunCommand(QStringLiteral("4"), QString(), true);
        QCOMPARE(m_form->currentScreen(), 3);
        const auto tabs = [this] { return m_script->screens[3].switchgrp; };
        const auto tab = [&tabs](int n) { return QPoint(tabs()[n].vx + 5, tabs()[n].vy + 5); };
        const auto shown = [this] { return QFileInfo(panes()->currentFile()).fileName(); };
        if (!tabs()[0].state) {
            clickAt(tab(0));
        }
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"ssylki.htm"_qs, 30000);
        waitLoaded();

        clickAt(tab(1));
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"ustroistvo.htm"_qs, 30000);
        waitLoaded();
        clickLink(QStringLiteral("a[href='glava7.htm#zhidkost']")); // reached in the part "Устройство"
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"glava7.htm"_qs, 30000);
        waitLoaded();

        clickAt(tab(0));
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"ssylki.htm"_qs, 30000);
        waitLoaded();
        clickLink(QStringLiteral("a[href='glava7.htm#zhidkost']")); // the same page, from "Ссылки"
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"glava7.htm"_qs, 30000);
        waitLoaded();
        m_form->RunCommand(QStringLiteral("back"), QString(), true);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"ssylki.htm"_qs, 30000);
        QVERIFY(tabs()[0].state && !tabs()[1].state);
        waitLoaded();
        m_form->RunCommand(QStringLiteral("forward"), QString(), true);
        QTRY_COMPARE_WITH_TIMEOUT(shown(), u"glava7.htm"_qs, 30000);
        QVERIFY2(tabs()[1].state && !tabs()[0].state, "the page's own part is «Устройство»");
        waitLoaded();
    }

    // The page last read on the reading screen, and the place in it, come back with «Руководство»
    // at the next start.
    void nextStart_continuesAtThePageLastRead()
    {
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        show("glava6.htm", u"Глава 6. Ходовая часть и рулевое управление"_qs);
        scrollTo(350);
        m_form->RunCommand(QStringLiteral("1"), QString(), true); // left from the start screen
        restart();

        clickAt(kManualButton);
        QCOMPARE(m_form->currentScreen(), 1);
        waitForTitle(u"Глава 6. Ходовая часть и рулевое управление"_qs);
        QTRY_COMPARE(panes()->scrollPosition(), 350);
        QCOMPARE(panes()->historyFiles().size(), 1); // the start page was not loaded first
        // The tree follows the page.
        QTRY_COMPARE(m_components->trees().treeOfTheMoment()->currentIndex().data().toString(),
                     u"Глава 6. Ходовая часть и рулевое управление"_qs);
    }

    // A page asked for by name (here a chapter of the start screen's menu) is shown instead.
    void aPageNamedForTheReadingScreen_isShownInsteadOfTheLastOne()
    {
        restart();
        m_components->popups()->open(kChapterMenu, QPoint(0, 0));
        TPopupWindow* menu = m_components->popups()->popup(kChapterMenu);
        QVERIFY(menu && menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->item(2).rect().center()); // "Глава 2"
        QTRY_COMPARE(m_form->currentScreen(), 1);
        waitForTitle(u"Глава 2. Двигатель"_qs);
        QTest::qWait(1000);
        QCOMPARE(panes()->currentView()->title(), u"Глава 2. Двигатель"_qs);
        QCOMPARE(panes()->scrollPosition(), 0);
    }

    void cleanupTestCase() { stop(); }

private:
    void start()
    {
        m_script = std::make_unique<SkinScript>(m_context->folders());
        m_script->read(m_lines);
        m_form = std::make_unique<TMainForm>(*m_context, *m_script);
        // As the program starts: the components first, then the first screen that uses them.
        m_components = std::make_unique<AppComponents>(*m_form, *m_context, *m_script, staticEngineParts);
        m_search = std::make_unique<SearchComponents>(*m_form, *m_context, *m_script, *m_components);
        m_form->buildFirstScreen();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void stop()
    {
        if (!m_form)
            return;
        m_form->shutdown();
        m_search.reset();
        m_components.reset();
        m_form.reset();
    }
    void restart()
    {
        stop();
        start();
    }

    THtmlFrame* panes() const { return dynamic_cast<THtmlFrame*>(m_components->panes()->made()); }

    void show(const char* page, const QString& title)
    {
        panes()->ShowPage(m_context->values.programDir + QLatin1String(page));
        waitForTitle(title);
    }

    void scrollTo(int y)
    {
        QVERIFY2(evaluate("document.documentElement.scrollHeight - innerHeight").toInt() >= y,
                 "the page is too short to scroll that far");
        evaluate(QStringLiteral("window.scrollTo(0, %1)").arg(y));
        QTRY_COMPARE(panes()->scrollPosition(), y);
    }

    void waitLoaded() { QTRY_VERIFY_WITH_TIMEOUT(!panes()->isLoading(), 30000); }

    void waitForTitle(const QString& title)
    {
        QTRY_COMPARE_WITH_TIMEOUT(panes() && panes()->currentView() ? panes()->currentView()->title() : QString(),
                                  title, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate("document.readyState").toString(), QStringLiteral("complete"), 10000);
        waitLoaded();
    }

    QVariant evaluate(const char* script) { return evaluate(QString::fromLatin1(script)); }
    QVariant evaluate(const QString& script) { return runPageScript(*panes()->currentView()->page(), script); }

    // A click of the window's element under point, through its hot area.
    void clickAt(QPoint point)
    {
        for (QWidget* area : m_form->hotAreas()) {
            if (area->isVisible() && area->geometry().contains(point)) {
                QTest::mouseMove(area, point - area->pos());
                QTest::mouseClick(area, Qt::LeftButton, {}, point - area->pos());
                return;
            }
        }
        QFAIL("no element there");
    }

    // Scrolls the link into view and clicks its middle with the mouse.
    void clickLink(const QString& selector)
    {
        const QVariantList box =
            evaluate(QStringLiteral(
                         "(() => { const a = document.querySelector(\"%1\"); a.scrollIntoView({block: 'center'});"
                         " const r = a.getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()")
                         .arg(selector))
                .toList();
        QCOMPARE(box.size(), 2);
        QTest::qWait(200); // the scrolled page is drawn
        QTest::mouseClick(panes()->currentView()->focusProxy(), Qt::LeftButton, {},
                          QPoint(box[0].toInt(), box[1].toInt()));
    }

    QTemporaryDir m_disc;
    QString m_root;
    std::unique_ptr<AppContext> m_context;
    QStringList m_lines;
    std::unique_ptr<SkinScript> m_script;
    std::unique_ptr<TMainForm> m_form;
    std::unique_ptr<AppComponents> m_components;
    std::unique_ptr<SearchComponents> m_search;
};

int main(int argc, char* argv[])
{
    return runEngineTest<TestReaderPlace>(argc, argv);
}
#include "tst_readerplace.moc"
