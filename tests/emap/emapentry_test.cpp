// The e-map entry texts and the geometry of drops and releases, free of widgets.
#include <gtest/gtest.h>

#include "emap/emapentry.h"

namespace {
EmapEntry::Position Placed(const char* name, int channel, float x, float y)
{
    EmapEntry::Position p;
    p.recorderName = QString::fromLatin1(name);
    p.channel = channel;
    p.x = x;
    p.y = y;
    return p;
}
} // namespace

TEST(EmapEntryTest, BuildsSixteenItemsWithEmptyPositionsMarked)
{
    EmapEntry::Positions positions;
    positions[0] = Placed("Yard", 2, 0.25f, 0.5f);
    positions[3] = Placed("Gate", 15, 1.0f, 0.125f);
    const EmapEntry::Lists lists = EmapEntry::Build(positions);
    EXPECT_EQ(lists.devices, QStringLiteral("Yard;;;Gate;;;;;;;;;;;;;"));
    EXPECT_EQ(lists.channels, QStringLiteral("2;-1;-1;15;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;"));
    EXPECT_EQ(lists.positions, QStringLiteral("0.250000;0.500000;-1;-1;-1;-1;1.000000;0.125000;"
                                              "-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;"
                                              "-1;-1;"));
}

TEST(EmapEntryTest, ReadsBackWhatItWrote)
{
    EmapEntry::Positions positions;
    positions[1] = Placed("North Gate", 0, 0.333333f, 0.666667f);
    positions[15] = Placed("Dock", 7, 0.0f, 0.999999f);
    const EmapEntry::Lists lists = EmapEntry::Build(positions);
    const EmapEntry::Positions back = EmapEntry::Parse(lists.devices, lists.channels, lists.positions);
    for (int i = 0; i < EmapEntry::kPositions; ++i) {
        const EmapEntry::Position& want = positions[size_t(i)];
        const EmapEntry::Position& got = back[size_t(i)];
        EXPECT_EQ(got.IsPlaced(), want.IsPlaced()) << i;
        if (!want.IsPlaced())
            continue;
        EXPECT_EQ(got.recorderName, want.recorderName) << i;
        EXPECT_EQ(got.channel, want.channel) << i;
        EXPECT_FLOAT_EQ(got.x, want.x) << i;
        EXPECT_FLOAT_EQ(got.y, want.y) << i;
    }
}

TEST(EmapEntryTest, ShortOrBadListsGiveEmptyPositions)
{
    struct Case
    {
        const char* what;
        const char* devices;
        const char* channels;
        const char* positions;
        bool firstPlaced;
    };
    const Case cases[] = {
        {"complete first item", "Yard;", "1;", "0.5;0.5;", true},
        {"no lists at all", "", "", "", false},
        {"channel 16 has no icon slot", "Yard;", "16;", "0.5;0.5;", false},
        {"negative channel", "Yard;", "-3;", "0.5;0.5;", false},
        {"channel not a number", "Yard;", "x;", "0.5;0.5;", false},
        {"position cut short", "Yard;", "1;", "0.5;", false},
        {"position not a number", "Yard;", "1;", "a;0.5;", false},
        {"no recorder name", ";", "1;", "0.5;0.5;", false},
    };
    for (const Case& c : cases) {
        const EmapEntry::Positions got = EmapEntry::Parse(
            QString::fromLatin1(c.devices), QString::fromLatin1(c.channels), QString::fromLatin1(c.positions));
        EXPECT_EQ(got[0].IsPlaced(), c.firstPlaced) << c.what;
        for (int i = 1; i < EmapEntry::kPositions; ++i)
            EXPECT_FALSE(got[size_t(i)].IsPlaced()) << c.what << ", item " << i;
    }
}

TEST(EmapEntryTest, DropPointIsTheIconCentre)
{
    struct Case
    {
        QPoint point;
        QSize window;
        const char* text;
    };
    const Case cases[] = {
        {{117, 218}, {400, 300}, "0.250000;0.666667;"},
        {{17, 18}, {640, 480}, "0.000000;0.000000;"},
        {{337, 258}, {640, 480}, "0.500000;0.500000;"},
    };
    for (const Case& c : cases) {
        const QPointF at = EmapEntry::DropFraction(c.point, c.window);
        EXPECT_EQ(EmapEntry::PositionText(float(at.x()), float(at.y())), QString::fromLatin1(c.text))
            << c.point.x() << "," << c.point.y();
    }
}

TEST(EmapEntryTest, ReleaseKeepsTheIconInsideTheWindow)
{
    const QSize window(400, 300);
    const QSize icon(34, 38);
    struct Case
    {
        QPoint released;
        QPoint kept;
    };
    const Case cases[] = {
        {{100, 100}, {100, 100}}, {{500, 100}, {366, 100}}, // past the right border: its right edge on the border
        {{100, 400}, {100, 262}}, {{-20, -5}, {1, 1}},      {{0, 0}, {1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EmapEntry::ClampRelease(c.released, window, icon), c.kept)
            << c.released.x() << "," << c.released.y();
}
