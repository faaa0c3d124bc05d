#include "shell/shelllog.h"

Q_LOGGING_CATEGORY(lcShell, "zent.shell", QtInfoMsg)
