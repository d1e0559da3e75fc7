#pragma once

// The one or two contents trees of the window behind the window's tree operations. The tree of
// the moment, which the chapter steps and the page look-up act on, is the first tree when it is
// shown, else the second when it is shown, else the first, else the second.

#include "componenthooks.h"
#include "treeviews.h"

#include <QPointer>

#include "treesplitter.h"

class TreesController final : public TreesHooks
{
public:
    // Builds the tree of "tree1.cfs", and of "tree2.cfs" when the container holds it, on panel.
    TreesController(AppContext& context, QWidget* panel);
    ~TreesController() override;
    Q_DISABLE_COPY_MOVE(TreesController)

    // Set before the trees are used; the trees read them at every call.
    TreeCallbacks& callbacks() { return *m_callbacks; }

    TTreeViews* tree(int scriptNumber) const; // nullptr when that tree does not exist
    TTreeViews* treeOfTheMoment() const;
    int chosenTree() const { return m_chosen; }
    int treeWidth() const { return m_width; }
    TreeSplitter* splitter() const { return m_splitter; }

    // After every page change: sends the chapter button hints of the tree of the moment.
    void updateChapterHints();
    // The caption search of the tree of the moment.
    bool findInTree(const QString& text);

    void setPendingPage(const QString& page) override;
    void ShowTreeForScreen() override;
    void chooseTree(int scriptNumber) override;
    void showTrees() override;
    void hideTrees() override;
    void NextChapter() override;
    void PrevChapter() override;
    void SyncTreeWithPage(const QString& name) override;
    bool secondTreeExists() const override;
    bool bothHidden() const override;

private:
    void reportTreeArea();
    // The trees' width, within what leaves the pane some room.
    void setTreeWidth(int width);

    AppContext& m_context;
    std::shared_ptr<TreeCallbacks> m_callbacks;
    QPointer<TTreeViews> m_trees[2];
    QPointer<TreeSplitter> m_splitter;
    int m_chosen = 1;
    int m_width = 0;
};
