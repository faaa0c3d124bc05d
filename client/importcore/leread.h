#pragma once
// Little-endian reads from a byte array that never leave it: a value that does not fit in the
// bytes left reads as 0, so a short record or sector yields zeros instead of reading past its end.
#include <QByteArray>
#include <QtEndian>
#include <cstring>

namespace leread {

// True when `count` bytes starting at `offset` lie inside `bytes`.
inline bool Fits(const QByteArray& bytes, quint64 offset, quint64 count)
{
    return offset <= quint64(bytes.size()) && count <= quint64(bytes.size()) - offset;
}

template <typename T>
T Value(const QByteArray& bytes, quint64 offset)
{
    if (!Fits(bytes, offset, sizeof(T)))
        return T(0);
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

inline quint8 U8(const QByteArray& bytes, quint64 offset)
{
    return Value<quint8>(bytes, offset);
}
inline quint16 U16(const QByteArray& bytes, quint64 offset)
{
    return Value<quint16>(bytes, offset);
}
inline quint32 U32(const QByteArray& bytes, quint64 offset)
{
    return Value<quint32>(bytes, offset);
}
inline quint64 U64(const QByteArray& bytes, quint64 offset)
{
    return Value<quint64>(bytes, offset);
}
inline double F64(const QByteArray& bytes, quint64 offset)
{
    const quint64 raw = U64(bytes, offset);
    double value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

} // namespace leread
