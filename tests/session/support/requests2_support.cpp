#include "session/support/requests2_support.h"

#include <QJsonObject>
#include <QTest>

#include "net/modulenetwork.h"

QList<QByteArray> ReceivedMessages(const SessionDvrSim* sim, int cmd)
{
    QList<QByteArray> out;
    const QList<QJsonObject> messages = sim->Messages(cmd);
    for (const QJsonObject& m : messages)
        out.append(QByteArray::fromHex(m.value(QStringLiteral("hex")).toString().toLatin1()));
    return out;
}

qint32 Word32(const QByteArray& message, int offset)
{
    if (offset < 0 || offset + 4 > message.size())
        return -1;
    const auto* p = reinterpret_cast<const quint8*>(message.constData() + offset);
    return qint32(quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24));
}

namespace {

int CountRate(const SessionDvrSim* sim, int value)
{
    int n = 0;
    for (const QByteArray& m : ReceivedMessages(sim, 0x8D))
        n += Word32(m, 12) == value ? 1 : 0;
    return n;
}

} // namespace

bool FenceLive(SessionDvrSim* sim, CModuleDevice* device)
{
    CModuleNetwork* live = device->GetLiveNetwork();
    if (!live || !live->IsConnected())
        return false;
    const int before = sim->Messages(0x27).size();
    live->SendRelayControl(3, 0);
    return QTest::qWaitFor([&] { return sim->Messages(0x27).size() > before; }, 15000);
}

bool FencePlayback(SessionDvrSim* sim, CModuleDevice* device)
{
    CModuleNetwork* playback = device->GetPlaybackNetwork();
    if (!playback || !playback->IsConnected())
        return false;
    const int before = CountRate(sim, kFenceRate);
    playback->SendPlaybackRate(kFenceRate);
    return QTest::qWaitFor([&] { return CountRate(sim, kFenceRate) > before; }, 15000);
}
