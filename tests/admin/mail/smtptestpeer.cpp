#include "smtptestpeer.h"

#include <QHostAddress>
#include <QSslSocket>

SmtpTestPeer::SmtpTestPeer(QObject* parent)
    : QTcpServer(parent)
{}

SmtpTestPeer::~SmtpTestPeer() = default;

bool SmtpTestPeer::Start()
{
    return listen(QHostAddress::LocalHost, 0);
}

void SmtpTestPeer::incomingConnection(qintptr descriptor)
{
    ++m_connections;
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    m_socket = socket;
    m_state = State::Command;
    m_buffer.clear();
    connect(socket, &QSslSocket::readyRead, this, &SmtpTestPeer::OnReadyRead);
    if (m_misbehave == Misbehave::Silent)
        return;
    const QByteArray greeting = m_misbehave == Misbehave::RefuseGreeting    ? "554 no service here"
                                : m_misbehave == Misbehave::GarbageGreeting ? "hello there"
                                                                            : "220 peer.test ESMTP ready";
    if (m_tls) {
        socket->setLocalCertificate(m_cert);
        socket->setPrivateKey(m_key);
        connect(socket, &QSslSocket::encrypted, this, [this, greeting] { Reply(greeting); });
        socket->startServerEncryption();
    } else {
        Reply(greeting);
    }
}

void SmtpTestPeer::Reply(const QByteArray& text)
{
    if (m_socket)
        m_socket->write(text + "\r\n");
}

void SmtpTestPeer::OnReadyRead()
{
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket || socket != m_socket)
        return;
    const QByteArray bytes = socket->readAll();
    m_received += bytes;
    m_buffer += bytes;
    int end;
    while (m_socket && (end = m_buffer.indexOf("\r\n")) >= 0) {
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 2);
        OnLine(line);
    }
}

void SmtpTestPeer::OnLine(const QByteArray& line)
{
    if (m_state == State::Data) {
        if (line == ".") {
            m_messages << m_data;
            m_data.clear();
            m_state = State::Command;
            if (m_misbehave == Misbehave::CloseAfterData) {
                m_socket->disconnectFromHost();
                m_socket = nullptr;
                return;
            }
            Reply("250 2.0.0 queued");
            return;
        }
        // RFC 5321 4.5.2: a leading dot of a line was doubled by the client.
        m_data += (line.startsWith('.') ? line.mid(1) : line) + "\r\n";
        return;
    }
    if (m_state == State::AuthUser) {
        m_loginUser = QByteArray::fromBase64(line);
        m_state = State::AuthPassword;
        Reply("334 UGFzc3dvcmQ6");
        return;
    }
    if (m_state == State::AuthPassword) {
        m_state = State::Command;
        m_authenticated = m_loginUser == m_user && QByteArray::fromBase64(line) == m_password;
        Reply(m_authenticated ? "235 2.7.0 Authentication successful"
                              : "535 5.7.8 Authentication credentials invalid");
        return;
    }
    m_commands << line;
    const QByteArray verb = line.left(line.indexOf(' ') < 0 ? line.size() : line.indexOf(' ')).toUpper();
    if (verb == "EHLO") {
        if (m_misbehave == Misbehave::HeloOnly)
            Reply("502 5.5.1 command not implemented");
        else
            Reply("250-peer.test greets you\r\n250-AUTH LOGIN PLAIN\r\n250 8BITMIME");
    } else if (verb == "HELO") {
        Reply("250 peer.test");
    } else if (line.toUpper() == "AUTH LOGIN") {
        m_state = State::AuthUser;
        Reply("334 VXNlcm5hbWU6");
    } else if (verb == "AUTH" && line.mid(5, 6).toUpper() == "PLAIN ") {
        const QList<QByteArray> parts = QByteArray::fromBase64(line.mid(11)).split('\0');
        m_authenticated = parts.size() == 3 && parts[1] == m_user && parts[2] == m_password;
        Reply(m_authenticated ? "235 2.7.0 ok" : "535 5.7.8 no");
    } else if (line.startsWith("MAIL FROM:<") && line.endsWith('>')) {
        Reply("250 2.1.0 sender ok");
    } else if (line.startsWith("RCPT TO:<") && line.endsWith('>')) {
        Reply(m_misbehave == Misbehave::RefuseRecipient ? "550 5.1.1 no such user" : "250 2.1.5 recipient ok");
    } else if (verb == "DATA") {
        m_state = State::Data;
        Reply("354 end with <CRLF>.<CRLF>");
    } else if (verb == "QUIT") {
        m_quit = true;
        Reply("221 2.0.0 bye");
        m_socket->disconnectFromHost();
        m_socket = nullptr;
    } else {
        Reply("500 5.5.2 syntax error");
    }
}
