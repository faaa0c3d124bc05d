// The remote media backup page: the recorder writes a range of its recordings to its own CD/DVD
// or USB medium. Against the simulator the requests are checked byte for byte on its log; the
// limits and row rules on a page without a recorder.
#include <QComboBox>
#include <QJsonObject>
#include <QPushButton>

#include <gtest/gtest.h>

#include "backup/ccdbackup.h"
#include "backup/cmodulebackupremotecd.h"
#include "backup/listmodel.h"
#include "backup/support/backup_fixture.h"
#include "session/backuphosts.h"
#include "session/recordersession.h"
#include "session/sitebook.h"

namespace {

// Hex of the messages a recorder receives, written out from the protocol's tables.
const char* const kCapacity = "0000001c00a1490000200000"
                              "57293501"
                              "00000000"
                              "57293501"
                              "82000000"
                              "0300"
                              "ffff";
const char* const kMediaCheckCd = "0000000900a13500000d000000";
const char* const kMediaCheckUsb = "0000000900a13500000d000002";
const char* const kStartCd = "0000001d00a14b0000210000"
                             "57293501"
                             "00000000"
                             "57293501"
                             "82000000"
                             "0300"
                             "ffff"
                             "00";
const char* const kPrepareSecond = "0000000a00a13700000e00000100";
const char* const kStopCd = "0000000900a13900000d000000";
const char* const kClose = "0000000800a13a00000c0000";

class CDBackupTest : public BackupFixture
{
protected:
    // A logged-in two-channel recorder "gate" whose remote media page has listed channels 1
    // and 2 and the sound of 7 December 2026, 00:00:00 to 00:01:30.
    CCDBackup* ListedPage(const QStringList& options)
    {
        sim = StartSim(QStringList{"--channels", "2", "--record-date", "20261207", "--record-start", "000000",
                                   "--record-end", "000130"}
                       + options);
        if (!sim)
            return nullptr;
        gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
        if (!Connect(gate, sim))
            return nullptr;
        auto* host = dynamic_cast<CModuleBackupRemoteCD*>(gate->GetRemoteCDBackupHost());
        EXPECT_TRUE(host);
        if (!host)
            return nullptr;
        CCDBackup* page = host->Page();
        page->SetQuestion([this](const QString& title, const QString& text, bool okCancel) {
            questions << title + QLatin1Char('|') + text;
            return okCancel ? answerOk : answerYes;
        });
        page->ChannelButton(0)->setChecked(true);
        page->ChannelButton(1)->setChecked(true);
        page->SetRange(20261207, 0, 20261207, 130);
        page->OnGetList();
        if (!WaitFor([&] { return page->Model()->rowCount() == 3; }))
            return nullptr;
        return page;
    }
    QStringList Hex(int cmd) const
    {
        QStringList hex;
        for (const QJsonObject& m : sim->Messages(cmd))
            hex << m.value("hex").toString();
        return hex;
    }

