#pragma once
// The event, schedule and remote media backup windows a recorder session keeps from its first login on. They
// live in the backup subsystem above the session; the session reaches them only through these
// small interfaces and makes them through the factory that the main window installs. Without a
// factory (tests of the session alone) a session has no backup windows.
#include <QString>
#include <memory>

class RecorderSession;

class EventBackupHost
{
public:
    virtual ~EventBackupHost() = default;
    // Whether a live frame of `channel` stamped `time` (HHMMSS) on `weekDay` (0 Sunday) lies
    // inside a job.
    virtual bool IsBackupTime(int channel, int time, int weekDay) const = 0;
    virtual bool IsRunning() const = 0;
    // Whether the backup has asked for the channel's live video (it records what arrives).
    virtual bool NeedsLive(int channel) const = 0;
    virtual void StopBackup() = 0;
    virtual void ShowWindow(const QString& title) = 0;
};

class ScheduleBackupHost
{
public:
    virtual ~ScheduleBackupHost() = default;
    virtual void OnRecvPlaybackVideo(int channel, int size, int kind, int date, int time, int requestNumber,
                                     bool key, char frameType, char sequence) = 0;
    // The recorder's connection went down.
    virtual void OnConnectionLost() = 0;
    virtual void ShowWindow(const QString& title) = 0;
};

class RemoteCDBackupHost
{
public:
    virtual ~RemoteCDBackupHost() = default;
    virtual void ShowWindow(const QString& title) = 0;
};

class BackupHostFactory
{
public:
    virtual ~BackupHostFactory() = default;
    virtual std::unique_ptr<EventBackupHost> CreateEventHost(RecorderSession& device) = 0;
    virtual std::unique_ptr<ScheduleBackupHost> CreateScheduleHost(RecorderSession& device) = 0;
    // `listBackup`: the recorder writes lists of ranges to its media.
    virtual std::unique_ptr<RemoteCDBackupHost> CreateRemoteCDHost(RecorderSession& device, bool listBackup) = 0;

    // The installed factory, or null.
    static BackupHostFactory* Instance();
    static void Install(BackupHostFactory* factory);
};
