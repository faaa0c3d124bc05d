#include "common/commonlog.h"

Q_LOGGING_CATEGORY(lcMedia, "zent.media", QtInfoMsg)
