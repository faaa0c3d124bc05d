#include "shell/audiooutput.h"
#include "shell/shelllog.h"

#include <QAudioOutput>
#include <QDebug>
#include <QElapsedTimer>
#include <QIODevice>
#include <QThread>

#include <algorithm>
#include <cstring>

namespace {

const char* const kRule = "========================================================";

} // namespace

AudioOutput::AudioOutput(QObject* parent)
    : QObject(parent)
    , m_periodBuffer(kPeriodBufferSize, '\0')
{}

AudioOutput::~AudioOutput()
{
    QMutexLocker lock(&m_audioLock);
    m_pushDevice = nullptr;
    if (m_output) {
        m_output->stop();
        delete m_output;
        m_output = nullptr;
    }
}

void AudioOutput::initializeAudio()
{
    {
        QMutexLocker lock(&m_audioLock);
        m_held = 0;
        m_pushDevice = nullptr;
    }
    m_format = QAudioFormat();
    m_format.setSampleRate(kSampleRate);
    m_format.setChannelCount(1);
    m_format.setSampleSize(16);
    m_format.setCodec(QStringLiteral("audio/pcm"));
    m_format.setByteOrder(QAudioFormat::LittleEndian);
    m_format.setSampleType(QAudioFormat::SignedInt);

    m_device = QAudioDeviceInfo::defaultOutputDevice();
    for (const QAudioDeviceInfo& info : QAudioDeviceInfo::availableDevices(QAudio::AudioOutput)) {
        if (!m_device.isNull() && info.deviceName() == m_device.deviceName())
            qCDebug(lcShell) << "Default AudioDevice  :" << info.deviceName();
        else
            qCDebug(lcShell) << "        AudioDevice  :" << info.deviceName();
    }
    if (m_device.isNull()) {
        qCDebug(lcShell) << "no sound output device: sound is dropped";
        return;
    }

    qCDebug(lcShell) << kRule;
    qCDebug(lcShell) << "SET     AudioDevice   :" << m_device.deviceName();
    qCDebug(lcShell) << kRule;
    qCDebug(lcShell) << "SUPPORT SampleRates   :" << m_device.supportedSampleRates();
    qCDebug(lcShell) << "SUPPORT ChanCounts    :" << m_device.supportedChannelCounts();
    qCDebug(lcShell) << "SUPPORT SampleSizes   :" << m_device.supportedSampleSizes();
    qCDebug(lcShell) << "SUPPORT Codecs        :" << m_device.supportedCodecs();
    qCDebug(lcShell) << "SUPPORT ByteOders     :" << m_device.supportedByteOrders();
    qCDebug(lcShell) << "SUPPORT SampleTypes   :" << m_device.supportedSampleTypes();
    qCDebug(lcShell) << kRule;
    qCDebug(lcShell) << "SET FORMAT SampleRate :" << m_format.sampleRate();
    qCDebug(lcShell) << "SET FORMAT ChanCount  :" << m_format.channelCount();
    qCDebug(lcShell) << "SET FORMAT SampleSize :" << m_format.sampleSize();
    qCDebug(lcShell) << "SET FORMAT Codec      :" << m_format.codec();
    qCDebug(lcShell) << "SET FORMAT ByteOrder  :" << m_format.byteOrder();
    qCDebug(lcShell) << "SET FORMAT SampleType :" << m_format.sampleType();
    qCDebug(lcShell) << kRule;

    if (!m_device.isFormatSupported(m_format)) {
        m_format = m_device.nearestFormat(m_format);
        qCDebug(lcShell) << "Audio format not supported! trying to use nearest";
        qCDebug(lcShell) << "NEAR_FORMAT SampleRate :" << m_format.sampleRate();
        qCDebug(lcShell) << "NEAR_FORMAT ChanCount  :" << m_format.channelCount();
        qCDebug(lcShell) << "NEAR_FORMAT SampleSize :" << m_format.sampleSize();
        qCDebug(lcShell) << "NEAR_FORMAT Codec      :" << m_format.codec();
        qCDebug(lcShell) << "NEAR_FORMAT ByteOrder  :" << m_format.byteOrder();
        qCDebug(lcShell) << "NEAR_FORMAT SampleType :" << m_format.sampleType();
        qCDebug(lcShell) << kRule;
    }
}

