// The engine's large zeroed buffers: zero whatever their size, and a picture buffer taken again
// after one of its size was written and freed costs no resident memory until it is written.
#include "engine/decoderchain.h"
#include "engine/zeroedbuffer.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// How many bytes of the buffer's pages are resident.
long long ResidentBytesOf(const uint8_t* bytes, size_t size)
{
    const long page = sysconf(_SC_PAGESIZE);
    const uintptr_t first = reinterpret_cast<uintptr_t>(bytes) / uintptr_t(page) * uintptr_t(page);
    const size_t span = reinterpret_cast<uintptr_t>(bytes) + size - first;
    std::vector<unsigned char> resident((span + size_t(page) - 1) / size_t(page));
    if (mincore(reinterpret_cast<void*>(first), span, resident.data()) != 0)
        return -1;
    return std::count_if(resident.begin(), resident.end(), [](unsigned char r) { return r & 1; }) * page;
}

bool AllZero(const uint8_t* bytes, size_t size)
{
    return std::all_of(bytes, bytes + size, [](uint8_t b) { return b == 0; });
}

} // namespace

TEST(ZeroedBuffer, ZeroAtEverySize)
{
    for (const size_t size :
         {size_t(1), size_t(4096), kZeroedBufferMapFrom - 1, kZeroedBufferMapFrom, size_t(kPictureBufferBytes)}) {
        for (int round = 0; round < 2; ++round) {
            ZeroedBuffer buffer = MakeZeroedBuffer(size);
            ASSERT_NE(buffer, nullptr) << size;
            EXPECT_TRUE(AllZero(buffer.get(), size)) << size << " round " << round;
            // Written whole, so that memory given back and taken again shows through if reused.
            std::memset(buffer.get(), 0xA5, size);
        }
    }
}

TEST(ZeroedBuffer, PictureBufferTakenAgainIsNotMadeResident)
{
    const size_t size = size_t(kPictureBufferBytes);
    // A larger block given back (a recording read whole, say) makes the C library keep blocks of
    // the picture buffer's size in its heap from then on.
    {
        std::vector<uint8_t> larger(size_t(20) << 20, 1);
        ASSERT_EQ(larger[size / 2], 1);
    }
    // A tile's buffer written whole and freed, then a new tile's buffer taken.
    {
        ZeroedBuffer written = MakeZeroedBuffer(size);
        ASSERT_NE(written, nullptr);
        std::memset(written.get(), 0x5A, size);
    }
    ZeroedBuffer again = MakeZeroedBuffer(size);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again[0], 0);
    EXPECT_EQ(again[size - 1], 0);
    const long long resident = ResidentBytesOf(again.get(), size);
    ASSERT_GE(resident, 0);
    // Only the pages of the two bytes read may be resident: nothing near the buffer's size.
    EXPECT_LT(resident, 1024 * 1024) << "a " << size << "-byte buffer taken again holds " << resident
                                     << " resident bytes";
}
