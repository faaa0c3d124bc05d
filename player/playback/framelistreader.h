#pragma once
// The player's own recordings read through their frame lists: the index that Video_Info writes
// (per-file records with one entry per frame) loaded whole, the current file and frame, the
// time of a frame counted in fields from the recording's start (50 or 59.94 a second), the
// stepping with which the play threads move on by the tile's frame period, and the frame read
// that hands a frame on (its group's key frame first when the group changed).
//
// Every count and offset comes from the checked index reader; a frame whose data lies beyond
// its data file ends the read instead of being handed on.
#include "playback/videoinfoindex.h"

#include <QString>
#include <QVector>

#include <atomic>
#include <vector>

class FrameHandOff;
class PlaybackHost;
class StopSignal;
struct TileState;

class FrameListReader
{
public:
    // An index larger than this is no recording of ours.
    static constexpr qint64 kMaxIndexBytes = VideoInfoIndex::kMaxIndexBytes;
    // The frame buffer of a tile.
    static constexpr int kMaxFrameBytes = 1240104;

    FrameListReader(TileState& tile, FrameHandOff& handOff, PlaybackHost& host, StopSignal& stop);

    // Reads and parses the index; false when it cannot be read, is damaged, or holds no frame.
    // The position becomes file 0, frame 0 (nothing is read yet).
    bool Load(const QString& indexPath, const QString& dataPath);
    void Free();
    bool IsLoaded() const { return m_loaded; }

    int FileCount() const { return m_files.size(); }
    int FrameCount(int file) const;
    int TotalFrames() const;
    int CurrentFile() const { return m_file.load(); }
    int CurrentFrame() const { return m_frame.load(); }
    // Frames of every file before the current one plus the current frame; -1 when not loaded.
    int Position() const;
    bool FiftyFields() const { return m_header.fiftyFields; }
    int Date() const; // yyyymmdd
    // Recording length in seconds (its fields at the field rate).
    int DurationSeconds() const;

    // hhmmss of a frame ("000000" outside the recording).
    QString FrameTimeString(int file, int frame) const;
    // Seconds of the day of a frame; -1 outside the recording.
    int FrameSecond(int file, int frame) const;
    // Whole seconds from the recording's start to a frame; -1 outside the recording.
    int SecondsFromStart(int file, int frame) const;
    // The recording's start as seconds of the day.
    int StartSecond() const { return m_header.hour * 3600 + m_header.minute * 60 + m_header.second; }

    // Moves to a position as Position() reports it; false when outside the recording.
    bool SeekToPosition(int position);
    // Moves to the last frame whose time is not after hhmmss (the first frame when the time lies
    // before the recording); false when the text is no time.
    bool SeekToTime(const QString& timeText);
    bool SeekToLast();

    // Reads the current frame and hands it on; the read result (1 frame, 2 end or failure).
    int ReadCurrent();
    // The next read hands the current group's key frame on first.
    void ForgetGroup() { m_lastGroup = -1; }

    // Steps forward (step >= 1) or backward, skipping frames while their delays add up to less
    // than the tile's frame period; -1 before the first or after the last file (the position
    // stays), else the wait in milliseconds.
    int NextFrameIndex(int step);
    // Exactly one frame; false at the first or last frame of the recording.
    bool StepOne(int step);
    bool AtFirst() const;
    bool AtLast() const;

    // A frame's delay in field ticks and in milliseconds.
    int DelayTicks(int file, int frame) const;
    double TicksToMs(int ticks) const;
    // The delay handed on with a frame: at least one frame period of the tile.
    int HandedDelay(int ticks) const;
    int FramePeriodMs() const;

private:
    struct File
    {
        VideoInfoFile info;
        std::vector<int> group;     // per frame: its key frame, -1 when none before it
        std::vector<qint64> fields; // per frame: fields from the file's start
        qint64 fieldOffset = 0;     // fields of every file before it
    };

    bool Valid(int file, int frame) const;
    // One frame in a direction, crossing files; false when the recording ends there.
    bool Move(int& file, int& frame, int direction) const;
    int HandOn(int file, int frame, bool noDisplay);
    double FieldRate() const { return m_header.fiftyFields ? 50.0 : 59.94; }

    TileState& m_tile;
    FrameHandOff& m_handOff;
    PlaybackHost& m_host;
    StopSignal& m_stop;
    VideoInfoHeader m_header;
    QVector<File> m_files;
    QString m_dataPath;
    bool m_loaded = false;
    std::atomic<int> m_file{0};
    std::atomic<int> m_frame{0};
    int m_lastGroupFile = -1;
    int m_lastGroup = -1;
    std::vector<quint8> m_buffer;
};
