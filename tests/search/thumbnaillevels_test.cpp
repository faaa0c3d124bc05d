#include <gtest/gtest.h>

#include "search/museumsearchrun.h"
#include "search/thumbnaillevels.h"

namespace {

using Arrival = ThumbnailLevels::Arrival;

QString Text(int hhmmss)
{
    return MuseumSearchRun::TimeText(hhmmss);
}

// Feeds the level being searched the pictures the recorder returns for each request, starting
// at `first`, until the level completes; returns every time that was requested after `first`.
QVector<int> Drive(ThumbnailLevels& levels, int first)
{
    QVector<int> requested;
    int time = first;
    for (int guard = 0; guard < 40; ++guard) {
        const ThumbnailLevels::Outcome outcome = levels.OnPicture(Text(time));
        if (outcome.arrival != Arrival::Stored)
            break;
        requested.append(outcome.next);
        time = outcome.next;
    }
    return requested;
}

// Levels with the hours of the day filled, each picture coming back on the hour.
ThumbnailLevels DayOfHours()
{
    ThumbnailLevels levels;
    levels.Begin();
    Drive(levels, 0);
    return levels;
}

TEST(ThumbnailLevels, LevelTable)
{
    const int slots[] = {24, 6, 10, 6, 10};
    const char* names[] = {"1hour", "10min", "1min", "10sec", "1sec"};
    for (int level = 0; level < ThumbnailLevels::kLevelCount; ++level) {
        EXPECT_EQ(ThumbnailLevels::SlotCount(level), slots[level]);
        EXPECT_EQ(ThumbnailLevels::LevelName(level), QString::fromLatin1(names[level]));
    }
    EXPECT_EQ(ThumbnailLevels::SlotCount(5), 0);
    EXPECT_EQ(ThumbnailLevels::LevelName(-1), QStringLiteral("-"));
    EXPECT_EQ(ThumbnailLevels::LevelName(5), QStringLiteral("-"));
}

TEST(ThumbnailLevels, NextTimeSteps)
{
    struct Case
    {
        int level;
        int hour, minute, second;
        int next;
    };
    const Case cases[] = {
        {0, 1, 0, 7, 20000},    {0, 23, 0, 0, 235959},   {0, 22, 59, 59, 230000}, {1, 10, 20, 5, 103000},
        {1, 10, 50, 0, 110000}, {1, 23, 50, 0, 235959},  {2, 10, 58, 30, 105900}, {2, 10, 59, 0, 110000},
        {3, 10, 25, 0, 102510}, {3, 10, 25, 50, 102600}, {3, 10, 59, 50, 110000}, {3, 23, 59, 50, 235959},
        {4, 10, 25, 8, 102509}, {4, 10, 25, 59, 102600}, {4, 10, 59, 59, 110000}, {4, 23, 59, 59, 235959},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ThumbnailLevels::NextTime(c.level, c.hour, c.minute, c.second), c.next)
            << c.level << " " << c.hour << ":" << c.minute << ":" << c.second;
}

TEST(ThumbnailLevels, HoursFill24SlotsAndTheClampedPictureCompletes)
{
    ThumbnailLevels levels;
    levels.Begin();
    const QVector<int> requested = Drive(levels, 0);
    ASSERT_EQ(requested.size(), 24);
    EXPECT_EQ(requested[0], 10000);
    EXPECT_EQ(requested[22], 230000);
    EXPECT_EQ(requested[23], 235959);
    EXPECT_EQ(levels.Caption(0, 23), QStringLiteral("23:00:00"));
    EXPECT_EQ(levels.SlotsReceived(), 24);
    EXPECT_TRUE(levels.IsDone(0));
}

TEST(ThumbnailLevels, TheSamePictureAgainEndsTheLevel)
{
    // A recording that ends at 11:59:59: asked for 12:00:00, the recorder answers with its last
    // picture, and again for the next request.
    ThumbnailLevels levels;
    levels.Begin();
    EXPECT_EQ(levels.OnPicture("11:00:00").next, 120000);
    const ThumbnailLevels::Outcome last = levels.OnPicture("11:59:59");
    EXPECT_EQ(last.arrival, Arrival::Stored);
    EXPECT_EQ(last.next, 120000);
    EXPECT_EQ(levels.OnPicture("11:59:59").arrival, Arrival::Completed);
    EXPECT_EQ(levels.SlotsReceived(), 2);
    EXPECT_TRUE(levels.IsDone(0));

    // A new level starts without a stop time.
    ASSERT_TRUE(levels.OpenLevel(0, 1));
    EXPECT_EQ(levels.OnPicture("11:59:59").arrival, Arrival::Stored);
}

TEST(ThumbnailLevels, StepStartsFromThePicturesOwnTime)
{
    ThumbnailLevels levels;
    levels.Begin();
    const ThumbnailLevels::Outcome outcome = levels.OnPicture("01:00:07");
    EXPECT_EQ(outcome.arrival, Arrival::Stored);
    EXPECT_EQ(outcome.slot, 0);
    EXPECT_EQ(outcome.next, 20000);
}

TEST(ThumbnailLevels, DrillDownRequestTimes)
{
    ThumbnailLevels levels = DayOfHours();

    ASSERT_TRUE(levels.OpenLevel(0, 10)); // 10:00:00
    EXPECT_EQ(levels.LevelSearched(), 1);
    EXPECT_EQ(levels.NextRequest(), 100000);
    EXPECT_EQ(Drive(levels, 100000), (QVector<int>{101000, 102000, 103000, 104000, 105000, 110000}));
    EXPECT_EQ(levels.Caption(1, 5), QStringLiteral("10:50:00"));

    ASSERT_TRUE(levels.OpenLevel(1, 5)); // 10:50:00
    const QVector<int> minutes = Drive(levels, 105000);
    EXPECT_EQ(minutes,
              (QVector<int>{105100, 105200, 105300, 105400, 105500, 105600, 105700, 105800, 105900, 110000}));
    EXPECT_EQ(levels.Caption(2, 9), QStringLiteral("10:59:00"));

    ASSERT_TRUE(levels.OpenLevel(2, 2)); // 10:52:00
    EXPECT_EQ(Drive(levels, 105200), (QVector<int>{105210, 105220, 105230, 105240, 105250, 105300}));

    ASSERT_TRUE(levels.OpenLevel(3, 4)); // 10:52:40
    EXPECT_EQ(levels.NextRequest(), 105240);
    const QVector<int> seconds = Drive(levels, 105240);
    EXPECT_EQ(seconds.size(), 10);
    EXPECT_EQ(seconds.back(), 105250);
    EXPECT_EQ(levels.Caption(4, 9), QStringLiteral("10:52:49"));
    EXPECT_EQ(levels.LevelOnScreen(), 4);
}

TEST(ThumbnailLevels, LevelThreeFromTwentyFive)
{
    ThumbnailLevels levels = DayOfHours();
    levels.OpenLevel(0, 10);
    Drive(levels, 100000);
    levels.OpenLevel(1, 2); // 10:20:00
    Drive(levels, 102000);
    ASSERT_EQ(levels.Caption(2, 5), QStringLiteral("10:25:00"));
    levels.OpenLevel(2, 5);
    Drive(levels, 102500);
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(levels.Caption(3, slot), Text(102500 + slot * 10));
}

TEST(ThumbnailLevels, OpeningTheSecondsLevelHasNoSixthColumn)
{
    ThumbnailLevels levels = DayOfHours();
    for (int level = 0; level < 4; ++level) {
        ASSERT_TRUE(levels.OpenLevel(level, 0));
        Drive(levels, 0);
    }
    ASSERT_FALSE(levels.Caption(4, 0).isEmpty());
    ASSERT_TRUE(levels.OpenLevel(4, 0));
    EXPECT_EQ(levels.LevelSearched(), 5);
    EXPECT_EQ(levels.LevelOnScreen(), 4);
    EXPECT_EQ(levels.OnPicture("00:00:00").arrival, Arrival::Completed);
    EXPECT_FALSE(levels.GoDeeper());
    EXPECT_EQ(levels.LevelOnScreen(), 4);
}

TEST(ThumbnailLevels, EmptyOrMissingSlotsCannotBeOpenedOrPicked)
{
    ThumbnailLevels levels;
    levels.Begin();
    levels.OnPicture("00:00:00");
    levels.OnPicture("01:00:00");
    struct Case
    {
        int level;
        int slot;
    };
    const Case cases[] = {{0, 2}, {0, -1}, {0, 24}, {0, 1000}, {1, 0}, {-1, 0}, {5, 0}};
    for (const Case& c : cases) {
        EXPECT_FALSE(levels.OpenLevel(c.level, c.slot)) << c.level << "/" << c.slot;
        EXPECT_EQ(levels.LevelSearched(), 0) << c.level << "/" << c.slot;
    }
    EXPECT_FALSE(levels.Pick(2));
    EXPECT_FALSE(levels.Pick(24));
    EXPECT_FALSE(levels.Pick(-1));
    EXPECT_TRUE(levels.Pick(1));
    EXPECT_EQ(levels.ChosenSlot(0), 1);
}

TEST(ThumbnailLevels, OpeningClearsDeeperCaptionsAndLevelButtonsMove)
{
    ThumbnailLevels levels = DayOfHours();
    levels.OpenLevel(0, 3);
    Drive(levels, 30000);
    levels.OpenLevel(1, 1); // 03:10:00
    Drive(levels, 31000);
    ASSERT_FALSE(levels.Caption(2, 0).isEmpty());

    ASSERT_TRUE(levels.GoUp());
    ASSERT_TRUE(levels.GoUp());
    EXPECT_EQ(levels.LevelOnScreen(), 0);
    EXPECT_FALSE(levels.GoUp());
    EXPECT_EQ(levels.Caption(2, 0), QStringLiteral("03:10:00")); // going up searches nothing

    ASSERT_TRUE(levels.Pick(5));
    ASSERT_TRUE(levels.GoDeeper()); // reopens level 1 from 05:00:00
    EXPECT_EQ(levels.LevelOnScreen(), 1);
    EXPECT_EQ(levels.NextRequest(), 50000);
    EXPECT_TRUE(levels.Caption(1, 0).isEmpty());
    EXPECT_TRUE(levels.Caption(2, 0).isEmpty());
    EXPECT_EQ(levels.Caption(0, 3), QStringLiteral("03:00:00"));
}

TEST(ThumbnailLevels, IdleAndPlayingTakeNoThumbnail)
{
    ThumbnailLevels levels;
    EXPECT_EQ(levels.OnPicture("10:00:00").arrival, Arrival::Idle);
    levels.Begin();
    levels.StartPlaying();
    EXPECT_EQ(levels.OnPicture("10:00:00").arrival, Arrival::Idle);
    EXPECT_TRUE(levels.Caption(0, 0).isEmpty());
}

} // namespace
