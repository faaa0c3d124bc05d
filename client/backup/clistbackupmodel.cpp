#include "backup/clistbackupmodel.h"

#include "backup/backupclock.h"
#include "backup/backuplog.h"
#include "backup/formatbackupsize.h"

#include <algorithm>

CListBackupModel::CListBackupModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    static const int registered = qRegisterMetaType<ListBackupItem*>("ListBackupItem *");
    Q_UNUSED(registered);
}

CListBackupModel::~CListBackupModel() = default;

void CListBackupModel::SetModelCount(int count)
{
    m_columnCount = std::clamp(count, 0, kMaxColumns);
}

void CListBackupModel::SetHeaderText(int column, const QString& text)
{
    m_columns.SetHeaderText(column, text);
}

void CListBackupModel::SetColumnAlignment(int column, const QVariant& alignment)
{
    m_columns.SetAlignment(column, alignment);
}

int CListBackupModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_checks.size();
}

int CListBackupModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columnCount;
}

QVariant CListBackupModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.column() < 0 || index.row() >= rowCount()
        || !ValidColumn(index.column()))
        return QVariant();
    const ListBackupItem* item = m_items.at(index.row());
    switch (role) {
    case Qt::CheckStateRole: {
        const int state = m_checks.at(index.row());
        return index.column() == ColChannel && state != -1 ? QVariant(state) : QVariant();
    }
    case Qt::TextAlignmentRole: return m_columns.Alignment(index.column());
    case Qt::UserRole: return QVariant::fromValue(const_cast<ListBackupItem*>(item));
    case Qt::DisplayRole:
        if (!item)
            return QString();
        switch (index.column()) {
        case ColChannel: return item->channelText;
        case ColStartDate:
        case ColFinishDate: {
            const int date = index.column() == ColStartDate ? item->startDate : item->finishDate;
            return QString::asprintf("%02d/%02d/%04d", date / 100 % 100, date % 100, date / 10000);
        }
        case ColStartTime: return BackupClock::HmsText(item->startTime);
        case ColFinishTime: return BackupClock::HmsText(item->finishTime);
        case ColSize: return FormatBackupSize(item->sizeMB, false);
        default: return QString();
        }
    default: return QVariant();
    }
}

bool CListBackupModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() < 0 || index.column() < 0 || index.row() >= rowCount()
        || index.column() >= m_columnCount)
        return false;
    ListBackupItem* item = m_items[index.row()];
    if (role == Qt::CheckStateRole && index.column() == ColChannel) {
        m_checks[index.row()] = value.toInt();
    } else if (role == Qt::DisplayRole && item) {
        switch (index.column()) {
        case ColChannel: {
            const auto pair = value.value<QPair<int, QString>>();
            item->chanBits = quint16(pair.first);
            item->channelText = pair.second;
            break;
        }
        case ColStartDate: item->startDate = value.toInt(); break;
        case ColStartTime: item->startTime = value.toInt(); break;
        case ColFinishDate: item->finishDate = value.toInt(); break;
        case ColFinishTime: item->finishTime = value.toInt(); break;
        case ColSize: item->sizeMB = value.toInt(); break;
        default: break;
        }
    } else if (role == Qt::UserRole) {
        m_items[index.row()] = value.value<ListBackupItem*>();
        qCDebug(lcBackup) << "set data index.row =" << index.row() << ", index.column =" << index.column()
                          << ", ChanBits = [" << (m_items[index.row()] ? m_items[index.row()]->chanBits : 0)
                          << "]";
    }
    emit dataChanged(index, index, {});
    return true;
}

QVariant CListBackupModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && ValidColumn(section))
        return m_columns.HeaderText(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool CListBackupModel::insertRows(int row, int /*count*/, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || row > rowCount())
        return false;
    beginInsertRows(parent, row, row);
    auto item = std::make_unique<ListBackupItem>();
    m_items.insert(row, item.get());
    m_checks.insert(row, -1);
    m_ownItems.push_back(std::move(item));
    endInsertRows();
    return true;
}

bool CListBackupModel::removeRows(int row, int /*count*/, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || row >= rowCount())
        return false;
    beginRemoveRows(parent, row, row);
    ListBackupItem* item = m_items.takeAt(row);
    m_checks.removeAt(row);
    m_ownItems.erase(
        std::remove_if(m_ownItems.begin(), m_ownItems.end(),
                       [item](const std::unique_ptr<ListBackupItem>& own) { return own.get() == item; }),
        m_ownItems.end());
    endRemoveRows();
    return true;
}

Qt::ItemFlags CListBackupModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsEnabled;
    return QAbstractItemModel::flags(index) | Qt::ItemIsDragEnabled;
}

ListBackupItem* CListBackupModel::Item(int row) const
{
    return row >= 0 && row < m_items.size() ? m_items.at(row) : nullptr;
}
