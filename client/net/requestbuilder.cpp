#include "net/requestbuilder.h"

#include <QDebug>
#include <QtEndian>

#include <cstring>

namespace {

// Little-endian writers into an already sized message.
void Put8(QByteArray& m, int at, quint8 v)
{
    m[at] = static_cast<char>(v);
}

void Put16(QByteArray& m, int at, quint16 v)
{
    qToLittleEndian<quint16>(v, m.data() + at);
}

void Put32(QByteArray& m, int at, quint32 v)
{
    qToLittleEndian<quint32>(v, m.data() + at);
}

void Put64(QByteArray& m, int at, quint64 v)
{
    qToLittleEndian<quint64>(v, m.data() + at);
}

void PutBytes(QByteArray& m, int at, const char* data, int length)
{
    if (length > 0)
        std::memcpy(m.data() + at, data, static_cast<size_t>(length));
}

// A record list request: all three lists share one layout and differ in the list kind.
QByteArray RecList(quint8 listKind, int value, int index)
{
    QByteArray m = RequestBuilder::Compose(0x20, 36);
    Put32(m, 12, static_cast<quint32>(index));
    Put8(m, 16, listKind);
    Put8(m, 17, static_cast<quint8>(index & 0xFF));
    Put32(m, 20, static_cast<quint32>(value));
    return m;
}

bool ValidChannel(int channel, const char* what)
{
    if (channel < 0 || channel > 15) {
        qWarning() << what << "channel out of range:" << channel;
        return false;
    }
    return true;
}

} // namespace

QByteArray RequestBuilder::Compose(quint8 command, int total, quint8 subCode)
{
    Q_ASSERT(total >= kHeaderSize && total <= kMaxTotal);
    QByteArray m(total, '\0');
    Put8(m, 5, 0xA1);
    Put8(m, 6, command);
    Put32(m, 8, (static_cast<quint32>(total) << 8) | subCode);
    return m;
}

// ---------------------------------------------------------------------------------------------
// Login chain and keep-alive

QByteArray RequestBuilder::Login(const QString& user, const QString& password, bool silent)
{
    // Counts are bytes, so that they always match what is written, whatever the characters.
    const QByteArray u = user.toUtf8();
    const QByteArray p = password.toUtf8();
    const int n = u.size() + p.size();
    static const QByteArray option = QString::asprintf("ev_silent=%d", 1).toLatin1();
    // The option follows one zero byte and ends with its own zero; all of it must fit the area.
    const int used = silent ? n + 1 + option.size() + 1 : n;
    if (used > kLoginAreaSize) {
        qWarning() << "login refused: user and password take" << used << "bytes of the"
                   << kLoginAreaSize << "byte area";
        return QByteArray();
    }
    const int total = 15 + used;
    QByteArray m = Compose(0x01, total);
    Put8(m, 13, static_cast<quint8>(u.size()));
    Put8(m, 14, static_cast<quint8>(p.size()));
    PutBytes(m, 15, u.constData(), u.size());
    PutBytes(m, 15 + u.size(), p.constData(), p.size());
    if (silent)
        PutBytes(m, 16 + n, option.constData(), option.size());
    return m;
}

QByteArray RequestBuilder::ModelInfoRequest()
{
    QByteArray m = Compose(0x1C, 16);
    Put8(m, 14, 0x03);
    Put8(m, 15, 0x23);
    return m;
}

QByteArray RequestBuilder::CameraTitleRequest()
{
    return Compose(0x2E, 12);
}

QByteArray RequestBuilder::PtzInfoRequest(int channel)
{
    QByteArray m = Compose(0x06, 13);
    Put8(m, 12, static_cast<quint8>(channel));
    return m;
}

QByteArray RequestBuilder::PtzListEnd()
{
    return Compose(0x73, 12);
}

QByteArray RequestBuilder::CameraKindRequest()
{
    return Compose(0x99, 12);
}

QByteArray RequestBuilder::ExtendedStatusPoll()
{
    return Compose(0xAE, 12);
}

QByteArray RequestBuilder::StatusPoll()
{
    return Compose(0x22, 12);
}

