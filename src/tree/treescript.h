#pragma once

// A contents tree as plain data: the items of a tree script, their nesting, the depth-first walk
// and the searches the tree view runs over them (chapter steps, caption search, page look-up).
// No widgets here, so every rule is tested on its own.

#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

struct TreeItem
{
    QString caption;
    QString link;    // the item's page: a file name or a path, as the script writes it ('/' for '\')
    int depth = 0;   // TAB characters at the start of the line
    int level = 0;   // level in the tree: 0 for a top-level item, parent's level + 1 otherwise
    int parent = -1; // index of the parent item, -1 for a top-level item
};

class TreeScript
{
public:
    TreeScript() = default;
    // One item per line that is not blank, in line order. A line deeper than the previous item is
    // a child of it, a line as deep is its sibling, a shallower line goes under the nearest earlier
    // item whose level is one less than the line's depth (top level when there is none).
    static TreeScript read(const QStringList& lines);

    const QList<TreeItem>& items() const { return m_items; }
    qsizetype size() const { return m_items.size(); }
    bool isEmpty() const { return m_items.isEmpty(); }
    const QList<int>& children(int parent) const;             // parent -1: the top-level items
    int row(int item) const { return m_row.value(item, -1); } // position among its siblings
    // Items in depth-first order (parents before their children, siblings in line order).
    const QList<int>& walk() const { return m_walk; }

    // The chapter step from focused (-1: none focused) in depth-first order: the first item after
    // it (before it when backwards) whose trimmed link is not empty and differs from the focused
    // item's link. Without a focused item: the first item. Without such an item: focused itself.
    int NextChapter(int focused) const { return chapterStep(focused, 1, true); }
    int PrevChapter(int focused) const { return chapterStep(focused, -1, true); }
    // The chapter a button announces: like the step, but -1 when there is none.
    int nextChapterOrNone(int focused) const { return chapterStep(focused, 1, false); }
    int prevChapterOrNone(int focused) const { return chapterStep(focused, -1, false); }

    // "parent caption : caption" for an item with a parent, its caption for a top-level item.
    QString chapterTitle(int item) const;
    // The hints of the next and previous chapter buttons when focused has the focus.
    QString nextChapterHint(int focused) const;
    QString prevChapterHint(int focused) const;

    // The first item after focused (from the first item when focused is -1) whose caption
    // contains text without regard to case, in line order, wrapping round to focused itself; -1
    // when there is none.
    int findCaption(const QString& text, int focused) const;
    // The first item in depth-first order whose link matches the page: the page's file name,
    // without its fragment, against the trimmed link, ASCII letters compared without regard to
    // case. -1 when there is none or the page names no file.
    int findPage(const QString& page) const;
    // Whether item's link matches the page as findPage compares them.
    bool linkNamesPage(int item, const QString& page) const;
    // The first item in line order whose link equals name without regard to case; -1 when none.
    int findLink(const QString& name) const;

private:
    int chapterStep(int focused, int step, bool stayWhenNone) const;

    QList<TreeItem> m_items;
    QList<QList<int>> m_children; // index 0: top level; item i at i + 1
    QList<int> m_row;
    QList<int> m_walk;
    QList<int> m_walkPosition; // item -> position in m_walk
};

// The key a page is looked up by: its file name with the fragment (from the first '#') removed,
// trimmed, ASCII letters lower-cased.
QString treePageKey(const QString& page);
// The file name of a path ('/' or '\' separated).
QString treeFileName(const QString& path);

// [{"caption", "link", "children": [...]}, ...], siblings in line order. Items name their parent
// by index, as TreeScript gives them; a parent index outside the list makes a top-level item.
QJsonArray treeToJson(const QList<TreeItem>& items);
// The same as compact JSON text (UTF-8, keys in QJsonDocument's order), written without recursion
// and without indentation, so a tree of any depth takes stack and output in proportion to its items.
QByteArray treeToJsonText(const QList<TreeItem>& items);
