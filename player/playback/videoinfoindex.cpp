#include "playback/videoinfoindex.h"

#include <QFile>

namespace {

constexpr int kFileRecordHead = 20;
constexpr int kKeyEntry = 12;
constexpr int kMinHeader = 68; // up to the entry count, plus the closing length word

bool Fits(const QByteArray& b, qint64 at, qint64 count)
{
    return at >= 0 && count >= 0 && at + count <= b.size();
}

} // namespace

quint64 VideoInfoIndex::ReadLittleEndian64(const char* bytes, int count)
{
    quint64 v = 0;
    for (int i = qBound(0, count, 8) - 1; i >= 0; --i)
        v = (v << 8) | quint8(bytes[i]);
    return v;
}

quint32 VideoInfoIndex::ReadLittleEndian32(const char* bytes, int count)
{
    return quint32(ReadLittleEndian64(bytes, qBound(0, count, 4)));
}

bool VideoInfoIndex::ParseIndexHeader(const QByteArray& index, VideoInfoHeader& header)
{
    const char* b = index.constData();
    if (index.size() < kMinHeader)
        return false;
    const quint32 length = ReadLittleEndian32(b + index.size() - 4, 4);
    if (length < quint32(kMinHeader) || length > quint32(index.size()))
        return false;
    const int at = index.size() - int(length);
    const char* h = b + at;
    if (ReadLittleEndian32(h, 4) != 0xFFFFFFFFu)
        return false;
    header.year = int(ReadLittleEndian32(h + 4, 2));
    header.month = quint8(h[6]);
    header.day = quint8(h[7]);
    if (header.year == 0 || header.month == 0 || header.day == 0)
        return false;
    header.hour = quint8(h[8]);
    header.minute = quint8(h[9]);
    header.second = quint8(h[10]);
    header.typeS = h[11] != 0;
    header.layout = int(ReadLittleEndian32(h + 12, 2));
    if (header.layout <= 400)
        return false;
    header.channelIndex = int(ReadLittleEndian32(h + 16, 4));
    header.text = QByteArray(h + 20, 20);
    header.text.truncate(int(qstrnlen(header.text.constData(), 20)));
    header.frames = ReadLittleEndian32(h + 44, 4);
    header.fiftyFields = h[52] != 0;
    header.value53 = quint8(h[53]);
    header.longEntries = ReadLittleEndian32(h + 54, 2) == 1;
    const int entrySize = header.longEntries ? 28 : 16;
    const quint32 count = qMin<quint32>(ReadLittleEndian32(h + 60, 4), quint32(kMaxFileEntries));
    if (64 + qint64(count) * entrySize + 4 > qint64(length))
        return false;
    header.fileRecordOffsets.clear();
    for (quint32 i = 0; i < count; ++i) {
        const char* e = h + 64 + i * entrySize;
        header.fileRecordOffsets.append(ReadLittleEndian32(e + entrySize - 4, 4));
    }
    return true;
}

bool VideoInfoIndex::ParseFrameRecords(const QByteArray& index, quint32 begin, quint32 end, int frameCount,
                                       QVector<VideoInfoFrame>& frames)
{
    if (end > quint32(index.size()) || begin > end || frameCount < 0)
        return false;
    frames.clear();
    const char* b = index.constData();
    qint64 at = begin;
    int emptyFrames = 0;
    while (frames.size() < frameCount) {
        if (at + 2 > qint64(end))
            return false;
        const quint32 word = ReadLittleEndian32(b + at, 2);
        if (word > 0x7FFF) {
            // A run of frames without data: two bytes.
            const int run = int(word - 0x8000);
            emptyFrames += run;
            if (run > frameCount - frames.size() || emptyFrames > kMaxEmptyFrames)
                return false;
            for (int i = 0; i < run; ++i)
                frames.append(VideoInfoFrame());
            at += 2;
            continue;
        }
        if (at + 6 > qint64(end))
            return false;
        VideoInfoFrame f;
        f.length = int(ReadLittleEndian32(b + at + 2, 3)) * 2;
        const quint8 code = quint8(b[at + 5]);
        f.key = (code & 0x80) != 0;
        f.code = code & 0x7F;
        at += 6;
        if (code == 0xFF || code == 0x7F) {
            if (at + 2 > qint64(end))
                return false;
            f.code = int(ReadLittleEndian32(b + at, 2));
            at += 2;
        }
        frames.append(f);
    }
    return true;
}

bool VideoInfoIndex::ParseFileRecord(const QByteArray& index, quint32 offset, quint32 recordsBegin,
                                     VideoInfoFile& file)
{
    if (!Fits(index, offset, kFileRecordHead))
        return false;
    const char* r = index.constData() + offset;
    if (ReadLittleEndian32(r, 4) != 0xFFFFFFFFu)
        return false;
    file.dataLength = ReadLittleEndian32(r + 8, 4);
    file.recordSize = int(ReadLittleEndian32(r + 12, 2));
    file.frameCount = int(ReadLittleEndian32(r + 14, 2));
    file.lastCode = quint8(r[16]);
    const int keys = int(ReadLittleEndian32(r + 18, 2));
    if (file.recordSize < kFileRecordHead + kKeyEntry * keys || !Fits(index, offset, file.recordSize))
        return false;
    file.keys.clear();
    for (int i = 0; i < keys; ++i) {
        const char* e = r + kFileRecordHead + kKeyEntry * i;
        file.keys.append({int(ReadLittleEndian32(e, 2)), int(ReadLittleEndian32(e + 2, 2))});
    }
    if (!ParseFrameRecords(index, recordsBegin, offset, file.frameCount, file.frames))
        return false;
    for (const VideoInfoKeyEntry& k : file.keys) {
        if (k.frame >= 0 && k.frame < file.frames.size())
            file.frames[k.frame].key = true;
    }
    return true;
}

bool VideoInfoIndex::Parse(const QByteArray& index, VideoInfoHeader& header, QVector<VideoInfoFile>& files)
{
    if (!ParseIndexHeader(index, header))
        return false;
    files.clear();
    quint32 begin = 0;
    qint64 dataOffset = 0;
    for (quint32 offset : header.fileRecordOffsets) {
        VideoInfoFile file;
        if (offset < begin || !ParseFileRecord(index, offset, begin, file))
            return false;
        for (VideoInfoFrame& f : file.frames) {
            f.offset = dataOffset;
            dataOffset += f.length;
        }
        begin = offset + quint32(file.recordSize);
        files.append(file);
    }
    return true;
}

bool VideoInfoIndex::Read(const QString& indexPath, VideoInfoHeader& header, QVector<VideoInfoFile>& files)
{
    QFile index(indexPath);
    if (!index.open(QIODevice::ReadOnly) || index.size() > kMaxIndexBytes)
        return false;
    return Parse(index.readAll(), header, files);
}
