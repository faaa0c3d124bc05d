#pragma once
// What the export needs of the tile it exports in time mode: how many frames a second of the
// recording holds, the decoded frames in order, and the second's audio. The tile's playback
// engine offers it; tests give a fake.
#include <QByteArray>
#include <QImage>

class ExportSource
{
public:
    virtual ~ExportSource() = default;
    // Positions are seconds after the recording's first time.
    virtual bool SeekSecond(int second) = 0;
    // Frames the recording holds for that second (0 for an empty second).
    virtual int FramesInSecond(int second) = 0;
    // The next frame of the current second as a 32-bit picture; false on a data error.
    virtual bool DecodeNext(QImage& picture) = 0;
    // The second's audio as whole 16,000-byte blocks (none when the tile has no audio).
    virtual QByteArray AudioOfSecond(int second) = 0;
    // Date (year, month, day) and time of a second, for the on-screen lines.
    virtual QString DateText(int second) const = 0;
    virtual QString TimeText(int second) const = 0;
};
