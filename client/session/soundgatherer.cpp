#include "session/soundgatherer.h"

#include <algorithm>
#include <cstring>

SoundGatherer::SoundGatherer(int capacity)
    : m_buffer(size_t(std::max(capacity, 1)), 0)
{}

void SoundGatherer::Append(const char* data, int bytes, const Flush& flush)
{
    while (bytes > 0) {
        if (m_count + bytes > Capacity()) {
            if (m_count > 0)
                flush(m_buffer.data(), m_count);
            m_count = 0;
        }
        const int piece = std::min(bytes, Capacity() - m_count);
        std::memcpy(m_buffer.data() + m_count, data, size_t(piece));
        m_count += piece;
        data += piece;
        bytes -= piece;
    }
}

void SoundGatherer::Consume(int n)
{
    n = std::clamp(n, 0, m_count);
    std::memmove(m_buffer.data(), m_buffer.data() + n, size_t(m_count - n));
    m_count -= n;
}
