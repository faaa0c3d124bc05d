#include "ui/wavecapture.h"

WaveCapture::WaveCapture(std::unique_ptr<AudioCaptureDevice> device, ErrorReport error)
    : m_device(std::move(device))
    , m_error(std::move(error))
{}

bool WaveCapture::Open(int blockBytes, int samplesPerSecond, int bitsPerSample, Callback callback)
{
    if (!m_device || !m_device->HasOutputDevice() || blockBytes <= 0)
        return false;
    if (!m_device->Open(samplesPerSecond, bitsPerSample))
        return false;
    m_blockBytes = blockBytes;
    m_callback = std::move(callback);
    m_open = true;
    return true;
}

bool WaveCapture::Start()
{
    if (!m_open || m_running)
        return false;
    if (!m_device->Start(m_blockBytes, [this](const QByteArray& block) { OnBlockDone(block); })) {
        if (m_error)
            m_error(QStringLiteral("error waveInPrepareHeader"), QStringLiteral("recoder"));
        return false;
    }
    m_running = true;
    return true;
}

void WaveCapture::Stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_device->Stop();
}

void WaveCapture::OnBlockDone(const QByteArray& block)
{
    if (!m_running)
        return;
    const QByteArray copy = block;
    if (m_callback)
        m_callback(copy);
}
