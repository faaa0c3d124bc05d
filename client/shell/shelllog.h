#pragma once
// The shell's debug output category ("zent.shell").
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcShell)
