#include "playback/hpnetserver.h"

#include <QtEndian>

#include "playback/hpitemcamera.h"
#include "playback/hpitemdvr.h"
#include "playback/hpnetwork.h"
#include "playback/hubhost.h"
#include "playback/playbacklog.h"

namespace {

quint32 Le32(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar*>(bytes.constData() + at));
}

quint8 Byte(const QByteArray& bytes, int at)
{
    return quint8(bytes[at]);
}

// The recorder models this client knows by their id 0 to 14.
const char* const kModels[HPNetServer::kModelCount] = {
    "Retired",   "Kestrel 4", "Kestrel 8", "Kestrel 16", "Heron 4",  "Heron 8",   "Heron 16", "Osprey 8",
    "Osprey 16", "Falcon 4",  "Falcon 8",  "Falcon 16",  "Merlin 8", "Merlin 16", "Merlin 32"};

} // namespace

HPNetServer::HPNetServer(HPNetwork& hub, int recorderId, const QString& name)
    : m_hub(hub)
    , m_recorderId(recorderId)
    , m_item(std::make_unique<HPItemDVR>(name))
    , m_now([] { return QDateTime::currentDateTime(); })
{}

HPNetServer::~HPNetServer() = default;

QString HPNetServer::ModelName(int id)
{
    return id >= 0 && id < kModelCount ? QString::fromLatin1(kModels[id]) : QString();
}

void HPNetServer::Attach(int peer)
{
    m_peer = peer;
    m_connected = peer > 0;
    m_item->connected = m_connected;
}

HPItemCamera* HPNetServer::Camera(int index) const
{
    return static_cast<HPItemCamera*>(m_item->Find(HPItemCommon::kCamera, index));
}

qint64 HPNetServer::Send(const QByteArray& frame)
{
    if (m_peer <= 0)
        return -1;
    return m_hub.Engine().Send(m_peer, frame);
}

qint64 HPNetServer::ReqRecorderClock()
{
    m_clockValid = false;
    m_clock = QDateTime();
    m_clockDifference = 0;
    return Send(RecorderRequest::RecorderClock());
}

qint64 HPNetServer::ReqFileData(int channel, const QVector<FileDataEntry>& entries)
{
    const auto frame = RecorderRequest::FileData(channel, entries);
    return frame ? Send(*frame) : -1;
}

void HPNetServer::Disconnect()
{
    if (!m_connected)
        return;
    QVector<int> cameras;
    for (HPItemCommon* item : m_item->Collect(HPItemCommon::kCamera))
        cameras.append(static_cast<HPItemCamera*>(item)->CameraIndex());
    m_hub.Host().ClearTilesOf(m_recorderId, cameras);
    ReqLiveAudioStop(0);
    m_hub.Engine().ClosePeer(m_peer);
    m_item->RemoveChildren();
    m_peer = 0;
    m_connected = false;
    m_login = 0;
    m_statusReceived = false;
    m_cameraCount = 0;
    m_item->connected = false;
    FreeAssembly();
}

void HPNetServer::FreeAssembly()
{
    for (QByteArray& frame : m_frames)
        frame = QByteArray();
    m_frameFill.fill(0);
    m_audio = QByteArray();
    m_audioFill = 0;
}

int HPNetServer::OnConnectionState(const QByteArray& message)
{
    if (message.size() < 4 || Byte(message, 0) != 1)
        return 0;
    if (Byte(message, 2) == 255) {
        m_hub.RemoveServer(this); // destroys this client
        return 1;
    }
    if (Byte(message, 2) == 0 && Byte(message, 3) == 1) {
        m_hub.RemoveServer(this);
        return 1;
    }
    return 0;
}

int HPNetServer::OnPacket(const QByteArray& reply)
{
    if (reply.size() < 12)
        return 0;
    switch (Byte(reply, 6)) {
    case 2: OnLogin(reply); break;
    case 7: OnCameraEvent(reply); break;
    case 17: ToTile(Byte(reply, 8), reply); break;
    case 29: OnModel(reply); break;
    case 32:
    case 33:
        if (Byte(reply, 8) == 99)
            m_hub.Host().ToSearchDialog(reply);
        else
            ToTile(Byte(reply, 8), reply);
        break;
    case 35:
        if (reply.size() >= 34)
            m_eventFlags = qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(reply.constData() + 32));
        m_statusReceived = true;
        break;
    case 34: m_statusReceived = true; break;
    case 41: OnFragment(reply); break;
    case 43: OnClock(reply); break;
    case 47: OnCameraNames(reply); break;
    case 67:
    case 103: {
        int tile = Byte(reply, 8);
        if (tile == 99)
            tile = reply.size() >= 16 ? int(Le32(reply, 12)) : -1;
        ToTile(tile, reply);
        break;
    }
    default: // 5, 16 and the rest are ignored
        break;
    }
    return 1;
}

