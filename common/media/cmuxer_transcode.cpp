// The re-encode of CMuxer: decode a recorded picture, burn text in through filter graphs and
// encode it again as H.264.
#include "common/media/cmuxer.h"

#include "common/commonlog.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <cstring>
#include <memory>
#include <vector>

namespace {

QString FfmpegError(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return QString::fromUtf8(text);
}

struct FrameDeleter
{
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;

struct PacketDeleter
{
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;

struct InOutDeleter
{
    void operator()(AVFilterInOut* inOut) const { avfilter_inout_free(&inOut); }
};
using InOutPtr = std::unique_ptr<AVFilterInOut, InOutDeleter>;

// A graph was built for the picture size it was fed first; another size needs a new one.
bool GraphFitsFrame(const FilterSlot& slot, const AVFrame* frame)
{
    if (!slot.graph || !slot.source || slot.source->nb_outputs < 1 || !slot.source->outputs[0])
        return false;
    const AVFilterLink* link = slot.source->outputs[0];
    return link->w == frame->width && link->h == frame->height;
}

// Runs the frame through the graphs in order. True when the last graph gave a picture.
bool RunFilterChain(AVFrame* decoded, FilterSlot* filters, int filterCount, AVFrame* filtered)
{
    AVFrame* input = decoded;
    std::vector<FramePtr> stages;
    for (int i = 0; i < filterCount; ++i) {
        FilterSlot& slot = filters[i];
        if (!slot.graph)
            return false;
        AVFrame* output = filtered;
        if (i + 1 < filterCount) {
            stages.emplace_back(av_frame_alloc());
            output = stages.back().get();
            if (!output)
                return false;
        }
        int ret = av_buffersrc_add_frame_flags(slot.source, input, AV_BUFFERSRC_FLAG_KEEP_REF);
        if (ret < 0) {
            qCWarning(lcMedia, "Error while feeding the filtergraph: %s", qUtf8Printable(FfmpegError(ret)));
            return false;
        }
        ret = av_buffersink_get_frame(slot.sink, output);
        if (ret < 0) {
            qCDebug(lcMedia, "Filter frame not ready ret=%d(%s)", ret, qUtf8Printable(FfmpegError(ret)));
            return false;
        }
        input = output;
    }
    if (filterCount == 0)
        return av_frame_ref(filtered, decoded) >= 0;
    return true;
}

} // namespace

void FilterSlot::Free()
{
    avfilter_graph_free(&graph);
    source = nullptr;
    sink = nullptr;
}

// clang-format off
int CMuxer::ChooseBitRate(int width, int height, int fps)
{
    struct Row { int width; int height; int low; int middle; int high; };
    static const Row rows[] = {
        {2560, 1440, 1048576, 2097152, 4194304},
        {1920, 1080, 1048576, 2097152, 3145728},
        {1280,  720,  262144,  524288, 1048576},
        { 720,  480,  131072,  262144,  524288},
        {   0,    0,   98304,  131072,  262144},
    };
    for (const Row& row : rows) {
        if (width >= row.width && height >= row.height)
            return fps <= 5 ? row.low : (fps <= 10 ? row.middle : row.high);
    }
    return rows[4].low;
}
// clang-format on

int CMuxer::OpenAacDecoder(AVCodecContext** slot)
{
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_AAC);
    if (!codec) {
        qCWarning(lcMedia, "Could not find an AV_CODEC_ID_AAC decoder.");
        return -1;
    }
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) {
        qCWarning(lcMedia, "Could not allocate aac decoding context");
        return -1;
    }
    av_channel_layout_default(&context->ch_layout, 2);
    context->sample_rate = 44100;
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->bit_rate = 128000;
    context->time_base = AVRational{1, 44100};
    context->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(context, codec, nullptr) < 0) {
        qCWarning(lcMedia, "Could not open aac decoding codec");
        avcodec_free_context(&context);
        *slot = nullptr;
        return -1;
    }
    *slot = context;
    return 0;
}

int CMuxer::OpenH264Decoder(AVCodecContext** slot, int fps)
{
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
    if (!codec) {
        qCWarning(lcMedia, "Could not find an H264 decoder.");
        return -1;
    }
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) {
        qCWarning(lcMedia, "Could not allocate an decoding context");
        return -1;
    }
    context->time_base = AVRational{1, fps > 0 ? fps : 1};
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->codec_type = AVMEDIA_TYPE_VIDEO;
    const int ret = avcodec_open2(context, codec, nullptr);
    if (ret < 0) {
        qCWarning(lcMedia, "Could not open codec (error '%s')", qUtf8Printable(FfmpegError(ret)));
        avcodec_free_context(&context);
        *slot = nullptr;
        return -1;
    }
    *slot = context;
    return 0;
}

