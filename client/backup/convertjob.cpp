#include "backup/convertjob.h"

#include "backup/convertlog.h"
#include "backup/convertsource.h"
#include "common/media/cmuxer.h"
#include "common/media/timeoverlay.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

constexpr int kSecondsPerDay = 86400;

} // namespace

ConvertJob::ConvertJob(Options options)
    : m_options(std::move(options))
    , m_filters(std::make_unique<std::array<FilterSlot, 2>>())
{}

ConvertJob::~ConvertJob()
{
    m_muxer.reset();
    FreeCodecs();
}

void ConvertJob::FreeCodecs()
{
    avcodec_free_context(&m_decoder);
    avcodec_free_context(&m_encoder);
    m_pictureCounter = 0;
    for (FilterSlot& slot : *m_filters) {
        slot.Free();
        slot.description.clear();
    }
}

int ConvertJob::SecondOfDay(int hhmmss)
{
    return (hhmmss / 10000) * 3600 + ((hhmmss / 100) % 100) * 60 + hhmmss % 100;
}

int ConvertJob::Percent(int currentSecond, int startSecond, int endSecond)
{
    if (currentSecond - startSecond <= 0 || endSecond - startSecond <= 0)
        return 0;
    return int(qint64(currentSecond - startSecond) * 100 / (endSecond - startSecond));
}

ConvertJob::Result ConvertJob::Run(ConvertSource& source, const QString& folder, const QString& fileName,
                                   const std::function<bool()>& stopRequested,
                                   const std::function<void(int)>& progress)
{
    // The source hands its pictures to this job while the run lasts.
    struct Attach
    {
        ConvertSource& source;
        ~Attach() { source.SetConvertJob(nullptr); }
    } attach{source};
    source.SetConvertJob(this);
    if (!source.OpenLocalFile(folder, fileName)) {
        qCWarning(lcConvert) << "cannot open the recording" << folder + fileName;
        return Result::NotOpened;
    }
    m_frameCount = m_transcodeCount = m_muxerCount = 0;
    m_error.clear();
    m_muxer = std::make_unique<CMuxer>(m_options.outputPath, m_options.formatName);
    m_muxer->Start();
    const int startSecond = SecondOfDay(source.StartTime());
    int endSecond = SecondOfDay(source.EndTime());
    // Start and end lie in the first and last recorded minute at the same second, so a recording
    // of one minute has no span at all: measure it up to the last second of its minute instead.
    if (endSecond <= startSecond)
        endSecond = startSecond - startSecond % 60 + 59;
    qCDebug(lcConvert) << "THREAD_AVI_MUXER startTime =" << source.StartTime()
                       << ", endTime =" << source.EndTime();
    bool stopped = false;
    // The whole day from the first recorded minute on, second 00:00:00 included; minutes the
    // index does not mark cost one look-up each.
    for (int second = qMax(source.FirstSecond(), 0); second < kSecondsPerDay; ++second) {
        if (stopRequested && stopRequested()) {
            stopped = true;
            break;
        }
        // The muxer stops at its first failed write: reading on would be in vain.
        if (m_muxer->Failed())
            break;
        if (!source.MinutePresent(second / 60))
            continue;
        source.ReadLocalIndex(second / 3600, (second / 60) % 60, second % 60, *this);
        if (progress)
            progress(Percent(second, startSecond, endSecond));
    }
    if (m_encoder)
        FlushEncoder(m_framesInLastSecond);
    qCDebug(lcConvert) << "THREAD_AVI_MUXER FrameInCnt =" << m_frameCount << "TransInCnt =" << m_transcodeCount
                       << "MuxerInCnt =" << m_muxerCount;
    m_muxer->Stop();
    const bool written = m_muxer->WroteFile();
    m_error = m_muxer->ErrorText();
    m_muxer.reset();
    FreeCodecs();
    // A stop that follows a failed write is that failure.
    if (stopped && m_error.isEmpty())
        return Result::Stopped;
    return written ? Result::Written : Result::NoFile;
}

void ConvertJob::ConvertFrame(const Picture& frame, int framesInSecond)
{
    if (!m_muxer)
        return;
    ++m_frameCount;
    m_framesInLastSecond = framesInSecond;
    MuxPacket packet;
    if (m_options.timeOverlay) {
        int size = 0;
        int flags = 0;
        if (!Transcode(frame, framesInSecond, size, flags) || size <= 0)
            return;
        packet = MuxPacket::FromBytes(reinterpret_cast<const char*>(m_buffer.data()), size);
        packet.keyFrame = flags == 1;
    } else {
        packet = MuxPacket::FromBytes(frame.data.constData(), frame.data.size());
        packet.keyFrame = frame.key;
    }
    packet.pts = -1;
    packet.duration = 1;
    packet.timestamp = qint64(frame.timestamp);
    packet.fps = framesInSecond;
    packet.streamIndex = 0;
    ++m_muxerCount;
    m_muxer->PushPacket(std::move(packet));
}

void ConvertJob::SetOverlayText(int date, int time)
{
    // A graph is rebuilt only when its text changes, that is once per second of the recording.
    const QByteArray descriptions[2] = {TimeOverlay::DateDescription(date, m_options.fontFile),
                                        TimeOverlay::TimeDescription(time, m_options.fontFile)};
    for (int i = 0; i < 2; ++i) {
        FilterSlot& slot = (*m_filters)[size_t(i)];
        if (slot.description != descriptions[i]) {
            slot.Free();
            slot.description = descriptions[i];
        }
    }
}

bool ConvertJob::Transcode(const Picture& frame, int framesInSecond, int& size, int& flags)
{
    SetOverlayText(frame.date, frame.time);
    ++m_transcodeCount;
    m_buffer.resize(CMuxer::kTranscodeBufferSize);
    const int ret = CMuxer::TranscodeVideo(
        &m_decoder, &m_encoder, reinterpret_cast<const uint8_t*>(frame.data.constData()), frame.data.size(),
        framesInSecond, m_filters->data(), int(m_filters->size()), nullptr, m_buffer.data(), int(m_buffer.size()),
        &size, &flags, &m_pictureCounter);
    if (ret != 0) {
        qCWarning(lcConvert, "v_dec_and_enc error : ret=%d, transFlags=%d, transSize=%d", ret, flags, size);
        return false;
    }
    return true;
}

void ConvertJob::FlushEncoder(int framesInSecond)
{
    CMuxer::FlushEncoder(m_encoder);
    m_buffer.resize(CMuxer::kTranscodeBufferSize);
    int size = 0;
    int flags = 0;
    // Every picture the encoder still holds comes out; an empty answer means it is drained.
    while (CMuxer::DrainEncoder(m_encoder, m_buffer.data(), int(m_buffer.size()), &size, &flags) > 0) {
        qCDebug(lcConvert, "v_dec_and_enc flush : transFlags=%d, transSize=%d", flags, size);
        MuxPacket packet = MuxPacket::FromBytes(reinterpret_cast<const char*>(m_buffer.data()), size);
        packet.keyFrame = flags == 1;
        packet.pts = -1;
        packet.duration = 1;
        packet.fps = framesInSecond;
        ++m_muxerCount;
        m_muxer->PushPacket(std::move(packet));
    }
}
