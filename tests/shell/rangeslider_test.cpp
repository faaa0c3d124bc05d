// The two-handle range slider driven with the mouse and keys as a user would: clicks on the
// handles, drags, paging beside the handles, arrows, and its drawing.
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "widgets/rangeslider.h"

namespace {

struct Values
{
    int low, high;
    bool operator==(const Values& o) const { return low == o.low && high == o.high; }
};

std::ostream& operator<<(std::ostream& out, const Values& v)
{
    return out << "(" << v.low << ", " << v.high << ")";
}

// 1460 pixels wide over 0..1440: one pixel per value, so a value's handle starts at its pixel.
class RangeSliderTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        slider.resize(1460, 20);
        slider.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
        slider.SetRange(0, 1440);
    }

    Values Now() const { return {slider.GetLow(), slider.GetHigh()}; }
    void Click(int x) { QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(x, 10)); }
    void Drag(int from, int to)
    {
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(from, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(to, 10), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&slider, &move);
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(to, 10));
    }

    RangeSlider slider;
};

TEST_F(RangeSliderTest, MouseAndKeysOnTheHandlesBandAndBeside)
{
    struct Case
    {
        const char* what;
        Values start;
        std::function<void(RangeSliderTest&)> act;
        Values end;
        int announced;
    };
    const std::vector<Case> cases = {
        {"click on the low handle widens by one", {100, 160}, [](auto& t) { t.Click(105); }, {99, 160}, 1},
        {"click on the high handle widens by one", {100, 160}, [](auto& t) { t.Click(175); }, {100, 161}, 1},
        {"click on the low handle at the minimum", {0, 160}, [](auto& t) { t.Click(5); }, {0, 160}, 1},
        {"drag the low handle onto the high one", {100, 160}, [](auto& t) { t.Drag(105, 400); }, {159, 160}, 1},
        {"drag the high handle onto the low one", {100, 160}, [](auto& t) { t.Drag(175, 0); }, {100, 101}, 1},
        {"drag the low handle", {100, 160}, [](auto& t) { t.Drag(105, 125); }, {120, 160}, 1},
        {"drag the band", {100, 160}, [](auto& t) { t.Drag(140, 150); }, {110, 170}, 1},
        {"the band stops at the right end", {1400, 1430}, [](auto& t) { t.Drag(1420, 1460); }, {1400, 1430}, 1},
        {"page left", {100, 160}, [](auto& t) { t.Click(50); }, {90, 150}, 1},
        {"page left from low 7", {7, 50}, [](auto& t) { t.Click(3); }, {0, 43}, 1},
        {"page right", {100, 160}, [](auto& t) { t.Click(1000); }, {110, 170}, 1},
        {"page right from high 1435", {0, 1435}, [](auto& t) { t.Click(1458); }, {5, 1440}, 1},
        {"left arrow", {100, 160}, [](auto& t) { QTest::keyClick(&t.slider, Qt::Key_Left); }, {99, 159}, 1},
        {"left arrow at 0", {0, 160}, [](auto& t) { QTest::keyClick(&t.slider, Qt::Key_Left); }, {0, 160}, 1},
        {"right arrow", {100, 160}, [](auto& t) { QTest::keyClick(&t.slider, Qt::Key_Right); }, {101, 161}, 1},
        {"right arrow at 1440",
         {10, 1440},
         [](auto& t) { QTest::keyClick(&t.slider, Qt::Key_Right); },
         {10, 1440},
         1},
        {"other keys", {100, 160}, [](auto& t) { QTest::keyClick(&t.slider, Qt::Key_Up); }, {100, 160}, 0},
        {"right button",
         {100, 160},
         [](auto& t) { QTest::mouseClick(&t.slider, Qt::RightButton, {}, QPoint(50, 10)); },
         {100, 160},
         0},
    };
    for (const Case& c : cases) {
        slider.SetValue(c.start.low, c.start.high);
        QSignalSpy changed(&slider, &RangeSlider::valueChanged);
        c.act(*this);
        EXPECT_EQ(Now(), c.end) << c.what;
        EXPECT_EQ(changed.size(), c.announced) << c.what;
        if (!changed.isEmpty()) {
            EXPECT_EQ((Values{changed.last().at(0).toInt(), changed.last().at(1).toInt()}), c.end) << c.what;
        }
        EXPECT_EQ(slider.GetLowPosition(), c.end.low) << c.what;
        EXPECT_EQ(slider.GetHighPosition(), c.end.high) << c.what;
    }
}

