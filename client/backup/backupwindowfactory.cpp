#include "backup/backupwindowfactory.h"

#include "backup/cmodulebackupevent.h"
#include "backup/cmodulebackupremotecd.h"
#include "backup/cmodulebackupschedule.h"

std::unique_ptr<EventBackupHost> BackupWindowFactory::CreateEventHost(CModuleDevice& device)
{
    return std::make_unique<CModuleBackupEvent>(device);
}

std::unique_ptr<ScheduleBackupHost> BackupWindowFactory::CreateScheduleHost(CModuleDevice& device)
{
    return std::make_unique<CModuleBackupSchedule>(device);
}

std::unique_ptr<RemoteCDBackupHost> BackupWindowFactory::CreateRemoteCDHost(CModuleDevice& device, bool listBackup)
{
    return std::make_unique<CModuleBackupRemoteCD>(device, listBackup);
}
