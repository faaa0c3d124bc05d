#include "shell/messageboxstate.h"

#include <QMutexLocker>

bool MessageBoxState::Take(const QString& title, const QString& text, const QString& option)
{
    QMutexLocker locker(&m_lock);
    m_option = option;
    if (!text.isEmpty())
        m_text = text;
    if (title.isEmpty())
        return false;
    m_title = title;
    return true;
}

QString MessageBoxState::MessageTitle() const
{
    QMutexLocker locker(&m_lock);
    return m_title;
}

QString MessageBoxState::MessageText() const
{
    QMutexLocker locker(&m_lock);
    return m_text;
}

QString MessageBoxState::MessageOption() const
{
    QMutexLocker locker(&m_lock);
    return m_option;
}

void MessageBoxState::MessageBoxClosed()
{
    int open = m_openBoxes.load();
    while (open > 0 && !m_openBoxes.compare_exchange_weak(open, open - 1)) {
    }
}
