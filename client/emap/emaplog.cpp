#include "emap/emaplog.h"

Q_LOGGING_CATEGORY(lcEmap, "zent.emap", QtInfoMsg)
