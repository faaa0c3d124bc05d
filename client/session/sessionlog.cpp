#include "session/sessionlog.h"

Q_LOGGING_CATEGORY(lcSession, "zent.session", QtInfoMsg)
