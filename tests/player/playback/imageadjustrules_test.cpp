#include "playback/imageadjustrules.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

class FakeAdjustTarget : public ImageAdjustTarget
{
public:
    QVector<int> SelectedTiles() const override { return selected; }
    void SetAdjust(int tile, int which, int value) override { Log("adjust", tile, which, value); }
    void SetFrameRate(int tile, int rate) override { Log("rate", tile, rate); }
    void SetH264Brightness(int tile, int value) override { Log("h264b", tile, value); }
    void SetH264Contrast(int tile, int value) override { Log("h264c", tile, value); }
    bool IsHandingOff(int tile) const override { return handingOff.contains(tile); }
    void RedrawCameo(int tile) override { Log("redraw", tile); }

    template <typename... Ints>
    void Log(const char* what, Ints... values)
    {
        QStringList parts{QString::fromLatin1(what)};
        (parts << ... << QString::number(values));
        calls << parts.join(' ');
    }

    QVector<int> selected;
    QVector<int> handingOff;
    QStringList calls;
};

TEST(ImageAdjustRules, SliderTableHoldsRangesStartsAndTips)
{
    struct Row
    {
        int control, minimum, maximum, start, tipY;
    };
    const Row rows[] = {{1069, -50, 50, 0, 30}, {1070, 1, 30, 15, 7}, {1071, -50, 50, 0, 52}, {1072, 0, 3, 0, 75}};
    for (const Row& row : rows) {
        AdjustSlider slider;
        ASSERT_TRUE(ImageAdjustRules::SliderOf(row.control, &slider));
        const AdjustSliderSpec& spec = ImageAdjustRules::Spec(slider);
        EXPECT_EQ(spec.minimum, row.minimum);
        EXPECT_EQ(spec.maximum, row.maximum);
        EXPECT_EQ(spec.start, row.start);
        EXPECT_EQ(spec.tipY, row.tipY);
    }
    AdjustSlider none;
    EXPECT_FALSE(ImageAdjustRules::SliderOf(1073, &none));
}

TEST(ImageAdjustRules, DraggingAppliesToEverySelectedTile)
{
    FakeAdjustTarget target;
    target.selected = {2, 5};
    ImageAdjustRules rules(&target);
    EXPECT_EQ(rules.Moving(AdjustSlider::Brightness, -7), 30);
    EXPECT_EQ(target.calls, QStringList({"adjust 2 1 -7", "h264b 2 -7", "adjust 5 1 -7", "h264b 5 -7"}));
    target.calls.clear();
    rules.Moving(AdjustSlider::Contrast, 0);
    EXPECT_EQ(target.calls, QStringList({"adjust 2 2 0", "h264c 2 30", "adjust 5 2 0", "h264c 5 30"}));
    target.calls.clear();
    rules.Moving(AdjustSlider::Filter, 3);
    EXPECT_EQ(target.calls, QStringList({"adjust 2 3 3", "adjust 5 3 3"}));
}

TEST(ImageAdjustRules, FrameRateIsAppliedOnlyOnRelease)
{
    FakeAdjustTarget target;
    target.selected = {0};
    ImageAdjustRules rules(&target);
    EXPECT_EQ(rules.Moving(AdjustSlider::FrameRate, 20), 7);
    EXPECT_TRUE(target.calls.isEmpty());
    rules.Moved(AdjustSlider::FrameRate, 20);
    EXPECT_EQ(target.calls, QStringList({"rate 0 20"}));
}

TEST(ImageAdjustRules, ReleaseRedrawsTilesNotHandingOff)
{
    FakeAdjustTarget target;
    target.selected = {1, 3, 4};
    target.handingOff = {3};
    ImageAdjustRules rules(&target);
    rules.Moved(AdjustSlider::Contrast, 10);
    EXPECT_EQ(target.calls, QStringList({"redraw 1", "redraw 4"}));
    target.calls.clear();
    rules.Moved(AdjustSlider::Filter, 2);
    EXPECT_TRUE(target.calls.isEmpty());
}

TEST(ImageAdjustRules, WithoutASelectionNothingIsApplied)
{
    FakeAdjustTarget target;
    ImageAdjustRules rules(&target);
    rules.Moving(AdjustSlider::Brightness, 40);
    rules.Moved(AdjustSlider::Brightness, 40);
    rules.Moved(AdjustSlider::FrameRate, 5);
    EXPECT_TRUE(target.calls.isEmpty());
}

} // namespace
