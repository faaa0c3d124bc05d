#include "mail/smtpreplyreader.h"

namespace {
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

void SmtpReplyReader::Feed(const QByteArray& data)
{
    if (HasError())
        return;
    // Drop what was read already before the buffer grows.
    if (m_at > 0) {
        m_buffer.remove(0, m_at);
        m_at = 0;
    }
    m_buffer += data;
}

SmtpReplyReader::Result SmtpReplyReader::Fail(const QString& why)
{
    m_error = why;
    m_buffer.clear();
    m_at = 0;
    m_partial = SmtpReply();
    return Result::Error;
}

SmtpReplyReader::Result SmtpReplyReader::Next(SmtpReply* reply)
{
    if (HasError())
        return Result::Error;
    while (true) {
        const int end = m_buffer.indexOf('\n', m_at);
        if (end < 0) {
            if (m_buffer.size() - m_at > kMaxLineLength)
                return Fail(QStringLiteral("reply line longer than %1 bytes").arg(kMaxLineLength));
            return Result::NeedMore;
        }
        int length = end - m_at;
        if (length > 0 && m_buffer.at(end - 1) == '\r')
            --length;
        if (length > kMaxLineLength)
            return Fail(QStringLiteral("reply line longer than %1 bytes").arg(kMaxLineLength));
        const char* line = m_buffer.constData() + m_at;
        m_at = end + 1;

        if (length < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2]))
            return Fail(QStringLiteral("reply line without a three-digit code"));
        const int code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
        if (code < 200 || code > 599)
            return Fail(QStringLiteral("reply code %1 out of range").arg(code));
        const char separator = length > 3 ? line[3] : ' ';
        if (separator != ' ' && separator != '-')
            return Fail(QStringLiteral("reply code not followed by a blank or a hyphen"));
        if (!m_partial.lines.isEmpty() && code != m_partial.code)
            return Fail(QStringLiteral("reply code changes inside a reply"));
        if (m_partial.lines.size() >= kMaxLines)
            return Fail(QStringLiteral("reply of more than %1 lines").arg(kMaxLines));
        m_partial.code = code;
        m_partial.lines << QByteArray(line + qMin(length, 4), qMax(0, length - 4));
        if (separator == ' ') {
            if (reply)
                *reply = m_partial;
            m_partial = SmtpReply();
            return Result::Reply;
        }
    }
}
