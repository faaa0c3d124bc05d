#include "managers/managerslog.h"

Q_LOGGING_CATEGORY(lcManagers, "zent.managers", QtInfoMsg)
