#pragma once
// The header texts and alignments of a table model's columns, which the backup list models
// keep alike: each column is set on its own, a column outside the table is ignored when set and
// reads as nothing.
#include <QString>
#include <QVariant>

#include <array>

class ColumnTable
{
public:
    static constexpr int kMaxColumns = 99;

    // Every column is aligned by `alignment` until it is given its own.
    explicit ColumnTable(const QVariant& alignment);

    static bool Valid(int column) { return column >= 0 && column < kMaxColumns; }

    void SetHeaderText(int column, const QString& text);
    void SetAlignment(int column, const QVariant& alignment);
    // An empty variant for a column outside the table.
    QVariant HeaderText(int column) const;
    QVariant Alignment(int column) const;

private:
    std::array<QString, kMaxColumns> m_headers;
    std::array<QVariant, kMaxColumns> m_alignments;
};
