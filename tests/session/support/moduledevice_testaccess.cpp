#include "session/support/moduledevice_testaccess.h"

#include "session/livedecodeworker.h"
#include "session/mediaintake.h"
#include "session/moduleplayback.h"
#include "session/recorderwait.h"
#include "session/recordlistintake.h"
#include "session/requestpacing.h"
#include "session/sessionthread.h"
#include "session/slotreceivebuffers.h"

void CModuleDeviceTestAccess::AppendLiveRecord(CModuleDevice& device, LiveFrameRecordPtr record)
{
    if (record && device.ValidChannel(record->channel))
        device.m_channels[size_t(record->channel)].liveQueue.Append(std::move(record));
}

LiveFrameRecordPtr CModuleDeviceTestAccess::TakeLiveRecord(CModuleDevice& device, int ch)
{
    return device.ValidChannel(ch) ? device.m_channels[size_t(ch)].liveQueue.TakeFirst() : nullptr;
}

int CModuleDeviceTestAccess::GetLiveQueueCount(const CModuleDevice& device, int ch)
{
    return device.ValidChannel(ch) ? device.m_channels[size_t(ch)].liveQueue.Count() : 0;
}

int CModuleDeviceTestAccess::GetPlaybackQueueCount(const CModuleDevice& device, int slot)
{
    if (slot < 0 || slot >= CModuleDevice::kSlots)
        return 0;
    return device.m_slots[size_t(slot)].queue.Count();
}

void CModuleDeviceTestAccess::AppendPlaybackRecord(CModuleDevice& device, int slot, LiveFrameRecordPtr record)
{
    device.m_media.AppendPlaybackRecord(slot, std::move(record));
}

int CModuleDeviceTestAccess::GetLiveAudioQueueCount(const CModuleDevice& device)
{
    return device.m_media.liveAudio.queue.Count();
}

int CModuleDeviceTestAccess::GetPlaybackAudioQueueCount(const CModuleDevice& device)
{
    return device.m_media.playbackAudio.queue.Count();
}

bool CModuleDeviceTestAccess::IsLiveDropping(const CModuleDevice& device, int ch)
{
    return device.ValidChannel(ch) && device.m_channels[size_t(ch)].liveQueue.IsDropping();
}

bool CModuleDeviceTestAccess::IsLiveThreadRunning(const CModuleDevice& device, int ch)
{
    return device.ValidChannel(ch) && device.m_channels[size_t(ch)].liveThread
           && device.m_channels[size_t(ch)].liveThread->ShouldRun();
}

int CModuleDeviceTestAccess::GetDecodedFrames(const CModuleDevice& device, int ch)
{
    return device.ValidChannel(ch) && device.m_channels[size_t(ch)].liveWorker
               ? device.m_channels[size_t(ch)].liveWorker->DecodedFrames()
               : 0;
}

int CModuleDeviceTestAccess::GetSkippedForLoad(const CModuleDevice& device, int ch)
{
    return device.ValidChannel(ch) && device.m_channels[size_t(ch)].liveWorker
               ? device.m_channels[size_t(ch)].liveWorker->SkippedForLoad()
               : 0;
}

QImage CModuleDeviceTestAccess::GetLastPicture(const CModuleDevice& device, int ch)
{
    return device.m_media.lastPictures.Get(ch);
}

void CModuleDeviceTestAccess::SetLiveFrameRate(CModuleDevice& device, int ch, int fps)
{
    if (device.ValidChannel(ch))
        device.m_channels[size_t(ch)].liveRate = fps;
}

int CModuleDeviceTestAccess::NextPlaybackTag(int current)
{
    return MediaIntake::NextPlaybackTag(current);
}

int CModuleDeviceTestAccess::GetPlaybackRateState(const CModuleDevice& device)
{
    return device.m_media.rateState.load();
}

CModulePlayback* CModuleDeviceTestAccess::GetPlayback(const CModuleDevice& device, int slot)
{
    return device.GetPlayback(slot);
}

CModulePlayback* CModuleDeviceTestAccess::GetMuseumScheduler(const CModuleDevice& device)
{
    return device.m_search.museumScheduler.get();
}

int CModuleDeviceTestAccess::GetPlaybackSequence(const CModuleDevice& device)
{
    return device.m_playback.seq.load();
}

