#pragma once
#include <QAbstractItemModel>
#include <QStringList>

#include <memory>

class TreeModelItem;

// The editable tree behind the validation console's account tree, event list and monitoring
// list. Column 0 of a node whose user value holds a ValidationAccount* shows the node's icon.
class TreeModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    TreeModel(const QStringList& headers, QObject* parent = nullptr);
    ~TreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    bool insertRows(int position, int rows, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int position, int rows, const QModelIndex& parent = QModelIndex()) override;
    bool insertColumns(int position, int columns, const QModelIndex& parent = QModelIndex()) override;
    bool removeColumns(int position, int columns, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    TreeModelItem* getItem(const QModelIndex& index) const;
    QVariant Decoration(const TreeModelItem& item) const;

    std::unique_ptr<TreeModelItem> m_root;
};
