#include "console/decodingtask.h"

#include "common/media/moduledecoder.h"
#include "console/consolelog.h"

namespace {

constexpr int kDecodeMode = 3;
// Size codes above this mean a picture was made.
constexpr int kPictureMade = 1000;

} // namespace

DecodingTask::DecodingTask()
    : m_decoder(std::make_unique<CModuleDecoder>())
{
    MirelAVFrame::Register();
    m_decoder->OpenDecoder();
}

DecodingTask::~DecodingTask()
{
    stop();
    wait();
    m_decoder->CloseDecoder();
}

void DecodingTask::stop()
{
    QMutexLocker lock(&m_lock);
    if (m_running.load() > 0)
        m_running = -1;
    m_wake.wakeAll();
}

int DecodingTask::queued() const
{
    QMutexLocker lock(&m_lock);
    return m_queue.size();
}

void DecodingTask::hasConnectionClosed()
{
    stop();
}

void DecodingTask::didReceiveAVFrame(MirelAVFrame frame)
{
    // An owned copy: the connection gathers its next frame into a fresh payload.
    MirelAVFrame own = frame;
    own.payload = QSharedPointer<QByteArray>::create(*frame.payload);
    QMutexLocker lock(&m_lock);
    if (m_running.load() <= 0)
        return;
    if (m_queue.size() >= kMaxQueued) {
        qCDebug(lcConsole) << "console decoding falls behind; dropping" << m_queue.size() << "frames";
        m_queue.clear();
    }
    m_queue.enqueue(own);
    m_wake.wakeOne();
}

bool DecodingTask::Next(MirelAVFrame& frame)
{
    QMutexLocker lock(&m_lock);
    while (m_running.load() > 0 && m_queue.isEmpty())
        m_wake.wait(&m_lock);
    if (m_running.load() <= 0)
        return false;
    frame = m_queue.dequeue();
    return true;
}

void DecodingTask::run()
{
    MirelAVFrame frame;
    while (Next(frame)) {
        QByteArray& bytes = *frame.payload;
        const int code = m_decoder->OnDecode(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size(),
                                             kDecodeMode, 0, 0, false);
        if (code > kPictureMade)
            emit didAVFrameDecoded(m_decoder->GetImage().copy());
        frame = MirelAVFrame();
    }
    {
        QMutexLocker lock(&m_lock);
        m_queue.clear();
        m_running = 0;
    }
    emit workFinished();
}
