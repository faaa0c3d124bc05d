#include "panels/audioinfo.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

template <typename T>
T ReadSample(const uchar* at, QAudioFormat::Endian order)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return order == QAudioFormat::LittleEndian ? qFromLittleEndian(value) : qFromBigEndian(value);
}

// The magnitude of one sample: unsigned samples as they are, signed ones as their absolute value,
// floats scaled to the range of a 32-bit integer.
quint32 Magnitude(const QAudioFormat& format, const uchar* at)
{
    const auto order = format.byteOrder();
    switch (format.sampleSize()) {
    case 8:
        if (format.sampleType() == QAudioFormat::UnSignedInt)
            return *at;
        return quint32(std::abs(int(qint8(*at))));
    case 16:
        if (format.sampleType() == QAudioFormat::UnSignedInt)
            return ReadSample<quint16>(at, order);
        return quint32(std::abs(int(ReadSample<qint16>(at, order))));
    case 32:
        if (format.sampleType() == QAudioFormat::UnSignedInt)
            return ReadSample<quint32>(at, order);
        if (format.sampleType() == QAudioFormat::SignedInt)
            return quint32(std::min<qint64>(std::llabs(qint64(ReadSample<qint32>(at, order))),
                                            std::numeric_limits<qint32>::max()));
        if (format.sampleType() == QAudioFormat::Float) {
            const quint32 bits = ReadSample<quint32>(at, order);
            float value;
            std::memcpy(&value, &bits, sizeof value);
            const double scaled = std::fabs(double(value)) * 2147483647.0;
            return quint32(std::min(scaled, 2147483647.0));
        }
        return 0;
    default: return 0;
    }
}

} // namespace

AudioInfo::AudioInfo(const QAudioFormat& format, QObject* parent)
    : QIODevice(parent)
    , m_format(format)
    , m_maxAmplitude(MaxAmplitude(format))
{}

quint32 AudioInfo::MaxAmplitude(const QAudioFormat& format)
{
    switch (format.sampleSize()) {
    case 8:
        return format.sampleType() == QAudioFormat::UnSignedInt ? 255u
               : format.sampleType() == QAudioFormat::SignedInt ? 127u
                                                                : 0u;
    case 16:
        return format.sampleType() == QAudioFormat::UnSignedInt ? 65535u
               : format.sampleType() == QAudioFormat::SignedInt ? 32767u
                                                                : 0u;
    case 32:
        if (format.sampleType() == QAudioFormat::UnSignedInt)
            return 0xFFFFFFFFu;
        if (format.sampleType() == QAudioFormat::SignedInt || format.sampleType() == QAudioFormat::Float)
            return 0x7FFFFFFFu;
        return 0;
    default: return 0;
    }
}

double AudioInfo::PeakLevel(const QAudioFormat& format, const char* data, qint64 length)
{
    const quint32 maximum = MaxAmplitude(format);
    const int bytesPerSample = format.sampleSize() / 8;
    const int channels = format.channelCount();
    if (maximum == 0 || bytesPerSample < 1 || channels < 1 || !data)
        return 0.0;
    const qint64 frames = length / (bytesPerSample * channels);
    const auto* at = reinterpret_cast<const uchar*>(data);
    quint32 peak = 0;
    for (qint64 i = 0; i < frames * channels; ++i, at += bytesPerSample)
        peak = std::max(peak, Magnitude(format, at));
    return double(std::min(peak, maximum)) / double(maximum);
}

qint64 AudioInfo::readData(char* /*data*/, qint64 /*maxLength*/)
{
    return 0;
}

qint64 AudioInfo::writeData(const char* data, qint64 length)
{
    if (m_maxAmplitude != 0)
        m_level = PeakLevel(m_format, data, length);
    emit update();
    if (m_sink)
        m_sink(data, length);
    return length;
}
