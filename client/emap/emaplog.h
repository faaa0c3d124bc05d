#pragma once
// Debug output of the e-map windows ("zent.emap"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.emap.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcEmap)
