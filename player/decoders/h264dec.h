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
// of at most outputCapacity bytes. Without an output (null, capacity 0) the picture is decoded
// and kept unconverted for KRO_H264_Planes, so that a caller showing it smaller converts it once
// at the size it shows.
KRO_H264_EXPORT int KRO_H264_Decode(void* context, const uint8_t* data, int length, uint8_t* output,
                                    int outputCapacity);
// The last picture kept by a decode without output: its three planes (luma, then the half-width,
// half-height blue and red chroma planes) and their row strides, valid until the next decode or
// release of the context. 0 for a picture of video range (luma 16..235), 1 for one of full range,
// kH264DecNoPicture when no picture is kept.
KRO_H264_EXPORT int KRO_H264_Planes(void* context, const uint8_t* planes[3], int strides[3]);
// The same picture held for the caller: *hold is set to a handle that keeps the planes valid,
// whatever the context decodes next and after its release, until KRO_H264_ReleasePicture(hold).
// Results as KRO_H264_Planes; *hold is null unless the result is 0 or 1.
KRO_H264_EXPORT int KRO_H264_HoldPlanes(void* context, const uint8_t* planes[3], int strides[3], void** hold);
KRO_H264_EXPORT void KRO_H264_ReleasePicture(void* hold);
KRO_H264_EXPORT void KRO_H264_Release(void* context);
