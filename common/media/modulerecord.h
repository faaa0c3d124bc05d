#pragma once
// Writer of the client recording layout for up to 16 channels.
//
// Per channel and recording start it writes, in a folder per day, an index file
// "ih<hhmmss>.<ch>" (a 512-byte header with hour and minute masks, then one 16-byte entry per
// second of the day at 512 + 16 x second) and a video file "h<hhmmss>.<ch>" (the frames as
// received, each second's block of 336-byte frame-header slots after that second's frames).
// The audio names "a0..." and "a3..." are reserved: they are only deleted when a recording
// starts. Files are opened and closed for every frame; nothing stays open between calls.
//
// Everything that comes from a recorder is checked before it becomes a folder, a file name or a
// file position: channel 0..15, a real date, hours below 24, minutes and seconds below 60, a
// frame size that fits its header field. A second holds at most 40 frames; further frames of
// that second are dropped. The frame headers of the last second of a recording are written when
// the recording ends (a new day, a new StartRecord, or the writer's destruction), so that second
// keeps its index entry.
//
// A write that fails (a file that cannot be opened or written, typically a full disk) ends the
// channel's recording: nothing further is written until the next StartRecord, and Failure()
// tells which file failed and why, so that the owner can stop and tell the user.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>
#include <vector>

class QFile;

class ModuleRecord
{
public:
    static constexpr int kChannels = 16;
    static constexpr int kIndexHeaderSize = 512;
    static constexpr int kEntrySize = 16;
    static constexpr int kSlotSize = 336;
    static constexpr int kFrameHeaderSize = 56;
    static constexpr int kSlotsPerSecond = 40;
    static constexpr int kSecondsPerDay = 86400;
    // Frame sizes are carried in 23 bits of the frame header.
    static constexpr int kMaxFrameSize = 0x7FFFFF;

    // Archive kinds the owning session refreshes when a recording starts.
    enum ArchiveKind {
        BackupData = 1,
        RecordLive = 2,
        RecordSearch = 3,
        SnapShot = 4,
        EventData = 5,
        ScheduleData = 6
    };

    // The first write of a recording that failed.
    struct WriteFailure
    {
        QString file;   // the file that could not be written (empty: no failure)
        QString reason; // the system's words for it
        bool diskFull = false;
        bool IsSet() const { return !file.isEmpty(); }
    };

    ModuleRecord();
    // Writes the pending frame headers of every recording channel.
    ~ModuleRecord();
    ModuleRecord(const ModuleRecord&) = delete;
    ModuleRecord& operator=(const ModuleRecord&) = delete;

    // Arms a channel: the recording begins with the next key frame. startTime (hhmmss) names the
    // files. Refused (false, nothing changes) for a channel outside 0..15, an impossible start
    // time, an empty folder or one with a ".." component. A recording that was running on the
    // channel is closed first (its last second is written).
    bool StartRecord(int channel, int date, int startTime, const QString& folder, int recorderIndex,
                     int archiveKind);

    // Ends a channel's recording: its last second is written and the channel is idle until the
    // next StartRecord. Nothing happens for a channel that is not recording. False when the
    // recording failed (now or at an earlier write): see Failure().
    bool StopRecord(int channel);

    // The failed write of the channel's recording since its StartRecord (IsSet() false when
    // every write landed).
    WriteFailure Failure(int channel) const;
    bool Failed(int channel) const { return Failure(channel).IsSet(); }
    // A sentence for the user: whose recording, which file, and that the disk is full (or the
    // system's reason otherwise).
    static QString FailureText(const QString& recorder, const WriteFailure& failure);
    // Whether a file's error means that its disk has no room left.
    static bool IsDiskFull(const QFile& file);

    // Creates the folder with all missing parents; true when it exists afterwards.
    static bool MakePath(const QString& path);

    // Writes one frame; returns the video file's size after the write, or 0 when nothing was
    // written. frameType 1 is a key frame. The last argument is not used.
    qint64 OnRecordData(int channel, int date, int time, int frameType, int streamKind, const void* data, int size,
                        quint8 marker, int flag);

    // Set by owners that write into a user folder: no archive refresh when a recording starts.
    // StartRecord clears it.
    void SetNoRefresh(bool noRefresh) { m_noRefresh = noRefresh; }

    // Called (recorder index, archive kind) when a recording has started, unless the no-refresh
    // flag is set; the owning session rebuilds its archive items there.
    void SetArchiveRefresh(std::function<void(int, int)> refresh) { m_refresh = std::move(refresh); }

    // 0 not recording, 1 armed (waits for a key frame), 2 recording; -1 for a bad channel.
    int State(int channel) const;

    // The longest file name the file systems in use take, in bytes.
    static constexpr int kMaxNameBytes = 255;
    // Reduces a name from a recorder or a user (recorder name, camera title) to one safe path
    // component: no separators, no control or reserved characters, never "." or "..", and at
    // most maxBytes bytes in UTF-8 (leave room for what the caller adds, such as ".jpg"). A
    // longer name is cut at a character and marked with "~" and 8 hex digits of a digest of the
    // whole, so names that differ only past the cut stay apart.
    static QString SafePathComponent(const QString& name, int maxBytes = kMaxNameBytes);

    // Packed 64-bit time stamp of the frame headers: bits 10-26 second of the day, 27-31 day of
    // month, 32-35 month, 36-63 year.
    static quint64 PackTime(int date, int time);

    static bool IsValidDate(int date);
    static bool IsValidTime(int time);

private:
    struct Channel
    {
        int state = 0;
        int date = 0;
        int startTime = 0;
        QString folder;
        qint64 lastKeyOffset = -1;
        qint64 lastKeySize = -1;
        qint64 headerCount = 0;
        std::vector<char> headers; // kSlotsPerSecond slots of kSlotSize bytes
        bool dropLogged = false;
        WriteFailure failure;
    };

    QString DayFolder(const Channel& ch) const;
    QString FileName(const char* prefix, const Channel& ch, int channel) const;
    bool BeginFiles(int channel, int second, int streamKind);
    bool WritePendingSecond(int channel, QFile& index, QFile& video, qint64 indexSize);
    void FlushChannel(int channel);
    // Records the channel's first failed write (of `file`, or of `path` with `reason`); the
    // channel writes nothing more until its next StartRecord.
    void Fail(int channel, const QFile& file);
    void Fail(int channel, const QString& path, const QString& reason);
    qint64 WriteFrame(int channel, int date, int time, int frameType, int streamKind, const char* data, int size,
                      quint8 marker);
    void FillSlot(Channel& ch, int channel, int date, int time, int frameType, int streamKind, qint64 dataOffset,
                  int size, quint8 marker);

    std::array<Channel, kChannels> m_channels;
    int m_recorderIndex = -1;
    int m_archiveKind = 0;
    bool m_noRefresh = false;
    std::function<void(int, int)> m_refresh;
};
