#include "backup/listmodel.h"

#include <algorithm>

ListModel::ListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    static const int registered = qRegisterMetaType<BackupItem*>("BackupItem*");
    Q_UNUSED(registered);
}

ListModel::~ListModel() = default;

void ListModel::SetColumnCount(int count)
{
    m_columnCount = std::clamp(count, 0, kMaxColumns);
}

void ListModel::SetHeaderText(int column, const QString& text)
{
    m_columns.SetHeaderText(column, text);
}

void ListModel::SetModelCount(int count)
{
    m_modelCount = count;
}

void ListModel::SetColumnAlignment(int column, const QVariant& alignment)
{
    m_columns.SetAlignment(column, alignment);
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cells[0].size();
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columnCount;
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.column() < 0 || index.row() >= rowCount())
        return QVariant();
    const int column = index.column();
    if (!ValidColumn(column) || index.row() >= m_cells[size_t(column)].size())
        return QVariant();
    const Cell& cell = m_cells[size_t(column)].at(index.row());
    switch (role) {
    case Qt::DisplayRole: return cell.text;
    case Qt::CheckStateRole: return cell.checkState == kNoCheckBox ? QVariant() : QVariant(cell.checkState);
    case Qt::TextAlignmentRole: return m_columns.Alignment(column);
    case Qt::UserRole: return QVariant::fromValue(m_items[size_t(column)].at(index.row()));
    default: return QVariant();
    }
}

bool ListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() < 0 || index.column() < 0 || !ValidColumn(index.column()))
        return false;
    const auto column = size_t(index.column());
    if (index.column() >= m_columnCount || index.row() >= m_cells[column].size())
        return false;
    Cell& cell = m_cells[column][index.row()];
    switch (role) {
    case Qt::DisplayRole: cell.text = value.toString(); break;
    case Qt::CheckStateRole: cell.checkState = value.toInt(); break;
    case Qt::UserRole: m_items[column][index.row()] = value.value<BackupItem*>(); break;
    default: break;
    }
    emit dataChanged(index, index, {});
    return true;
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && ValidColumn(section))
        return m_columns.HeaderText(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool ListModel::insertRows(int row, int /*count*/, const QModelIndex& parent)
{
    if (parent.isValid() || m_columnCount == 0 || row < 0 || row > rowCount())
        return false;
    beginInsertRows(parent, row, row);
    auto item = std::make_unique<BackupItem>();
    for (int c = 0; c < m_columnCount; ++c) {
        const auto column = size_t(c);
        const int at = std::min(row, int(m_cells[column].size()));
        m_cells[column].insert(at, Cell{kNoCheckBox, QStringLiteral(" ")});
        m_items[column].insert(at, item.get());
    }
    m_ownItems.insert(m_ownItems.begin() + std::min(size_t(row), m_ownItems.size()), std::move(item));
    endInsertRows();
    return true;
}

bool ListModel::removeRows(int row, int /*count*/, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || row >= rowCount())
        return false;
    beginRemoveRows(parent, row, row);
    for (int c = 0; c < m_columnCount; ++c) {
        const auto column = size_t(c);
        if (row < m_cells[column].size()) {
            m_cells[column].removeAt(row);
            m_items[column].removeAt(row);
        }
    }
    if (size_t(row) < m_ownItems.size())
        m_ownItems.erase(m_ownItems.begin() + row);
    endRemoveRows();
    return true;
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsEnabled;
    return QAbstractItemModel::flags(index) | Qt::ItemIsDragEnabled;
}

BackupItem* ListModel::Item(int row) const
{
    if (row < 0 || row >= m_items[0].size())
        return nullptr;
    return m_items[0].at(row);
}

int ListModel::AppendRow()
{
    const int row = rowCount();
    insertRows(row, 1);
    return row;
}

void ListModel::SetText(int row, int column, const QString& text)
{
    setData(index(row, column), text, Qt::DisplayRole);
}

QString ListModel::Text(int row, int column) const
{
    return data(index(row, column), Qt::DisplayRole).toString();
}

void ListModel::Clear()
{
    while (rowCount() > 0)
        removeRows(0, 1);
}
