// The preset tour and the speed and preset lists shared by the P/T/Z panel and the camera control.
#include <gtest/gtest.h>

#include "panels/ptzcode.h"
#include "panels/ptztour.h"

namespace {

TEST(PtzTour, VisitsFirstToLastThenStartsOver)
{
    PtzTour tour;
    EXPECT_FALSE(tour.Running());
    EXPECT_EQ(tour.Due(), -1);
    tour.Begin(3, 5);
    QList<int> visited;
    for (int step = 0; step < 7; ++step) {
        visited << tour.Due();
        tour.Advance();
    }
    EXPECT_EQ(visited, QList<int>({3, 4, 5, 3, 4, 5, 3}));
    tour.End();
    EXPECT_FALSE(tour.Running());
    EXPECT_EQ(tour.Due(), -1);
    EXPECT_EQ(tour.First(), 0);
    EXPECT_EQ(tour.Last(), 0);
    EXPECT_EQ(tour.Position(), -1);
}

TEST(PtzTour, StepsAreSixSecondsApart)
{
    EXPECT_EQ(PtzTour::kStepMs, 6000);
}

TEST(PtzSpeed, EntriesAndTheirCodes)
{
    struct Case
    {
        int entry;
        int code;
    };
    for (const Case& c : {Case{0, 1}, Case{1, 3}, Case{2, 5}, Case{3, 6}, Case{-1, 9}, Case{4, 9}})
        EXPECT_EQ(PtzSpeed::CodeOfEntry(c.entry, 9), c.code) << c.entry;
    EXPECT_EQ(PtzSpeed::Texts(QString()), QStringList({"Slow", "Normal", "Fast", "Very Fast"}));
    EXPECT_EQ(PtzSpeed::Texts(QStringLiteral("Speed : ")),
              QStringList({"Speed : Slow", "Speed : Normal", "Speed : Fast", "Speed : Very Fast"}));
}

TEST(PtzPreset, FiftyNumberedEntries)
{
    const QStringList texts = PtzPreset::Texts();
    ASSERT_EQ(texts.size(), 50);
    EXPECT_EQ(texts.first(), "Preset 01");
    EXPECT_EQ(texts[9], "Preset 10");
    EXPECT_EQ(texts.last(), "Preset 50");
}

} // namespace
