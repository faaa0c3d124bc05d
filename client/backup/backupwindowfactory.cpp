#include "backup/backupwindowfactory.h"

#include "backup/cmodulebackupevent.h"
#include "backup/cmodulebackupremotecd.h"
#include "backup/cmodulebackupschedule.h"

std::unique_ptr<EventBackupHost> BackupWindowFactory::CreateEventHost(RecorderSession& device)
{
    return std::make_unique<CModuleBackupEvent>(device);
}

std::unique_ptr<ScheduleBackupHost> BackupWindowFactory::CreateScheduleHost(RecorderSession& device)
{
    return std::make_unique<CModuleBackupSchedule>(device);
}

std::unique_ptr<RemoteCDBackupHost> BackupWindowFactory::CreateRemoteCDHost(RecorderSession& device,
                                                                            bool listBackup)
{
    return std::make_unique<CModuleBackupRemoteCD>(device, listBackup);
}
