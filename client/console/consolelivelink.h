#pragma once
// The live picture behind the console's menu: the light connection of the console's own
// (MirelNetService), its decoding thread (DecodingTask) and the 500 ms VDA request timer, started
// for a channel and stopped when a layout names none or the window closes. It runs the connection's
// sequence (login, model information, live start, VDA requests) and hands pictures and the VDA
// grid to the window through its signals.
#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

class DecodingTask;
class MirelNetService;
class QTimer;

class ConsoleLiveLink : public QObject
{
    Q_OBJECT
public:
    static constexpr int kVdaMs = 500;
    static constexpr int kLiveRate = 30;

    explicit ConsoleLiveLink(QObject* parent = nullptr);
    ~ConsoleLiveLink() override;

    // The recorder's address and login, from the dropped site-book record.
    void SetRecorder(const QString& address, int port, const QString& id, const QString& password);
    // channel >= 0 starts what is missing; channel < 0 stops and deletes everything.
    void checkAndStartStopLive(int channel);

    MirelNetService* client() const { return m_client; }
    DecodingTask* task() const { return m_task; }
    bool isDecoding() const;
    int channel() const { return m_channel; }

signals:
    void pictureDecoded(QImage picture);
    void vdaGrid(int columns, int rows, int rowBytes, QByteArray mask);
    // The recorder refused the console's own login attempt before it was sent.
    void loginRefused(QString reason);

public slots:
    void hasConnectionOpened();
    void hasConnectionClosed();
    void didReceiveSvcLevel(int, int, int);
    void didReceiveModelInfo(int);
    void didReceiveVdaData(int channel, int columns, int rows, int rowBytes, QByteArray mask);
    void timerVdaRequest();

private:
    void StartClient();
    void StartTask();
    void StopTask();
    void StopAll();

    QString m_address;
    int m_port = 0;
    QString m_id;
    QString m_password;
    int m_channel = -1;
    MirelNetService* m_client = nullptr;
    DecodingTask* m_task = nullptr;
    QTimer* m_vdaTimer = nullptr;
};
