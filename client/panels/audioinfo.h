#pragma once
// The device the talk-back capture writes into: measures the level of every buffer for the meter
// and hands the samples on to whoever listens (the chosen recorder while talking). Reading gives
// nothing. Widget-free.
#include <QAudioFormat>
#include <QIODevice>
#include <functional>

class AudioInfo : public QIODevice
{
    Q_OBJECT

public:
    using Sink = std::function<void(const char* data, qint64 length)>;

    explicit AudioInfo(const QAudioFormat& format, QObject* parent = nullptr);

    // The largest magnitude one sample of the format can have; 0 for a format it cannot measure.
    static quint32 MaxAmplitude(const QAudioFormat& format);
    // The peak of a buffer as a share 0..1 of the format's largest magnitude; 0 when the format
    // cannot be measured.
    static double PeakLevel(const QAudioFormat& format, const char* data, qint64 length);

    void start() { open(QIODevice::WriteOnly); }
    void stop() { close(); }
    double level() const { return m_level; }
    void SetSink(Sink sink) { m_sink = std::move(sink); }

signals:
    void update();

protected:
    qint64 readData(char* data, qint64 maxLength) override;
    qint64 writeData(const char* data, qint64 length) override;

private:
    QAudioFormat m_format;
    quint32 m_maxAmplitude = 0;
    double m_level = 0.0;
    Sink m_sink;
};
