// The demo's reading screen as a plain window ("standartwin") and back ("Свернуть"), as the
// program wires it: the plain window is framed, maximised and resizable with the page filling it,
// the skin comes back with its size, outline and place, a screen change leaves the plain window
// first, and search boxes that stand on the window hide while it is plain.

#include "appcomponents.h"
#include "appcontext.h"
#include "controlpopupwindow.h"
#include "cooldialog.h"
#include "enginetestmain.h"
#include "findtxthtml.h"
#include "hotarea.h"
#include "htmlframe.h"
#include "lazypanes.h"
#include "mainform.h"
#include "popupwindow.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "searchcomponents.h"
#include "settingsstore.h"
#include "skinscript.h"

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWebEngineView>

namespace {

constexpr int kPageMenu = 1; // the reading screen's menu, with "На начальный экран"
constexpr int kStartScreenItem = 7;

} // namespace

class TestPlainWindowDemo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        open(QStringLiteral(VELBROOK_DEMO_DIR), QStringLiteral("plain window test"));
    }

    // Entered and left several times: each time an ordinary window of any size, and each time the
    // skin again as it was.
    void plainWindow_isMaximisedAndResizable_andTheSkinComesBack()
    {
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        waitForPage();
        const QSize skin = m_form->size();
        // Where windows take no shapes (offscreen), the skin's outline is the whole window.
        const QRegion outline = m_form->mask().isEmpty() ? QRegion(m_form->rect()) : m_form->mask();
        const QPoint place = m_form->pos();
        for (int round = 0; round < 3; ++round) {
            m_form->RunCommand(QStringLiteral("standartwin"), QString(), true);
            QVERIFY(m_form->isStandardWindow());
            QVERIFY(!m_form->windowFlags().testFlag(Qt::FramelessWindowHint));
            QVERIFY(m_form->windowState().testFlag(Qt::WindowMaximized));
            QTRY_COMPARE(m_form->frameGeometry().size(), m_form->screen()->availableGeometry().size());
            QVERIFY(m_form->minimumSize() != m_form->maximumSize());
            expectPageFillsTheWindow();

            // The reader makes it smaller.
            m_form->showNormal();
            m_form->resize(520, 380);
            QTRY_COMPARE(m_form->size(), QSize(520, 380));
            expectPageFillsTheWindow();

            toolbarAction(u"Свернуть"_qs)->trigger();
            QVERIFY(!m_form->isStandardWindow());
            QTRY_COMPARE(m_form->size(), skin);
            QCOMPARE(m_form->minimumSize(), skin);
            QCOMPARE(m_form->maximumSize(), skin);
            QVERIFY(m_form->windowFlags().testFlag(Qt::FramelessWindowHint));
            QCOMPARE(m_form->mask(), outline);
            QCOMPARE(m_form->pos(), place);
            QCOMPARE(m_form->documentPanel()->geometry(), TMainForm::kDocumentPanel);
            for (HotArea* area : m_form->hotAreas())
                QVERIFY(area->isVisible());
        }
    }

    // Shift+Home, and the page menu's "На начальный экран":
    // the start screen comes as the skin, not as a grey plain window over its buttons.
    void screenChangeInThePlainWindow_returnsToTheSkinFirst_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("Shift+Home") << false;
        QTest::newRow("page menu") << true;
    }

    void screenChangeInThePlainWindow_returnsToTheSkinFirst()
    {
        QFETCH(bool, fromMenu);
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        waitForPage();
        const QSize skin = m_form->size();
        m_form->RunCommand(QStringLiteral("standartwin"), QString(), true);
        QVERIFY(m_form->isStandardWindow());
        if (fromMenu) {
            m_components->popups()->open(kPageMenu, QPoint(300, 300));
            TPopupWindow* menu = m_components->popups()->popup(kPageMenu);
            QVERIFY(menu && menu->isVisible());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->item(kStartScreenItem).rect().center());
        } else {
            QTest::keyClick(m_form.get(), Qt::Key_Home, Qt::ShiftModifier);
        }
        QTRY_COMPARE(m_form->currentScreen(), 0);
        QVERIFY(!m_form->isStandardWindow());
        QVERIFY(!m_form->findChild<QToolBar*>()->isVisible());
        QTRY_COMPARE(m_form->size(), skin);
        QCOMPARE(m_form->maximumSize(), skin);
        QVERIFY(!m_form->hotAreas().isEmpty());
        for (HotArea* area : m_form->hotAreas())
            QVERIFY(area->isVisible());
    }

    // The search panel over the plain window keeps its box: it is the panel's, not the skin's.
    void searchPanel_keepsItsBoxOverThePlainWindow()
    {
        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        waitForPage();
        m_form->RunCommand(QStringLiteral("standartwin"), QString(), true);
        m_form->RunCommand(QStringLiteral("findnext1"), QString(), true);
        QTRY_VERIFY(m_search->dialog()->isVisible() && !m_search->dialog()->isFading());
        QTRY_VERIFY(m_search->search()->box(0)->isVisible());
        m_search->dialog()->closeDialog();
        toolbarAction(u"Свернуть"_qs)->trigger();
    }

    // A skin without the dialog keeps its search box on the window, over the pane's place: the
    // plain window hides it, the skin shows it again.
    void searchBoxOnTheWindow_hidesInThePlainWindow()
    {
        close();
        QVERIFY(m_copy.isValid());
        const QString root = QStringLiteral(VELBROOK_DEMO_DIR);
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString target = m_copy.path() + file.mid(root.size());
            QVERIFY(QDir().mkpath(QFileInfo(target).path()));
            if (QFileInfo(file).fileName() != QLatin1String("Kel.dhl"))
                QVERIFY(QFile::copy(file, target));
        }
        TReadBin demo;
        demo.Open(root + "/Kel.dhl");
        ContainerWriter kel;
        for (const RBin& entry : demo.directory()) {
            if (entry.name.compare(QLatin1String("Dialog.cfs"), Qt::CaseInsensitive) != 0)
                kel.add(entry.name, *demo.Read(entry.name));
        }
        kel.write(m_copy.filePath("Kel.dhl"));
        open(m_copy.path(), QStringLiteral("plain window test without dialog"));
        QVERIFY(!m_search->dialog());

        m_form->RunCommand(QStringLiteral("2"), QString(), true);
        waitForPage();
        QLineEdit* box = m_search->search()->box(0);
        QVERIFY(box && box->isVisible());
        for (int round = 0; round < 2; ++round) {
            m_form->RunCommand(QStringLiteral("standartwin"), QString(), true);
            QVERIFY(!box->isVisible());
            toolbarAction(u"Свернуть"_qs)->trigger();
            QVERIFY(box->isVisible());
        }
    }

    void cleanupTestCase() { close(); }

