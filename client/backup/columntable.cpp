#include "backup/columntable.h"

ColumnTable::ColumnTable(const QVariant& alignment)
{
    m_alignments.fill(alignment);
}

void ColumnTable::SetHeaderText(int column, const QString& text)
{
    if (Valid(column))
        m_headers[size_t(column)] = text;
}

void ColumnTable::SetAlignment(int column, const QVariant& alignment)
{
    if (Valid(column))
        m_alignments[size_t(column)] = alignment;
}

QVariant ColumnTable::HeaderText(int column) const
{
    return Valid(column) ? QVariant(m_headers[size_t(column)]) : QVariant();
}

QVariant ColumnTable::Alignment(int column) const
{
    return Valid(column) ? m_alignments[size_t(column)] : QVariant();
}