    DvrSimProcess* sim = nullptr;
    RecorderSession* gate = nullptr;
    QStringList questions;
    bool answerYes = true;
    bool answerOk = true;
};

TEST_F(CDBackupTest, HostIsMadeAtLoginAndShownFromTheSession)
{
    CCDBackup* page = ListedPage({});
    ASSERT_TRUE(page);
    gate->ShowRemoteCDBackup();
    auto* host = dynamic_cast<CModuleBackupRemoteCD*>(gate->GetRemoteCDBackupHost());
    EXPECT_TRUE(host->isVisible());
    EXPECT_EQ(host->windowTitle(), QStringLiteral("Remote CD Backup - gate"));
    EXPECT_FALSE(host->IsListBackup());
    EXPECT_TRUE(page->ChannelButton(15)->isEnabled());
}

TEST_F(CDBackupTest, ListShowsEveryChannelWithDataTicked)
{
    CCDBackup* page = ListedPage({});
    ASSERT_TRUE(page);
    EXPECT_EQ(Hex(0x49), QStringList({kCapacity}));
    ListModel* model = page->Model();
    const QStringList first{"Ch - 01", "12/07/2026", "00:00:00", "12/07/2026", "00:01:30", "1 MB"};
    for (int c = 0; c < CCDBackup::kColumns; ++c)
        EXPECT_EQ(model->Text(0, c), first[c]) << c;
    EXPECT_EQ(model->Text(1, 0), QStringLiteral("Ch - 02"));
    EXPECT_EQ(model->Text(2, 0), QStringLiteral("Audio"));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(model->data(model->index(row, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked)) << row;
}

TEST_F(CDBackupTest, OneDiscBurnsToTheEnd)
{
    CCDBackup* page = ListedPage({});
    ASSERT_TRUE(page);
    page->OnBackupStart();
    EXPECT_TRUE(page->IsRunning());
    EXPECT_EQ(page->StartButton()->text(), QStringLiteral("Stop"));
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }));
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : Remote Backup Complete."));
    EXPECT_EQ(Hex(0x35), QStringList({kMediaCheckCd}));
    EXPECT_EQ(Hex(0x4B), QStringList({kStartCd}));
    // The stop and close reach the simulator's log after the page has stopped.
    ASSERT_TRUE(WaitFor([&] { return !Hex(0x3A).isEmpty(); }));
    EXPECT_EQ(Hex(0x39), QStringList({kStopCd}));
    EXPECT_EQ(Hex(0x3A), QStringList({kClose}));
    EXPECT_TRUE(questions.isEmpty());
}

// After the first disc the user is asked for the next; the next ready medium continues the
// backup with the number of media already written.
TEST_F(CDBackupTest, SecondDiscContinuesAfterOk)
{
    CCDBackup* page = ListedPage({"--media-discs", "2"});
    ASSERT_TRUE(page);
    page->OnBackupStart();
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }));
    EXPECT_EQ(questions, QStringList({"CD Backup|To burn next CD, press ok button"}));
    EXPECT_EQ(Hex(0x35), QStringList({kMediaCheckCd, kMediaCheckCd}));
    EXPECT_EQ(Hex(0x4B), QStringList({kStartCd}));
    EXPECT_EQ(Hex(0x37), QStringList({kPrepareSecond}));
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : Remote Backup Complete."));
}

TEST_F(CDBackupTest, CancelAfterTheFirstDiscStops)
{
    answerOk = false;
    CCDBackup* page = ListedPage({"--media-discs", "2"});
    ASSERT_TRUE(page);
    page->OnBackupStart();
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }));
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : CD/DVD Burning 1/2 - finish"));
    EXPECT_TRUE(Hex(0x37).isEmpty());
    // The stop and close reach the simulator's log after the page has stopped.
    ASSERT_TRUE(WaitFor([&] { return !Hex(0x3A).isEmpty(); }));
    EXPECT_EQ(Hex(0x39), QStringList({kStopCd}));
    EXPECT_EQ(Hex(0x3A), QStringList({kClose}));
}

// A USB storage with less room than the backup is offered a format, then written.
TEST_F(CDBackupTest, SmallUsbStorageIsFormattedFirst)
{
    CCDBackup* page = ListedPage({"--media-state", "5", "--media-free", "1"});
    ASSERT_TRUE(page);
    page->MediaCombo()->setCurrentIndex(1);
    page->OnBackupStart();
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }));
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], QStringLiteral("CD Backup|Insufficient USB.\n(USB Space : 1MB, Backup Space : 3MB)\n\n"
                                           "Want format USB storage?"));
    EXPECT_EQ(Hex(0x35), QStringList({kMediaCheckUsb}));
    EXPECT_EQ(sim->Messages(0x64).size(), 1);
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : Remote Backup Complete."));
}

TEST_F(CDBackupTest, NoMediumStops)
{
    CCDBackup* page = ListedPage({"--media-state", "-1"});
    ASSERT_TRUE(page);
    page->OnBackupStart();
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }));
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : No empty CD/DVD"));
    EXPECT_TRUE(Hex(0x4B).isEmpty());
    // The stop and close reach the simulator's log after the page has stopped.
    ASSERT_TRUE(WaitFor([&] { return !Hex(0x3A).isEmpty(); }));
    EXPECT_EQ(Hex(0x39), QStringList({kStopCd}));
}

