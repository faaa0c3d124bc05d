// The master volume: slider positions become the mixer's percentages, the main dialog shows
// its slider where the user can reach it, and a move reaches the speakers' mixer.
#include "ui/cskinslider.h"
#include "ui/cviewerdlg.h"
#include "ui/mastervolume.h"
#include "ui/skinbitmaps.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Started
{
    QString program;
    QStringList arguments;
};

TEST(MasterVolume, PositionsBecomeTheMixersPercentages)
{
    const struct
    {
        QString program;
        int position;
        QStringList arguments;
    } cases[] = {
        {"/usr/bin/amixer", 0, {"-q", "sset", "Master", "0%"}},
        {"/usr/bin/amixer", 8, {"-q", "sset", "Master", "50%"}},   // 32768
        {"/usr/bin/amixer", 15, {"-q", "sset", "Master", "93%"}},  // 61440
        {"/usr/bin/amixer", 16, {"-q", "sset", "Master", "100%"}}, // 65536, held at 65535
        {"/usr/bin/amixer", -3, {"-q", "sset", "Master", "0%"}},
        {"/usr/bin/pactl", 4, {"set-sink-volume", "@DEFAULT_SINK@", "25%"}}, // 16384
    };
    for (const auto& c : cases) {
        std::vector<Started> started;
        MasterVolume volume(c.program, [&](const QString& p, const QStringList& a) {
            started.push_back({p, a});
            return true;
        });
        EXPECT_EQ(volume.OnVolumeChanged(c.position), 1);
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(started[0].program, c.program);
        EXPECT_EQ(started[0].arguments, c.arguments) << c.position;
    }
    EXPECT_EQ(MasterVolume::ValueOfPosition(3), 3u << 12);
}

TEST(MasterVolume, WithoutAMixerOrWhenItCannotStartNothingIsSet)
{
    int calls = 0;
    MasterVolume none(QString(), [&](const QString&, const QStringList&) { return ++calls > 0; });
    EXPECT_FALSE(none.IsOpen());
    EXPECT_EQ(none.OnVolumeChanged(8), 0);
    EXPECT_EQ(calls, 0);
    MasterVolume failing("/usr/bin/amixer", [](const QString&, const QStringList&) { return false; });
    EXPECT_EQ(failing.OnVolumeChanged(8), 0);
}

class VolumeDialogTest : public ::testing::Test
{
protected:
    std::unique_ptr<CViewerDlg> Make(const QString& mixer)
    {
        SkinBitmaps::Init();
        ViewerEnvironment env;
        env.programPath = m_home.filePath("orvane");
        env.programFolder = m_home.path() + "/";
        env.drives = platform::DriveRoot(m_home.filePath("drives"));
        env.dataFolder = m_home.filePath("data");
        env.registerFileTypes = false;
        env.askOnExit = false;
        env.mixerProgram = mixer;
        env.startMixer = [this](const QString& p, const QStringList& a) {
            started.push_back({p, a});
            return true;
        };
        auto dialog = std::make_unique<CViewerDlg>(env);
        dialog->OnInitDialog();
        dialog->show();
        return dialog;
    }

    QTemporaryDir m_home;
    std::vector<Started> started;
};

TEST_F(VolumeDialogTest, TheSliderShowsBesideTheTreeAndSetsTheMasterVolume)
{
    auto dialog = Make(QStringLiteral("/usr/bin/amixer"));
    CSkinSlider* slider = dialog->VolumeSlider();
    ASSERT_NE(slider, nullptr);
    EXPECT_TRUE(slider->isVisible());
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_TRUE(dialog->rect().contains(slider->geometry()));
    // It covers no other control of the dialog.
    for (QWidget* other : dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (other != slider && other->isVisible()) {
            EXPECT_FALSE(other->geometry().intersects(slider->geometry())) << other->metaObject()->className();
        }
    }
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Home);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].arguments, (QStringList{"-q", "sset", "Master", "0%"}));
    QTest::keyClick(slider, Qt::Key_Right);
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[1].arguments, (QStringList{"-q", "sset", "Master", "6%"}));

    // It follows the window when it is resized.
    dialog->resize(dialog->width() + 40, dialog->height() + 30);
    const QSize size = dialog->size();
    EXPECT_EQ(slider->geometry(), QRect(size.width() - 176, size.height() - 199, 141, 20));
    dialog->CloseWithoutAsking();
}

TEST_F(VolumeDialogTest, WithoutAMixerTheSliderIsGreyed)
{
    auto dialog = Make(QStringLiteral(""));
    EXPECT_TRUE(dialog->VolumeSlider()->isVisible());
    EXPECT_FALSE(dialog->VolumeSlider()->isEnabled());
    QTest::keyClick(dialog->VolumeSlider(), Qt::Key_Home);
    EXPECT_TRUE(started.empty());
    dialog->CloseWithoutAsking();
}

} // namespace
