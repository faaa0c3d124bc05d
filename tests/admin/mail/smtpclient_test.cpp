// The SMTP client and the send job against the test server of smtptestpeer.h: what goes on the
// wire, byte for byte, and how each failure ends.
#include <gtest/gtest.h>

#include <memory>

#include <QSignalSpy>
#include <QTemporaryDir>

#include "../waitfor.h"
#include "harness/testcertificate.h"
#include "mail/mimehtml.h"
#include "mail/mimemessage.h"
#include "mail/smtpclient.h"
#include "mail/smtpsendjob.h"
#include "smtptestpeer.h"

namespace {

struct Result
{
    bool done = false;
    SmtpSendJob::Outcome outcome = SmtpSendJob::Outcome::SendingFailed;
    QString text;
    QString detail;
};

class SmtpClientTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(peer.Start()); }

    SmtpSettings Settings(bool auth = true) const
    {
        SmtpSettings settings;
        settings.server = QStringLiteral("127.0.0.1");
        settings.port = QString::number(peer.serverPort());
        settings.authentication = auth;
        settings.user = QStringLiteral("user");
        settings.password = QStringLiteral("secret");
        return settings;
    }

    static MailForm Form()
    {
        MailForm form;
        form.sender = QStringLiteral("Me <me@example.org>");
        form.recipients = QStringLiteral("a@example.org;b@example.org");
        form.subject = QStringLiteral("Door camera");
        form.html = QStringLiteral("<p>see attached</p>");
        return form;
    }

    Result Send(const SmtpSettings& settings, const MailForm& form, int timeoutMs = 30000)
    {
        Result result;
        // The job outlives this call, as the send window's does: after a sent message its client
        // still says QUIT, which the tests wait for.
        job = std::make_unique<SmtpSendJob>();
        job->setReplyTimeout(timeoutMs);
        QObject::connect(job.get(), &SmtpSendJob::finished,
                         [&](SmtpSendJob::Outcome outcome, const QString& text, const QString& detail) {
                             result = {true, outcome, text, detail};
                         });
        EXPECT_TRUE(job->Start(settings, form));
        EXPECT_FALSE(job->Start(settings, form)); // one send at a time
        EXPECT_TRUE(WaitFor([&] { return result.done; }));
        QObject::disconnect(job.get(), &SmtpSendJob::finished, nullptr, nullptr);
        return result;
    }

    SmtpTestPeer peer;
    std::unique_ptr<SmtpSendJob> job;
};

TEST_F(SmtpClientTest, SendsWithAuthLoginExactlyAsTheProtocolSays)
{
    const Result result = Send(Settings(), Form());
    EXPECT_EQ(result.outcome, SmtpSendJob::Outcome::Sent);
    EXPECT_EQ(result.text, "The email was succesfully sent.");
    ASSERT_TRUE(WaitFor([&] { return peer.Quit(); }));

    const QByteArray wire = peer.Received();
    const int ehloEnd = wire.indexOf("\r\n");
    ASSERT_GT(ehloEnd, 0);
    EXPECT_TRUE(wire.startsWith("EHLO "));
    EXPECT_FALSE(wire.left(ehloEnd).mid(5).isEmpty());
    const QByteArray afterEhlo = wire.mid(ehloEnd + 2);
    // "user" and "secret" in base64 (RFC 4954, LOGIN).
    const QByteArray expectedStart = "AUTH LOGIN\r\ndXNlcg==\r\nc2VjcmV0\r\n"
                                     "MAIL FROM:<me@example.org>\r\n"
                                     "RCPT TO:<a@example.org>\r\n"
                                     "RCPT TO:<b@example.org>\r\n"
                                     "DATA\r\n";
    EXPECT_EQ(afterEhlo.left(expectedStart.size()), expectedStart);
    EXPECT_TRUE(afterEhlo.endsWith("\r\n.\r\nQUIT\r\n"));
    EXPECT_TRUE(peer.Authenticated());

    ASSERT_EQ(peer.Messages().size(), 1);
    const QByteArray message = peer.Messages().first();
    EXPECT_TRUE(message.startsWith("From: Me <me@example.org>\r\nTo: <a@example.org>,\r\n <b@example.org>\r\n"
                                   "Subject: Door camera\r\n"));
    // "<p>see attached</p>" in base64.
    EXPECT_TRUE(message.contains("\r\n\r\nPHA+c2VlIGF0dGFjaGVkPC9wPg==\r\n"));
}

TEST_F(SmtpClientTest, WithoutUserAuthNoLoginIsTried)
{
    const Result result = Send(Settings(false), Form());
    EXPECT_EQ(result.outcome, SmtpSendJob::Outcome::Sent);
    EXPECT_FALSE(peer.Received().contains("AUTH"));
    EXPECT_EQ(peer.Messages().size(), 1);
}

TEST_F(SmtpClientTest, AnOlderServerIsGreetedWithHelo)
{
    peer.SetMisbehave(SmtpTestPeer::Misbehave::HeloOnly);
    const Result result = Send(Settings(false), Form());
    EXPECT_EQ(result.outcome, SmtpSendJob::Outcome::Sent);
    ASSERT_GE(peer.Commands().size(), 2);
    EXPECT_TRUE(peer.Commands().at(1).startsWith("HELO "));
}

