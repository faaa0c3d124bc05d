// The recorder-side list backup: its table model, the channel text, and the list page against a
// simulator that takes lists (firmware 3.44 with the list feature), with the requests checked
// byte for byte on its log.
#include <QJsonObject>
#include <QPushButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "backup/ccdlistbackup.h"
#include "backup/clistbackupmodel.h"
#include "backup/cmodulebackupremotecd.h"
#include "backup/support/backup_fixture.h"
#include "session/recordersession.h"

namespace {

// Indexes of cells that do not exist, as a stale view might hand them in.
class OpenListBackupModel : public CListBackupModel
{
public:
    using CListBackupModel::createIndex;
};

class ListBackupModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model.SetModelCount(6);
        model.SetHeaderText(0, QStringLiteral("Select Channel"));
        model.insertRows(0, 5);
    }
    OpenListBackupModel model;
};

TEST_F(ListBackupModelTest, OneRowWithoutACheckBoxUntilOneIsSet)
{
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::CheckStateRole).isValid());
    model.setData(model.index(0, 0), int(Qt::Checked), Qt::CheckStateRole);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_FALSE(model.data(model.index(0, 1), Qt::CheckStateRole).isValid());
    EXPECT_EQ(model.headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("Select Channel"));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Select Channel"));
}

