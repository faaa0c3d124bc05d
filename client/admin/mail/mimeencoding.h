#pragma once
// Encodings a mail message needs: base64 bodies in lines of 76 characters, RFC 2047 encoded
// words for header texts that are not plain ASCII, and the quoting of a display name.
#include <QByteArray>
#include <QString>

namespace MimeEncoding {

// Base64 of the data, CRLF after every 76 characters and after the last line.
QByteArray Base64Lines(const QByteArray& data);

// A header text: kept as it is when it is printable ASCII, else one or more "=?utf-8?B?...?="
// words (each at most 75 characters, never splitting a character), folded with CRLF and a blank.
QByteArray HeaderText(const QString& text);

// A display name for an address header: printable ASCII without specials stays as it is,
// ASCII with specials is quoted, anything else becomes encoded words.
QByteArray DisplayName(const QString& name);

// "name <address>" or "<address>" for a header.
QByteArray Mailbox(const QString& address, const QString& name);

// Whether the text could go into a header unencoded (printable ASCII and blanks, no CR or LF).
bool IsPlainHeaderText(const QString& text);

} // namespace MimeEncoding
