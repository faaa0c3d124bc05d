// The console area's conversions: element rectangles from the recorder's screen into the window's
// 1000 x 680 frame, mouse points back, and where the live picture lies.
#include <gtest/gtest.h>

#include "console/consolearea.h"

namespace {

struct AreaCase
{
    const char* what;
    int ox, oy, w, h, rw, rh; // console area as the recorder reports it
    QRect element;            // x, y, width, height in recorder pixels
    QRect placed;             // where the window puts it
};

// clang-format off
const AreaCase kPlacing[] = {
    {"wide area scaled, origin y taken as 0", 0, 40, 1280, 720, 1280, 720, {640, 400, 128, 72}, {500, 378, 100, 68}},
    {"wide area narrower than the screen scales across by the area", 0, 0, 1280, 720, 1600, 720, {640, 360, 128, 72}, {500, 340, 100, 68}},
    {"area wider than the screen only shifts", 100, 40, 1920, 1080, 1280, 720, {300, 200, 50, 60}, {200, 200, 50, 60}},
    {"small area centred", 0, 0, 800, 600, 800, 600, {10, 20, 30, 40}, {110, 60, 30, 40}},
    {"small area with origin centred", 100, 50, 800, 600, 800, 600, {150, 100, 30, 40}, {150, 90, 30, 40}},
    {"full-height area only shifts", 10, 5, 1000, 680, 1000, 680, {20, 25, 5, 6}, {10, 20, 5, 6}},
    {"no area at all centres by half the frame", 0, 0, 0, 0, 0, 0, {10, 20, 30, 40}, {510, 360, 30, 40}},
    {"zero resolution height leaves the vertical unscaled", 0, 0, 1280, 720, 1280, 0, {640, 400, 128, 72}, {500, 400, 100, 72}},
    {"halves round upward", 0, 0, 2000, 680, 2000, 680, {1, 3, 3, 5}, {1, 3, 2, 5}},
};
// clang-format on

TEST(ConsoleArea, PlacesElementsInTheFrame)
{
    for (const AreaCase& c : kPlacing) {
        const ConsoleArea area(c.ox, c.oy, c.w, c.h, c.rw, c.rh);
        EXPECT_EQ(area.ToWindow(c.element.x(), c.element.y(), c.element.width(), c.element.height()), c.placed)
            << c.what;
    }
}

struct PointCase
{
    const char* what;
    int ox, oy, w, h, rw, rh;
    QPoint press; // in the window
    QPoint sent;  // in recorder pixels
};

// clang-format off
const PointCase kPoints[] = {
    {"centred area", 100, 50, 800, 600, 800, 600, {150, 100}, {150, 110}},
    {"wide area", 0, 40, 1280, 720, 1280, 720, {500, 340}, {640, 360}},
    {"area wider than the screen", 0, 0, 1920, 1080, 1280, 720, {500, 340}, {0, 0}},
    {"full frame", 7, 9, 1000, 680, 1000, 680, {10, 10}, {17, 19}},
    {"truncating division", 0, 0, 1280, 720, 1280, 720, {1, 1}, {1, 1}},
};
// clang-format on

TEST(ConsoleArea, MapsPointsToTheRecorder)
{
    for (const PointCase& c : kPoints) {
        const ConsoleArea area(c.ox, c.oy, c.w, c.h, c.rw, c.rh);
        EXPECT_EQ(area.ToRecorder(c.press), c.sent) << c.what;
    }
}

struct BackgroundCase
{
    const char* what;
    int ox, oy, w, h, rw, rh;
    QRect background; // in the window
    bool showable;
};

// clang-format off
const BackgroundCase kBackgrounds[] = {
    {"small area centred", 0, 0, 800, 600, 800, 600, {100, 40, 800, 600}, true},
    {"screen smaller than the frame", 0, 0, 1000, 680, 720, 480, {0, 0, 720, 480}, true},
    {"wide area fills the frame", 0, 40, 1280, 720, 1280, 720, {0, 0, 1000, 680}, true},
    {"full-height area on a larger screen stops at the frame", 0, 0, 1000, 680, 1920, 1080, {0, 0, 1000, 680}, true},
    {"centred area on a larger screen stops at the frame", 0, 0, 800, 600, 8192, 8192, {100, 40, 900, 640}, true},
    {"screen of 16,000 pixels a side", 0, 0, 1000, 680, 16000, 16000, {0, 0, 1000, 680}, false},
    {"screen of 46,341 pixels a side", 0, 0, 800, 600, 46341, 46341, {100, 40, 900, 640}, false},
    {"largest 16-bit words", 0, 0, 65535, 65535, 65535, 65535, {0, 0, 1000, 680}, false},
    {"menu wider than any screen", 0, 0, 8193, 600, 1920, 1080, {0, 0, 1000, 680}, false},
    {"one pixel above the largest screen height", 0, 0, 1000, 680, 1920, 8193, {0, 0, 1000, 680}, false},
};
// clang-format on

TEST(ConsoleArea, BackgroundLiesUnderTheAreaWithinTheFrame)
{
    for (const BackgroundCase& c : kBackgrounds) {
        const ConsoleArea area(c.ox, c.oy, c.w, c.h, c.rw, c.rh);
        EXPECT_EQ(area.BackgroundRect(), c.background) << c.what;
        EXPECT_EQ(area.Showable(), c.showable) << c.what;
    }
}

} // namespace