void CModuleDeviceTestAccess::SetPlaybackTag(CModuleDevice& device, int tag)
{
    device.m_playback.seq.store(tag);
}

void CModuleDeviceTestAccess::SetPlaybackMode(CModuleDevice& device, PlaybackMode mode, int speed)
{
    device.m_playback.mode = mode;
    device.m_playback.speed = speed;
}

void CModuleDeviceTestAccess::SetPlaybackDate(CModuleDevice& device, int date, int time)
{
    device.m_playback.playDate = date;
    device.m_playback.playTime = time;
}

void CModuleDeviceTestAccess::SetRecordedRange(CModuleDevice& device, int firstDate, int firstTime, int lastDate,
                                               int lastTime)
{
    device.m_playback.recordedRange = {firstDate, firstTime, lastDate, lastTime};
}

void CModuleDeviceTestAccess::SetPlaybackAudioChannel(CModuleDevice& device, int ch)
{
    device.m_playback.audioChannel = ch;
}

int CModuleDeviceTestAccess::GetQueuedRequestCount(const CModuleDevice& device)
{
    return device.m_pacing ? device.m_pacing->Batcher().QueuedCount() : 0;
}

int CModuleDeviceTestAccess::GetFrameRequestsInFlight(const CModuleDevice& device)
{
    return device.m_pacing ? device.m_pacing->Batcher().InFlight() : 0;
}

void CModuleDeviceTestAccess::LowerFrameRequestCount(CModuleDevice& device)
{
    if (device.m_pacing)
        device.m_pacing->Batcher().LowerInFlight();
}

int CModuleDeviceTestAccess::GetListDay(const CModuleDevice& device)
{
    return device.m_lists.Chain().date;
}

int CModuleDeviceTestAccess::GetFirstScanMinute(const CModuleDevice& device, int ch)
{
    return device.ValidChannel(ch) ? device.m_channels[size_t(ch)].firstMinuteScan : 9999;
}

void CModuleDeviceTestAccess::PrepareListIntake(CModuleDevice& device, int channelCount)
{
    device.m_login.channelCount = channelCount;
    for (int slot = 0; slot <= channelCount && slot < CModuleDevice::kSlots; ++slot)
        device.m_buffers.Slots().Allocate(slot);
    device.m_media.CreateSchedulers();
    device.m_buffers.AllocateSession();
}

char* CModuleDeviceTestAccess::GetListBuffer(const CModuleDevice& device)
{
    return device.m_buffers.List();
}

char* CModuleDeviceTestAccess::GetIndexBuffer(const CModuleDevice& device, int slot)
{
    return device.m_buffers.Slots().Index(slot);
}

void CModuleDeviceTestAccess::SetSearchMask(CModuleDevice& device, quint32 mask)
{
    device.m_link.masks.search = mask;
}

void CModuleDeviceTestAccess::ResetListIntake(CModuleDevice& device)
{
    for (PlaybackSlot& slot : device.m_slots)
        slot.minuteTable.reset();
    for (ChannelState& channel : device.m_channels) {
        channel.firstMinuteScan = ChannelState::kNoMinute;
        channel.firstMinuteOwn = ChannelState::kNoMinute;
    }
    device.m_lists.Chain().startTogether = false;
    // A day that is not a date: the scheduler forgets its day and asks for nothing. One still
    // idle has taken no index since it last forgot its day.
    for (PlaybackSlot& slot : device.m_slots) {
        if (slot.scheduler && slot.scheduler->GetState() != PlaybackMode::Idle)
            slot.scheduler->ResetIndex(0);
    }
}

bool CModuleDeviceTestAccess::IsConnecting(const CModuleDevice& device)
{
    return device.m_link.sequence.connecting;
}

void CModuleDeviceTestAccess::SetLoginTimeLimit(CModuleDevice& device, int ms)
{
    device.m_link.sequence.loginTimeLimitMs = ms;
}

void CModuleDeviceTestAccess::SetRecorderWaitLimit(CModuleDevice& device, int ms)
{
    device.m_lists.recorderWait->SetLimitMs(ms);
}

void CModuleDeviceTestAccess::SetLoggedIn(CModuleDevice& device, bool loggedIn)
{
    device.m_login.loggedIn = loggedIn ? 1 : 0;
}

int CModuleDeviceTestAccess::GetSearchStep(const CModuleDevice& device)
{
    return device.m_search.step.load();
}
