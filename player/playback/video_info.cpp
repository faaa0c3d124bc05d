#include "playback/video_info.h"

#include "playback/playbacklog.h"

#include <QFile>

#include <cstring>

namespace {

constexpr int kFrameRecord = 6;
constexpr int kFileRecordHead = 20;
constexpr int kKeyEntry = 12;

quint32 Le(const QByteArray& b, int at, int count)
{
    quint32 v = 0;
    for (int i = count - 1; i >= 0; --i)
        v = (v << 8) | quint8(b.at(at + i));
    return v;
}

void PutLe(QByteArray& b, int at, quint32 value, int count)
{
    for (int i = 0; i < count; ++i)
        b[at + i] = char((value >> (8 * i)) & 0xFF);
}

// The parts of a name text "yyyymmddhhmmss" + type letter; false when it is not one.
bool NameDigits(const QString& name, int (&fields)[6])
{
    if (name.size() < 15)
        return false;
    for (int i = 0; i < 14; ++i) {
        if (name.at(i) < QLatin1Char('0') || name.at(i) > QLatin1Char('9'))
            return false;
    }
    const int widths[6] = {4, 2, 2, 2, 2, 2};
    int at = 0;
    for (int i = 0; i < 6; ++i) {
        fields[i] = name.mid(at, widths[i]).toInt();
        at += widths[i];
    }
    return true;
}

// The tail of an index written by this class: where its file record begins, how many frames
// and key entries it holds. False when the index is not one we wrote whole.
struct Tail
{
    int recordOffset = 0;
    int frames = 0;
    int keys = 0;
};

bool ReadTail(const QByteArray& index, Tail& tail)
{
    const int size = index.size();
    if (size < kFrameRecord + kFileRecordHead + Video_Info::kHeaderLength)
        return false;
    const int headerAt = size - Video_Info::kHeaderLength;
    if (Le(index, size - 4, 4) != quint32(Video_Info::kHeaderLength) || Le(index, headerAt, 4) != 0xFFFFFFFFu)
        return false;
    const quint32 recordOffset = Le(index, size - 8, 4);
    if (recordOffset > quint32(headerAt - kFileRecordHead) || Le(index, int(recordOffset), 4) != 0xFFFFFFFFu)
        return false;
    const int at = int(recordOffset);
    const int recordSize = int(Le(index, at + 12, 2));
    const int frames = int(Le(index, at + 14, 2));
    const int keys = int(Le(index, at + 18, 2));
    if (recordSize != kFileRecordHead + kKeyEntry * keys || at + recordSize != headerAt
        || frames * kFrameRecord != at)
        return false;
    tail.recordOffset = at;
    tail.frames = frames;
    tail.keys = keys;
    return true;
}

QByteArray NewHeader(const int (&fields)[6], const QString& nameText, int channel, const QByteArray& text,
                     int byte53, int flag52)
{
    QByteArray h(Video_Info::kHeaderLength, '\0');
    PutLe(h, 0, 0xFFFFFFFFu, 4);
    PutLe(h, 4, quint32(fields[0]), 2);
    for (int i = 1; i < 6; ++i)
        h[5 + i] = char(fields[i]);
    const bool typeS = nameText.at(14) == QLatin1Char('s') || nameText.at(0) == QLatin1Char('S');
    h[11] = typeS ? 1 : 0;
    PutLe(h, 12, 401, 2);
    PutLe(h, 14, 240, 2);
    PutLe(h, 16, quint32(channel - 1), 4);
    std::memcpy(h.data() + 20, text.constData(), size_t(qMin(20, text.size())));
    h[52] = char(flag52);
    h[53] = char(byte53);
    PutLe(h, 60, 1, 4);
    PutLe(h, 80, quint32(Video_Info::kHeaderLength), 4);
    return h;
}

} // namespace

int Video_Info::FrameChannel(const char* frame)
{
    const quint16 word = quint16((quint8(frame[2]) << 8) | quint8(frame[3]));
    return int((word >> 11) & 0x1F) - 15;
}

bool Video_Info::StartsGroup(const char* frame)
{
    return (quint8(frame[2]) & 0x02) != 0; // bit 0x200 of the big-endian word
}

QString Video_Info::DataFileName(const QString& nameText, int channel)
{
    int fields[6];
    if (!NameDigits(nameText, fields))
        return QString();
    return nameText.right(1) + nameText.mid(8, 6) + QStringLiteral(".%1").arg(channel, 3, 10, QLatin1Char('0'));
}

QString Video_Info::IndexFileName(const QString& nameText, int channel)
{
    const QString data = DataFileName(nameText, channel);
    return data.isEmpty() ? QString() : QLatin1Char('i') + data;
}

