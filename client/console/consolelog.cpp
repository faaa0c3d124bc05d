#include "console/consolelog.h"

Q_LOGGING_CATEGORY(lcConsole, "zent.console", QtInfoMsg)
