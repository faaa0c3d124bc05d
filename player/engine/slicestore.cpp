#include "engine/slicestore.h"

#include <cstring>

void SliceStore::Keep(const uint8_t* data, int length)
{
    // A frame larger than the store is not kept: replaying a cut payload would feed the decoder
    // half a picture.
    if (!data || length <= 0 || length > kSliceStoreCapacity) {
        m_length = 0;
        return;
    }
    if (m_data.size() < size_t(kSliceStoreCapacity))
        m_data.resize(size_t(kSliceStoreCapacity));
    std::memcpy(m_data.data(), data, size_t(length));
    m_length = length;
}
