#include "common/media/cmuxer.h"

#include "common/commonlog.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
}

namespace {

QString FfmpegError(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return QString::fromUtf8(text);
}

// Errors that come from the file system rather than from the stream.
bool IsFileError(int error)
{
    return error == AVERROR(ENOSPC) || error == AVERROR(EDQUOT) || error == AVERROR(EFBIG) || error == AVERROR(EIO)
           || error == AVERROR(EACCES) || error == AVERROR(EROFS) || error == AVERROR(ENOENT);
}

// Milliseconds per picture at the channel's frame rate (33 when the rate is unknown).
qint64 PictureDuration(int fps)
{
    return fps > 0 ? 1000 / fps : 33;
}

// AVI keeps one picture per frame slot of a constant rate: a gap in the time stamps would be
// filled with empty frames, so there every picture takes the next slot.
bool IsFrameIndexed(const AVFormatContext* oc)
{
    return oc && oc->oformat && qstrcmp(oc->oformat->name, "avi") == 0;
}

AVBSFContext* OpenAdtsFilter(const AVCodecContext* aacDecoder)
{
    const AVBitStreamFilter* filter = av_bsf_get_by_name("aac_adtstoasc");
    AVBSFContext* context = nullptr;
    if (!filter || av_bsf_alloc(filter, &context) < 0)
        return nullptr;
    if (aacDecoder)
        avcodec_parameters_from_context(context->par_in, aacDecoder);
    context->time_base_in = AVRational{1, 44100};
    if (av_bsf_init(context) < 0)
        av_bsf_free(&context);
    return context;
}

} // namespace

CMuxer::CMuxer(QString outputPath, QString formatName)
    : m_outputPath(std::move(outputPath))
    , m_formatName(std::move(formatName))
{
    OpenAacDecoder(&m_aacDecoder);
    m_adtsFilter = OpenAdtsFilter(m_aacDecoder);
    qCDebug(lcMedia, "[MUXER] create fileUUID = %s", qUtf8Printable(m_temp.Tag()));
    // Conversions killed before they could clean up left their temporaries here.
    MuxTempFiles::RemoveStale(QFileInfo(m_outputPath).absolutePath());
}

CMuxer::~CMuxer()
{
    Destroy();
}

QString CMuxer::TempFilePath(const QString& extension) const
{
    return m_temp.ProbePath(QFileInfo(m_outputPath).absolutePath(), extension);
}

QString CMuxer::PartFilePath() const
{
    return m_temp.PartPath(QFileInfo(m_outputPath).absoluteFilePath());
}

QString CMuxer::ErrorText() const
{
    if (!m_failed.load())
        return QString();
    QMutexLocker lock(const_cast<QMutex*>(&m_mutex));
    return QStringLiteral("%1 could not be written (%2)")
        .arg(m_outputPath, m_diskFull.load() ? QStringLiteral("the disk is full") : m_failReason);
}

void CMuxer::Fail(const QString& file, int ffmpegError)
{
    Fail(file, FfmpegError(ffmpegError), ffmpegError == AVERROR(ENOSPC) || ffmpegError == AVERROR(EDQUOT));
}

void CMuxer::Fail(const QString& file, const QString& reason, bool diskFull)
{
    QMutexLocker lock(&m_mutex);
    if (m_failed.load())
        return;
    qCWarning(lcMedia, "[MUXER] cannot write %s: %s - the muxer stops", qUtf8Printable(file),
              qUtf8Printable(reason));
    m_failedFile = file;
    m_failReason = reason;
    m_diskFull = diskFull;
    m_failed = true;
    m_wake.wakeAll();
}

bool CMuxer::OutputFileFailed(int ffmpegError) const
{
    return IsFileError(ffmpegError) || (m_outputContext && m_outputContext->pb && m_outputContext->pb->error < 0);
}

bool CMuxer::CommitOutput()
{
    const QByteArray part = QFile::encodeName(PartFilePath());
    const QByteArray target = QFile::encodeName(m_outputPath);
    // rename() replaces an older file of the same name in one step.
    if (std::rename(part.constData(), target.constData()) != 0) {
        Fail(m_outputPath, QString::fromLocal8Bit(std::strerror(errno)), errno == ENOSPC);
        QFile::remove(PartFilePath());
        return false;
    }
    return true;
}

