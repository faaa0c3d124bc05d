#include "common/media/moduledecoder.h"
#include "common/commonlog.h"

#include <QDebug>
#include <QMutexLocker>

#include <cstring>
#include <limits>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace {

// Stream offset i of a stored frame whose 32-bit words have their bytes reversed.
inline int Mirror(int i)
{
    return (i & ~3) + 3 - (i & 3);
}

// Reads and writes a recorder frame by stream offset, whichever byte order it arrived in.
class WrappedBytes
{
public:
    WrappedBytes(unsigned char* data, int size, bool reversed)
        : m_data(data)
        , m_size(size)
        , m_reversed(reversed)
    {}
    int Position(int i) const { return m_reversed ? Mirror(i) : i; }
    // True when stream bytes [from, from + count) lie inside the frame. In stored order only
    // whole words can be restored, so a part word at the end does not count.
    bool Has(int from, int count) const
    {
        const int end = from + count;
        if (m_reversed)
            return end <= (m_size & ~3);
        return end <= m_size;
    }
    unsigned char Get(int i) const { return m_data[Position(i)]; }
    void Set(int i, unsigned char v) { m_data[Position(i)] = v; }

private:
    unsigned char* m_data;
    int m_size;
    bool m_reversed;
};

constexpr int kWrapperHead = 12; // start, kind, flags and the 23-bit length value
constexpr int kFirstSliceWord = 5;
constexpr int kLastSliceWord = 14;
constexpr int kMaxTarget = 16384; // larger requested sizes are refused

// The empty P slice decoded in mode 3 when a frame gave no picture; the frame number and the
// order count are filled in before use.
constexpr unsigned char kFillerSlice[16] = {0x00, 0x00, 0x00, 0x01, 0x41, 0x9A, 0x00, 0x60,
                                            0x04, 0x40, 0x07, 0xF8, 0xC0, 0x00, 0x00, 0x00};

} // namespace

constexpr unsigned char CModuleDecoder::kWrapperStart[4];

void CModuleDecoder::CodecContextDeleter::operator()(AVCodecContext* p) const
{
    avcodec_free_context(&p);
}

void CModuleDecoder::FrameDeleter::operator()(AVFrame* p) const
{
    av_frame_free(&p);
}

void CModuleDecoder::PacketDeleter::operator()(AVPacket* p) const
{
    av_packet_free(&p);
}

CModuleDecoder::CModuleDecoder()
    : m_placeholder(10, 10, QImage::Format_RGB888)
{
    m_placeholder.fill(Qt::black);
}

CModuleDecoder::~CModuleDecoder()
{
    CloseDecoder();
}

int CModuleDecoder::SizeCode(int width, int height)
{
    const qint64 code = height > 1000 ? qint64(width) * 10000 + height : qint64(width) * 1000 + height;
    return code > std::numeric_limits<int>::max() ? ErrConvert : int(code);
}

void CModuleDecoder::ResetPictureState()
{
    m_brightness = 0;
    m_contrast = 0;
    m_decodedWidth = m_decodedHeight = 0;
    m_targetWidth = m_targetHeight = 0;
    m_requestedWidth = m_requestedHeight = 0;
    m_lastFrameNumber = -1;
}

