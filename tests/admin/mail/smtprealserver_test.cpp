// The send job against a real SMTP server (aiosmtpd, started by smtp_sink.py): plain, with
// AUTH LOGIN, and over TLS. The server parses each mail with Python's email package, so the
// HTML part, the encoded subject and the attachments are read back by code that is not ours.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "../waitfor.h"
#include "harness/testcertificate.h"
#include "mail/smtpsendjob.h"
#include "scriptserver.h"

namespace {

// The real server: aiosmtpd, writing each mail it takes into outDir.
class SmtpSink : public ScriptServer
{
public:
    SmtpSink(const QString& outDir, const QStringList& options)
        : ScriptServer(QStringLiteral(ZENT_SOURCE_DIR "/tests/admin/mail/smtp_sink.py"),
                       QStringList{outDir} + options)
    {}
};

QJsonObject ReadMail(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object();
}

class SmtpRealServerTest : public ::testing::TestWithParam<const char*>
{};

TEST_P(SmtpRealServerTest, MailArrivesWhole)
{
    const QString mode = QString::fromLatin1(GetParam());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList options;
    TestCertificate certificate;
    if (mode != "plain")
        options << "--auth"
                << "camera"
                << "p w 1";
    if (mode == "tls") {
        certificate = MakeTestCertificate(dir.path(), QStringLiteral("localhost"));
        ASSERT_TRUE(certificate.ok);
        options << certificate.SimOptions();
    }
    QDir(dir.path()).mkdir("mail");
    SmtpSink sink(dir.filePath("mail"), options);
    ASSERT_GT(sink.port, 0) << "aiosmtpd did not start";

    // Two attachments: one text-like, one binary with every byte value.
    const QString snapshot = dir.filePath(QString::fromUtf8("Tür 1.jpg"));
    QByteArray binary;
    for (int i = 0; i < 3000; ++i)
        binary += char(i % 256);
    {
        QFile file(snapshot);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(binary);
    }
    const QString note = dir.filePath("h120000.001");
    {
        QFile file(note);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("recorded\n");
    }

    SmtpSettings settings;
    settings.server = mode == "tls" ? QStringLiteral("localhost") : QStringLiteral("127.0.0.1");
    settings.port = QString::number(sink.port);
    settings.secure = mode == "tls";
    settings.authentication = mode != "plain";
    settings.user = QStringLiteral("camera");
    settings.password = QStringLiteral("p w 1");
    MailForm form;
    form.sender = QString::fromUtf8("Wachdienst Süd <camera@example.org>");
    form.recipients = QStringLiteral("ops@example.org;;chief@example.org");
    form.subject = QString::fromUtf8("Bewegung an der Tür – Kamera 3");
    form.html = QString::fromUtf8("<html><body><p>Größe: <b>3</b></p></body></html>");
    form.attachments = QStringList{snapshot, note};

    bool done = false;
    SmtpSendJob job;
    if (mode == "tls")
        job.addCaCertificates({certificate.cert});
    QString text, detail;
    QObject::connect(&job, &SmtpSendJob::finished, [&](SmtpSendJob::Outcome, const QString& t, const QString& d) {
        done = true;
        text = t;
        detail = d;
    });
    ASSERT_TRUE(job.Start(settings, form));
    ASSERT_TRUE(WaitFor([&] { return done; }, 60000));
    ASSERT_EQ(text, "The email was succesfully sent.") << detail.toStdString();

    const QString path = dir.filePath("mail/1.json");
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(path); }, 60000));
    const QJsonObject mail = ReadMail(path);
    EXPECT_EQ(mail.value("mail_from").toString(), "camera@example.org");
    EXPECT_EQ(mail.value("rcpt_tos").toArray(), (QJsonArray{"ops@example.org", "chief@example.org"}));
    EXPECT_EQ(mail.value("subject").toString(), form.subject);
    EXPECT_EQ(mail.value("from").toString(), QString::fromUtf8("Wachdienst Süd <camera@example.org>"));
    EXPECT_TRUE(mail.value("html").toString().contains(QString::fromUtf8("Größe: <b>3</b>")));
    EXPECT_EQ(mail.value("authenticated").toBool(), mode != "plain");
    const QJsonArray attachments = mail.value("attachments").toArray();
    ASSERT_EQ(attachments.size(), 2);
    EXPECT_EQ(attachments[0].toObject().value("name").toString(), QString::fromUtf8("Tür 1.jpg"));
    EXPECT_EQ(attachments[0].toObject().value("hex").toString(), QString::fromLatin1(binary.toHex()));
    EXPECT_EQ(attachments[1].toObject().value("name").toString(), "h120000.001");
    EXPECT_EQ(attachments[1].toObject().value("hex").toString(),
              QString::fromLatin1(QByteArray("recorded\n").toHex()));
}

INSTANTIATE_TEST_SUITE_P(Modes, SmtpRealServerTest, ::testing::Values("plain", "auth", "tls"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

TEST(SmtpRealServerAuthTest, WrongPasswordIsAnAuthenticationFailure)
{
    QTemporaryDir dir;
    SmtpSink sink(dir.path(), {"--auth", "camera", "right"});
    ASSERT_GT(sink.port, 0);
    SmtpSettings settings;
    settings.server = QStringLiteral("127.0.0.1");
    settings.port = QString::number(sink.port);
    settings.user = QStringLiteral("camera");
    settings.password = QStringLiteral("wrong");
    MailForm form;
    form.sender = QStringLiteral("camera@example.org");
    form.recipients = QStringLiteral("ops@example.org");
    bool done = false;
    QString text;
    SmtpSendJob job;
    QObject::connect(&job, &SmtpSendJob::finished, [&](SmtpSendJob::Outcome, const QString& t, const QString&) {
        done = true;
        text = t;
    });
    ASSERT_TRUE(job.Start(settings, form));
    ASSERT_TRUE(WaitFor([&] { return done; }, 60000));
    EXPECT_EQ(text, "Authentification Failed");
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.json"}).isEmpty());
}

} // namespace