int Video_Info::WriteFrame(const QString& folder, const QString& nameText, const QByteArray& headerText,
                           const char* frame, int frameLength, int frameCode, int headerByte53, int headerFlag52)
{
    int fields[6];
    if (!frame || frameLength < 4 || frameLength > kMaxFrameLength || !NameDigits(nameText, fields))
        return -1;
    const int channel = FrameChannel(frame);
    if (channel < 1 || channel > 16)
        return -1;
    m_dataPath = folder + DataFileName(nameText, channel);
    m_indexPath = folder + IndexFileName(nameText, channel);

    // The index first: a full or foreign index refuses the frame before any byte is appended.
    QFile index(m_indexPath);
    if (!index.open(QIODevice::ReadWrite)) {
        qCDebug(lcPlayerPlayback) << "Can not open file" << m_indexPath;
        return -1;
    }
    const QByteArray old = index.readAll();
    Tail tail;
    if (!old.isEmpty() && !ReadTail(old, tail)) {
        qCWarning(lcPlayerPlayback) << "index not in the writer's layout" << m_indexPath;
        return -1;
    }
    if (tail.frames >= kMaxFrames) {
        qCDebug(lcPlayerPlayback) << "GOP==true" << m_indexPath;
        return -1;
    }

    const int stored = frameLength + (frameLength & 1);
    QFile data(m_dataPath);
    if (!data.open(QIODevice::ReadWrite | QIODevice::Append)) {
        qCDebug(lcPlayerPlayback) << "Can not open file" << m_dataPath;
        return -1;
    }
    const qint64 dataSize = data.size();
    QByteArray bytes(frame, frameLength);
    if (stored != frameLength)
        bytes.append('\0');
    if (data.write(bytes) != bytes.size() || !data.flush()) {
        data.resize(dataSize);
        return -1;
    }

    const int code = qBound(0, frameCode, kMaxFrameCode);
    const bool group = old.isEmpty() || StartsGroup(frame);
    const int frameNumber = tail.frames;
    const int keys = old.isEmpty() ? 1 : tail.keys + (group ? 1 : 0);
    const int recordAt = kFrameRecord * (frameNumber + 1);
    const int recordSize = kFileRecordHead + kKeyEntry * keys;

    QByteArray out;
    out.reserve(kFrameRecord + recordSize + kHeaderLength);
    QByteArray record(kFrameRecord, '\0');
    PutLe(record, 0, quint32(stored / 2), 2);
    PutLe(record, 2, quint32(stored / 2), 3);
    record[5] = char(code);
    out += record;

    QByteArray fileRecord(recordSize, '\0');
    PutLe(fileRecord, 0, 0xFFFFFFFFu, 4);
    const quint32 total = old.isEmpty() ? 0 : Le(old, tail.recordOffset + 8, 4);
    PutLe(fileRecord, 8, total + quint32(stored), 4);
    PutLe(fileRecord, 12, quint32(recordSize), 2);
    PutLe(fileRecord, 14, quint32(frameNumber + 1), 2);
    fileRecord[16] = char(code);
    PutLe(fileRecord, 18, quint32(keys), 2);
    if (!old.isEmpty())
        fileRecord.replace(kFileRecordHead, kKeyEntry * tail.keys,
                           old.mid(tail.recordOffset + kFileRecordHead, kKeyEntry * tail.keys));
    if (group) {
        const int at = kFileRecordHead + kKeyEntry * (keys - 1);
        PutLe(fileRecord, at, quint32(frameNumber), 2);
        PutLe(fileRecord, at + 2, quint32(kFrameRecord * frameNumber) & 0xFFFF, 2);
    }
    out += fileRecord;

    QByteArray header = old.isEmpty()
                            ? NewHeader(fields, nameText, channel, headerText, headerByte53, headerFlag52)
                            : old.right(kHeaderLength);
    PutLe(header, 44, quint32(frameNumber + 1), 4);
    PutLe(header, 48, quint32(frameNumber + 1), 4);
    PutLe(header, 76, quint32(recordAt), 4);
    out += header;

    // Only the tail from the old file record on is rewritten; on a failure the old tail goes
    // back and the appended frame is taken off again, so both files stay as they were.
    if (!index.seek(tail.recordOffset) || index.write(out) != out.size() || !index.flush()) {
        qCWarning(lcPlayerPlayback) << "cannot write index" << m_indexPath;
        if (index.seek(tail.recordOffset))
            index.write(old.mid(tail.recordOffset));
        index.resize(old.size());
        data.resize(dataSize);
        return -1;
    }
    return 0;
}
