#pragma once
// Debug output of the recorder protocol engine ("zent.net"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.net.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcNet)
