#pragma once
// The console's own light connection to the recorder, for the live picture behind the menu: it
// logs in, asks for the model information, starts live video of one channel, asks for the
// video-analysis (VDA) grid and keeps the connection alive every 5 seconds. It lives in the
// user-interface thread; whole frames go out as MirelAVFrame to the decoding thread.
#include "console/mirelavframe.h"
#include "console/mirelframegatherer.h"
#include "console/mirelreceiver.h"

#include <QAbstractSocket>
#include <QObject>

class QTcpSocket;
class QTimer;

class MirelNetService : public QObject
{
    Q_OBJECT
public:
    static constexpr int kAliveMs = 5000;

    MirelNetService();
    ~MirelNetService() override;

    void openConnection(const QString& host, int port);
    // False (and nothing sent) when id and password together exceed what the message holds.
    bool requestLogin(const QString& id, const QString& password);
    void requestModelInfo();
    void requestStartLive(int channelMask, int rate, bool unused);
    void requestVdaData(int channel);
    void sendData(const unsigned char* data, int length);

    // Stops the keep-alive and detaches the socket's signals, before the client is deleted.
    void shutdown();
    bool isConnected() const { return m_connected; }
    int sequence() const { return m_sequence; }

signals:
    void hasConnectionOpened();
    void hasConnectionClosed();
    void didReceiveAVFrame(MirelAVFrame frame);
    void didReceiveSvcLevel(int, int, int);
    void didReceiveModelInfo(int);
    void didReceiveVdaData(int channel, int columns, int rows, int rowBytes, QByteArray mask);
    void didEventErrorOccurred(QAbstractSocket::SocketError error);

public slots:
    void handleIncommingData();
    void timerAliveEvent();
    void handleConnectionOpened();
    void handleConnectionClosed();
    void handleAVFrame(const unsigned char* message, int length);
    void handleVdaData(const unsigned char* message, int length);

private:
    void handleNetEvent(const unsigned char* message, int length);
    void send(const QByteArray& message);
    bool writable() const;

    int m_sequence = 0;
    bool m_connected = false;
    MirelReceiver m_receiver;
    MirelFrameGatherer m_gatherer;
    QTcpSocket* m_socket = nullptr;
    QTimer* m_aliveTimer = nullptr;
};
