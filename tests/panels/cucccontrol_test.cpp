// The camera control pop-up: the messages a recorder receives for binding, held buttons, presets
// and closing, and that an unbound pop-up sends nothing.
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "panels/cucccontrol.h"
#include "panels/support/panels_fixture.h"
#include "session/moduledevice.h"
#include "session/recordersession.h"
#include "support/uccpopupfixture.h"

namespace {

constexpr int kCameraControl = 0x08;

using UccControlTest = UccPopupTestOn<PanelsOnlineTest>;

TEST_F(UccControlTest, BindingStopsFirstThenSendsTwelve)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Cam"));
    ASSERT_NE(device, nullptr);
    popup->SetCamera(device->GetDeviceIndex(), 2, -1);
    const QList<QByteArray> expected{CameraControlBytes(2, 1, 2, 0), CameraControlBytes(2, 12, 2, 0)};
    EXPECT_EQ(AwaitReceived(Simulator(0), kCameraControl, 2), expected);
}

TEST_F(UccControlTest, EachHeldButtonSendsStopItsCodeAndStopOnRelease)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Cam"));
    ASSERT_NE(device, nullptr);
    popup->SetCamera(device->GetDeviceIndex(), 1, -1);
    List("comboBox_speed")->setCurrentIndex(0); // "Speed : Slow"
    struct Case
    {
        const char* button;
        int code;
        int speed;
    };
    // clang-format off
    const Case cases[] = {
        {"btn_Move_U", 2, 1}, {"btn_Move_D", 3, 1}, {"btn_Move_L", 4, 1}, {"btn_Move_R", 5, 1},
        {"ZOOM +", 14, 2}, {"ZOOM -", 15, 2}, {"FOCUS +", 20, 2}, {"FOCUS -", 21, 2},
        {"IRIS +", 22, 2}, {"IRIS -", 23, 2}, {"Enter", 22, 2},
    };
    // clang-format on
    QList<QByteArray> expected{CameraControlBytes(1, 1, 2, 0), CameraControlBytes(1, 12, 2, 0)};
    for (const Case& c : cases) {
        Click(QLatin1String(c.button));
        expected << CameraControlBytes(1, 1, c.speed, 0) << CameraControlBytes(1, c.code, c.speed, 0)
                 << CameraControlBytes(1, 1, 2, 0);
    }
    EXPECT_EQ(AwaitReceived(Simulator(0), kCameraControl, expected.size()), expected);
}

TEST_F(UccControlTest, PresetsAndTheCameraMenu)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Cam"));
    ASSERT_NE(device, nullptr);
    popup->SetCamera(device->GetDeviceIndex(), 0, -1);
    List("comboBox_preset")->setCurrentIndex(6);
    Click(QStringLiteral("Goto"));
    List("comboBox_preset")->setCurrentIndex(49);
    Click(QStringLiteral("Set"));
    Click(QStringLiteral("OSD"));
    const QList<QByteArray> expected{CameraControlBytes(0, 1, 2, 0),  CameraControlBytes(0, 12, 2, 0),
                                     CameraControlBytes(0, 1, 2, 7),  CameraControlBytes(0, 26, 2, 7),
                                     CameraControlBytes(0, 1, 2, 50), CameraControlBytes(0, 24, 2, 50),
                                     CameraControlBytes(0, 1, 2, 0),  CameraControlBytes(0, 50, 2, 0)};
    EXPECT_EQ(AwaitReceived(Simulator(0), kCameraControl, expected.size()), expected);
}

TEST_F(UccControlTest, CloseGivesTheBoundGridBackToTheHubAndUnbinds)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Cam"));
    ASSERT_NE(device, nullptr);
    struct Case
    {
        const char* name;
        int channel;
        int cameoIndex;
        std::vector<int> restored;
    };
    // Only a pop-up bound to a camera of a grid gives that grid back.
    const Case cases[] = {
        {"bound to grid 7", 3, 7, {7}},
        {"no grid", 3, -1, {}},
        {"grid 0", 1, 0, {0}},
    };
    for (const Case& c : cases) {
        panelsHub.restoredGrids.clear();
        popup->SetCamera(device->GetDeviceIndex(), c.channel, c.cameoIndex);
        Click(QStringLiteral("Close"));
        EXPECT_EQ(panelsHub.restoredGrids, c.restored) << c.name;
        EXPECT_EQ(popup->Recorder(), -1) << c.name;
        EXPECT_EQ(popup->CameoIndex(), -1) << c.name;
        popup->show();
    }
    // Closing again, unbound, gives nothing back.
    panelsHub.restoredGrids.clear();
    Click(QStringLiteral("Close"));
    EXPECT_TRUE(panelsHub.restoredGrids.empty());
}

TEST_F(UccControlTest, UnboundButtonsAndReleasesSendNothing)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Cam"));
    ASSERT_NE(device, nullptr);
    for (const char* name : {"btn_Move_U", "ZOOM +", "Goto", "Set", "OSD"})
        Click(QLatin1String(name));
    QTest::mouseClick(popup.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 380));
    popup->OnBtnRelease();
    // A camera bound afterwards is the first to be told anything.
    popup->SetCamera(device->GetDeviceIndex(), 0, -1);
    EXPECT_EQ(AwaitReceived(Simulator(0), kCameraControl, 2),
              QList<QByteArray>({CameraControlBytes(0, 1, 2, 0), CameraControlBytes(0, 12, 2, 0)}));
}

} // namespace
