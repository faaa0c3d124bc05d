#pragma once
// Debug output of the shared widgets ("zent.widgets"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.widgets.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcWidgets)
