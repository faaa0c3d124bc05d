// Local playback of one grid cell without a grid: the control codes over a grid's cells, the
// pacing interval, which frames the fast modes show, and the playback loop's walk through the
// seconds of a recording's minute table.
#include "shell/localplaybackcell.h"

#include <QByteArray>
#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

using PC = PlaybackControl;

// An index header with the given minutes in its masks and the first entry at second 0.
QByteArray Header(std::initializer_list<std::pair<int, int>> minutes, int firstSecond = 0)
{
    QByteArray h(512, '\0');
    qToLittleEndian<quint32>(quint32((firstSecond + 32) * 16), h.data() + 8);
    for (const auto& [hour, minute] : minutes) {
        char* mask = h.data() + 24 + 8 * hour;
        qToLittleEndian<quint64>(qFromLittleEndian<quint64>(mask) | (quint64(1) << minute), mask);
    }
    return h;
}

struct CellState
{
    PC control;
    int speed;
    bool keyOnly;
};

std::vector<std::unique_ptr<LocalPlaybackCell>> MakeCells(const std::vector<CellState>& states)
{
    std::vector<std::unique_ptr<LocalPlaybackCell>> cells;
    for (const CellState& s : states) {
        cells.push_back(std::make_unique<LocalPlaybackCell>());
        cells.back()->SetControl(s.control);
        cells.back()->SetSpeed(s.speed);
        cells.back()->SetKeyFramesOnly(s.keyOnly);
    }
    return cells;
}

QVector<LocalPlaybackCell*> Pointers(const std::vector<std::unique_ptr<LocalPlaybackCell>>& cells)
{
    QVector<LocalPlaybackCell*> list;
    for (const auto& c : cells)
        list.append(c.get());
    return list;
}

TEST(LocalPlaybackControl, CodesOverTheCellsOfAGrid)
{
    struct Case
    {
        const char* what;
        std::vector<CellState> before;
        int code;
        std::vector<CellState> after;
    };
    const Case cases[] = {
        {"pause with one cell playing pauses all",
         {{PC::Forward, 0, false}, {PC::Pause, 0, false}},
         2,
         {{PC::Pause, 0, false}, {PC::Pause, 0, false}}},
        {"pause when all are paused resumes all",
         {{PC::Pause, 3, true}, {PC::Pause, 0, false}},
         2,
         {{PC::Forward, 3, true}, {PC::Forward, 0, false}}},
        {"play clears key frames only and speed", {{PC::FastForward, 5, true}}, 16, {{PC::Forward, 0, false}}},
        {"fast forward from play starts at 2", {{PC::Forward, 0, false}}, 32, {{PC::FastForward, 2, true}}},
        {"fast forward again raises the speed", {{PC::FastForward, 2, true}}, 32, {{PC::FastForward, 3, true}}},
        {"fast forward at 8 wraps to 2", {{PC::FastForward, 8, true}}, 32, {{PC::FastForward, 2, true}}},
        {"fast backward after fast forward starts at 2",
         {{PC::FastForward, 6, true}},
         512,
         {{PC::FastBackward, 2, true}}},
        {"each cell counts its own speed",
         {{PC::FastBackward, 4, true}, {PC::Forward, 0, false}},
         512,
         {{PC::FastBackward, 5, true}, {PC::FastBackward, 2, true}}},
        {"backward shows key frames at speed 0", {{PC::FastForward, 4, true}}, 256, {{PC::Backward, 0, true}}},
        {"stop is not a grid code: speed 0, control kept",
         {{PC::FastForward, 4, true}},
         4,
         {{PC::FastForward, 0, true}}},
        {"unknown code", {{PC::Pause, 3, false}}, 77, {{PC::Pause, 0, false}}},
    };
    for (const Case& c : cases) {
        auto cells = MakeCells(c.before);
        LocalPlaybackCell::ApplyControl(Pointers(cells), c.code);
        for (size_t i = 0; i < cells.size(); ++i) {
            EXPECT_EQ(cells[i]->GetControl(), c.after[i].control) << c.what << " cell " << i;
            EXPECT_EQ(cells[i]->GetSpeed(), c.after[i].speed) << c.what << " cell " << i;
            EXPECT_EQ(cells[i]->IsKeyFramesOnly(), c.after[i].keyOnly) << c.what << " cell " << i;
        }
    }
}

TEST(LocalPlaybackControl, FastForwardPressedRepeatedlyCyclesTwoToEight)
{
    auto cells = MakeCells({{PC::Forward, 0, false}});
    std::vector<int> speeds;
    for (int i = 0; i < 9; ++i) {
        LocalPlaybackCell::ApplyControl(Pointers(cells), 32);
        speeds.push_back(cells[0]->GetSpeed());
    }
    EXPECT_EQ(speeds, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 2, 3}));
}

