// The demo's search panel (the skinned dialog's find page) over the reading screen, as the program
// wires it: its scope switches and the window's «Стр.»/«Все» are one setting whichever is
// clicked, and the text the panel's search finds in the page is never left under the panel.

#include "appcomponents.h"
#include "appcontext.h"
#include "cooldialog.h"
#include "enginetestmain.h"
#include "findtxthtml.h"
#include "hotarea.h"
#include "htmlframe.h"
#include "lazypanes.h"
#include "mainform.h"
#include "pagescript.h"
#include "scriptcodec.h"
#include "searchcomponents.h"
#include "settingsstore.h"
#include "skinscript.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QWebEngineView>

// The find page's switches of the demo's Dialog.cfs, in order.
const QStringList kPanelScopes{"findtxtlimit", "findtxtall", "findtxtcontents"};

class TestSearchPanel : public QObject
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
        m_script = std::make_unique<SkinScript>(m_context->folders());
        m_script->read(DecodeScript(*m_context->container.Read(QStringLiteral("Struct.cfs")), true));
        m_context->values.appTitle = QStringLiteral("search panel test");
        m_context->openSettings();
        m_form = std::make_unique<TMainForm>(*m_context, *m_script);
        m_components = std::make_unique<AppComponents>(*m_form, *m_context, *m_script, staticEngineParts);
        m_search = std::make_unique<SearchComponents>(*m_form, *m_context, *m_script, *m_components);
        m_form->buildFirstScreen();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        waitLoaded();
    }

    // Whichever is clicked, the window's switch, the panel's switches and the search say the same:
    // «Стр.» is «В странице», «Все» is «По указателю», and «В оглавлении» leaves both of the
    // window's switches off.
    void scope_isOneSettingOfTheWindowAndThePanel()
    {
        TFindTxtHtml* search = m_search->search();
        clickWindowSwitch("findtxtall");
        openPanel();
        expectScope("findtxtall");
        QVERIFY(search->indexMode());

        clickPanelSwitch("findtxtlimit");
        expectScope("findtxtlimit");
        QVERIFY(!search->indexMode() && !search->treeMode() && !search->allPages());

        clickPanelSwitch("findtxtcontents");
        expectScope("findtxtcontents");
        QVERIFY(search->treeMode());

        clickWindowSwitch("findtxtlimit");
        expectScope("findtxtlimit");
        clickWindowSwitch("findtxtall");
        expectScope("findtxtall");
        QVERIFY(search->indexMode());

        // The panel opened again starts from the same setting.
        dialog()->closeDialog();
        openPanel();
        expectScope("findtxtall");
        QVERIFY(search->indexMode());
        clickPanelSwitch("findtxtlimit");
        dialog()->closeDialog();
    }

    // The panel is put over the word (the reader may drag it anywhere); the search for it scrolls
    // the page so that the word shows clear of the panel, or, on a page too short to scroll, the
    // panel steps aside.
    void foundWord_isNotLeftUnderThePanel_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("pageScrolls");
        QTest::newRow("long page") << "glava3.htm" << u"электровентилятор"_qs << true;
        QTest::newRow("short page") << "frames/menu.htm" << u"Зимняя"_qs << false;
    }

    void foundWord_isNotLeftUnderThePanel()
    {
        QFETCH(QString, page);
        QFETCH(QString, word);
        QFETCH(bool, pageScrolls);
        panes()->ShowPage(m_context->values.programDir + page);
        QTRY_VERIFY_WITH_TIMEOUT(panes()->currentFile().endsWith(page), 30000);
        waitLoaded();
        QTRY_VERIFY(wordRect(word).isValid());
        if (pageScrolls) {
            // The word in the middle of the pane, with page above and below it.
            evaluate(QStringLiteral("window.scrollBy(0, %1)")
                         .arg(wordRect(word).center().y() - panes()->currentView()->mapToGlobal(QPoint(0, 0)).y() -
                              panes()->currentView()->height() / 2));
            QTRY_VERIFY(panes()->scrollPosition() > 0);
        }
        openPanel();
        const QRect covered = wordRect(word);
        dialog()->move(covered.center() - QPoint(dialog()->width() / 2, dialog()->height() / 2));
        QVERIFY(dialog()->frameGeometry().intersects(wordRect(word)));
        const QPoint panelAt = dialog()->pos();
        const int scrolled = panes()->scrollPosition();

        QSignalSpy finished(m_search->search(), &TFindTxtHtml::searchFinished);
        QLineEdit* box = m_search->search()->box(0);
        box->setText(word); // the key clicks of the test library are ASCII only
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QTRY_VERIFY2(!dialog()->frameGeometry().intersects(wordRect(word)), "the panel covers the word it found");
        const QRect view(panes()->currentView()->mapToGlobal(QPoint(0, 0)), panes()->currentView()->size());
        QVERIFY(view.contains(wordRect(word)));
        if (pageScrolls) {
            QCOMPARE(dialog()->pos(), panelAt);
            QVERIFY(panes()->scrollPosition() != scrolled);
        } else {
            QVERIFY(dialog()->pos() != panelAt);
        }
        dialog()->closeDialog();
    }

    void cleanupTestCase()
    {
        m_search.reset();
        m_components.reset();
        m_form.reset();
        m_context->settings.close();
    }

