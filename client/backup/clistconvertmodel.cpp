#include "backup/clistconvertmodel.h"

#include <QPair>
#include <QStringList>

namespace {

constexpr int kRecordRole = Qt::UserRole;

} // namespace

CListConvertModel::CListConvertModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    qRegisterMetaType<ListConvertItem*>("ListConvertItem *");
}

CListConvertModel::~CListConvertModel() = default;

void CListConvertModel::SetModelCount(int columnCount)
{
    m_columns = columnCount;
}

void CListConvertModel::SetHeaderText(int column, const QString& text)
{
    m_columnTable.SetHeaderText(column, text);
}

void CListConvertModel::SetColumnAlignment(int column, const QVariant& value)
{
    m_columnTable.SetAlignment(column, value);
}

void CListConvertModel::SetExtension(const QString& ext)
{
    m_extension = ext;
    for (int row = 0; row < rowCount(); ++row)
        emit dataChanged(index(row, 2), index(row, 2), {});
}

int CListConvertModel::rowCount(const QModelIndex&) const
{
    return m_checkStates.size();
}

int CListConvertModel::columnCount(const QModelIndex&) const
{
    return m_columns;
}

QVariant CListConvertModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole)
        return m_columnTable.HeaderText(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

QVariant CListConvertModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.row() >= m_items.size())
        return QVariant();
    const int row = index.row();
    const ListConvertItem* item = m_items[row];
    switch (role) {
    case Qt::CheckStateRole:
        if (index.column() == 0 && m_checkStates[row] != NoCheckBox)
            return m_checkStates[row];
        return QVariant();
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0: return QString::asprintf("%d", item ? item->number : 0);
        case 1: return item ? item->fileName : QString();
        case 2: return item ? item->fileName + QLatin1Char('.') + m_extension : QString();
        case 3: return QStringLiteral("Show in Folder");
        default: return QString();
        }
    case Qt::TextAlignmentRole: return m_columnTable.Alignment(index.column());
    case kRecordRole: return QVariant::fromValue(const_cast<ListConvertItem*>(item));
    default: return QVariant();
    }
}

bool CListConvertModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid())
        return false;
    const int row = index.row();
    const bool rowExists = row < m_items.size() && row < m_checkStates.size();
    if (role == Qt::CheckStateRole) {
        if (index.column() == 0 && rowExists)
            m_checkStates[row] = value.toInt();
    } else if (role == Qt::DisplayRole && rowExists && m_items[row]) {
        ListConvertItem* item = m_items[row];
        if (index.column() == 0) {
            item->number = value.toInt();
        } else if (index.column() == 1) {
            const QStringList pair = value.toStringList();
            if (pair.size() >= 2) {
                item->folder = pair[0];
                item->fileName = pair[1];
            }
        }
    } else if (role == kRecordRole && rowExists) {
        // A record put in place stays the caller's; the old one stays the model's.
        m_items[row] = value.value<ListConvertItem*>();
    }
    emit dataChanged(index, index, {});
    return true;
}

bool CListConvertModel::insertRows(int row, int, const QModelIndex&)
{
    row = qBound(0, row, rowCount());
    beginInsertRows(QModelIndex(), row, row);
    m_owned.push_back(std::make_unique<ListConvertItem>());
    m_items.insert(row, m_owned.back().get());
    m_checkStates.insert(row, NoCheckBox);
    endInsertRows();
    return true;
}

bool CListConvertModel::removeRows(int row, int, const QModelIndex&)
{
    // A row that is not there is not announced: views would drop a row they still show.
    if (row < 0 || row >= rowCount())
        return true;
    beginRemoveRows(QModelIndex(), row, row);
    m_items.removeAt(row);
    m_checkStates.removeAt(row);
    endRemoveRows();
    return true;
}

Qt::ItemFlags CListConvertModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsEnabled;
    return QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
}
