// The record calendar, the playback start dialog and the remote playback window against a
// recorder session whose playback information and minute lists are handed in directly.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimeEdit>

#include "search/ccameomuseum.h"
#include "search/searchcalendar.h"
#include "search/searchinfo.h"
#include "search/searchtime.h"
#include "search/searchtimeline.h"
#include "search/searchview.h"
#include "session/support/moduledevice_testaccess.h"
#include "shell/childwindowslots.h"
#include "shell/support/grid_fixture.h"

namespace {

class SearchDialogs : public GridTest
{
protected:
    // A recorder whose playback information lists the days (the last one last).
    CModuleDevice* RecorderWithDays(std::vector<int> days, int lastTime = 235959)
    {
        CModuleDevice* device = AddRecorder(QStringLiteral("Lobby"));
        days.resize(CModuleDevice::kMaxRecordDays, -1);
        const int count = int(std::count_if(days.begin(), days.end(), [](int d) { return d > 0; }));
        device->OnRecvPlaybackInfo(days[0], 0, days[size_t(count - 1)], lastTime, count, days.data());
        return device;
    }

    // Marks minutes of channel rows as the recorder's time list does (bit n = channel n).
    static void ReceiveTimeList(CModuleDevice* device, const std::vector<std::pair<int, quint16>>& minutes)
    {
        CModuleDeviceTestAccess::PrepareListIntake(*device, 4);
        CModuleDeviceTestAccess::SetSearchMask(*device, 0xFFFF);
        char* list = CModuleDeviceTestAccess::GetListBuffer(*device);
        std::memset(list, 0, 2 * 1440);
        for (const auto& [minute, bits] : minutes) {
            list[2 * minute] = char(bits & 0xFF);
            list[2 * minute + 1] = char(bits >> 8);
        }
        // The last storage slot: nothing further is asked without a connection.
        device->OnRecvTimeRecList(8, 2 * 1440);
    }
};

TEST_F(SearchDialogs, CalendarEnablesOnlyRecordedDays)
{
    CModuleDevice* device = RecorderWithDays({20240205, 20240229});
    searchCalendar calendar;
    calendar.SetCalendar(2024, 2, device->GetDeviceIndex());
    EXPECT_EQ(calendar.MonthLabel()->text(), QStringLiteral("02 - 2024"));
    // 1 February 2024 is a Thursday: button 4.
    EXPECT_TRUE(calendar.DayButton(3)->text().isEmpty());
    EXPECT_EQ(calendar.DayButton(4)->text(), QStringLiteral("1"));
    EXPECT_EQ(calendar.DayButton(32)->text(), QStringLiteral("29"));
    EXPECT_TRUE(calendar.DayButton(33)->text().isEmpty());
    for (int n = 0; n < 42; ++n)
        EXPECT_EQ(calendar.DayButton(n)->isEnabled(), n == 8 || n == 32) << n;
    EXPECT_FALSE(calendar.OkButton()->isEnabled());
}

TEST_F(SearchDialogs, CalendarMonthsStepAcrossTheYear)
{
    CModuleDevice* device = RecorderWithDays({20250101});
    searchCalendar calendar;
    calendar.SetCalendar(2024, 12, device->GetDeviceIndex());
    calendar.onDateNextButtonClicked();
    EXPECT_EQ(calendar.GetYear(), 2025);
    EXPECT_EQ(calendar.GetMonth(), 1);
    EXPECT_EQ(calendar.MonthLabel()->text(), QStringLiteral("01 - 2025"));
    // 1 January 2025 is a Wednesday.
    EXPECT_TRUE(calendar.DayButton(3)->isEnabled());
    calendar.onDatePrevButtonClicked();
    EXPECT_EQ(calendar.MonthLabel()->text(), QStringLiteral("12 - 2024"));
}

TEST_F(SearchDialogs, PickedDayAsksForItsListsAndOkStoresThePlayStart)
{
    CModuleDevice* device = RecorderWithDays({20240205});
    searchCalendar calendar;
    calendar.SetCalendar(2024, 2, device->GetDeviceIndex());
    QSignalSpy asked(&calendar, &searchCalendar::getTimeList);
    calendar.DayButton(8)->click();
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).toInt(), 20240205);

    ReceiveTimeList(device, {{600, 0x0001}, {601, 0x0003}});
    calendar.SetTimeList();
    EXPECT_TRUE(calendar.OkButton()->isEnabled());
    EXPECT_EQ(calendar.TableValue(0, 600), 1);
    EXPECT_EQ(calendar.TableValue(1, 601), 1);
    EXPECT_EQ(calendar.TableValue(1, 600), 0);
    // Minute 600 is at x 200 on row 0 (y 15): drawn blue.
    const QColor mark = calendar.TablePicture().pixelColor(200, 15);
    EXPECT_GT(mark.blue(), 150);
    EXPECT_LT(mark.red(), 80);

    calendar.TimeSlider()->setValue(1440);
    EXPECT_EQ(calendar.TimeLabel()->text(), QStringLiteral("24:00"));
    EXPECT_EQ(calendar.GetTime(), 235959);
    calendar.TimeSlider()->setValue(605);
    calendar.OkButton()->click();
    EXPECT_EQ(calendar.result(), 1);
    EXPECT_EQ(device->GetPlayDate(), 20240205);
    EXPECT_EQ(device->GetTimeListDate(), 20240205);
    EXPECT_EQ(device->GetPlayTime(), 100500);
    EXPECT_EQ(device->GetPlayRequestState(), 2);
}

