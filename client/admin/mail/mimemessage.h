#pragma once
// A mail: sender, recipients (To, Cc, Bcc), subject and parts, written as a multipart/mixed
// message (RFC 5322 headers, RFC 2047 for texts beyond ASCII). The message owns its parts.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

#include "mail/emailaddress.h"
#include "mail/mimepart.h"

class MimeMessage
{
public:
    enum RecipientType { To = 0, Cc = 1, Bcc = 2 };

    // `autoContent` is kept for the callers' sake: the message is always multipart/mixed.
    explicit MimeMessage(bool autoContent = true);
    ~MimeMessage();
    MimeMessage(const MimeMessage&) = delete;
    MimeMessage& operator=(const MimeMessage&) = delete;

    void setSender(const EmailAddress& sender) { m_sender = sender; }
    void addRecipient(const EmailAddress& recipient, RecipientType type = To);
    void setSubject(const QString& subject) { m_subject = subject; }
    void addPart(std::unique_ptr<MimePart> part);
    // Fixes the Date header and the boundary (tests); otherwise the time of writing and a random
    // boundary.
    void setDate(const QDateTime& date) { m_date = date; }
    void setBoundary(const QByteArray& boundary) { m_boundary = boundary; }

    const EmailAddress& getSender() const { return m_sender; }
    const QList<EmailAddress>& getRecipients(RecipientType type = To) const;
    const QString& getSubject() const { return m_subject; }
    int partCount() const { return static_cast<int>(m_parts.size()); }
    const MimePart& part(int index) const { return *m_parts.at(static_cast<size_t>(index)); }

    // Every address the mail goes to, To then Cc then Bcc.
    QList<EmailAddress> allRecipients() const;
    // The whole message, lines ended by CRLF (Bcc is not written).
    QByteArray toBytes() const;

private:
    QByteArray boundary() const;

    EmailAddress m_sender;
    QList<EmailAddress> m_to;
    QList<EmailAddress> m_cc;
    QList<EmailAddress> m_bcc;
    QString m_subject;
    std::vector<std::unique_ptr<MimePart>> m_parts;
    QDateTime m_date;
    mutable QByteArray m_boundary;
};
