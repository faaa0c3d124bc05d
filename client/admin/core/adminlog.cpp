#include "core/adminlog.h"

Q_LOGGING_CATEGORY(lcAdmin, "zent.admin", QtInfoMsg)