TEST_F(SearchDialogs, SearchInfoPresetsAndRefusesDaysWithoutRecords)
{
    CModuleDevice* device = RecorderWithDays({20240204, 20240205}, 100530);
    SearchInfo info(nullptr, device->GetDeviceIndex(), QStringLiteral("a"), QStringLiteral("b"), 20240205, 100530);
    EXPECT_EQ(info.DateEdit()->date(), QDate(2024, 2, 5));
    EXPECT_EQ(info.TimeEdit()->time(), QTime(9, 55, 0));
    EXPECT_EQ(info.TimeEdit()->displayFormat(), QStringLiteral("HH:mm:ss"));

    info.DateEdit()->setDate(QDate(2024, 2, 6));
    BoxWatcher watcher([](MessageDlg* box, const BoxSample&) { box->done(0); });
    info.show();
    info.OkButton()->click();
    EXPECT_TRUE(info.isVisible()) << "a day without records keeps the dialog open";
    EXPECT_EQ(hub->Sessions()->MessageTitle(), QStringLiteral("Remote Playback"));
    EXPECT_EQ(hub->Messages().MessageText(), QStringLiteral("Date without recorded data."));
    EXPECT_EQ(device->GetPlayDate(), -1);

    info.DateEdit()->setDate(QDate(2024, 2, 4));
    info.TimeEdit()->setTime(QTime(8, 0, 5));
    info.OkButton()->click();
    EXPECT_EQ(info.result(), SearchInfo::Chosen);
    EXPECT_EQ(device->GetPlayDate(), 20240204);
    EXPECT_EQ(device->GetPlayTime(), 80005);
}

TEST_F(SearchDialogs, SearchInfoButtonsGiveTheirResults)
{
    CModuleDevice* device = RecorderWithDays({20240205});
    SearchInfo cancel(nullptr, device->GetDeviceIndex(), QString(), QString(), 20240205, 530);
    EXPECT_EQ(cancel.TimeEdit()->time(), QTime(0, 0, 0));
    cancel.CancelButton()->click();
    EXPECT_EQ(cancel.result(), SearchInfo::Cancelled);
    SearchInfo calendar(nullptr, device->GetDeviceIndex(), QString(), QString(), 20240205, 530);
    calendar.CalendarButton()->click();
    EXPECT_EQ(calendar.result(), SearchInfo::Calendar);
}

TEST_F(SearchDialogs, PlaybackBarCodesWaitForThePlayingWindow)
{
    CModuleDevice* device = RecorderWithDays({20240205});
    const int slot = hub->exeSearchView();
    ASSERT_GE(slot, 0);
    auto* view = qobject_cast<SearchView*>(hub->SearchViewSlots()->Window(slot));
    ASSERT_TRUE(view);
    CModuleDeviceTestAccess::SetPlaybackMode(*device, PlaybackMode::Forward, 0);
    // The window shows the day already chosen: no dialog, the lists are asked at once.
    device->ChoosePlayStart(20240205, 120000);
    BoxWatcher watcher([](MessageDlg* box, const BoxSample&) { box->done(0); });
    device->SetPlaybackView(view);
    device->SetPlaybackActive(false);
    view->SetPlaybackControl(int(PlaybackMode::Stop));
    EXPECT_EQ(device->GetPlaybackMode(), PlaybackMode::Forward) << "ignored before the window plays";
    view->SetPlaybackInfo(device->GetDeviceIndex(), true);
    EXPECT_TRUE(device->IsPlaybackActive());
    EXPECT_EQ(view->GetDeviceIndex(), device->GetDeviceIndex());
    view->SetPlaybackControl(int(PlaybackMode::Stop));
    EXPECT_EQ(device->GetPlaybackMode(), PlaybackMode::Stop);
    hub->SearchViewSlots()->Destroy(slot);
    EXPECT_EQ(device->GetPlaybackView(), nullptr);
    EXPECT_FALSE(device->IsPlaybackActive());
}

