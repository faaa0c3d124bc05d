// The alarm output panel: which buttons a recorder shows, what a click sends, how the colours
// follow the recorder, and how recorders leave the list.
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "panels/calarmout.h"
#include "panels/relaylook.h"
#include "panels/support/panels_fixture.h"
#include "session/moduledevice.h"
#include "session/recordersession.h"

namespace {

constexpr int kRelayControl = 0x27;

// A relay command as a recorder receives it: length 10, command 0x27, total 14, relay and state.
QByteArray RelayBytes(int relay, int state)
{
    QByteArray bytes = QByteArray::fromHex("0000000a00a12700000e0000");
    bytes += char(relay);
    bytes += char(state);
    return bytes;
}

class AlarmPanelTest : public PanelsOnlineTest
{
protected:
    void SetUp() override
    {
        PanelsOnlineTest::SetUp();
        panel = std::make_unique<CAlarmOut>();
        panel->show();
    }
    void TearDown() override
    {
        panel.reset();
        PanelsOnlineTest::TearDown();
    }

    QPushButton* Button(int number) const
    {
        return panel->findChild<QPushButton*>(QStringLiteral("pushButton_%1").arg(number));
    }
    QComboBox* List() const { return panel->findChild<QComboBox*>(QStringLiteral("comboBox")); }
    QTimer* StatusTimer() const { return panel->findChild<QTimer*>(QStringLiteral("statusTimer")); }
    QList<bool> Shown() const
    {
        QList<bool> shown;
        for (int n = 1; n <= CAlarmOut::kRelays; ++n)
            shown << Button(n)->isVisible();
        return shown;
    }

    std::unique_ptr<CAlarmOut> panel;
};

TEST_F(AlarmPanelTest, RefreshRunsFromTheStartEveryFiveSeconds)
{
    ASSERT_NE(StatusTimer(), nullptr);
    EXPECT_TRUE(StatusTimer()->isActive());
    EXPECT_EQ(StatusTimer()->interval(), 5000);
    EXPECT_EQ(panel->Recorder(), -1);
    EXPECT_EQ(panel->RelayCount(), -1);
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(Button(n)->text(), QString::number(n));
}

TEST_F(AlarmPanelTest, ARecorderShowsAsManyButtonsAsItHasRelays)
{
    struct Case
    {
        const char* relays;
        int shown;
    };
    for (const Case& c : {Case{"4", 4}, Case{"0", 0}, Case{"8", 8}}) {
        RecorderSession* device = LoggedInRecorder(QStringLiteral("R%1").arg(c.relays),
                                                   {QStringLiteral("--relays"), QLatin1String(c.relays)});
        ASSERT_NE(device, nullptr);
        panel->AddDevice(device->GetDvrName(), device->GetDeviceIndex());
        List()->setCurrentIndex(List()->count() - 1);
        QList<bool> expected;
        for (int i = 0; i < 8; ++i)
            expected << (i < c.shown);
        EXPECT_EQ(Shown(), expected) << c.relays;
        EXPECT_EQ(panel->RelayCount(), c.shown);
        EXPECT_EQ(panel->Recorder(), device->GetDeviceIndex());
    }
}

TEST_F(AlarmPanelTest, ClickingARelaySwitchesItAndTheButtonAtOnce)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Gate"),
                                               {QStringLiteral("--relays"), QStringLiteral("4")});
    ASSERT_NE(device, nullptr);
    panel->AddDevice(QStringLiteral("Gate"), device->GetDeviceIndex());
    ASSERT_EQ(panel->Recorder(), device->GetDeviceIndex());

    QTest::mouseClick(Button(3), Qt::LeftButton);
    EXPECT_EQ(Button(3)->styleSheet(), RelayLook::On());
    EXPECT_EQ(AwaitReceived(Simulator(0), kRelayControl, 1), QList<QByteArray>({RelayBytes(2, 1)}));
    EXPECT_TRUE(device->GetRelayState(2));

    QTest::mouseClick(Button(3), Qt::LeftButton);
    EXPECT_EQ(Button(3)->styleSheet(), RelayLook::Off());
    EXPECT_EQ(AwaitReceived(Simulator(0), kRelayControl, 2),
              QList<QByteArray>({RelayBytes(2, 1), RelayBytes(2, 0)}));
}

TEST_F(AlarmPanelTest, RefreshFollowsTheRecorderAndGreysADisconnectedOne)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Gate"),
                                               {QStringLiteral("--relays"), QStringLiteral("2")});
    ASSERT_NE(device, nullptr);
    panel->AddDevice(QStringLiteral("Gate"), device->GetDeviceIndex());
    device->SendRelayControl(1, 1);
    panel->timerRelayStatus();
    EXPECT_EQ(Button(1)->styleSheet(), RelayLook::Off());
    EXPECT_EQ(Button(2)->styleSheet(), RelayLook::On());

    device->Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([device] { return !device->IsLoggedIn(); }, 10000));
    panel->timerRelayStatus();
    EXPECT_EQ(Button(1)->styleSheet(), RelayLook::Off());
    EXPECT_EQ(Button(2)->styleSheet(), RelayLook::Off());
}

TEST_F(AlarmPanelTest, RemovingTheChosenRecorderStopsTheRefreshUntilAnotherIsChosen)
{
    RecorderSession* first = LoggedInRecorder(QStringLiteral("A"));
    RecorderSession* second = LoggedInRecorder(QStringLiteral("B"));
    ASSERT_TRUE(first && second);
    panel->AddDevice(QStringLiteral("A"), first->GetDeviceIndex());
    panel->AddDevice(QStringLiteral("B"), second->GetDeviceIndex());
    ASSERT_EQ(panel->Recorder(), first->GetDeviceIndex());

    panel->RemoveDevice(QStringLiteral("A"), first->GetDeviceIndex());
    // Taking the first entry away makes B current, which chooses it and refreshes it again.
    EXPECT_EQ(panel->Recorder(), second->GetDeviceIndex());
    EXPECT_TRUE(StatusTimer()->isActive());

    panel->RemoveDevice(QStringLiteral("B"), second->GetDeviceIndex());
    EXPECT_FALSE(StatusTimer()->isActive());
    panel->AddDevice(QStringLiteral("A"), first->GetDeviceIndex());
    EXPECT_EQ(panel->Recorder(), first->GetDeviceIndex());
    EXPECT_TRUE(StatusTimer()->isActive());
}

TEST_F(AlarmPanelTest, ARecorderLeavesByItsIndexNotByItsName)
{
    panel->AddDevice(QStringLiteral("Same"), 4);
    panel->AddDevice(QStringLiteral("Same"), 7);
    panel->AddDevice(QStringLiteral("Other"), 4);
    panel->RemoveDevice(QStringLiteral("Same"), 4);
    ASSERT_EQ(List()->count(), 1);
    EXPECT_EQ(List()->itemText(0), "Same");
    EXPECT_EQ(List()->itemData(0).toInt(), 7);
}

TEST_F(AlarmPanelTest, WithoutARecorderAClickSendsNothing)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Gate"));
    ASSERT_NE(device, nullptr);
    const QString before = Button(1)->styleSheet();
    QTest::mouseClick(Button(1), Qt::LeftButton);
    EXPECT_EQ(Button(1)->styleSheet(), before);
    // A relay command sent afterwards arrives alone.
    device->SendRelayControl(3, 0);
    EXPECT_EQ(AwaitReceived(Simulator(0), kRelayControl, 1), QList<QByteArray>({RelayBytes(3, 0)}));
}

} // namespace
