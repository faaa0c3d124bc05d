#pragma once
// Reader of the client recording layout for local playback and conversion: the index file's
// header and per-second entries, the block of frame records of one second in the data file, and
// the frames themselves.
//
// Everything read from the files is treated as untrusted: an entry is taken from bytes 8..15
// with the writer's top flag bits cleared, an entry whose first 8 bytes are 0 is empty, entries
// before the header's first-entry position are empty, and a frame is read only when its offset
// and size lie inside the data file and below the frame size cap. Files are opened read-only for
// each read and closed again at once, so a recording on read-only media plays and a recording
// still being written is read as far as it goes.
#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <array>

class QFile;

// One minute of the day in the index: present when its bit is set in the hour's minute mask.
struct LocalMinute
{
    bool present = false;
    quint8 tag = 255;
    qint64 offset = -1; // index file position of the minute's first entry
};

// The minutes of a day and the recording's first and last time (HHMMSS, -1 unset).
struct LocalMinuteTable
{
    static constexpr int kMinutes = 24 * 60;
    std::array<LocalMinute, kMinutes> minutes;
    qint64 firstEntryPos = 0;
    int firstTime = -1;
    int lastTime = -1;

    // False for a position outside the day.
    bool IsPresent(int hour, int minute) const;
    // The first present minute with data, in hour then minute order; false when there is none.
    bool FirstPresent(int& hour, int& minute) const;
};

// One frame record of a second's block.
struct LocalFrameEntry
{
    qint64 dataOffset = -1;
    int size = 0;
    bool key = false; // frame type 1
    int frameType = 0;
    quint32 kept[3] = {}; // words 7, 8 and the low 24 bits of word 9: the last key frame
    quint64 timeStamp = 0;
    int date = 0; // YYYYMMDD from the time stamp
    int time = 0; // HHMMSS from the time stamp
};

class LocalRecordReader
{
public:
    static constexpr int kHeaderSize = 512;
    static constexpr int kEntrySize = 16;
    static constexpr int kRecordSize = 336;
    static constexpr int kRecordsPerSecond = 40;
    static constexpr int kSecondBlockSize = kRecordSize * kRecordsPerSecond;
    static constexpr int kMarker = 511;
    static constexpr int kSecondsPerDay = 86400;
    // No recorder frame comes near this; a larger size is a damaged record.
    static constexpr int kMaxFrameSize = 8 * 1024 * 1024;

    // The 0-based channel of a data file name ("h" ... three digits of the 1-based channel), -1
    // when the name is refused.
    static int ChannelOfDataFile(const QString& fileName);
    static QString IndexFileName(const QString& dataFile) { return QLatin1Char('i') + dataFile; }

    void SetFiles(const QString& folder, const QString& dataFile);
    QString DataPath() const;
    QString IndexPath() const;

    // The index file's first 512 bytes; false (header untouched) for a file that cannot be read or
    // holds 512 bytes or less.
    bool ReadHeader(QByteArray& header) const;

    // Builds the minute table from a 512-byte header; false for any other length.
    static bool BuildMinuteTable(const QByteArray& header, int tag, LocalMinuteTable& table);

    // The data file offset of the frame block of one second, -1 when the second has no entry
    // (absent minute, before the first entry, past the end of the index, empty, unreadable).
    qint64 ReadEntry(const LocalMinuteTable& table, int hour, int minute, int second) const;
    // Decodes one 16-byte entry; -1 when it is empty.
    static qint64 EntryOffset(const QByteArray& entry);

    // Up to 40 records at the offset, fewer at the end of the file; empty past the end.
    QByteArray ReadRecords(qint64 offset) const;
    // The frame records of a second in order, up to the first record without the marker.
    static QVector<LocalFrameEntry> ParseRecords(const QByteArray& records);
    // The frame's bytes; empty when the record points outside the file or the read falls short.
    QByteArray ReadFrame(const LocalFrameEntry& entry) const;
    // The same through `data`, kept open between calls by a reader of many frames: opened on the
    // data file when it is closed or open on another file.
    QByteArray ReadFrame(const LocalFrameEntry& entry, QFile& data) const;

private:
    QString m_folder;
    QString m_dataFile;
};
