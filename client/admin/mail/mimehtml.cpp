#include "mail/mimehtml.h"

MimeHtml::MimeHtml(const QString& html)
{
    setContentType("text/html; charset=utf-8");
    setHtml(html);
}

void MimeHtml::setHtml(const QString& html)
{
    setContent(html.toUtf8());
}

QString MimeHtml::getHtml() const
{
    return QString::fromUtf8(getContent());
}
