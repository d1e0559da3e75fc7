// The demo manual's popup lists in the skinned window: the start screen's chapter menu, the back
// and forward lists, the favorites with their delete mode, the page menus and the pane's context
// menu open and run their items; favorites are there again in the next run.

#include "appcomponents.h"
#include "appcontext.h"
#include "controlpopupwindow.h"
#include "engineparts.h"
#include "htmlfavorite.h"
#include "htmlframe.h"
#include "lazypanes.h"
#include "mainform.h"
#include "pagescript.h"
#include "popupwindow.h"
#include "scriptcodec.h"
#include "settingskeys.h"
#include "settingsstore.h"
#include "skinscript.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTest>
#include <QWebEngineView>

class TestPopupsDemo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(QStringLiteral(VELBROOK_DEMO_DIR)));
        const QString root = m_context->values.programDir;
        QVERIFY(m_context->pack.OpenPack(root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.contentDir);
        m_context->container.Open(root + "Kel.dhl");
        m_lines = DecodeScript(*m_context->container.Read(QStringLiteral("Struct.cfs")), true);
        m_context->values.appTitle = QStringLiteral("popups demo test");
        SettingsStore& settings = m_context->openSettings();
        for (int i = 0; i < THtmlFavorite::kMaxFavorites; ++i)
            settings.remove(SettingsKeys::favorite(i));
        start();
    }

    void startScreenMenu_opensAtItsPlace_outlined_andOpensAChapter()
    {
        TPopupWindow* menu = open(2, QPoint(0, 0));
        QVERIFY(menu);
        QCOMPARE(menu->pos(), m_form->mapToGlobal(QPoint(465, 156)));
        QVERIFY(!menu->mask().isEmpty());
        QCOMPARE(menu->itemCount(), 9);
        press(menu, 2); // "Глава 2"
        QCOMPARE(m_form->currentScreen(), 1);
        waitForTitle(u"Глава 2. Двигатель"_qs);
    }

    void historyLists_showThePagesRead_andGoToOne()
    {
        panes()->ShowPage(m_context->values.programDir + "glava3.htm");
        waitForTitle(u"Глава 3. Система охлаждения"_qs);
        panes()->ShowPage(m_context->values.programDir + "glava5.htm");
        waitForTitle(u"Глава 5. Трансмиссия"_qs);
        QVERIFY(!open(-2)); // nothing newer
        TPopupWindow* back = open(-1);
        QVERIFY(back);
        QCOMPARE(back->item(0).caption(), u"Глава 3. Система охлаждения"_qs);
        QCOMPARE(back->item(1).caption(), u"Глава 2. Двигатель"_qs);
        press(back, 1);
        waitForTitle(u"Глава 2. Двигатель"_qs);

        TPopupWindow* forward = open(-2);
        QVERIFY(forward);
        QCOMPARE(forward->visibleItemCount(), 2);
        QCOMPARE(forward->item(6).caption(), u"Глава 3. Система охлаждения"_qs);
        QCOMPARE(forward->item(7).caption(), u"Глава 5. Трансмиссия"_qs);
        press(forward, 7);
        waitForTitle(u"Глава 5. Трансмиссия"_qs);
    }

    void paneContextMenu_opensOnARightPress_andAddsAFavorite()
    {
        QWebEngineView* view = panes()->currentView();
        QWidget* surface = view->focusProxy() ? view->focusProxy() : view;
        QTest::mousePress(surface, Qt::RightButton, {}, QPoint(200, 200));
        QTest::mouseRelease(surface, Qt::RightButton, {}, QPoint(200, 200));
        TPopupWindow* menu = m_components->popups()->popup(-5);
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->item(2).caption(), u"Добавить в закладки"_qs);
        press(menu, 2);
        QCOMPARE(favoriteCaptions(), QStringList{u"Глава 5. Трансмиссия"_qs});
    }

    void favorites_openAtTheirPlace_andGoInDeleteMode()
    {
        panes()->ShowPage(m_context->values.programDir + "glava3.htm");
        waitForTitle(u"Глава 3. Система охлаждения"_qs);
        evaluate(QStringLiteral("window.scrollTo(0, 300)"));
        QTRY_VERIFY(panes()->scrollPosition() > 0);
        const int scrolled = panes()->scrollPosition();
        m_form->RunCommand(QStringLiteral("addtofavorite"), QString(), true);
        m_form->RunCommand(QStringLiteral("addtofavorite"), QString(), true); // the same title: once
        QCOMPARE(favoriteCaptions(), (QStringList{u"Глава 5. Трансмиссия"_qs, u"Глава 3. Система охлаждения"_qs}));

        TPopupWindow* list = open(-3);
        QVERIFY(list);
        QCOMPARE(list->itemCount(), 2);
        press(list, 0);
        waitForTitle(u"Глава 5. Трансмиссия"_qs);
        QCOMPARE(panes()->scrollPosition(), 0);
        press(open(-3), 1);
        waitForTitle(u"Глава 3. Система охлаждения"_qs);
        QTRY_COMPARE(panes()->scrollPosition(), scrolled);

        // The page menu of the reading screen runs its items through the window.
        TPopupWindow* pageMenu = open(1);
        QVERIFY(pageMenu);
        QCOMPARE(pageMenu->item(8).caption(), u"О программе"_qs);
        press(pageMenu, 7); // "На начальный экран"
        QCOMPARE(m_form->currentScreen(), 0);
        QVERIFY(!open(-3)); // no favorites on the start screen
        m_form->RunCommand(QStringLiteral("2"), QString(), true);

        list = open(-4);
        QVERIFY(list && list->deleteMode());
        press(list, 1);
        QVERIFY(list->isVisible());
        QCOMPARE(list->itemCount(), 1);
        QCOMPARE(favoriteCaptions(), QStringList{u"Глава 5. Трансмиссия"_qs});
        m_components->popups()->hideAll();
        QVERIFY(!list->isVisible());
    }

    void otherScreensMenus_open()
    {
        m_form->RunCommand(QStringLiteral("3"), QString(), true);
        QVERIFY(open(-5));
        m_form->RunCommand(QStringLiteral("4"), QString(), true);
        TPopupWindow* menu = open(-5);
        QVERIFY(menu);
        QCOMPARE(menu->itemCount(), 4);
        m_components->popups()->hideAll();
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
    }

    void favorites_areThereInTheNextRun()
    {
        stop();
        start();
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        QCOMPARE(favoriteCaptions(), QStringList{u"Глава 5. Трансмиссия"_qs});
        TPopupWindow* list = open(-3);
        QVERIFY(list);
        press(list, 0);
        waitForTitle(u"Глава 5. Трансмиссия"_qs);
    }

    void cleanupTestCase() { stop(); }

