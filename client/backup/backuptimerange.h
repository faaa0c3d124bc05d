#pragma once
// The time range of a remote backup, chosen in minutes of the day (0..1440) on the range
// slider: at least one minute long, stored as HHMMSS, shown as "HH:MM" (24:00 for the day's
// end, which is stored and compared as 23:59:59).
#include <QString>

struct BackupTimeRange
{
    int low = 0;  // minutes
    int high = 0; // minutes
    int beginHms = 0;
    int endHms = 0;
    QString lowText;
    QString highText;

    static BackupTimeRange FromMinutes(int low, int high);
};

// Share of the range done when the download has reached `time` (HHMMSS), in percent 0..100.
double DownloadPercent(int time, int beginHms, int endHms);
