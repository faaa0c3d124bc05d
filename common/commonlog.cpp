#include "common/commonlog.h"

#include <QCoreApplication>
#include <QString>

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>

Q_LOGGING_CATEGORY(lcMedia, "zent.media", QtInfoMsg)

namespace {

constexpr int kLineBytes = 1024;

// FFmpeg hands a line over in pieces (its prefix first, a line without its end now and then), on
// any thread; each thread gathers its own pieces until a line ends.
void ToMediaCategory(void* context, int level, const char* format, va_list arguments)
{
    if (level > av_log_get_level() || !lcMedia().isDebugEnabled())
        return;
    thread_local QByteArray pending;
    thread_local int printPrefix = 1;
    char piece[kLineBytes];
    va_list copy;
    va_copy(copy, arguments);
    av_log_format_line2(context, level, format, copy, piece, int(sizeof piece), &printPrefix);
    va_end(copy);
    pending += piece;
    if (!pending.endsWith('\n'))
        return;
    pending.chop(1);
    qCDebug(lcMedia).noquote() << "ffmpeg:" << QString::fromUtf8(pending);
    pending.clear();
}

} // namespace

namespace commonlog {

void RouteFfmpegLog()
{
    av_log_set_callback(ToMediaCategory);
}

} // namespace commonlog

namespace {

// Installed with the application, once, for the client and the backup player alike.
void RouteFfmpegLogAtStart()
{
    commonlog::RouteFfmpegLog();
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(RouteFfmpegLogAtStart)
