#include "core/treemodel.h"

#include "core/treemodelitem.h"
#include "core/validationaccount.h"
#include "core/validationicons.h"

namespace {
constexpr int kStateColumn = 2;

QVector<QVariant> HeaderValues(const QStringList& headers)
{
    QVector<QVariant> values;
    for (const QString& header : headers)
        values << header;
    return values;
}
} // namespace

TreeModel::TreeModel(const QStringList& headers, QObject* parent)
    : QAbstractItemModel(parent)
    , m_root(std::make_unique<TreeModelItem>(HeaderValues(headers)))
{
    ValidationAccount::RegisterMetaType();
}

TreeModel::~TreeModel() = default;

TreeModelItem* TreeModel::getItem(const QModelIndex& index) const
{
    if (index.isValid()) {
        if (auto* item = static_cast<TreeModelItem*>(index.internalPointer()))
            return item;
    }
    return m_root.get();
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return QModelIndex();
    if (column < 0 || column >= m_root->columnCount())
        return QModelIndex();
    TreeModelItem* child = getItem(parent)->child(row);
    return child ? createIndex(row, column, child) : QModelIndex();
}

QModelIndex TreeModel::parent(const QModelIndex& index) const
{
    if (!index.isValid())
        return QModelIndex();
    TreeModelItem* parentItem = getItem(index)->parent();
    if (!parentItem || parentItem == m_root.get())
        return QModelIndex();
    return createIndex(parentItem->childNumber(), 0, parentItem);
}

int TreeModel::rowCount(const QModelIndex& parent) const
{
    // Only column 0 items have children, as index() answers.
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return getItem(parent)->childCount();
}

int TreeModel::columnCount(const QModelIndex&) const
{
    return m_root->columnCount();
}

QVariant TreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const TreeModelItem* item = getItem(index);
    if (role == Qt::DisplayRole || role == Qt::UserRole)
        return item->data(index.column(), role);
    if (role == Qt::DecorationRole && index.column() == 0)
        return Decoration(*item);
    return QVariant();
}

QVariant TreeModel::Decoration(const TreeModelItem& item) const
{
    const auto* account = item.data(0, Qt::UserRole).value<ValidationAccount*>();
    if (!account)
        return QVariant();
    const QIcon icon = ValidationIcons::Icon(*account, item.data(kStateColumn, Qt::DisplayRole).toString());
    return icon.isNull() ? QVariant() : QVariant(icon);
}

bool TreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::DisplayRole && role != Qt::UserRole)
        return false;
    if (!index.isValid() || !getItem(index)->setData(index.column(), value, role))
        return false;
    emit dataChanged(index, index, {});
    return true;
}

QVariant TreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_root->data(section, Qt::DisplayRole);
    return QVariant();
}

bool TreeModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return false;
    if (!m_root->setData(section, value, Qt::DisplayRole))
        return false;
    emit headerDataChanged(orientation, section, section);
    return true;
}

bool TreeModel::insertRows(int position, int rows, const QModelIndex& parent)
{
    TreeModelItem* parentItem = getItem(parent);
    if (position < 0 || position > parentItem->childCount())
        return false;
    if (rows < 1)
        return true;
    beginInsertRows(parent, position, position + rows - 1);
    parentItem->insertChildren(position, rows, m_root->columnCount());
    endInsertRows();
    return true;
}

bool TreeModel::removeRows(int position, int rows, const QModelIndex& parent)
{
    TreeModelItem* parentItem = getItem(parent);
    if (position < 0 || rows < 0 || position + rows > parentItem->childCount())
        return false;
    if (rows == 0)
        return true;
    beginRemoveRows(parent, position, position + rows - 1);
    parentItem->removeChildren(position, rows);
    endRemoveRows();
    return true;
}

bool TreeModel::insertColumns(int position, int columns, const QModelIndex&)
{
    if (position < 0 || position > m_root->columnCount())
        return false;
    if (columns < 1)
        return true;
    beginInsertColumns(QModelIndex(), position, position + columns - 1);
    const bool done = m_root->insertColumns(position, columns);
    endInsertColumns();
    return done;
}

bool TreeModel::removeColumns(int position, int columns, const QModelIndex&)
{
    if (position < 0 || columns < 0 || position + columns > m_root->columnCount())
        return false;
    if (columns == 0)
        return true;
    beginRemoveColumns(QModelIndex(), position, position + columns - 1);
    const bool done = m_root->removeColumns(position, columns);
    endRemoveColumns();
    if (m_root->columnCount() == 0)
        removeRows(0, rowCount());
    return done;
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractItemModel::flags(index) | Qt::ItemIsDragEnabled;
}
