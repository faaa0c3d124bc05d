#pragma once
// Gathers sound bytes of a session's audio threads and hands them on in blocks: a block that
// would not fit flushes what is held first, and a block larger than the whole buffer goes in
// buffer-sized pieces, so nothing is written past the buffer or lost.
#include <functional>
#include <vector>

class SoundGatherer
{
public:
    using Flush = std::function<void(const char* data, int bytes)>;

    explicit SoundGatherer(int capacity);
    int Count() const { return m_count; }
    int Capacity() const { return int(m_buffer.size()); }
    char* Data() { return m_buffer.data(); }
    void Append(const char* data, int bytes, const Flush& flush);
    // Removes the first n bytes.
    void Consume(int n);

private:
    std::vector<char> m_buffer;
    int m_count = 0;
};
