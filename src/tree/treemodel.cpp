#include "treemodel.h"

TreeModel::TreeModel(TreeScript tree, QObject* parent) : QAbstractItemModel(parent), m_tree(std::move(tree)) {}

QModelIndex TreeModel::indexOf(int item) const
{
    if (item < 0 || item >= m_tree.size())
        return {};
    return createIndex(m_tree.row(item), 0, quintptr(item));
}

int TreeModel::itemOf(const QModelIndex& index)
{
    return index.isValid() ? int(index.internalId()) : -1;
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || (parent.isValid() && parent.model() != this))
        return {};
    const QList<int>& siblings = m_tree.children(itemOf(parent));
    if (row < 0 || row >= siblings.size())
        return {};
    return createIndex(row, 0, quintptr(siblings.at(row)));
}

QModelIndex TreeModel::parent(const QModelIndex& child) const
{
    const int item = itemOf(child);
    if (item < 0)
        return {};
    return indexOf(m_tree.items().at(item).parent);
}

int TreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(m_tree.children(itemOf(parent)).size());
}

int TreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant TreeModel::data(const QModelIndex& index, int role) const
{
    const int item = itemOf(index);
    if (item < 0)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_tree.items().at(item).caption;
    case LinkRole:
        return m_tree.items().at(item).link;
    case ItemRole:
        return item;
    default:
        return {};
    }
}
