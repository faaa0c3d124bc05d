#include "session/netconnect.h"

#include "session/moduledevice.h"

NetConnect::NetConnect(CModuleDevice* session)
    : QObject(nullptr)
    , m_session(session)
{}

void NetConnect::OnConnect()
{
    if (m_session)
        m_session->OnConnectThread();
    emit finished();
}
