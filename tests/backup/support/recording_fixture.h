#pragma once
// Recordings in the client recording layout for the conversion tests, written by the client's
// own recording writer from H.264 streams that ffmpeg made.
#include <QByteArray>
#include <QList>
#include <QString>

namespace recording_fixture {

struct Recording
{
    QString folder;   // the day folder, ending with "/"
    QString fileName; // "h<hhmmss>.<ccc>"
    int frames = 0;   // pictures written
    QString error;    // empty when it was written
};

// Writes the pictures into root, fps pictures per second from startTime (HHMMSS) of date
// (YYYYMMDD) on channel (0-based); every keyInterval-th picture is a key frame (frame type 1).
Recording Write(const QString& root, const QList<QByteArray>& pictures, int date, int startTime, int channel,
                int fps, int keyInterval);

// The seconds-of-day time HHMMSS that lies seconds after start.
int AddSeconds(int hhmmss, int seconds);

} // namespace recording_fixture
