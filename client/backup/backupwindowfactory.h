#pragma once
// Makes the event and schedule backup windows for the sessions; the main window installs one.
#include "session/backuphosts.h"

class BackupWindowFactory : public BackupHostFactory
{
public:
    std::unique_ptr<EventBackupHost> CreateEventHost(RecorderSession& device) override;
    std::unique_ptr<ScheduleBackupHost> CreateScheduleHost(RecorderSession& device) override;
    std::unique_ptr<RemoteCDBackupHost> CreateRemoteCDHost(RecorderSession& device, bool listBackup) override;
};