void HPNetServer::ToTile(int tile, const QByteArray& reply)
{
    if (tile >= 0 && tile < 16)
        m_hub.Host().ToTilePlayer(tile, reply);
}

void HPNetServer::OnLogin(const QByteArray& reply)
{
    if (Byte(reply, 7) != 0 || reply.size() < 21) {
        m_login = -1;
        return;
    }
    const qint8 rights = qint8(reply[20]);
    if (rights < 0) {
        m_login = -1;
    } else if ((rights & 0x02) == 0) {
        m_login = -3;
    } else {
        m_login = qMax<int>(1, rights);
        ReqModelInformation();
        ReqRecorderClock();
    }
}

void HPNetServer::OnCameraEvent(const QByteArray& reply)
{
    if (reply.size() < 18)
        return;
    const QString text = QString::fromLatin1(reply.constData() + 14, 4);
    HPItemCamera* camera = Camera(Byte(reply, 12));
    if (camera && text != QLatin1String("NONE"))
        camera->SetEvent(text);
}

void HPNetServer::OnModel(const QByteArray& reply)
{
    // The model id, camera count and codec version end at byte 34.
    if (reply.size() < 35)
        return;
    const int id = Byte(reply, 12);
    if (id < kModelCount) {
        m_modelKind = id;
        if (id == kRetiredModel) {
            Disconnect();
            return;
        }
    } else if (id >= 16 && id <= 95) {
        static constexpr int kVariantKind[5] = {16, 7, 4, 14, 14};
        const int variant = id % 16;
        m_modelKind = variant < 5 ? kVariantKind[variant] : variant;
    } else {
        m_modelKind = id;
    }
    if (reply.size() >= 43)
        m_protocolFlag = Byte(reply, 41) > 1 && Byte(reply, 42) > 52;
    if (m_item->ChildCount() == 0) {
        const int count = Byte(reply, 14);
        if (count >= 1 && count <= kChannels) {
            for (int i = 0; i < count; ++i)
                m_item->Insert(std::make_unique<HPItemCamera>(i));
            m_cameraCount = count;
            m_hub.Host().CamerasCreated(count);
        }
    }
    const quint32 codec = Byte(reply, 32) | Byte(reply, 33) << 8 | quint32(Byte(reply, 34)) << 16;
    m_codecFlag = codec == 0xFFFFFF ? -1 : (codec > 0xA0EF ? 1 : 0);
    if (reply.size() >= 44 && Byte(reply, 43) > 0)
        m_alarmOutputs = Byte(reply, 43);
    ReqCameraNames();
}

void HPNetServer::OnFragment(const QByteArray& reply)
{
    if (reply.size() < 32)
        return;
    const int length = int(Byte(reply, 9) | Byte(reply, 10) << 8 | Byte(reply, 11) << 16);
    const int channel = Byte(reply, 14);
    const quint32 total = Le32(reply, 16);
    const quint32 offset = Le32(reply, 20);
    const int data = length - 32;
    // The fragment must lie inside the reply and inside the announced frame before it is placed.
    if (channel >= kChannels || length > reply.size() || data < 0 || total == 0 || total > quint32(kAssembly)
        || offset > total || quint32(data) > total - offset) {
        qCDebug(lcPlayerPlayback) << "recorder fragment refused" << channel << length << total << offset;
        return;
    }
    const bool audio = Byte(reply, 12) == 1;
    QByteArray& buffer = audio ? m_audio : m_frames[size_t(channel)];
    int& fill = audio ? m_audioFill : m_frameFill[size_t(channel)];
    if (buffer.size() < kAssembly)
        buffer.resize(kAssembly);
    memcpy(buffer.data() + offset, reply.constData() + 32, size_t(data));
    fill = int(offset) + data;
    if (quint32(fill) >= total) {
        fill = 0;
        ++m_assembled;
    }
}

void HPNetServer::OnClock(const QByteArray& reply)
{
    if (reply.size() < 20)
        return;
    const quint32 ymd = Le32(reply, 12);
    const quint32 hms = Le32(reply, 16);
    const QDate date(int(ymd / 10000), int(ymd / 100 % 100), int(ymd % 100));
    const QTime time(int(hms / 10000), int(hms / 100 % 100), int(hms % 100));
    if (!date.isValid() || !time.isValid())
        return;
    m_clock = QDateTime(date, time);
    m_clockDifference = m_now().secsTo(m_clock);
    m_clockValid = true;
}

void HPNetServer::OnCameraNames(const QByteArray& reply)
{
    for (int i = 0; i < m_cameraCount && 12 + 16 * (i + 1) <= reply.size(); ++i) {
        const QByteArray field = reply.mid(12 + 16 * i, 15);
        const int end = field.indexOf('\0');
        if (HPItemCamera* camera = Camera(i))
            camera->Rename(QString::fromLocal8Bit(end < 0 ? field : field.left(end)));
    }
    m_hub.Host().RedrawAllTiles();
    ReqStatus();
}