bool CModuleDecoder::OpenDecoder()
{
    QMutexLocker codecLock(&m_codecLock);
    if (m_open) {
        ResetPictureState();
        QMutexLocker pictureLock(&m_pictureLock);
        m_picture.fill(Qt::black);
        if (m_shown)
            av_frame_unref(m_shown.get());
        m_shownStale = false;
        ResetAhead();
        return true;
    }

    ResetPictureState();
    m_counterMode0 = m_counterMode1 = 0;
    m_mode = 0;
    m_streamOrder = 0;
    m_rgbBuffer = QImage();
    m_scaler.Reset();
    m_cellScaler.Reset();
    {
        QMutexLocker pictureLock(&m_pictureLock);
        m_picture = QImage(10, 10, QImage::Format_RGB888);
        m_picture.fill(Qt::black);
        m_shown.reset(av_frame_alloc());
        m_shownStale = false;
        ResetAhead();
    }

    // FFmpeg registers its codecs itself. Its H.264 decoder never takes truncated input, so
    // there is no truncation flag to set.
    m_codec = avcodec_find_decoder(AV_CODEC_ID_H264);
    if (!m_codec) {
        qCWarning(lcMedia) << "CModuleDecoder: no H.264 decoder in libavcodec";
        return false;
    }
    m_context.reset(avcodec_alloc_context3(m_codec));
    m_frame.reset(av_frame_alloc());
    m_received.reset(av_frame_alloc());
    m_packet.reset(av_packet_alloc());
    if (!m_context || !m_frame || !m_received || !m_packet || !m_shown) {
        qCWarning(lcMedia) << "CModuleDecoder: out of memory while opening";
        m_context.reset();
        return false;
    }
    // A recorder decides the picture size; one that declares a huge stream must not make us
    // allocate for it. libavcodec refuses pictures above this many pixels before it allocates.
    m_context->max_pixels = kMaxPixels;
    m_context->err_recognition = AV_EF_CRCCHECK | AV_EF_BITSTREAM | AV_EF_BUFFER | AV_EF_EXPLODE | AV_EF_IGNORE_ERR
                                 | AV_EF_CAREFUL | AV_EF_COMPLIANT;
    const int ret = avcodec_open2(m_context.get(), m_codec, nullptr);
    if (ret < 0) {
        qCWarning(lcMedia) << "CModuleDecoder: avcodec_open2 failed" << ret;
        m_context.reset();
        return false;
    }
    m_open = 1;
    return true;
}

bool CModuleDecoder::CloseDecoder()
{
    if (!m_open)
        return false;
    QMutexLocker codecLock(&m_codecLock);
    m_context.reset();
    m_frame.reset();
    m_received.reset();
    m_packet.reset();
    m_scaler.Reset();
    m_cellScaler.Reset();
    {
        QMutexLocker pictureLock(&m_pictureLock);
        m_shown.reset();
        m_shownStale = false;
        ResetAhead();
    }
    m_rgbBuffer = QImage();
    m_counterMode0 = 0;
    m_lastFrameNumber = -1;
    m_open = 0;
    return true;
}

QImage CModuleDecoder::GetImage()
{
    if (!m_open)
        return QImage();
    // The full-size picture of a decoder that converts on demand is made the first time it is
    // asked for after a decode (the caller holds the picture lock).
    if (m_onDemand && m_shownStale && m_shown && m_shown->data[0]) {
        if (ScaleFullPicture(*m_shown, false)) {
            m_shownStale = false;
            // Full pictures are asked for now and then: the spare buffer is not kept.
            m_rgbBuffer = QImage();
        }
    }
    if (m_onDemand && m_picture.isNull() && m_targetWidth > 0 && m_targetHeight > 0) {
        m_picture = QImage(m_targetWidth, m_targetHeight, QImage::Format_RGB888);
        m_picture.fill(Qt::black);
    }
    return m_picture;
}

int CModuleDecoder::GetBrightness(int) const
{
    return m_brightness;
}

int CModuleDecoder::GetContrast(int) const
{
    return m_contrast;
}

void CModuleDecoder::SetBrightness(int, int value)
{
    m_brightness = value;
}

void CModuleDecoder::SetContrast(int, int value)
{
    m_contrast = value;
}