TEST_F(SearchDialogs, CancelOnAWindowThatPlaysNothingStartsNoPlayback)
{
    CModuleDevice* device = RecorderWithDays({20240205});
    const int slot = hub->exeSearchView();
    auto* view = qobject_cast<SearchView*>(hub->SearchViewSlots()->Window(slot));
    ASSERT_TRUE(view);
    bool sawInfo = false;
    // The start dialog opens 500 ms after the answer; Cancel it.
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* info = qobject_cast<SearchInfo*>(w); info && info->isVisible()) {
                sawInfo = true;
                info->CancelButton()->click();
            }
        }
    });
    clicker.start(20);
    device->SetPlaybackView(view);
    view->SetPlaybackInfo(device->GetDeviceIndex(), false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sawInfo; }, 10000));
    EXPECT_EQ(view->GetReselect(), 0);
    EXPECT_FALSE(device->IsPlaybackActive());
    EXPECT_EQ(device->GetPlayDate(), -1);
    EXPECT_EQ(device->GetPlayRequestState(), 0);
}

TEST_F(SearchDialogs, MessageFromAWorkerThreadIsTakenOverOnTheWindowsThread)
{
    BoxWatcher watcher([](MessageDlg* box, const BoxSample&) { box->done(0); });
    std::thread worker([this] {
        hub->ShowMessageBox(QStringLiteral("Quick Search"), QStringLiteral("Information loading"), QString());
    });
    worker.join();
    EXPECT_NE(hub->Sessions()->MessageTitle(), QStringLiteral("Quick Search"))
        << "nothing changes off the window's thread";
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return hub->Sessions()->MessageTitle() == QLatin1String("Quick Search"); }, 5000));
    EXPECT_EQ(hub->Messages().MessageText(), QStringLiteral("Information loading"));
}

TEST_F(SearchDialogs, QuickSearchTakesPicturesOfOtherThreadsOnItsOwn)
{
    CModuleDevice* device = RecorderWithDays({20240205});
    SearchTime* quick = hub->GetSearchTime();
    ASSERT_TRUE(quick);
    BoxWatcher watcher([](MessageDlg* box, const BoxSample&) { box->done(0); });
    quick->SetSearchInfo(device->GetDeviceIndex(), 2, 20240205, 90000);
    EXPECT_EQ(quick->GetDateText(), QStringLiteral("02/05/2024"));
    EXPECT_EQ(quick->GetTimeText(), QStringLiteral("09:00:00"));
    QImage picture(352, 240, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    std::thread worker([&] {
        quick->SetCameoImage(device->GetDeviceIndex(), 2 + 16, QStringLiteral("09:30:15"), picture);
        // Another channel's picture is not shown.
        quick->SetCameoImage(device->GetDeviceIndex(), 3 + 16, QStringLiteral("11:00:00"), picture);
    });
    worker.join();
    EXPECT_EQ(quick->GetTimeText(), QStringLiteral("09:00:00")) << "the widgets wait for their own thread";
    ASSERT_TRUE(QTest::qWaitFor([&] { return quick->GetTimeText() == QLatin1String("09:30:15"); }, 5000));
    EXPECT_TRUE(quick->Tile()->IsPlaying());
    EXPECT_EQ(quick->Timeline()->Model().CurrentSecond(), 9 * 3600 + 30 * 60 + 15);
    QTest::qWait(50);
    EXPECT_EQ(quick->GetTimeText(), QStringLiteral("09:30:15"));
    quick->hide();
}

TEST_F(SearchDialogs, ThumbnailThatNeverComesLeavesItsSlotBlackAndTheWalkEnds)
{
    CModuleDevice* device = RecorderWithDays({20240205});
    ReceiveTimeList(device, {{600, 0x0001}, {700, 0x0001}, {900, 0x0001}});
    SearchTime* quick = hub->GetSearchTime();
    BoxWatcher watcher([](MessageDlg* box, const BoxSample&) { box->done(0); });
    quick->SetSearchInfo(device->GetDeviceIndex(), 0, 20240205, 90000);
    quick->SetThumbnailWait(0);
    quick->OnFinishInfo();
    EXPECT_EQ(quick->Timeline()->Model().UsedThumbnailSlots(), 2) << "10:00 and 14:00 blocks, 11:40 shares one";
    EXPECT_TRUE(quick->IsWalking());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !quick->IsWalking(); }, 10000));
    EXPECT_FALSE(quick->IsThumbnailAwaited());
    for (int slot = 0; slot < 2; ++slot)
        EXPECT_EQ(quick->Timeline()->ThumbnailPicture(slot).size(), QSize(10, 10)) << slot;
    quick->hide();
}

TEST_F(SearchDialogs, PlaybackIsAskedOnlyForATimeOfTheDay)
{
    CModuleDevice* device = RecorderWithDays({20240205});
    for (int time : {-1, -5, 240000, 999999})
        EXPECT_FALSE(device->RequestPlayback(time, int(PlaybackMode::Forward))) << time;
    EXPECT_TRUE(device->RequestPlayback(120000, int(PlaybackMode::Forward)));
}

} // namespace
