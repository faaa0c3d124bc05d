#pragma once
// Debug output of recorder sessions ("zent.session"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.session.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSession)
