#pragma once
// A small SMTP server for the mail tests, written from RFC 5321 and RFC 4954 (AUTH LOGIN and
// PLAIN): it greets, answers EHLO with its extensions, checks the credentials it was given, takes
// MAIL, RCPT, DATA (undoing the dot-stuffing) and QUIT, and keeps every byte it received. It can
// serve TLS from the first byte, and misbehave: never greet, refuse the greeting, send a reply it
// should not, refuse a recipient, or hang up after DATA.
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

class QTcpSocket;

class SmtpTestPeer : public QTcpServer
{
    Q_OBJECT
public:
    enum class Misbehave {
        None,
        Silent,
        RefuseGreeting,
        GarbageGreeting,
        RefuseRecipient,
        CloseAfterData,
        HeloOnly
    };

    explicit SmtpTestPeer(QObject* parent = nullptr);
    ~SmtpTestPeer() override;

    bool Start();
    void SetTls(const QSslCertificate& cert, const QSslKey& key)
    {
        m_cert = cert;
        m_key = key;
        m_tls = true;
    }
    void SetCredentials(const QByteArray& user, const QByteArray& password)
    {
        m_user = user;
        m_password = password;
    }
    void SetMisbehave(Misbehave misbehave) { m_misbehave = misbehave; }

    // What the client sent, whole, and the command lines (the message body left out).
    const QByteArray& Received() const { return m_received; }
    const QList<QByteArray>& Commands() const { return m_commands; }
    // The messages taken (dot-stuffing undone), and whether the client logged in.
    const QList<QByteArray>& Messages() const { return m_messages; }
    bool Authenticated() const { return m_authenticated; }
    bool Quit() const { return m_quit; }
    int Connections() const { return m_connections; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    enum class State { Command, AuthUser, AuthPassword, Data };
    void OnReadyRead();
    void OnLine(const QByteArray& line);
    void Reply(const QByteArray& text);

    QTcpSocket* m_socket = nullptr;
    QSslCertificate m_cert;
    QSslKey m_key;
    bool m_tls = false;
    QByteArray m_user = "user";
    QByteArray m_password = "secret";
    QByteArray m_loginUser;
    Misbehave m_misbehave = Misbehave::None;
    State m_state = State::Command;
    QByteArray m_buffer;
    QByteArray m_received;
    QList<QByteArray> m_commands;
    QByteArray m_data;
    QList<QByteArray> m_messages;
    bool m_authenticated = false;
    bool m_quit = false;
    int m_connections = 0;
};