TEST_F(SmtpClientTest, EachFailureEndsWithItsMessage)
{
    const struct
    {
        const char* name;
        SmtpTestPeer::Misbehave misbehave;
        const char* password;
        const char* recipients;
        const char* text;
    } cases[] = {
        {"server never greets", SmtpTestPeer::Misbehave::Silent, "secret", "a@x", "Connection Failed"},
        {"server refuses", SmtpTestPeer::Misbehave::RefuseGreeting, "secret", "a@x", "Connection Failed"},
        {"garbage reply", SmtpTestPeer::Misbehave::GarbageGreeting, "secret", "a@x", "Connection Failed"},
        {"wrong password", SmtpTestPeer::Misbehave::None, "wrong", "a@x", "Authentification Failed"},
        {"recipient refused", SmtpTestPeer::Misbehave::RefuseRecipient, "secret", "a@x", "Mail sending failed"},
        {"hang-up after the message", SmtpTestPeer::Misbehave::CloseAfterData, "secret", "a@x",
         "Mail sending failed"},
        {"no recipient at all", SmtpTestPeer::Misbehave::None, "secret", " ; ", "Mail sending failed"},
        {"address with a line break", SmtpTestPeer::Misbehave::None, "secret", "a@x\r\nRSET",
         "Mail sending failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        peer.SetMisbehave(c.misbehave);
        SmtpSettings settings = Settings();
        settings.password = QString::fromLatin1(c.password);
        MailForm form = Form();
        form.recipients = QString::fromLatin1(c.recipients);
        const Result result = Send(settings, form, 500);
        EXPECT_EQ(result.text, QString::fromLatin1(c.text));
        EXPECT_FALSE(result.detail.isEmpty());
    }
    // No line break ever reached the server as a command of its own.
    EXPECT_FALSE(peer.Received().contains("RSET"));
}

TEST_F(SmtpClientTest, NoServerAtTheAddressIsAConnectionFailure)
{
    SmtpSettings settings = Settings();
    peer.close(); // nothing listens on that port any more
    EXPECT_EQ(Send(settings, Form()).text, "Connection Failed");
    settings.port = QStringLiteral("99999");
    EXPECT_EQ(Send(settings, Form()).text, "Connection Failed");
    settings.server.clear();
    EXPECT_EQ(Send(settings, Form()).text, "Connection Failed");
}

TEST_F(SmtpClientTest, AnAttachmentThatCannotBeReadStopsTheMailBeforeAnyConnection)
{
    MailForm form = Form();
    form.attachments = QStringList{QStringLiteral("/no/such/file.jpg")};
    const Result result = Send(Settings(), form);
    EXPECT_EQ(result.text, "Mail sending failed");
    EXPECT_TRUE(result.detail.contains("/no/such/file.jpg"));
    EXPECT_EQ(peer.Connections(), 0);
}

TEST_F(SmtpClientTest, TlsFromTheFirstByte)
{
    QTemporaryDir dir;
    const TestCertificate certificate = MakeTestCertificate(dir.path(), QStringLiteral("localhost"));
    ASSERT_TRUE(certificate.ok);
    peer.SetTls(certificate.cert, certificate.key);

    // An unknown certificate is refused...
    SmtpClient untrusted(QStringLiteral("localhost"), peer.serverPort(), SmtpClient::SslConnection);
    QSignalSpy refused(&untrusted, &SmtpClient::failed);
    untrusted.connectToHost();
    ASSERT_TRUE(WaitFor([&] { return !refused.isEmpty(); }));

    // ...a trusted one carries the whole exchange.
    SmtpClient client(QStringLiteral("localhost"), peer.serverPort(), SmtpClient::SslConnection);
    client.addCaCertificates({certificate.cert});
    QSignalSpy connected(&client, &SmtpClient::connected);
    QSignalSpy authenticated(&client, &SmtpClient::authenticated);
    QSignalSpy sent(&client, &SmtpClient::mailSent);
    QSignalSpy failed(&client, &SmtpClient::failed);
    client.connectToHost();
    ASSERT_TRUE(WaitFor([&] { return !connected.isEmpty() || !failed.isEmpty(); }));
    ASSERT_TRUE(failed.isEmpty()) << client.lastError().toStdString();
    client.login(QStringLiteral("user"), QStringLiteral("secret"), SmtpClient::AuthPlain);
    ASSERT_TRUE(WaitFor([&] { return !authenticated.isEmpty() || !failed.isEmpty(); }));
    ASSERT_TRUE(failed.isEmpty()) << client.lastError().toStdString();
    // "\0user\0secret" in base64 (RFC 4616).
    EXPECT_TRUE(peer.Received().contains("AUTH PLAIN AHVzZXIAc2VjcmV0\r\n"));
    MimeMessage message;
    message.setSender(EmailAddress(QStringLiteral("me@x")));
    message.addRecipient(EmailAddress(QStringLiteral("you@y")));
    message.addPart(std::make_unique<MimeHtml>(QStringLiteral("x")));
    client.sendMail(message);
    ASSERT_TRUE(WaitFor([&] { return !sent.isEmpty() || !failed.isEmpty(); }));
    EXPECT_TRUE(failed.isEmpty()) << client.lastError().toStdString();
    EXPECT_EQ(peer.Messages().size(), 1);
}

} // namespace
