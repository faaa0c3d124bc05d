#include "engine/ownbitreader.h"

void OwnBitReader::Reset(const uint8_t* data, int length)
{
    m_data = data;
    m_bitLength = data && length > 0 ? int64_t(length) * 8 : 0;
    m_position = 0;
}

int OwnBitReader::Bit(int64_t position) const
{
    if (position < 0 || position >= m_bitLength)
        return 0;
    return (m_data[position >> 3] >> (7 - (position & 7))) & 1;
}

uint32_t OwnBitReader::Peek(int bits) const
{
    uint32_t value = 0;
    for (int i = 0; i < bits; ++i)
        value = (value << 1) | uint32_t(Bit(m_position + i));
    return value;
}

uint32_t OwnBitReader::Read(int bits)
{
    const uint32_t value = Peek(bits);
    m_position += bits;
    return value;
}

void OwnBitReader::Skip(int bits)
{
    m_position += bits;
}

bool OwnBitReader::FindStartCode()
{
    int zeros = 0;
    while (m_position < m_bitLength) {
        const int bit = Bit(m_position++);
        if (bit == 0) {
            ++zeros;
        } else if (zeros >= 16) {
            return true;
        } else {
            zeros = 0;
        }
    }
    return false;
}