private:
    void open(const QString& folder, const QString& title)
    {
        m_context = std::make_unique<AppContext>(StartupValues::forContentFolder(folder));
        const QString root = m_context->values.programDir;
        QVERIFY(m_context->pack.OpenPack(root + "interface.dat"));
        m_context->pack.SetPackBase(m_context->values.contentDir);
        m_context->container.Open(root + "Kel.dhl");
        m_script = std::make_unique<SkinScript>(m_context->folders());
        m_script->read(DecodeScript(*m_context->container.Read(QStringLiteral("Struct.cfs")), true));
        m_context->values.appTitle = title;
        m_context->openSettings();
        m_form = std::make_unique<TMainForm>(*m_context, *m_script);
        // As the program starts: the components first, then the first screen that uses them.
        m_components = std::make_unique<AppComponents>(*m_form, *m_context, *m_script, staticEngineParts);
        m_search = std::make_unique<SearchComponents>(*m_form, *m_context, *m_script, *m_components);
        m_form->buildFirstScreen();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    void close()
    {
        m_search.reset();
        m_components.reset();
        m_form.reset();
        if (m_context)
            m_context->settings.close();
        m_context.reset();
    }

    THtmlFrame* panes() const { return dynamic_cast<THtmlFrame*>(m_components->panes()->made()); }

    void waitForPage()
    {
        QTRY_VERIFY_WITH_TIMEOUT(panes() && panes()->currentVisible() && !panes()->currentFile().isEmpty(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!panes()->isLoading(), 30000);
    }

    QAction* toolbarAction(const QString& caption) const
    {
        const QToolBar* toolbar = m_form->findChild<QToolBar*>();
        for (QAction* action : toolbar ? toolbar->actions() : QList<QAction*>()) {
            if (action->text() == caption)
                return action;
        }
        return nullptr;
    }

    // The page fills what the toolbar leaves of the window.
    void expectPageFillsTheWindow()
    {
        QWebEngineView* view = panes()->currentView();
        QTRY_COMPARE(QRect(view->mapTo(m_form.get(), QPoint(0, 0)), view->size()), m_form->contentsRect());
        QVERIFY(view->isVisible());
        QCOMPARE(m_form->contentsRect().top(), m_form->findChild<QToolBar*>()->height());
    }

    QTemporaryDir m_copy;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<SkinScript> m_script;
    std::unique_ptr<TMainForm> m_form;
    std::unique_ptr<AppComponents> m_components;
    std::unique_ptr<SearchComponents> m_search;
};

int main(int argc, char* argv[])
{
    return runEngineTest<TestPlainWindowDemo>(argc, argv);
}
#include "tst_plainwindowdemo.moc"
