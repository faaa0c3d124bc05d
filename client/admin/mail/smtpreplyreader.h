#pragma once
// Reads an SMTP server's replies (RFC 5321, 4.2) out of the bytes it sends: lines "ddd-text"
// continue a reply, a line "ddd text" or "ddd" ends it, and every line of a reply carries the
// same code. Every length is bounded: a line longer than kMaxLineLength, a reply of more than
// kMaxLines lines, a code that is not three digits from 200 to 599 or a change of code inside a
// reply is an error, after which the reader takes nothing more (the connection is useless).
#include <QByteArray>
#include <QList>
#include <QString>

struct SmtpReply
{
    int code = 0;
    QList<QByteArray> lines; // the texts after the code and its separator
};

class SmtpReplyReader
{
public:
    static constexpr int kMaxLineLength = 4096;
    static constexpr int kMaxLines = 256;

    enum class Result { NeedMore, Reply, Error };

    // Adds received bytes.
    void Feed(const QByteArray& data);
    // The next whole reply, if one has arrived.
    Result Next(SmtpReply* reply);
    bool HasError() const { return !m_error.isEmpty(); }
    const QString& Error() const { return m_error; }
    // Bytes received that are not yet part of a returned reply.
    int Pending() const { return m_buffer.size() - m_at; }

private:
    Result Fail(const QString& why);

    QByteArray m_buffer;
    int m_at = 0; // where the next unread line starts
    SmtpReply m_partial;
    QString m_error;
};
