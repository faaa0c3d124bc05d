#pragma once
// A small reader of the client recording layout for the writer's tests. It decodes the index
// file and the frame-header blocks field by field from the layout tables, on its own, so that a
// writer fault shows up as a disagreement.
#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

namespace recordtest {

struct IndexHeader
{
    quint32 format = 0;
    quint32 firstEntryPos = 0;
    quint32 hourMask = 0;
    quint64 minuteMask[24] = {};
    quint64 eventMask[24] = {};
    bool reservedZero = false; // bytes 4-7, 12-15, 20-23, 216-223, 416-511
};

struct IndexEntry
{
    bool present = false; // the entry lies inside the file
    bool empty = true;    // its first 8 bytes are 0
    quint64 offset64 = 0; // bytes 0-7
    quint32 low = 0;      // bytes 8-11
    quint32 high = 0;     // bytes 12-15, as stored
    quint64 offset = 0;   // bytes 8-15 with the top three bits cleared
};

struct FrameHeader
{
    quint32 marker = 0;
    int channel = -1;
    quint32 word1Reserved = 0; // bits 5-8
    quint32 size = 0;
    bool slotFlag = false;     // word 2 bit 24
    bool notKey = false;       // word 2 bit 27
    quint32 word2Reserved = 0; // everything else of word 2
    quint32 word3 = 0;
    quint32 kindBase = 0; // word 4 without bits 1-2
    int frameType = -1;   // word 4 bits 1-2
    quint64 dataOffset = 0;
    qint64 lastKeyOffset = 0;
    quint32 lastKeySize = 0; // word 9 bits 0-23
    bool markerZero = false; // word 9 bit 25
    quint32 word9Reserved = 0;
    quint32 word10 = 0;
    quint32 tsReserved = 0; // time stamp bits 0-9
    int second = -1;
    int day = -1;
    int month = -1;
    int year = -1;
    quint32 word13 = 0;
    bool tailZero = false; // bytes 56-335 of the slot
};

class RecordReader
{
public:
    // Reads both files whole.
    bool Open(const QString& indexPath, const QString& videoPath);

    qint64 IndexSize() const { return m_index.size(); }
    qint64 VideoSize() const { return m_video.size(); }
    const QByteArray& IndexBytes() const { return m_index; }
    const QByteArray& VideoBytes() const { return m_video; }

    IndexHeader Header() const;
    IndexEntry Entry(int second) const;
    // The frame headers of the block at offset: 336-byte slots while the slot begins with 511,
    // at most 40.
    QVector<FrameHeader> Block(quint64 offset) const;
    // The frame data a header points at (empty when it lies outside the video file).
    QByteArray FrameData(const FrameHeader& h) const;

private:
    QByteArray m_index;
    QByteArray m_video;
};

// The first file under folder (any depth) whose name matches the pattern; empty when none does.
QString FindFile(const QString& folder, const QString& pattern);

} // namespace recordtest
