#include "console/mirelreceiver.h"

#include "console/consolelog.h"

#include <algorithm>
#include <cstring>

bool MirelReceiver::Feed(const char* data, int size, const Deliver& deliver)
{
    if (m_broken)
        return false;
    int at = 0;
    while (at < size) {
        const int want = (m_expected ? m_expected : kPrefix) - m_received;
        const int take = std::min(want, size - at);
        std::memcpy(m_buffer.data() + m_received, data + at, size_t(take));
        m_received += take;
        at += take;
        if (!m_expected) {
            if (m_received < kPrefix)
                break;
            if (!TakePrefix()) {
                m_broken = true;
                return false;
            }
        }
        if (m_received == m_expected)
            Finish(deliver);
    }
    return true;
}

void MirelReceiver::Reset()
{
    m_received = 0;
    m_expected = 0;
    m_broken = false;
}

bool MirelReceiver::TakePrefix()
{
    const auto* p = reinterpret_cast<const unsigned char*>(m_buffer.constData());
    const quint64 total = ((quint64(p[0]) << 24) | (quint64(p[1]) << 16) | (quint64(p[2]) << 8) | p[3]) + 4;
    const bool message = p[5] == 0xA1;
    const quint64 least = message ? 12 : kPrefix;
    if (total < least || total > quint64(kBufferSize)) {
        qCWarning(lcConsole) << "console live connection: message of" << total << "bytes (kind" << p[5]
                             << ") cannot be framed; closing";
        return false;
    }
    m_expected = int(total);
    if (m_buffer.size() < m_expected)
        m_buffer.resize(m_expected);
    return true;
}

void MirelReceiver::Finish(const Deliver& deliver)
{
    const auto* p = reinterpret_cast<const unsigned char*>(m_buffer.constData());
    const int length = m_expected;
    m_received = 0;
    m_expected = 0;
    switch (p[5]) {
    case 0xA1:
        if (deliver)
            deliver(p, length);
        break;
    case 0x01: qCDebug(lcConsole) << "==================================Net Alive:" << length; break;
    case 0x11:
        qCDebug(lcConsole) << "==================================Net Closed:" << (length > 7 ? int(p[7]) : -1);
        break;
    default:
        qCDebug(lcConsole) << "==================================Net Unknown:" << p[5] << ", size=" << length;
        break;
    }
}
