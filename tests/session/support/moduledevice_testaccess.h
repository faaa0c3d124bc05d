#pragma once
// The tests' way into a recorder session's pipelines: the queues, counters and playback state
// that no other part of the client reads, and the ones a test sets directly to reach a state
// without a recorder driving it.
#include <QImage>

#include "session/moduledevice.h"

class CModuleDeviceTestAccess
{
public:
    // Live queues, as the live intake fills them and a live thread takes from them.
    static void AppendLiveRecord(CModuleDevice& device, LiveFrameRecordPtr record);
    static LiveFrameRecordPtr TakeLiveRecord(CModuleDevice& device, int ch);
    static int GetLiveQueueCount(const CModuleDevice& device, int ch);
    static int GetPlaybackQueueCount(const CModuleDevice& device, int slot);
    static int GetLiveAudioQueueCount(const CModuleDevice& device);
    static int GetPlaybackAudioQueueCount(const CModuleDevice& device);
    // A record for a playback slot's search thread, as the playback intake queues it.
    static void AppendPlaybackRecord(CModuleDevice& device, int slot, LiveFrameRecordPtr record);
    static bool IsLiveDropping(const CModuleDevice& device, int ch);
    static bool IsLiveThreadRunning(const CModuleDevice& device, int ch);
    static int GetDecodedFrames(const CModuleDevice& device, int ch);
    static int GetSkippedForLoad(const CModuleDevice& device, int ch);
    static QImage GetLastPicture(const CModuleDevice& device, int ch);
    static void SetLiveFrameRate(CModuleDevice& device, int ch, int fps);

    // Remote playback state.
    static int NextPlaybackTag(int current);
    static int GetPlaybackRateState(const CModuleDevice& device);
    static CModulePlayback* GetPlayback(const CModuleDevice& device, int slot);
    // The museum search's scheduler, null until a museum search made it.
    static CModulePlayback* GetMuseumScheduler(const CModuleDevice& device);
    // What the museum or thumbnail search does next: the pop-up's last answer, or the next frame
    // of a decode-only batch.
    static int GetSearchStep(const CModuleDevice& device);
    static int GetPlaybackSequence(const CModuleDevice& device);
    static void SetPlaybackTag(CModuleDevice& device, int tag);
    static void SetPlaybackMode(CModuleDevice& device, PlaybackMode mode, int speed);
    static void SetPlaybackDate(CModuleDevice& device, int date, int time);
    static void SetRecordedRange(CModuleDevice& device, int firstDate, int firstTime, int lastDate, int lastTime);
    static void SetPlaybackAudioChannel(CModuleDevice& device, int ch);

    // Playback frame requests.
    static int GetQueuedRequestCount(const CModuleDevice& device);
    static int GetFrameRequestsInFlight(const CModuleDevice& device);
    static void LowerFrameRequestCount(CModuleDevice& device);

    // Record lists and the index scan.
    static int GetListDay(const CModuleDevice& device);
    static int GetFirstScanMinute(const CModuleDevice& device, int ch);
    // What a login makes for the list and index intake of `channelCount` channels (the slot
    // buffers, the playback schedulers and the list buffer), without a connection; the buffers
    // are then filled as the engine fills them and the intake slots called.
    static void PrepareListIntake(CModuleDevice& device, int channelCount);
    static char* GetListBuffer(const CModuleDevice& device);
    static char* GetIndexBuffer(const CModuleDevice& device, int slot);
    static void SetSearchMask(CModuleDevice& device, quint32 mask);
    // Forgets what the lists and indexes filled: the minute maps, the first recorded minutes of
    // the index scan and every playback scheduler's day.
    static void ResetListIntake(CModuleDevice& device);

    // Connection.
    static bool IsConnecting(const CModuleDevice& device);
    static void SetLoginTimeLimit(CModuleDevice& device, int ms);
    // The limit of a box that waits on the recorder's answer.
    static void SetRecorderWaitLimit(CModuleDevice& device, int ms);
    static void SetLoggedIn(CModuleDevice& device, bool loggedIn);
};
