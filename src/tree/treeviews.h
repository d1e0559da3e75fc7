#pragma once

// One contents tree on the document panel: the items of a tree script under a tree view, opening
// the page of the item the reader chooses and following the page the panes show.

#include "treemodel.h"

#include <QTreeView>

#include <functional>
#include <memory>

class AppContext;
class QScrollBar;

// What the trees ask of the rest of the window. Any of them may be left empty.
struct TreeCallbacks
{
    std::function<int()> currentScreen;
    // The page of the current HTML pane, expanded.
    std::function<QString()> currentFile;
    // Shows a page: in the current pane when it is visible, otherwise in pane element 20.
    std::function<void(const QString& page)> openPage;
    // The hints of the "nextchapter" and "prevchapter" buttons of the current screen.
    std::function<void(const QString& next, const QString& previous)> chapterHints;
    // The trees now take this width at the panel's left edge (0: none shown); the pane takes the
    // rest of the panel.
    std::function<void(int width)> treeAreaChanged;
    // A click in a tree closes the open popup menus.
    std::function<void()> hidePopups;
};

class TTreeViews final : public QTreeView
{
    Q_OBJECT
public:
    static constexpr QRect kGeometry{0, 0, 165, 421};
    static constexpr int kMinimumWidth = 30;

    // Builds the tree of scriptName from the context's container (a missing script gives an empty
    // tree) on panel, hidden.
    TTreeViews(AppContext& context, const QString& scriptName, std::shared_ptr<const TreeCallbacks> callbacks,
               QWidget* panel);
    ~TTreeViews() override;

    const TreeScript& tree() const { return m_model->tree(); }
    TreeModel* treeModel() const { return m_model; }

    int focusedItem() const { return TreeModel::itemOf(currentIndex()); }
    // Focuses, selects and expands item and scrolls it into view without opening its page.
    void focusItem(int item);
    QString chosenLink() const { return m_chosenLink; }

    bool hiddenByCommand() const { return m_hiddenByCommand; }
    bool inactive() const { return m_inactive; }
    void setInactive(bool inactive) { m_inactive = inactive; }
    QString pendingPage() const { return m_pendingPage; }
    void setPendingPage(const QString& page) { m_pendingPage = page; }

    // Shows the chosen link's page unless the current pane already shows it.
    void OpenChosenItem(bool fromTree = false);
    // After a screen change: on screen 1 the panel shows, and the tree too when it is the chosen
    // one (and not hidden by "offtree"); on screen 0 panel and tree hide. Then a pending page is
    // looked up and opened.
    void ShowTreeForScreen(int screen, bool chosen);
    // Selects the item of a page; an empty name or "fromhistory" means the current page.
    void SyncTreeWithPage(const QString& name);
    void NextChapter();
    void PrevChapter();
    // The next and previous chapter hints; focuses the first item when none is focused.
    std::pair<QString, QString> UpdateChapterHints();
    bool FindInTree(const QString& text);
    void HideTree();
    void ShowTree();

    // The whole title of the item at point (viewport coordinates) when the view shows only part
    // of it; empty over a title shown whole, or off the items. The tooltip over an item says it.
    QString cutTitleAt(QPoint point) const;

protected:
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void currentItemChanged(const QModelIndex& current);
    void openStep(int item);
    void placeScrollBar();

    AppContext& m_context;
    std::shared_ptr<const TreeCallbacks> m_callbacks;
    TreeModel* m_model = nullptr;
    QScrollBar* m_leftBar = nullptr;
    QString m_chosenLink;
    QString m_pendingPage;
    bool m_hiddenByCommand = false;
    bool m_inactive = false;
    bool m_quiet = false; // selection made by the program: it opens nothing by itself
};
