#include "playback/recordermedia.h"
#include "playback/playbacklog.h"
#include "playback/profileini.h"

#include <QFile>

#include <algorithm>

QString RecorderMedia::ReadDayList(const QString& dayListPath)
{
    QFile file(dayListPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(8);
    if (bytes.size() != 8) {
        qCWarning(lcPlayerPlayback) << "day.lst too short:" << dayListPath;
        return {};
    }
    for (const char c : bytes) {
        if (c < '0' || c > '9') {
            qCWarning(lcPlayerPlayback) << "day.lst does not begin with a date:" << dayListPath;
            return {};
        }
    }
    return QString::fromLatin1(bytes);
}

bool RecorderMedia::HasOwnerMarker(const QString& ownerPath)
{
    QFile file(ownerPath);
    return file.open(QIODevice::ReadOnly);
}

DvrInfo RecorderMedia::ReadDvrInfo(const QString& iniPath, int channel)
{
    DvrInfo info;
    ProfileIni ini;
    if (!ini.Load(iniPath))
        return info;
    const QString empty = QString::fromLatin1(kEmptyValue);
    auto read = [&](const QString& key) {
        QString value = ini.Value(QStringLiteral("DVR_INFO"), key, empty).left(kMaxInfoValue);
        return value == empty ? QString() : value;
    };
    info.name = read(QStringLiteral("NAME"));
    info.address = read(QStringLiteral("IP"));
    if (channel >= 0 && channel < 100)
        info.cameraTitle = read(QStringLiteral("CAM%1").arg(channel, 2, 10, QLatin1Char('0')));
    return info;
}

QString RecorderMedia::CameraTitleOrDefault(const DvrInfo& info, int channel)
{
    if (!info.cameraTitle.isEmpty())
        return info.cameraTitle;
    return QStringLiteral("CAM-%1").arg(channel + 1, 2, 10, QLatin1Char('0'));
}

int RecorderMedia::UnpackFileNumber(quint32 packed)
{
    return int((((packed >> 8) & 0x7FFFu) << 5) | ((packed >> 24) & 0x1Fu));
}

QString RecorderMedia::StreamName3(int fileNumber, const QString& suffix)
{
    return QStringLiteral("stream_%1%2").arg(fileNumber, 3, 10, QLatin1Char('0')).arg(suffix);
}

QString RecorderMedia::StreamName6(int fileNumber, const QString& suffix)
{
    return QStringLiteral("stream_%1%2").arg(fileNumber, 6, 10, QLatin1Char('0')).arg(suffix);
}

void SwapDwordBytes(quint8* buffer, int length, int capacity)
{
    if (!buffer || length <= 0 || capacity <= 0)
        return;
    const int words = std::min((length + 3) / 4, capacity / 4);
    for (int i = 0; i < words; ++i) {
        quint8* w = buffer + 4 * i;
        std::swap(w[0], w[3]);
        std::swap(w[1], w[2]);
    }
}
