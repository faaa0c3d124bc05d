#include "session/sessionsound.h"

#include "common/media/mulaw.h"
#include "session/sessionhub.h"

namespace sessionsound {

void Write(const char* data, int bytes, int recorder)
{
    if (SessionHub* hub = SessionHub::Instance(); hub && bytes > 0)
        hub->WriteAudioOutput(data, bytes, recorder);
}

QByteArray ToSamples(const char* data, int bytes, bool mulaw)
{
    QByteArray out(bytes * 2, Qt::Uninitialized);
    for (int i = 0; i < bytes; ++i) {
        const qint16 s = mulaw ? MuLawToLinear(quint8(data[i])) : qint16(qint16(qint8(data[i])) * 256);
        out[2 * i] = char(quint16(s) & 0xFF);
        out[2 * i + 1] = char(quint16(s) >> 8);
    }
    return out;
}

} // namespace sessionsound
