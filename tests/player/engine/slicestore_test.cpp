// The per-context store of the last whole payload: kept up to its capacity, a larger or empty
// payload empties it (a cut payload replayed before the next frame would be half a picture).
#include "engine/slicestore.h"

#include <gtest/gtest.h>

#include <vector>

TEST(SliceStore, KeepsWholePayloadsAndEmptiesOnOnesItCannotHold)
{
    struct Case
    {
        const char* what;
        int length;
        bool nullData;
        int keptAfter; // the store's length afterwards (it held 16 bytes before)
    };
    const Case cases[] = {
        {"one byte", 1, false, 1},
        {"exactly the capacity", kSliceStoreCapacity, false, kSliceStoreCapacity},
        {"one byte over the capacity", kSliceStoreCapacity + 1, false, 0},
        {"far over the capacity", 4 * kSliceStoreCapacity, false, 0},
        {"empty", 0, false, 0},
        {"negative", -5, false, 0},
        {"no data", 100, true, 0},
    };
    std::vector<uint8_t> payload(size_t(4 * kSliceStoreCapacity));
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = uint8_t(i * 7 + 3);
    const std::vector<uint8_t> before(16, 0xAB);
    for (const Case& c : cases) {
        SliceStore store;
        store.Keep(before.data(), int(before.size()));
        ASSERT_EQ(store.Length(), 16);
        store.Keep(c.nullData ? nullptr : payload.data(), c.length);
        EXPECT_EQ(store.Length(), c.keptAfter) << c.what;
        EXPECT_EQ(store.IsEmpty(), c.keptAfter == 0) << c.what;
        if (c.keptAfter > 0) {
            EXPECT_TRUE(std::equal(payload.begin(), payload.begin() + c.keptAfter, store.Data())) << c.what;
        }
    }
}
