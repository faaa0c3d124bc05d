// The thumbnail search as an operator runs it: a remote playback window plays the simulator's
// recorded morning, the cell's menu opens "Thumbnail Search", the hours column fills with the
// recorder's pictures, and double clicks drill down to ten minutes and minutes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include "search/searchthumnail.h"
#include "search/searchview.h"
#include "search/support/recorded_day.h"
#include "shell/ccameo.h"
#include "shell/support/grid_online_fixture.h"

namespace {

class ThumbnailOperator : public GridOnlineTest
{
protected:
    static QStringList Captions(SearchThumnail* dialog, int level, int slotCount)
    {
        QStringList captions;
        for (int slot = 0; slot < slotCount; ++slot)
            captions.append(dialog->GetCaption(level, slot));
        return captions;
    }

    static void DoubleClick(SearchThumnail* dialog, int slot)
    {
        QLabel* label = dialog->ColumnLabel(dialog->GetLevelOnScreen());
        QTest::mouseDClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(80, slot * 120 + 60));
    }
};

} // namespace

TEST_F(ThumbnailOperator, HoursThenTenMinutesThenMinutesFromTheRecorder)
{
    RecorderSession* device = LoggedInRecorder(
        QStringLiteral("Porch"), RecordedDayOptions(QStringLiteral("083000"), QStringLiteral("115959"), 10));
    ASSERT_TRUE(device);
    SearchView* view = OpenRemoteSearch(*hub, device, 20240205, 100000);
    ASSERT_TRUE(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->IsPlaybackStarted(); }, 30000));
    auto* grid = qobject_cast<CCameo*>(view->GetGrid());
    ASSERT_TRUE(grid);

    auto* dialog = dynamic_cast<SearchThumnail*>(ThumbnailSearchPopup::Instance());
    ASSERT_TRUE(dialog);
    grid->GetAction(CCameo::ActionId::ThumbnailSearch)->trigger();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->GetDateText(), QStringLiteral("02/05/2024"));

    // The day's first picture, then each hour; asked for 12:00:00 the recorder answers with its
    // last picture twice, which ends the column.
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->IsLevelDone(0); }, 60000));
    EXPECT_EQ(Captions(dialog, 0, 6),
              (QStringList{"08:30:00", "09:00:00", "10:00:00", "11:00:00", "11:59:59", ""}));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return hub->Messages().MessageText() == QLatin1String("Search completed."); }, 10000));

    // Double click 10:00:00: the six ten-minute slots of that hour.
    DoubleClick(dialog, 2);
    EXPECT_EQ(dialog->GetLevelOnScreen(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->IsLevelDone(1) || dialog->GetSlotsReceived() == 6; }, 60000));
    EXPECT_EQ(Captions(dialog, 1, 6),
              (QStringList{"10:00:00", "10:10:00", "10:20:00", "10:30:00", "10:40:00", "10:50:00"}));

    // Double click 10:10:00: its ten minutes.
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->IsLevelDone(1); }, 30000));
    DoubleClick(dialog, 1);
    EXPECT_EQ(dialog->GetLevelOnScreen(), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->IsLevelDone(2); }, 60000));
    QStringList minutes;
    for (int m = 10; m < 20; ++m)
        minutes << QString::asprintf("10:%02d:00", m);
    EXPECT_EQ(Captions(dialog, 2, 10), minutes);
    // The thumbnails are pictures of the recording, not black slots.
    const QImage column = dialog->ColumnImage(2);
    int lit = 0;
    for (int y = 30; y < column.height(); y += 11)
        lit += column.pixelColor(80, y).value() > 40 ? 1 : 0;
    EXPECT_GT(lit, 20);

    // Close: the dialog hides after a second and the recorder leaves the search.
    dialog->OnCancelBtn();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, 5000));
    EXPECT_FALSE(device->IsThumbnailMode());
}