void CMuxer::Start()
{
    if (m_running.load())
        return;
    if (m_worker.joinable())
        m_worker.join();
    m_running = true;
    m_wroteFile = false;
    {
        QMutexLocker lock(&m_mutex);
        m_failed = false;
        m_diskFull = false;
        m_failedFile.clear();
        m_failReason.clear();
    }
    m_worker = std::thread([this] { WriterLoop(); });
}

void CMuxer::PushPacket(MuxPacket packet)
{
    if (!m_running.load() || m_stopRequested.load() || m_failed.load() || packet.size <= 0 || !packet.data
        || packet.size > packet.data->size())
        return;
    if (m_waitKeyFrame) {
        if (!packet.keyFrame)
            return;
        m_waitKeyFrame = false;
    }
    if (!(m_state.load() & Recognised))
        OpenVideoInput(packet);
    // The packet that completed the probe is queued like every later one: it carries the
    // stream's first key picture.
    if (m_state.load() & Recognised) {
        QMutexLocker lock(&m_mutex);
        (packet.streamIndex == 1 ? m_audioQueue : m_videoQueue).append(std::move(packet));
        m_wake.wakeAll();
    }
}

void CMuxer::Stop()
{
    QMutexLocker lock(&m_mutex);
    if (!m_running.load())
        return;
    // A second Stop while the first one waits only waits.
    const bool first = !m_stopRequested.exchange(true);
    m_wake.wakeAll();
    if (first)
        qCDebug(lcMedia, "[MUXER] STOP : %p, THREAD WAIT...", static_cast<void*>(this));
    while (m_running.load())
        m_finished.wait(&m_mutex);
    if (first)
        qCDebug(lcMedia, "[MUXER] STOP : %p, THREAD DONE!!!", static_cast<void*>(this));
}

void CMuxer::Destroy()
{
    Stop();
    if (m_worker.joinable())
        m_worker.join();
    CloseFiles();
    avcodec_free_context(&m_aacDecoder);
    av_bsf_free(&m_adtsFilter);
    qCDebug(lcMedia, "[MUXER] remove temp file = %s", qUtf8Printable(TempFilePath(QStringLiteral("264"))));
    QFile::remove(TempFilePath(QStringLiteral("aac")));
    QFile::remove(TempFilePath(QStringLiteral("264")));
    QFile::remove(PartFilePath());
    QMutexLocker lock(&m_mutex);
    m_videoQueue.clear();
    m_audioQueue.clear();
}

void CMuxer::CloseFiles()
{
    avformat_close_input(&m_videoInput);
    avformat_close_input(&m_audioInput);
    if (m_outputContext) {
        if (!(m_outputContext->oformat->flags & AVFMT_NOFILE))
            avio_closep(&m_outputContext->pb);
        avformat_free_context(m_outputContext);
        m_outputContext = nullptr;
    }
}

bool CMuxer::WriteTempFile(const QString& path, const char* bytes, int size, QString* error, bool* diskFull)
{
    QFile file(path);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    // Until every byte landed: a disk that fills up takes part of a write, and only the next
    // one names the reason.
    for (qint64 done = 0; written && done < size;) {
        const qint64 n = file.write(bytes + done, size - done);
        written = n > 0;
        done += qMax<qint64>(n, 0);
    }
    if (written)
        return true;
    *error = file.errorString();
    *diskFull = file.errorString() == qt_error_string(ENOSPC) || file.errorString() == qt_error_string(EDQUOT);
    return false;
}

void CMuxer::OpenVideoInput(const MuxPacket& packet)
{
    const QString path = TempFilePath(QStringLiteral("264"));
    qCDebug(lcMedia, "temp file=[%s], size=[%d]", qUtf8Printable(path), packet.size);
    QString error;
    bool diskFull = false;
    if (!WriteTempFile(path, packet.data->constData(), packet.size, &error, &diskFull)) {
        QFile::remove(path);
        Fail(path, error, diskFull);
        return;
    }
    const AVInputFormat* format = av_find_input_format("h264");
    if (!format)
        qCWarning(lcMedia, "Could not find av format'%s'", "h264");
    avformat_close_input(&m_videoInput);
    const QByteArray url = QFile::encodeName(path);
    if (avformat_open_input(&m_videoInput, url.constData(), format, nullptr) < 0) {
        qCWarning(lcMedia, "Could not open input file '%s'", url.constData());
        return;
    }
    if (avformat_find_stream_info(m_videoInput, nullptr) < 0 || m_videoInput->nb_streams < 1) {
        qCWarning(lcMedia, "Failed to retrieve input stream information");
        avformat_close_input(&m_videoInput);
        return;
    }
    qCDebug(lcMedia, "find stream nb_streams=[%u]", m_videoInput->nb_streams);
    m_firstTimestamp = m_lastTimestamp = packet.timestamp;
    m_state |= Recognised;
}

