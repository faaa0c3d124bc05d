#pragma once
// The block of frame headers that a 16-byte index entry points to: up to 40 headers read as
// 13,440 bytes, 56 bytes apart until a header carries the 336-byte flag (bit 24 of its word at
// 8), 336 bytes apart from then on. A header whose first word is neither 511 nor 497 ends the
// block.
//
// Header words used (little-endian): 0 mark; 4 bits 9..31 the frame's length; 8 flags; 16 frame
// kind (key frame when (kind & 6) == 2; bits 3..7 all zero = no pacing); 20 data offset; 28 the
// GOP's key-frame offset; 36 bits 0..23 the key frame's length; 44 time word (bits 10..26 second
// of the day, 27..31 day of month); 48 date word (bits 0..3 month, 4..15 year); 52 audio format.
//
// The two writers differ: the client's writer stores 64-bit offsets at 20 and 28 (files grow
// past 4 GiB; -1 = no key frame yet) and uses bit 27 of word 8 for its stream kind and bit 25 of
// word 36 for its marker byte; recorder media store 32-bit offsets there, and mark a field with
// bit 27 of word 8 and a key frame also with bit 25 of word 36.
#include <QByteArray>
#include <QtGlobal>

#include <vector>

struct FrameHeader
{
    quint32 mark = 0;
    quint32 lengthWord = 0;
    quint32 flags = 0;
    quint32 kind = 0;
    quint32 audioFormat = 0;
    qint64 dataOffset = -1;
    qint64 keyOffset = -1;
    int dataLength = 0; // bounded: 0 when the header announces more than a frame can hold
    int keyLength = 0;
    bool key = false;
    bool paced = true;
    int fieldBit = 0;
    int secondOfDay = 0;
    int date = 0; // yyyymmdd
    int time = 0; // hhmmss
};

class FrameBlock
{
public:
    static constexpr int kMaxHeaders = 40;
    static constexpr int kShortStride = 56;
    static constexpr int kLongStride = 336;
    static constexpr int kReadSize = kMaxHeaders * kLongStride; // 13,440
    static constexpr quint32 kOrdinary = 511;
    static constexpr quint32 kStepped = 497;
    // A frame record of the video engine holds at most this many bytes.
    static constexpr int kMaxFrameLength = 1240000;

    // Parses the bytes read at a block's offset (fewer than 13,440 at the end of a file).
    static FrameBlock Parse(const QByteArray& bytes, bool clientLayout);
    static FrameHeader ParseHeader(const char* header, bool clientLayout);

    int Count() const { return int(m_headers.size()); }
    const FrameHeader& Header(int index) const { return m_headers.at(size_t(index)); }
    // Header indices of the key frames, in order.
    const std::vector<int>& KeyList() const { return m_keys; }
    int KeyCount() const { return int(m_keys.size()); }
    // The first header's mark (0 for an empty block).
    quint32 Mark() const { return m_headers.empty() ? 0 : m_headers.front().mark; }
    bool Stepped() const { return Mark() == kStepped; }
    // Recorder media: a header of the block marks fields.
    bool FieldMarked() const { return m_fieldMarked; }
    // Position in the key list of the last key frame at or before the header, -1 none.
    int KeyListPosition(int headerIndex) const;

private:
    std::vector<FrameHeader> m_headers;
    std::vector<int> m_keys;
    bool m_fieldMarked = false;
};
