// The cell actions of the right-button menu on a grid whose recorder is logged in (the recorder
// simulator as peer): freeze, audio out, close and close all.
#include <QAction>
#include <QMenu>
#include <QTest>

#include "session/moduledevice.h"
#include "shell/ccameo.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_online_fixture.h"

namespace {

QPoint Centre(int cell)
{
    return QPoint(cell % 4 * 100 + 50, cell / 4 * 100 + 50);
}

class GridActionsOnlineTest : public GridOnlineTest
{
protected:
    // A live grid showing the four channels of a logged-in recorder in cells 0 to 3.
    CCameo* GridWithRecorder(CModuleDevice** recorder)
    {
        *recorder = LoggedInRecorder(QStringLiteral("Depot"));
        if (!*recorder)
            return nullptr;
        CCameo* grid = ShownGrid(CameoKind::Live, 64, 16, QSize(400, 400));
        grid->StartLiveDevice((*recorder)->GetDeviceIndex());
        CModuleDevice* rec = *recorder;
        EXPECT_TRUE(QTest::qWaitFor(
            [rec] {
                return rec->IsLiveWanted(0) && rec->IsLiveWanted(1) && rec->IsLiveWanted(2)
                       && rec->IsLiveWanted(3);
            },
            5000));
        return grid;
    }
};

TEST_F(GridActionsOnlineTest, FreezeTogglesEverySelectedCell)
{
    CModuleDevice* rec = nullptr;
    CCameo* grid = GridWithRecorder(&rec);
    ASSERT_NE(grid, nullptr);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(1));
    grid->freezeAction();
    EXPECT_TRUE(grid->GetCell(1).frozen);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::ControlModifier, Centre(2));
    grid->freezeAction();
    EXPECT_FALSE(grid->GetCell(1).frozen);
    EXPECT_TRUE(grid->GetCell(2).frozen);
    EXPECT_FALSE(grid->GetCell(0).frozen) << "not selected";

    // A current cell without a recorder unfreezes the selection.
    QTest::mouseClick(grid, Qt::LeftButton, Qt::ControlModifier, Centre(9));
    grid->freezeAction();
    EXPECT_FALSE(grid->GetCell(2).frozen);
}

TEST_F(GridActionsOnlineTest, AudioOutPlaysOneChannelAtATime)
{
    CModuleDevice* rec = nullptr;
    CCameo* grid = GridWithRecorder(&rec);
    ASSERT_NE(grid, nullptr);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(2));
    grid->GetAction(CCameo::ActionId::AudioOut)->trigger();
    EXPECT_EQ(rec->GetLiveAudioChannel(), 2);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(3));
    grid->GetAction(CCameo::ActionId::AudioOut)->trigger();
    EXPECT_EQ(rec->GetLiveAudioChannel(), 3) << "the other channel's sound stopped first";
    grid->GetAction(CCameo::ActionId::AudioOut)->trigger();
    EXPECT_EQ(rec->GetLiveAudioChannel(), -1) << "the same channel again stops its sound";
}

TEST_F(GridActionsOnlineTest, CloseStopsTheCellsLiveVideoAndItsSound)
{
    CModuleDevice* rec = nullptr;
    CCameo* grid = GridWithRecorder(&rec);
    ASSERT_NE(grid, nullptr);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(3));
    grid->audioOutAction();
    ASSERT_EQ(rec->GetLiveAudioChannel(), 3);
    std::unique_ptr<QMenu> menu = grid->PrepareContextMenu();
    ASSERT_TRUE(grid->IsCloseMode());
    grid->GetAction(CCameo::ActionId::CloseCameo)->trigger();
    EXPECT_FALSE(grid->GetCell(3).IsBound());
    EXPECT_FALSE(rec->IsLiveWanted(3));
    EXPECT_EQ(rec->GetLiveAudioChannel(), -1);
    EXPECT_EQ(rec->GetCameoRoute(3)->liveCell.load(), -1) << "no route to the closed cell";
    EXPECT_TRUE(rec->IsLiveWanted(2)) << "the other cells play on";

    grid->CloseAllCameo();
    for (int ch = 0; ch < 4; ++ch) {
        EXPECT_FALSE(grid->GetCell(ch).IsBound()) << ch;
        EXPECT_FALSE(rec->IsLiveWanted(ch)) << ch;
    }
}

} // namespace
