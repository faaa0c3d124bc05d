#include "playback/adminpassword.h"
#include "playback/profileiniwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(AdminPassword, FirstPromptWritesAndAcceptsTheDefault)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("KRO/Account.ini");
    AdminPassword account(path);
    EXPECT_EQ(account.LoadForPrompt(), QString("4619"));
    EXPECT_TRUE(account.Matches("4619"));
    EXPECT_FALSE(account.Matches("4619 "));
    EXPECT_EQ(ReadAll(path), QByteArray("[ADMIN]\r\nPassword=4619\r\n"));
}

TEST(AdminPassword, StoredTextsAreTakenRawAndNullMeansTheDefault)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Account.ini");
    const std::pair<QByteArray, QString> cases[] = {
        {"[ADMIN]\r\nPassword=null\r\n", "4619"},
        {"[admin]\r\npassword=a,b\\c\r\n", "a,b\\c"},
        {"[ADMIN]\r\nPassword=\r\n", ""},
        {"[OTHER]\r\nPassword=x\r\n", "4619"},
    };
    for (const auto& [text, stored] : cases) {
        WriteAll(path, text);
        AdminPassword account(path);
        EXPECT_EQ(account.LoadForPrompt(), stored) << text.constData();
        EXPECT_TRUE(account.Matches(stored));
    }
}

TEST(AdminPassword, ChangeNeedsTheOldPasswordAndKeepsOtherLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Account.ini");
    WriteAll(path, "; note\r\n[OTHER]\r\nx=1\r\n[admin]\r\nPASSWORD=old,one\r\nfoo=bar\r\n\r\n[LAST]\r\ny=2\r\n");
    AdminPassword account(path);
    bool failed = true;
    EXPECT_FALSE(account.Change("old", "new", &failed));
    EXPECT_FALSE(failed);
    EXPECT_TRUE(account.Change("old,one", "new", &failed));
    EXPECT_EQ(
        ReadAll(path),
        QByteArray("; note\r\n[OTHER]\r\nx=1\r\n[admin]\r\nPassword=new\r\nfoo=bar\r\n\r\n[LAST]\r\ny=2\r\n"));
    EXPECT_EQ(account.LoadForPrompt(), QString("new"));
}

TEST(AdminPassword, AnEmptyNewPasswordIsWrittenAndAccepted)
{
    QTemporaryDir dir;
    AdminPassword account(dir.filePath("Account.ini"));
    account.LoadForPrompt();
    bool failed = true;
    EXPECT_TRUE(account.Change("4619", "", &failed));
    EXPECT_EQ(account.LoadForPrompt(), QString());
    EXPECT_TRUE(account.Matches(""));
}

TEST(AdminPassword, AnUnwritableFileStillGivesTheDefaultForThePrompt)
{
    QTemporaryDir dir;
    WriteAll(dir.filePath("plain"), "not a folder");
    AdminPassword account(dir.filePath("plain/Account.ini"));
    EXPECT_EQ(account.LoadForPrompt(), QString("4619"));
    EXPECT_TRUE(account.Matches("4619"));
    bool failed = false;
    EXPECT_FALSE(account.Change("", "x", &failed));
    EXPECT_TRUE(failed);
}

// The password is readable by its owner alone, whether the file is new, changed or was left
// open to others before.
TEST(AdminPassword, TheFileIsTheOwnersAlone)
{
    const QFileDevice::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                                               | QFile::WriteUser;
    struct Case
    {
        const char* what;
        QByteArray before; // empty: no file yet
        bool change;
    };
    const Case cases[] = {
        {"first prompt writes the default", QByteArray(), false},
        {"an existing open file is closed", "[ADMIN]\r\nPassword=7\r\n", false},
        {"a change", "[ADMIN]\r\nPassword=7\r\n", true},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("KRO/Account.ini");
        if (!c.before.isEmpty()) {
            QDir().mkpath(dir.filePath("KRO"));
            WriteAll(path, c.before);
            ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                        | QFile::ReadOther));
        }
        AdminPassword account(path);
        account.LoadForPrompt();
        bool failed = true;
        if (c.change)
            EXPECT_TRUE(account.Change("7", "8", &failed)) << c.what;
        EXPECT_EQ(QFileInfo(path).permissions(), ownerOnly) << c.what;
    }
}

TEST(ProfileIniWriter, AddsAKeyToTheEndOfItsSectionAndANewSectionAtTheEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    WriteAll(path, "[A]\nk=1\n\n[B]\nm=2\n");
    ASSERT_TRUE(ProfileIniWriter::Write(path, "a", "n", "3"));
    ASSERT_TRUE(ProfileIniWriter::Write(path, "C", "p", "4"));
    EXPECT_EQ(ReadAll(path), QByteArray("[A]\r\nk=1\r\nn=3\r\n\r\n[B]\r\nm=2\r\n[C]\r\np=4\r\n"));
}

} // namespace
