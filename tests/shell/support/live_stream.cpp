#include "shell/support/live_stream.h"

#include <QProcess>

QString MakeLiveStream(const QString& folder)
{
    const QString path = folder + QStringLiteral("/stream.h264");
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-hide_banner"),
                                            QStringLiteral("-loglevel"),
                                            QStringLiteral("error"),
                                            QStringLiteral("-y"),
                                            QStringLiteral("-f"),
                                            QStringLiteral("lavfi"),
                                            QStringLiteral("-i"),
                                            QStringLiteral("testsrc2=size=352x240:rate=15"),
                                            QStringLiteral("-t"),
                                            QStringLiteral("4"),
                                            QStringLiteral("-c:v"),
                                            QStringLiteral("libx264"),
                                            QStringLiteral("-profile:v"),
                                            QStringLiteral("baseline"),
                                            QStringLiteral("-pix_fmt"),
                                            QStringLiteral("yuv420p"),
                                            QStringLiteral("-g"),
                                            QStringLiteral("15"),
                                            QStringLiteral("-bsf:v"),
                                            QStringLiteral("h264_mp4toannexb"),
                                            QStringLiteral("-f"),
                                            QStringLiteral("h264"),
                                            path});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0)
        return QString();
    return path;
}
