#include "managers/managerrows.h"

int ManagerRows::Add(const QString& site, const QString& address, int recorder)
{
    if (m_rows.size() >= kMaxRows)
        return -1;
    for (const Row& row : m_rows) {
        if (row.site == site)
            return -1;
    }
    Row row;
    row.site = site;
    row.address = address;
    row.recorder = recorder;
    m_rows.append(row);
    emit rowAdded(m_rows.size() - 1);
    return m_rows.size() - 1;
}

void ManagerRows::SetChecked(int row, bool checked)
{
    if (!IsValid(row) || m_rows[row].checked == checked)
        return;
    m_rows[row].checked = checked;
    emit rowChanged(row);
}

void ManagerRows::Toggle(int row)
{
    if (IsValid(row))
        SetChecked(row, !m_rows[row].checked);
}

void ManagerRows::SetStatus(int row, const QString& status)
{
    if (!IsValid(row) || m_rows[row].status == status)
        return;
    m_rows[row].status = status;
    emit rowChanged(row);
}

void ManagerRows::SetAllStatus(const QString& status)
{
    for (int row = 0; row < m_rows.size(); ++row)
        SetStatus(row, status);
}

bool ManagerRows::AnyChecked() const
{
    return NextChecked(0) >= 0;
}

int ManagerRows::NextChecked(int from) const
{
    for (int row = qMax(0, from); row < m_rows.size(); ++row) {
        if (m_rows[row].checked)
            return row;
    }
    return -1;
}
