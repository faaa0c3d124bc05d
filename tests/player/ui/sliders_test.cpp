// Slider arithmetic, the range slider's rules and the time bar's cells.
#include <gtest/gtest.h>

#include "ui/rangemodel.h"
#include "ui/sliderscale.h"
#include "ui/timebarmodel.h"

TEST(PlayerSliderScale, PixelsAndPositionsRoundTrip)
{
    // The image adjust sliders: 101 pixels, thumb 14, margins 2 and 2, limits 1..30.
    const SliderScale scale(1, 30, 101, 14, 2, 2);
    EXPECT_EQ(scale.PixelOf(1), 9);
    EXPECT_EQ(scale.PixelOf(30), 9 + 83);
    EXPECT_EQ(scale.PositionOf(9), 1);
    EXPECT_EQ(scale.PositionOf(92), 30);
    EXPECT_EQ(scale.ClampPixel(0), 9);
    EXPECT_EQ(scale.ClampPixel(200), 92);
    // Equal limits do not divide by zero.
    const SliderScale flat(5, 5, 101, 14, 2, 2);
    EXPECT_EQ(flat.PixelOf(5), 9);
    EXPECT_EQ(flat.PositionOf(50), 5);
    const SliderScale zeroTrack(0, 10, 18, 14, 2, 2);
    EXPECT_EQ(zeroTrack.PositionOf(9), 0);
}

TEST(PlayerRangeModel, NormalisesAndDrags)
{
    RangeModel model;
    model.SetMinMax(5, 1);
    EXPECT_EQ(model.Minimum(), 1.0);
    EXPECT_EQ(model.Maximum(), 5.0);
    EXPECT_EQ(model.Left(), 1.0); // left 0 pulled up to the minimum
    EXPECT_EQ(model.Right(), 1.0);

    model.SetMinMax(0, 100);
    const RangeModel::Changes changes = model.SetRange(-10, 150);
    EXPECT_EQ(changes, RangeModel::Changes({0, 1}));
    EXPECT_EQ(model.Left(), 0.0);
    EXPECT_EQ(model.Right(), 100.0);

    // The middle band keeps its width past either bound.
    model.SetRange(20, 40);
    EXPECT_EQ(model.Drag(RangeModel::Part::Middle, 1000, 10, 100), 2);
    EXPECT_DOUBLE_EQ(model.Right(), 100.0);
    EXPECT_DOUBLE_EQ(model.Left(), 80.0);
    model.Drag(RangeModel::Part::Middle, -1000, 10, 100);
    EXPECT_DOUBLE_EQ(model.Left(), 0.0);
    EXPECT_DOUBLE_EQ(model.Right(), 20.0);

    // The left thumb never passes the right one.
    model.Drag(RangeModel::Part::Left, 90, 10, 100);
    EXPECT_DOUBLE_EQ(model.Left(), 20.0);
    EXPECT_EQ(model.LeftPixel(100), 20);
}

TEST(PlayerTimeBarModel, ColoursPagesAndTheLastPosition)
{
    TimeBarModel bar;
    bar.SetCell(TimeBarModel::Source::File, 2, 479, 1);
    bar.SetCell(TimeBarModel::Source::File, 2, 10 + 480, 2);
    bar.SetCell(TimeBarModel::Source::File, 99, 0, 1); // ignored
    EXPECT_EQ(bar.ColumnColour(2, 480, true, false), QColor(0, 0, 255));
    EXPECT_EQ(bar.ColumnColour(2, 479, true, false), QColor(0, 0, 255));
    EXPECT_EQ(bar.ColumnColour(2, 10, true, false), QColor(255, 0, 0));
    EXPECT_EQ(bar.ColumnColour(2, 10, false, false), TimeBarModel::kEmpty);
    EXPECT_EQ(bar.ColumnColour(2, 10, true, true), TimeBarModel::kEmpty); // remote cells are empty
    bar.Reset();
    EXPECT_EQ(bar.ColumnColour(2, 479, true, false), TimeBarModel::kEmpty);

    int moves = 0;
    for (int i = 0; i < 4; ++i)
        moves += bar.PageDown() ? 1 : 0;
    EXPECT_EQ(moves, 3);
    EXPECT_EQ(bar.FirstRow(), 12);
    EXPECT_TRUE(bar.PageUp());
    EXPECT_EQ(bar.FirstRow(), 8);
}
