#pragma once
// NetRecvThread: the owner of one connection's socket (plain TCP or TLS, fixed at construction).
// The thread object and its socket live in the thread that built them (the user-interface
// thread): every socket call, signal and slot runs there. The thread itself only runs an empty
// event loop and provides the running flag that gates connect and send.
//
// Receive: the byte stream is cut into whole messages of 12 to 40960 bytes (length field 8 to
// 40956) and each is handed to CNetTypeMirel::OnRecvData from the engine's receive buffer. A
// length outside that range, or a 24-bit total in the header that differs from the framed length,
// closes the connection; a message without the marker bytes 0x00 0xA1 is dropped and framing
// continues with the next length.
//
// Send: synchronous. NetSendData writes the length field into the caller's buffer and writes the
// whole buffer to the socket before it returns, so the buffer may live on the caller's stack.
// Only the thread that owns the socket may send.
//
// TLS: the recorder's certificate is not verified against an authority (recorders carry
// self-signed ones); once the handshake is done it is checked against the one the recorder
// presented before (CertificateTrust), and only an accepted certificate lets the login go out.
// A refused one closes the connection.
#include <QAbstractSocket>
#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QSslError>
#include <QString>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

class CNetTypeMirel;
class QSslSocket;
class QTcpSocket;
class QTimer;

class NetRecvThread : public QThread
{
    Q_OBJECT
public:
    NetRecvThread(CNetTypeMirel* engine, bool tls);
    ~NetRecvThread() override;

    bool IsTls() const { return m_tls; }
    bool IsRunningFlag() const { return m_running.load(); }
    // Blocks until run() has set the running flag, at most `timeoutMs`; true when it is set.
    bool WaitUntilRunning(int timeoutMs);
    void ClearRunningFlag() { m_running.store(false); }
    void SetHost(const QString& host, quint16 port);
    // Starts connecting and returns at once (false only when the thread is not running). The
    // engine hears OnSocketConnected, or OnConnectFailed when the recorder refuses, cannot be
    // reached or does not answer within 3000 ms. Under TLS the login goes out once the
    // handshake is done and the recorder's certificate accepted.
    bool Connect();
    // Calls off a connect under way, without a report.
    void CancelConnect();
    bool IsConnecting() const { return m_connectPending; }
    // Under TLS: the recorder's certificate waits for the user's answer (asked now, or being
    // asked for another connection to the same recorder).
    bool AwaitsCertificateAnswer() const { return m_certificateWait != CertificateWait::None; }
    // disconnectFromHost and wait up to `waitMs` when the engine is not disconnected.
    void Disconnect(int waitMs = 5000);
    // Closes at once after a framing fault.
    void Abort(const char* why);
    QAbstractSocket* Socket() const;

    void NetSendData(char* data, int length);
    // The TLS receive path: appends received bytes and dispatches every whole message. Also the
    // way to drive the framing without a socket (the fuzz target does).
    void FeedReceivedBytes(const QByteArray& data);
    // Drops a partly received TLS message (done on every disconnect).
    void ClearTlsState();

signals:
    void OnNetSendDataSignal(char*, int, int);
    void OnStartSendThread();

public slots:
    void NetRecvData();
    void NetErrorData(QAbstractSocket::SocketError error);
    void NetConnected();
    void NetDisconnected();
    void OnNetSendData(char* data, int length, int);
    void StartSendThread();
    void sslErrors(const QList<QSslError>& errors);
    void socketStateChanged(QAbstractSocket::SocketState state);
    void socketEncrypted();

protected:
    void run() override;

private:
    // Where the certificate check of the current connection stands while it has no outcome.
    enum class CertificateWait { None, Asking, AnswerOfAnotherConnection };

    void ReceivePlain();
    void ReceiveTls();
    // Checks a framed length field; false (and the connection closed) when out of range.
    bool CheckLength(quint32 length);
    // Checks a whole message before dispatch: false = drop (bad marker) or closed (bad total).
    bool CheckMessage(const char* message, int total);
    void CloseAfterPeerClosed();
    // The certificate check after the handshake, and what follows from its outcome.
    void CheckRecorderCertificate();
    void OnCertificateAnswered(const QString& peerKey, const QByteArray& fingerprint, bool trusted);
    void TakeCertificateDecision(bool trusted);
    QString RecorderLabel() const;
    void FailConnect(const char* why);

    static constexpr int kConnectTimeLimitMs = 3000;
    // How long a connect waits for a thread started but not yet running.
    static constexpr int kStartLimitMs = 5000;

    CNetTypeMirel* m_engine;
    const bool m_tls;
    QTcpSocket* m_tcp = nullptr;
    QSslSocket* m_ssl = nullptr;
    QString m_host;
    quint16 m_port = 0;
    std::atomic<bool> m_running{false};
    QMutex m_startMutex;
    QWaitCondition m_started;
    int m_pending = 0;
    int m_readSoFar = 0;
    bool m_inPlainReceive = false;
    QByteArray m_reassembly;
    int m_tlsClears = 0; // advanced by ClearTlsState, so a receive loop knows its bytes are gone
    QList<QByteArray> m_chunks;
    QMutex m_chunkMutex;
    int m_reentry = 0;
    int m_generation = 0; // advanced on disconnect so a running receive loop stops
    // The certificate this connection presented, while it waits for the user's answer.
    CertificateWait m_certificateWait = CertificateWait::None;
    QString m_pendingPeerKey;
    QByteArray m_pendingFingerprint;
    int m_sendArgument = 0;
    bool m_connectPending = false;
    int m_connectAttempt = 0; // a late time-out of an earlier attempt must not end a new one
    QTimer* m_connectTimer = nullptr;
};
