#pragma once
// Debug output of the configuration console ("zent.console"): off at debug level unless switched
// on with QT_LOGGING_RULES="zent.console.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcConsole)
