#pragma once
// Debug output of the central-server and validation clients ("zent.admin"): off at debug level
// unless switched on with QT_LOGGING_RULES="zent.admin.debug=true".
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcAdmin)
