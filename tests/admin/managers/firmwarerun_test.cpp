// The firmware manager's run over a fake recorder table: the order of connects and uploads, the
// status texts, what ends a recorder, and which reports are ignored.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "../waitfor.h"
#include "fakerecorderadmin.h"
#include "managers/firmwarerun.h"
#include "managers/managerrows.h"

namespace {

class FirmwareRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        admin.names = {{11, "A"}, {12, "B"}, {13, "C"}};
        for (int recorder : {11, 12, 13})
            rows.Add(admin.names.value(recorder), admin.RecorderAddress(recorder), recorder);
    }

    QStringList Statuses() const
    {
        QStringList out;
        for (int row = 0; row < rows.Count(); ++row)
            out << rows.At(row).status;
        return out;
    }

    // Drives the current recorder through a whole good upgrade.
    void Upgrade(int recorder)
    {
        run.SetUpgradeState(recorder, 1);
        run.SetUpgradeState(recorder, 2);
        ASSERT_TRUE(WaitFor([&] { return admin.firmwareUploads.contains(recorder); }));
        run.SetUpgradeState(recorder, 3);
        run.SetUpgradeState(recorder, 4);
    }

    FakeRecorderAdmin admin;
    ManagerRows rows;
    FirmwareRun run{admin, rows};
};

TEST_F(FirmwareRunTest, UploadsThePackageToEachCheckedRecorderInTurn)
{
    rows.SetChecked(0, true);
    rows.SetChecked(2, true);
    ASSERT_TRUE(run.Start("/pkg/dvr_upgrade_1.zip"));
    EXPECT_TRUE(run.IsBusy());
    EXPECT_EQ(admin.connects, (QList<QPair<int, int>>{{11, 8}}));
    EXPECT_EQ(Statuses(), (QStringList{"Wait", "-", "-"}));

    run.SetUpgradeState(11, 1);
    EXPECT_EQ(Statuses().at(0), "Firmware file check");
    run.SetUpgradeState(11, 2);
    EXPECT_EQ(Statuses().at(0), "Firmware upload");
    ASSERT_TRUE(WaitFor([&] { return !admin.firmwareUploads.isEmpty(); }));
    // The session of a firmware tool model puts the tool's output in the hub's path.
    admin.firmwarePath = "/prog/TempUpgrade/dvr_upgrade_auto.zip";
    run.SetUpgradeState(11, 3);
    EXPECT_EQ(Statuses().at(0), "Firmware applied");
    run.SetUpgradeState(11, 4);
    // The unchecked row in between keeps its "-" and is never connected.
    EXPECT_EQ(Statuses(), (QStringList{"Finish", "-", "Wait"}));
    EXPECT_EQ(admin.connects, (QList<QPair<int, int>>{{11, 8}, {13, 8}}));
    // The next recorder gets the chosen package, not the previous recorder's tool output.
    EXPECT_EQ(admin.pathAtConnect, (QStringList{"/pkg/dvr_upgrade_1.zip", "/pkg/dvr_upgrade_1.zip"}));

    Upgrade(13);
    EXPECT_EQ(Statuses(), (QStringList{"Finish", "-", "Finish"}));
    EXPECT_EQ(admin.firmwareUploads, (QList<int>{11, 13}));
    EXPECT_FALSE(run.IsBusy());
    EXPECT_EQ(run.Current(), -1);
}

