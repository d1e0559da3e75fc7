#include "treescript.h"

#include <QJsonObject>

namespace {

const QString kLastChapter = QStringLiteral("Последний раздел");
const QString kFirstChapter = QStringLiteral("Первый раздел");

QString asciiLower(QString text)
{
    for (QChar& c : text) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return text;
}

int leadingTabs(const QString& line)
{
    int count = 0;
    while (count < line.size() && line.at(count) == QLatin1Char('\t'))
        ++count;
    return count;
}

// Items by parent: index 0 the top level, item i at i + 1; a parent outside the list counts as none.
QList<QList<int>> childLists(const QList<TreeItem>& items)
{
    QList<QList<int>> children(items.size() + 1);
    for (qsizetype i = 0; i < items.size(); ++i) {
        const int parent = items.at(i).parent;
        children[parent >= 0 && parent < items.size() ? parent + 1 : 0].append(int(i));
    }
    return children;
}

void appendJsonString(QByteArray& out, const QString& text)
{
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto b = static_cast<unsigned char>(c);
        switch (b) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (b < 0x20) {
                out += "\\u00";
                out += kHex[b >> 4];
                out += kHex[b & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

QJsonArray childrenToJson(const QList<TreeItem>& items, const QList<QList<int>>& children, int parent)
{
    QJsonArray array;
    for (int child : children.at(parent + 1)) {
        const TreeItem& item = items.at(child);
        array.append(QJsonObject{{QStringLiteral("caption"), item.caption},
                                 {QStringLiteral("link"), item.link},
                                 {QStringLiteral("children"), childrenToJson(items, children, child)}});
    }
    return array;
}

} // namespace

QString treeFileName(const QString& path)
{
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

QString treePageKey(const QString& page)
{
    const qsizetype hash = page.indexOf(QLatin1Char('#'));
    return asciiLower(treeFileName(hash >= 0 ? page.left(hash) : page).trimmed());
}

TreeScript TreeScript::read(const QStringList& lines)
{
    TreeScript tree;
    // The latest item of each level so far: the nearest earlier item one level up is found in
    // constant time, however far back it lies.
    QList<int> lastOfLevel;
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        TreeItem item;
        item.depth = leadingTabs(line);
        const QString text = line.mid(item.depth);
        const qsizetype semicolon = text.indexOf(QLatin1Char(';'));
        item.link = text.left(semicolon).trimmed().replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (semicolon >= 0)
            item.caption = text.mid(semicolon + 1).section(QLatin1Char(';'), 0, 0).trimmed();

        const qsizetype previous = tree.m_items.size() - 1;
        if (item.depth > 0 && previous >= 0) {
            const TreeItem& last = tree.m_items.at(previous);
            if (item.depth > last.depth) {
                item.parent = int(previous);
            } else if (item.depth == last.depth) {
                item.parent = last.parent;
            } else {
                // Nearest earlier item one level up; a line with no such item stays at the top.
                if (item.depth - 1 < lastOfLevel.size())
                    item.parent = lastOfLevel.at(item.depth - 1);
            }
        }
        item.level = item.parent < 0 ? 0 : tree.m_items.at(item.parent).level + 1;
        // A level is at most one more than any level before it.
        if (item.level == lastOfLevel.size())
            lastOfLevel.append(int(tree.m_items.size()));
        else
            lastOfLevel[item.level] = int(tree.m_items.size());
        tree.m_items.append(item);
    }

    const qsizetype count = tree.m_items.size();
    tree.m_children.resize(count + 1);
    tree.m_row.resize(count);
    for (int i = 0; i < count; ++i) {
        QList<int>& siblings = tree.m_children[tree.m_items.at(i).parent + 1];
        tree.m_row[i] = int(siblings.size());
        siblings.append(i);
    }
    // Depth-first walk; a line may join a parent far back, so the walk is not always line order.
    tree.m_walk.reserve(count);
    tree.m_walkPosition.resize(count);
    QList<int> stack(tree.m_children.at(0).crbegin(), tree.m_children.at(0).crend());
    while (!stack.isEmpty()) {
        const int item = stack.takeLast();
        tree.m_walkPosition[item] = int(tree.m_walk.size());
        tree.m_walk.append(item);
        const QList<int>& kids = tree.m_children.at(item + 1);
        stack.append(QList<int>(kids.crbegin(), kids.crend()));
    }
    return tree;
}

const QList<int>& TreeScript::children(int parent) const
{
    static const QList<int> none;
    return parent + 1 >= 0 && parent + 1 < m_children.size() ? m_children.at(parent + 1) : none;
}

int TreeScript::chapterStep(int focused, int step, bool stayWhenNone) const
{
    if (m_items.isEmpty())
        return -1;
    if (focused < 0 || focused >= m_items.size())
        return stayWhenNone ? 0 : -1;
    const QString& link = m_items.at(focused).link;
    for (qsizetype at = m_walkPosition.at(focused) + step; at >= 0 && at < m_walk.size(); at += step) {
        const TreeItem& candidate = m_items.at(m_walk.at(at));
        if (!candidate.link.trimmed().isEmpty() && candidate.link != link)
            return m_walk.at(at);
    }
    return stayWhenNone ? focused : -1;
}

QString TreeScript::chapterTitle(int item) const
{
    if (item < 0 || item >= m_items.size())
        return {};
    const TreeItem& entry = m_items.at(item);
    if (entry.parent < 0)
        return entry.caption;
    return m_items.at(entry.parent).caption + QStringLiteral(" : ") + entry.caption;
}

QString TreeScript::nextChapterHint(int focused) const
{
    const int next = nextChapterOrNone(focused < 0 ? 0 : focused);
    return next < 0 ? kLastChapter : chapterTitle(next);
}

QString TreeScript::prevChapterHint(int focused) const
{
    const int previous = prevChapterOrNone(focused < 0 ? 0 : focused);
    return previous < 0 ? kFirstChapter : chapterTitle(previous);
}

int TreeScript::findCaption(const QString& text, int focused) const
{
    const qsizetype count = m_items.size();
    if (count == 0)
        return -1;
    const QString wanted = text.toLower();
    const qsizetype start = focused >= 0 && focused < count ? focused + 1 : 0;
    for (qsizetype n = 0; n < count; ++n) {
        const qsizetype at = (start + n) % count;
        if (m_items.at(at).caption.toLower().contains(wanted))
            return int(at);
    }
    return -1;
}

bool TreeScript::linkNamesPage(int item, const QString& page) const
{
    const QString key = treePageKey(page);
    return !key.isEmpty() && item >= 0 && item < m_items.size() && asciiLower(m_items.at(item).link.trimmed()) == key;
}

int TreeScript::findPage(const QString& page) const
{
    const QString key = treePageKey(page);
    if (key.isEmpty())
        return -1;
    for (int item : m_walk) {
        if (asciiLower(m_items.at(item).link.trimmed()) == key)
            return item;
    }
    return -1;
}

int TreeScript::findLink(const QString& name) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).link.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QJsonArray treeToJson(const QList<TreeItem>& items)
{
    return childrenToJson(items, childLists(items), -1);
}

QByteArray treeToJsonText(const QList<TreeItem>& items)
{
    const QList<QList<int>> children = childLists(items);
    // One level per open "children" array: whose array it is (-1: the top level) and the next
    // child to write. An item's link follows its children, as QJsonDocument sorts the keys.
    struct Level
    {
        int parent;
        qsizetype next;
    };
    QList<Level> stack{{-1, 0}};
    QByteArray out("[");
    while (!stack.isEmpty()) {
        Level& level = stack.last();
        const QList<int>& kids = children.at(level.parent + 1);
        if (level.next == kids.size()) {
            out += ']';
            if (level.parent >= 0) {
                out += ",\"link\":";
                appendJsonString(out, items.at(level.parent).link);
                out += '}';
            }
            stack.removeLast();
            continue;
        }
        if (level.next > 0)
            out += ',';
        const int child = kids.at(level.next++);
        out += "{\"caption\":";
        appendJsonString(out, items.at(child).caption);
        out += ",\"children\":[";
        stack.append({child, 0});
    }
    return out;
}
