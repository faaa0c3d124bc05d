#pragma once
// Debug output of the main window and the grids ("zent.shell"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.shell.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcShell)
