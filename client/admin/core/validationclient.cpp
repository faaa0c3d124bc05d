#include "core/validationclient.h"

#include "core/adminhub.h"
#include "core/adminlog.h"

ValidationClient::ValidationClient(AdminHub& hub, QObject* parent)
    : QObject(parent)
    , m_hub(hub)
    , m_socket(this)
    , m_reconnect(this)
{
    m_reconnect.setInterval(kReconnectMs);
    connect(&m_reconnect, &QTimer::timeout, this, &ValidationClient::OnTimerReconnect);
    connect(&m_socket, &QTcpSocket::connected, this, &ValidationClient::ClientConnected);
    connect(&m_socket, &QTcpSocket::disconnected, this, &ValidationClient::ClientDisconnected);
    connect(&m_socket, &QAbstractSocket::errorOccurred, this, &ValidationClient::ClientError);
    connect(&m_socket, &QIODevice::readyRead, this, &ValidationClient::OnRecvServerMsg);
}

ValidationClient::~ValidationClient()
{
    m_socket.disconnect(this);
}

bool ValidationClient::Connect(const QString& host, quint16 port)
{
    m_host = host;
    m_port = port;
    if (!m_connected) {
        m_reconnecting = false;
        m_socket.abort();
        m_socket.connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    } else {
        SendLine(ValidationLine::Alive(RootId(), false));
    }
    return m_connected;
}

void ValidationClient::StartTimer()
{
    if (!m_reconnect.isActive())
        m_reconnect.start();
}

bool ValidationClient::SendLine(const QByteArray& line)
{
    if (line.isEmpty() || !m_connected)
        return false;
    return m_socket.write(line) == line.size();
}

void ValidationClient::OnTimerReconnect()
{
    if (!m_connected) {
        if (m_socket.state() != QAbstractSocket::UnconnectedState)
            return; // an attempt is still under way
        m_reconnecting = true;
        m_socket.connectToHost(m_host, m_port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
    } else {
        SendLine(ValidationLine::Alive(RootId(), true));
    }
}

void ValidationClient::SetConnected(bool connected)
{
    const bool changed = m_connected != connected;
    m_connected = connected;
    m_hub.SetValidationConnected(connected);
    if (changed)
        emit ConnectedChanged(connected);
}

void ValidationClient::ClientConnected()
{
    SetConnected(true);
    if (m_reconnecting)
        emit Reconnected();
    SendLine(ValidationLine::Alive(RootId(), false));
    qCDebug(lcAdmin) << "connect";
}

void ValidationClient::ClientDisconnected()
{
    if (!m_connected)
        return;
    SetConnected(false);
    emit ConnectionLost();
}

void ValidationClient::ClientError(QAbstractSocket::SocketError error)
{
    if (error != QAbstractSocket::ConnectionRefusedError)
        return;
    SetConnected(false);
    if (!m_reconnecting)
        emit ConnectionFailed();
}

void ValidationClient::OnRecvServerMsg()
{
    const QList<ValidationLine> lines = m_reader.Feed(m_socket.readAll());
    for (const ValidationLine& line : lines)
        emit LineReceived(line);
}
