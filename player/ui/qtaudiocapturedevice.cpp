#include "ui/qtaudiocapturedevice.h"
#include "engine/qtaudiosink.h"

#include <QAudioDeviceInfo>
#include <QAudioInput>

QtAudioCaptureDevice::QtAudioCaptureDevice() = default;

QtAudioCaptureDevice::~QtAudioCaptureDevice()
{
    Stop();
}

bool QtAudioCaptureDevice::HasOutputDevice() const
{
    return !QtAudioSink::OutputDevice().isNull();
}

bool QtAudioCaptureDevice::Open(int samplesPerSecond, int bitsPerSample)
{
    const QAudioDeviceInfo device = QAudioDeviceInfo::defaultInputDevice();
    if (device.isNull())
        return false;
    m_format.setSampleRate(samplesPerSecond);
    m_format.setChannelCount(1);
    m_format.setSampleSize(bitsPerSample);
    m_format.setCodec(QStringLiteral("audio/pcm"));
    m_format.setByteOrder(QAudioFormat::LittleEndian);
    m_format.setSampleType(bitsPerSample == 8 ? QAudioFormat::UnSignedInt : QAudioFormat::SignedInt);
    if (!device.isFormatSupported(m_format))
        return false;
    m_input = std::make_unique<QAudioInput>(device, m_format);
    return true;
}

bool QtAudioCaptureDevice::Start(int blockBytes, std::function<void(const QByteArray&)> onBlock)
{
    if (!m_input || blockBytes <= 0)
        return false;
    m_blockBytes = blockBytes;
    m_onBlock = std::move(onBlock);
    m_block.clear();
    m_stream = m_input->start();
    if (!m_stream)
        return false;
    QObject::connect(m_stream, &QIODevice::readyRead, m_stream, [this] { OnReadable(); });
    return true;
}

void QtAudioCaptureDevice::Stop()
{
    if (m_input)
        m_input->stop();
    m_stream = nullptr;
    m_block.clear();
}

void QtAudioCaptureDevice::OnReadable()
{
    if (!m_stream)
        return;
    m_block += m_stream->readAll();
    while (m_block.size() >= m_blockBytes) {
        const QByteArray block = m_block.left(m_blockBytes);
        m_block.remove(0, m_blockBytes);
        if (m_onBlock)
            m_onBlock(block);
    }
}
