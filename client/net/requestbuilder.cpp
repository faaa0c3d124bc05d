#include "net/requestbuilder.h"

#include "net/listkind.h"
#include "net/netlog.h"

#include <QDebug>
#include <QtEndian>

#include <cstring>

namespace {

// Little-endian writers into an already sized message.
void Put8(QByteArray& message, int at, quint8 value)
{
    message[at] = static_cast<char>(value);
}

void Put16(QByteArray& message, int at, quint16 value)
{
    qToLittleEndian<quint16>(value, message.data() + at);
}

void Put32(QByteArray& message, int at, quint32 value)
{
    qToLittleEndian<quint32>(value, message.data() + at);
}

void Put64(QByteArray& message, int at, quint64 value)
{
    qToLittleEndian<quint64>(value, message.data() + at);
}

void PutBytes(QByteArray& message, int at, const char* data, int length)
{
    if (length > 0)
        std::memcpy(message.data() + at, data, static_cast<size_t>(length));
}

// A record list request: all three lists share one layout and differ in the list kind.
QByteArray RecList(ListKind listKind, int date, int storageSlot)
{
    QByteArray m = RequestBuilder::Compose(CommandCode::ListRequest, 36);
    Put32(m, 12, static_cast<quint32>(storageSlot));
    Put8(m, 16, ListKindByte(listKind));
    Put8(m, 17, static_cast<quint8>(storageSlot & 0xFF));
    Put32(m, 20, static_cast<quint32>(date));
    return m;
}

// The common part of the two index requests: the request's list word at 12, the channel byte at
// 17, the index sub-code at 19 and the value at 20.
QByteArray IndexRequest(quint32 listWord, int channel, quint8 subCode, int value)
{
    QByteArray m = RequestBuilder::Compose(CommandCode::ListRequest, 36);
    Put32(m, 12, listWord);
    Put8(m, 16, ListKindByte(ListKind::IntraIndex));
    Put8(m, 17, static_cast<quint8>(channel));
    Put8(m, 19, subCode);
    Put32(m, 20, static_cast<quint32>(value));
    return m;
}

// One 20-byte backup range at `at`: four dates and times, the channel mask and the audio flag.
void PutBackupRange(QByteArray& message, int at, int startDate, int startTime, int finishDate, int finishTime,
                    quint16 channelMask, quint16 audioFlag)
{
    Put32(message, at, static_cast<quint32>(startDate));
    Put32(message, at + 4, static_cast<quint32>(startTime));
    Put32(message, at + 8, static_cast<quint32>(finishDate));
    Put32(message, at + 12, static_cast<quint32>(finishTime));
    Put16(message, at + 16, channelMask);
    Put16(message, at + 18, audioFlag);
}

bool ValidChannel(int channel, const char* what)
{
    if (channel < 0 || channel > 15) {
        qCWarning(lcNet) << what << "channel out of range:" << channel;
        return false;
    }
    return true;
}

} // namespace

QByteArray RequestBuilder::Compose(CommandCode command, int total, quint8 subCode)
{
    Q_ASSERT(total >= kHeaderSize && total <= kMaxTotal);
    QByteArray m(total, '\0');
    Put8(m, 5, 0xA1);
    Put8(m, 6, CommandByte(command));
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
        qCWarning(lcNet) << "login refused: user and password take" << used << "bytes of the" << kLoginAreaSize
                         << "byte area";
        return QByteArray();
    }
    const int total = 15 + used;
    QByteArray m = Compose(CommandCode::Login, total);
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
    QByteArray m = Compose(CommandCode::ModelInfoRequest, 16);
    Put8(m, 14, 0x03);
    Put8(m, 15, 0x23);
    return m;
}

QByteArray RequestBuilder::CameraTitleRequest()
{
    return Compose(CommandCode::CameraTitleRequest, 12);
}

