// libFuzzer target for what an SMTP server sends: the input is cut in three at the values of its
// first two bytes and fed to the reply reader piece by piece; every reply it returns must keep
// the reader's bounds. The input is also read as a typed address and a header text.
#include "fuzz/support/fuzzapplication.h"
#include "mail/emailaddress.h"
#include "mail/mimeencoding.h"
#include "mail/smtpreplyreader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), int(size));
    const int first = size > 0 ? std::min<int>(data[0], input.size()) : 0;
    const int second = size > 1 ? std::min<int>(first + data[1], input.size()) : first;
    SmtpReplyReader reader;
    for (const QByteArray& piece : {input.left(first), input.mid(first, second - first), input.mid(second)}) {
        reader.Feed(piece);
        SmtpReply reply;
        SmtpReplyReader::Result result;
        while ((result = reader.Next(&reply)) == SmtpReplyReader::Result::Reply) {
            if (reply.code < 200 || reply.code > 599 || reply.lines.isEmpty()
                || reply.lines.size() > SmtpReplyReader::kMaxLines)
                std::abort();
            for (const QByteArray& line : reply.lines) {
                if (line.size() > SmtpReplyReader::kMaxLineLength)
                    std::abort();
            }
        }
        if (result == SmtpReplyReader::Result::NeedMore && reader.Pending() > input.size())
            std::abort();
    }

    const QString text = QString::fromUtf8(input);
    const EmailAddress address = EmailAddress::Parse(text);
    if (address.getAddress().size() + address.getName().size() > text.size())
        std::abort();
    const QByteArray header = MimeEncoding::HeaderText(text);
    // An encoded header never carries a bare line break: only folding (CRLF and a blank).
    for (int at = header.indexOf('\n'); at >= 0; at = header.indexOf('\n', at + 1)) {
        if (at == 0 || header.at(at - 1) != '\r' || at + 1 >= header.size() || header.at(at + 1) != ' ')
            std::abort();
    }
    return 0;
}
