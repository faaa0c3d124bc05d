#pragma once
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// A small HTTP/1.1 peer on the loopback: records every request and answers it as scripted per
// path. An answer can be held back until the test releases it, or sent in two pieces.
class HttpTestPeer : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QByteArray contentType;
        QByteArray body;
    };
    struct Answer
    {
        int status = 200;
        QByteArray body = "{}";
        bool hold = false;
        int splitAt = -1; // body bytes sent first, the rest after the client has had them
    };

    HttpTestPeer();
    quint16 Port() const { return m_server.serverPort(); }
    QString PortText() const { return QString::number(Port()); }
    void SetAnswer(const QByteArray& path, const Answer& answer) { m_answers[path] = answer; }
    const QList<Request>& Requests() const { return m_requests; }
    int HeldCount() const { return m_held.size(); }
    // Sends every held answer.
    void ReleaseHeld();

private:
    struct Connection
    {
        QPointer<QTcpSocket> socket;
        QByteArray buffer;
    };
    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);
    void Respond(QTcpSocket* socket, const Answer& answer);

    QHash<QTcpSocket*, QByteArray> m_buffers;
    QHash<QByteArray, Answer> m_answers;
    QList<Request> m_requests;
    QList<QPair<QPointer<QTcpSocket>, Answer>> m_held;
    // Last, so that its sockets go while the tables they clean up after still exist.
    QTcpServer m_server;
};
