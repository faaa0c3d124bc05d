#pragma once
// A recorder in the site tree; its children are its cameras.
#include <array>

#include "playback/hpitemcommon.h"

class HPItemDVR : public HPItemCommon
{
public:
    explicit HPItemDVR(QString name)
        : HPItemCommon(kRecorder, std::move(name))
    {}

    bool connected = false;
    std::array<bool, 16> hidden{};
    // 2 when connected, 3 otherwise.
    int Image() const override { return connected ? 2 : 3; }
};
