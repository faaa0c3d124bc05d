#pragma once
// Reads a recording of the client recording layout the way a one-cell local-file grid plays it,
// without a screen: the index header's minute table, then second by second the index entry,
// the block of frame records and the frames themselves. Every offset and size from the files is
// checked against the file before it is used; what does not fit is passed over.
//
// A recording is a pair of files in one folder: the data file "h<hhmmss>.<ccc>" and the index
// file "i" + that name.
#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <array>

class LocalRecordingReader
{
public:
    static constexpr int kHeaderSize = 512;
    static constexpr int kEntrySize = 16;
    static constexpr int kRecordSize = 336;
    static constexpr int kRecordsPerSecond = 40;
    static constexpr quint32 kRecordMarker = 511;
    static constexpr int kMinutesPerDay = 24 * 60;
    static constexpr int kSecondsPerDay = 86400;

    struct Frame
    {
        QByteArray data;
        bool key = false;      // the second's key frame (the last record of frame type 1)
        quint64 timestamp = 0; // the record's packed time stamp
        int date = 0;          // YYYYMMDD
        int time = 0;          // HHMMSS
    };

    // Only a name that begins with "h" and whose index file is longer than its header opens.
    bool Open(const QString& folder, const QString& fileName);

    // The channel from the name's last three characters (1-based in the name), -1 when unknown.
    int Channel() const { return m_channel; }
    // HHMMSS of the first and last recorded minute, -1 when none.
    int StartTime() const { return m_startTime; }
    int EndTime() const { return m_endTime; }
    // Second of the day of the first recorded minute (second 0 of it), -1 when none.
    int FirstSecond() const { return m_firstSecond; }
    bool MinutePresent(int minuteOfDay) const;

    // The frames of one second of the day, in order; empty when that second holds none.
    QVector<Frame> ReadSecond(int secondOfDay) const;

private:
    struct Minute
    {
        bool present = false;
        qint64 offset = -1; // of the minute's first index entry
    };
    struct Record
    {
        qint64 dataOffset = 0;
        qint64 size = 0;
        int frameType = 0;
        quint64 timestamp = 0;
    };

    void BuildMinuteTable(const QByteArray& header);
    qint64 EntryOffset(int secondOfDay) const;
    QVector<Record> ReadRecords(qint64 offset) const;

    QString m_indexPath;
    QString m_dataPath;
    int m_channel = -1;
    int m_startTime = -1;
    int m_endTime = -1;
    int m_firstSecond = -1;
    std::array<Minute, kMinutesPerDay> m_minutes{};
};
