#pragma once
// The H.264 decoder library's entry points, looked up by name by the player's video engine.
// A context is 12 32-bit words owned by the caller: the caller sets words 5 and 6 before
// initialising and reads words 2 (width) and 3 (height) after a picture; words 8 and 9 hold the
// library's own state.
#include <cstdint>

#define KRO_H264_EXPORT extern "C" __attribute__((visibility("default")))

// Decode results.
enum {
    kH264DecPicture = 0,    // a picture is in the output, its size in the context
    kH264DecNoPicture = -2, // the data made no picture
    kH264DecBadData = -3,   // the decoder refused the data
    kH264DecTooLarge = -6,  // above 2560 x 1440 or larger than the output
    kH264DecNotReady = -8,  // the context is not initialised
};

// 0 on success.
KRO_H264_EXPORT int KRO_H264_Init(void* context);
// Decodes one Annex B access unit into a 24-bit picture (red, green, blue; rows top-down, packed)
// of at most outputCapacity bytes.
KRO_H264_EXPORT int KRO_H264_Decode(void* context, const uint8_t* data, int length, uint8_t* output,
                                    int outputCapacity);
KRO_H264_EXPORT void KRO_H264_Release(void* context);
