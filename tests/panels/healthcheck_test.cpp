// The recorder health window: what a status refresh logs, the reading lines, the grid picture,
// and the health answer of a recorder that fills and shows the window.
#include <QLabel>
#include <QTest>

#include "net/modulenetwork.h"
#include "panels/healthcheck.h"
#include "panels/healthstate.h"
#include "panels/support/panels_fixture.h"
#include "session/moduledevice.h"

namespace {

HealthRecord Record()
{
    HealthRecord r;
    r.chipset1 = -1;
    r.chipset2 = -1;
    r.fanSpeed = -1;
    return r;
}

TEST(HealthState, ARelayThatStaysOnIsLoggedOnceAndOneGoingOffNotAtAll)
{
    HealthState state;
    state.SetCounts(4, 4);
    HealthRecord r = Record();
    r.relay[1] = 1;
    EXPECT_EQ(state.Apply(r), QStringList({"Relay Event - ch2"}));
    EXPECT_TRUE(state.Apply(r).isEmpty());
    r.relay[1] = 0;
    EXPECT_TRUE(state.Apply(r).isEmpty());
    r.relay[1] = 1;
    EXPECT_EQ(state.Apply(r), QStringList({"Relay Event - ch2"}));
}

TEST(HealthState, ADiskIsLoggedWhenItBecomesFaultyNotWhileItStaysSo)
{
    struct Step
    {
        int state;
        bool logged;
    };
    HealthState state;
    state.SetCounts(4, 0);
    HealthRecord r = Record();
    for (const Step& s : {Step{1, false}, Step{2, true}, Step{2, false}, Step{3, false}, Step{2, true}}) {
        r.diskState[9] = s.state;
        const QStringList events = state.Apply(r);
        EXPECT_EQ(events, s.logged ? QStringList({"HDD Error - no 10"}) : QStringList()) << s.state;
    }
}

TEST(HealthState, RelaysBeyondTheCountAndCountsBeyondSixteenAreBounded)
{
    HealthState state;
    state.SetCounts(40, 99);
    EXPECT_EQ(state.ChannelCount(), 16);
    EXPECT_EQ(state.RelayCount(), 16);
    state.SetCounts(-3, -1);
    EXPECT_EQ(state.ChannelCount(), 0);
    EXPECT_EQ(state.RelayCount(), 0);
    state.SetCounts(4, 2);
    HealthRecord r = Record();
    r.relay[2] = 1;
    r.motion[5] = 1;
    EXPECT_TRUE(state.Apply(r).isEmpty());
    EXPECT_EQ(state.Relay(2), 0);
    EXPECT_EQ(state.Motion(5), 0);
}

TEST(HealthState, ReadingTexts)
{
    struct Case
    {
        int chipset1, chipset2, fan;
        const char* chipset;
        const char* fanText;
    };
    // clang-format off
    const Case cases[] = {
        {-1, -1, -1, "", ""},
        {40, -1, 0, "", "Fan RPM : 0"},
        {40, 55, 3200, "Chipset Status : 55 / 40", "Fan RPM : 3200"},
        {0, 0, -1, "Chipset Status : 0 / 0", ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        HealthState state;
        HealthRecord r = Record();
        r.chipset1 = c.chipset1;
        r.chipset2 = c.chipset2;
        r.fanSpeed = c.fan;
        state.Apply(r);
        EXPECT_EQ(state.ChipsetText(), QLatin1String(c.chipset));
        EXPECT_EQ(state.FanText(), QLatin1String(c.fanText));
    }
}

class HealthWindowTest : public PanelsOnlineTest
{};

TEST_F(HealthWindowTest, UnknownReadingsKeepTheirDashes)
{
    healthCheck window;
    window.SetDvrName(QStringLiteral("DVR Name : X"), 4, 4);
    window.SetHealthState(Record());
    EXPECT_EQ(window.LineText(7), "Chipset Status : -");
    EXPECT_EQ(window.LineText(8), "Fan RPM : -");
    HealthRecord r = Record();
    r.chipset1 = 41;
    r.chipset2 = 52;
    r.fanSpeed = 2500;
    window.SetHealthState(r);
    EXPECT_EQ(window.LineText(7), "Chipset Status : 52 / 41");
    EXPECT_EQ(window.LineText(8), "Fan RPM : 2500");
    EXPECT_EQ(window.LineText(0), "DVR Name : X");
}

TEST_F(HealthWindowTest, GridMarksOnlyTheChannelsARecorderHas)
{
    HealthState state;
    state.SetCounts(4, 2);
    HealthRecord r = Record();
    r.motion = {1, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    r.cameraState[3] = 0xFF;
    r.relay[0] = 1;
    r.diskState[0] = 1;
    r.diskState[1] = 2;
    r.diskState[2] = 3;
    state.Apply(r);
    const QImage grid = healthCheck::DrawGrid(state).toImage();
    ASSERT_EQ(grid.size(), QSize(421, 141));
    // The middle of the mark of column c in row r.
    const auto mark = [&](int column, int row) {
        return grid.pixelColor(119 + 20 * column - 16 + 7, 20 * row + 3 + 7);
    };
    const QColor red(0xC8, 0, 0), blue(0, 0, 0xC8), yellow(0xC8, 0xC8, 0), background(0x35, 0x53, 0x7C);
    EXPECT_EQ(mark(0, 1), red);
    EXPECT_EQ(mark(1, 1), blue);
    EXPECT_EQ(mark(3, 1), background); // camera not shown
    EXPECT_EQ(mark(4, 1), background); // beyond the channel count
    EXPECT_EQ(mark(15, 1), background);
    EXPECT_EQ(mark(0, 3), red);
    EXPECT_EQ(mark(1, 3), blue);
    EXPECT_EQ(mark(2, 3), background); // beyond the relay count
    EXPECT_EQ(mark(0, 4), blue);       // active camera
    EXPECT_EQ(mark(0, 6), blue);
    EXPECT_EQ(mark(1, 6), red);
    EXPECT_EQ(mark(2, 6), yellow);
    EXPECT_EQ(mark(3, 6), background);
    EXPECT_EQ(mark(12, 6), background);
}

TEST_F(HealthWindowTest, TheHealthAnswerFillsTheWindowAndShowsIt)
{
    CModuleDevice* device = LoggedInRecorder(QStringLiteral("Lobby"),
                                             {QStringLiteral("--version"), QStringLiteral("2.1.0.7"),
                                              QStringLiteral("--mac"), QStringLiteral("00:1C:84:AB:CD:EF"),
                                              QStringLiteral("--record-date"), QStringLiteral("20261105"),
                                              QStringLiteral("--record-start"), QStringLiteral("081502"),
                                              QStringLiteral("--record-end"), QStringLiteral("235959")});
    ASSERT_NE(device, nullptr);
    HealthCheckView* view = device->GetHealthCheck();
    ASSERT_NE(view, nullptr);
    auto* window = dynamic_cast<healthCheck*>(view);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->LineText(0), "DVR Name : Lobby");
    EXPECT_EQ(window->State().ChannelCount(), 4);

    BoxWatcher watcher;
    device->ShowHealthCheck(false);
    ASSERT_TRUE(QTest::qWaitFor([window] { return window->isVisible(); }, 10000));
    EXPECT_EQ(window->windowTitle(), "Health Check - Lobby");
    EXPECT_EQ(window->LineText(1), "Net Address : 127.0.0.1");
    EXPECT_EQ(window->LineText(2), "DVR Version : 2.01.00.07");
    EXPECT_EQ(window->LineText(3), "Mac Address : 00:1C:84:AB:CD:EF");
    EXPECT_TRUE(window->LineText(4).startsWith("HDD Usage : ")) << window->LineText(4).toStdString();
    EXPECT_EQ(window->LineText(5), "Earliest Record : 2026/11/05 08:15:02");
    EXPECT_EQ(window->LineText(6), "Latest Record : 2026/11/05 23:59:59");
    // The health request went out as console lock 1.
    const QList<QByteArray> requests = Received(Simulator(0), 0x96);
    ASSERT_FALSE(requests.isEmpty());
    EXPECT_EQ(quint8(requests.last()[8]), 1);
}

TEST_F(HealthWindowTest, QuietRequestsAndThePollAskWithoutABox)
{
    CModuleDevice* device = LoggedInRecorder(QStringLiteral("Lobby"));
    ASSERT_NE(device, nullptr);
    const int before = Received(Simulator(0), 0x96).size();
    BoxWatcher watcher;
    const size_t boxesBefore = hub->boxCalls.size();
    device->ShowHealthCheck(true);
    device->OnTimerStatus();
    const QList<QByteArray> requests = AwaitReceived(Simulator(0), 0x96, before + 2);
    ASSERT_EQ(requests.size(), before + 2);
    // Console lock 2 (quiet) twice: 16 bytes, sub-code 2, a zero word.
    const QByteArray quiet = QByteArray::fromHex("0000000c00a19600"
                                                 "02100000"
                                                 "00000000");
    EXPECT_EQ(requests.mid(before), QList<QByteArray>({quiet, quiet}));
    // The quiet answer only renews the recording times; the window stays hidden and no
    // "Loading..." box was opened.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !device->GetEarliestRecordText().isEmpty(); }, 10000));
    auto* window = dynamic_cast<healthCheck*>(device->GetHealthCheck());
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->LineText(1), "IP Address :");
    EXPECT_EQ(watcher.BoxesShown(), 0);
    // The hub here keeps box calls instead of opening boxes: none was asked for either.
    EXPECT_EQ(hub->boxCalls.size(), boxesBefore);
}

TEST_F(HealthWindowTest, APlaybackInformationAnswerKeepsTheRangeAndTheDays)
{
    CModuleDevice* device = LoggedInRecorder(QStringLiteral("Lobby"),
                                             {QStringLiteral("--record-date"), QStringLiteral("20261105"),
                                              QStringLiteral("--record-days"), QStringLiteral("3"),
                                              QStringLiteral("--record-start"), QStringLiteral("010203"),
                                              QStringLiteral("--record-end"), QStringLiteral("222324")});
    ASSERT_NE(device, nullptr);
    device->GetLiveNetwork()->SendConsoleLock(0);
    ASSERT_TRUE(QTest::qWaitFor([device] { return !device->GetRecordDays().isEmpty(); }, 10000));
    EXPECT_EQ(device->GetFirstRecordDate(), 20261103);
    EXPECT_EQ(device->GetFirstRecordTime(), 10203);
    EXPECT_EQ(device->GetLastRecordDate(), 20261105);
    EXPECT_EQ(device->GetLastRecordTime(), 222324);
    const QVector<int> days = device->GetRecordDays();
    ASSERT_EQ(days.size(), 1825);
    EXPECT_EQ(days.mid(0, 3), QVector<int>({20261103, 20261104, 20261105}));
    EXPECT_EQ(days.count(-1), 1822);
    // Not a health answer: the window stays hidden.
    EXPECT_FALSE(device->GetHealthCheck()->Widget()->isVisible());
}

} // namespace
