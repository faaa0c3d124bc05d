#include "mail/smtpclient.h"
#include "mail/maillog.h"
#include "mail/mimemessage.h"

#include <QHostInfo>
#include <QSslConfiguration>
#include <QSslSocket>

namespace {
// The domain the client greets with: the host name when it is a plain one, else "localhost".
QByteArray GreetingName()
{
    const QString name = QHostInfo::localHostName();
    for (QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != QLatin1Char('-') && c != QLatin1Char('.'))
            return "localhost";
    }
    return name.isEmpty() ? QByteArray("localhost") : name.toLatin1();
}

// The message for DATA: a line that starts with "." gets a second one (RFC 5321, 4.5.2), and
// the end marker follows.
QByteArray DataBody(const QByteArray& message)
{
    QByteArray out;
    out.reserve(message.size() + message.size() / 64 + 8);
    bool lineStart = true;
    for (char c : message) {
        if (lineStart && c == '.')
            out += '.';
        out += c;
        lineStart = c == '\n';
    }
    if (!out.endsWith("\r\n"))
        out += "\r\n";
    out += ".\r\n";
    return out;
}

// The reply as the server wrote it: its code, then its lines one under the other.
QString ReplyText(const SmtpReply& reply)
{
    QStringList lines;
    for (const QByteArray& line : reply.lines)
        lines << QString::fromUtf8(line);
    return QString::number(reply.code) + QLatin1Char(' ') + lines.join(QLatin1Char('\n'));
}
} // namespace

SmtpClient::SmtpClient(const QString& host, int port, ConnectionType type, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_port(port)
    , m_type(type)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SmtpClient::OnTimeout);
}

SmtpClient::~SmtpClient()
{
    if (m_socket)
        m_socket->abort();
}

bool SmtpClient::IsSafeAddress(const QString& address)
{
    if (address.trimmed().isEmpty())
        return false;
    for (QChar c : address) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('<') || c == QLatin1Char('>'))
            return false;
    }
    return true;
}

void SmtpClient::CloseSocket()
{
    m_timer.stop();
    m_ready = false;
    if (!m_socket)
        return;
    QSslSocket* socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void SmtpClient::connectToHost()
{
    CloseSocket();
    m_reader = SmtpReplyReader();
    m_lastError.clear();
    m_socket = new QSslSocket(this);
    if (!m_extraCa.isEmpty()) {
        QSslConfiguration configuration = m_socket->sslConfiguration();
        configuration.addCaCertificates(m_extraCa);
        m_socket->setSslConfiguration(configuration);
    }
    connect(m_socket, &QSslSocket::readyRead, this, &SmtpClient::OnReadyRead);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &SmtpClient::OnSocketError);
    connect(m_socket, QOverload<const QList<QSslError>&>::of(&QSslSocket::sslErrors), this,
            [this] { OnSocketError(); });
    connect(m_socket, &QAbstractSocket::disconnected, this, &SmtpClient::OnSocketDisconnected);
    connect(m_socket, &QAbstractSocket::bytesWritten, this, &SmtpClient::OnBytesWritten);
    Expect(Step::Greeting);
    qCDebug(lcMail) << "connecting to" << m_host << m_port << (m_type == SslConnection ? "TLS" : "plain");
    if (m_type == SslConnection)
        m_socket->connectToHostEncrypted(m_host, static_cast<quint16>(m_port));
    else
        m_socket->connectToHost(m_host, static_cast<quint16>(m_port));
}

void SmtpClient::login(const QString& user, const QString& password, AuthMethod method)
{
    if (!m_ready || m_step != Step::Idle) {
        Fail(QStringLiteral("not connected"));
        return;
    }
    m_user = user.toUtf8();
    m_password = password.toUtf8();
    if (method == AuthPlain) {
        Send("AUTH PLAIN " + (QByteArray(1, '\0') + m_user + QByteArray(1, '\0') + m_password).toBase64());
        Expect(Step::AuthPlain);
    } else {
        Send("AUTH LOGIN");
        Expect(Step::AuthLoginStart);
    }
}

