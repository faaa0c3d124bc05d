#include "ui/handoverclient.h"
#include "ui/uilog.h"

#include <sys/socket.h>
#include <unistd.h>

namespace {
// The process at the other end runs as this user; a socket of anybody else never gets a path.
bool PeerIsThisUser(const QLocalSocket& socket)
{
    struct ucred peer = {};
    socklen_t length = sizeof(peer);
    return getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0
           && peer.uid == geteuid();
}
} // namespace

HandOverClient::HandOverClient(QObject* parent)
    : QObject(parent)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] { Finish(false); });
    connect(&m_socket, &QLocalSocket::connected, this, [this] {
        if (!PeerIsThisUser(m_socket)) {
            qCWarning(lcPlayerUi) << "hand-over socket belongs to another user";
            Finish(false);
            return;
        }
        SendNext();
    });
    connect(&m_socket, &QLocalSocket::readyRead, this, &HandOverClient::OnReadyRead);
    connect(&m_socket, &QLocalSocket::errorOccurred, this, [this](QLocalSocket::LocalSocketError error) {
        qCDebug(lcPlayerUi) << "hand-over:" << error;
        Finish(m_next >= m_records.size() && !m_records.isEmpty());
    });
}

void HandOverClient::Start(const QString& socketPath, const QByteArray& path, int timeoutMs)
{
    if (!path.isEmpty())
        m_records = HandOverSequence::Encode(path);
    m_next = 0;
    m_timeout.start(timeoutMs);
    // Connected on the event loop, so that a caller that starts its loop after Start hears the end
    // even when the connection is made at once.
    QMetaObject::invokeMethod(
        this, [this, socketPath] { m_socket.connectToServer(socketPath); }, Qt::QueuedConnection);
}

void HandOverClient::SendNext()
{
    if (m_next >= m_records.size()) {
        // Nothing (more) to hand over; a bare connection has already raised the window.
        m_socket.flush();
        Finish(true);
        return;
    }
    m_socket.write(HandOverSequence::Pack(m_records.at(m_next)));
    m_socket.flush();
}

void HandOverClient::OnReadyRead()
{
    const QByteArray answers = m_socket.readAll();
    for (const char answer : answers) {
        if (answer != HandOverSequence::kAcknowledge) {
            Finish(false);
            return;
        }
        ++m_next;
        SendNext();
        if (m_done)
            return;
    }
}

void HandOverClient::Finish(bool ok)
{
    if (m_done)
        return;
    m_done = true;
    m_timeout.stop();
    if (m_socket.state() != QLocalSocket::UnconnectedState)
        m_socket.disconnectFromServer();
    emit finished(ok);
}
