#pragma once
// Where a playback tile's snapshot goes and what it is stamped with, free of widgets: the stamp
// texts from the tile's date ("MM/DD/YYYY") and time ("hh:mm:ss") texts, the saved size and the
// folder and file name in the recorder's snapshot archive.
#include <QSize>
#include <QString>

class SnapshotFile
{
public:
    struct Moment
    {
        int year = 0;
        int month = 0;
        int day = 0;
        int hour = 0;
        int minute = 0;
        int second = 0;
    };

    // The year from the last four characters of the date text, the month from its first two and
    // the day from the two at its fourth character; hour, minute and second from the time text.
    // False when a text is too short or not a number where one is expected.
    static bool ParseMoment(const QString& dateText, const QString& timeText, Moment& moment);
    // "MM/DD/YYYY\nhh:mm:ss".
    static QString StampText(const Moment& moment);
    // A picture more than twice as wide as high is saved twice as high.
    static QSize SavedSize(const QSize& picture);
    // The day folder: the recorder's snapshot archive folder + "/YYYYMMDD".
    static QString DayFolder(const QString& programDirectory, const QString& recorderName, const Moment& moment);
    // "hhmmss_" + the camera name as one safe path component + ".jpg".
    static QString FileName(const Moment& moment, const QString& cameraName);
};
