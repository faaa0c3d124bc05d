#include "net/netlog.h"

Q_LOGGING_CATEGORY(lcNet, "zent.net", QtInfoMsg)
