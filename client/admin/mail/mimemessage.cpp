#include "mail/mimemessage.h"
#include "mail/mimeencoding.h"

#include <QLocale>
#include <QRandomGenerator>

namespace {
QByteArray AddressList(const QList<EmailAddress>& list)
{
    QByteArray out;
    for (const EmailAddress& address : list) {
        if (!out.isEmpty())
            out += ",\r\n ";
        out += MimeEncoding::Mailbox(address.getAddress(), address.getName());
    }
    return out;
}

// RFC 5322 date, in English whatever the user's language.
QByteArray MailDate(const QDateTime& when)
{
    const int offset = when.offsetFromUtc() / 60;
    const QString zone = QString::asprintf("%c%02d%02d", offset < 0 ? '-' : '+', qAbs(offset) / 60,
                                           qAbs(offset) % 60);
    return QLocale::c().toString(when, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")).toLatin1() + zone.toLatin1();
}
} // namespace

MimeMessage::MimeMessage(bool /*autoContent*/) {}

MimeMessage::~MimeMessage() = default;

void MimeMessage::addRecipient(const EmailAddress& recipient, RecipientType type)
{
    switch (type) {
    case Cc: m_cc << recipient; break;
    case Bcc: m_bcc << recipient; break;
    case To: m_to << recipient; break;
    }
}

void MimeMessage::addPart(std::unique_ptr<MimePart> part)
{
    if (part)
        m_parts.push_back(std::move(part));
}

const QList<EmailAddress>& MimeMessage::getRecipients(RecipientType type) const
{
    switch (type) {
    case Cc: return m_cc;
    case Bcc: return m_bcc;
    case To: break;
    }
    return m_to;
}

QList<EmailAddress> MimeMessage::allRecipients() const
{
    return m_to + m_cc + m_bcc;
}

QByteArray MimeMessage::boundary() const
{
    if (m_boundary.isEmpty()) {
        QRandomGenerator* random = QRandomGenerator::global();
        m_boundary = "=_zent_" + QByteArray::number(random->generate64(), 16)
                     + QByteArray::number(random->generate64(), 16);
    }
    return m_boundary;
}

QByteArray MimeMessage::toBytes() const
{
    const QByteArray mark = boundary();
    QByteArray out;
    out += "From: " + MimeEncoding::Mailbox(m_sender.getAddress(), m_sender.getName()) + "\r\n";
    if (!m_to.isEmpty())
        out += "To: " + AddressList(m_to) + "\r\n";
    if (!m_cc.isEmpty())
        out += "Cc: " + AddressList(m_cc) + "\r\n";
    out += "Subject: " + MimeEncoding::HeaderText(m_subject) + "\r\n";
    out += "Date: " + MailDate(m_date.isValid() ? m_date : QDateTime::currentDateTime()) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: multipart/mixed; boundary=\"" + mark + "\"\r\n\r\n";
    for (const auto& part : m_parts) {
        out += "--" + mark + "\r\n";
        out += part->toBytes();
    }
    out += "--" + mark + "--\r\n";
    return out;
}
