#include "h264dec.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include <cstring>
#include <new>

namespace {

constexpr int kMaxWidth = 2560;
constexpr int kMaxHeight = 1440;

struct DecoderState
{
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    AVFrame* kept = nullptr; // the last picture of a decode without output
    SwsContext* scaler = nullptr;

    ~DecoderState()
    {
        sws_freeContext(scaler);
        av_frame_free(&kept);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
    }
};

int32_t* Words(void* context)
{
    return static_cast<int32_t*>(context);
}

DecoderState* StateOf(void* context)
{
    DecoderState* state = nullptr;
    std::memcpy(&state, Words(context) + 8, sizeof(state));
    return state;
}

void SetState(void* context, DecoderState* state)
{
    std::memcpy(Words(context) + 8, &state, sizeof(state));
}

int ConvertFrame(DecoderState& state, uint8_t* output, int outputCapacity, int32_t* words)
{
    const AVFrame* frame = state.frame;
    const int width = frame->width;
    const int height = frame->height;
    if (width <= 0 || height <= 0 || width > kMaxWidth || height > kMaxHeight
        || int64_t(width) * height * 3 > outputCapacity)
        return kH264DecTooLarge;
    state.scaler = sws_getCachedContext(state.scaler, width, height, AVPixelFormat(frame->format), width, height,
                                        AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr);
    if (!state.scaler)
        return kH264DecBadData;
    uint8_t* planes[4] = {output, nullptr, nullptr, nullptr};
    int strides[4] = {width * 3, 0, 0, 0};
    sws_scale(state.scaler, frame->data, frame->linesize, 0, height, planes, strides);
    words[2] = width;
    words[3] = height;
    return kH264DecPicture;
}

// Keeps the picture as decoded; only 4:2:0 pictures of a size the context reports are kept.
int KeepFrame(DecoderState& state, int32_t* words)
{
    const AVFrame* frame = state.frame;
    const int width = frame->width;
    const int height = frame->height;
    av_frame_unref(state.kept);
    if (width <= 0 || height <= 0 || width > kMaxWidth || height > kMaxHeight)
        return kH264DecTooLarge;
    if (frame->format != AV_PIX_FMT_YUV420P && frame->format != AV_PIX_FMT_YUVJ420P)
        return kH264DecBadData;
    if (av_frame_ref(state.kept, frame) < 0)
        return kH264DecBadData;
    words[2] = width;
    words[3] = height;
    return kH264DecPicture;
}

} // namespace

int KRO_H264_Init(void* context)
{
    if (!context)
        return -1;
    if (StateOf(context))
        KRO_H264_Release(context);
    // A damaged recording is the engine's to report, not a stream of lines on the terminal.
    av_log_set_level(AV_LOG_FATAL);
    const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_H264);
    if (!decoder)
        return -1;
    auto* state = new (std::nothrow) DecoderState;
    if (!state)
        return -1;
    state->codec = avcodec_alloc_context3(decoder);
    state->packet = av_packet_alloc();
    state->frame = av_frame_alloc();
    state->kept = av_frame_alloc();
    if (!state->codec || !state->packet || !state->frame || !state->kept) {
        delete state;
        return -1;
    }
    // One picture out for each access unit in: no frame threads, no reordering delay.
    state->codec->thread_count = 1;
    state->codec->flags |= AV_CODEC_FLAG_LOW_DELAY;
    if (avcodec_open2(state->codec, decoder, nullptr) < 0) {
        delete state;
        return -1;
    }
    SetState(context, state);
    Words(context)[2] = 0;
    Words(context)[3] = 0;
    return 0;
}

int KRO_H264_Decode(void* context, const uint8_t* data, int length, uint8_t* output, int outputCapacity)
{
    if (!context)
        return kH264DecNotReady;
    DecoderState* state = StateOf(context);
    if (!state)
        return kH264DecNotReady;
    const bool keep = !output && outputCapacity == 0;
    if (!data || length <= 0 || (!keep && (!output || outputCapacity <= 0)))
        return kH264DecBadData;
    // A kept picture never outlives the next decode, whatever it makes.
    av_frame_unref(state->kept);
    if (av_new_packet(state->packet, length) < 0)
        return kH264DecBadData;
    std::memcpy(state->packet->data, data, size_t(length));
    const int sent = avcodec_send_packet(state->codec, state->packet);
    av_packet_unref(state->packet);
    if (sent < 0 && sent != AVERROR(EAGAIN))
        return kH264DecBadData;
    int result = kH264DecNoPicture;
    // Take every picture the unit made; the last one is the one shown.
    while (avcodec_receive_frame(state->codec, state->frame) == 0) {
        result = keep ? KeepFrame(*state, Words(context))
                      : ConvertFrame(*state, output, outputCapacity, Words(context));
        av_frame_unref(state->frame);
    }
    return result;
}

int KRO_H264_Planes(void* context, const uint8_t* planes[3], int strides[3])
{
    DecoderState* state = context ? StateOf(context) : nullptr;
    if (!state)
        return kH264DecNotReady;
    if (!planes || !strides || !state->kept->data[0])
        return kH264DecNoPicture;
    for (int plane = 0; plane < 3; ++plane) {
        planes[plane] = state->kept->data[plane];
        strides[plane] = state->kept->linesize[plane];
    }
    // The range as the conversion to 24 bits reads it: from the pixel format alone.
    return state->kept->format == AV_PIX_FMT_YUVJ420P ? 1 : 0;
}

int KRO_H264_HoldPlanes(void* context, const uint8_t* planes[3], int strides[3], void** hold)
{
    if (!hold)
        return kH264DecNoPicture;
    *hold = nullptr;
    const int range = KRO_H264_Planes(context, planes, strides);
    if (range != 0 && range != 1)
        return range;
    // A new reference to the decoder's buffers: the decoder never writes into a buffer someone
    // else references, and its pool lets go of a buffer only when the last reference does.
    AVFrame* held = av_frame_clone(StateOf(context)->kept);
    if (!held)
        return kH264DecNoPicture;
    for (int plane = 0; plane < 3; ++plane) {
        planes[plane] = held->data[plane];
        strides[plane] = held->linesize[plane];
    }
    *hold = held;
    return range;
}

void KRO_H264_ReleasePicture(void* hold)
{
    auto* held = static_cast<AVFrame*>(hold);
    av_frame_free(&held);
}

void KRO_H264_Release(void* context)
{
    if (!context)
        return;
    delete StateOf(context);
    SetState(context, nullptr);
}