// Mode 0: the recorder's wrapper. Every byte is read only after its position has been checked
// against the received size, and nothing is written before the stated length has been accepted.
int CModuleDecoder::RepairWrapper(unsigned char* data, int& size)
{
    bool reversed;
    if (size >= 4 && data[0] == 0x06 && data[1] == 0x01 && data[2] == 0x00 && data[3] == 0x00)
        reversed = true;
    else if (size >= 4 && std::memcmp(data, kWrapperStart, 4) == 0)
        reversed = false;
    else {
        m_lastFrameNumber = -1;
        return 0;
    }
    m_streamOrder = reversed ? 0 : 1;

    WrappedBytes bytes(data, size, reversed);
    const int shortFirst = reversed ? ErrReversedLength1 : ErrStreamLength1;
    const int shortSecond = reversed ? ErrReversedLength2 : ErrStreamLength2;
    if (!bytes.Has(0, kWrapperHead)) {
        const bool second = bytes.Has(4, 1) && bytes.Get(4) != 0x90;
        qCDebug(lcMedia) << "CModuleDecoder: wrapped frame shorter than its wrapper," << size << "bytes";
        return second ? shortSecond : shortFirst;
    }

    const unsigned char kind = bytes.Get(4);
    const unsigned char flags = bytes.Get(7);
    const int lengthValue = ((bytes.Get(9) & 0x7F) << 16) | (bytes.Get(10) << 8) | bytes.Get(11);

    // A stated length beyond the received bytes, or one that leaves not even the wrapper,
    // cannot be decoded.
    if (kind == 0x90) {
        const int length = lengthValue * 8;
        if (length > size || length < kWrapperHead) {
            qCDebug(lcMedia) << "CModuleDecoder: wrapper states" << length << "bytes, received" << size;
            return shortFirst;
        }
        if ((flags & 0x10) && !(flags & 0x03))
            bytes.Set(7, static_cast<unsigned char>((flags & ~0x02) | 0x01));
        size = length;
    } else if ((flags & 0x07) == 0x01) {
        const int length = lengthValue * 4;
        if (length > size || length < kWrapperHead) {
            qCDebug(lcMedia) << "CModuleDecoder: wrapper states" << length << "bytes, received" << size;
            return shortSecond;
        }
        bytes.Set(7, static_cast<unsigned char>((flags & ~0x05) | 0x02));
        size = length;
    }

    // Renumber the first slice so that frames dropped on the way leave no gap in frame_num.
    WrappedBytes frame(data, size, reversed);
    for (int word = kFirstSliceWord; word <= kLastSliceWord; ++word) {
        const int at = word * 4;
        if (!frame.Has(at, 4))
            break;
        if (frame.Get(at) != 0x00 || frame.Get(at + 1) != 0x00 || frame.Get(at + 2) != 0x01)
            continue;
        const unsigned char type = frame.Get(at + 3);
        if (type != 0x41 && type != 0x65)
            continue;
        const int header = at + 4;
        if (type == 0x41) {
            if (frame.Has(header, 2)) {
                m_counterMode0 = (m_counterMode0 + 1) % 16;
                const int c = m_counterMode0;
                // frame_num: bit 0 of the first byte, bits 7 to 5 of the second;
                // pic_order_cnt_lsb (twice the number): bits 4 to 0 of the second.
                frame.Set(header, static_cast<unsigned char>((frame.Get(header) & 0xFE) | ((c >> 3) & 1)));
                frame.Set(header + 1, static_cast<unsigned char>(((c & 0x07) << 5) | ((2 * c) & 0x1F)));
            }
        } else if (frame.Has(header, 3)) {
            const unsigned char second = frame.Get(header + 1);
            const unsigned char third = frame.Get(header + 2);
            if (second & 0x04) {
                frame.Set(header + 1, second & 0x84);
                frame.Set(header + 2, third & 0x1F);
            } else {
                frame.Set(header + 1, second & 0x87);
                frame.Set(header + 2, third & 0x07);
            }
            m_counterMode0 = 0;
        }
        break;
    }

    if (reversed) {
        for (int i = 0; i + 4 <= size; i += 4) {
            std::swap(data[i], data[i + 3]);
            std::swap(data[i + 1], data[i + 2]);
        }
    }
    m_lastFrameNumber = -1;
    return 0;
}

