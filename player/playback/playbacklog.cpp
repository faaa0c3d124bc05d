#include "playback/playbacklog.h"

Q_LOGGING_CATEGORY(lcPlayerPlayback, "orvane.playback", QtInfoMsg)
