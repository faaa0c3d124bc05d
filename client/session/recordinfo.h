#pragma once
// The recorded range and days of a recorder's last playback information answer, and the two
// texts of the earliest and latest recording time that the health window shows.
#include <QString>
#include <QVector>

#include <array>

struct RecordInfo
{
    // The two texts ("YYYY/MM/DD HH:MM:SS") of the first and last recorded date and time.
    void SetTexts(int firstDate, int firstTime, int lastDate, int lastTime);

    QString earliestText;
    QString latestText;
    std::array<int, 4> range{{-1, -1, -1, -1}};
    QVector<int> days;
};
