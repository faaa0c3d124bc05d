#pragma once
// A recorder session's remote playback and searches as the playback window, the playback grid
// and the search pop-ups see them: the recorded range and days, the record lists and index,
// play control and the museum, thumbnail and quick searches. Channels are 0-based; dates are
// YYYYMMDD and times HHMMSS.
#include <QString>
#include <QVector>

#include "session/playbackmode.h"

class CModuleDecoder;
class PlaybackView;

class PlaybackSession
{
public:
    virtual ~PlaybackSession() = default;

    // Set by the remote playback window while it plays this recorder; login and disconnect
    // clear it. The request timers run only while playback is active.
    virtual bool IsPlaybackActive() const = 0;
    virtual void SetPlaybackActive(bool on) = 0;
    virtual quint32 GetSearchMask() const = 0;
    virtual CModuleDecoder* GetPlaybackDecoder(int ch) const = 0;
    virtual const quint8* GetMinuteTable(int slot) const = 0;

    // ---- the recorded range and days of the last playback information answer
    virtual int GetFirstRecordDate() const = 0;
    virtual int GetFirstRecordTime() const = 0;
    virtual int GetLastRecordDate() const = 0;
    virtual int GetLastRecordTime() const = 0;
    virtual QVector<int> GetRecordDays() const = 0;
    virtual QString GetEarliestRecordText() const = 0;
    // True when the day is in the recorder's record-day list.
    virtual bool HasRecordDay(int date) const = 0;

    // ---- record lists and index
    virtual void SendTimeRecList(int day, int slot) = 0;
    virtual void GetIntraIndex(int channel) = 0;

    // ---- remote playback
    virtual void SetPlaybackCtrl(PlaybackMode mode) = 0;
    virtual void ResendPlaybackCtrl() = 0;
    // Plays from a time of the current date in a mode (a PlaybackMode code), or with -2, -3 or
    // -4 continues the thumbnail, museum or quick search; the session's kTimeLineSeek seeks
    // through the quick search.
    virtual bool RequestPlayback(int time, int mode) = 0;
    virtual bool StartPlaybackAudio(int channel) = 0;
    virtual bool StopPlaybackAudio() = 0;
    virtual void SetPlaybackVisible(int channel, bool visible) = 0;
    virtual void SetPlaybackView(PlaybackView* view) = 0;
    virtual PlaybackView* GetPlaybackView() const = 0;
    // The chosen play date and time, -1 when none; the day is also kept for the time lists.
    virtual void ChoosePlayStart(int date, int time) = 0;
    // No play start: the playback window asks the operator when the information arrives.
    virtual void ClearPlayStart() = 0;
    virtual int GetPlayDate() const = 0;
    virtual int GetPlayTime() const = 0;
    virtual int GetTimeListDate() const = 0;
    virtual void SetTimeListDate(int date) = 0;
    virtual int GetPlayRequestState() const = 0;
    virtual PlaybackMode GetPlaybackMode() const = 0;
    // The current playback date and time; -1 when none.
    virtual int GetPlaybackDate() const = 0;
    virtual int GetPlaybackTime() const = 0;
    // The time of the last recorded second the channel's search thread went through.
    virtual int GetChannelPlayTime(int ch) const = 0;
    virtual int GetPlaybackSpeed() const = 0;
    // What the channel's playback scheduler is doing (Idle without a scheduler).
    virtual PlaybackMode GetChannelPlaybackState(int channel) const = 0;

    // ---- searches (each needs its search pop-up)
    virtual void SetMuseumSearch(int channel, int date, int time) = 0;
    virtual void SetThumnailSearch(int channel, int date, int time) = 0;
    virtual void SetQuickSearch(int channel, int date, int time) = 0;
    // The channel, date and time a search pop-up hands to the next search it opens.
    virtual void SetSearchRequest(int channel, int date, int time) = 0;
    virtual void SetQuickMode(bool on) = 0;
    // The museum search's drawn area: grid family and cells x1 .. x2-1, y1 .. y2-1; a grid
    // family of -1 clears it.
    virtual void SetMuseumArea(int gridFamily, int x1, int y1, int x2, int y2) = 0;
    // The museum and thumbnail pop-ups leave their search when they hide.
    virtual void LeaveMuseumSearch() = 0;
    virtual void LeaveThumbnailSearch() = 0;
    virtual bool IsMuseumMode() const = 0;
    virtual bool IsThumbnailMode() const = 0;
};
