// Address parsing, header encoding, the message layout and the SMTP reply reader; every expected
// byte string is written out by hand from RFC 5322, RFC 2045 and RFC 2047.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

#include "mail/emailaddress.h"
#include "mail/mimeencoding.h"
#include "mail/mimehtml.h"
#include "mail/mimemessage.h"
#include "mail/smtpreplyreader.h"
#include "mail/smtpsendjob.h"

namespace {

TEST(EmailAddressTest, ParsesWhatTheUserTyped)
{
    const struct
    {
        const char* text;
        const char* address;
        const char* name;
    } cases[] = {
        {"Ann Lee <ann@example.org>", "ann@example.org", "Ann Lee "},
        {"ann@example.org", "ann@example.org", ""},
        {"<ann@example.org>", "ann@example.org", ""},
        {"Ann <ann@example.org", "ann@example.org", "Ann "},
        {"x> Ann <a@b>", "a@b", "x> Ann "},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const EmailAddress address = EmailAddress::Parse(QString::fromUtf8(c.text));
        EXPECT_EQ(address.getAddress(), QString::fromUtf8(c.address));
        EXPECT_EQ(address.getName(), QString::fromUtf8(c.name));
    }
}

TEST(EmailAddressTest, RecipientsSplitOnSemicolonsKeepingEmptyParts)
{
    EXPECT_EQ(SmtpSendJob::SplitRecipients("a@x;;b@y"), (QStringList{"a@x", "", "b@y"}));
    // Empty parts name nobody: the message goes to the two addresses only.
    MailForm form;
    form.recipients = "a@x;; Bo <b@y>;";
    const auto message = SmtpSendJob::BuildMessage(form);
    ASSERT_EQ(message->getRecipients().size(), 2);
    EXPECT_EQ(message->getRecipients().at(1).getAddress(), "b@y");
}

TEST(MimeEncodingTest, HeaderTexts)
{
    const struct
    {
        QString text;
        QByteArray encoded;
    } cases[] = {
        {"Camera 3 at 10:15", "Camera 3 at 10:15"},
        {QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                           "e"),
         "=?utf-8?B?R3LDvMOfZQ==?="},
        {"line\nbreak", "=?utf-8?B?bGluZQpicmVhaw==?="},
        // Long plain text stays as it is.
        {QString(46, 'a'), QByteArray(46, 'a')},
        // 45 two-byte characters: 22 (44 bytes) in each of the first two words, one in the third.
        {QString(45, QChar(0xE9)), "=?utf-8?B?w6nDqcOpw6nDqcOpw6nDqcOpw6nDqcOpw6nDqcOpw6nDqcOpw6nDqcOpw6k=?=\r\n"
                                   " =?utf-8?B?w6nDqcOpw6nDqcOpw6nDqcOpw6nDqcOpw6nDqcOpw6nDqcOpw6nDqcOpw6k=?=\r\n"
                                   " =?utf-8?B?w6k=?="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(MimeEncoding::HeaderText(c.text), c.encoded);
    }
    EXPECT_EQ(MimeEncoding::Mailbox("a@b", "Ann Lee "), QByteArray("Ann Lee <a@b>"));
    EXPECT_EQ(MimeEncoding::Mailbox("a@b", "Lee, Ann"), QByteArray("\"Lee, Ann\" <a@b>"));
    EXPECT_EQ(MimeEncoding::Mailbox(" a@b ", ""), QByteArray("<a@b>"));
}

TEST(MimeEncodingTest, Base64BodyLinesAreAtMost76Characters)
{
    EXPECT_EQ(MimeEncoding::Base64Lines("abc"), QByteArray("YWJj\r\n"));
    EXPECT_EQ(MimeEncoding::Base64Lines(QByteArray()), QByteArray());
    // 58 bytes make 80 characters: 76 on the first line, 4 on the second.
    EXPECT_EQ(MimeEncoding::Base64Lines(QByteArray(58, 'x')), QByteArray("eHh4").repeated(19) + "\r\neA==\r\n");
}

TEST(MimeMessageTest, LayoutOfAMessageWithAnHtmlPart)
{
    MimeMessage message;
    message.setSender(EmailAddress("me@example.org", "Me"));
    message.addRecipient(EmailAddress("a@example.org"));
    message.addRecipient(EmailAddress("b@example.org", "B"));
    message.addRecipient(EmailAddress("hidden@example.org"), MimeMessage::Bcc);
    message.setSubject("Snapshot");
    message.addPart(std::make_unique<MimeHtml>("<b>hi</b>"));
    message.setBoundary("BOUNDARY");
    message.setDate(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7), QTimeZone(3600)));
    EXPECT_EQ(message.toBytes(), QByteArray("From: Me <me@example.org>\r\n"
                                            "To: <a@example.org>,\r\n B <b@example.org>\r\n"
                                            "Subject: Snapshot\r\n"
                                            "Date: Wed, 04 Mar 2026 05:06:07 +0100\r\n"
                                            "MIME-Version: 1.0\r\n"
                                            "Content-Type: multipart/mixed; boundary=\"BOUNDARY\"\r\n"
                                            "\r\n"
                                            "--BOUNDARY\r\n"
                                            "Content-Type: text/html; charset=utf-8\r\n"
                                            "Content-Transfer-Encoding: base64\r\n"
                                            "\r\n"
                                            "PGI+aGk8L2I+\r\n"
                                            "--BOUNDARY--\r\n"));
    EXPECT_EQ(message.allRecipients().size(), 3);
}

