#pragma once
// The HTML body of a mail, UTF-8.
#include <QString>

#include "mail/mimepart.h"

class MimeHtml : public MimePart
{
public:
    explicit MimeHtml(const QString& html = QString());
    void setHtml(const QString& html);
    QString getHtml() const;
};
