#pragma once
// Defaults and small helpers the session's source files share.
#include <QtGlobal>

#include <memory>

#include "common/media/moduledecoder.h"

namespace SessionDefaults {

// The frame rate a channel counts with until the session knows its own.
constexpr int kDefaultRate = 15;
// The period of the playback request and search step timers.
constexpr int kTimerIntervalMs = 10;
// Where a camera sits on its recorder's own e-map until it is placed.
constexpr float kOwnDefaultX = 0.452077f;
constexpr float kOwnDefaultY = 0.262222f;

// Bit `ch` of a channel mask; false for a channel outside the mask.
inline bool Bit(quint32 mask, int ch)
{
    return ch >= 0 && ch < 32 && ((mask >> ch) & 1u) != 0;
}

inline void CloseDecoder(std::unique_ptr<CModuleDecoder>& decoder)
{
    if (decoder)
        decoder->CloseDecoder();
    decoder.reset();
}

} // namespace SessionDefaults
