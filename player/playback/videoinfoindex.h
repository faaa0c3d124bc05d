#pragma once
// Reader of the player's own recording index (the layout Video_Info writes): finds the header
// through the file's last word, reads at most 100 file entries, each entry's file record with
// its key-frame table, and the frame records before it. Every count and offset is checked
// against the bytes; a damaged index is refused, never read past its end. Frames without data
// cost two bytes per run in the file but an entry each in memory, so a file may declare at most
// kMaxEmptyFrames of them (what one recording holds at most); more is refused as damaged rather
// than allocated.
#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

struct VideoInfoFrame
{
    int length = 0;    // bytes in the data file (0 for a frame without data)
    int code = 0;      // frame code value
    bool key = false;  // key-frame mark of the code byte
    qint64 offset = 0; // offset in the data file
};

struct VideoInfoKeyEntry
{
    int frame = 0;
    int recordOffset = 0;
};

struct VideoInfoFile
{
    quint32 dataLength = 0;
    int recordSize = 0;
    int frameCount = 0;
    int lastCode = 0;
    QVector<VideoInfoKeyEntry> keys;
    QVector<VideoInfoFrame> frames;
};

struct VideoInfoHeader
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool typeS = false;
    int layout = 0;
    int channelIndex = 0;
    QByteArray text;
    quint32 frames = 0;
    bool fiftyFields = false;
    int value53 = 0;
    bool longEntries = false;
    QVector<quint32> fileRecordOffsets;
};

class VideoInfoIndex
{
public:
    static constexpr int kMaxFileEntries = 100;
    static constexpr int kMaxEmptyFrames = 3000;

    static bool ParseIndexHeader(const QByteArray& index, VideoInfoHeader& header);
    // The file record at offset; its frame records are read from recordsBegin up to offset.
    static bool ParseFileRecord(const QByteArray& index, quint32 offset, quint32 recordsBegin,
                                VideoInfoFile& file);
    // frameCount frames from [begin, end), honouring runs of empty frames and long values.
    static bool ParseFrameRecords(const QByteArray& index, quint32 begin, quint32 end, int frameCount,
                                  QVector<VideoInfoFrame>& frames);
    // The whole index: header and every file (frame offsets continue across files).
    static bool Parse(const QByteArray& index, VideoInfoHeader& header, QVector<VideoInfoFile>& files);
    // An index file read whole and parsed; false when it cannot be read, is larger than
    // kMaxIndexBytes or does not parse.
    static constexpr qint64 kMaxIndexBytes = 64 * 1024 * 1024;
    static bool Read(const QString& indexPath, VideoInfoHeader& header, QVector<VideoInfoFile>& files);
    static quint64 ReadLittleEndian64(const char* bytes, int count);
    static quint32 ReadLittleEndian32(const char* bytes, int count);
};
