#include "console/mirelframegatherer.h"

#include "console/consolelog.h"

#include <algorithm>

namespace {

qint32 Le32(const unsigned char* p)
{
    return qint32(quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24));
}

} // namespace

std::optional<MirelAVFrame> MirelFrameGatherer::Take(const unsigned char* message, int length)
{
    if (length < kMinMessage)
        return std::nullopt;
    if (!IsOpen() && !Open(message))
        return std::nullopt;
    const int from = (m_frame.flags & 0xC0) ? 40 : 32;
    const qint64 held = qint64(m_frame.payload->size()) + (length - from);
    if (held > m_frame.payloadSize) {
        qCDebug(lcConsole) << "live frame of channel" << m_frame.channel << "grew past its" << m_frame.payloadSize
                           << "bytes; dropped";
        m_frame = MirelAVFrame();
        return std::nullopt;
    }
    m_frame.payload->append(reinterpret_cast<const char*>(message) + from, length - from);
    if (m_frame.payload->size() != m_frame.payloadSize)
        return std::nullopt;
    MirelAVFrame whole = m_frame;
    m_frame = MirelAVFrame();
    return whole;
}

bool MirelFrameGatherer::Open(const unsigned char* message)
{
    // A stream joined in the middle of a frame waits for the next frame start.
    if (!(message[12] & 0x11))
        return false;
    const qint32 size = Le32(message + 16);
    if (size <= 0 || size > kMaxPayload) {
        qCDebug(lcConsole) << "live frame announcing" << size << "bytes ignored";
        return false;
    }
    MirelAVFrame& frame = m_frame;
    frame.payload->clear();
    frame.flags = message[12];
    frame.channel = message[14];
    frame.frameType = message[15];
    frame.byte37 = message[37];
    frame.value24 = Le32(message + 24);
    frame.value28 = Le32(message + 28);
    frame.payloadSize = size;
    if (frame.flags & 0x40)
        frame.stamp = Le32(message + 32);
    else
        frame.stamp = quint16(quint16(message[32]) | (quint16(message[33]) << 8));
    // Room for the usual frame at once; a larger one grows as its pieces arrive.
    frame.payload->reserve(std::min(size, 256 * 1024));
    return true;
}
