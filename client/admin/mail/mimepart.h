#pragma once
// One part of a multipart mail: its content type and body, sent base64-encoded. Parts are
// added to a MimeMessage, which writes each one between its boundaries.
#include <QByteArray>
#include <QString>

class MimePart
{
public:
    MimePart() = default;
    virtual ~MimePart() = default;
    MimePart(const MimePart&) = delete;
    MimePart& operator=(const MimePart&) = delete;

    void setContent(const QByteArray& content) { m_content = content; }
    const QByteArray& getContent() const { return m_content; }
    void setContentType(const QByteArray& type) { m_contentType = type; }
    const QByteArray& getContentType() const { return m_contentType; }

    // Whether the part has what it needs to be sent; a part that is not ready fails the mail.
    virtual bool isReady() const { return true; }
    // Headers and encoded body, every line ended by CRLF.
    QByteArray toBytes() const;

protected:
    // Further header lines (each ended by CRLF) after Content-Type.
    virtual QByteArray extraHeaders() const { return QByteArray(); }

private:
    QByteArray m_content;
    QByteArray m_contentType = "application/octet-stream";
};
