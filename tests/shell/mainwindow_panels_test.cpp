// End to end: the main window (offscreen) with a recorder simulator. A recorder that logs in is
// listed on the alarm output and microphone panels; the operator switches a relay, moves the
// chosen camera with the P/T/Z dock, opens the camera control from a live grid and closes it;
// when the recorder goes it leaves the lists.
#include <QComboBox>
#include <QDockWidget>
#include <QPushButton>
#include <QTest>

#include "panels/calarmout.h"
#include "panels/cptzctrl.h"
#include "panels/cucccontrol.h"
#include "panels/microphone.h"
#include "panels/support/panels_messages.h"
#include "session/moduledevice.h"
#include "session/recordersession.h"
#include "shell/ccameo.h"
#include "shell/gridhost.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_online_fixture.h"

namespace {

class MainWindowPanelsTest : public GridOnlineTest
{
protected:
    QWidget* DockContent(const QString& title) const
    {
        for (QDockWidget* dock : hub->DockWidgets()) {
            if (dock->windowTitle() == title)
                return dock->widget();
        }
        return nullptr;
    }
};

TEST_F(MainWindowPanelsTest, TheDocksHoldThePanels)
{
    EXPECT_EQ(DockContent(QStringLiteral("P/T/Z")), hub->GetPtzCtrl());
    EXPECT_EQ(DockContent(QStringLiteral("Alarm Out")), hub->GetAlarmOut());
    EXPECT_EQ(DockContent(QStringLiteral("MicroPhone")), hub->GetMicrophone());
    ASSERT_NE(hub->GetUccControl(), nullptr);
    EXPECT_FALSE(hub->GetUccControl()->isVisible());
    EXPECT_EQ(hub->GetUccControl()->windowTitle(), "UCC Control");
}

TEST_F(MainWindowPanelsTest, AnOperatorSteersARecorderThroughThePanels)
{
    hub->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hub.get()));
    RecorderSession* device = LoggedInRecorder(
        QStringLiteral("Harbour"), {QStringLiteral("--relays"), QStringLiteral("4"), QStringLiteral("--ptz"),
                                    QStringLiteral("PELCO-D,PELCO-D,NONE,NONE")});
    ASSERT_NE(device, nullptr);
    const int index = device->GetDeviceIndex();

    // Alarm out: the recorder is listed and chosen; relay 2 switches on.
    CAlarmOut* alarm = hub->GetAlarmOut();
    auto* alarmList = alarm->findChild<QComboBox*>(QStringLiteral("comboBox"));
    ASSERT_EQ(alarmList->count(), 1);
    EXPECT_EQ(alarmList->itemText(0), "Harbour");
    EXPECT_EQ(alarm->Recorder(), index);
    QTest::mouseClick(alarm->findChild<QPushButton*>(QStringLiteral("pushButton_2")), Qt::LeftButton);
    EXPECT_EQ(AwaitReceived(Simulator(0), 0x27, 1),
              QList<QByteArray>({QByteArray::fromHex("0000000a00a12700000e00000101")}));

    // Microphone: the same recorder hears the operator.
    auto* micList = hub->GetMicrophone()->findChild<QComboBox*>(QStringLiteral("comboBox"));
    ASSERT_EQ(micList->count(), 1);
    EXPECT_EQ(microphone::TalkBackRecorder(), index);

    // P/T/Z: the grid's chosen camera is channel 1; "right" goes out with a stop on each side.
    GridHost::Instance()->SetPtzCameo(index, 1);
    QTest::mouseClick(hub->GetPtzCtrl()->findChild<QPushButton*>(QStringLiteral("btn_Move_R")), Qt::LeftButton);
    EXPECT_EQ(AwaitReceived(Simulator(0), 0x08, 4),
              QList<QByteArray>({CameraControlBytes(1, 1, 5, 0), CameraControlBytes(1, 5, 5, 0),
                                 CameraControlBytes(1, 1, 5, 0), CameraControlBytes(1, 1, 5, 0)}));

    // Camera control from a live grid: single view while open, back to four on Close.
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 4, QSize(400, 300));
    grid->OnConnectDevice(4, index);
    grid->OnUccAction();
    cUccControl* ucc = hub->GetUccControl();
    EXPECT_TRUE(ucc->isVisible());
    EXPECT_EQ(ucc->Recorder(), index);
    EXPECT_EQ(grid->GetSplit(), 1);
    QPushButton* close = nullptr;
    for (QPushButton* button : ucc->findChildren<QPushButton*>()) {
        if (button->text() == "Close")
            close = button;
    }
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(ucc->isVisible());
    EXPECT_EQ(grid->GetSplit(), 4);
    const QList<QByteArray> control = AwaitReceived(Simulator(0), 0x08, 8);
    ASSERT_EQ(control.size(), 8);
    EXPECT_EQ(control.mid(4),
              QList<QByteArray>({CameraControlBytes(0, 1, 2, 0), CameraControlBytes(0, 12, 2, 0),
                                 CameraControlBytes(0, 1, 2, 0), CameraControlBytes(0, 13, 2, 0)}));

    // The recorder goes: both lists forget it.
    device->Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return alarmList->count() == 0; }, 10000));
    EXPECT_EQ(micList->count(), 0);
}

} // namespace