int CMuxer::OpenH264Encoder(AVCodecContext** slot, int fps, int width, int height)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_H264);
    if (!codec) {
        qCWarning(lcMedia, "Could not find an H264 encoder.");
        return -1;
    }
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context) {
        qCWarning(lcMedia, "Could not allocate an encoding context");
        return -1;
    }
    context->bit_rate = ChooseBitRate(width, height, fps);
    context->width = width;
    context->height = height;
    context->time_base = AVRational{1, fps};
    context->gop_size = fps;
    context->max_b_frames = 0;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    qCDebug(lcMedia, "h264 encoder open : %d x %d, %lld bps, gop=%d", width, height,
            static_cast<long long>(context->bit_rate), context->gop_size);
    AVDictionary* options = nullptr;
    const int ret = avcodec_open2(context, codec, &options);
    av_dict_free(&options);
    if (ret < 0) {
        qCWarning(lcMedia, "Could not open codec (error '%s')", qUtf8Printable(FfmpegError(ret)));
        avcodec_free_context(&context);
        *slot = nullptr;
        return -1;
    }
    *slot = context;
    return 0;
}

int CMuxer::InitFilterGraph(AVFilterGraph** graph, AVFilterContext** source, AVFilterContext** sink,
                            const char* description, const AVFrame* frame)
{
    const AVFilter* bufferSource = avfilter_get_by_name("buffer");
    const AVFilter* bufferSink = avfilter_get_by_name("buffersink");
    InOutPtr outputs(avfilter_inout_alloc());
    InOutPtr inputs(avfilter_inout_alloc());
    AVFilterGraph* newGraph = avfilter_graph_alloc();
    if (!bufferSource || !bufferSink || !outputs || !inputs || !newGraph) {
        avfilter_graph_free(&newGraph);
        return AVERROR(ENOMEM);
    }
    const bool sized = frame && frame->width > 0 && frame->height > 0;
    char arguments[512];
    snprintf(arguments, sizeof arguments, "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
             sized ? frame->width : 1920, sized ? frame->height : 1080, int(AV_PIX_FMT_YUV420P), 1, 30, 1, 1);
    AVFilterContext* newSource = nullptr;
    AVFilterContext* newSink = nullptr;
    int ret = avfilter_graph_create_filter(&newSource, bufferSource, "in", arguments, nullptr, newGraph);
    if (ret < 0) {
        av_log(nullptr, AV_LOG_ERROR, "Cannot create buffer source:%s\n", qUtf8Printable(FfmpegError(ret)));
    } else if ((ret = avfilter_graph_create_filter(&newSink, bufferSink, "out", nullptr, nullptr, newGraph)) < 0) {
        av_log(nullptr, AV_LOG_ERROR, "Cannot create buffer sink:%s\n", qUtf8Printable(FfmpegError(ret)));
    } else {
        const AVPixelFormat formats[] = {AV_PIX_FMT_YUV420P, AV_PIX_FMT_NONE};
        ret = av_opt_set_int_list(newSink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
        if (ret < 0)
            av_log(nullptr, AV_LOG_ERROR, "Cannot set output pixel format:%s\n", qUtf8Printable(FfmpegError(ret)));
    }
    if (ret >= 0) {
        outputs->name = av_strdup("in");
        outputs->filter_ctx = newSource;
        outputs->pad_idx = 0;
        outputs->next = nullptr;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = newSink;
        inputs->pad_idx = 0;
        inputs->next = nullptr;
        AVFilterInOut* in = inputs.release();
        AVFilterInOut* out = outputs.release();
        ret = avfilter_graph_parse_ptr(newGraph, description, &in, &out, nullptr);
        inputs.reset(in);
        outputs.reset(out);
        if (ret < 0)
            qCWarning(lcMedia, "Cannot avfilter_graph_parse_ptr: %s", qUtf8Printable(FfmpegError(ret)));
        else if ((ret = avfilter_graph_config(newGraph, nullptr)) < 0)
            qCWarning(lcMedia, "Cannot avfilter_graph_config: %s", qUtf8Printable(FfmpegError(ret)));
    }
    if (ret < 0) {
        avfilter_graph_free(&newGraph);
        return ret;
    }
    *graph = newGraph;
    *source = newSource;
    *sink = newSink;
    return 0;
}

int CMuxer::TranscodeVideo(AVCodecContext** decoderSlot, AVCodecContext** encoderSlot, const uint8_t* data,
                           int size, int fps, FilterSlot* filters, int filterCount, AVFrame* outputFrame,
                           uint8_t* outputBuffer, int outputBufferSize, int* outputSize, int* outputFlags,
                           qint64* pictureCounter)
{
    if (!data || size <= 0 || filterCount < 0 || (filterCount > 0 && !filters))
        return AVERROR(EINVAL);
    FramePtr decoded(av_frame_alloc());
    FramePtr ownFiltered(outputFrame ? nullptr : av_frame_alloc());
    AVFrame* filtered = outputFrame ? outputFrame : ownFiltered.get();
    PacketPtr packet(av_packet_alloc());
    if (!decoded || !filtered || !packet)
        return AVERROR(ENOMEM);
    if (fps <= 0) {
        qCDebug(lcMedia, "warning: force fps(%d) change to 1 fps", fps);
        fps = 1;
    }
    if (!*decoderSlot && OpenH264Decoder(decoderSlot, 30) < 0)
        return AVERROR(EINVAL);

    int ret = av_new_packet(packet.get(), size);
    if (ret < 0)
        return ret;
    memcpy(packet->data, data, size_t(size));
    ret = avcodec_send_packet(*decoderSlot, packet.get());
    if (ret == AVERROR_EOF)
        return 0;
    if (ret < 0) {
        qCWarning(lcMedia, "Could not send packet for encoding video (error '%s')",
                  qUtf8Printable(FfmpegError(ret)));
        return ret;
    }
    ret = avcodec_receive_frame(*decoderSlot, decoded.get());
    if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
        return 0;
    if (ret < 0) {
        qCWarning(lcMedia, "Could not encode frame (error '%s')", qUtf8Printable(FfmpegError(ret)));
        return ret;
    }
    decoded->format = AV_PIX_FMT_YUV420P;
    decoded->pts = *pictureCounter;

    for (int i = 0; i < filterCount; ++i) {
        FilterSlot& slot = filters[i];
        // A graph is built for one picture size; a new size gets new graphs.
        if (slot.graph && !GraphFitsFrame(slot, decoded.get()))
            slot.Free();
        if (!slot.graph) {
            ret = InitFilterGraph(&slot.graph, &slot.source, &slot.sink, slot.description.constData(),
                                  decoded.get());
            if (ret < 0)
                return ret;
        }
    }
    // A picture the graphs did not give back is not encoded: an empty frame would open the
    // encoder with no size.
    if (!RunFilterChain(decoded.get(), filters, filterCount, filtered))
        return 0;
    filtered->pict_type = AV_PICTURE_TYPE_NONE;
    filtered->pts = (*pictureCounter)++;

    AVCodecContext*& encoder = *encoderSlot;
    if (encoder && (encoder->width != filtered->width || encoder->height != filtered->height))
        avcodec_free_context(&encoder);
    if (!encoder && OpenH264Encoder(&encoder, fps, filtered->width, filtered->height) < 0) {
        av_frame_unref(filtered);
        return AVERROR(EINVAL);
    }
    ret = avcodec_send_frame(encoder, filtered);
    av_frame_unref(filtered);
    if (ret == AVERROR_EOF)
        return 0;
    if (ret < 0) {
        qCWarning(lcMedia, "Could not send packet for encoding video (error '%s')",
                  qUtf8Printable(FfmpegError(ret)));
        return ret;
    }
    return EncodeFrame(encoder, outputBuffer, outputBufferSize, outputSize, outputFlags);
}

int CMuxer::EncodeFrame(AVCodecContext* encoder, uint8_t* outputBuffer, int outputBufferSize, int* outputSize,
                        int* outputFlags)
{
    if (!encoder)
        return 0;
    PacketPtr packet(av_packet_alloc());
    if (!packet)
        return AVERROR(ENOMEM);
    int ret = avcodec_receive_packet(encoder, packet.get());
    if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
        return 0;
    if (ret < 0) {
        qCWarning(lcMedia, "Could not encode frame (error '%s')", qUtf8Printable(FfmpegError(ret)));
        return ret;
    }
    const bool key = packet->flags != 0;
    const int extra = key ? encoder->extradata_size : 0;
    const qint64 needed = qint64(extra) + packet->size;
    if (needed > outputBufferSize) {
        qCWarning(lcMedia, "out buf size(%d) is small... pkt size(%lld)", outputBufferSize,
                  static_cast<long long>(needed));
        return -1;
    }
    if (extra > 0)
        memcpy(outputBuffer, encoder->extradata, size_t(extra));
    memcpy(outputBuffer + extra, packet->data, size_t(packet->size));
    *outputSize = int(needed);
    if (key)
        *outputFlags = packet->flags;
    return 0;
}

int CMuxer::FlushEncoder(AVCodecContext* encoder)
{
    if (!encoder)
        return AVERROR(EINVAL);
    qCDebug(lcMedia, "flush video decode & encode frame");
    const int ret = avcodec_send_frame(encoder, nullptr);
    if (ret < 0)
        qCWarning(lcMedia, "Error send null frame for flush (error '%s')", qUtf8Printable(FfmpegError(ret)));
    return ret;
}

int CMuxer::DrainEncoder(AVCodecContext* encoder, uint8_t* outputBuffer, int outputBufferSize, int* outputSize,
                         int* outputFlags)
{
    // A flushed encoder answers with a packet until it is empty, then with end of stream; a
    // packet too large for the buffer is skipped.
    for (;;) {
        *outputSize = 0;
        *outputFlags = 0;
        const int ret = EncodeFrame(encoder, outputBuffer, outputBufferSize, outputSize, outputFlags);
        if (ret == 0)
            return *outputSize > 0 ? 1 : 0;
        if (ret != -1)
            return 0;
    }
}