void AudioOutput::createAudioOutput()
{
    QMutexLocker lock(&m_audioLock);
    m_pushDevice = nullptr;
    m_held = 0;
    if (m_output) {
        m_output->stop();
        delete m_output;
        m_output = nullptr;
    }
    if (m_device.isNull() || !m_format.isValid())
        return;
    m_output = new QAudioOutput(m_device, m_format, this);
    connect(m_output, &QAudioOutput::notify, this, &AudioOutput::notified);
    QIODevice* device = m_output->start();
    if (!device) {
        qCDebug(lcShell) << "sound output could not be started:" << m_output->error();
        return;
    }
    if (!device->isOpen())
        device->open(QIODevice::ReadWrite);
    m_pushDevice = device;
}

void AudioOutput::startAudioOutput()
{
    initializeAudio();
    createAudioOutput();
}

void AudioOutput::stopAudioOutput()
{
    QMutexLocker lock(&m_audioLock);
    m_pushDevice = nullptr;
    m_held = 0;
    if (m_output) {
        m_output->stop();
        disconnect(m_output, nullptr, this, nullptr);
    }
}

bool AudioOutput::HasOutput() const
{
    QMutexLocker lock(&m_audioLock);
    return m_pushDevice != nullptr;
}

int AudioOutput::HeldBytes() const
{
    QMutexLocker lock(&m_audioLock);
    return m_held;
}

void AudioOutput::AttachPushDevice(QIODevice* device)
{
    QMutexLocker lock(&m_audioLock);
    m_pushDevice = device;
    m_held = 0;
}

void AudioOutput::WriteAudioOutput(const char* data, qint64 length, int recorder)
{
    if (recorder != m_chosenRecorder.load())
        return;
    QMutexLocker lock(&m_audioLock);
    if (!m_pushDevice || !data || length <= 0)
        return;

    // Earlier sound first.
    DrainHeld();
    if (m_held + length > kPeriodBufferSize && m_held > 0) {
        // The block would not fit beside what is held: send what is held first.
        if (!WriteAll(m_periodBuffer.constData(), m_held))
            qCDebug(lcShell) << "sound output: held sound dropped," << m_held << "bytes";
        m_held = 0;
    }
    if (length > kPeriodBufferSize) {
        if (!WriteAll(data, length))
            qCDebug(lcShell) << "sound output: block of" << length << "bytes not fully played";
        return;
    }
    std::memcpy(m_periodBuffer.data() + m_held, data, size_t(length));
    m_held += int(length);
    DrainHeld();
}

void AudioOutput::DrainHeld()
{
    if (!m_pushDevice || m_held <= 0)
        return;
    const qint64 written = m_pushDevice->write(m_periodBuffer.constData(), m_held);
    if (written < 0) {
        qCDebug(lcShell) << "sound output: write failed," << m_held << "held bytes dropped";
        m_held = 0;
        return;
    }
    if (written == 0)
        return;
    const int taken = int(std::min<qint64>(written, m_held));
    std::memmove(m_periodBuffer.data(), m_periodBuffer.constData() + taken, size_t(m_held - taken));
    m_held -= taken;
}

bool AudioOutput::OutputBroken() const
{
    if (!m_output)
        return false;
    const QAudio::Error error = m_output->error();
    return error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError;
}

bool AudioOutput::WriteAll(const char* data, qint64 length)
{
    qint64 done = 0;
    QElapsedTimer stall;
    stall.start();
    while (done < length) {
        if (!m_pushDevice || OutputBroken())
            return false;
        const qint64 written = m_pushDevice->write(data + done, length - done);
        if (written < 0)
            return false;
        if (written > 0) {
            done += written;
            stall.restart();
            continue;
        }
        if (stall.elapsed() >= kStallLimitMs) {
            qCDebug(lcShell) << "sound output took nothing for" << kStallLimitMs << "ms";
            return false;
        }
        QThread::msleep(1);
    }
    return true;
}

void AudioOutput::notified()
{
    // Never wait here: a session thread may be feeding the device under the lock.
    if (!m_audioLock.tryLock())
        return;
    DrainHeld();
    m_audioLock.unlock();
}
