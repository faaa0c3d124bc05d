#include "session/recorderwait.h"

#include <QTimer>

RecorderWait::RecorderWait(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setInterval(kLimitMs);
    connect(m_timer, &QTimer::timeout, this, &RecorderWait::OnLimit);
}

void RecorderWait::Arm()
{
    m_refused = false;
    m_timer->start();
}

void RecorderWait::Continue()
{
    if (m_timer->isActive())
        m_timer->start();
}

void RecorderWait::Settle()
{
    m_timer->stop();
}

void RecorderWait::Refuse()
{
    if (!m_timer->isActive())
        return;
    m_timer->stop();
    m_refused = true;
    emit ended(End::Refused);
}

bool RecorderWait::IsWaiting() const
{
    return m_timer->isActive();
}

void RecorderWait::SetLimitMs(int ms)
{
    m_timer->setInterval(ms);
}

void RecorderWait::OnLimit()
{
    emit ended(End::TimedOut);
}