TEST(LocalPlaybackControl, RestartGoesToTheFirstTimeAndSkipsCellsWithoutOne)
{
    auto cells = MakeCells({{PC::FastBackward, 4, true}, {PC::Pause, 0, false}});
    // 10:15:07 is the first second written; 10:15 and 10:20 hold data.
    ASSERT_TRUE(cells[0]->SetIndex(Header({{10, 15}, {10, 20}}, 10 * 3600 + 15 * 60 + 7), -1));
    EXPECT_EQ(cells[0]->GetFirstTime(), 101507);
    cells[0]->SetPosition(10, 20, 30);
    LocalPlaybackCell::ApplyControl(Pointers(cells), 4096);
    EXPECT_EQ(cells[0]->GetPosition(), 10 * 3600 + 15 * 60 + 7);
    EXPECT_EQ(cells[0]->GetControl(), PC::Forward);
    EXPECT_FALSE(cells[0]->IsKeyFramesOnly());
    EXPECT_EQ(cells[0]->GetSpeed(), 0);
    // The second cell has no recording: nothing to restart.
    EXPECT_EQ(cells[1]->GetFirstTime(), -1);
    EXPECT_EQ(cells[1]->GetControl(), PC::Pause);
    EXPECT_EQ(cells[1]->GetPosition(), 0);
}

TEST(LocalPlaybackPacing, FrameInterval)
{
    struct Case
    {
        int frames;
        bool keyOnly;
        int speed;
        int interval;
    };
    const Case cases[] = {
        {25, false, 0, 40},  {1, false, 0, 1000}, {40, false, 0, 25}, {3, false, 0, 333},  {25, true, 4, 250},
        {25, true, 0, 1000}, {10, false, 2, 50},  {30, true, 8, 125}, {0, false, 0, 1000}, {2000, false, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocalPlaybackCell::FrameInterval(c.frames, c.keyOnly, c.speed), c.interval)
            << c.frames << " " << c.keyOnly << " " << c.speed;
}

TEST(LocalPlaybackPacing, FastModesShowOnlyTheKeyFrame)
{
    // A second of 25 frames whose key frame is the first.
    int normal = 0;
    int fast = 0;
    for (int i = 0; i < 25; ++i) {
        normal += LocalPlaybackCell::IsFrameShown(i, false, 0);
        fast += LocalPlaybackCell::IsFrameShown(i, true, 0);
    }
    EXPECT_EQ(normal, 25);
    EXPECT_EQ(fast, 1);
    EXPECT_TRUE(LocalPlaybackCell::IsFrameShown(0, true, 0));
    EXPECT_FALSE(LocalPlaybackCell::IsFrameShown(3, true, -1));
}

// The loop plays on the calling thread; the callback sees each second it plays and steers it.
class LocalPlaybackLoop : public ::testing::Test
{
protected:
    void Play(const std::function<void(int, int, int)>& onSecond)
    {
        cell.Run(closing, 0, [&](int h, int m, int s) {
            played.push_back((h * 60 + m) * 60 + s);
            onSecond(h, m, s);
        });
    }

    LocalPlaybackCell cell;
    std::atomic<bool> closing{false};
    std::vector<int> played;
};

TEST_F(LocalPlaybackLoop, ForwardPlaysPresentMinutesFromSecondOneNeverSecondZero)
{
    ASSERT_TRUE(cell.SetIndex(Header({{0, 0}, {0, 2}}), -1));
    EXPECT_EQ(cell.GetPosition(), 0);
    Play([&](int, int m, int s) {
        if (m == 2 && s == 1)
            cell.SetControl(PC::Stop);
    });
    std::vector<int> expected;
    for (int s = 1; s < 60; ++s)
        expected.push_back(s);
    expected.push_back(120);
    expected.push_back(121);
    EXPECT_EQ(played, expected);
    EXPECT_EQ(cell.GetControl(), PC::Idle);
}

TEST_F(LocalPlaybackLoop, BackwardStepsBackAndRestartJumpsToTheFirstTime)
{
    ASSERT_TRUE(cell.SetIndex(Header({{1, 0}, {1, 1}}, 3600 + 5), -1));
    cell.SetPosition(1, 1, 2);
    int step = 0;
    Play([&](int, int, int) {
        switch (step++) {
        case 0: cell.SetControl(PC::Backward); break;
        case 3: LocalPlaybackCell::ApplyControl({&cell}, 4096); break;
        case 5: cell.SetControl(PC::Stop); break;
        default: break;
        }
    });
    // 01:01:02 forward... set to backward while playing it: back to 01:01:01, 01:01:00,
    // 01:00:59; the restart plays from 01:00:05 forward.
    const int base = 3600;
    EXPECT_EQ(played, (std::vector<int>{base + 62, base + 61, base + 60, base + 59, base + 5, base + 6}));
}

TEST_F(LocalPlaybackLoop, EndOfTheDayStaysOnTheLastPositionUntilStopped)
{
    ASSERT_TRUE(cell.SetIndex(Header({{23, 59}}, 86399 - 2), -1));
    cell.SetPosition(23, 59, 58);
    std::atomic<bool> lastSecond{false};
    std::thread stopper([&] {
        while (!lastSecond)
            std::this_thread::yield();
        // Stop wakes the loop out of its wait at the end of the day.
        cell.SetControl(PC::Stop);
    });
    Play([&](int, int, int s) {
        if (s == 59)
            lastSecond = true;
    });
    stopper.join();
    EXPECT_EQ(played, (std::vector<int>{86398, 86399}));
    EXPECT_LE(cell.GetPosition(), 86400);
}

} // namespace
