#include "backup/backuptimerange.h"

#include "backup/backupclock.h"

#include <algorithm>

namespace {

constexpr int kMinutesPerDay = 1440;

QString MinuteText(int minute)
{
    return QString::asprintf("%02d:%02d", minute / 60, minute % 60);
}

} // namespace

BackupTimeRange BackupTimeRange::FromMinutes(int low, int high)
{
    BackupTimeRange range;
    low = std::clamp(low, 0, kMinutesPerDay);
    high = std::clamp(high, 0, kMinutesPerDay);
    if (low > high)
        std::swap(low, high);
    if (low == high) {
        if (high < kMinutesPerDay)
            high += 1;
        else
            low = kMinutesPerDay - 1;
    }
    range.low = low;
    range.high = high;
    range.beginHms = (low / 60) * 10000 + (low % 60) * 100;
    range.endHms = high == kMinutesPerDay ? 235959 : (high / 60) * 10000 + (high % 60) * 100;
    range.lowText = MinuteText(low);
    range.highText = MinuteText(high);
    return range;
}

double DownloadPercent(int time, int beginHms, int endHms)
{
    const int begin = BackupClock::SecondOfDay(beginHms);
    const int span = BackupClock::SecondOfDay(endHms) - begin;
    if (span <= 0)
        return 0.0;
    const int done = std::clamp(BackupClock::SecondOfDay(time) - begin, 0, span);
    return 100.0 * done / span;
}
