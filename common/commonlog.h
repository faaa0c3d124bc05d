#pragma once
// Debug output of the shared media code (decoder, recording writer) ("zent.media"): off at debug level unless switched on with
// QT_LOGGING_RULES="zent.media.debug=true"; warnings are always on.
//
// FFmpeg's own log lines (libavcodec, libavformat, libavfilter, swscale) go into the same
// category at debug level, so they are quiet unless it is switched on. Every program that links
// this library has them routed as soon as its Qt application exists.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMedia)

namespace commonlog {

// Routes FFmpeg's log lines into "zent.media" (debug level); lines above FFmpeg's own log level
// (av_log_set_level) stay dropped as before. Safe to call more than once.
void RouteFfmpegLog();

} // namespace commonlog
