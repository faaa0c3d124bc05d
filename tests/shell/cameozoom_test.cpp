// Digital zoom of a cell: wheel steps, menu steps and texts, and pan offsets.
#include <QPoint>
#include <gtest/gtest.h>

#include "shell/cameozoom.h"

namespace {

struct WheelCase
{
    float zoom;
    int delta;
    const char* after;
};

class CameoZoomWheel : public ::testing::TestWithParam<WheelCase>
{};

TEST_P(CameoZoomWheel, StepsAndStaysWithinLimits)
{
    const WheelCase& c = GetParam();
    EXPECT_EQ(CameoZoom::Text(CameoZoom::Wheel(c.zoom, c.delta)), QLatin1String(c.after))
        << c.zoom << " by " << c.delta;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, CameoZoomWheel, ::testing::Values(
    WheelCase{1.0f, 120, "1.1"},   // one notch in
    WheelCase{1.5f, 240, "1.6"},   // two notches still step once
    WheelCase{1.5f, -120, "1.4"},  // out
    WheelCase{1.5f, 60, "1.4"},    // less than a notch zooms out
    WheelCase{1.5f, 0, "1.4"},
    WheelCase{1.0f, -120, "1.0"},  // stops at 1.0
    WheelCase{3.0f, 120, "3.0"},   // stops at 3.0
    WheelCase{2.95f, 120, "3.0"}));
// clang-format on

TEST(CameoZoom, TenMenuStepsFromWholeReachTwo)
{
    float zoom = 1.0f;
    for (int i = 0; i < 10; ++i)
        zoom = CameoZoom::Step(zoom, true);
    EXPECT_EQ(CameoZoom::Text(zoom), QLatin1String("2.0"));
    for (int i = 0; i < 10; ++i)
        zoom = CameoZoom::Step(zoom, false);
    EXPECT_TRUE(CameoZoom::IsWhole(zoom)) << CameoZoom::Text(zoom).toStdString();
}

TEST(CameoZoom, MenuTextsNameTheNextStepAndGreyAtTheLimits)
{
    struct Case
    {
        float zoom;
        const char* in;
        const char* out;
    };
    const Case cases[] = {{1.0f, "Zoom In\tx1.1", "Zoom Out"},
                          {1.5f, "Zoom In\tx1.6", "Zoom Out\tx1.4"},
                          {3.0f, "Zoom In", "Zoom Out\tx2.9"}};
    for (const Case& c : cases) {
        EXPECT_EQ(CameoZoom::ZoomInText(c.zoom), QLatin1String(c.in)) << c.zoom;
        EXPECT_EQ(CameoZoom::ZoomOutText(c.zoom), QLatin1String(c.out)) << c.zoom;
    }
    EXPECT_TRUE(CameoZoom::IsMost(3.0f));
    EXPECT_FALSE(CameoZoom::IsMost(2.9f));
}

TEST(CameoZoom, PanFollowsThePointerTheOtherWayAndNeverGoesNegative)
{
    struct Case
    {
        QPoint pan, previous, now, after;
    };
    const Case cases[] = {
        {QPoint(0, 0), QPoint(50, 50), QPoint(40, 30), QPoint(10, 20)}, // dragged up-left: view moves right-down
        {QPoint(10, 20), QPoint(40, 30), QPoint(45, 50), QPoint(5, 0)}, // back, y clamped at 0
        {QPoint(3, 3), QPoint(0, 0), QPoint(100, 100), QPoint(0, 0)},   // far beyond: both clamped
    };
    for (const Case& c : cases)
        EXPECT_EQ(CameoZoom::Pan(c.pan, c.previous, c.now), c.after);
}

} // namespace
