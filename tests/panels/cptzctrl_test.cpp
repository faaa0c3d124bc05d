// The pan/tilt/zoom panel: what a recorder receives for each button, the camera guard, and the
// preset tour driven step by step.
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "panels/cptzctrl.h"
#include "panels/support/panels_fixture.h"
#include "session/moduledevice.h"
#include "session/recordersession.h"

namespace {

constexpr int kCameraControl = 0x08;

class PtzPanelTest : public PanelsOnlineTest
{
protected:
    void SetUp() override
    {
        PanelsOnlineTest::SetUp();
        panel = std::make_unique<CPTZCtrl>();
        panel->show();
    }
    void TearDown() override
    {
        panel.reset();
        PanelsOnlineTest::TearDown();
    }

    QPushButton* Button(const char* name) const { return panel->findChild<QPushButton*>(QLatin1String(name)); }
    QComboBox* List(const char* name) const { return panel->findChild<QComboBox*>(QLatin1String(name)); }
    QTimer* TourTimer() const { return panel->findChild<QTimer*>(QStringLiteral("tourTimer")); }
    // Presses and releases a button as a mouse does.
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }

    // A recorder logged in to a simulator whose channels all have a PTZ protocol, chosen on the panel.
    RecorderSession* ChosenCamera(int channel)
    {
        RecorderSession* device = LoggedInRecorder(
            QStringLiteral("Dome"), {QStringLiteral("--ptz"), QStringLiteral("PELCO-D,PELCO-D,PELCO-D,PELCO-D")});
        if (device)
            panel->SetActiveCameo(device->GetDeviceIndex(), channel);
        return device;
    }

    std::unique_ptr<CPTZCtrl> panel;
};

TEST_F(PtzPanelTest, StartsWithFastSpeedFiftyPresetsAndNoCamera)
{
    const QStringList speeds{"Slow", "Normal", "Fast", "Very Fast"};
    ASSERT_EQ(List("comboBox_speed")->count(), speeds.size());
    for (int i = 0; i < speeds.size(); ++i)
        EXPECT_EQ(List("comboBox_speed")->itemText(i), speeds[i]);
    EXPECT_EQ(List("comboBox_speed")->currentIndex(), 2);
    QComboBox* presets = List("comboBox_preset");
    ASSERT_EQ(presets->count(), 50);
    EXPECT_EQ(presets->itemText(0), "Preset 01");
    EXPECT_EQ(presets->itemText(6), "Preset 07");
    EXPECT_EQ(presets->itemText(49), "Preset 50");
    EXPECT_EQ(presets->currentIndex(), 0);
    EXPECT_EQ(panel->Recorder(), -1);
    EXPECT_EQ(panel->Channel(), -1);
    ASSERT_NE(TourTimer(), nullptr);
    EXPECT_FALSE(TourTimer()->isActive());
}

TEST_F(PtzPanelTest, EveryDirectionWithoutACameraAsksForOneAndSendsNothing)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Dome"));
    ASSERT_NE(device, nullptr);
    for (const char* name : {"btn_Move_LU", "btn_Move_U", "btn_Move_RU", "btn_Move_L", "btn_Move_R", "btn_Move_LD",
                             "btn_Move_D", "btn_Move_RD", "btn_Zoom_IN", "btn_Zoom_OUT"}) {
        BoxWatcher watcher([](MessageDlg* box, const BoxSample&) { box->done(0); });
        Click(name);
        ASSERT_EQ(watcher.BoxesSeen(), 1) << name;
        EXPECT_EQ(watcher.Samples().front().title, "PTZ") << name;
        EXPECT_EQ(watcher.Samples().front().text, "Select PTZ Cameo") << name;
    }
    // The login chain asks about PTZ channels with 0x06; no camera control went out.
    EXPECT_TRUE(Received(Simulator(0), kCameraControl).isEmpty());
}

