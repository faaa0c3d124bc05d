#pragma once
// Debug output of the stand-ins for Windows-only interfaces ("zent.platform"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.platform.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