// Mode 1: P slices after four-byte start codes carry a 10-bit frame number that is rewritten
// from a running count.
int CModuleDecoder::RenumberMode1(unsigned char* data, int size)
{
    m_streamOrder = 0;
    m_lastFrameNumber = -1;
    if (size < 4 || data[0] != 0x00 || data[1] != 0x00 || data[2] != 0x00 || data[3] != 0x01)
        return 0;
    if (size < 5)
        return ErrSize;
    if (data[4] != 0x61) {
        m_counterMode1 = 0;
        return 0;
    }
    if (size < 7)
        return ErrSize;
    // The count keeps to its 10 bits: after 1023 it starts again at 0.
    m_counterMode1 = (m_counterMode1 + 1) & 0x3FF;
    const int c = m_counterMode1;
    data[5] = static_cast<unsigned char>((data[5] & 0xE0) | (c >> 5));
    data[6] = static_cast<unsigned char>((data[6] & 0x07) | ((c & 0x1F) << 3));
    return 0;
}

// Mode 3: follows the 10-bit frame numbers of the P slices; frameNumber gets the frame's number
// (0 for a key frame).
int CModuleDecoder::CheckMode3(const unsigned char* data, int size, int& frameNumber)
{
    m_streamOrder = 0;
    if (size < 5) {
        m_lastFrameNumber = -1;
        return ErrSize;
    }
    if (data[4] != 0x41) {
        m_lastFrameNumber = 0;
        frameNumber = 0;
        return 0;
    }
    if (size < 8) {
        m_lastFrameNumber = -1;
        return ErrSize;
    }
    const int f = (data[5] & 0x01) * 512 + data[6] * 2 + (data[7] >> 7);
    frameNumber = f;
    if (m_lastFrameNumber == -1)
        return ErrNotInStep;
    if (f == m_lastFrameNumber)
        return ErrSameFrame;
    if (f == m_lastFrameNumber + 1) {
        m_lastFrameNumber = f;
        return 0;
    }
    qCDebug(lcMedia) << "not sync" << f << m_lastFrameNumber + 1;
    m_lastFrameNumber = -1;
    return ErrNotSync;
}

void CModuleDecoder::ReportOversizedStream()
{
    const qint64 pixels = qint64(m_context->width) * m_context->height;
    if (pixels <= kMaxPixels || m_oversizeReported)
        return;
    m_oversizeReported = true;
    qCDebug(lcMedia) << "CModuleDecoder: stream of" << m_context->width << "x" << m_context->height
                     << "refused, larger than" << kMaxWidth << "x" << kMaxHeight;
}

// One packet in, the latest picture out. The bytes are copied into a padded, reference-counted
// packet: the caller's buffer carries no padding for the bit reader.
int CModuleDecoder::SendAndReceive(const unsigned char* data, int size, bool& gotPicture)
{
    gotPicture = false;
    AVPacket* packet = m_packet.get();
    av_packet_unref(packet);
    if (av_new_packet(packet, size) < 0)
        return AVERROR(ENOMEM);
    std::memcpy(packet->data, data, size);
    int ret = avcodec_send_packet(m_context.get(), packet);
    av_packet_unref(packet);
    if (ret < 0 && ret != AVERROR(EAGAIN))
        return ret;
    for (;;) {
        ret = avcodec_receive_frame(m_context.get(), m_received.get());
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
            return 0;
        if (ret < 0)
            return ret;
        av_frame_unref(m_frame.get());
        av_frame_move_ref(m_frame.get(), m_received.get());
        gotPicture = true;
    }
}

