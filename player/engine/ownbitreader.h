#pragma once
// Most-significant-bit-first reader over one frame of the engine's own decoder. Reading past
// the frame gives zero bits and marks the reader exhausted; it never reads outside the frame.
#include <cstdint>

class OwnBitReader
{
public:
    void Reset(const uint8_t* data, int length);
    // Up to 32 bits, not consumed.
    uint32_t Peek(int bits) const;
    uint32_t Read(int bits);
    void Skip(int bits);
    // Moves past the next 16 zero bits followed by a 1, one bit at a time; false at the end.
    bool FindStartCode();
    bool Exhausted() const { return m_position > m_bitLength; }
    int64_t Position() const { return m_position; }

private:
    int Bit(int64_t position) const;

    const uint8_t* m_data = nullptr;
    int64_t m_bitLength = 0;
    int64_t m_position = 0;
};
