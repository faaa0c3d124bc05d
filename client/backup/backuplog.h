#pragma once
// Debug output of the backup pages ("zent.backup"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.backup.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcBackup)
