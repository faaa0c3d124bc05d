#include "mail/smtpsendjob.h"
#include "mail/maillog.h"
#include "mail/mimeattachment.h"
#include "mail/mimehtml.h"
#include "mail/mimemessage.h"
#include "mail/smtpclient.h"

SmtpSendJob::SmtpSendJob(QObject* parent)
    : QObject(parent)
{}

SmtpSendJob::~SmtpSendJob() = default;

QStringList SmtpSendJob::SplitRecipients(const QString& text)
{
    return text.split(QLatin1Char(';'));
}

QString SmtpSendJob::OutcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Sent: return QStringLiteral("The email was succesfully sent.");
    case Outcome::ConnectionFailed: return QStringLiteral("Connection Failed");
    case Outcome::AuthenticationFailed: return QStringLiteral("Authentification Failed");
    case Outcome::SendingFailed: break;
    }
    return QStringLiteral("Mail sending failed");
}

QString SmtpSendJob::FormProblem(const MailForm& form)
{
    if (!SmtpClient::IsSafeAddress(EmailAddress::Parse(form.sender).getAddress().trimmed()))
        return QStringLiteral("Enter the sender's address.");
    int recipients = 0;
    for (const QString& part : SplitRecipients(form.recipients)) {
        const QString address = EmailAddress::Parse(part).getAddress().trimmed();
        if (address.isEmpty())
            continue;
        if (!SmtpClient::IsSafeAddress(address))
            return QStringLiteral("\"%1\" is not an address that mail can be sent to.").arg(address);
        ++recipients;
    }
    return recipients == 0 ? QStringLiteral("Enter at least one recipient.") : QString();
}

QString SmtpSendJob::ShownDetail(const QString& detail)
{
    // A server may refuse with a reply of hundreds of long lines; laid out whole in a box it
    // holds the window for seconds and tells the user nothing more than its first lines do.
    const QStringList lines = detail.split(QLatin1Char('\n'));
    QStringList shown;
    for (const QString& line : lines.mid(0, kShownLines)) {
        shown << (line.size() > kShownLineLength ? line.left(kShownLineLength) + QChar(0x2026) : line);
    }
    if (lines.size() > kShownLines)
        shown << QStringLiteral("(%1 more lines)").arg(lines.size() - kShownLines);
    return shown.join(QLatin1Char('\n'));
}

std::unique_ptr<MimeMessage> SmtpSendJob::BuildMessage(const MailForm& form)
{
    auto message = std::make_unique<MimeMessage>(true);
    message->setSender(EmailAddress::Parse(form.sender));
    message->setSubject(form.subject);
    for (const QString& part : SplitRecipients(form.recipients)) {
        // "a;;b" or a trailing ";" leaves empty parts: they name nobody and are not sent to.
        const EmailAddress recipient = EmailAddress::Parse(part);
        if (!recipient.getAddress().trimmed().isEmpty())
            message->addRecipient(recipient, MimeMessage::To);
    }
    message->addPart(std::make_unique<MimeHtml>(form.html));
    for (const QString& path : form.attachments)
        message->addPart(std::make_unique<MimeAttachment>(path));
    return message;
}

bool SmtpSendJob::Start(const SmtpSettings& settings, const MailForm& form)
{
    if (m_running)
        return false;
    m_running = true;
    m_settings = settings;
    m_message = BuildMessage(form);
    // An attachment that cannot be read fails the mail before any connection is made.
    for (int i = 0; i < m_message->partCount(); ++i) {
        const auto* attachment = dynamic_cast<const MimeAttachment*>(&m_message->part(i));
        if (attachment && !attachment->isReady()) {
            const QString detail =
                QStringLiteral("cannot read %1: %2").arg(attachment->getPath(), attachment->getError());
            QMetaObject::invokeMethod(
                this, [this, detail] { Finish(Outcome::SendingFailed, detail); }, Qt::QueuedConnection);
            return true;
        }
    }
    bool portOk = false;
    const int port = settings.port.trimmed().toInt(&portOk);
    m_client = new SmtpClient(settings.server.trimmed(), portOk && port > 0 && port < 65536 ? port : 0,
                              settings.secure ? SmtpClient::SslConnection : SmtpClient::TcpConnection, this);
    m_client->setReplyTimeout(m_replyTimeoutMs);
    m_client->addCaCertificates(m_extraCa);
    connect(m_client, &SmtpClient::connected, this, &SmtpSendJob::OnConnected);
    connect(m_client, &SmtpClient::authenticated, this, &SmtpSendJob::OnAuthenticated);
    connect(m_client, &SmtpClient::mailSent, this, &SmtpSendJob::OnMailSent);
    connect(m_client, &SmtpClient::failed, this, &SmtpSendJob::OnFailed);
    m_failureKind = Outcome::ConnectionFailed;
    if (settings.server.trimmed().isEmpty() || !portOk || port <= 0 || port >= 65536) {
        const QString detail = QStringLiteral("no usable server and port in the e-mail settings");
        QMetaObject::invokeMethod(
            this, [this, detail] { Finish(Outcome::ConnectionFailed, detail); }, Qt::QueuedConnection);
        return true;
    }
    m_client->connectToHost();
    return true;
}

void SmtpSendJob::OnConnected()
{
    if (m_settings.authentication) {
        m_failureKind = Outcome::AuthenticationFailed;
        m_client->login(m_settings.user, m_settings.password, SmtpClient::AuthLogin);
        return;
    }
    OnAuthenticated();
}

void SmtpSendJob::OnAuthenticated()
{
    m_failureKind = Outcome::SendingFailed;
    m_client->sendMail(*m_message);
}

void SmtpSendJob::OnMailSent()
{
    m_client->quit();
    Finish(Outcome::Sent, QString());
}

void SmtpSendJob::OnFailed(const QString& why)
{
    Finish(m_failureKind, why);
}

void SmtpSendJob::Finish(Outcome outcome, const QString& detail)
{
    if (!m_running)
        return;
    m_running = false;
    m_message.reset();
    if (m_client && outcome != Outcome::Sent) {
        // The client has closed its connection on the failure already.
        m_client->deleteLater();
        m_client = nullptr;
    } else if (m_client) {
        // The QUIT exchange ends on its own; the client goes with it.
        SmtpClient* client = m_client;
        m_client = nullptr;
        connect(client, &SmtpClient::disconnected, client, &QObject::deleteLater);
    }
    if (outcome != Outcome::Sent) {
        qCWarning(lcMail).noquote() << OutcomeText(outcome) << ShownDetail(detail);
        qCDebug(lcMail).noquote() << "the whole failure:" << detail;
    }
    emit finished(outcome, OutcomeText(outcome), detail);
}
