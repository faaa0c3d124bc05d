#include "support/displayfakes.h"
#include "ui/hpdisplayfront.h"

#include "ui/windowcanvas.h"

#include <gtest/gtest.h>
#include <vector>

namespace {} // namespace

TEST(HPDisplayFrontTest, DrawBlitAndPresentPutThePictureOnTheTile)
{
    WindowCanvas canvas;
    canvas.Resize(200, 100);
    HPDisplayFront front;
    ASSERT_EQ(front.Create(&canvas, 200, 100, 640, 480), 0);
    const std::vector<uint8_t> picture = SolidPicture(64, 48, qRgb(200, 40, 10));
    front.Lock();
    EXPECT_TRUE(front.IsLocked());
    EXPECT_EQ(front.Draw(picture.data(), 64, 48), 0);
    EXPECT_EQ(front.Blit(QRect(0, 0, 64, 48), QRect(100, 0, 100, 100)), 0);
    front.Unlock();
    EXPECT_FALSE(front.IsLocked());
    // Nothing reaches the window before presenting.
    EXPECT_EQ(canvas.Copy().pixel(150, 50) & 0xFFFFFF, 0u);
    ASSERT_EQ(front.Present(), 0);
    const QImage shown = canvas.Copy();
    EXPECT_EQ(shown.pixel(150, 50) & 0xFFFFFF, qRgb(200, 40, 10) & 0xFFFFFF);
    EXPECT_EQ(shown.pixel(50, 50) & 0xFFFFFF, 0u);
}

TEST(HPDisplayFrontTest, LostSurfaceIsRestoredOnceAndPresentingGoesOn)
{
    WindowCanvas canvas;
    canvas.Resize(80, 60);
    HPDisplayFront front;
    ASSERT_EQ(front.Create(&canvas, 80, 60, 320, 240), 0);
    const int frameIdBefore = front.FrameSurface()->Id();
    canvas.MarkLost();
    EXPECT_EQ(front.Present(), 0);
    EXPECT_NE(front.FrameSurface()->Id(), frameIdBefore);
    const int frameIdAfter = front.FrameSurface()->Id();
    EXPECT_EQ(front.Present(), 0);
    EXPECT_EQ(front.FrameSurface()->Id(), frameIdAfter);
}

TEST(HPDisplayFrontTest, FrameSurfaceWithAShortPitchIsRejected)
{
    WindowCanvas canvas;
    HPDisplayFront front;
    // An 8-bit screen gives rows of one byte per pixel, under two bytes of the widest picture.
    front.SetScreenFormat(SurfacePixelFormat::FromMasks(8, true, 0, 0, 0));
    ASSERT_EQ(front.Create(&canvas, 80, 60, 320, 240), 0);
    EXPECT_EQ(front.Restore(), kDisplayFailed);
    EXPECT_FALSE(front.IsCreated());
    // Drawing tries to restore again and fails cleanly.
    const std::vector<uint8_t> picture = SolidPicture(4, 4, qRgb(1, 2, 3));
    EXPECT_EQ(front.Draw(picture.data(), 4, 4), kDisplayFailed);
    EXPECT_EQ(front.Blit(QRect(0, 0, 4, 4), QRect(0, 0, 4, 4)), kDisplayFailed);
}

TEST(HPDisplayFrontTest, CreateFailsWithoutAWindow)
{
    HPDisplayFront front;
    EXPECT_LT(front.Create(nullptr, 80, 60, 320, 240), 0);
    EXPECT_FALSE(front.IsCreated());
    EXPECT_EQ(front.Present(), kDisplayFailed);
}

TEST(HPDisplayFrontTest, ClearBlacksOutCompositionAndWindow)
{
    WindowCanvas canvas;
    canvas.Resize(40, 40);
    canvas.Fill(Qt::white);
    HPDisplayFront front;
    ASSERT_EQ(front.Create(&canvas, 40, 40, 64, 64), 0);
    front.Clear(Qt::black);
    EXPECT_EQ(canvas.Copy().pixel(10, 10) & 0xFFFFFF, 0u);
}
