#include "session/netconnect.h"

#include <utility>

NetConnect::NetConnect(QObject* session, std::function<void()> connectStep)
    : QObject(nullptr)
    , m_session(session)
    , m_connectStep(std::move(connectStep))
{}

void NetConnect::OnConnect()
{
    if (m_session)
        m_connectStep();
    emit finished();
}
