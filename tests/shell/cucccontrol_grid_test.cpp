// The camera control pop-up over a live grid: closing it returns the grid it took to single view
// to its split.
#include <QTest>

#include "panels/cucccontrol.h"
#include "panels/support/panels_messages.h"
#include "session/moduledevice.h"
#include "shell/ccameo.h"
#include "shell/support/grid_online_fixture.h"
#include "support/uccpopupfixture.h"

namespace {

constexpr int kCameraControl = 0x08;

using UccControlTest = UccPopupTestOn<GridOnlineTest>;

TEST_F(UccControlTest, CloseUnbindsThroughTheStopAndReturnsTheGridToItsSplit)
{
    CModuleDevice* device = LoggedInRecorder(QStringLiteral("Cam"));
    ASSERT_NE(device, nullptr);
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 4, QSize(400, 300));
    grid->OnConnectDevice(4, device->GetDeviceIndex());
    grid->OnUccAction(); // takes the grid to single view and binds the hub's pop-up
    ASSERT_EQ(grid->GetSplit(), 1);
    popup->SetCamera(device->GetDeviceIndex(), 3, grid->GetCameoIndex());
    Click(QStringLiteral("Close"));
    EXPECT_EQ(grid->GetSplit(), 4);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(popup->Recorder(), -1);
    EXPECT_EQ(popup->Channel(), -1);
    EXPECT_EQ(popup->CameoIndex(), -1);
    const QList<QByteArray> sent = AwaitReceived(Simulator(0), kCameraControl, 6);
    ASSERT_GE(sent.size(), 6);
    EXPECT_EQ(sent.mid(sent.size() - 2),
              QList<QByteArray>({CameraControlBytes(3, 1, 2, 0), CameraControlBytes(3, 13, 2, 0)}));
}

} // namespace