QByteArray RequestBuilder::DiskInfoRequest()
{
    QByteArray m = Compose(0x47, 14);
    Put8(m, 12, 1);
    return m;
}

// ---------------------------------------------------------------------------------------------
// Live video and audio

QByteArray RequestBuilder::LiveStart(int channel, int rate, int mode, bool audio, bool directRate,
                                     int streamKind)
{
    if (!ValidChannel(channel, "live start"))
        return QByteArray();
    if (!directRate) {
        switch (mode) {
        case 4: mode = 3; rate = 1; break;
        case 5: mode = 3; rate = 15; break;
        case 6: mode = 3; rate = 30; break;
        case 7: mode = 1; rate = 1; break;
        case 8: mode = 1; rate = 2; break;
        case 9: mode = 1; rate = 30; break;
        default: break;
        }
        if (streamKind == 2 || streamKind == 3) {
            if (mode == 3)
                rate = 1;
            else
                rate = rate < 2 ? 1 : 30;
        }
    }
    QByteArray m = Compose(0x87, 24);
    Put16(m, 12, static_cast<quint16>(1u << channel));
    Put8(m, 14, static_cast<quint8>(rate));
    Put8(m, 16, static_cast<quint8>(mode));
    Put8(m, 17, audio ? 0 : 1);
    return m;
}

QByteArray RequestBuilder::LiveStop(int channel)
{
    if (!ValidChannel(channel, "live stop"))
        return QByteArray();
    QByteArray m = Compose(0x04, 16);
    Put16(m, 12, static_cast<quint16>(1u << channel));
    return m;
}

QByteArray RequestBuilder::LiveAudioStart(int cameraMapEntry)
{
    QByteArray m = Compose(0x3D, 16);
    Put32(m, 12, static_cast<quint32>(cameraMapEntry));
    return m;
}

QByteArray RequestBuilder::LiveAudioStop(int currentAudioChannel)
{
    QByteArray m = Compose(0x3E, 14);
    Put16(m, 12, static_cast<quint16>(currentAudioChannel));
    return m;
}

QByteArray RequestBuilder::LiveOutput()
{
    QByteArray m = Compose(0xBC, 16);
    Put32(m, 12, 0xFFFFFFFFu);
    return m;
}

QByteArray RequestBuilder::LiveOutputChannel(quint8 channel)
{
    QByteArray m = Compose(0xBE, 16);
    Put8(m, 12, channel);
    return m;
}

// ---------------------------------------------------------------------------------------------
// Camera, relay, talk-back

QByteArray RequestBuilder::PtzControl(quint8 a, quint8 b, quint8 c, int value)
{
    QByteArray m = Compose(0x08, 18);
    Put8(m, 12, a);
    Put8(m, 13, b);
    Put8(m, 14, c);
    const quint8 low = static_cast<quint8>(value & 0xFF);
    Put8(m, 15, low);
    Put8(m, 16, low);
    Put8(m, 17, low);
    return m;
}

QByteArray RequestBuilder::RelayControl(int relay, int state)
{
    QByteArray m = Compose(0x27, 14);
    Put8(m, 12, static_cast<quint8>(relay));
    Put8(m, 13, static_cast<quint8>(state));
    return m;
}

QByteArray RequestBuilder::TalkStart()
{
    return Compose(0x3F, 12);
}

QByteArray RequestBuilder::TalkStop()
{
    return Compose(0x40, 12);
}

QByteArray RequestBuilder::TalkAudio(const char* data, int length)
{
    if (length < 0 || length > kMaxTotal - 40 || (length > 0 && !data)) {
        qWarning() << "talk audio refused: length" << length;
        return QByteArray();
    }
    QByteArray m = Compose(0x29, 40 + length);
    Put8(m, 12, 'P');
    Put32(m, 16, static_cast<quint32>(length));
    PutBytes(m, 40, data, length);
    return m;
}