// A page bound again to another recorder no longer hears the first one, and a page bound twice
// to the same one hears each answer once.
TEST_F(CDBackupTest, RebindingLetsTheEarlierSessionGo)
{
    CCDBackup* page = ListedPage({});
    ASSERT_TRUE(page);
    page->Model()->Clear();
    page->AttachDevice();
    emit gate->OnAddBackupCapa(0, 2, 5);
    EXPECT_EQ(page->Model()->rowCount(), 1);

    DvrSimProcess* other = StartSim({"--channels", "1"});
    ASSERT_TRUE(other);
    RecorderSession* yard = AddSimRecorder(QStringLiteral("yard"), other->Port());
    SiteBook record = *RecordOf(yard);
    record.index = yard->GetDeviceIndex();
    page->DropRecord(record);
    EXPECT_EQ(page->GetDeviceIndex(), yard->GetDeviceIndex());
    ASSERT_TRUE(WaitFor([&] { return yard->IsLoggedIn(); }));
    page->Model()->Clear();
    emit gate->OnAddBackupCapa(1, 2, 5);
    EXPECT_EQ(page->Model()->rowCount(), 0);
    emit yard->OnAddBackupCapa(0, 1, 5);
    EXPECT_EQ(page->Model()->rowCount(), 1);
}

// Without a recorder: the limits and the rows.
class CDBackupPageTest : public BackupFixture
{
protected:
    void SetUp() override
    {
        BackupFixture::SetUp();
        page = std::make_unique<CCDBackup>();
        page->SetRange(20261207, 0, 20261207, 130);
        page->AttachDevice();
    }
    void TearDown() override
    {
        page.reset();
        BackupFixture::TearDown();
    }
    std::unique_ptr<CCDBackup> page;
};

TEST_F(CDBackupPageTest, FourGigabytesPassAndOneMegabyteMoreIsRefused)
{
    page->OnAddBackupCapa(0, 4, 4000);
    page->OnAddBackupCapa(4, 4, 96);
    page->OnBackupStart();
    EXPECT_TRUE(page->IsRunning());
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : Backup media check"));
    page->OnBackupStart();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : Stop"));
    page->OnAddBackupCapa(1, 4, 1);
    page->OnBackupStart();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_TRUE(
        hub->boxCalls.contains(QStringLiteral("Remote CD Backup|The Remote Backup 4GByte is limit.|stop")));
}

TEST_F(CDBackupPageTest, RowsForChannelsWithDataOnlyAndAtMostSixteen)
{
    page->OnAddBackupCapa(0, 16, 0);
    page->OnAddBackupCapa(1, 16, -3);
    EXPECT_EQ(page->Model()->rowCount(), 0);
    for (int i = 0; i < 20; ++i)
        page->OnAddBackupCapa(i % 16, 16, 10);
    page->OnAddBackupCapa(16, 16, 10);
    page->OnAddBackupCapa(16, 16, 10);
    EXPECT_EQ(page->Model()->rowCount(), 17);
    EXPECT_EQ(page->Model()->Text(16, 0), QStringLiteral("Audio"));
}

TEST_F(CDBackupPageTest, NothingTickedStartsNothing)
{
    page->OnAddBackupCapa(0, 4, 10);
    page->OnListClicked(page->Model()->index(0, 0));
    EXPECT_EQ(page->Model()->data(page->Model()->index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    page->OnBackupStart();
    EXPECT_FALSE(page->IsRunning());
}

TEST_F(CDBackupPageTest, UsbWithExactlyEnoughRoomStartsAtOnce)
{
    page->OnAddBackupCapa(0, 4, 10);
    page->MediaCombo()->setCurrentIndex(1);
    page->OnBackupStart();
    ASSERT_TRUE(page->IsRunning());
    page->SetRecvCDMedia(5, 10);
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : Preparing"));
    page->OnBurningRate(0, 40, 1, 0);
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : USB Storage Writing - 40%"));
    page->OnBurningRate(1, 40, 1, 0);
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : Remote Backup Fail."));
    EXPECT_FALSE(page->IsRunning());
}

} // namespace
