// The per-channel rights of a recorder entry: masks to boxes and back, the "ALL" boxes, and the
// entry dialog's Permission button that opens them.
#include "session/sitebook.h"
#include "sitebook/cadddvrdialog.h"
#include "sitebook/cadddvrpermission.h"
#include "sitebook/channelrights.h"
#include "sitebook/support/sitebook_modal.h"

#include <QCheckBox>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
struct MaskCase
{
    int mask;
    const char* channels; // '1' per checked channel, channel 1 first
    bool all;
};

class ChannelMasks : public ::testing::TestWithParam<MaskCase>
{};

ChannelRights::Checks ChecksFrom(const char* channels)
{
    ChannelRights::Checks checks{};
    for (int channel = 0; channel < ChannelRights::kChannels; ++channel)
        checks[channel] = channels[channel] == '1';
    return checks;
}

TEST_P(ChannelMasks, BitNIsChannelNPlusOne)
{
    const MaskCase& c = GetParam();
    EXPECT_EQ(ChannelRights::ChecksOf(c.mask), ChecksFrom(c.channels));
    EXPECT_EQ(ChannelRights::MaskOf(ChecksFrom(c.channels)), c.mask & 0xFFFF);
    EXPECT_EQ(ChannelRights::IsAll(c.mask), c.all);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, ChannelMasks,
    ::testing::Values(MaskCase{0xFFFF, "1111111111111111", true}, MaskCase{0x7FFF, "1111111111111110", false},
                      MaskCase{0x0001, "1000000000000000", false}, MaskCase{0x8000, "0000000000000001", false},
                      MaskCase{0x0000, "0000000000000000", false}, MaskCase{0x00A5, "1010010100000000", false}));

int MaskShown(CAddDvrPermission& dialog, CAddDvrPermission::Right right)
{
    int mask = 0;
    for (int channel = 0; channel < ChannelRights::kChannels; ++channel)
        if (dialog.ChannelBox(right, channel)->isChecked())
            mask |= 1 << channel;
    return mask;
}

TEST(PermissionDialog, ShowsEachMaskInItsGroupInTheSettersOrder)
{
    CAddDvrPermission dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Permission"));
    EXPECT_EQ(dialog.ChannelBox(CAddDvrPermission::Live, 0)->text(), QStringLiteral("01 "));
    EXPECT_EQ(dialog.ChannelBox(CAddDvrPermission::Live, 15)->text(), QStringLiteral("16 "));
    // live, PTZ, search, backup, config
    dialog.SetPermission(0xFFFF, 0x0003, 0x7FFF, 0x0100, 0);
    EXPECT_EQ(MaskShown(dialog, CAddDvrPermission::Live), 0xFFFF);
    EXPECT_EQ(MaskShown(dialog, CAddDvrPermission::Ptz), 0x0003);
    EXPECT_EQ(MaskShown(dialog, CAddDvrPermission::Search), 0x7FFF);
    EXPECT_EQ(MaskShown(dialog, CAddDvrPermission::Backup), 0x0100);
    EXPECT_TRUE(dialog.AllBox(CAddDvrPermission::Live)->isChecked());
    EXPECT_FALSE(dialog.AllBox(CAddDvrPermission::Search)->isChecked());
    EXPECT_FALSE(dialog.RemoteConfigBox()->isChecked());

    dialog.ChannelBox(CAddDvrPermission::Ptz, 5)->setChecked(true);
    dialog.RemoteConfigBox()->setChecked(true);
    dialog.onOKButtonClicked();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.live, 0xFFFF);
    EXPECT_EQ(dialog.ptz, 0x0023);
    EXPECT_EQ(dialog.search, 0x7FFF);
    EXPECT_EQ(dialog.backup, 0x0100);
    EXPECT_EQ(dialog.config, 1);
}

TEST(PermissionDialog, AllSetsOrClearsTheSixteenBoxesOfItsGroupOnly)
{
    CAddDvrPermission dialog;
    dialog.SetPermission(0x0001, 0x0002, 0x0004, 0x0008, 1);
    dialog.AllBox(CAddDvrPermission::Search)->click();
    EXPECT_EQ(MaskShown(dialog, CAddDvrPermission::Search), 0xFFFF);
    dialog.AllBox(CAddDvrPermission::Search)->click();
    EXPECT_EQ(MaskShown(dialog, CAddDvrPermission::Search), 0x0000);
    dialog.AllBox(CAddDvrPermission::Backup)->click();
    EXPECT_EQ(MaskShown(dialog, CAddDvrPermission::Backup), 0xFFFF);
    EXPECT_EQ(MaskShown(dialog, CAddDvrPermission::Live), 0x0001);
    EXPECT_EQ(MaskShown(dialog, CAddDvrPermission::Ptz), 0x0002);
}

TEST(PermissionDialog, TheEntryDialogsButtonOpensItAndTakesItsValues)
{
    SiteBook entry;
    entry.name = QStringLiteral("Gate");
    entry.permissionLive = 0x00FF;
    entry.permissionSearch = 0xFFFF;
    entry.permissionPtz = 0x0001;
    entry.permissionBackup = 0x0000;
    entry.permissionConfig = 1;
    CAddDvrDialog dvr;
    dvr.setSiteBook(&entry);
    dvr.setEditable(true);

    int shownLive = -1;
    int shownPtz = -1;
    auto driver = OnNextDialog<CAddDvrPermission>([&](CAddDvrPermission* dialog) {
        shownLive = MaskShown(*dialog, CAddDvrPermission::Live);
        shownPtz = MaskShown(*dialog, CAddDvrPermission::Ptz);
        dialog->AllBox(CAddDvrPermission::Backup)->click();
        dialog->RemoteConfigBox()->setChecked(false);
        dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    dvr.findChild<QPushButton*>(QStringLiteral("permissionButton"))->click();
    ASSERT_TRUE(driver->Done());
    EXPECT_EQ(shownLive, 0x00FF);
    EXPECT_EQ(shownPtz, 0x0001);
    EXPECT_EQ(dvr.permissionLive, 0x00FF);
    EXPECT_EQ(dvr.permissionSearch, 0xFFFF);
    EXPECT_EQ(dvr.permissionPtz, 0x0001);
    EXPECT_EQ(dvr.permissionBackup, 0xFFFF);
    EXPECT_EQ(dvr.permissionConfig, 0);

    auto cancelled = OnNextDialog<CAddDvrPermission>([](CAddDvrPermission* dialog) {
        dialog->AllBox(CAddDvrPermission::Live)->click();
        dialog->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    });
    dvr.findChild<QPushButton*>(QStringLiteral("permissionButton"))->click();
    ASSERT_TRUE(cancelled->Done());
    EXPECT_EQ(dvr.permissionLive, 0x00FF);
}
} // namespace
