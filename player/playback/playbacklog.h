#pragma once
// Debug output of the player's playback of recordings ("orvane.playback"): off at debug level unless
// switched on with QT_LOGGING_RULES="orvane.playback.debug=true"; warnings are always on.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlayerPlayback)
