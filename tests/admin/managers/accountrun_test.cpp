// The account manager's run over a fake recorder table and a real download.ini in a temporary
// program directory.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "../waitfor.h"
#include "fakerecorderadmin.h"
#include "managers/accountrun.h"
#include "managers/managerrows.h"

namespace {

class AccountRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        admin.programDirectory = dir.path();
        admin.names = {{21, "A"}, {22, "B"}};
        rows.Add("A", "10.0.0.21", 21);
        rows.Add("B", "10.0.0.22", 22);
        accounts.ids[0] = "root";
        accounts.passwords[0] = "abc";
        accounts.ids[3] = "guest"; // no password: left alone
    }

    QString Ini() const { return dir.filePath("download.ini"); }
    void WriteIni(const QByteArray& text)
    {
        QFile file(Ini());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray ReadIni() const
    {
        QFile file(Ini());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    FakeRecorderAdmin admin;
    ManagerRows rows;
    AccountRun run{admin, rows};
    AccountSet accounts;
};

TEST_F(AccountRunTest, WritesTheAccountsIntoEachRecordersSettingsAndUploadsThem)
{
    rows.SetChecked(0, true);
    rows.SetChecked(1, true);
    ASSERT_TRUE(run.Start(accounts));
    EXPECT_EQ(admin.connects, (QList<QPair<int, int>>{{21, 7}}));
    EXPECT_EQ(rows.At(0).status, "Wait");

    run.SetAccountState(21, 1);
    EXPECT_EQ(rows.At(0).status, "Get Account Information");
    WriteIni("; recorder A\n[NETWORK]\nport=9000\n[PASSWORD_CLIENT]\nclientId0_0=old\nclientPasswd0_0=xx\n");
    run.SetAccountState(21, 2);
    EXPECT_EQ(rows.At(0).status, "Set Account Information");
    EXPECT_EQ(ReadIni(), QByteArray("; recorder A\n[NETWORK]\nport=9000\n[PASSWORD_CLIENT]\nclientId0_0=root\n"
                                    "clientPasswd0_0=JwomVvntvctJw\n"));
    ASSERT_TRUE(WaitFor([&] { return !admin.configUploads.isEmpty(); }));
    EXPECT_EQ(admin.configUploads, QList<int>{21});

    run.SetAccountState(21, AccountRun::kUploadedCode);
    EXPECT_EQ(rows.At(0).status, "Set Account Information"); // no text of its own
    run.SetAccountState(21, 3);
    EXPECT_EQ(rows.At(0).status, "Finish");
    EXPECT_EQ(admin.connects.last(), qMakePair(22, 7));
    EXPECT_EQ(run.Current(), 1);

    run.SetAccountState(22, -2);
    EXPECT_EQ(rows.At(1).status, "Don't have permision");
    EXPECT_FALSE(run.IsBusy());
}

TEST_F(AccountRunTest, AMissingOrEmptyDownloadIsNeverFilledInAndUploaded)
{
    const struct
    {
        const char* name;
        bool create;
        QByteArray content;
    } cases[] = {{"missing", false, {}}, {"empty", true, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Ini());
        if (c.create)
            WriteIni(c.content);
        rows.SetChecked(0, true);
        rows.SetChecked(1, false);
        ASSERT_TRUE(run.Start(accounts));
        run.SetAccountState(21, 2);
        EXPECT_EQ(rows.At(0).status, "Connect fail");
        EXPECT_FALSE(run.IsBusy());
        EXPECT_EQ(ReadIni(), QByteArray());
    }
    QTest::qWait(AccountRun::kUploadDelayMs * 3);
    EXPECT_TRUE(admin.configUploads.isEmpty());
}

TEST_F(AccountRunTest, AnUnwritableDownloadShowsInTheRecordersStatus)
{
    // download.ini is a folder: nothing can replace it.
    ASSERT_TRUE(QDir(dir.path()).mkpath("download.ini/x"));
    rows.SetChecked(0, true);
    ASSERT_TRUE(run.Start(accounts));
    run.SetAccountState(21, 2);
    EXPECT_NE(rows.At(0).status, "Set Account Information");
    EXPECT_NE(rows.At(0).status, "Finish");
    EXPECT_FALSE(run.IsBusy());
    QTest::qWait(AccountRun::kUploadDelayMs * 3);
    EXPECT_TRUE(admin.configUploads.isEmpty());
}

TEST_F(AccountRunTest, ConnectionLostBeforeTheRecorderTookTheUploadIsAFailure)
{
    WriteIni("[PASSWORD_CLIENT]\n");
    rows.SetChecked(0, true);
    ASSERT_TRUE(run.Start(accounts));
    run.SetAccountState(21, 1);
    run.SetAccountState(21, 3); // lost while downloading
    EXPECT_EQ(rows.At(0).status, "Connect fail");
    EXPECT_FALSE(run.IsBusy());
}

TEST_F(AccountRunTest, StopIgnoresTheRunningSessionsLaterCodes)
{
    rows.SetChecked(0, true);
    ASSERT_TRUE(run.Start(accounts));
    run.SetAccountState(21, 1);
    run.Stop();
    EXPECT_FALSE(run.IsBusy());
    WriteIni("[A]\nx=1\n");
    run.SetAccountState(21, 2);
    run.SetAccountState(21, 3);
    EXPECT_EQ(rows.At(0).status, "Get Account Information");
    EXPECT_EQ(ReadIni(), QByteArray("[A]\nx=1\n"));
}

TEST_F(AccountRunTest, CodesOfAnotherRecorderAndUnknownCodesChangeNothing)
{
    rows.SetChecked(0, true);
    rows.SetChecked(1, true);
    ASSERT_TRUE(run.Start(accounts));
    for (int code : {3, -1, 2})
        run.SetAccountState(22, code);
    run.SetAccountState(21, 9);
    run.SetAccountState(21, -7);
    EXPECT_EQ(rows.At(0).status, "Wait");
    EXPECT_EQ(rows.At(1).status, "-");
    EXPECT_EQ(run.Current(), 0);
}

TEST_F(AccountRunTest, MissingSessionShowsConnectFail)
{
    admin.missing = {21};
    rows.SetChecked(0, true);
    rows.SetChecked(1, true);
    ASSERT_TRUE(run.Start(accounts));
    EXPECT_EQ(rows.At(0).status, "Connect fail");
    EXPECT_EQ(rows.At(1).status, "Wait");
}

} // namespace
