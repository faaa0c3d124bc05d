#pragma once
#include <QAbstractTableModel>
#include <QColor>
#include <QImage>
#include <QString>
#include <QVector>

// A small table whose cells hold a text, an optional image and a text colour. Rows are inserted
// and removed one at a time; cells are filled through setData.
class CListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kMaxColumns = 99;

    explicit CListModel(QObject* parent = nullptr);

    // Clamped to 0..99. Existing rows are widened or cut to the new count.
    void SetColumnCount(int columns);
    void SetHeaderText(int column, const QString& text);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Exactly one row, whatever count says; false for a row outside 0..rowCount().
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    // Exactly one row; false for a row that does not exist.
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Cell
    {
        int imageFlag = -1;
        QString text = QStringLiteral(" ");
        QImage image;
        QColor color = Qt::black;
    };
    bool HasCell(const QModelIndex& index) const;

    int m_columns = 0;
    QVector<QString> m_headers;
    QVector<QVariant> m_alignments;
    QVector<QVector<Cell>> m_rows;
};