QByteArray RequestBuilder::PtzInfoRequest(int channel)
{
    QByteArray m = Compose(CommandCode::PtzInfoRequest, 13);
    Put8(m, 12, static_cast<quint8>(channel));
    return m;
}

QByteArray RequestBuilder::PtzListEnd()
{
    return Compose(CommandCode::PtzListEnd, 12);
}

QByteArray RequestBuilder::CameraKindRequest()
{
    return Compose(CommandCode::CameraKinds, 12);
}

QByteArray RequestBuilder::ExtendedStatusPoll()
{
    return Compose(CommandCode::ExtendedStatusPoll, 12);
}

QByteArray RequestBuilder::StatusPoll()
{
    return Compose(CommandCode::StatusPoll, 12);
}

QByteArray RequestBuilder::DiskInfoRequest()
{
    QByteArray m = Compose(CommandCode::DiskInfoRequest, 14);
    Put8(m, 12, 1);
    return m;
}

// ---------------------------------------------------------------------------------------------
// Live video and audio

QByteArray RequestBuilder::LiveStart(int channel, int rate, int mode, bool audio, bool directRate, int streamKind)
{
    if (!ValidChannel(channel, "live start"))
        return QByteArray();
    if (!directRate) {
        switch (mode) {
        case 4:
            mode = 3;
            rate = 1;
            break;
        case 5:
            mode = 3;
            rate = 15;
            break;
        case 6:
            mode = 3;
            rate = 30;
            break;
        case 7:
            mode = 1;
            rate = 1;
            break;
        case 8:
            mode = 1;
            rate = 2;
            break;
        case 9:
            mode = 1;
            rate = 30;
            break;
        default: break;
        }
        if (streamKind == 2 || streamKind == 3) {
            if (mode == 3)
                rate = 1;
            else
                rate = rate < 2 ? 1 : 30;
        }
    }
    QByteArray m = Compose(CommandCode::LiveStart, 24);
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
    QByteArray m = Compose(CommandCode::LiveStop, 16);
    Put16(m, 12, static_cast<quint16>(1u << channel));
    return m;
}

QByteArray RequestBuilder::LiveAudioStart(int cameraMapEntry)
{
    QByteArray m = Compose(CommandCode::LiveAudioStart, 16);
    Put32(m, 12, static_cast<quint32>(cameraMapEntry));
    return m;
}

QByteArray RequestBuilder::LiveAudioStop(int currentAudioChannel)
{
    QByteArray m = Compose(CommandCode::LiveAudioStop, 14);
    Put16(m, 12, static_cast<quint16>(currentAudioChannel));
    return m;
}

QByteArray RequestBuilder::LiveOutput()
{
    QByteArray m = Compose(CommandCode::LiveOutput, 16);
    Put32(m, 12, 0xFFFFFFFFu);
    return m;
}

QByteArray RequestBuilder::LiveOutputChannel(quint8 channel)
{
    QByteArray m = Compose(CommandCode::LiveOutputChannel, 16);
    Put8(m, 12, channel);
    return m;
}

// ---------------------------------------------------------------------------------------------
// Camera, relay, talk-back

QByteArray RequestBuilder::PtzControl(quint8 channel, quint8 code, quint8 speed, int preset)
{
    QByteArray m = Compose(CommandCode::PtzControl, 18);
    Put8(m, 12, channel);
    Put8(m, 13, code);
    Put8(m, 14, speed);
    const quint8 low = static_cast<quint8>(preset & 0xFF);
    Put8(m, 15, low);
    Put8(m, 16, low);
    Put8(m, 17, low);
    return m;
}

QByteArray RequestBuilder::RelayControl(int relay, int state)
{
    QByteArray m = Compose(CommandCode::RelayControl, 14);
    Put8(m, 12, static_cast<quint8>(relay));
    Put8(m, 13, static_cast<quint8>(state));
    return m;
}

QByteArray RequestBuilder::TalkStart()
{
    return Compose(CommandCode::TalkStart, 12);
}

