#pragma once
// Debug output of the player's video and audio engine ("orvane.engine"): off at debug level unless
// switched on with QT_LOGGING_RULES="orvane.engine.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlayerEngine)
