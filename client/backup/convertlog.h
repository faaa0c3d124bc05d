#pragma once
// Debug output of the MP4 conversion ("zent.backup.convert"): off at debug level unless switched on
// with QT_LOGGING_RULES="zent.backup.convert.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcConvert)
