// The control bar's rules: the BUFFERING count, regrouping, the fast speed cycle and the texts.
#include <QStringList>

#include <gtest/gtest.h>

#include "ui/controlbarlogic.h"
#include "ui/waitboxcounter.h"

namespace {

struct FakePlayers : TilePlayers
{
    bool open[16] = {};
    PlayState state[16] = {};
    int speed[16] = {};
    int group[16] = {};
    QStringList log;
    bool IsOpen(int t) const override { return open[t]; }
    PlayState State(int t) const override { return state[t]; }
    int FastSpeed(int t) const override { return speed[t]; }
    void SetFastSpeed(int t, int s) override { speed[t] = s; }
    void StopPlayback(int t) override { log << QStringLiteral("stop %1").arg(t); }
    void SetPlayGroup(int t, int g) override { group[t] = g; }
    void Run(int t, PlayOperation op) override
    {
        log << QStringLiteral("run %1 %2").arg(t).arg(static_cast<int>(op));
        if (op == PlayOperation::FastForward)
            state[t] = PlayState::FastForward;
        if (op == PlayOperation::FastBackward)
            state[t] = PlayState::FastBackward;
    }
};

struct FakeHost : ControlBarHost
{
    QVector<int> selected;
    bool flags[16] = {};
    WaitBoxCounter box;
    int nextGroup = 0;
    int barGroup = -1, barTile = -1;
    QVector<bool> enables;
    QVector<int> SelectedCameos() const override { return selected; }
    bool PlayFlag(int t) const override { return flags[t]; }
    void ShowWaitBox(int steps, const QString& text) override { box.Show(steps, text, WaitBoxStyle::TileView, 4); }
    void StepWaitBox() override { box.Step(QString()); }
    int NewPlayGroup() override { return ++nextGroup; }
    void ClearGroupSlot(int, int) override {}
    void SetTimeBarGroup(int g) override { barGroup = g; }
    void SetTimeBarTile(int t) override { barTile = t; }
    void EnableButtons(bool e) override { enables << e; }
    QString Text(const char* key) const override { return QString::fromLatin1(key); }
};

} // namespace

TEST(PlayerControlBar, EveryTileAnswersTheBufferingBoxOnce)
{
    FakeHost host;
    FakePlayers players;
    ControlBarLogic bar(host, players);
    host.selected = {0, 1, 2};
    host.flags[0] = host.flags[2] = true;
    players.open[0] = players.open[2] = true;
    players.state[0] = PlayState::Forward; // already playing: takes the operation again

    int stepsBeforeClose = -1;
    bar.Run(PlayOperation::PlayForward);
    stepsBeforeClose = host.box.CurrentStep();
    EXPECT_FALSE(host.box.IsShown());
    EXPECT_EQ(stepsBeforeClose, 0); // closed and reset after the third answer
    EXPECT_EQ(players.log, QStringList({"stop 0", "run 0 7", "stop 2", "run 2 7"}));
    EXPECT_EQ(host.barGroup, 1);
    EXPECT_EQ(host.barTile, 2);
    EXPECT_EQ(players.group[0], 1);
    EXPECT_EQ(host.enables, QVector<bool>({false, true}));
}

TEST(PlayerControlBar, FastForwardOnAPlayingTileCyclesItsSpeedAndClosesTheBox)
{
    FakeHost host;
    FakePlayers players;
    ControlBarLogic bar(host, players);
    host.selected = {3};
    host.flags[3] = true;
    players.open[3] = true;
    players.state[3] = PlayState::Forward;
    QVector<int> speeds;
    for (int i = 0; i < 6; ++i) {
        bar.Run(PlayOperation::FastForward);
        speeds << players.speed[3];
        EXPECT_FALSE(host.box.IsShown()) << i;
    }
    EXPECT_EQ(speeds, QVector<int>({1, 2, 3, 4, 5, 1}));
    // From fast backward the forward speed starts at 1.
    players.state[3] = PlayState::FastBackward;
    players.speed[3] = 4;
    bar.Run(PlayOperation::FastForward);
    EXPECT_EQ(players.speed[3], 1);
}

TEST(PlayerControlBar, PauseOpensNoBox)
{
    FakeHost host;
    FakePlayers players;
    ControlBarLogic bar(host, players);
    host.selected = {1, 4};
    host.flags[1] = host.flags[4] = true;
    players.open[4] = true;
    bar.Pause();
    EXPECT_FALSE(host.box.IsShown());
    EXPECT_TRUE(host.enables.isEmpty());
    EXPECT_EQ(players.log, QStringList({"stop 4", "run 4 8"}));
    EXPECT_EQ(host.barTile, 4);
}

TEST(PlayerControlBar, SliderTexts)
{
    EXPECT_EQ(ControlBarLogic::SliderText(0), "00:00:00");
    EXPECT_EQ(ControlBarLogic::SliderText(479), "23:57:00");
    EXPECT_EQ(ControlBarLogic::SliderText(480), "24:00:00");
    EXPECT_EQ(ControlBarLogic::SliderText(241), "12:03:00");
}

TEST(PlayerWaitBox, CountsStepsByStyle)
{
    WaitBoxCounter box;
    box.Show(0, "Buffering...", WaitBoxStyle::TileView, 4);
    EXPECT_TRUE(box.Step(QString())); // 1 >= 0
    box.Show(3, "Buffering...", WaitBoxStyle::NoCancel, 3);
    EXPECT_TRUE(box.Step(QString()));
    box.Show(2, "Please wait...", WaitBoxStyle::TileView, 0);
    EXPECT_FALSE(box.Step("ERROR!!!"));
    EXPECT_EQ(box.Text(), "ERROR!!!");
    EXPECT_TRUE(box.Step(QString()));
    EXPECT_FALSE(box.IsShown());
    EXPECT_TRUE(box.Text().isEmpty());
}

TEST(PlayerWaitBox, CancelActsByStyleAndKind)
{
    struct Case
    {
        WaitBoxStyle style;
        int kind;
        CancelAction action;
    };
    const Case cases[] = {
        {WaitBoxStyle::TileView, 0, CancelAction::CloseTileView},
        {WaitBoxStyle::TileView, 2, CancelAction::ClearTileSearch},
        {WaitBoxStyle::TileView, 4, CancelAction::ResetTimeBar},
        {WaitBoxStyle::CalendarSearch, 0, CancelAction::HideCalendar},
        {WaitBoxStyle::CalendarSearch, 1, CancelAction::ClearCalendarSearch},
        {WaitBoxStyle::CalendarSearch, 3, CancelAction::None},
    };
    for (const Case& c : cases) {
        WaitBoxCounter box;
        box.Show(4, "x", c.style, c.kind);
        EXPECT_EQ(box.Cancel(), c.action) << c.kind;
        EXPECT_FALSE(box.IsShown());
    }
}
