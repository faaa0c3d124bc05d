#pragma once
// Sends one mail as the send dialog asks, without blocking: connect, log in when the settings
// ask for it, send, and say QUIT; the end is one finished() signal with the text to show the
// user ("The email was succesfully sent.", "Connection Failed", "Authentification Failed" or
// "Mail sending failed") and the detail of a failure.
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QStringList>

#include <memory>

#include "mail/smtpsettings.h"

class SmtpClient;
class MimeMessage;

struct MailForm
{
    QString sender;     // "Name <address>" or an address
    QString recipients; // separated by ";"
    QString subject;
    QString html;
    QStringList attachments;
};

class SmtpSendJob : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Sent, ConnectionFailed, AuthenticationFailed, SendingFailed };

    explicit SmtpSendJob(QObject* parent = nullptr);
    ~SmtpSendJob() override;

    void setReplyTimeout(int milliseconds) { m_replyTimeoutMs = milliseconds; }
    void addCaCertificates(const QList<QSslCertificate>& certificates) { m_extraCa += certificates; }

    // What makes the form unsendable, for the user ("" when nothing does): no usable sender, no
    // recipient, or a recipient that is not a usable address. Known before any connection.
    static QString FormProblem(const MailForm& form);
    // Starts the send; false (and nothing started) while one is running.
    bool Start(const SmtpSettings& settings, const MailForm& form);
    bool IsRunning() const { return m_running; }

    // The message the form makes (also what a send puts on the wire).
    static std::unique_ptr<MimeMessage> BuildMessage(const MailForm& form);
    // The recipients field split on ";", empty parts kept.
    static QStringList SplitRecipients(const QString& text);
    static QString OutcomeText(Outcome outcome);
    // The first lines of a failure's detail, each cut at a bound, as the user is shown them (the
    // whole detail goes to the debug log).
    static QString ShownDetail(const QString& detail);
    static constexpr int kShownLines = 4;
    static constexpr int kShownLineLength = 160;

signals:
    void finished(SmtpSendJob::Outcome outcome, const QString& text, const QString& detail);

private:
    void OnConnected();
    void OnAuthenticated();
    void OnMailSent();
    void OnFailed(const QString& why);
    void Finish(Outcome outcome, const QString& detail);

    SmtpSettings m_settings;
    std::unique_ptr<MimeMessage> m_message;
    SmtpClient* m_client = nullptr;
    QList<QSslCertificate> m_extraCa;
    int m_replyTimeoutMs = 60000;
    bool m_running = false;
    Outcome m_failureKind = Outcome::ConnectionFailed;
};
