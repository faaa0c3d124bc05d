#include "common/support/mediaprobe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <cstdlib>

namespace mediaprobe {

namespace {

QByteArray RunTool(const QString& program, const QStringList& arguments, QString* error)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(120000)) {
        *error = program + QStringLiteral(" did not run");
        return QByteArray();
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QString::fromLocal8Bit(process.readAllStandardError());
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

} // namespace

Probe Run(const QString& path)
{
    Probe probe;
    const QByteArray json = RunTool(
        QStringLiteral("ffprobe"),
        {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
         "format=format_name:stream=codec_name,width,height,r_frame_rate,time_base,nb_read_frames:"
         "packet=pts,dts,flags",
         "-of", "json", path},
        &probe.error);
    if (!probe.error.isEmpty())
        return probe;
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    probe.formatName = root.value("format").toObject().value("format_name").toString();
    const QJsonArray streams = root.value("streams").toArray();
    if (!streams.isEmpty()) {
        const QJsonObject s = streams.first().toObject();
        probe.codecName = s.value("codec_name").toString();
        probe.width = s.value("width").toInt();
        probe.height = s.value("height").toInt();
        probe.frameRate = s.value("r_frame_rate").toString();
        probe.decodedFrames = s.value("nb_read_frames").toString().toInt();
        const QStringList timeBase = s.value("time_base").toString().split(QLatin1Char('/'));
        if (timeBase.size() == 2 && timeBase[1].toInt() > 0) {
            probe.timeBaseNum = timeBase[0].toInt();
            probe.timeBaseDen = timeBase[1].toInt();
        }
    }
    for (const QJsonValue& value : root.value("packets").toArray()) {
        const QJsonObject p = value.toObject();
        Packet packet;
        packet.pts = p.value("pts").toVariant().toLongLong();
        packet.dts = p.value("dts").toVariant().toLongLong();
        packet.key = p.value("flags").toString().startsWith(QLatin1Char('K'));
        probe.packets.append(packet);
    }
    return probe;
}

QByteArray GreyPictures(const QString& path, QString* error)
{
    return RunTool(QStringLiteral("ffmpeg"),
                   {"-hide_banner", "-loglevel", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "gray", "-"},
                   error);
}

double RegionDifference(const QByteArray& a, const QByteArray& b, int width, int height, int picture, int x, int y,
                        int w, int h)
{
    const qsizetype base = qsizetype(picture) * width * height;
    if (base + width * height > a.size() || base + width * height > b.size())
        return -1;
    double sum = 0;
    for (int row = y; row < y + h; ++row) {
        for (int column = x; column < x + w; ++column) {
            const int i = int(base + qsizetype(row) * width + column);
            sum += std::abs(int(uchar(a[i])) - int(uchar(b[i])));
        }
    }
    return sum / (double(w) * h);
}

} // namespace mediaprobe
