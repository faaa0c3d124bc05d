#include "fuzz/support/fuzzinput.h"

#include <algorithm>

FuzzInput::FuzzInput(const uint8_t* data, size_t size)
    : m_data(data)
    , m_size(data ? size : 0)
{}

quint8 FuzzInput::Byte()
{
    return AtEnd() ? quint8(0) : quint8(m_data[m_at++]);
}

quint16 FuzzInput::Word16()
{
    const quint16 low = Byte();
    return quint16(low | (quint16(Byte()) << 8));
}

quint32 FuzzInput::Word32()
{
    const quint32 low = Word16();
    return low | (quint32(Word16()) << 16);
}

QByteArray FuzzInput::Take(int count)
{
    const int n = std::clamp(count, 0, Remaining());
    QByteArray bytes(reinterpret_cast<const char*>(m_data + m_at), n);
    m_at += size_t(n);
    return bytes;
}

QByteArray FuzzInput::Rest()
{
    return Take(Remaining());
}