TEST_F(ListBackupModelTest, CellTexts)
{
    const QModelIndex channel = model.index(0, 0);
    model.setData(channel, QVariant::fromValue(QPair<int, QString>(0x0005, QStringLiteral("1, 3"))),
                  Qt::DisplayRole);
    model.setData(model.index(0, 1), 20140105, Qt::DisplayRole);
    model.setData(model.index(0, 2), 93005, Qt::DisplayRole);
    model.setData(model.index(0, 3), 20141231, Qt::DisplayRole);
    model.setData(model.index(0, 4), 235959, Qt::DisplayRole);
    EXPECT_EQ(model.Item(0)->chanBits, 0x0005);
    const QStringList want{"1, 3", "01/05/2014", "09:30:05", "12/31/2014", "23:59:59"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(model.data(model.index(0, c), Qt::DisplayRole).toString(), want[c]) << c;
    const struct
    {
        int size;
        const char* text;
    } sizes[] = {{1024, "1.00 GB"}, {1023, "1023 MB"}, {0, "0 MB"}, {-4, "0 MB"}};
    for (const auto& c : sizes) {
        model.setData(model.index(0, 5), c.size, Qt::DisplayRole);
        EXPECT_EQ(model.data(model.index(0, 5), Qt::DisplayRole).toString().toStdString(), c.text);
    }
}

TEST_F(ListBackupModelTest, AnyRoleOfAnExistingCellIsAnnounced)
{
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.setData(model.index(0, 2), QStringLiteral("tip"), Qt::ToolTipRole));
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(ListBackupModelTest, RowsThatDoNotExistAreRefusedSilently)
{
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsAboutToBeRemoved);
    EXPECT_FALSE(model.setData(model.createIndex(1, 0), 2, Qt::CheckStateRole));
    EXPECT_FALSE(model.setData(model.createIndex(0, 6), 2, Qt::DisplayRole));
    EXPECT_FALSE(model.removeRows(1, 1));
    EXPECT_FALSE(model.removeRows(-1, 1));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(removed.count(), 0);
    EXPECT_TRUE(model.removeRows(0, 3));
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(ListBackupChannelText, RunsOfChannels)
{
    const struct
    {
        int bits, channels;
        const char* text;
    } cases[] = {
        {0x000F, 16, "1~4"}, {0x0005, 16, "1, 3"}, {0xFFFF, 16, "1~16"}, {0x8001, 16, "1, 16"},
        {0x00F0, 4, ""},     {0x000F, 2, "1~2"},   {0x0B, 8, "1~2, 4"},  {0, 16, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CCDListBackup::ConvertTextFromChannelBits(c.bits, c.channels).toStdString(), c.text)
            << c.bits << " " << c.channels;
}

class CDListBackupTest : public BackupFixture
{
protected:
    CCDListBackup* ListPage()
    {
        sim = StartSim({"--channels", "2", "--firmware", "3.44", "--features", "0x100000", "--record-date",
                        "20261207", "--record-start", "000000", "--record-end", "002000"});
        if (!sim)
            return nullptr;
        gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
        if (!Connect(gate, sim))
            return nullptr;
        auto* host = dynamic_cast<CModuleBackupRemoteCD*>(gate->GetRemoteCDBackupHost());
        EXPECT_TRUE(host && host->IsListBackup() && host->ListPage() && !host->Page());
        if (!host || !host->ListPage())
            return nullptr;
        CCDListBackup* page = host->ListPage();
        page->SetQuestion([](const QString&, const QString&, bool) { return true; });
        page->ChannelButton(0)->setChecked(true);
        page->ChannelButton(1)->setChecked(true);
        return page;
    }
    void Add(CCDListBackup* page, int startTime, int finishTime)
    {
        page->SetRange(MediaRange{20261207, startTime, 20261207, finishTime});
        page->OnGetList();
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
};

// Two ranges asked one right after the other each get their own row, and the recorder is
// asked to write both in one list.
TEST_F(CDListBackupTest, RangesKeepTheirOrderAndAreWrittenAsOneList)
{
    CCDListBackup* page = ListPage();
    ASSERT_TRUE(page);
    Add(page, 0, 30);
    Add(page, 30, 100);
    EXPECT_EQ(page->PendingCount(), 2);
    ASSERT_TRUE(WaitFor([&] { return page->Model()->rowCount() == 2; }));
    CListBackupModel* model = page->Model();
    EXPECT_EQ(model->Item(0)->finishTime, 30);
    EXPECT_EQ(model->Item(1)->startTime, 30);
    EXPECT_EQ(model->data(model->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("1~2"));
    EXPECT_EQ(model->data(model->index(1, 2), Qt::DisplayRole).toString(), QStringLiteral("00:00:30"));
    // Overlapping the listed ranges is refused without asking the recorder.
    Add(page, 10, 40);
    EXPECT_EQ(sim->Messages(0x49).size(), 2);

    page->OnBackupStart();
    EXPECT_TRUE(page->IsRunning());
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }));
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : Remote Backup Complete."));
    // Header (length 56, total 60), media kind 0, two ranges of 20 bytes each.
    EXPECT_EQ(Hex(0xC0), QStringList({"0000003800a1c000003c0000"
                                      "00000000"
                                      "02000000"
                                      "57293501000000005729350"
                                      "11e000000"
                                      "0300ffff"
                                      "572935011e00000057293501640000000300ffff"}));
    ASSERT_TRUE(WaitFor([&] { return !Hex(0x3A).isEmpty(); }));
    EXPECT_EQ(Hex(0x39), QStringList({"0000000900a13900000d000000"}));
}

TEST_F(CDListBackupTest, SixteenRangesAtMostAnd48GigabytesAtMost)
{
    CCDListBackup* page = ListPage();
    ASSERT_TRUE(page);
    for (int k = 0; k < 16; ++k)
        Add(page, k * 100, k * 100 + 30);
    ASSERT_TRUE(WaitFor([&] { return page->Model()->rowCount() == 16; }));
    hub->boxCalls.clear();
    Add(page, 5000, 5030);
    EXPECT_EQ(hub->boxCalls, QStringList({"Remote CD Backup|The Remote Backup 16 List is limit.|stop"}));
    EXPECT_EQ(sim->Messages(0x49).size(), 16);

    CListBackupModel* model = page->Model();
    for (int row = 0; row < 16; ++row)
        model->setData(model->index(row, 5), row == 0 ? 49152 - 15 : 1, Qt::DisplayRole);
    EXPECT_EQ(page->GetTotalSizeFromModel(), 49152);
    page->OnBackupStart();
    EXPECT_TRUE(page->IsRunning());
    page->OnBackupStart();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(page->StatusText(), QStringLiteral("Status : Stop"));
    hub->boxCalls.clear();
    model->setData(model->index(1, 5), 2, Qt::DisplayRole);
    page->OnBackupStart();
    EXPECT_FALSE(page->IsRunning());
    EXPECT_EQ(hub->boxCalls, QStringList({"Remote CD Backup|The Remote Backup 48GByte is limit.|stop"}));
    // Unchecked rows count nothing and are left out of the list.
    page->OnListClicked(model->index(0, 0));
    EXPECT_EQ(page->GetTotalSizeFromModel(), 16);
    page->SetListBackupFromModel();
    EXPECT_EQ(page->RangeList().size(), 15);
    EXPECT_EQ(page->RangeList().first().startTime, 100);
    page->OnClearList();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_TRUE(page->RangeList().isEmpty());
}

} // namespace
