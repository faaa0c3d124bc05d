#include "core/clistmodel.h"

#include <QPixmap>

#include <algorithm>

CListModel::CListModel(QObject* parent)
    : QAbstractTableModel(parent)
{}

void CListModel::SetColumnCount(int columns)
{
    columns = std::clamp(columns, 0, kMaxColumns);
    beginResetModel();
    m_columns = columns;
    m_headers = QVector<QString>(columns);
    m_alignments = QVector<QVariant>(columns, QVariant(int(Qt::AlignHCenter | Qt::AlignVCenter)));
    for (QVector<Cell>& row : m_rows)
        row.resize(columns);
    endResetModel();
}

void CListModel::SetHeaderText(int column, const QString& text)
{
    if (column < 0 || column >= m_columns)
        return;
    m_headers[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int CListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int CListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

bool CListModel::HasCell(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.row() >= 0 && index.row() < m_rows.size()
           && index.column() >= 0 && index.column() < m_columns;
}

QVariant CListModel::data(const QModelIndex& index, int role) const
{
    if (!HasCell(index))
        return QVariant();
    const Cell& cell = m_rows[index.row()][index.column()];
    switch (role) {
    case Qt::DisplayRole: return cell.text;
    case Qt::DecorationRole: return cell.imageFlag != -1 ? QVariant(QPixmap::fromImage(cell.image)) : QVariant();
    case Qt::TextAlignmentRole: return m_alignments[index.column()];
    case Qt::ForegroundRole: return cell.color;
    default: return QVariant();
    }
}

bool CListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    // A write outside the table is refused rather than stored nowhere.
    if (!HasCell(index))
        return false;
    Cell& cell = m_rows[index.row()][index.column()];
    switch (role) {
    case Qt::DisplayRole: cell.text = value.toString(); break;
    case Qt::DecorationRole:
        cell.image = value.canConvert<QImage>() ? value.value<QImage>() : QImage();
        cell.imageFlag = 1;
        break;
    case Qt::ForegroundRole: cell.color = value.canConvert<QColor>() ? value.value<QColor>() : QColor(); break;
    default: break;
    }
    emit dataChanged(index, index, {});
    return true;
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole) {
        if (section < 0 || section >= m_columns)
            return QVariant();
        return m_headers[section];
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool CListModel::insertRows(int row, int, const QModelIndex&)
{
    if (row < 0 || row > m_rows.size())
        return false;
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(row, QVector<Cell>(m_columns));
    endInsertRows();
    return true;
}

bool CListModel::removeRows(int row, int, const QModelIndex&)
{
    if (row < 0 || row >= m_rows.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.remove(row);
    endRemoveRows();
    return true;
}

Qt::ItemFlags CListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags; // what views and the model tester expect of the root
    return QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
}
