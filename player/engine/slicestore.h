#pragma once
// Per decoder context, the payload of the last frame that began with a four-byte start code and
// decoded well: replayed before a frame that does not carry its own parameter sets.
#include <cstdint>
#include <vector>

constexpr int kSliceStoreCapacity = 1024000;

class SliceStore
{
public:
    // Keeps a copy; a payload larger than the store empties it instead.
    void Keep(const uint8_t* data, int length);
    void Empty() { m_length = 0; }
    bool IsEmpty() const { return m_length == 0; }
    const uint8_t* Data() const { return m_data.data(); }
    int Length() const { return m_length; }

private:
    std::vector<uint8_t> m_data;
    int m_length = 0;
};