QByteArray RequestBuilder::CameraTitle(int channel, const QString& title)
{
    const QByteArray t = title.toUtf8();
    if (t.size() > kTitleAreaSize) {
        qWarning() << "camera title refused:" << t.size() << "bytes, the area holds" << kTitleAreaSize;
        return QByteArray();
    }
    QByteArray m = Compose(0x9C, 16 + t.size());
    Put8(m, 12, static_cast<quint8>(channel));
    Put8(m, 13, static_cast<quint8>(t.size()));
    Put8(m, 14, 1);
    PutBytes(m, 16, t.constData(), t.size());
    return m;
}

// ---------------------------------------------------------------------------------------------
// Record lists and key-frame index

QByteArray RequestBuilder::TimeRecList(int value, int index)
{
    return RecList(0x15, value, index);
}

QByteArray RequestBuilder::EventRecList(int value, int index, bool eventListCapability)
{
    return RecList(eventListCapability ? 0x17 : 0x0B, value, index);
}

QByteArray RequestBuilder::AudioRecList(int value, int index)
{
    return RecList(0x16, value, index);
}

quint8 RequestBuilder::IndexSubCode(int slot, quint8 stream, bool dualStream, quint8 secondStreamSelection,
                                    int channelCount)
{
    if (dualStream && stream == 1 && secondStreamSelection != 0)
        return static_cast<quint8>(slot + 1 + channelCount);
    return 0;
}

QByteArray RequestBuilder::IntraHeaderRequest(int value, int slot, int channel, int a, int b, quint8 stream,
                                              bool dualStream, quint8 secondStreamSelection, int channelCount)
{
    QByteArray m = Compose(0x20, 36);
    Put32(m, 12, static_cast<quint32>(channel + 10));
    Put8(m, 16, 0x12);
    Put8(m, 17, static_cast<quint8>(channel));
    Put8(m, 19, IndexSubCode(slot, stream, dualStream, secondStreamSelection, channelCount));
    Put32(m, 20, static_cast<quint32>(value));
    Put32(m, 24, static_cast<quint32>(a));
    Put32(m, 28, static_cast<quint32>(a));
    Put32(m, 32, static_cast<quint32>(b));
    return m;
}

QByteArray RequestBuilder::IntraIndexRequest(int value, int slot, int channel, quint8 stream, bool dualStream,
                                             quint8 secondStreamSelection, int channelCount)
{
    QByteArray m = Compose(0x20, 36);
    Put32(m, 12, static_cast<quint32>(channel));
    Put8(m, 16, 0x12);
    Put8(m, 17, static_cast<quint8>(channel));
    Put8(m, 19, IndexSubCode(slot, stream, dualStream, secondStreamSelection, channelCount));
    Put32(m, 20, static_cast<quint32>(value));
    Put32(m, 32, 512);
    return m;
}

// ---------------------------------------------------------------------------------------------
// Playback

QList<QByteArray> RequestBuilder::FrameRequest(int slot, quint8 kind, qint64 offset, int size)
{
    QList<QByteArray> out;
    if (slot < 0 || slot + 100 > 0xFF || offset < 0 || size < 0) {
        qWarning() << "frame request refused: slot" << slot << "offset" << offset << "size" << size;
        return out;
    }
    const int pieces = size <= kFramePieceSize ? 1 : (size + kFramePieceSize - 1) / kFramePieceSize;
    int piece = 0;
    while (piece < pieces) {
        const int inMessage = qMin(kMaxFramePieces, pieces - piece);
        QByteArray m = Compose(0x66, kHeaderSize + kFramePieceEntrySize * inMessage,
                               static_cast<quint8>(slot + 100));
        for (int k = 0; k < inMessage; ++k, ++piece) {
            const int start = piece * kFramePieceSize;
            const int length = qMin(kFramePieceSize, size - start);
            const int at = kHeaderSize + k * kFramePieceEntrySize;
            Put32(m, at, static_cast<quint32>(slot));
            // Kind in the low byte, piece length in the upper three bytes.
            Put32(m, at + 4, (static_cast<quint32>(length) << 8) | kind);
            Put64(m, at + 8, static_cast<quint64>(offset + start));
            Put32(m, at + 16, static_cast<quint32>(start));
            Put32(m, at + 20, static_cast<quint32>(size));
        }
        out.append(m);
    }
    return out;
}

