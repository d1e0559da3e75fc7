#include "treescontroller.h"

#include "appcontext.h"
#include "settingskeys.h"
#include "settingsstore.h"
#include "treesplitter.h"

namespace {

// The pane keeps at least this much of the panel when the trees are widened.
constexpr int kPaneMinimumWidth = 100;

} // namespace

TreesController::TreesController(AppContext& context, QWidget* panel)
    : m_context(context), m_callbacks(std::make_shared<TreeCallbacks>())
{
    m_trees[0] = new TTreeViews(context, QStringLiteral("tree1.cfs"), m_callbacks, panel);
    if (context.container.Exists(QStringLiteral("tree2.cfs")))
        m_trees[1] = new TTreeViews(context, QStringLiteral("tree2.cfs"), m_callbacks, panel);

    m_splitter = new TreeSplitter(panel);
    QObject::connect(m_splitter, &TreeSplitter::dragged, m_splitter, [this](int x) {
        setTreeWidth(x);
        reportTreeArea();
    });
    QObject::connect(m_splitter, &TreeSplitter::released, m_splitter,
                     [this] { m_context.settings.writeInt(SettingsKeys::TreeWidth, m_width); });
    const int width = m_context.settings.readInt(SettingsKeys::TreeWidth).value_or(TTreeViews::kGeometry.width());
    setTreeWidth(width);
}

TreesController::~TreesController()
{
    for (const QPointer<TTreeViews>& tree : m_trees)
        delete tree.data();
    delete m_splitter.data();
}

void TreesController::setTreeWidth(int width)
{
    const QWidget* panel = m_splitter->parentWidget();
    const int widest = std::max(TTreeViews::kMinimumWidth, panel->width() - TreeSplitter::kWidth - kPaneMinimumWidth);
    m_width = std::clamp(width, int(TTreeViews::kMinimumWidth), widest);
    for (const QPointer<TTreeViews>& tree : m_trees) {
        if (tree)
            tree->setGeometry(0, 0, m_width, TTreeViews::kGeometry.height());
    }
}

TTreeViews* TreesController::tree(int scriptNumber) const
{
    return scriptNumber == 1 || scriptNumber == 2 ? m_trees[scriptNumber - 1].data() : nullptr;
}

TTreeViews* TreesController::treeOfTheMoment() const
{
    TTreeViews* first = tree(1);
    TTreeViews* second = tree(2);
    if (first && !first->isHidden())
        return first;
    if (second && !second->isHidden())
        return second;
    return first ? first : second;
}

void TreesController::reportTreeArea()
{
    // The bar stands right of the shown tree; the pane takes the panel from the bar's right edge.
    int width = 0;
    if (!bothHidden()) {
        m_splitter->setGeometry(m_width, 0, TreeSplitter::kWidth, TTreeViews::kGeometry.height());
        m_splitter->show();
        m_splitter->raise();
        width = m_width + TreeSplitter::kWidth;
    } else {
        m_splitter->hide();
    }
    if (m_callbacks->treeAreaChanged)
        m_callbacks->treeAreaChanged(width);
}

void TreesController::updateChapterHints()
{
    TTreeViews* tree = treeOfTheMoment();
    if (!tree)
        return;
    const auto [next, previous] = tree->UpdateChapterHints();
    if (m_callbacks->chapterHints)
        m_callbacks->chapterHints(next, previous);
}

bool TreesController::findInTree(const QString& text)
{
    TTreeViews* tree = treeOfTheMoment();
    return tree && tree->FindInTree(text);
}

void TreesController::setPendingPage(const QString& page)
{
    if (TTreeViews* first = tree(1))
        first->setPendingPage(page);
}

void TreesController::ShowTreeForScreen()
{
    const int screen = m_callbacks->currentScreen ? m_callbacks->currentScreen() : -1;
    for (int n = 1; n <= 2; ++n) {
        if (TTreeViews* each = tree(n))
            each->ShowTreeForScreen(screen, n == m_chosen);
    }
    // The page a screen command names is opened by the chapters tree as it shows. With the trees
    // hidden, or the subject index chosen, that tree stays hidden: the page is opened here, and the
    // tree shown follows it.
    TTreeViews* first = tree(1);
    if (screen == 1 && first && first->isHidden() && !first->pendingPage().isEmpty() && m_callbacks->openPage) {
        const QString page = first->pendingPage();
        first->setPendingPage(QString());
        m_callbacks->openPage(page);
        if (TTreeViews* shown = treeOfTheMoment(); shown && !shown->isHidden())
            shown->SyncTreeWithPage(page);
    }
    if (screen == 1)
        reportTreeArea();
}

void TreesController::chooseTree(int scriptNumber)
{
    TTreeViews* chosen = tree(scriptNumber);
    if (!chosen)
        return;
    m_chosen = scriptNumber;
    if (TTreeViews* other = tree(3 - scriptNumber)) {
        if (!other->hiddenByCommand())
            other->hide();
        other->setInactive(true);
    }
    if (!chosen->hiddenByCommand())
        chosen->show();
    chosen->setInactive(false);
    reportTreeArea();
}

void TreesController::showTrees()
{
    for (const QPointer<TTreeViews>& tree : m_trees) {
        if (tree && tree->hiddenByCommand())
            tree->ShowTree();
    }
    reportTreeArea();
}

void TreesController::hideTrees()
{
    for (const QPointer<TTreeViews>& tree : m_trees) {
        if (tree && !tree->hiddenByCommand())
            tree->HideTree();
    }
    reportTreeArea();
}

void TreesController::NextChapter()
{
    if (TTreeViews* tree = treeOfTheMoment())
        tree->NextChapter();
}

void TreesController::PrevChapter()
{
    if (TTreeViews* tree = treeOfTheMoment())
        tree->PrevChapter();
}

void TreesController::SyncTreeWithPage(const QString& name)
{
    if (TTreeViews* tree = treeOfTheMoment())
        tree->SyncTreeWithPage(name);
}

bool TreesController::secondTreeExists() const
{
    return tree(2) != nullptr;
}

bool TreesController::bothHidden() const
{
    for (const QPointer<TTreeViews>& tree : m_trees) {
        if (tree && !tree->isHidden())
            return false;
    }
    return true;
}
