#include "mail/mimeencoding.h"

#include <QList>

namespace {
constexpr int kBase64LineLength = 76;
// "=?utf-8?B?" + "?=" leave 63 characters of base64 in a 75-character word: 45 bytes of text.
constexpr int kEncodedWordBytes = 45;

bool IsSpecial(QChar c)
{
    return QStringLiteral("()<>[]:;@\\,.\"").contains(c);
}

// The UTF-8 bytes of the text in pieces of at most `limit` bytes, never splitting a character.
QList<QByteArray> Utf8Pieces(const QString& text, int limit)
{
    QList<QByteArray> pieces;
    QByteArray piece;
    for (int i = 0; i < text.size(); ++i) {
        int length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, length).toUtf8();
        i += length - 1;
        if (!piece.isEmpty() && piece.size() + bytes.size() > limit) {
            pieces << piece;
            piece.clear();
        }
        piece += bytes;
    }
    if (!piece.isEmpty())
        pieces << piece;
    return pieces;
}
} // namespace

namespace MimeEncoding {

QByteArray Base64Lines(const QByteArray& data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / kBase64LineLength * 2 + 2);
    for (int at = 0; at < encoded.size(); at += kBase64LineLength) {
        out += encoded.mid(at, kBase64LineLength);
        out += "\r\n";
    }
    return out;
}

bool IsPlainHeaderText(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

QByteArray HeaderText(const QString& text)
{
    if (IsPlainHeaderText(text))
        return text.toLatin1();
    QByteArray out;
    for (const QByteArray& piece : Utf8Pieces(text, kEncodedWordBytes)) {
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?utf-8?B?" + piece.toBase64() + "?=";
    }
    return out;
}

QByteArray DisplayName(const QString& name)
{
    if (!IsPlainHeaderText(name))
        return HeaderText(name);
    bool special = false;
    for (QChar c : name)
        special = special || IsSpecial(c);
    if (!special)
        return name.toLatin1();
    QByteArray quoted = name.toLatin1();
    quoted.replace('\\', "\\\\");
    quoted.replace('"', "\\\"");
    return '"' + quoted + '"';
}

QByteArray Mailbox(const QString& address, const QString& name)
{
    const QString trimmedName = name.trimmed();
    const QByteArray angle = '<' + address.trimmed().toUtf8() + '>';
    if (trimmedName.isEmpty())
        return angle;
    return DisplayName(trimmedName) + ' ' + angle;
}

} // namespace MimeEncoding