TEST_F(RangeSliderTest, DayLimitsHoldWhateverTheMaximum)
{
    // Half a pixel per value: high 1440 sits at pixel 720, and there is room to its right.
    slider.SetRange(0, 2880);
    slider.SetValue(1380, 1440);
    QSignalSpy changed(&slider, &RangeSlider::valueChanged);
    Click(900);
    EXPECT_EQ(Now(), (Values{1380, 1440}));
    EXPECT_EQ(changed.size(), 0);
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(Now(), (Values{1380, 1440}));
}

TEST_F(RangeSliderTest, SetValueSeparatesEqualValuesAndAnnouncesNothing)
{
    QSignalSpy changed(&slider, &RangeSlider::valueChanged);
    QSignalSpy drawn(&slider, &RangeSlider::drawSlider);
    slider.SetValue(60, 60);
    EXPECT_EQ(Now(), (Values{60, 61}));
    slider.SetValue(1440, 1440);
    EXPECT_EQ(Now(), (Values{1439, 1440}));
    EXPECT_EQ(changed.size(), 0);
    EXPECT_EQ(drawn.size(), 2);
}

TEST_F(RangeSliderTest, ScaleFollowsTheWidth)
{
    slider.SetValue(0, 720);
    EXPECT_EQ(slider.GetHighPosition(), 720);
    slider.resize(740, 20); // 720 pixels for 1440 values
    QTest::qWait(0);
    EXPECT_EQ(slider.GetHighPosition(), 360);
    Drag(370, 380); // ten pixels are twenty values
    EXPECT_EQ(Now(), (Values{0, 740}));
}

TEST_F(RangeSliderTest, EmptyRangeOrNarrowWidgetHasNoScale)
{
    slider.SetRange(5, 5);
    slider.SetValue(5, 5);
    Drag(5, 300);
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(slider.GetLowPosition(), 0);

    slider.SetRange(0, 1440);
    slider.resize(15, 20);
    QTest::qWait(0);
    slider.SetValue(100, 200);
    // Both handles sit at pixel 0; a drag cannot move them, so it counts as a click on the low
    // handle.
    Drag(2, 10);
    EXPECT_EQ(Now(), (Values{99, 200}));
    EXPECT_EQ(slider.GetLowPosition(), 0);
    EXPECT_EQ(slider.GetHighPosition(), 0);
}

TEST_F(RangeSliderTest, DrawsHandlesBandAndOutlines)
{
    slider.SetValue(100, 160);
    const QImage image = slider.pixmap(Qt::ReturnByValue).toImage();
    ASSERT_EQ(image.size(), QSize(1460, 20));
    EXPECT_EQ(image.pixelColor(105, 10), QColor(0x35, 0x53, 0x7C)) << "low handle";
    EXPECT_EQ(image.pixelColor(175, 10), QColor(0x35, 0x53, 0x7C)) << "high handle";
    EXPECT_EQ(image.pixelColor(140, 10), QColor(0xA5, 0xD2, 0xFE)) << "band";
    EXPECT_EQ(image.pixelColor(105, 1), QColor(0x33, 0x99, 0xFF)) << "outline";
    EXPECT_EQ(image.pixelColor(170, 10), QColor(0x33, 0x99, 0xFF)) << "outline";
    EXPECT_EQ(image.pixelColor(600, 10), QColor(Qt::gray)) << "background";
}

} // namespace
