#pragma once
// The remote playback scheduler of one recorder channel (or of a search pop-up). It loads the
// channel's one-day index from the recorder (per index file a 512-byte header of hour and minute
// masks, then 960-byte minute blocks of 60 second entries), and turns "play from this time" into
// a paced stream of small requests: minute blocks of the index, blocks of 40 frame headers of one
// second, and single frames. Every frame that arrives is handed to the session with the delay to
// wait before showing it. The scheduler never touches the network: requests go down through its
// PlaybackHost, replies come back from the session's playback intake.
//
// State word (PlaybackMode): idle, stopped or index loaded, forward, fast forward (the searches
// start here), backward, fast backward.
//
// Everything runs on the user-interface thread; session threads read only the state word.
#include <QElapsedTimer>
#include <QObject>
#include <QVector>

#include <array>
#include <atomic>
#include <memory>

#include "session/museummatcher.h"
#include "session/playbackhost.h"
#include "session/playbackmode.h"
#include "session/schedulerkind.h"

class CModulePlayback : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSecondsPerDay = 86400;
    static constexpr int kMinutesPerDay = 1440;
    // Index files: one per storage slot of the recorder (0 to 8).
    static constexpr int kIndexFiles = 9;
    static constexpr int kIndexHeaderSize = 512;
    static constexpr int kMinuteBlockSize = 960;
    static constexpr int kSecondEntrySize = 16;
    static constexpr int kHeaderSlotSize = 336;
    static constexpr int kHeaderMarker = 511;
    static constexpr int kRingSize = 40;
    static constexpr int kHeaderBlockSize = kRingSize * kHeaderSlotSize; // 13440
    static constexpr int kHeaderBufferSize = 32768;
    static constexpr int kDataBufferSize = 524288;
    static constexpr int kMaxSlot = 16;       // channels 0 to 15 and the sound slot
    static constexpr int kKeyFileOffset = 20; // a frame file number of 20 and more asks for a key frame
    static constexpr int kNoTime = 999999;
    static constexpr int kJumpDelay = 9999;

    explicit CModulePlayback(PlaybackHost* host, QObject* parent = nullptr);
    ~CModulePlayback() override;

    // Binds the scheduler to a recorder of the hub, a channel slot (0 to 16) and a kind (0 to 2);
    // false (and nothing changed) for a recorder the hub does not hold or a bad channel or kind.
    bool Bind(int recorderIndex, int channel, SchedulerKind kind);
    // Forgets the day and asks for the index of `date` (YYYYMMDD).
    bool ResetIndex(int date);
    // The 512-byte header of index file `file` arrived (`size` bytes at `header`).
    void OnSetIntraIndex(int file, const char* header, int size);
    // Starts playing at `time` (HHMMSS) of `date`; false when the day holds nothing to play.
    // `playState` is the caller's play state; the scheduler does not use it.
    bool StartPlayback(int date, int time, SchedulerKind kind, int playState);
    // Asks for the index block of the current minute from the first file at or after
    // `fromFile` that holds it; true when a request went out.
    bool RequestMinute(int fromFile);
    // A minute block of index file `file` arrived.
    void OnSetIntraHeader(int file, int size, const char* data);
    // Goes to second `second` of the day (or, with `prefetch`, fetches its header block ahead).
    void OnGetFrameHeader(int second, bool prefetch);
    // Walks from minute (hour, minute) in the play direction to the next minute with data.
    bool OnGetNextTime(int hour, int minute);
    // A block of frame headers arrived; with `toBuffer` it is the prefetched block.
    void OnSetFrameHeader(int size, int streamKind, const char* data, bool toBuffer);
    // Asks for (or hands on) the frame at ring position `position`.
    void SendFrame(int position);
    // A frame arrived; returns the delay it was handed on with (0 when it only went into the
    // buffer or was refused).
    int OnSetFrameData(const char* data, int size, int streamKind, bool toBuffer);
    // After a frame has been shown: the next frame of the batch, or the next second.
    void NextFrame();

    PlaybackMode GetState() const { return m_state.load(); }
    void SetMode(PlaybackMode state);
    void SetContinuous(bool continuous) { m_continuous = continuous; }
    // The museum search's area: grid family and cells x1 .. x2-1, y1 .. y2-1; a grid family of
    // -1 clears it. While it is set (museum kind), every header block is tested for change
    // inside the area: a match stops the block at that frame, none ends the second with an
    // empty notice.
    void SetMuseumSearch(int gridFamily, int x1, int y1, int x2, int y2);
    MuseumMatch MatchMuseumArea(const char* slot, int frameKind);
    // Whether the last header block tested held a match (read by the session's search thread).
    bool GetMuseumMatch() const { return m_museumMatch.load(); }
    bool IsMuseumRequest() const { return m_museum.IsSet(); }
    bool IsContinuous() const { return m_continuous; }

    // What the scheduler holds, for the session, the search windows and tests.
    int GetRecorderIndex() const { return m_recorder; }
    int GetChannel() const { return m_channel; }
    SchedulerKind GetKind() const { return m_kind; }
    int GetDate() const { return m_date; }
    int GetTime() const { return m_time; }
    int GetEarliestTime() const { return m_earliestTime; }
    int GetLatestTime() const { return m_latestTime; }
    bool IsEventIndex() const { return m_eventIndex; }
    bool IsAreaSearch() const { return m_areaSearch; }
    qint64 GetSecondOffset(int second) const;
    int GetSecondFile(int second) const;
    bool HasMinuteData(int minute) const;
    bool HasMinuteEvents(int minute) const;
    bool IsMinuteLoaded(int minute) const;
    // Offset of the minute's block in index file `file`, -1 when the file does not hold it.
    qint64 GetMinuteBlock(int minute, int file) const;
    int GetRingCount() const { return m_ringCount; }
    int GetRingPosition() const { return m_ringPos; }
    qint64 GetKeyFramePosition() const { return m_keyPos; }
    bool GetSkip() const { return m_skip; }

