#include "backup/backuplog.h"

Q_LOGGING_CATEGORY(lcBackup, "zent.backup", QtInfoMsg)
