#pragma once
// The table behind the MP4 convert dialog's file list: one ListConvertItem per row with a check
// box in column 0, the recording's name, the output name (name + "." + extension) and a "Show
// in Folder" cell. Rows are inserted and removed one at a time.
//
// The model owns every record it ever made: a removed row's record stays valid until the model
// is destroyed, so a reader that took the pointer earlier never meets freed memory.
#include "backup/columntable.h"
#include "backup/listconvertitem.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class CListConvertModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kMaxColumns = ColumnTable::kMaxColumns;
    enum CheckState { NoCheckBox = -1, Unchecked = 0, Checked = 2 };

    explicit CListConvertModel(QObject* parent = nullptr);
    ~CListConvertModel() override;

    void SetModelCount(int columnCount);
    void SetHeaderText(int column, const QString& text);
    void SetColumnAlignment(int column, const QVariant& value);
    // The output extension of column 2; every row's column 2 is redrawn.
    void SetExtension(const QString& ext);
    QString Extension() const { return m_extension; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Always exactly one row, at row.
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int m_columns = 0;
    QString m_extension = QStringLiteral("mp4");
    ColumnTable m_columnTable{QVariant(int(Qt::AlignLeft))};
    QList<int> m_checkStates;
    QList<ListConvertItem*> m_items;
    std::vector<std::unique_ptr<ListConvertItem>> m_owned;
};
