#include <gtest/gtest.h>

#include "search/museumsearchrun.h"

namespace {

constexpr int kFinished = MuseumSearchRun::kFinished;

MuseumSearchRun Started(int start, int end, int latest = 235959)
{
    MuseumSearchRun run;
    EXPECT_EQ(run.Start(start, end, latest, true), MuseumStartCheck::Ok);
    return run;
}

TEST(MuseumSearchRun, StartChecksTimeBeforeArea)
{
    struct Case
    {
        const char* name;
        int start;
        int end;
        int latest;
        bool area;
        MuseumStartCheck check;
    };
    const Case cases[] = {
        {"fine", 100000, 100300, 235959, true, MuseumStartCheck::Ok},
        {"equal", 100000, 100000, 235959, true, MuseumStartCheck::BadTime},
        {"end before start", 100300, 100000, 235959, true, MuseumStartCheck::BadTime},
        {"end cut to latest", 100000, 120000, 100000, true, MuseumStartCheck::BadTime},
        {"end cut but later", 100000, 120000, 110000, true, MuseumStartCheck::Ok},
        {"bad time wins over no area", 100000, 90000, 235959, false, MuseumStartCheck::BadTime},
        {"no area", 100000, 100300, 235959, false, MuseumStartCheck::NoArea},
    };
    for (const Case& c : cases) {
        MuseumSearchRun run;
        EXPECT_EQ(run.Start(c.start, c.end, c.latest, c.area), c.check) << c.name;
        EXPECT_EQ(run.IsRunning(), c.check == MuseumStartCheck::Ok) << c.name;
    }
}

TEST(MuseumSearchRun, MissStepsOneSecondMatchTenSeconds)
{
    struct Case
    {
        const char* time;
        bool match;
        int next;
    };
    const Case cases[] = {
        {"10:00:00", false, 100001}, {"10:00:55", true, 100105}, {"10:59:59", false, 110000},
        {"10:00:59", false, 100100}, {"10:59:55", true, 110000}, {"10:30:20", true, 103030},
    };
    for (const Case& c : cases) {
        MuseumSearchRun run = Started(100000, 120000);
        EXPECT_EQ(run.OnPicture(c.time, c.match, true).next, c.next) << c.time;
        EXPECT_EQ(run.HitCount(), c.match ? 1 : 0) << c.time;
    }
}

TEST(MuseumSearchRun, WalkRequestsTheTimeSequenceAndListsMatches)
{
    MuseumSearchRun run = Started(100000, 100100);
    // The recorder answers each request with the picture at that time; matches at 10:00:02 and
    // 10:00:15.
    QVector<int> requested;
    QString time = QStringLiteral("10:00:00");
    for (int guard = 0; guard < 100; ++guard) {
        const bool match = time == "10:00:02" || time == "10:00:15";
        const MuseumSearchRun::Step step = run.OnPicture(time, match, true);
        if (step.next == kFinished)
            break;
        requested.append(step.next);
        time = MuseumSearchRun::TimeText(step.next);
    }
    QVector<int> expected = {100001, 100002, 100012, 100013, 100014, 100015, 100025};
    for (int s = 26; s <= 59; ++s)
        expected.append(100000 + s);
    expected.append(100100);
    EXPECT_EQ(requested, expected);
    EXPECT_EQ(run.Hits(), (QVector<int>{100002, 100015}));
    EXPECT_FALSE(run.IsRunning());
}

TEST(MuseumSearchRun, EndRules)
{
    struct Case
    {
        const char* name;
        int end;
        int latest;
        const char* time;
        bool match;
        bool boxOpen;
        int next;
    };
    const Case cases[] = {
        {"picture at the end", 100100, 235959, "10:01:00", false, true, kFinished},
        {"picture past the end", 100100, 235959, "10:01:30", false, true, kFinished},
        {"step reaches the end", 100100, 235959, "10:00:59", false, true, 100100},
        {"match steps past the end", 100100, 235959, "10:00:55", true, true, kFinished},
        {"step reaches latest", 110000, 100030, "10:00:29", false, true, kFinished},
        {"step before latest", 110000, 100030, "10:00:28", false, true, 100029},
        {"past midnight", 235959, 235959, "23:59:55", true, true, kFinished},
        {"box closed", 110000, 235959, "10:00:10", false, false, kFinished},
        {"garbled time", 110000, 235959, "10:0x:10", false, true, kFinished},
    };
    for (const Case& c : cases) {
        MuseumSearchRun run = Started(100000, c.end, c.latest);
        const MuseumSearchRun::Step step = run.OnPicture(c.time, c.match, c.boxOpen);
        EXPECT_EQ(step.next, c.next) << c.name;
        EXPECT_EQ(step.finishedNow, c.next == kFinished) << c.name;
        EXPECT_EQ(run.IsRunning(), c.next != kFinished) << c.name;
    }
}

TEST(MuseumSearchRun, EndTextIsTheEditorsEndNotTheCutOne)
{
    MuseumSearchRun run = Started(100000, 120000, 110000);
    EXPECT_EQ(run.EndText(), QStringLiteral("12:00:00"));
}

TEST(MuseumSearchRun, AtMost260HitsThenTheNextPictureEnds)
{
    MuseumSearchRun run = Started(0, 235959);
    int time = 0;
    for (int hit = 0; hit < MuseumSearchRun::kMaxHits; ++hit) {
        const MuseumSearchRun::Step step = run.OnPicture(MuseumSearchRun::TimeText(time), true, true);
        ASSERT_TRUE(step.hitStored);
        time = step.next;
    }
    EXPECT_EQ(run.HitCount(), 260);
    EXPECT_EQ(run.Hits().front(), 0);
    EXPECT_EQ(run.Hits().back(), 4310); // 259 matches of 10 s: 43 min 10 s

    const MuseumSearchRun::Step full = run.OnPicture(MuseumSearchRun::TimeText(time), true, true);
    EXPECT_FALSE(full.hitStored);
    EXPECT_EQ(full.next, 4330);
    EXPECT_EQ(run.HitCount(), 260);
    EXPECT_EQ(run.OnPicture("00:43:30", false, true).next, kFinished);
    EXPECT_EQ(run.HitCount(), 260);
    EXPECT_EQ(run.HitTime(260), -1);
}

TEST(MuseumSearchRun, ProgressCountsFromTheStart)
{
    MuseumSearchRun run = Started(100000, 100140); // 100 s
    EXPECT_EQ(run.OnPicture("10:00:00", false, true).progress, MuseumSearchRun::kNoProgress);
    EXPECT_EQ(run.OnPicture("10:00:25", false, true).progress, 25);
    EXPECT_EQ(run.OnPicture("10:01:39", false, true).progress, 99);
    EXPECT_EQ(MuseumSearchRun::ProgressText(25), QStringLiteral("Searching... (25%)"));
    EXPECT_EQ(MuseumSearchRun::ProgressText(MuseumSearchRun::kNoProgress), QStringLiteral("Searching..."));
}

TEST(MuseumSearchRun, StopEndsAtTheNextPicture)
{
    MuseumSearchRun run = Started(100000, 110000);
    EXPECT_EQ(run.OnPicture("10:00:00", false, true).next, 100001);
    run.Stop();
    EXPECT_EQ(run.OnPicture("10:00:01", true, true).next, kFinished);
    EXPECT_EQ(run.HitCount(), 0);
    EXPECT_EQ(run.OnPicture("10:00:02", true, true).next, kFinished); // idle stays idle
}

TEST(MuseumSearchRun, DefaultEndIsThreeMinutesOnAndStopsAtTheDaysEnd)
{
    struct Case
    {
        int start;
        int end;
    };
    const Case cases[] = {
        {105810, 110110}, // minute 61 carries into the hour, the seconds stay
        {235830, 235959}, // hour 24 is clamped to the day's last second
        {235659, 235959}, {235600, 235900}, {0, 300}, {125959, 130259},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MuseumSearchRun::DefaultEnd(c.start), c.end) << c.start;
}

TEST(MuseumSearchRun, ResetForgetsHitsAndTheWalk)
{
    MuseumSearchRun run = Started(100000, 110000);
    EXPECT_EQ(run.OnPicture("10:00:00", true, true).next, 100010);
    ASSERT_EQ(run.HitCount(), 1);
    run.Reset();
    EXPECT_EQ(run.HitCount(), 0);
    EXPECT_FALSE(run.IsRunning());
    EXPECT_EQ(run.OnPicture("10:00:10", true, true).next, kFinished);
    EXPECT_EQ(run.HitCount(), 0);
}

} // namespace
