#pragma once

// The items of one contents tree for a Qt view. Read-only: the items never change after creation.

#include "treescript.h"

#include <QAbstractItemModel>

class TreeModel final : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Role
    {
        LinkRole = Qt::UserRole + 1,
        ItemRole
    };

    explicit TreeModel(TreeScript tree, QObject* parent = nullptr);

    const TreeScript& tree() const { return m_tree; }
    QModelIndex indexOf(int item) const;         // invalid for -1 or an index outside the tree
    static int itemOf(const QModelIndex& index); // -1 for an invalid index

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    TreeScript m_tree;
};
