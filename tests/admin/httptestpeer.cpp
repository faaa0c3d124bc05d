#include "httptestpeer.h"

#include <QTimer>

HttpTestPeer::HttpTestPeer()
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpTestPeer::OnNewConnection);
    m_server.listen(QHostAddress::LocalHost, 0);
}

void HttpTestPeer::OnNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_buffers.remove(socket); });
    }
}

void HttpTestPeer::OnReadyRead(QTcpSocket* socket)
{
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    for (;;) {
        const int headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        Request request;
        request.method = first.value(0);
        request.path = first.value(1);
        int length = 0;
        for (const QByteArray& line : lines.mid(1)) {
            const int colon = line.indexOf(':');
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-length")
                length = value.toInt();
            else if (name == "content-type")
                request.contentType = value;
        }
        if (buffer.size() < headerEnd + 4 + length)
            return;
        request.body = buffer.mid(headerEnd + 4, length);
        buffer.remove(0, headerEnd + 4 + length);
        m_requests.append(request);
        const Answer answer = m_answers.value(request.path);
        if (answer.hold)
            m_held.append({socket, answer});
        else
            Respond(socket, answer);
    }
}

void HttpTestPeer::Respond(QTcpSocket* socket, const Answer& answer)
{
    const QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status)
                            + " X\r\nContent-Type: application/json\r\n"
                            + "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n\r\n";
    if (answer.splitAt < 0) {
        socket->write(head + answer.body);
        return;
    }
    socket->write(head + answer.body.left(answer.splitAt));
    socket->flush();
    const QByteArray rest = answer.body.mid(answer.splitAt);
    QPointer<QTcpSocket> guard(socket);
    QTimer::singleShot(200, this, [guard, rest] {
        if (guard)
            guard->write(rest);
    });
}

void HttpTestPeer::ReleaseHeld()
{
    const auto held = m_held;
    m_held.clear();
    for (const auto& entry : held)
        if (entry.first)
            Respond(entry.first, entry.second);
}
