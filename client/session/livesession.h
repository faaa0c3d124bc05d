#pragma once
// A recorder session's live side as the grids and the live panels see it: the routes the grids
// write and the decode threads read, the live flags, live video and sound, camera, relay and
// live output control, talk-back and the local recordings. Channels are 0-based; dates are
// YYYYMMDD and times HHMMSS.
#include <QtGlobal>

#include "session/livefigures.h"

class CModuleDecoder;
class QTreeWidgetItem;
struct CameoRoute;

class LiveSession
{
public:
    virtual ~LiveSession() = default;

    virtual LiveFigures GetLiveFigures(int ch) const = 0;
    // Date and time of the channel's last live frame; -1 before the first.
    virtual int GetLiveFrameDate(int ch) const = 0;
    virtual int GetLiveFrameTime(int ch) const = 0;

    // ---- routes written by the grids, read by the decode threads
    virtual CameoRoute* GetCameoRoute(int ch) = 0;
    virtual int GetPlaybackGrid() const = 0;
    virtual void SetPlaybackGrid(int grid) = 0;
    virtual void SetScrMode(int slot, int mode) = 0;

    // ---- per-channel flags the grids set
    virtual bool IsLiveWanted(int ch) const = 0;
    virtual void SetLiveWanted(int ch, bool wanted) = 0;
    virtual int GetLiveAudioChannel() const = 0;
    virtual int GetAudioChannel() const = 0;
    virtual quint32 GetLiveMask() const = 0;
    virtual CModuleDecoder* GetLiveDecoder(int ch) const = 0;

    // ---- live video and sound
    virtual bool OnLiveStart(int mode) = 0;
    virtual bool OnLiveStop(int ch) = 0;
    virtual bool StartLiveAudio(int ch) = 0;
    virtual bool StopLiveAudio() = 0;

    // ---- camera, relay, live output and talk-back
    virtual void SendUccControl(int channel, int code, int speed, int preset) = 0;
    virtual void SendPtzControl(int channel, int command, int value, int value2) = 0;
    virtual void SendRelayControl(int relay, int on) = 0;
    virtual void SetLiveOutputChannel(int channel) = 0;
    virtual void SendLiveOutput() = 0;
    virtual void SendTalkStart() = 0;
    virtual void SendTalkStop() = 0;
    virtual void SendTalkAudio(const char* pcm, int bytes) = 0;

    // ---- local recording and archive items
    // Arms the search recording of a channel from a date and time.
    virtual void StartSearchRecord(int ch, int date, int time) = 0;
    virtual void UpdateArchiveItems(QTreeWidgetItem* archiveParent, int kind) = 0;
    // Index 0-15 live recording of a channel, 16-31 recording of its playback.
    virtual void ToggleRecord(int index) = 0;
    virtual bool IsRecordMarked(int index) const = 0;
};
