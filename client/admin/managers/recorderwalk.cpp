#include "managers/recorderwalk.h"
#include "managers/managerrows.h"
#include "managers/managerslog.h"
#include "managers/recorderadmin.h"

#include <utility>

RecorderWalk::RecorderWalk(RecorderAdmin& admin, ManagerRows& rows, int purpose, QString waitText,
                           QString connectFailText)
    : m_admin(admin)
    , m_rows(rows)
    , m_purpose(purpose)
    , m_waitText(std::move(waitText))
    , m_connectFailText(std::move(connectFailText))
{}

bool RecorderWalk::IsActive() const
{
    return m_current >= 0 && m_rows.IsValid(m_current);
}

bool RecorderWalk::IsCurrent(int recorder) const
{
    return IsActive() && m_rows.At(m_current).recorder == recorder;
}

bool RecorderWalk::Begin(const std::function<void()>& beforeConnect)
{
    m_current = 0;
    return StartNext(beforeConnect);
}

bool RecorderWalk::Advance(const std::function<void()>& beforeConnect)
{
    ++m_current;
    return StartNext(beforeConnect);
}

bool RecorderWalk::StartNext(const std::function<void()>& beforeConnect)
{
    while (true) {
        const int row = m_rows.NextChecked(m_current);
        if (row < 0) {
            m_current = -1;
            return false;
        }
        m_current = row;
        m_rows.SetStatus(row, m_waitText);
        if (beforeConnect)
            beforeConnect();
        if (m_admin.StartConnect(m_rows.At(row).recorder, m_purpose))
            return true;
        qCDebug(lcManagers) << "purpose" << m_purpose << ": no session for" << m_rows.At(row).site;
        m_rows.SetStatus(row, m_connectFailText);
        m_current = row + 1;
    }
}

bool RecorderWalk::Reconnect()
{
    if (!IsActive())
        return false;
    if (m_admin.StartConnect(m_rows.At(m_current).recorder, m_purpose))
        return true;
    m_rows.SetStatus(m_current, m_connectFailText);
    return false;
}

void RecorderWalk::SetStatus(const QString& status)
{
    if (IsActive())
        m_rows.SetStatus(m_current, status);
}
