#include "engine/csoundplayer.h"

#include "engine/enginelog.h"

#include <QThread>
#include <QTimer>

CSoundPlayer::CSoundPlayer(AudioSink* sink, QObject* parent)
    : QObject(parent)
    , m_sink(sink)
    , m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &CSoundPlayer::TimerStep);
}

CSoundPlayer::~CSoundPlayer() = default;

bool CSoundPlayer::Init(int samplesPerSecond, int bitsPerSample)
{
    if (!m_sink || !m_sink->Open(samplesPerSecond, bitsPerSample))
        return false;
    m_bytesPerSecond = samplesPerSecond * bitsPerSample / 8;
    for (QByteArray& block : m_ring)
        block.reserve(kBlockBytes);
    return true;
}

void CSoundPlayer::SetStartThreshold(int blocks)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_startThreshold = blocks < 1 ? 1 : blocks;
}

int CSoundPlayer::WaitingBlocks() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return int(m_waiting.size());
}

bool CSoundPlayer::IsPlaying() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_playing;
}

void CSoundPlayer::Write(const char* data, int length)
{
    if (!data || length <= 0)
        return;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        const int entry = m_next;
        if (m_inUse[size_t(entry)]) {
            qCDebug(lcPlayerEngine) << "sound ring full: block dropped";
            return;
        }
        m_next = (m_next + 1) % kRingBlocks;
        m_inUse[size_t(entry)] = true;
        m_ring[size_t(entry)] = QByteArray(data, length < kBlockBytes ? length : kBlockBytes);
        m_waiting.push_back(entry);
    }
    // The timer and the device belong to the player's own thread.
    if (QThread::currentThread() == thread())
        StartIfReady();
    else
        QMetaObject::invokeMethod(
            this, [this] { StartIfReady(); }, Qt::QueuedConnection);
}

void CSoundPlayer::StartIfReady()
{
    int period = 0;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_playing || int(m_waiting.size()) < m_startThreshold)
            return;
        m_playing = true;
        const int entry = m_waiting.front();
        m_waiting.pop_front();
        m_current = entry;
        period = int(int64_t(m_ring[size_t(entry)].size()) * 1000
                     / (m_bytesPerSecond > 0 ? m_bytesPerSecond : 16000));
        m_sink->PlayBlock(m_ring[size_t(entry)]);
    }
    m_timer->start(period > 0 ? period : 250);
}

void CSoundPlayer::TimerStep()
{
    bool stop = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_current >= 0)
            m_inUse[size_t(m_current)] = false;
        m_current = -1;
        if (m_waiting.empty() || !m_playing) {
            m_playing = false;
            stop = true;
        } else {
            const int entry = m_waiting.front();
            m_waiting.pop_front();
            m_current = entry;
            m_sink->PlayBlock(m_ring[size_t(entry)]);
        }
    }
    if (stop)
        m_timer->stop();
}

void CSoundPlayer::WriteMuLaw(const char* data, int length)
{
    if (!data || length <= 0)
        return;
    std::vector<QByteArray> units;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_muLaw.append(data, length);
        while (m_muLaw.size() >= kMuLawUnit) {
            units.push_back(m_muLaw.left(kMuLawUnit));
            m_muLaw.remove(0, kMuLawUnit);
        }
    }
    for (const QByteArray& unit : units) {
        if (QThread::currentThread() == thread())
            m_sink->PlayMuLaw(unit);
        else
            QMetaObject::invokeMethod(
                this, [this, unit] { m_sink->PlayMuLaw(unit); }, Qt::QueuedConnection);
    }
}

void CSoundPlayer::Flush()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_playing = false;
        for (int entry : m_waiting)
            m_inUse[size_t(entry)] = false;
        m_waiting.clear();
        m_muLaw.clear();
    }
    auto stop = [this] {
        m_timer->stop();
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_current >= 0 && !m_playing) {
            m_inUse[size_t(m_current)] = false;
            m_current = -1;
        }
        m_sink->Stop();
    };
    if (QThread::currentThread() == thread())
        stop();
    else
        QMetaObject::invokeMethod(this, stop, Qt::QueuedConnection);
}
