#include "mail/mimepart.h"
#include "mail/mimeencoding.h"

QByteArray MimePart::toBytes() const
{
    QByteArray out = "Content-Type: " + m_contentType + "\r\n";
    out += extraHeaders();
    out += "Content-Transfer-Encoding: base64\r\n\r\n";
    out += MimeEncoding::Base64Lines(m_content);
    return out;
}
