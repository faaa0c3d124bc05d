#include "playback/frameblock.h"

#include <QtEndian>

namespace {

quint32 Word(const char* p, int at)
{
    return qFromLittleEndian<quint32>(p + at);
}

int BoundedLength(qint64 length)
{
    return (length > 0 && length <= FrameBlock::kMaxFrameLength) ? int(length) : 0;
}

} // namespace

FrameHeader FrameBlock::ParseHeader(const char* h, bool clientLayout)
{
    FrameHeader f;
    f.mark = Word(h, 0);
    f.lengthWord = Word(h, 4);
    f.flags = Word(h, 8);
    f.kind = Word(h, 16);
    f.audioFormat = Word(h, 52);
    if (clientLayout) {
        f.dataOffset = qFromLittleEndian<qint64>(h + 20);
        f.keyOffset = qFromLittleEndian<qint64>(h + 28);
        f.key = (f.kind & 6) == 2;
    } else {
        f.dataOffset = Word(h, 20);
        f.keyOffset = Word(h, 28);
        f.key = (f.kind & 6) == 2 || (Word(h, 36) & 0x2000000u);
        f.fieldBit = (f.flags & 0x8000000u) ? 1 : 0;
    }
    if (f.dataOffset < 0)
        f.dataOffset = -1;
    if (f.keyOffset < 0)
        f.keyOffset = -1;
    f.paced = (f.kind & 0xF8u) != 0;
    const qint64 length = qint64(f.lengthWord >> 9) + (f.flags & 0x7FFFFFu);
    f.dataLength = BoundedLength(length);
    f.keyLength = BoundedLength(Word(h, 36) & 0xFFFFFFu);

    const quint32 timeWord = Word(h, 44);
    const quint32 dateWord = Word(h, 48);
    f.secondOfDay = int((timeWord >> 10) & 0x1FFFFu);
    if (f.secondOfDay >= 86400)
        f.secondOfDay = 86399;
    f.time = f.secondOfDay / 3600 * 10000 + f.secondOfDay / 60 % 60 * 100 + f.secondOfDay % 60;
    f.date = int((dateWord >> 4) & 0xFFFu) * 10000 + int(dateWord & 0xFu) * 100 + int(timeWord >> 27);
    return f;
}

FrameBlock FrameBlock::Parse(const QByteArray& bytes, bool clientLayout)
{
    FrameBlock block;
    int at = 0;
    int stride = kShortStride;
    while (int(block.m_headers.size()) < kMaxHeaders && at + kShortStride <= bytes.size()) {
        const char* h = bytes.constData() + at;
        const quint32 mark = Word(h, 0);
        if (mark != kOrdinary && mark != kStepped)
            break;
        FrameHeader f = ParseHeader(h, clientLayout);
        if (f.key)
            block.m_keys.push_back(int(block.m_headers.size()));
        if (f.fieldBit)
            block.m_fieldMarked = true;
        if (f.flags & 0x1000000u)
            stride = kLongStride;
        block.m_headers.push_back(f);
        at += stride;
    }
    return block;
}

int FrameBlock::KeyListPosition(int headerIndex) const
{
    int position = -1;
    for (int i = 0; i < int(m_keys.size()) && m_keys[size_t(i)] <= headerIndex; ++i)
        position = i;
    return position;
}