bool CModuleDecoder::DecodeFiller(int frameNumber)
{
    unsigned char slice[sizeof kFillerSlice];
    std::memcpy(slice, kFillerSlice, sizeof slice);
    slice[5] = static_cast<unsigned char>((slice[5] & 0xFE) | ((frameNumber >> 9) & 1));
    slice[6] = static_cast<unsigned char>((frameNumber >> 1) & 0xFF);
    slice[7] = static_cast<unsigned char>((slice[7] & 0x7F) | ((frameNumber & 1) << 7));
    slice[8] = static_cast<unsigned char>((slice[8] & 0x07) | ((frameNumber & 0x1F) << 3));
    bool got = false;
    if (SendAndReceive(slice, sizeof slice, got) < 0)
        return false;
    return got;
}

void CModuleDecoder::p2i_post_process(AVFrame* frame, int height, bool log)
{
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    if (!desc || (desc->flags & AV_PIX_FMT_FLAG_HWACCEL) || av_frame_make_writable(frame) < 0)
        return;
    // The decoder's coded height may exceed the rows the picture holds.
    const int rows = qMin(height, frame->height);
    for (int plane = 0; plane < 3 && frame->data[plane]; ++plane) {
        const int planeRows = plane == 0 ? rows : AV_CEIL_RSHIFT(rows, desc->log2_chroma_h);
        const int bytes = qAbs(frame->linesize[plane]);
        for (int y = 1; y < planeRows; y += 2) {
            unsigned char* row = frame->data[plane] + y * frame->linesize[plane];
            std::memcpy(row, row - frame->linesize[plane], bytes);
        }
        if (log && planeRows > 1)
            qCDebug(lcMedia) << "p2i plane" << plane << frame->data[plane][0]
                             << frame->data[plane][frame->linesize[plane]];
    }
}

int CModuleDecoder::OnDecode(unsigned char* data, int size, int mode, int width, int height, bool decodeOnly)
{
    if (!m_open)
        return ErrNotOpen;
    if (size < 1 || !data)
        return ErrSize;
    m_mode = mode;

    int frameNumber = 0;
    int check = 0;
    switch (mode) {
    case 0: check = RepairWrapper(data, size); break;
    case 1: check = RenumberMode1(data, size); break;
    case 3: check = CheckMode3(data, size, frameNumber); break;
    default:
        m_streamOrder = 0;
        m_lastFrameNumber = -1;
        break;
    }
    if (check < 0)
        return check;

    bool got = false;
    if (SendAndReceive(data, size, got) < 0) {
        ReportOversizedStream();
        m_lastFrameNumber = -1;
        return ErrCodec;
    }
    if (!got) {
        if (mode == 3) {
            if (DecodeFiller(frameNumber)) {
                got = true;
                p2i_post_process(m_frame.get(), m_context->coded_height, false);
            }
        } else if (SendAndReceive(data, size, got) < 0) {
            m_lastFrameNumber = -1;
            return ErrCodec;
        }
    }
    if (!got) {
        m_lastFrameNumber = -1;
        return ErrNoPicture;
    }

    m_requestedWidth = width;
    m_requestedHeight = height;
    const bool requested = width > 0 && height > 0;
    const int codeWidth = requested ? width : m_frame->width;
    const int codeHeight = requested ? height : m_frame->height;
    if (decodeOnly)
        return SizeCode(codeWidth, codeHeight);

    const int converted = m_onDemand ? KeepPicture() : ConvertPicture();
    if (converted == 0)
        return ErrSameFrame;
    if (converted != 1) {
        m_lastFrameNumber = -1;
        return ErrConvert;
    }
    const int code = SizeCode(codeWidth, codeHeight);
    return code == size ? ErrCodeIsSize : code;
}

