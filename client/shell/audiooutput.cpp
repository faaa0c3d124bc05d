#include "shell/audiooutput.h"

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
{
}

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
            qDebug() << "Default AudioDevice  :" << info.deviceName();
        else
            qDebug() << "        AudioDevice  :" << info.deviceName();
    }
    if (m_device.isNull()) {
        qDebug() << "no sound output device: sound is dropped";
        return;
    }

    qDebug() << kRule;
    qDebug() << "SET     AudioDevice   :" << m_device.deviceName();
    qDebug() << kRule;
    qDebug() << "SUPPORT SampleRates   :" << m_device.supportedSampleRates();
    qDebug() << "SUPPORT ChanCounts    :" << m_device.supportedChannelCounts();
    qDebug() << "SUPPORT SampleSizes   :" << m_device.supportedSampleSizes();
    qDebug() << "SUPPORT Codecs        :" << m_device.supportedCodecs();
    qDebug() << "SUPPORT ByteOders     :" << m_device.supportedByteOrders();
    qDebug() << "SUPPORT SampleTypes   :" << m_device.supportedSampleTypes();
    qDebug() << kRule;
    qDebug() << "SET FORMAT SampleRate :" << m_format.sampleRate();
    qDebug() << "SET FORMAT ChanCount  :" << m_format.channelCount();
    qDebug() << "SET FORMAT SampleSize :" << m_format.sampleSize();
    qDebug() << "SET FORMAT Codec      :" << m_format.codec();
    qDebug() << "SET FORMAT ByteOrder  :" << m_format.byteOrder();
    qDebug() << "SET FORMAT SampleType :" << m_format.sampleType();
    qDebug() << kRule;

    if (!m_device.isFormatSupported(m_format)) {
        m_format = m_device.nearestFormat(m_format);
        qDebug() << "Audio format not supported! trying to use nearest";
        qDebug() << "NEAR_FORMAT SampleRate :" << m_format.sampleRate();
        qDebug() << "NEAR_FORMAT ChanCount  :" << m_format.channelCount();
        qDebug() << "NEAR_FORMAT SampleSize :" << m_format.sampleSize();
        qDebug() << "NEAR_FORMAT Codec      :" << m_format.codec();
        qDebug() << "NEAR_FORMAT ByteOrder  :" << m_format.byteOrder();
        qDebug() << "NEAR_FORMAT SampleType :" << m_format.sampleType();
        qDebug() << kRule;
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
        qDebug() << "sound output could not be started:" << m_output->error();
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
            qDebug() << "sound output: held sound dropped," << m_held << "bytes";
        m_held = 0;
    }
    if (length > kPeriodBufferSize) {
        if (!WriteAll(data, length))
            qDebug() << "sound output: block of" << length << "bytes not fully played";
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
        qDebug() << "sound output: write failed," << m_held << "held bytes dropped";
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
            qDebug() << "sound output took nothing for" << kStallLimitMs << "ms";
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
