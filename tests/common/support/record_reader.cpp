#include "common/support/record_reader.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <vector>

namespace recordtest {

namespace {

quint32 U32(const QByteArray& b, qint64 pos)
{
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData()) + pos;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

quint64 U64(const QByteArray& b, qint64 pos)
{
    return quint64(U32(b, pos)) | (quint64(U32(b, pos + 4)) << 32);
}

bool AllZero(const QByteArray& b, qint64 from, qint64 to)
{
    for (qint64 i = from; i < to; ++i)
        if (b.at(int(i)) != 0)
            return false;
    return true;
}

QByteArray ReadWhole(const QString& path, bool* ok)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *ok = false;
        return {};
    }
    return f.readAll();
}

} // namespace

bool RecordReader::Open(const QString& indexPath, const QString& videoPath)
{
    bool ok = true;
    m_index = ReadWhole(indexPath, &ok);
    m_video = ReadWhole(videoPath, &ok);
    return ok;
}

IndexHeader RecordReader::Header() const
{
    IndexHeader h;
    if (m_index.size() < 512)
        return h;
    h.format = U32(m_index, 0);
    h.firstEntryPos = U32(m_index, 8);
    h.hourMask = U32(m_index, 16);
    for (int i = 0; i < 24; ++i) {
        h.minuteMask[i] = U64(m_index, 24 + 8 * i);
        h.eventMask[i] = U64(m_index, 224 + 8 * i);
    }
    h.reservedZero = U32(m_index, 4) == 0 && U32(m_index, 12) == 0 && U32(m_index, 20) == 0
                     && AllZero(m_index, 216, 224) && AllZero(m_index, 416, 512);
    return h;
}

IndexEntry RecordReader::Entry(int second) const
{
    IndexEntry e;
    const qint64 pos = 512 + 16 * qint64(second);
    if (second < 0 || pos + 16 > m_index.size())
        return e;
    e.present = true;
    e.offset64 = U64(m_index, pos);
    e.low = U32(m_index, pos + 8);
    e.high = U32(m_index, pos + 12);
    e.offset = U64(m_index, pos + 8) & ((quint64(1) << 61) - 1);
    e.empty = e.offset64 == 0;
    return e;
}

QVector<FrameHeader> RecordReader::Block(quint64 offset) const
{
    // Gathered in a std::vector: GCC 12 mistakes QVector::append of this struct for an overflow.
    std::vector<FrameHeader> out;
    for (int i = 0; i < 40; ++i) {
        const qint64 pos = qint64(offset) + 336 * i;
        if (pos + 336 > m_video.size() || U32(m_video, pos) != 511)
            break;
        FrameHeader h;
        h.marker = U32(m_video, pos);
        const quint32 w1 = U32(m_video, pos + 4);
        h.channel = int(w1 & 0x1F);
        h.word1Reserved = (w1 >> 5) & 0xF;
        h.size = w1 >> 9;
        const quint32 w2 = U32(m_video, pos + 8);
        h.slotFlag = (w2 >> 24) & 1;
        h.notKey = (w2 >> 27) & 1;
        h.word2Reserved = w2 & ~((1u << 24) | (1u << 27));
        h.word3 = U32(m_video, pos + 12);
        const quint32 w4 = U32(m_video, pos + 16);
        h.frameType = int((w4 >> 1) & 3);
        h.kindBase = w4 & ~6u;
        h.dataOffset = U64(m_video, pos + 20);
        h.lastKeyOffset = qint64(U64(m_video, pos + 28));
        const quint32 w9 = U32(m_video, pos + 36);
        h.lastKeySize = w9 & 0xFFFFFF;
        h.markerZero = (w9 >> 25) & 1;
        h.word9Reserved = w9 & ~(0xFFFFFFu | (1u << 25));
        h.word10 = U32(m_video, pos + 40);
        const quint64 ts = U64(m_video, pos + 44);
        h.tsReserved = quint32(ts & 0x3FF);
        h.second = int((ts >> 10) & 0x1FFFF);
        h.day = int((ts >> 27) & 0x1F);
        h.month = int((ts >> 32) & 0xF);
        h.year = int(ts >> 36);
        h.word13 = U32(m_video, pos + 52);
        h.tailZero = AllZero(m_video, pos + 56, pos + 336);
        out.push_back(h);
    }
    return QVector<FrameHeader>(out.begin(), out.end());
}

QByteArray RecordReader::FrameData(const FrameHeader& h) const
{
    if (h.dataOffset + h.size > quint64(m_video.size()))
        return {};
    return m_video.mid(int(h.dataOffset), int(h.size));
}

QString FindFile(const QString& folder, const QString& pattern)
{
    const QRegularExpression name(pattern);
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (name.match(it.fileName()).hasMatch())
            return it.filePath();
    }
    return QString();
}

} // namespace recordtest
