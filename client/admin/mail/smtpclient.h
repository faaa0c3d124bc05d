#pragma once
// A small SMTP client (RFC 5321) over QSslSocket: plain TCP or TLS from the first byte, AUTH
// LOGIN (RFC 4954) or PLAIN, and the sending of one MimeMessage. Every operation runs without
// blocking: it starts the exchange and ends with its signal (connected, authenticated, mailSent)
// or with failed(). Each reply must come within the reply time-out (the time-out restarts while
// a long message is still being written), else the operation fails and the connection closes.
// After a failure the connection is closed; a new connectToHost() starts afresh.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QTimer>

#include "mail/smtpreplyreader.h"

class QSslSocket;
class MimeMessage;

class SmtpClient : public QObject
{
    Q_OBJECT
public:
    enum ConnectionType { TcpConnection = 0, SslConnection = 1 };
    enum AuthMethod { AuthPlain = 0, AuthLogin = 1 };
    static constexpr int kDefaultReplyTimeoutMs = 60000;

    SmtpClient(const QString& host, int port, ConnectionType type = TcpConnection, QObject* parent = nullptr);
    ~SmtpClient() override;

    void setReplyTimeout(int milliseconds) { m_replyTimeoutMs = milliseconds; }
    // Certificates trusted beside the system's (a server with a certificate of its own).
    void addCaCertificates(const QList<QSslCertificate>& certificates) { m_extraCa += certificates; }

    const QString& getHost() const { return m_host; }
    int getPort() const { return m_port; }
    ConnectionType getConnectionType() const { return m_type; }
    // Why the last operation failed, with the server's reply when there was one.
    const QString& lastError() const { return m_lastError; }
    bool isBusy() const { return m_step != Step::Idle; }
    // An address that can go into MAIL FROM or RCPT TO: not empty, no control characters, no
    // angle brackets.
    static bool IsSafeAddress(const QString& address);

    void connectToHost();
    void login(const QString& user, const QString& password, AuthMethod method = AuthLogin);
    void sendMail(const MimeMessage& message);
    // Says QUIT (when connected) and closes; ends with disconnected().
    void quit();

signals:
    void connected();
    void authenticated();
    void mailSent();
    void failed(const QString& why);
    void disconnected();

private:
    enum class Step {
        Idle,
        Greeting,
        Ehlo,
        Helo,
        AuthLoginStart,
        AuthLoginUser,
        AuthLoginPassword,
        AuthPlain,
        MailFrom,
        RcptTo,
        Data,
        Body,
        Quit
    };

    void OnReadyRead();
    void OnReply(const SmtpReply& reply);
    void OnSocketError();
    void OnSocketDisconnected();
    void OnTimeout();
    void OnBytesWritten();
    void Send(const QByteArray& line);
    void Expect(Step step);
    void Succeed(void (SmtpClient::*signal)());
    void Fail(const QString& why, const SmtpReply* reply = nullptr);
    void SendNextRecipient();
    void CloseSocket();

    QString m_host;
    int m_port = 25;
    ConnectionType m_type = TcpConnection;
    int m_replyTimeoutMs = kDefaultReplyTimeoutMs;
    QList<QSslCertificate> m_extraCa;
    QSslSocket* m_socket = nullptr;
    QTimer m_timer;
    SmtpReplyReader m_reader;
    Step m_step = Step::Idle;
    bool m_ready = false; // greeted and EHLO answered
    QString m_lastError;
    QByteArray m_user;
    QByteArray m_password;
    QList<QByteArray> m_recipients;
    int m_nextRecipient = 0;
    QByteArray m_body;
};