bool CMuxer::WaitForWork()
{
    QMutexLocker lock(&m_mutex);
    for (;;) {
        const int state = m_state.load();
        const bool stopping = m_stopRequested.load();
        if (m_failed.load()) {
            m_videoQueue.clear();
            m_audioQueue.clear();
            return false;
        }
        if (state & Ready) {
            if (!m_videoQueue.isEmpty() || !m_audioQueue.isEmpty())
                return true;
            if (stopping)
                return false;
        } else if ((state & Recognised) && !m_videoQueue.isEmpty()
                   && (m_videoQueue.size() > kReadyQueueLength || stopping)) {
            // A short run that ends before the queue filled up still becomes a file.
            m_state |= Ready;
            m_audioDisabled = true;
            return true;
        } else if (stopping) {
            qCDebug(lcMedia, "[MUXER] RELEASE WAIT video queue count=%d, audio queue count=%d",
                    int(m_videoQueue.size()), int(m_audioQueue.size()));
            m_videoQueue.clear();
            m_audioQueue.clear();
            return false;
        }
        m_wake.wait(&m_mutex);
    }
}

void CMuxer::WriterLoop()
{
    while (WaitForWork()) {
        if (!(m_state.load() & OutputOpen)) {
            int frameRate = 0;
            {
                QMutexLocker lock(&m_mutex);
                if (!m_videoQueue.isEmpty())
                    frameRate = m_videoQueue.first().fps;
            }
            const int ret = OpenOutput(&m_outputContext, m_videoInput, m_audioInput, nullptr, PartFilePath(),
                                       m_formatName, frameRate > 0 ? frameRate : 30);
            if (ret < 0 && IsFileError(ret)) {
                Fail(PartFilePath(), ret);
                break;
            }
            if (ret < 0) {
                // The probe input goes before the state says so: from then on the producer
                // probes again into it.
                avformat_close_input(&m_videoInput);
                m_state = 0;
                // Pictures already queued stay queued; the next pushed picture is probed again.
                continue;
            }
            m_state |= OutputOpen;
        }
        WriteNextVideo();
        WriteNextAudio();
        if (m_failed.load())
            break;
    }
    Finish();
}

