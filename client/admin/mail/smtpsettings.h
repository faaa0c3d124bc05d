#pragma once
// The outgoing mail server settings and their file smtp.dat: six lines of UTF-8 (server, port,
// "1"/"0" TLS, "1"/"0" user authentication, user name, password), read line by line so that a
// value may hold blanks, and written through a temporary file that replaces the old one only
// when it is whole.
#include <QString>

struct SmtpSettings
{
    QString server;
    QString port = QStringLiteral("25");
    bool secure = false;
    bool authentication = true;
    QString user;
    QString password;
    QString sender; // user "@" server, kept while either is empty

    // The sender address the settings give: user "@" server when both are set, else `previous`.
    static QString SenderFor(const QString& user, const QString& server, const QString& previous);
};

namespace SmtpSettingsFile {

// smtp.dat holds six short lines; a larger file is read only this far.
constexpr qint64 kReadLimit = 64 * 1024;

// The settings of the file; without the file (or unreadable) the defaults: port 25,
// authentication on, everything else empty.
SmtpSettings Read(const QString& path);
// Writes the six lines; false (with the reason) when the file could not be written, in which
// case the old file is left as it was. Line breaks inside a value become blanks.
bool Write(const QString& path, const SmtpSettings& settings, QString* error = nullptr);

} // namespace SmtpSettingsFile