private:
    void start()
    {
        m_script = std::make_unique<SkinScript>(m_context->folders());
        m_script->read(m_lines);
        m_form = std::make_unique<TMainForm>(*m_context, *m_script);
        m_components = std::make_unique<AppComponents>(*m_form, *m_context, *m_script, staticEngineParts);
        m_form->buildFirstScreen();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QVERIFY(m_components->popups());
    }
    void stop()
    {
        if (!m_form)
            return;
        m_form->shutdown();
        m_components.reset();
        m_form.reset();
    }

    THtmlFrame* panes() const { return dynamic_cast<THtmlFrame*>(m_components->panes()->made()); }

    TPopupWindow* open(int number, QPoint at = QPoint(300, 300))
    {
        m_components->popups()->open(number, at);
        TPopupWindow* window = m_components->popups()->popup(number == -4 ? -3 : number);
        return window && window->isVisible() ? window : nullptr;
    }

    void press(TPopupWindow* window, int index)
    {
        QTest::mouseClick(window, Qt::LeftButton, {}, window->item(index).rect().center());
        QCoreApplication::processEvents();
    }

    QStringList favoriteCaptions() const
    {
        QStringList captions;
        if (const THtmlFavorite* favorites = m_components->popups()->favorites()) {
            for (const RFavoriteCaption& f : favorites->favorites())
                captions.append(f.caption);
        }
        return captions;
    }

    void waitForTitle(const QString& title)
    {
        QTRY_COMPARE_WITH_TIMEOUT(panes() && panes()->currentView() ? panes()->currentView()->title() : QString(),
                                  title, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(QStringLiteral("document.readyState")).toString(),
                                  QStringLiteral("complete"), 10000);
    }

    QVariant evaluate(const QString& script) { return runPageScript(*panes()->currentView()->page(), script); }

    std::unique_ptr<AppContext> m_context;
    QStringList m_lines;
    std::unique_ptr<SkinScript> m_script;
    std::unique_ptr<TMainForm> m_form;
    std::unique_ptr<AppComponents> m_components;
};

QTEST_MAIN(TestPopupsDemo)
#include "tst_popupsdemo.moc"