TEST_F(PtzPanelTest, PressingAndReleasingUpStopsBeforeAndAfterTheMove)
{
    RecorderSession* device = ChosenCamera(1);
    ASSERT_NE(device, nullptr);
    List("comboBox_speed")->setCurrentIndex(1); // "Normal"
    Click("btn_Move_U");
    const QList<QByteArray> sent = AwaitReceived(Simulator(0), kCameraControl, 4);
    const QList<QByteArray> expected{CameraControlBytes(1, 1, 3, 0), CameraControlBytes(1, 2, 3, 0),
                                     CameraControlBytes(1, 1, 3, 0), CameraControlBytes(1, 1, 3, 0)};
    EXPECT_EQ(sent, expected);
}

struct ButtonCase
{
    const char* button;
    int code;
};

TEST_F(PtzPanelTest, EachMovementButtonSendsItsCodeAtTheChosenSpeed)
{
    RecorderSession* device = ChosenCamera(0);
    ASSERT_NE(device, nullptr);
    // clang-format off
    const ButtonCase cases[] = {
        {"btn_Move_LU", 6}, {"btn_Move_U", 2}, {"btn_Move_RU", 7}, {"btn_Move_L", 4}, {"btn_Move_R", 5},
        {"btn_Move_LD", 8}, {"btn_Move_D", 3}, {"btn_Move_RD", 9}, {"btn_Zoom_IN", 14}, {"btn_Zoom_OUT", 15},
    };
    // clang-format on
    List("comboBox_speed")->setCurrentIndex(3); // "Very Fast"
    QList<QByteArray> expected;
    for (const ButtonCase& c : cases) {
        Click(c.button);
        expected << CameraControlBytes(0, 1, 6, 0) << CameraControlBytes(0, c.code, 6, 0)
                 << CameraControlBytes(0, 1, 6, 0) << CameraControlBytes(0, 1, 6, 0);
    }
    EXPECT_EQ(AwaitReceived(Simulator(0), kCameraControl, expected.size()), expected);
}

TEST_F(PtzPanelTest, CentreSendsTwentyTwoAndStopSendsStopsOnly)
{
    RecorderSession* device = ChosenCamera(2);
    ASSERT_NE(device, nullptr);
    Click("btn_Stop");
    Click("btn_config");
    const QList<QByteArray> expected{CameraControlBytes(2, 1, 5, 0), CameraControlBytes(2, 22, 5, 0),
                                     CameraControlBytes(2, 1, 5, 0), CameraControlBytes(2, 1, 5, 0)};
    EXPECT_EQ(AwaitReceived(Simulator(0), kCameraControl, expected.size()), expected);
}

TEST_F(PtzPanelTest, GotoSeventhAndSetFiftiethPreset)
{
    RecorderSession* device = ChosenCamera(1);
    ASSERT_NE(device, nullptr);
    List("comboBox_preset")->setCurrentIndex(6);
    Click("btn_goto");
    List("comboBox_preset")->setCurrentIndex(49);
    Click("btn_set");
    const QList<QByteArray> expected{CameraControlBytes(1, 1, 5, 0), CameraControlBytes(1, 1, 5, 0),
                                     CameraControlBytes(1, 1, 5, 0), CameraControlBytes(1, 26, 5, 7),
                                     CameraControlBytes(1, 24, 5, 50)};
    EXPECT_EQ(AwaitReceived(Simulator(0), kCameraControl, expected.size()), expected);
}

TEST_F(PtzPanelTest, TourVisitsThePresetsInTurnAndStartsOverAfterTheLast)
{
    RecorderSession* device = ChosenCamera(3);
    ASSERT_NE(device, nullptr);
    {
        InputDialogAnswers answers({3, 5});
        Click("btn_tour");
        EXPECT_EQ(answers.asked, QStringList({"First Preset", "Last Preset"}));
    }
    ASSERT_TRUE(TourTimer()->isActive());
    EXPECT_EQ(TourTimer()->interval(), 6000);
    // The timer's steps, taken here one by one.
    for (int step = 0; step < 4; ++step)
        panel->OnPresetTour();

    QList<int> visited;
    for (const QByteArray& m : AwaitReceived(Simulator(0), kCameraControl, 2 + 5 * 2)) {
        if (quint8(m[13]) == 26)
            visited << int(quint8(m[15]));
    }
    EXPECT_EQ(visited, QList<int>({3, 4, 5, 3, 4}));
    EXPECT_TRUE(panel->Tour().Running());
}

