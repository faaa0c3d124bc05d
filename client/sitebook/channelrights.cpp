#include "sitebook/channelrights.h"

ChannelRights::Checks ChannelRights::ChecksOf(int mask)
{
    Checks checks{};
    for (int channel = 0; channel < kChannels; ++channel)
        checks[channel] = (mask >> channel) & 1;
    return checks;
}

int ChannelRights::MaskOf(const Checks& checks)
{
    int mask = 0;
    for (int channel = 0; channel < kChannels; ++channel)
        if (checks[channel])
            mask |= 1 << channel;
    return mask;
}
