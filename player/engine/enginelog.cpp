#include "engine/enginelog.h"

Q_LOGGING_CATEGORY(lcPlayerEngine, "orvane.engine", QtInfoMsg)