QByteArray RequestBuilder::TalkStop()
{
    return Compose(CommandCode::TalkStop, 12);
}

QByteArray RequestBuilder::TalkAudio(const char* data, int length)
{
    if (length < 0 || length > kMaxTotal - 40 || (length > 0 && !data)) {
        qCWarning(lcNet) << "talk audio refused: length" << length;
        return QByteArray();
    }
    QByteArray m = Compose(CommandCode::MediaFrame, 40 + length);
    Put8(m, 12, 'P');
    Put32(m, 16, static_cast<quint32>(length));
    PutBytes(m, 40, data, length);
    return m;
}

QByteArray RequestBuilder::CameraTitle(int channel, const QString& title)
{
    const QByteArray t = title.toUtf8();
    if (t.size() > kTitleAreaSize) {
        qCWarning(lcNet) << "camera title refused:" << t.size() << "bytes, the area holds" << kTitleAreaSize;
        return QByteArray();
    }
    QByteArray m = Compose(CommandCode::CameraTitle, 16 + t.size());
    Put8(m, 12, static_cast<quint8>(channel));
    Put8(m, 13, static_cast<quint8>(t.size()));
    Put8(m, 14, 1);
    PutBytes(m, 16, t.constData(), t.size());
    return m;
}

// ---------------------------------------------------------------------------------------------
// Record lists and key-frame index

QByteArray RequestBuilder::TimeRecList(int date, int storageSlot)
{
    return RecList(ListKind::TimeList, date, storageSlot);
}

QByteArray RequestBuilder::EventRecList(int date, int storageSlot, bool eventListCapability)
{
    return RecList(eventListCapability ? ListKind::ExtendedEventList : ListKind::EventList, date, storageSlot);
}

QByteArray RequestBuilder::AudioRecList(int date, int storageSlot)
{
    return RecList(ListKind::AudioList, date, storageSlot);
}

quint8 RequestBuilder::IndexSubCode(int slot, quint8 stream, bool dualStream, quint8 secondStreamSelection,
                                    int channelCount)
{
    if (dualStream && stream == 1 && secondStreamSelection != 0)
        return static_cast<quint8>(slot + 1 + channelCount);
    return 0;
}

QByteArray RequestBuilder::IntraHeaderRequest(int value, int slot, int channel, int offset, int size,
                                              quint8 stream, bool dualStream, quint8 secondStreamSelection,
                                              int channelCount)
{
    // A list word of channel + 10 tells the recorder (and its answer) that the header is meant.
    QByteArray m = IndexRequest(static_cast<quint32>(channel + 10), channel,
                                IndexSubCode(slot, stream, dualStream, secondStreamSelection, channelCount),
                                value);
    Put32(m, 24, static_cast<quint32>(offset));
    Put32(m, 28, static_cast<quint32>(offset));
    Put32(m, 32, static_cast<quint32>(size));
    return m;
}

QByteArray RequestBuilder::IntraIndexRequest(int date, int slot, int channel, quint8 stream, bool dualStream,
                                             quint8 secondStreamSelection, int channelCount)
{
    QByteArray m = IndexRequest(static_cast<quint32>(channel), channel,
                                IndexSubCode(slot, stream, dualStream, secondStreamSelection, channelCount), date);
    Put32(m, 32, 512);
    return m;
}

// ---------------------------------------------------------------------------------------------
// Playback

