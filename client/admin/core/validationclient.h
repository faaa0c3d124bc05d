#pragma once
#include "core/validationlinereader.h"

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

class AdminHub;

// The validation server connection: one TCP socket, the 5-second timer that reconnects while
// down and sends the keep-alive while up, and the received lines handed on one at a time.
class ValidationClient : public QObject
{
    Q_OBJECT
public:
    static constexpr int kReconnectMs = 5000;

    ValidationClient(AdminHub& hub, QObject* parent = nullptr);
    // Closing the socket on the way out announces a disconnect; by then the hub may be gone.
    ~ValidationClient() override;

    // The root account's id, read at the moment each line is sent.
    void SetRootIdSource(std::function<int()> source) { m_rootId = std::move(source); }
    int RootId() const { return m_rootId ? m_rootId() : 0; }

    // Connects, or announces itself again when already connected; the connected flag after the call.
    bool Connect(const QString& host, quint16 port);
    // Tests shorten the reconnect period.
    void SetReconnectMs(int ms) { m_reconnect.setInterval(ms); }
    // Starts the 5-second reconnect and keep-alive timer (once, after the first login).
    void StartTimer();
    bool IsConnected() const { return m_connected; }
    // Writes one built line whole; false for a refused (empty) line or while down.
    bool SendLine(const QByteArray& line);

signals:
    void LineReceived(const ValidationLine& line);
    void ConnectedChanged(bool connected);
    // The first attempt was refused ("Validation Server connection fail.").
    void ConnectionFailed();
    // An established connection went down ("Validation server has been disconnected.").
    void ConnectionLost();
    // A reconnect came up: the caller logs in again and asks for the site book.
    void Reconnected();

private slots:
    void OnTimerReconnect();
    void ClientConnected();
    void ClientDisconnected();
    void ClientError(QAbstractSocket::SocketError error);
    void OnRecvServerMsg();

private:
    void SetConnected(bool connected);

    AdminHub& m_hub;
    QTcpSocket m_socket;
    QTimer m_reconnect;
    ValidationLineReader m_reader;
    std::function<int()> m_rootId;
    QString m_host;
    quint16 m_port = 0;
    bool m_connected = false;
    bool m_reconnecting = false;
};
