#include "engine/qtaudiosink.h"

#include "engine/enginelog.h"

#include "common/media/mulaw.h"

#include <QAudioDeviceInfo>
#include <QAudioOutput>

QtAudioSink::QtAudioSink(QObject* parent)
    : QObject(parent)
{}

QtAudioSink::~QtAudioSink()
{
    if (m_output)
        m_output->stop();
}

QAudioDeviceInfo QtAudioSink::OutputDevice()
{
    // Without a sound server the system's default sound plugin offers no device although
    // another plugin may (ALSA beside an absent PulseAudio): the first such device is taken.
    const QAudioDeviceInfo device = QAudioDeviceInfo::defaultOutputDevice();
    if (!device.isNull())
        return device;
    for (const QAudioDeviceInfo& other : QAudioDeviceInfo::availableDevices(QAudio::AudioOutput)) {
        if (!other.isNull() && !other.deviceName().isEmpty())
            return other;
    }
    return {};
}

bool QtAudioSink::Open(int samplesPerSecond, int bitsPerSample)
{
    const QAudioDeviceInfo device = OutputDevice();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setSampleRate(samplesPerSecond);
    format.setChannelCount(1);
    format.setSampleSize(bitsPerSample);
    format.setCodec(QStringLiteral("audio/pcm"));
    format.setByteOrder(QAudioFormat::LittleEndian);
    format.setSampleType(QAudioFormat::SignedInt);
    if (!device.isFormatSupported(format)) {
        qCDebug(lcPlayerEngine) << "sound device" << device.deviceName() << "refuses 8 kHz 16-bit mono";
        return false;
    }
    m_output = std::make_unique<QAudioOutput>(device, format);
    // Room for the blocks the play timer hands over ahead of the device.
    m_output->setBufferSize(samplesPerSecond * bitsPerSample / 8);
    m_device = m_output->start();
    return m_device != nullptr;
}

void QtAudioSink::PlayBlock(const QByteArray& block)
{
    if (m_device)
        m_device->write(block);
}

void QtAudioSink::PlayMuLaw(const QByteArray& bytes)
{
    QByteArray linear;
    linear.reserve(bytes.size() * 2);
    for (char code : bytes) {
        const qint16 sample = MuLawToLinear(quint8(code));
        linear.append(char(sample & 0xFF));
        linear.append(char((sample >> 8) & 0xFF));
    }
    PlayBlock(linear);
}

void QtAudioSink::Stop()
{
    if (!m_output)
        return;
    // Drop what the device still holds and start afresh.
    m_output->reset();
    m_device = m_output->start();
}
