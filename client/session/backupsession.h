#pragma once
// A recorder session as the backup pages see it: their windows, the event recording marks, the
// backup capacity, the recorder's own media backup and the schedule backup download. Dates are
// YYYYMMDD and times HHMMSS.
#include <QVector>

#include "net/requestbuilder.h"

class EventBackupHost;
class RemoteCDBackupHost;
class ScheduleBackupHost;

class BackupSession
{
public:
    virtual ~BackupSession() = default;

    // ---- backup windows
    virtual EventBackupHost* GetEventBackupHost() const = 0;
    virtual ScheduleBackupHost* GetScheduleBackupHost() const = 0;
    virtual RemoteCDBackupHost* GetRemoteCDBackupHost() const = 0;
    virtual void ShowEventBackup() = 0;
    virtual void ShowRemoteCDBackup() = 0;
    virtual void ShowScheduleBackup() = 0;

    // ---- event recording marks the backup pages set
    virtual bool IsEventRecordMarked(int ch) const = 0;
    virtual void SetEventRecordMark(int ch, bool on) = 0;

    // ---- the recorder's own media backup
    // The backup capacity of a time range on the channels of the mask (bit i = channel i + 1).
    virtual void SendBackupCapaRequest(int startDate, int startTime, int finishDate, int finishTime,
                                       int channelMask) = 0;
    virtual void SendCDMediaCheck(int mediaKind) = 0;
    virtual void SendCDBackupPrepare(int discNumber, int mediaKind) = 0;
    // The audio flag is 0xFFFF with audio.
    virtual void SendCDBackupStart(int startDate, int startTime, int finishDate, int finishTime, int channelBits,
                                   int audioFlag, int mediaKind) = 0;
    virtual void SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, int mediaKind) = 0;
    virtual void SendCDBackupStop(int mediaKind) = 0;
    virtual void SendCDBackupClose() = 0;
    virtual void SendCDMediaErase(int mediaKind) = 0;

    // ---- schedule backup download
    // A download of the channels of the mask from a date and time, on the live connection;
    // every frame carries the request number and arrives in `receiveBuffer`.
    virtual void SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int time,
                                        char* receiveBuffer) = 0;
    virtual void SendBackupPlaybackStop(char* receiveBuffer) = 0;
};