TEST_F(PtzPanelTest, TourAsksAgainUntilFirstIsBelowLast)
{
    RecorderSession* device = ChosenCamera(0);
    ASSERT_NE(device, nullptr);
    InputDialogAnswers answers({5, 5, 5, 2, 1, 4});
    Click("btn_tour");
    EXPECT_EQ(answers.asked.size(), 6);
    EXPECT_EQ(panel->Tour().First(), 1);
    EXPECT_EQ(panel->Tour().Last(), 4);
}

TEST_F(PtzPanelTest, CancellingEitherQuestionLeavesThePanelIdle)
{
    RecorderSession* device = ChosenCamera(0);
    ASSERT_NE(device, nullptr);
    for (const QList<int>& given : {QList<int>{kCancelAnswer}, QList<int>{2, kCancelAnswer}}) {
        InputDialogAnswers answers(given);
        Click("btn_tour");
        EXPECT_FALSE(panel->Tour().Running());
        EXPECT_EQ(panel->Tour().Position(), -1);
        EXPECT_FALSE(TourTimer()->isActive());
    }
    // Only the stops of the two clicks went out, no preset.
    for (const QByteArray& m : AwaitReceived(Simulator(0), kCameraControl, 4))
        EXPECT_EQ(quint8(m[13]), 1);
}

TEST_F(PtzPanelTest, AnotherCellEndsTheTourTheSameCellDoesNot)
{
    RecorderSession* device = ChosenCamera(1);
    ASSERT_NE(device, nullptr);
    {
        InputDialogAnswers answers({1, 3});
        Click("btn_tour");
    }
    ASSERT_TRUE(panel->Tour().Running());
    panel->SetActiveCameo(device->GetDeviceIndex(), 1);
    EXPECT_TRUE(panel->Tour().Running());
    EXPECT_TRUE(TourTimer()->isActive());
    panel->SetActiveCameo(device->GetDeviceIndex(), 2);
    EXPECT_FALSE(panel->Tour().Running());
    EXPECT_FALSE(TourTimer()->isActive());
}

TEST_F(PtzPanelTest, ReleaseAndCentreKeepTheTourOtherButtonsEndIt)
{
    RecorderSession* device = ChosenCamera(1);
    ASSERT_NE(device, nullptr);
    for (const char* ender : {"btn_Move_L", "btn_goto", "btn_set", "btn_config"}) {
        {
            InputDialogAnswers answers({1, 3});
            Click("btn_tour");
        }
        ASSERT_TRUE(panel->Tour().Running()) << ender;
        panel->on_btn_Move_L_clicked();
        Click("btn_Stop");
        EXPECT_TRUE(panel->Tour().Running()) << ender;
        Click(ender);
        EXPECT_FALSE(panel->Tour().Running()) << ender;
    }
}

TEST_F(PtzPanelTest, ARecorderRemovedDuringATourEndsItAtTheNextStep)
{
    RecorderSession* device = ChosenCamera(0);
    ASSERT_NE(device, nullptr);
    {
        InputDialogAnswers answers({2, 4});
        Click("btn_tour");
    }
    ASSERT_TRUE(panel->Tour().Running());
    DeleteRecorder(static_cast<CModuleDevice*>(device));
    panel->OnPresetTour();
    EXPECT_FALSE(panel->Tour().Running());
    EXPECT_FALSE(TourTimer()->isActive());
}

} // namespace
