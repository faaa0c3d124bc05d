#pragma once
// What a recorder session writes to the client's disk and the backup windows it keeps: the three
// recording writers (live and backup data, search, event) and the event, schedule and remote
// media backup windows made at the first login. The marks that switch each channel's recording
// on and off sit in the channel's state; this part starts, feeds and ends the writers.
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

#include "session/channelstate.h"
#include "session/playbackslot.h"

class EventBackupHost;
class ModuleRecord;
class RecorderSession;
class RemoteCDBackupHost;
class ScheduleBackupHost;

class SessionRecording
{
public:
    // The event record mark of a channel whose recording failed: nothing more is written until
    // the page clears the marks.
    static constexpr quint8 kEventRecordFailed = 2;

    // The session's folder of one kind of recording (given the kind's folder name).
    using FolderOf = std::function<QString(const QString& kind)>;

    // Makes the writers and the client recording folders. The backup windows are made for
    // `session`, which also gives the alarms, names the recorder and hears the event results.
    SessionRecording(RecorderSession& session, ChannelStates& channels, const PlaybackSlots& playbackSlots,
                     FolderOf folderOf);
    ~SessionRecording();
    // The backup windows go first, then the writers.
    void Release();

    ModuleRecord* Live() const { return m_live.get(); }
    ModuleRecord* Search() const { return m_search.get(); }
    EventBackupHost* EventHost() const { return m_eventHost.get(); }
    ScheduleBackupHost* ScheduleHost() const { return m_scheduleHost.get(); }
    RemoteCDBackupHost* RemoteCDHost() const { return m_remoteCDHost.get(); }

    // At every later login the event backup stops (its jobs must be armed again); the schedule
    // backup is left as it is. Without the hub's factory there are no windows.
    void CreateBackupHosts(bool furtherCapable);
    enum class BackupWindow { Event, RemoteCD, Schedule };
    // Shows the window; none exists before the first login.
    void ShowBackupWindow(BackupWindow which);
    // Whether a running event backup asked for the channel's live video.
    bool EventBackupNeedsLive(int channel) const;

    void StartSearchRecord(int ch, int date, int time);
    void StartEventRecord(int ch);
    // Index 0-15: live recording of a channel; 16-31: recording of its playback.
    void ToggleRecord(int index);
    // Ends a channel's recording whose writer failed (a full disk) and tells the user which
    // file; called on the writing thread.
    void EndFailedRecording(bool live, int ch);
    // Writes a frame of a channel whose live or search recording is on; a failed writer ends
    // the recording.
    void Write(bool live, int channel, int date, int time, int frameType, int kind, const char* data, int size,
               int sequence, bool decodeOnly);
    // The event backup: starts, feeds and stops the channel's event recording as its alarms and
    // the page's job times say.
    void FeedEventBackup(int channel, int date, int time, int frameType, int kind, const char* data, int size,
                         bool decodeOnly);
    // 0 for Sunday to 6 for Saturday (0 for what is no date), as the backup jobs count days.
    static int DayOfWeek(int date);

private:
    void MakeRecordingFolders() const;
    void LastReceived(bool live, int ch, int& date, int& time) const;
    void ReportEventFailure(int channel, int time, int weekDay);

    RecorderSession& m_session;
    ChannelStates& m_channels;
    const PlaybackSlots& m_slots;
    const FolderOf m_folderOf;
    std::unique_ptr<ModuleRecord> m_live;
    std::unique_ptr<ModuleRecord> m_search;
    std::unique_ptr<ModuleRecord> m_event;
    std::unique_ptr<EventBackupHost> m_eventHost;
    std::unique_ptr<ScheduleBackupHost> m_scheduleHost;
    std::unique_ptr<RemoteCDBackupHost> m_remoteCDHost;
};
