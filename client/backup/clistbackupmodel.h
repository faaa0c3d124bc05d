#pragma once
// The table model of the recorder-side list backup: one ListBackupItem per row (channels,
// start, finish, size) and a check box in column 0. The model formats the cells; it owns the
// records it makes and frees each with its row. Rows are appended and removed one at a time.
#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

#include "backup/columntable.h"
#include "backup/listbackupitem.h"

class CListBackupModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kMaxColumns = ColumnTable::kMaxColumns;
    enum Column { ColChannel, ColStartDate, ColStartTime, ColFinishDate, ColFinishTime, ColSize };

    explicit CListBackupModel(QObject* parent = nullptr);
    ~CListBackupModel() override;

    void SetModelCount(int count);
    void SetHeaderText(int column, const QString& text);
    void SetColumnAlignment(int column, const QVariant& alignment);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // False for a row or column that does not exist.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Exactly one row whatever the count.
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    // Exactly one row; a row that does not exist changes nothing and announces nothing (false).
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    ListBackupItem* Item(int row) const;

private:
    static bool ValidColumn(int column) { return ColumnTable::Valid(column); }

    int m_columnCount = 0;
    ColumnTable m_columns{QVariant(1)};
    QList<int> m_checks;
    QList<ListBackupItem*> m_items;
    // The records this model made.
    std::vector<std::unique_ptr<ListBackupItem>> m_ownItems;
};
