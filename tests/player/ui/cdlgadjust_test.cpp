#include "ui/cdlgadjust.h"

#include "ui/cskinslider.h"
#include "ui/ctippopup.h"

#include <QStringList>
#include <QStyle>
#include <gtest/gtest.h>

namespace {

class RecordingTarget : public ImageAdjustTarget
{
public:
    QVector<int> SelectedTiles() const override { return selected; }
    void SetAdjust(int tile, int which, int value) override
    {
        calls << QStringLiteral("adjust %1 %2 %3").arg(tile).arg(which).arg(value);
    }
    void SetFrameRate(int tile, int rate) override { calls << QStringLiteral("rate %1 %2").arg(tile).arg(rate); }
    void SetH264Brightness(int, int) override {}
    void SetH264Contrast(int tile, int value) override
    {
        calls << QStringLiteral("h264c %1 %2").arg(tile).arg(value);
    }
    bool IsHandingOff(int) const override { return false; }
    void RedrawCameo(int tile) override { calls << QStringLiteral("redraw %1").arg(tile); }

    QVector<int> selected{6};
    QStringList calls;
};

TEST(CDlgAdjust, SlidersStartFromTheTableAndFollowSetValues)
{
    RecordingTarget target;
    CDlgAdjust panel(&target, [](const QString& key) { return QStringLiteral("<%1>").arg(key); });
    EXPECT_EQ(panel.Slider(AdjustSlider::FrameRate)->Position(), 15);
    EXPECT_EQ(panel.Slider(AdjustSlider::Brightness)->Minimum(), -50);
    EXPECT_EQ(panel.Slider(AdjustSlider::Filter)->Maximum(), 3);
    EXPECT_EQ(panel.Slider(AdjustSlider::Contrast)->toolTip(), QString("<CONTRAST>"));
    panel.SetValues(25, -10, 12, 2);
    EXPECT_EQ(panel.Slider(AdjustSlider::FrameRate)->Position(), 25);
    EXPECT_EQ(panel.Slider(AdjustSlider::Brightness)->Position(), -10);
    EXPECT_EQ(panel.Slider(AdjustSlider::Contrast)->Position(), 12);
    EXPECT_EQ(panel.Slider(AdjustSlider::Filter)->Position(), 2);
    EXPECT_TRUE(target.calls.isEmpty());
}

TEST(CDlgAdjust, SlidersAreDrawnFromTheSkinAndTipAfterTheirOwnDelay)
{
    RecordingTarget target;
    CDlgAdjust panel(&target, nullptr);
    for (AdjustSlider slider :
         {AdjustSlider::Brightness, AdjustSlider::FrameRate, AdjustSlider::Contrast, AdjustSlider::Filter}) {
        CSkinSlider* control = panel.Slider(slider);
        // The channel bitmap gives the control its size.
        EXPECT_EQ(control->size(), QSize(101, 14)) << int(slider);
        EXPECT_EQ(control->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, control), 200)
            << int(slider);
    }
}

TEST(CDlgAdjust, SliderSignalsDriveTheTilesAndTheTip)
{
    RecordingTarget target;
    CDlgAdjust panel(&target, nullptr);
    panel.show();
    emit panel.Slider(AdjustSlider::Contrast)->sliderMoving(1071, 0);
    EXPECT_TRUE(panel.Tip()->IsShown());
    emit panel.Slider(AdjustSlider::Contrast)->sliderMoved(1071, 0);
    EXPECT_FALSE(panel.Tip()->IsShown());
    emit panel.Slider(AdjustSlider::FrameRate)->sliderMoving(1070, 9);
    emit panel.Slider(AdjustSlider::FrameRate)->sliderMoved(1070, 9);
    EXPECT_EQ(target.calls, QStringList({"adjust 6 2 0", "h264c 6 30", "redraw 6", "rate 6 9"}));
}

} // namespace