QList<QByteArray> RequestBuilder::FrameListRequest(const char* entries, int count)
{
    QList<QByteArray> out;
    if (count < 0 || (count > 0 && !entries)) {
        qWarning() << "frame list request refused: count" << count;
        return out;
    }
    for (int first = 0; first < count; first += kMaxFramePieces) {
        const int inMessage = qMin(kMaxFramePieces, count - first);
        QByteArray m = Compose(0x66, kHeaderSize + kFramePieceEntrySize * inMessage, 200);
        PutBytes(m, kHeaderSize, entries + first * kFramePieceEntrySize, inMessage * kFramePieceEntrySize);
        out.append(m);
    }
    return out;
}

QByteArray RequestBuilder::PlaybackRate(int value)
{
    QByteArray m = Compose(0x8D, 20);
    Put32(m, 12, static_cast<quint32>(value));
    return m;
}

QByteArray RequestBuilder::PlaybackCtrlExt(quint8 a, quint8 b, quint16 c, quint8 d, quint8 e, quint16 f, int g,
                                           int h, quint8 i, bool longForm)
{
    QByteArray m = Compose(0x95, longForm ? 36 : 32);
    Put8(m, 12, a);
    Put8(m, 13, b);
    Put16(m, 14, c);
    Put8(m, 16, d);
    Put8(m, 17, e);
    Put16(m, 18, f);
    Put32(m, 20, static_cast<quint32>(g));
    Put32(m, 24, static_cast<quint32>(h));
    Put8(m, 28, i);
    Put8(m, 29, 2);
    if (longForm)
        Put16(m, 34, f);
    return m;
}

// ---------------------------------------------------------------------------------------------
// Remote console

QByteArray RequestBuilder::ConsoleLock(int v)
{
    const quint8 sub = v == 1 ? 1 : (v == 2 ? 2 : 0);
    return Compose(0x96, 16, sub);
}

QByteArray RequestBuilder::MousePos(int x, int y, int button, quint8 flag)
{
    QByteArray m = Compose(0x9A, 20);
    if (button == -1) {
        Put8(m, 12, 0x00);
        Put8(m, 13, 0xA4);
    } else {
        Put8(m, 12, 0x01);
        Put8(m, 13, 0x00);
    }
    Put8(m, 14, static_cast<quint8>(button & 0xFF));
    Put8(m, 15, flag);
    Put16(m, 16, static_cast<quint16>(x));
    Put16(m, 18, static_cast<quint16>(y));
    return m;
}

QByteArray RequestBuilder::ConsoleMode(quint8 mode)
{
    QByteArray m = Compose(0xA6, 16);
    Put8(m, 12, mode);
    return m;
}

QByteArray RequestBuilder::ConsoleDataRequest()
{
    return Compose(0xA8, 16);
}

// ---------------------------------------------------------------------------------------------
// Recorder-side media backup

QByteArray RequestBuilder::CDMediaCheck(quint8 v)
{
    QByteArray m = Compose(0x35, 13);
    Put8(m, 12, v);
    return m;
}

QByteArray RequestBuilder::CDBackupPrepare(quint8 a, quint8 b)
{
    QByteArray m = Compose(0x37, 14);
    Put8(m, 12, a);
    Put8(m, 13, b);
    return m;
}

QByteArray RequestBuilder::CDBackupStop(quint8 v)
{
    QByteArray m = Compose(0x39, 13);
    Put8(m, 12, v);
    return m;
}

QByteArray RequestBuilder::CDBackupClose()
{
    return Compose(0x3A, 12);
}

QByteArray RequestBuilder::BackupCapaRequest(int a, int b, int c, int d, quint16 e, quint16 f)
{
    QByteArray m = Compose(0x49, 32);
    Put32(m, 12, static_cast<quint32>(a));
    Put32(m, 16, static_cast<quint32>(b));
    Put32(m, 20, static_cast<quint32>(c));
    Put32(m, 24, static_cast<quint32>(d));
    Put16(m, 28, e);
    Put16(m, 30, f);
    return m;
}