void SmtpClient::sendMail(const MimeMessage& message)
{
    if (!m_ready || m_step != Step::Idle) {
        Fail(QStringLiteral("not connected"));
        return;
    }
    const QString sender = message.getSender().getAddress().trimmed();
    if (!IsSafeAddress(sender)) {
        Fail(QStringLiteral("the sender address is empty or not usable"));
        return;
    }
    m_recipients.clear();
    for (const EmailAddress& recipient : message.allRecipients()) {
        const QString address = recipient.getAddress().trimmed();
        if (!IsSafeAddress(address)) {
            Fail(QStringLiteral("a recipient address is empty or not usable: \"%1\"").arg(address));
            return;
        }
        m_recipients << address.toUtf8();
    }
    if (m_recipients.isEmpty()) {
        Fail(QStringLiteral("no recipient"));
        return;
    }
    for (int i = 0; i < message.partCount(); ++i) {
        if (!message.part(i).isReady()) {
            Fail(QStringLiteral("a part of the message could not be read"));
            return;
        }
    }
    m_body = DataBody(message.toBytes());
    m_nextRecipient = 0;
    Send("MAIL FROM:<" + sender.toUtf8() + ">");
    Expect(Step::MailFrom);
}

void SmtpClient::quit()
{
    if (!m_socket) {
        emit disconnected();
        return;
    }
    if (m_ready && m_step == Step::Idle) {
        Send("QUIT");
        Expect(Step::Quit);
        return;
    }
    CloseSocket();
    emit disconnected();
}

void SmtpClient::Send(const QByteArray& line)
{
    if (!m_socket)
        return;
    // Never the password in the debug output.
    const bool secret = m_step == Step::AuthLoginUser || m_step == Step::AuthLoginStart
                        || line.startsWith("AUTH PLAIN");
    qCDebug(lcMail) << "C:" << (secret ? QByteArray("(credentials)") : line.left(200));
    m_socket->write(line + "\r\n");
}

void SmtpClient::Expect(Step step)
{
    m_step = step;
    m_timer.start(m_replyTimeoutMs);
}

void SmtpClient::Succeed(void (SmtpClient::*signal)())
{
    m_timer.stop();
    m_step = Step::Idle;
    emit(this->*signal)();
}

void SmtpClient::Fail(const QString& why, const SmtpReply* reply)
{
    m_lastError = reply ? why + QStringLiteral(": ") + ReplyText(*reply) : why;
    qCDebug(lcMail) << "failed:" << m_lastError;
    m_step = Step::Idle;
    m_password.clear();
    CloseSocket();
    emit failed(m_lastError);
}

void SmtpClient::OnTimeout()
{
    if (m_step == Step::Quit) {
        m_step = Step::Idle;
        CloseSocket();
        emit disconnected();
        return;
    }
    Fail(QStringLiteral("no reply from the server within %1 s").arg(m_replyTimeoutMs / 1000.0));
}

void SmtpClient::OnBytesWritten()
{
    // A long message takes its time to go out: the time-out counts from the last progress.
    if (m_step == Step::Body && m_timer.isActive())
        m_timer.start(m_replyTimeoutMs);
}

void SmtpClient::OnSocketError()
{
    if (!m_socket)
        return;
    const QString why = m_socket->errorString();
    if (m_step == Step::Quit) {
        m_step = Step::Idle;
        CloseSocket();
        emit disconnected();
        return;
    }
    if (m_step == Step::Idle) {
        // Between operations: the next one will find the connection gone.
        qCDebug(lcMail) << "connection error while idle:" << why;
        CloseSocket();
        return;
    }
    Fail(why);
}