int CModuleDecoder::PrepareTarget()
{
    const AVFrame* frame = m_frame.get();
    const int decodedWidth = frame->width;
    const int decodedHeight = frame->height;
    const bool requested = m_requestedWidth > 0 && m_requestedHeight > 0;
    const int targetWidth = requested ? m_requestedWidth : decodedWidth;
    const int targetHeight = requested ? m_requestedHeight : decodedHeight;
    if (decodedWidth < 1 || decodedHeight < 1 || targetWidth > kMaxTarget || targetHeight > kMaxTarget
        || qint64(targetWidth) * targetHeight > kMaxPixels
        || av_image_check_size(targetWidth, targetHeight, 0, nullptr) < 0)
        return -1;
    if (decodedWidth == m_decodedWidth && decodedHeight == m_decodedHeight && targetWidth == m_targetWidth
        && targetHeight == m_targetHeight)
        return 1;

    const bool change = m_decodedWidth != 0 || m_decodedHeight != 0 || m_targetWidth != 0 || m_targetHeight != 0;
    {
        // Under the picture lock: a decoder that converts on demand converts on the readers'
        // threads, with these sizes and buffers.
        QMutexLocker pictureLock(&m_pictureLock);
        m_rgbBuffer = QImage();
        m_scaler.Reset();
        m_decodedWidth = decodedWidth;
        m_decodedHeight = decodedHeight;
        m_targetWidth = targetWidth;
        m_targetHeight = targetHeight;
        // Black until the first picture of the new size is converted into it; on demand the
        // black picture is made only if someone asks for it.
        m_picture = QImage();
        if (!m_onDemand) {
            m_picture = QImage(targetWidth, targetHeight, QImage::Format_RGB888);
            m_picture.fill(Qt::black);
        }
        if (m_shown)
            av_frame_unref(m_shown.get());
        m_shownStale = false;
        ResetAhead();
    }
    if (!m_onDemand && m_picture.isNull())
        return -1;
    return change ? 0 : 1;
}

bool CModuleDecoder::ScaleFullPicture(const AVFrame& frame, bool takePictureLock)
{
    const int targetWidth = m_targetWidth;
    const int targetHeight = m_targetHeight;
    // The RGB buffer is a picture of its own. One that a reader still shares (a grid's copy of
    // an earlier picture) is replaced rather than written into, which would copy it first.
    if (m_rgbBuffer.isNull() || !m_rgbBuffer.isDetached()
        || m_rgbBuffer.size() != QSize(targetWidth, targetHeight))
        m_rgbBuffer = QImage(targetWidth, targetHeight, QImage::Format_RGB888);
    uint8_t* rgbData[4] = {};
    int rgbLinesize[4] = {};
    // QImage rows are 4-byte aligned; the same alignment gives FFmpeg the picture's layout.
    if (m_rgbBuffer.isNull()
        || av_image_get_buffer_size(AV_PIX_FMT_RGB24, targetWidth, targetHeight, 4) > m_rgbBuffer.sizeInBytes()
        || av_image_fill_arrays(rgbData, rgbLinesize, m_rgbBuffer.bits(), AV_PIX_FMT_RGB24, targetWidth,
                                targetHeight, 4)
               < 0
        || rgbLinesize[0] != m_rgbBuffer.bytesPerLine())
        return false;
    if (!m_scaler.Scale(frame, frame.height, targetWidth, targetHeight, AV_PIX_FMT_RGB24, rgbData, rgbLinesize,
                        m_brightness, m_contrast))
        return false;
    if (takePictureLock) {
        QMutexLocker pictureLock(&m_pictureLock);
        m_picture.swap(m_rgbBuffer);
    } else {
        m_picture.swap(m_rgbBuffer);
    }
    return true;
}

int CModuleDecoder::ConvertPicture()
{
    const int prepared = PrepareTarget();
    if (prepared != 1)
        return prepared;
    return ScaleFullPicture(*m_frame, true) ? 1 : -1;
}

