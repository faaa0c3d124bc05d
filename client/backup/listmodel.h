#pragma once
// The table model of the backup job and result lists (and of the administration managers): per
// column a header text, an alignment and a list of cells (check state and text), and per row one
// BackupItem shared by all its cells. Rows are appended and removed one at a time.
//
// The model owns the items that insertRows creates and frees each with its row; an item stored
// through the user role stays its caller's.
#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QVariant>

#include <array>
#include <memory>
#include <vector>

#include "backup/backupitem.h"
#include "backup/columntable.h"

class ListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kMaxColumns = ColumnTable::kMaxColumns;
    // The check state of a cell that shows no check box.
    static constexpr int kNoCheckBox = -1;

    explicit ListModel(QObject* parent = nullptr);
    ~ListModel() override;

    void SetColumnCount(int count);
    void SetHeaderText(int column, const QString& text);
    void SetModelCount(int count);
    void SetColumnAlignment(int column, const QVariant& alignment);
    int GetModelCount() const { return m_modelCount; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // False for an index outside the rows and columns that exist.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Inserts exactly one row whatever the count.
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    // Removes exactly one row whatever the count; a row that does not exist changes nothing and
    // announces nothing (false).
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Conveniences of the pages: the row's item, a new row at the end (its index), the text of
    // a cell.
    BackupItem* Item(int row) const;
    int AppendRow();
    void SetText(int row, int column, const QString& text);
    QString Text(int row, int column) const;
    void Clear();

private:
    struct Cell
    {
        int checkState = kNoCheckBox;
        QString text;
    };

    static bool ValidColumn(int column) { return ColumnTable::Valid(column); }

    int m_modelCount = 0;
    int m_columnCount = 0;
    ColumnTable m_columns{QVariant(int(Qt::AlignLeft))};
    std::array<QList<Cell>, kMaxColumns> m_cells;
    std::array<QList<BackupItem*>, kMaxColumns> m_items;
    // The items this model made, one per row.
    std::vector<std::unique_ptr<BackupItem>> m_ownItems;
};
