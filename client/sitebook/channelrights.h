#pragma once
#include <array>

// A recorder right over its sixteen channels as a mask (bit n for channel n + 1), and as the
// sixteen channel boxes of the permission dialog.
class ChannelRights
{
public:
    static constexpr int kChannels = 16;
    static constexpr int kAll = 0xFFFF;
    using Checks = std::array<bool, kChannels>;

    static Checks ChecksOf(int mask);
    static int MaskOf(const Checks& checks);
    // The "ALL" box: checked only when every one of the sixteen bits is set.
    static bool IsAll(int mask) { return (mask & kAll) == kAll; }
};
