#pragma once
// The 12-byte header that starts every recorder message in both directions.
//
//  0..3   length of what follows the field (total - 4), big-endian; requests leave it 0 and the
//         send path fills it in
//  4, 5   marker bytes 0x00 0xA1
//  6      command code
//  7      status (0 = success; requests send 0)
//  8      sub-code (channel, kind, lock/unlock ...; 0 where a command has none)
//  9..11  total length including the header, 24-bit little-endian
//
// Every body field after byte 12 is little-endian. The readers below take a message pointer and
// an offset; callers check the offset against the message length first.
#include <QtGlobal>

class RecorderMessageHeader
{
public:
    static constexpr int kSize = 12;
    static constexpr quint8 kMarker1 = 0x00;
    static constexpr quint8 kMarker2 = 0xA1;

    RecorderMessageHeader() = default;
    // A header of a request: length 0, markers, command, status 0, sub-code and total.
    RecorderMessageHeader(quint8 command, quint8 subCode, int total);
    // Copies the first 12 bytes of a message.
    static RecorderMessageHeader FromBytes(const char* message);
    void WriteTo(char* message) const;

    quint32 Length() const;
    bool HasMarker() const;
    quint8 Command() const { return m_raw[6]; }
    quint8 Status() const { return m_raw[7]; }
    quint8 SubCode() const { return m_raw[8]; }
    int Total() const;

    // Field access on a raw message.
    static quint32 ReadLength(const char* message);
    static void WriteLength(char* message, quint32 length);
    static bool HasMarker(const char* message);
    static quint8 ReadCommand(const char* message);
    static quint8 ReadStatus(const char* message);
    static quint8 ReadSubCode(const char* message);
    static int ReadTotal(const char* message);
    // Writes bytes 0..11 of a request (length 0, status 0).
    static void Compose(char* message, quint8 command, quint8 subCode, int total);

    // Little-endian body fields.
    static quint8 U8(const char* message, int offset);
    static qint8 S8(const char* message, int offset);
    static quint16 U16(const char* message, int offset);
    static qint16 S16(const char* message, int offset);
    static quint32 U32(const char* message, int offset);
    static qint32 S32(const char* message, int offset);

private:
    quint8 m_raw[kSize] = {};
};
static_assert(sizeof(RecorderMessageHeader) == RecorderMessageHeader::kSize, "the header is exactly 12 bytes");
