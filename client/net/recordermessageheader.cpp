#include "net/recordermessageheader.h"

#include <QtEndian>
#include <cstring>

RecorderMessageHeader::RecorderMessageHeader(quint8 command, quint8 subCode, int total)
{
    Compose(reinterpret_cast<char*>(m_raw), command, subCode, total);
}

RecorderMessageHeader RecorderMessageHeader::FromBytes(const char* message)
{
    RecorderMessageHeader header;
    std::memcpy(header.m_raw, message, kSize);
    return header;
}

void RecorderMessageHeader::WriteTo(char* message) const
{
    std::memcpy(message, m_raw, kSize);
}

quint32 RecorderMessageHeader::Length() const
{
    return ReadLength(reinterpret_cast<const char*>(m_raw));
}

bool RecorderMessageHeader::HasMarker() const
{
    return HasMarker(reinterpret_cast<const char*>(m_raw));
}

int RecorderMessageHeader::Total() const
{
    return ReadTotal(reinterpret_cast<const char*>(m_raw));
}

quint32 RecorderMessageHeader::ReadLength(const char* message)
{
    return qFromBigEndian<quint32>(message);
}

void RecorderMessageHeader::WriteLength(char* message, quint32 length)
{
    qToBigEndian<quint32>(length, message);
}

bool RecorderMessageHeader::HasMarker(const char* message)
{
    return U8(message, 4) == kMarker1 && U8(message, 5) == kMarker2;
}

quint8 RecorderMessageHeader::ReadCommand(const char* message)
{
    return U8(message, 6);
}

quint8 RecorderMessageHeader::ReadStatus(const char* message)
{
    return U8(message, 7);
}

quint8 RecorderMessageHeader::ReadSubCode(const char* message)
{
    return U8(message, 8);
}

int RecorderMessageHeader::ReadTotal(const char* message)
{
    return int(U32(message, 8) >> 8);
}

void RecorderMessageHeader::Compose(char* message, quint8 command, quint8 subCode, int total)
{
    std::memset(message, 0, kSize);
    qToLittleEndian<quint32>(quint32(command) << 16 | 0xA100u, message + 4);
    qToLittleEndian<quint32>((quint32(total) & 0xFFFFFFu) << 8 | subCode, message + 8);
}

quint8 RecorderMessageHeader::U8(const char* message, int offset)
{
    return static_cast<quint8>(message[offset]);
}

qint8 RecorderMessageHeader::S8(const char* message, int offset)
{
    return static_cast<qint8>(message[offset]);
}

quint16 RecorderMessageHeader::U16(const char* message, int offset)
{
    return qFromLittleEndian<quint16>(message + offset);
}

qint16 RecorderMessageHeader::S16(const char* message, int offset)
{
    return qFromLittleEndian<qint16>(message + offset);
}

quint32 RecorderMessageHeader::U32(const char* message, int offset)
{
    return qFromLittleEndian<quint32>(message + offset);
}

qint32 RecorderMessageHeader::S32(const char* message, int offset)
{
    return qFromLittleEndian<qint32>(message + offset);
}
