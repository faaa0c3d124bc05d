#include "backup/support/recording_fixture.h"

#include "common/media/modulerecord.h"

namespace recording_fixture {

int AddSeconds(int hhmmss, int seconds)
{
    const int s = (hhmmss / 10000) * 3600 + ((hhmmss / 100) % 100) * 60 + hhmmss % 100 + seconds;
    return (s / 3600) * 10000 + ((s / 60) % 60) * 100 + s % 60;
}

Recording Write(const QString& root, const QList<QByteArray>& pictures, int date, int startTime, int channel,
                int fps, int keyInterval)
{
    Recording r;
    const QString base = root + QStringLiteral("/backup/Record_Live/Gate/");
    r.folder = base + QString::asprintf("%08d", date) + QLatin1Char('/');
    r.fileName = QString::asprintf("h%06d.%03d", startTime, channel + 1);
    ModuleRecord writer;
    if (!writer.StartRecord(channel, date, startTime, base, 0, ModuleRecord::RecordLive)) {
        r.error = QStringLiteral("the writer refused the recording");
        return r;
    }
    for (int i = 0; i < pictures.size(); ++i) {
        const int time = AddSeconds(startTime, i / fps);
        const int frameType = i % keyInterval == 0 ? 1 : 2;
        if (writer.OnRecordData(channel, date, time, frameType, 2, pictures[i].constData(), pictures[i].size(), 1,
                                0)
            <= 0) {
            r.error = QStringLiteral("picture %1 was not written").arg(i);
            return r;
        }
        ++r.frames;
    }
    return r;
}

} // namespace recording_fixture
