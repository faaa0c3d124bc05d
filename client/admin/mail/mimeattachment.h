#pragma once
// A file attached to a mail, read whole when the attachment is made. A file that cannot be read
// (missing, unreadable, larger than kMaxSize) leaves the attachment not ready, and a mail with
// such a part is not sent.
#include <QString>

#include "mail/mimepart.h"

class MimeAttachment : public MimePart
{
public:
    // Servers refuse far smaller mails; this only keeps the whole message in reasonable memory.
    static constexpr qint64 kMaxSize = 64 * 1024 * 1024;

    explicit MimeAttachment(const QString& path);

    bool isReady() const override { return m_ready; }
    const QString& getPath() const { return m_path; }
    const QString& getError() const { return m_error; }
    QString getFileName() const;

protected:
    QByteArray extraHeaders() const override;

private:
    QString m_path;
    QString m_error;
    bool m_ready = false;
};