QList<QByteArray> RequestBuilder::FrameRequest(int slot, quint8 kind, qint64 offset, int size)
{
    QList<QByteArray> out;
    if (slot < 0 || slot + 100 > 0xFF || offset < 0 || size < 0) {
        qCWarning(lcNet) << "frame request refused: slot" << slot << "offset" << offset << "size" << size;
        return out;
    }
    const int pieces = size <= kFramePieceSize ? 1 : (size + kFramePieceSize - 1) / kFramePieceSize;
    int piece = 0;
    while (piece < pieces) {
        const int inMessage = qMin(kMaxFramePieces, pieces - piece);
        QByteArray m = Compose(CommandCode::FrameRequest, kHeaderSize + kFramePieceEntrySize * inMessage,
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
        qCWarning(lcNet) << "frame list request refused: count" << count;
        return out;
    }
    for (int first = 0; first < count; first += kMaxFramePieces) {
        const int inMessage = qMin(kMaxFramePieces, count - first);
        QByteArray m = Compose(CommandCode::FrameRequest, kHeaderSize + kFramePieceEntrySize * inMessage, 200);
        PutBytes(m, kHeaderSize, entries + first * kFramePieceEntrySize, inMessage * kFramePieceEntrySize);
        out.append(m);
    }
    return out;
}

QByteArray RequestBuilder::PlaybackRate(int value)
{
    QByteArray m = Compose(CommandCode::PlaybackRate, 20);
    Put32(m, 12, static_cast<quint32>(value));
    return m;
}

QByteArray RequestBuilder::PlaybackCtrlExt(quint8 requestType, quint8 tag, quint16 playMode, quint8 speed,
                                           quint8 audioChannel, quint16 channelMask, int date, int time,
                                           quint8 frameRate, bool longForm)
{
    QByteArray m = Compose(CommandCode::PlaybackCtrlExt, longForm ? 36 : 32);
    Put8(m, 12, requestType);
    Put8(m, 13, tag);
    Put16(m, 14, playMode);
    Put8(m, 16, speed);
    Put8(m, 17, audioChannel);
    Put16(m, 18, channelMask);
    Put32(m, 20, static_cast<quint32>(date));
    Put32(m, 24, static_cast<quint32>(time));
    Put8(m, 28, frameRate);
    Put8(m, 29, 2);
    if (longForm)
        Put16(m, 34, channelMask);
    return m;
}

// ---------------------------------------------------------------------------------------------
// Remote console

QByteArray RequestBuilder::ConsoleLock(int lockCode)
{
    const quint8 sub = lockCode == 1 ? 1 : (lockCode == 2 ? 2 : 0);
    return Compose(CommandCode::ConsoleLock, 16, sub);
}

QByteArray RequestBuilder::MousePos(int x, int y, int button, quint8 flag)
{
    QByteArray m = Compose(CommandCode::MousePos, 20);
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
    QByteArray m = Compose(CommandCode::ConsoleMode, 16);
    Put8(m, 12, mode);
    return m;
}

QByteArray RequestBuilder::ConsoleDataRequest()
{
    return Compose(CommandCode::ConsoleDataRequest, 16);
}

// ---------------------------------------------------------------------------------------------
// Recorder-side media backup

QByteArray RequestBuilder::CDMediaCheck(quint8 mediaKind)
{
    QByteArray m = Compose(CommandCode::CDMediaCheck, 13);
    Put8(m, 12, mediaKind);
    return m;
}

QByteArray RequestBuilder::CDBackupPrepare(quint8 discNumber, quint8 mediaKind)
{
    QByteArray m = Compose(CommandCode::CDBackupPrepare, 14);
    Put8(m, 12, discNumber);
    Put8(m, 13, mediaKind);
    return m;
}

QByteArray RequestBuilder::CDBackupStop(quint8 mediaKind)
{
    QByteArray m = Compose(CommandCode::CDBackupStop, 13);
    Put8(m, 12, mediaKind);
    return m;
}

QByteArray RequestBuilder::CDBackupClose()
{
    return Compose(CommandCode::CDBackupClose, 12);
}

QByteArray RequestBuilder::BackupCapaRequest(int startDate, int startTime, int finishDate, int finishTime,
                                             quint16 channelMask, quint16 audioFlag)
{
    QByteArray m = Compose(CommandCode::BackupCapaRequest, 32);
    PutBackupRange(m, 12, startDate, startTime, finishDate, finishTime, channelMask, audioFlag);
    return m;
}

QByteArray RequestBuilder::CDBackupStart(int startDate, int startTime, int finishDate, int finishTime,
                                         quint16 channelMask, quint16 audioFlag, quint8 mediaKind)
{
    QByteArray m = Compose(CommandCode::CDBackupStart, 33);
    PutBackupRange(m, 12, startDate, startTime, finishDate, finishTime, channelMask, audioFlag);
    Put8(m, 32, mediaKind);
    return m;
}

QByteArray RequestBuilder::CDMediaErase(quint8 mediaKind)
{
    QByteArray m = Compose(CommandCode::CDMediaErase, 13);
    Put8(m, 12, mediaKind);
    return m;
}

QByteArray RequestBuilder::CDListBackupStart(const QVector<ListBackupEntry>& list, quint8 mediaKind)
{
    if (list.size() > kMaxListBackupEntries) {
        qCWarning(lcNet) << "list backup refused:" << list.size() << "entries, at most" << kMaxListBackupEntries;
        return QByteArray();
    }
    const int count = list.size();
    QByteArray m = Compose(CommandCode::CDListBackupStart, 20 * (count + 1));
    Put8(m, 12, mediaKind);
    Put32(m, 16, static_cast<quint32>(count));
    for (int k = 0; k < count; ++k) {
        // The whole range goes out: a copy of only the first 16 bytes would lose the channel mask.
        const ListBackupEntry& e = list[k];
        PutBackupRange(m, 20 + 20 * k, e.startDate, e.startTime, e.finishDate, e.finishTime, e.channelMask,
                       e.audioFlag);
    }
    return m;
}

// ---------------------------------------------------------------------------------------------
// File transfer

QByteArray RequestBuilder::FileBegin(int kind, const QByteArray& name, int size)
{
    if (name.size() > 0xFF) {
        qCWarning(lcNet) << "file begin refused: name of" << name.size() << "bytes";
        return QByteArray();
    }
    QByteArray m = Compose(CommandCode::FileBegin, 22 + name.size());
    Put32(m, 12, static_cast<quint32>(kind));
    Put32(m, 16, static_cast<quint32>(size));
    Put8(m, 20, static_cast<quint8>(name.size()));
    PutBytes(m, 21, name.constData(), name.size()); // the zero terminator is already there
    return m;
}

QByteArray RequestBuilder::FileEnd(int kind)
{
    QByteArray m = Compose(CommandCode::FileEnd, 17);
    Put32(m, 12, static_cast<quint32>(kind));
    Put8(m, 16, 1);
    return m;
}

QByteArray RequestBuilder::FileStat(int kind, quint16 crc, int size)
{
    QByteArray m = Compose(CommandCode::FileStat, 22);
    Put32(m, 12, static_cast<quint32>(kind));
    Put32(m, 16, static_cast<quint32>(size));
    Put16(m, 20, crc);
    return m;
}

QByteArray RequestBuilder::ReqFileData(int kind, int offset, int size)
{
    QByteArray m = Compose(CommandCode::FileDataRequest, 24);
    Put32(m, 12, static_cast<quint32>(kind));
    Put32(m, 16, static_cast<quint32>(offset));
    Put32(m, 20, static_cast<quint32>(size));
    return m;
}

QByteArray RequestBuilder::FileData(int kind, int offset, const char* data, int length)
{
    if (length < 0 || length > kMaxTotal - 20 || (length > 0 && !data)) {
        qCWarning(lcNet) << "file block refused: length" << length;
        return QByteArray();
    }
    QByteArray m = Compose(CommandCode::FileData, 20 + length);
    Put32(m, 12, static_cast<quint32>(kind));
    Put32(m, 16, static_cast<quint32>(offset));
    PutBytes(m, 20, data, length);
    return m;
}

QByteArray RequestBuilder::ConfigAction()
{
    QByteArray m = Compose(CommandCode::ConfigAction, 16);
    Put8(m, 12, 0x03);
    Put8(m, 13, 0x01);
    Put8(m, 14, 0x01);
    return m;
}