TEST_F(FirmwareRunTest, EveryCodeShowsItsTextAndEndsOnlyWhereItShould)
{
    struct Case
    {
        int code;
        const char* text;
        bool movesOn;
    };
    const Case cases[] = {
        {1, "Firmware file check", false},
        {3, "Firmware applied", false},
        {7, "", false},
        {-1, "Connect fail", true},
        {-2, "Don't have permision", true},
        {-3, "Firmware file error", true},
        {-4, "DVR Under a Upgrade Process", true},
        {-5, "Cancel", true},
        {-999, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        rows.SetChecked(0, true);
        rows.SetChecked(1, true);
        ASSERT_TRUE(run.Start("/pkg/p.zip"));
        run.SetUpgradeState(11, c.code);
        EXPECT_EQ(rows.At(0).status, QString::fromLatin1(c.text));
        EXPECT_EQ(run.Current(), c.movesOn ? 1 : 0);
        run.Stop();
    }
}

TEST_F(FirmwareRunTest, ReportsOfAnotherRecorderOrAfterTheRunAreIgnored)
{
    rows.SetChecked(0, true);
    rows.SetChecked(1, true);
    ASSERT_TRUE(run.Start("/pkg/p.zip"));
    run.SetUpgradeState(12, -1); // not the recorder being worked on
    run.SetProgress(12, 50, 100);
    EXPECT_EQ(Statuses(), (QStringList{"Wait", "-", "-"}));
    EXPECT_EQ(run.Current(), 0);
    EXPECT_EQ(run.Progress(), 0);

    run.Stop();
    run.SetUpgradeState(11, 2);
    run.SetUpgradeState(11, 4);
    EXPECT_EQ(Statuses(), (QStringList{"Cancel", "-", "-"}));
    EXPECT_TRUE(admin.firmwareUploads.isEmpty());
}

TEST_F(FirmwareRunTest, ConnectionLostBeforeThePackageWasTakenIsAFailure)
{
    rows.SetChecked(0, true);
    rows.SetChecked(1, true);
    ASSERT_TRUE(run.Start("/pkg/p.zip"));
    run.SetUpgradeState(11, 2);
    run.SetUpgradeState(11, 4); // lost during the upload
    EXPECT_EQ(rows.At(0).status, "Connect fail");
    EXPECT_EQ(run.Current(), 1);
    // The upload asked for before the loss is not sent to a recorder that has moved on.
    QTest::qWait(FirmwareRun::kUploadDelayMs * 3);
    EXPECT_TRUE(admin.firmwareUploads.isEmpty());
}

TEST_F(FirmwareRunTest, CheckRunNeverUploads)
{
    rows.SetChecked(0, true);
    rows.SetChecked(1, true);
    admin.firmwarePath = "/pkg/earlier.zip";
    admin.versions[11] = "V3.2.1_240510";
    ASSERT_TRUE(run.Check());
    EXPECT_TRUE(run.IsCheckRun());
    run.SetUpgradeState(11, 1);
    run.SetUpgradeState(11, 2);
    // A check says which firmware the recorder runs.
    EXPECT_EQ(Statuses(), (QStringList{"Finish (firmware V3.2.1_240510)", "Wait", "-"}));
    run.SetUpgradeState(12, -3);
    EXPECT_FALSE(run.IsBusy());
    QTest::qWait(FirmwareRun::kUploadDelayMs * 3);
    EXPECT_TRUE(admin.firmwareUploads.isEmpty());
    EXPECT_EQ(Statuses(), (QStringList{"Finish (firmware V3.2.1_240510)", "Firmware file error", "-"}));
}

TEST_F(FirmwareRunTest, StopCancelsTheSessionsWaitAndClearsThePath)
{
    rows.SetChecked(1, true);
    ASSERT_TRUE(run.Start("/pkg/p.zip"));
    EXPECT_FALSE(admin.cancel);
    run.SetUpgradeState(12, 1);
    QSignalSpy busy(&run, &FirmwareRun::busyChanged);
    run.Stop();
    EXPECT_TRUE(admin.cancel);
    EXPECT_TRUE(admin.firmwarePath.isEmpty());
    EXPECT_EQ(rows.At(1).status, "Cancel");
    EXPECT_FALSE(run.IsBusy());
    EXPECT_EQ(busy.count(), 1);
}

TEST_F(FirmwareRunTest, NothingStartsWithoutACheckedRowOrAPackage)
{
    EXPECT_FALSE(run.Start("/pkg/p.zip"));
    EXPECT_FALSE(run.IsBusy());
    rows.SetChecked(0, true);
    EXPECT_FALSE(run.Start(QString()));
    EXPECT_FALSE(run.IsBusy());
    EXPECT_TRUE(admin.connects.isEmpty());
    EXPECT_EQ(Statuses(), (QStringList{"-", "-", "-"}));
}

TEST_F(FirmwareRunTest, ARecorderWithoutSessionShowsConnectFailAndTheRunGoesOn)
{
    admin.missing = {11, 12};
    rows.SetChecked(0, true);
    rows.SetChecked(1, true);
    rows.SetChecked(2, true);
    ASSERT_TRUE(run.Start("/pkg/p.zip"));
    EXPECT_EQ(Statuses(), (QStringList{"Connect fail", "Connect fail", "Wait"}));
    EXPECT_EQ(run.Current(), 2);

    admin.missing = {11, 12, 13};
    run.Stop();
    EXPECT_FALSE(run.Start("/pkg/p.zip")); // none can start: the run ends at once
    EXPECT_FALSE(run.IsBusy());
}

TEST_F(FirmwareRunTest, ProgressIsAPercentageAndSurvivesAZeroTotal)
{
    rows.SetChecked(0, true);
    ASSERT_TRUE(run.Start("/pkg/p.zip"));
    struct Case
    {
        qint64 done;
        qint64 total;
        int percent;
    };
    const Case cases[] = {
        {0, 0, 0},           {5, 0, 0},
        {32768, 70000, 46},  {70000, 70000, 100},
        {90000, 70000, 100}, {-5, 70000, 0},
        {1, 3, 33},          {Q_INT64_C(3000000000), Q_INT64_C(6000000000), 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1/%2").arg(c.done).arg(c.total).toStdString());
        run.SetProgress(11, c.done, c.total);
        EXPECT_EQ(run.Progress(), c.percent);
    }
}

TEST(ManagerRowsTest, ASiteIsListedOnceAndChecksToggle)
{
    ManagerRows rows;
    EXPECT_EQ(rows.Add("A", "1.1.1.1", 3), 0);
    EXPECT_EQ(rows.Add("A", "2.2.2.2", 4), -1);
    EXPECT_EQ(rows.Add("B", "2.2.2.2", 4), 1);
    EXPECT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.At(0).status, "-");
    EXPECT_FALSE(rows.AnyChecked());
    rows.Toggle(1);
    EXPECT_EQ(rows.NextChecked(0), 1);
    rows.Toggle(1);
    EXPECT_EQ(rows.NextChecked(0), -1);
    rows.Toggle(7); // no such row
    EXPECT_EQ(rows.Count(), 2);
}

} // namespace
