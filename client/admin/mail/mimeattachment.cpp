#include "mail/mimeattachment.h"
#include "mail/mimeencoding.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrl>

MimeAttachment::MimeAttachment(const QString& path)
    : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return;
    }
    if (file.size() > kMaxSize) {
        m_error = QStringLiteral("the file is larger than %1 bytes").arg(kMaxSize);
        return;
    }
    const QByteArray data = file.readAll();
    if (data.size() != file.size()) {
        m_error = file.errorString();
        return;
    }
    setContent(data);
    setContentType(QMimeDatabase().mimeTypeForFileNameAndData(path, data).name().toLatin1());
    m_ready = true;
}

QString MimeAttachment::getFileName() const
{
    return QFileInfo(m_path).fileName();
}

QByteArray MimeAttachment::extraHeaders() const
{
    const QString name = getFileName();
    if (MimeEncoding::IsPlainHeaderText(name) && !name.contains(QLatin1Char('"'))
        && !name.contains(QLatin1Char('\\')))
        return "Content-Disposition: attachment; filename=\"" + name.toLatin1() + "\"\r\n";
    // A name beyond plain ASCII goes as an RFC 2231 parameter: UTF-8, percent-encoded.
    return "Content-Disposition: attachment; filename*=utf-8''" + QUrl::toPercentEncoding(name) + "\r\n";
}
