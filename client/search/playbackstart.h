#pragma once
// The texts and preset values of the playback start dialog: the first and last recorded time
// lines, the time preset ten minutes before the last recording, and the YYYYMMDD / HHMMSS values
// of the date and time edits.
#include <QDate>
#include <QString>
#include <QTime>

class PlaybackStart
{
public:
    // prefix + "%02d/%02d/%04d %02d:%02d:%02d" (month, day, year, hour, minute, second).
    static QString RecordTimeText(const QString& prefix, int date, int time);
    // Ten minutes before the hour and minute of the last recorded time, seconds 0; 00:00:00 when
    // that falls before midnight.
    static QTime PresetTime(int lastTime);
    // The last recorded date as a calendar date (invalid for a value that is not one).
    static QDate DateOf(int date);
    static int DateValue(const QDate& date);
    static int TimeValue(const QTime& time);
};