int CModuleDecoder::KeepPicture()
{
    const int prepared = PrepareTarget();
    if (prepared != 1)
        return prepared;
    // The decoded frame becomes the one to convert; the frame it replaces is decoded into next.
    QMutexLocker pictureLock(&m_pictureLock);
    m_askedShare = m_askedShare - m_askedShare / 8 + (m_shownAsked ? kAskedAll / 8 : 0);
    std::swap(m_frame, m_shown);
    m_shownStale = true;
    m_shownAsked = false;
    m_ahead.ready = false;
    if (m_askedShare >= kAskedToConvertAhead)
        ConvertAhead();
    return 1;
}

void CModuleDecoder::ConvertAhead()
{
    if (m_ahead.width < 1 || m_ahead.height < 1 || !m_shown || !m_shown->data[0])
        return;
    m_ahead.ready = ScaleCell(*m_shown, m_ahead.picture, m_ahead.width, m_ahead.height, m_ahead.cropRows);
}

void CModuleDecoder::ResetAhead()
{
    m_ahead = Ahead();
    m_askedShare = 0;
    m_shownAsked = false;
}

void CModuleDecoder::SetConvertOnDemand(bool onDemand)
{
    QMutexLocker codecLock(&m_codecLock);
    m_onDemand = onDemand;
}

QImage CModuleDecoder::CopyPicture(const QSize& bound)
{
    if (!m_open || !m_onDemand || !m_shown || !m_shown->data[0] || m_shown->width < 1 || m_shown->height < 1
        || bound.isEmpty())
        return QImage();
    QSize size(m_shown->width, m_shown->height);
    if (size.width() > bound.width() || size.height() > bound.height())
        size = size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        return QImage();
    uint8_t* planes[4] = {picture.bits(), nullptr, nullptr, nullptr};
    const int linesizes[4] = {int(picture.bytesPerLine()), 0, 0, 0};
    PictureScaler scaler;
    if (!scaler.Scale(*m_shown, m_shown->height, size.width(), size.height(),
                      Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? AV_PIX_FMT_BGRA : AV_PIX_FMT_ARGB, planes, linesizes,
                      m_brightness, m_contrast))
        return QImage();
    return picture;
}

bool CModuleDecoder::ConvertInto(QImage& target, int width, int height, int cropRows)
{
    if (!m_open || !m_onDemand || !m_shown || !m_shown->data[0] || width < 1 || height < 1
        || qint64(width) * height > kMaxPixels)
        return false;
    const int crop = qMax(0, cropRows);
    if (m_shown->height - crop < 1)
        return false;
    // The picture converted ahead changes places with the target's, which is converted into
    // next time.
    const bool ahead = m_ahead.ready && m_ahead.width == width && m_ahead.height == height
                       && m_ahead.cropRows == crop;
    if (!m_shownAsked) {
        m_shownAsked = true;
        m_ahead.width = width;
        m_ahead.height = height;
        m_ahead.cropRows = crop;
    }
    if (ahead) {
        m_ahead.ready = false;
        target.swap(m_ahead.picture);
        return true;
    }
    return ScaleCell(*m_shown, target, width, height, crop);
}

bool CModuleDecoder::ScaleCell(const AVFrame& frame, QImage& target, int width, int height, int cropRows)
{
    const int sourceRows = frame.height - cropRows;
    if (sourceRows < 1)
        return false;
    // Written in place when the cell holds the only reference; a new picture otherwise.
    if (target.format() != QImage::Format_RGB32 || target.size() != QSize(width, height) || !target.isDetached())
        target = QImage(width, height, QImage::Format_RGB32);
    if (target.isNull())
        return false;
    // RGB32 is stored as B, G, R, 255 in memory on a little-endian machine: FFmpeg's BGRA.
    uint8_t* planes[4] = {target.bits(), nullptr, nullptr, nullptr};
    const int linesizes[4] = {int(target.bytesPerLine()), 0, 0, 0};
    return m_cellScaler.Scale(frame, sourceRows, width, height,
                              Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? AV_PIX_FMT_BGRA : AV_PIX_FMT_ARGB, planes,
                              linesizes, m_brightness, m_contrast);
}