TEST(SmtpReplyReaderTest, RepliesOutOfArbitraryPieces)
{
    const QByteArray stream = "220 ready\r\n250-peer\r\n250-AUTH LOGIN\r\n250 8BITMIME\r\n354\r\n";
    // Fed whole, and one byte at a time: the same three replies.
    for (int piece : {int(stream.size()), 1, 7}) {
        SCOPED_TRACE(piece);
        SmtpReplyReader reader;
        QList<SmtpReply> replies;
        for (int at = 0; at < stream.size(); at += piece) {
            reader.Feed(stream.mid(at, piece));
            SmtpReply reply;
            while (reader.Next(&reply) == SmtpReplyReader::Result::Reply)
                replies << reply;
        }
        ASSERT_EQ(replies.size(), 3);
        EXPECT_EQ(replies[0].code, 220);
        EXPECT_EQ(replies[0].lines, QList<QByteArray>{"ready"});
        EXPECT_EQ(replies[1].code, 250);
        EXPECT_EQ(replies[1].lines, (QList<QByteArray>{"peer", "AUTH LOGIN", "8BITMIME"}));
        EXPECT_EQ(replies[2].code, 354);
        EXPECT_EQ(replies[2].lines, QList<QByteArray>{""});
        EXPECT_EQ(reader.Pending(), 0);
    }
}

TEST(SmtpReplyReaderTest, BadRepliesAreErrorsAndStaySo)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"no code", "hello\r\n"},
        {"short code", "25\r\n"},
        {"code out of range", "199 x\r\n"},
        {"code above 599", "600 x\r\n"},
        {"bad separator", "250x\r\n"},
        {"code changes", "250-a\r\n251 b\r\n"},
        {"line too long", "250 " + QByteArray(SmtpReplyReader::kMaxLineLength, 'a') + "\r\n"},
        {"endless line", QByteArray(SmtpReplyReader::kMaxLineLength + 2, '2')},
        {"too many lines", QByteArray("250-x\r\n").repeated(SmtpReplyReader::kMaxLines + 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SmtpReplyReader reader;
        reader.Feed(c.bytes);
        SmtpReply reply;
        EXPECT_EQ(reader.Next(&reply), SmtpReplyReader::Result::Error);
        EXPECT_TRUE(reader.HasError());
        reader.Feed("220 fine\r\n");
        EXPECT_EQ(reader.Next(&reply), SmtpReplyReader::Result::Error);
    }
}

} // namespace