void SmtpClient::OnSocketDisconnected()
{
    if (m_step == Step::Quit) {
        m_step = Step::Idle;
        CloseSocket();
        emit disconnected();
    } else if (m_step != Step::Idle) {
        Fail(QStringLiteral("the server closed the connection"));
    } else {
        CloseSocket();
    }
}

void SmtpClient::OnReadyRead()
{
    if (!m_socket)
        return;
    m_reader.Feed(m_socket->readAll());
    SmtpReply reply;
    while (m_socket) {
        const SmtpReplyReader::Result result = m_reader.Next(&reply);
        if (result == SmtpReplyReader::Result::NeedMore)
            return;
        if (result == SmtpReplyReader::Result::Error) {
            Fail(QStringLiteral("unreadable reply: ") + m_reader.Error());
            return;
        }
        qCDebug(lcMail) << "S:" << reply.code
                        << (reply.lines.isEmpty() ? QByteArray() : reply.lines.first().left(200));
        if (m_step == Step::Idle) {
            // Nothing was asked: a server that speaks out of turn (a 421 before it closes).
            qCDebug(lcMail) << "unasked reply ignored";
            continue;
        }
        OnReply(reply);
    }
}

void SmtpClient::OnReply(const SmtpReply& reply)
{
    const int code = reply.code;
    switch (m_step) {
    case Step::Greeting:
        if (code != 220)
            return Fail(QStringLiteral("the server refused the connection"), &reply);
        Send("EHLO " + GreetingName());
        return Expect(Step::Ehlo);
    case Step::Ehlo:
        if (code == 250) {
            m_ready = true;
            return Succeed(&SmtpClient::connected);
        }
        if (code == 500 || code == 502) {
            // An older server that knows only HELO.
            Send("HELO " + GreetingName());
            return Expect(Step::Helo);
        }
        return Fail(QStringLiteral("the server refused the greeting"), &reply);
    case Step::Helo:
        if (code != 250)
            return Fail(QStringLiteral("the server refused the greeting"), &reply);
        m_ready = true;
        return Succeed(&SmtpClient::connected);
    case Step::AuthLoginStart:
        if (code != 334)
            return Fail(QStringLiteral("the server refused AUTH LOGIN"), &reply);
        Send(m_user.toBase64());
        return Expect(Step::AuthLoginUser);
    case Step::AuthLoginUser:
        if (code != 334)
            return Fail(QStringLiteral("the server refused the user name"), &reply);
        Expect(Step::AuthLoginPassword);
        m_socket->write(m_password.toBase64() + "\r\n");
        m_password.clear();
        return;
    case Step::AuthLoginPassword:
    case Step::AuthPlain:
        m_password.clear();
        if (code != 235)
            return Fail(QStringLiteral("authentication failed"), &reply);
        return Succeed(&SmtpClient::authenticated);
    case Step::MailFrom:
        if (code != 250)
            return Fail(QStringLiteral("the server refused the sender"), &reply);
        return SendNextRecipient();
    case Step::RcptTo:
        if (code != 250 && code != 251)
            return Fail(QStringLiteral("the server refused a recipient"), &reply);
        return SendNextRecipient();
    case Step::Data:
        if (code != 354)
            return Fail(QStringLiteral("the server refused DATA"), &reply);
        Expect(Step::Body);
        qCDebug(lcMail) << "C: message of" << m_body.size() << "bytes";
        m_socket->write(m_body);
        m_body.clear();
        return;
    case Step::Body:
        if (code != 250)
            return Fail(QStringLiteral("the server refused the message"), &reply);
        return Succeed(&SmtpClient::mailSent);
    case Step::Quit:
        m_step = Step::Idle;
        CloseSocket();
        emit disconnected();
        return;
    case Step::Idle: return;
    }
}

void SmtpClient::SendNextRecipient()
{
    if (m_nextRecipient < m_recipients.size()) {
        Send("RCPT TO:<" + m_recipients.at(m_nextRecipient++) + ">");
        Expect(Step::RcptTo);
        return;
    }
    Send("DATA");
    Expect(Step::Data);
}
