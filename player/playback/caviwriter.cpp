#include "playback/caviwriter.h"

#include "playback/playbacklog.h"

#include <QFile>
#include <QPainter>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

struct CAviWriter::Av
{
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* video = nullptr;
    AVStream* audio = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    QString partPath;

    ~Av()
    {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (format) {
            if (format->pb)
                avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }
};

CAviWriter::CAviWriter() = default;

CAviWriter::~CAviWriter()
{
    CloseIfOpen();
}

bool CAviWriter::XvidInstalled()
{
    return avcodec_find_encoder_by_name("libxvid") != nullptr;
}

void CAviWriter::Init()
{
    Release();
    m_width = 100;
    m_height = 100;
    m_quality = 5000;
    m_requestedRate = m_frameRate = 10;
}

void CAviWriter::SetQuality(int quality)
{
    m_quality = quality < 0 || quality > 10000 ? 5000 : quality;
}

void CAviWriter::SetFrameRate(int rate)
{
    m_requestedRate = m_frameRate = rate <= 0 ? 10 : rate;
}

int CAviWriter::Open(const QImage& first, bool withAudio)
{
    if (m_state != 0)
        return 1;
    if (!XvidInstalled())
        m_useMsvc = true;
    const Compressor compressor = m_useMsvc ? Compressor::Msvc : Compressor::Xvid;
    const int result = OpenWith(compressor, first, withAudio);
    if (result != 0) {
        const QString part = m_av ? m_av->partPath : QString();
        Release();
        if (!part.isEmpty())
            QFile::remove(part);
    }
    if (result == -3) {
        // The compressor would not take the stream: the caller tries once more with Video 1.
        if (m_useMsvc) {
            m_useMsvc = false;
            return -1;
        }
        m_useMsvc = true;
        return -2;
    }
    return result;
}

int CAviWriter::OpenWith(Compressor compressor, const QImage& first, bool withAudio)
{
    Release();
    if (first.isNull() || m_path.isEmpty())
        return -1;
    m_compressor = compressor;
    const bool msvc = compressor == Compressor::Msvc;
    m_frameRate = msvc ? 10 : m_requestedRate;
    // Xvid codes one position in three; Video 1 at 10 per second takes every third of a feed
    // of 30 (or what rounds to it).
    m_step = msvc ? qMax(1, (m_requestedRate + 5) / 10) : 3;
    m_phase = msvc ? 0 : 2;
    m_width = qMax(4, first.width() & (msvc ? ~3 : ~1));
    m_height = qMax(4, first.height() & (msvc ? ~3 : ~1));

    m_av = std::make_unique<Av>();
    m_av->partPath = m_path + QStringLiteral(".part");
    QFile::remove(m_av->partPath);
    const QByteArray part = QFile::encodeName(m_av->partPath);
    if (avformat_alloc_output_context2(&m_av->format, nullptr, "avi", part.constData()) < 0 || !m_av->format)
        return -1;

    const AVCodec* encoder = msvc ? avcodec_find_encoder(AV_CODEC_ID_MSVIDEO1)
                                  : avcodec_find_encoder_by_name("libxvid");
    if (!encoder)
        return -3;
    m_av->codec = avcodec_alloc_context3(encoder);
    AVCodecContext* c = m_av->codec;
    c->width = m_width;
    c->height = m_height;
    // Positions run at the requested rate for Xvid (uncoded ones stay empty) and at 10 per
    // second for Video 1.
    c->time_base = AVRational{1, m_frameRate};
    c->framerate = AVRational{m_frameRate, 1};
    c->gop_size = m_frameRate;
    c->pix_fmt = msvc ? AV_PIX_FMT_RGB555LE : AV_PIX_FMT_YUV420P;
    c->codec_tag = msvc ? MKTAG('C', 'R', 'A', 'M') : MKTAG('X', 'V', 'I', 'D');
    if (!msvc) {
        c->flags |= AV_CODEC_FLAG_QSCALE;
        const int q = 31 - m_quality * 29 / 10000; // 10,000 → 2 (best), 0 → 31
        c->global_quality = FF_QP2LAMBDA * q;
    }
    if (m_av->format->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(c, encoder, nullptr) < 0)
        return -3;
    m_av->video = avformat_new_stream(m_av->format, nullptr);
    if (!m_av->video || avcodec_parameters_from_context(m_av->video->codecpar, c) < 0)
        return -3;
    m_av->video->time_base = c->time_base;
    m_av->video->codecpar->codec_tag = c->codec_tag;

    if (withAudio) {
        m_av->audio = avformat_new_stream(m_av->format, nullptr);
        if (!m_av->audio)
            return -1;
        AVCodecParameters* a = m_av->audio->codecpar;
        a->codec_type = AVMEDIA_TYPE_AUDIO;
        a->codec_id = AV_CODEC_ID_PCM_S16LE;
        a->sample_rate = 8000;
        av_channel_layout_default(&a->ch_layout, 1);
        a->bits_per_coded_sample = 16;
        a->block_align = 2;
        a->bit_rate = 128000;
        m_av->audio->time_base = AVRational{1, 8000};
    }

    if (avio_open(&m_av->format->pb, part.constData(), AVIO_FLAG_WRITE) < 0)
        return -1;
    if (avformat_write_header(m_av->format, nullptr) < 0)
        return -1;
    m_av->frame = av_frame_alloc();
    m_av->packet = av_packet_alloc();
    m_av->frame->format = c->pix_fmt;
    m_av->frame->width = m_width;
    m_av->frame->height = m_height;
    if (!m_av->frame || !m_av->packet || av_frame_get_buffer(m_av->frame, 0) < 0)
        return -1;
    m_av->scaler = sws_getContext(m_width, m_height, AV_PIX_FMT_BGRA, m_width, m_height, c->pix_fmt, SWS_BILINEAR,
                                  nullptr, nullptr, nullptr);
    if (!m_av->scaler)
        return -1;
    m_videoPosition = 0;
    m_audioPosition = 0;
    m_codedFrames = 0;
    m_failed = false;
    m_latest = QImage();
    m_state = 1;
    return 0;
}

int CAviWriter::WriteFrame(const QImage* picture, bool repeat)
{
    if (m_state != 1 && m_state != 2)
        return -1;
    if (picture && !repeat && !picture->isNull()) {
        // Frames are coded at the size the writer was opened with.
        m_latest = picture->size() == QSize(m_width, m_height)
                       ? picture->convertToFormat(QImage::Format_ARGB32)
                       : picture->scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
    }
    const int position = m_videoPosition++;
    if (position % m_step != m_phase || m_latest.isNull())
        return 0;
    if (av_frame_make_writable(m_av->frame) < 0)
        return -1;
    const uint8_t* source[1] = {m_latest.constBits()};
    const int sourceStride[1] = {int(m_latest.bytesPerLine())};
    sws_scale(m_av->scaler, source, sourceStride, 0, m_height, m_av->frame->data, m_av->frame->linesize);
    m_av->frame->pts = m_compressor == Compressor::Msvc ? position / m_step : position;
    if (avcodec_send_frame(m_av->codec, m_av->frame) < 0 || !Encode(false)) {
        m_failed = true;
        return -1;
    }
    ++m_codedFrames;
    m_state = 2;
    return 0;
}

bool CAviWriter::Encode(bool flush)
{
    if (flush && avcodec_send_frame(m_av->codec, nullptr) < 0)
        return false;
    for (;;) {
        const int r = avcodec_receive_packet(m_av->codec, m_av->packet);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
            return true;
        if (r < 0)
            return false;
        av_packet_rescale_ts(m_av->packet, m_av->codec->time_base, m_av->video->time_base);
        m_av->packet->stream_index = m_av->video->index;
        if (av_interleaved_write_frame(m_av->format, m_av->packet) < 0)
            return false;
    }
}

int CAviWriter::WriteAudio(const QByteArray& block)
{
    if ((m_state != 1 && m_state != 2) || !m_av->audio || block.size() != kAudioBlock)
        return -1;
    AVPacket* p = m_av->packet;
    if (av_new_packet(p, kAudioBlock) < 0)
        return -1;
    memcpy(p->data, block.constData(), size_t(kAudioBlock));
    p->stream_index = m_av->audio->index;
    p->pts = p->dts = qint64(m_audioPosition) * (kAudioBlock / 2);
    p->duration = kAudioBlock / 2;
    p->flags |= AV_PKT_FLAG_KEY;
    if (av_interleaved_write_frame(m_av->format, p) < 0) {
        m_failed = true;
        return -1;
    }
    ++m_audioPosition;
    return 0;
}

bool CAviWriter::Close()
{
    if (!m_av) {
        m_state = 0;
        return false;
    }
    bool ok = m_state == 1 || m_state == 2;
    m_state = 3;
    if (ok) {
        ok = Encode(true) && !m_failed;
        ok = av_write_trailer(m_av->format) == 0 && ok;
        ok = avio_closep(&m_av->format->pb) == 0 && ok;
    }
    const QString part = m_av->partPath;
    Release();
    if (ok) {
        QFile::remove(m_path);
        ok = QFile::rename(part, m_path);
    }
    if (!ok) {
        qCWarning(lcPlayerPlayback) << "AVI not written" << m_path;
        QFile::remove(part);
    }
    if (!XvidInstalled())
        m_useMsvc = true;
    return ok;
}

void CAviWriter::CloseIfOpen()
{
    if (m_state == 1 || m_state == 2)
        Close();
}

void CAviWriter::Release()
{
    m_av.reset();
    m_state = 0;
}
