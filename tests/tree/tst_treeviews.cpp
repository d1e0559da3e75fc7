// The contents trees on a document panel, built from a container made here: which tree the
// window's operations act on, and which pages choosing, stepping and following ask for.

#include "appcontext.h"
#include "readbin.h"
#include "scriptcodec.h"
#include "settingsstore.h"
#include "treescontroller.h"
#include "treesplitter.h"

#include <QApplication>
#include <QHelpEvent>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

namespace {

const QStringList kTree1 = {
    "intro.htm;Введение",        "glava1.htm;Глава 1", "\tglava1.htm;Осмотр",
    "\thtml\\glava1b.htm;Масло", "glava2.htm;Глава 2",
};
const QStringList kTree2 = {
    "glava2.htm;Обслуживание",
    "\tglava1.htm;Осмотр перед поездкой",
    "intro.htm;Как пользоваться",
};

struct Window
{
    std::unique_ptr<AppContext> context;
    QWidget panel;
    std::unique_ptr<TreesController> trees;
    int screen = 0;
    QString currentFile;
    QStringList opened;
    QList<int> treeWidths;

    Window(const QString& folder, bool withSecondTree)
    {
        ContainerWriter writer;
        writer.add("tree1.cfs", encodeScript(kTree1));
        if (withSecondTree)
            writer.add("TREE2.CFS", encodeScript(kTree2));
        writer.write(folder + "/Kel.dhl");
        context = std::make_unique<AppContext>(StartupValues::forContentFolder(folder));
        context->container.Open(folder + "/Kel.dhl");

        panel.setGeometry(33, 90, 673, 421);
        trees = std::make_unique<TreesController>(*context, &panel);
        TreeCallbacks& links = trees->callbacks();
        links.currentScreen = [this] { return screen; };
        links.currentFile = [this] { return currentFile; };
        links.openPage = [this](const QString& page) {
            opened << page;
            currentFile = page;
        };
        links.treeAreaChanged = [this](int width) { treeWidths << width; };
    }

    void showScreen(int number)
    {
        screen = number;
        trees->ShowTreeForScreen();
    }
    int focused(int tree) const { return trees->tree(tree)->focusedItem(); }
};

} // namespace

class TestTreeViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QVERIFY(m_dir.isValid()); }

    void createdHiddenOnThePanel()
    {
        Window window(m_dir.path(), true);
        TTreeViews* first = window.trees->tree(1);
        QVERIFY(first && window.trees->secondTreeExists());
        QCOMPARE(first->parentWidget(), &window.panel);
        QCOMPARE(first->geometry(), QRect(0, 0, 165, 421));
        QVERIFY(first->isHidden() && window.trees->tree(2)->isHidden());
        QCOMPARE(first->palette().color(QPalette::Active, QPalette::Highlight), QColor(115, 105, 115));
        QCOMPARE(first->treeModel()->rowCount(), 3);
        QCOMPARE(first->treeModel()->rowCount(first->treeModel()->indexOf(1)), 2);
    }

    // A title the tree is too narrow for shows whole in the item's tooltip; a title shown whole
    // has none.
    void cutTitles_showWholeInATooltip()
    {
        Window window(m_dir.path(), false);
        window.panel.show();
        window.showScreen(1);
        TTreeViews* tree = window.trees->tree(1);
        QVERIFY(QTest::qWaitForWindowExposed(&window.panel));
        // The tree as wide as its shortest top-level title needs: the longer ones are cut.
        QModelIndex shortest;
        QModelIndex longest;
        int shortestWidth = INT_MAX;
        int longestWidth = 0;
        for (int row = 0; row < tree->treeModel()->rowCount(); ++row) {
            const QModelIndex index = tree->treeModel()->index(row, 0);
            const int width =
                tree->visualRect(index).left() + tree->fontMetrics().horizontalAdvance(index.data().toString());
            if (width < shortestWidth)
                std::tie(shortest, shortestWidth) = std::pair(index, width);
            if (width > longestWidth)
                std::tie(longest, longestWidth) = std::pair(index, width);
        }
        QVERIFY(longestWidth > shortestWidth);
        tree->resize(tree->width() - tree->viewport()->width() + shortestWidth + 12, tree->height());
        QApplication::processEvents();
        const QPoint onShortest = tree->visualRect(shortest).center();
        const QPoint onLongest = tree->visualRect(longest).center();
        QCOMPARE(tree->cutTitleAt(onShortest), QString());
        QCOMPARE(tree->cutTitleAt(onLongest), longest.data().toString());
        QCOMPARE(tree->cutTitleAt(QPoint(5, tree->viewport()->height() - 2)), QString()); // below the items

        QHelpEvent help(QEvent::ToolTip, onLongest, tree->viewport()->mapToGlobal(onLongest));
        QApplication::sendEvent(tree->viewport(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), longest.data().toString());
        QHelpEvent none(QEvent::ToolTip, onShortest, tree->viewport()->mapToGlobal(onShortest));
        QApplication::sendEvent(tree->viewport(), &none);
        QTRY_VERIFY(!QToolTip::isVisible());
    }

    void treeOfTheMomentFollowsTheShownTree()
    {
        Window window(m_dir.path(), true);
        TreesController& trees = *window.trees;
        QCOMPARE(trees.treeOfTheMoment(), trees.tree(1)); // none shown: the first

        window.showScreen(1);
        QVERIFY(!window.panel.isHidden());
        QVERIFY(!trees.tree(1)->isHidden() && trees.tree(2)->isHidden());

        trees.chooseTree(2);
        QVERIFY(trees.tree(1)->isHidden() && !trees.tree(2)->isHidden());
        QCOMPARE(trees.treeOfTheMoment(), trees.tree(2));
        trees.NextChapter();
        trees.NextChapter();
        QCOMPARE(window.focused(2), 1);
        QCOMPARE(window.focused(1), -1);

        trees.hideTrees();
        QVERIFY(trees.bothHidden());
        QCOMPARE(trees.treeOfTheMoment(), trees.tree(1));
        QCOMPARE(window.treeWidths.last(), 0);
        trees.showTrees(); // the chosen tree comes back, the other stays hidden
        QCOMPARE(trees.treeOfTheMoment(), trees.tree(2));
        QVERIFY(trees.tree(1)->isHidden());
        QCOMPARE(window.treeWidths.last(), 165 + TreeSplitter::kWidth);

        window.showScreen(2); // another document screen keeps the choice
        QCOMPARE(trees.treeOfTheMoment(), trees.tree(2));
        window.showScreen(0);
        QVERIFY(window.panel.isHidden() && trees.bothHidden());
    }

    void choosingAnItemOpensItsPage()
    {
        Window window(m_dir.path(), true);
        TTreeViews* tree = window.trees->tree(1);
        const QString programDir = window.context->values.programDir;
        QVERIFY(programDir.endsWith('/'));

        tree->setCurrentIndex(tree->treeModel()->indexOf(1));
        QCOMPARE(window.opened, QStringList{programDir + "glava1.htm"});
        QCOMPARE(tree->chosenLink(), QStringLiteral("glava1.htm"));
        QVERIFY(tree->isExpanded(tree->treeModel()->indexOf(1)));

        tree->setCurrentIndex(tree->treeModel()->indexOf(2)); // same page, other case: not reloaded
        window.currentFile = programDir + "GLAVA1.HTM";
        tree->setCurrentIndex(tree->treeModel()->indexOf(1));
        QCOMPARE(window.opened.size(), 1);

        tree->setCurrentIndex(tree->treeModel()->indexOf(3));
        QCOMPARE(window.opened.last(), programDir + "html/glava1b.htm");
    }

    void chapterStepsOpenAndHintsFollow()
    {
        Window window(m_dir.path(), false);
        QVERIFY(!window.trees->secondTreeExists());
        window.trees->chooseTree(2); // no second tree: nothing changes
        QCOMPARE(window.trees->chosenTree(), 1);
        QStringList hints;
        window.trees->callbacks().chapterHints = [&](const QString& next, const QString& previous) {
            hints = {next, previous};
        };
        window.showScreen(1);

        window.trees->updateChapterHints();
        QCOMPARE(window.focused(1), 0);
        QCOMPARE(hints, (QStringList{"Глава 1", "Первый раздел"}));
        window.trees->NextChapter();
        window.trees->NextChapter(); // past the section on the chapter's own page
        QCOMPARE(window.focused(1), 3);
        QCOMPARE(window.opened.last(), window.context->values.programDir + "html/glava1b.htm");
        window.trees->NextChapter();
        window.trees->NextChapter(); // the last item stays
        QCOMPARE(window.focused(1), 4);
        window.trees->updateChapterHints();
        QCOMPARE(hints, (QStringList{"Последний раздел", "Глава 1 : Масло"}));
        window.trees->PrevChapter();
        QCOMPARE(window.focused(1), 3);
    }

    void followingThePageSelectsWithoutOpening()
    {
        Window window(m_dir.path(), true);
        window.showScreen(1);
        window.trees->SyncTreeWithPage("/elsewhere/GLAVA2.htm#p3");
        QCOMPARE(window.focused(1), 4);
        QVERIFY(window.opened.isEmpty());

        window.currentFile = "/book/intro.htm";
        window.trees->SyncTreeWithPage("fromhistory");
        QCOMPARE(window.focused(1), 0);
        window.trees->SyncTreeWithPage("unknown.htm");
        QCOMPARE(window.focused(1), 0);
        QVERIFY(window.opened.isEmpty());
    }

    void followingThePageKeepsTheReadersChoice()
    {
        Window window(m_dir.path(), true);
        window.showScreen(1);
        TTreeViews* tree = window.trees->tree(1);
        // The section shares its chapter's page: choosing it opens the page, and the page change
        // that follows must not move the choice back to the chapter.
        tree->setCurrentIndex(tree->treeModel()->indexOf(2));
        window.trees->SyncTreeWithPage(window.currentFile);
        QCOMPARE(window.focused(1), 2);
        window.trees->SyncTreeWithPage("fromhistory");
        QCOMPARE(window.focused(1), 2);
        // A page the focused item does not name still finds its first item.
        window.trees->SyncTreeWithPage("intro.htm");
        QCOMPARE(window.focused(1), 0);
    }

    void clickOnTheChosenCollapsedItemExpandsIt()
    {
        Window window(m_dir.path(), false);
        window.panel.show();
        window.showScreen(1);
        TTreeViews* tree = window.trees->tree(1);
        const QModelIndex chapter = tree->treeModel()->indexOf(1);
        tree->setCurrentIndex(chapter);
        tree->collapse(chapter);
        QVERIFY(!tree->isExpanded(chapter));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(chapter).center());
        QVERIFY(tree->isExpanded(chapter));
        QCOMPARE(window.focused(1), 1);
    }

    void splitterWidensTheTreesAndIsRemembered()
    {
        Window window(m_dir.path(), true);
        window.context->values.appTitle = QStringLiteral(u"Проверка разделителя");
        window.context->openSettings().remove(QStringLiteral("TreeWidth"));
        window.panel.show();
        window.showScreen(1);

        TreeSplitter* bar = window.trees->splitter();
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->x(), 165);
        const auto drag = [bar](int to) {
            QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(1, 50));
            QMouseEvent move(QEvent::MouseMove, QPointF(to - bar->x() + 1, 50), bar->mapToGlobal(QPointF(to + 1, 50)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(bar, &move);
            QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(to - bar->x() + 1, 50));
        };
        drag(250);
        QCOMPARE(window.trees->tree(1)->width(), 250);
        QCOMPARE(window.trees->tree(2)->width(), 250);
        QCOMPARE(window.treeWidths.last(), 250 + TreeSplitter::kWidth);
        drag(5000); // the pane keeps some room
        QVERIFY(window.trees->treeWidth() <= 673 - 100);
        drag(-40);
        QCOMPARE(window.trees->treeWidth(), int(TTreeViews::kMinimumWidth));
        drag(300);

        window.trees->hideTrees();
        QVERIFY(bar->isHidden());
        QCOMPARE(window.treeWidths.last(), 0);

        // The next run starts with the width the reader left.
        window.trees.reset();
        window.trees = std::make_unique<TreesController>(*window.context, &window.panel);
        QCOMPARE(window.trees->treeWidth(), 300);
        QCOMPARE(window.trees->tree(1)->width(), 300);
        window.context->settings.remove(QStringLiteral("TreeWidth"));
    }

    void pendingPageOpensWhenTheScreenShows()
    {
        Window window(m_dir.path(), true);
        window.trees->setPendingPage("/book/Glava2.htm");
        window.showScreen(1);
        QCOMPARE(window.focused(1), 4);
        QCOMPARE(window.opened, QStringList{window.context->values.programDir + "glava2.htm"});
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestTreeViews)
#include "tst_treeviews.moc"