private:
    THtmlFrame* panes() const { return dynamic_cast<THtmlFrame*>(m_components->panes()->made()); }
    TCoolDialog* dialog() const { return m_search->dialog(); }

    void waitLoaded()
    {
        QTRY_VERIFY_WITH_TIMEOUT(panes() && panes()->currentVisible() && !panes()->currentFile().isEmpty(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!panes()->isLoading(), 30000);
    }

    QVariant evaluate(const QString& script) { return runPageScript(*panes()->currentView()->page(), script); }

    // Where the first occurrence of word shows, on the screen.
    QRect wordRect(const QString& word)
    {
        const QVariantList box =
            evaluate(QStringLiteral("(() => { const w = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);"
                                    " for (let n = w.nextNode(); n; n = w.nextNode()) {"
                                    "  const at = n.data.indexOf('%1'); if (at < 0) continue;"
                                    "  const r = document.createRange(); r.setStart(n, at); r.setEnd(n, at + %2);"
                                    "  const b = r.getBoundingClientRect(); return [b.x, b.y, b.width, b.height]; }"
                                    " return null; })()")
                         .arg(word)
                         .arg(word.size()))
                .toList();
        if (box.size() != 4)
            return QRect();
        const QRect local =
            QRectF(box[0].toDouble(), box[1].toDouble(), box[2].toDouble(), box[3].toDouble()).toAlignedRect();
        return local.translated(panes()->currentView()->mapToGlobal(QPoint(0, 0)));
    }

    void openPanel()
    {
        m_form->RunCommand(QStringLiteral("findnext1"), QString(), true);
        QTRY_VERIFY(dialog()->isVisible() && !dialog()->isFading());
    }

    int windowSwitch(const char* command) const
    {
        const TDynamicSwthGrpArray& groups = m_script->screens[1].switchgrp;
        for (int i = 0; i < groups.size(); ++i) {
            if (groups[i].go == QLatin1String(command))
                return i;
        }
        return -1;
    }

    // The panel's switches in the demo's order.
    static int panelSwitch(const char* command) { return int(kPanelScopes.indexOf(QLatin1String(command))); }

    void clickWindowSwitch(const char* command)
    {
        const RSwthGrp& sw = m_script->screens[1].switchgrp[windowSwitch(command)];
        const QPoint point(sw.vx + 5, sw.vy + 5);
        for (QWidget* area : m_form->hotAreas()) {
            if (area->geometry().contains(point)) {
                QTest::mouseMove(area, point - area->pos());
                QTest::mouseClick(area, Qt::LeftButton, {}, point - area->pos());
                return;
            }
        }
        QFAIL("the window's switch has no hot area");
    }

    void clickPanelSwitch(const char* command)
    {
        const QRect rect = dialog()->switchRect(panelSwitch(command));
        QVERIFY(rect.isValid());
        QTest::mouseMove(dialog(), rect.center());
        QTest::mouseClick(dialog(), Qt::LeftButton, {}, rect.center());
    }

    // The scope shown by the panel's switches and the window's two.
    void expectScope(const char* command)
    {
        for (int i = 0; i < kPanelScopes.size(); ++i)
            QCOMPARE(dialog()->switchOn(i), kPanelScopes[i] == QLatin1String(command));
        for (const char* each : {"findtxtlimit", "findtxtall"})
            QCOMPARE(m_script->screens[1].switchgrp[windowSwitch(each)].state, qstrcmp(each, command) == 0);
    }

    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<SkinScript> m_script;
    std::unique_ptr<TMainForm> m_form;
    std::unique_ptr<AppComponents> m_components;
    std::unique_ptr<SearchComponents> m_search;
};

int main(int argc, char* argv[])
{
    return runEngineTest<TestSearchPanel>(argc, argv);
}
#include "tst_searchpanel.moc"
