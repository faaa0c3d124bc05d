// smtp.dat: six lines of UTF-8, values with blanks kept, written whole or not at all.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "mail/smtpsettings.h"

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SmtpSettingsTest, WritesSixLinesAndReadsThemBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("smtp.dat");
    SmtpSettings settings;
    settings.server = "mail.example.org";
    settings.port = "465";
    settings.secure = true;
    settings.authentication = false;
    settings.user = QString::fromUtf8("jörg smith");
    settings.password = "p w\nx";
    ASSERT_TRUE(SmtpSettingsFile::Write(path, settings));
    EXPECT_EQ(ReadAll(path), QByteArray("mail.example.org\n465\n1\n0\nj\xC3\xB6rg smith\np w x\n"));
    EXPECT_EQ(QFile(path).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);

    const SmtpSettings back = SmtpSettingsFile::Read(path);
    EXPECT_EQ(back.server, settings.server);
    EXPECT_EQ(back.port, "465");
    EXPECT_TRUE(back.secure);
    EXPECT_FALSE(back.authentication);
    EXPECT_EQ(back.user, settings.user);
    EXPECT_EQ(back.password, "p w x");
    EXPECT_EQ(back.sender, QString::fromUtf8("jörg smith@mail.example.org"));
}

TEST(SmtpSettingsTest, ReadingTable)
{
    const struct
    {
        const char* name;
        const char* content; // null: no file
        const char* server;
        const char* port;
        bool secure;
        bool auth;
        const char* sender;
    } cases[] = {
        {"no file", nullptr, "", "25", false, true, ""},
        {"empty file", "", "", "", false, false, ""},
        {"windows line ends", "s\r\n25\r\n1\r\n1\r\nu\r\np\r\n", "s", "25", true, true, "u@s"},
        {"no user", "s\n25\n0\n1\n\n\n", "s", "25", false, true, ""},
        {"short file", "s\n2525", "s", "2525", false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath("smtp.dat");
        if (c.content) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.content);
        }
        const SmtpSettings s = SmtpSettingsFile::Read(path);
        EXPECT_EQ(s.server, QString::fromLatin1(c.server));
        EXPECT_EQ(s.port, QString::fromLatin1(c.port));
        EXPECT_EQ(s.secure, c.secure);
        EXPECT_EQ(s.authentication, c.auth);
        EXPECT_EQ(s.sender, QString::fromLatin1(c.sender));
    }
}

TEST(SmtpSettingsTest, SenderIsKeptWhileUserOrServerIsEmpty)
{
    EXPECT_EQ(SmtpSettings::SenderFor("u", "s", "old@x"), "u@s");
    EXPECT_EQ(SmtpSettings::SenderFor("", "s", "old@x"), "old@x");
    EXPECT_EQ(SmtpSettings::SenderFor("u", "", "old@x"), "old@x");
}

TEST(SmtpSettingsTest, AFailedWriteLeavesTheOldFile)
{
    QTemporaryDir dir;
    // A folder where the file would go: nothing can replace it.
    const QString path = dir.filePath("smtp.dat");
    ASSERT_TRUE(QDir(dir.path()).mkpath("smtp.dat/old"));
    QString error;
    EXPECT_FALSE(SmtpSettingsFile::Write(path, SmtpSettings(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(path + "/old").exists());
    // Nor is a temporary file left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

} // namespace
