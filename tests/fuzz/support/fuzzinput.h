#pragma once
// Reads a fuzz input front to back: single bytes, little-endian words and runs of bytes. Reading
// past the end gives zeros and empty runs, so a target never has to check what is left before
// it takes a field.
#include <QByteArray>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size);

    bool AtEnd() const { return m_at >= m_size; }
    int Remaining() const { return int(m_size - m_at); }

    quint8 Byte();
    quint16 Word16();
    quint32 Word32();
    // The next `count` bytes, fewer at the end of the input.
    QByteArray Take(int count);
    // What is left.
    QByteArray Rest();

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};