QByteArray RequestBuilder::CDBackupStart(int a, int b, int c, int d, quint16 e, quint16 f, quint8 g)
{
    QByteArray m = Compose(0x4B, 33);
    Put32(m, 12, static_cast<quint32>(a));
    Put32(m, 16, static_cast<quint32>(b));
    Put32(m, 20, static_cast<quint32>(c));
    Put32(m, 24, static_cast<quint32>(d));
    Put16(m, 28, e);
    Put16(m, 30, f);
    Put8(m, 32, g);
    return m;
}

QByteArray RequestBuilder::CDMediaErase(quint8 v)
{
    QByteArray m = Compose(0x64, 13);
    Put8(m, 12, v);
    return m;
}

QByteArray RequestBuilder::CDListBackupStart(const QVector<ListBackupEntry>& list, quint8 v)
{
    if (list.size() > kMaxListBackupEntries) {
        qWarning() << "list backup refused:" << list.size() << "entries, at most" << kMaxListBackupEntries;
        return QByteArray();
    }
    const int count = list.size();
    QByteArray m = Compose(0xC0, 20 * (count + 1));
    Put8(m, 12, v);
    Put32(m, 16, static_cast<quint32>(count));
    for (int k = 0; k < count; ++k) {
        const int at = 20 + 20 * k;
        const ListBackupEntry& e = list[k];
        Put32(m, at, static_cast<quint32>(e.startDate));
        Put32(m, at + 4, static_cast<quint32>(e.startTime));
        Put32(m, at + 8, static_cast<quint32>(e.finishDate));
        Put32(m, at + 12, static_cast<quint32>(e.finishTime));
        // The whole range goes out: a copy of only the first 16 bytes would lose the channel mask.
        Put16(m, at + 16, e.channelMask);
        Put16(m, at + 18, e.audioFlag);
    }
    return m;
}

// ---------------------------------------------------------------------------------------------
// File transfer

QByteArray RequestBuilder::FileBegin(int kind, const QByteArray& name, int size)
{
    if (name.size() > 0xFF) {
        qWarning() << "file begin refused: name of" << name.size() << "bytes";
        return QByteArray();
    }
    QByteArray m = Compose(0x0F, 22 + name.size());
    Put32(m, 12, static_cast<quint32>(kind));
    Put32(m, 16, static_cast<quint32>(size));
    Put8(m, 20, static_cast<quint8>(name.size()));
    PutBytes(m, 21, name.constData(), name.size()); // the zero terminator is already there
    return m;
}

QByteArray RequestBuilder::FileEnd(int kind)
{
    QByteArray m = Compose(0x10, 17);
    Put32(m, 12, static_cast<quint32>(kind));
    Put8(m, 16, 1);
    return m;
}

QByteArray RequestBuilder::FileStat(int kind, quint16 crc, int size)
{
    QByteArray m = Compose(0x11, 22);
    Put32(m, 12, static_cast<quint32>(kind));
    Put32(m, 16, static_cast<quint32>(size));
    Put16(m, 20, crc);
    return m;
}

QByteArray RequestBuilder::ReqFileData(int kind, int offset, int size)
{
    QByteArray m = Compose(0x12, 24);
    Put32(m, 12, static_cast<quint32>(kind));
    Put32(m, 16, static_cast<quint32>(offset));
    Put32(m, 20, static_cast<quint32>(size));
    return m;
}

QByteArray RequestBuilder::FileData(int kind, int offset, const char* data, int length)
{
    if (length < 0 || length > kMaxTotal - 20 || (length > 0 && !data)) {
        qWarning() << "file block refused: length" << length;
        return QByteArray();
    }
    QByteArray m = Compose(0x13, 20 + length);
    Put32(m, 12, static_cast<quint32>(kind));
    Put32(m, 16, static_cast<quint32>(offset));
    PutBytes(m, 20, data, length);
    return m;
}

QByteArray RequestBuilder::ConfigAction()
{
    QByteArray m = Compose(0x1A, 16);
    Put8(m, 12, 0x03);
    Put8(m, 13, 0x01);
    Put8(m, 14, 0x01);
    return m;
}