signals:
    void SendIntraHeader(int file, int offset, int size);
    void SendFrameHeader(int file, qlonglong offset, int size);
    void SendFrameData(int file, qlonglong offset, int size, bool flag);

public slots:
    void OnSendIntraHeader(int file, int offset, int size);
    void OnSendFrameHeader(int file, qlonglong offset, int size);
    void OnSendFrameData(int file, qlonglong offset, int size, bool flag);

private:
    struct MinuteSlot
    {
        quint8 hasData = 0;
        quint8 hasEvents = 0;
        quint8 loaded = 0;
        std::array<qint32, kIndexFiles> block;
    };
    struct RingEntry
    {
        qint64 posA = -1; // data offset of the frame's last key frame
        int sizeA = 0;
        qint64 offsetB = -1; // data offset of the frame itself
        int sizeB = 0;
        int length = 0;
        int frameKind = 0;
        quint64 stamp = 0;
        quint8 event = 0;
        bool key = false;
    };

    void ClearDay();
    bool Bound() const;
    bool CanSendIndex() const;
    bool CanSendFrames() const;
    bool IsBackward() const;
    bool IsFast() const;
    int SpeedCode() const;
    // Step 1 of the pacing: the frame rate the batch is shown at.
    int PacingRate(bool emptyFrame) const;
    bool RequestMinuteAt(int minute, int fromFile);
    // Goes on after the entries of the current minute are known.
    void ContinueInMinute(int minute);
    // The first (forward) or last (backward) second of `minute` with an offset, from `from` on
    // (forward) or down to `from` (backward); -1 when none.
    int FindSecond(int minute, int from, bool backward) const;
    // Asks for the minute after `minute` in the play direction; playback stops at the day's end.
    void GoToNextMinute(int minute, bool backward);
    void ParseHeaders(const char* data, int size, int streamKind);
    // Bit 23 of the frame's flag word set, bits 13 and 15 of its kind word clear.
    static bool HasMotionData(const char* slot);
    // Hands a frame (or an empty one) to the session with its delay; returns the delay.
    int HandOn(const char* data, int size, int streamKind);
    void SendSound(const RingEntry& e);
    void EmitFrame(int file, qint64 offset, int size, bool flag);

    PlaybackHost* m_host = nullptr;

    QElapsedTimer m_requestClock;
    qint64 m_lastRequestAt = -1;

    // The 512 KB frame buffer: the key frame asked for last, kept for a later request of it.
    std::unique_ptr<char[]> m_dataBuffer;
    bool m_dataBufferFilled = false;
    qint64 m_dataBufferOffset = -1;
    int m_dataBufferSize = 0;
    int m_dataBufferStreamKind = 0;
    qint64 m_dataPendingOffset = -1;
    int m_dataPendingSize = 0;

    // The 32 KB header buffer: the next second's header block, fetched ahead.
    std::unique_ptr<char[]> m_headerBuffer;
    bool m_headerBufferBusy = false;
    bool m_headerBufferFilled = false;
    qint64 m_headerBufferOffset = -1;
    int m_headerBufferSize = 0;
    int m_headerBufferStreamKind = 0;

    bool m_eventIndex = false;
    bool m_areaSearch = false;
    bool m_jump = false;
    bool m_audio = false;
    SchedulerKind m_kind = SchedulerKind::Playback;

    int m_earliestTime = kNoTime;
    int m_latestTime = 0;
    int m_latestSecond = -1;

    int m_recorder = -1;
    int m_channel = 0;
    int m_date = 0;
    int m_time = 0;

    std::array<qint32, kIndexFiles> m_fileFirst;
    std::array<qint32, kIndexFiles> m_fileLast;
    std::array<quint8, kIndexFiles> m_fileReceived;

    qint64 m_keyPos = -1;
    int m_pendingMinute = -1; // the minute whose index block was asked for last

    QVector<qint64> m_secondOffset; // per second of the day, -1 when none
    QVector<quint8> m_secondFile;   // per second of the day, 255 when none
    std::unique_ptr<MinuteSlot[]> m_minutes;

    std::array<RingEntry, kRingSize> m_ring;
    int m_ringCount = 0;
    int m_ringPos = 0;
    int m_currentFile = 0;

    bool m_eventFrames = false;
    bool m_continuous = true;
    std::atomic<PlaybackMode> m_state{PlaybackMode::Idle};
    int m_streamKind = 0;
    bool m_skip = false;
    bool m_lastKey = false;
    MuseumMatcher m_museum;
    std::atomic<bool> m_museumMatch{false};
};