void CMuxer::WriteNextVideo()
{
    MuxPacket packet;
    {
        QMutexLocker lock(&m_mutex);
        if (m_videoQueue.isEmpty())
            return;
        packet = m_videoQueue.takeFirst();
    }
    const AVRational tb = m_outputContext->streams[0]->time_base;
    AVRational unit{1, 30};
    if (packet.pts < 0) {
        if (IsFrameIndexed(m_outputContext)) {
            packet.pts = m_videoCount;
            packet.duration = 1;
            unit = av_inv_q(m_outputContext->streams[0]->avg_frame_rate);
        } else {
            packet.duration = PictureDuration(packet.fps);
            packet.pts = m_videoClock;
            unit = AVRational{1, 1000};
        }
        m_videoClock += packet.duration;
    } else if (packet.duration < 0) {
        // A stamped picture without a duration lasts until its own time stamp says.
        packet.pts = packet.timestamp - m_firstTimestamp;
        packet.duration = qMax<qint64>(packet.timestamp - m_lastTimestamp, 0);
        m_lastTimestamp = packet.timestamp;
        unit = AVRational{1, 1000};
        m_videoClock = packet.pts + packet.duration;
    } else {
        m_videoClock += packet.duration;
    }
    ++m_videoCount;
    packet.pts = av_rescale_q_rnd(packet.pts, unit, tb,
                                  static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    packet.duration = av_rescale_q(packet.duration, unit, tb);
    WriteVideoPacket(packet);
}

void CMuxer::WriteNextAudio()
{
    MuxPacket packet;
    {
        QMutexLocker lock(&m_mutex);
        if (m_audioQueue.isEmpty())
            return;
        packet = m_audioQueue.takeFirst();
    }
    if (m_audioDisabled.load() || m_outputContext->nb_streams < 2)
        return;
    const AVRational tb = m_outputContext->streams[1]->time_base;
    packet.pts = av_rescale_q_rnd(packet.pts, AVRational{1, 44100}, tb,
                                  static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    packet.duration = av_rescale_q(packet.duration, AVRational{1, 44100}, tb);
    ++m_audioCount;
    m_audioClock += 1024;
    WriteAudioPacket(packet);
}

void CMuxer::Finish()
{
    {
        QMutexLocker lock(&m_mutex);
        m_videoQueue.clear();
        m_audioQueue.clear();
    }
    if (m_outputContext && (m_state.load() & OutputOpen)) {
        qCDebug(lcMedia, "[MUXER] video count:%lld", static_cast<long long>(m_videoCount));
        if (!m_failed.load()) {
            qCDebug(lcMedia, "[MUXER] write trailer:%s", qUtf8Printable(m_outputPath));
            const int ret = av_write_trailer(m_outputContext);
            if (ret < 0)
                Fail(PartFilePath(), ret);
        }
        // The file is closed now, so that it is complete on disk as soon as Stop returns.
        if (!(m_outputContext->oformat->flags & AVFMT_NOFILE)) {
            const int ret = avio_closep(&m_outputContext->pb);
            if (ret < 0)
                Fail(PartFilePath(), ret);
        }
        avformat_free_context(m_outputContext);
        m_outputContext = nullptr;
        m_state &= ~OutputOpen;
        // Only a whole file takes the target's name; what a failure leaves is removed.
        if (!m_failed.load() && m_videoCount > 0)
            m_wroteFile = CommitOutput();
        else
            QFile::remove(PartFilePath());
    }
    m_videoCount = m_audioCount = m_videoClock = m_audioClock = 0;
    m_waitKeyFrame = true;
    qCDebug(lcMedia, "[MUXER] DONE:%s", qUtf8Printable(m_outputPath));
    QMutexLocker lock(&m_mutex);
    m_stopRequested = false;
    m_running = false;
    m_finished.wakeAll();
}

int CMuxer::OpenOutput(AVFormatContext** out, AVFormatContext* videoIn, AVFormatContext* audioIn,
                       const AVCodecParameters* audioParameters, const QString& url, const QString& formatName,
                       int frameRate)
{
    *out = nullptr;
    if (!videoIn || videoIn->nb_streams < 1)
        return -1;
    const QByteArray urlBytes = QFile::encodeName(url);
    const QByteArray name = formatName.toLatin1();
    qCDebug(lcMedia, "init output url=[%s]", urlBytes.constData());
    const AVOutputFormat* format = av_guess_format(name.constData(), nullptr, nullptr);
    qCDebug(lcMedia, "input format=[%s] ---> guess format name=[%s]", name.constData(),
            format ? format->name : "guess fail...");
    AVFormatContext* oc = nullptr;
    avformat_alloc_output_context2(&oc, format, name.constData(), urlBytes.constData());
    if (!oc) {
        qCWarning(lcMedia, "Could not create output context:%s", urlBytes.constData());
        return -1;
    }
    AVStream* video = avformat_new_stream(oc, nullptr);
    if (!video) {
        avformat_free_context(oc);
        return -1;
    }
    int ret = avcodec_parameters_copy(video->codecpar, videoIn->streams[0]->codecpar);
    if (ret < 0)
        qCWarning(lcMedia, "Could not copy video info '%s'", qUtf8Printable(FfmpegError(ret)));
    video->id = int(oc->nb_streams) - 1;
    video->avg_frame_rate = AVRational{frameRate, 1};
    video->time_base = IsFrameIndexed(oc) ? AVRational{1, frameRate} : AVRational{1, 1000};
    video->codecpar->codec_tag = 0;
    if (audioParameters || audioIn) {
        AVStream* audio = avformat_new_stream(oc, nullptr);
        if (audio) {
            ret = audioParameters ? avcodec_parameters_copy(audio->codecpar, audioParameters)
                                  : (audioIn->nb_streams > 0
                                         ? avcodec_parameters_copy(audio->codecpar, audioIn->streams[0]->codecpar)
                                         : AVERROR(EINVAL));
            if (ret < 0)
                qCWarning(lcMedia, "Could not copy audio info '%s'", qUtf8Printable(FfmpegError(ret)));
            audio->id = int(oc->nb_streams) - 1;
        }
    }
    if (lcMedia().isDebugEnabled())
        av_dump_format(oc, 0, urlBytes.constData(), 1);
    if (!(oc->oformat->flags & AVFMT_NOFILE)) {
        ret = avio_open(&oc->pb, urlBytes.constData(), AVIO_FLAG_WRITE);
        if (ret < 0) {
            qCWarning(lcMedia, "Could not open output file '%s'", urlBytes.constData());
            avformat_free_context(oc);
            return ret;
        }
    }
    ret = avformat_write_header(oc, nullptr);
    if (ret >= 0 && oc->pb && oc->pb->error < 0)
        ret = oc->pb->error;
    if (ret < 0) {
        qCWarning(lcMedia, "Error occurred when opening output file: %s", qUtf8Printable(FfmpegError(ret)));
        avio_closep(&oc->pb);
        avformat_free_context(oc);
        QFile::remove(url);
        return ret;
    }
    *out = oc;
    return 0;
}

bool CMuxer::WriteVideoPacket(const MuxPacket& packet)
{
    AVPacket* pkt = av_packet_alloc();
    if (!pkt)
        return true;
    pkt->data = reinterpret_cast<uint8_t*>(packet.data->data());
    pkt->size = packet.size;
    pkt->pts = pkt->dts = packet.pts;
    pkt->duration = packet.duration;
    pkt->stream_index = packet.streamIndex;
    pkt->flags = packet.keyFrame ? AV_PKT_FLAG_KEY : 0;
    pkt->pos = -1;
    // av_interleaved_write_frame takes a reference of unreferenced data by copying it.
    const int ret = av_interleaved_write_frame(m_outputContext, pkt);
    av_packet_free(&pkt);
    if (ret >= 0)
        return true;
    if (OutputFileFailed(ret)) {
        Fail(PartFilePath(),
             m_outputContext->pb && m_outputContext->pb->error < 0 ? m_outputContext->pb->error : ret);
        return false;
    }
    qCWarning(lcMedia, "Error muxing packet: %s", qUtf8Printable(FfmpegError(ret)));
    return true;
}

bool CMuxer::WriteAudioPacket(const MuxPacket& packet)
{
    if (!m_adtsFilter)
        return true;
    AVPacket* pkt = av_packet_alloc();
    if (!pkt)
        return true;
    if (av_new_packet(pkt, packet.size) < 0) {
        av_packet_free(&pkt);
        return true;
    }
    memcpy(pkt->data, packet.data->constData(), size_t(packet.size));
    int ret = av_bsf_send_packet(m_adtsFilter, pkt);
    if (ret >= 0)
        ret = av_bsf_receive_packet(m_adtsFilter, pkt);
    if (ret < 0) {
        qCWarning(lcMedia, "av_bitstream_filter_filter error");
        av_packet_free(&pkt);
        return true;
    }
    pkt->pts = pkt->dts = packet.pts;
    pkt->duration = packet.duration;
    pkt->stream_index = packet.streamIndex;
    pkt->pos = -1;
    qCDebug(lcMedia, "write audio stream_index=%d pts=%lld dts=%lld duration=%lld size=%d", pkt->stream_index,
            static_cast<long long>(pkt->pts), static_cast<long long>(pkt->dts),
            static_cast<long long>(pkt->duration), pkt->size);
    ret = av_interleaved_write_frame(m_outputContext, pkt);
    av_packet_free(&pkt);
    if (ret >= 0)
        return true;
    if (OutputFileFailed(ret)) {
        Fail(PartFilePath(),
             m_outputContext->pb && m_outputContext->pb->error < 0 ? m_outputContext->pb->error : ret);
        return false;
    }
    qCWarning(lcMedia, "Error muxing packet ret=%d", ret);
    return true;
}
