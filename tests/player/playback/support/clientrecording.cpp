#include "clientrecording.h"
#include "common/media/modulerecord.h"
#include "common/support/decoder_streams.h"

#include <QDir>

ClientRecording WriteClientRecording(const QString& root, const QVector<int>& times, int keyInterval,
                                     int streamKind)
{
    ClientRecording r;
    const auto& stream = decoder_streams::Make(176, 144, 120, keyInterval, true);
    if (!stream.error.isEmpty() || stream.frames.size() < times.size()) {
        r.error = stream.error.isEmpty() ? QStringLiteral("too few frames") : stream.error;
        return r;
    }
    const int date = 20261210;
    ModuleRecord writer;
    writer.SetNoRefresh(true);
    if (!writer.StartRecord(2, date, times.first(), root, 0, ModuleRecord::BackupData)) {
        r.error = QStringLiteral("StartRecord refused");
        return r;
    }
    for (int i = 0; i < times.size(); ++i) {
        const QByteArray& unit = stream.frames.at(i);
        const int type = i % keyInterval == 0 ? 1 : 0;
        if (writer.OnRecordData(2, date, times[i], type, streamKind, unit.constData(), unit.size(), 1, 0) <= 0) {
            r.error = QStringLiteral("frame %1 not written").arg(i);
            return r;
        }
        r.units.append(unit);
    }
    writer.StopRecord(2);
    r.folder = QDir(root).filePath(QStringLiteral("20261210"));
    r.dataName = QStringLiteral("h%1.003").arg(times.first(), 6, 10, QLatin1Char('0'));
    return r;
}

QVector<int> TenPerSecond(int start, int seconds)
{
    return PerSecond(start, seconds, 10);
}

QVector<int> PerSecond(int start, int seconds, int frames)
{
    QVector<int> times;
    const int s0 = start / 10000 * 3600 + start / 100 % 100 * 60 + start % 100;
    for (int s = 0; s < seconds; ++s) {
        const int t = s0 + s;
        for (int i = 0; i < frames; ++i)
            times.append(t / 3600 * 10000 + t / 60 % 60 * 100 + t % 60);
    }
    return times;
}
