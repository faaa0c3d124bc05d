#pragma once
// The sound device: Qt Multimedia's default output in push mode, 16-bit mono. A machine without
// an output device is a normal state: Open fails and the player stays silent.
#include "engine/audiosink.h"

#include <QAudioDeviceInfo>
#include <QObject>

#include <memory>

class QAudioOutput;
class QIODevice;

class QtAudioSink : public QObject, public AudioSink
{
    Q_OBJECT
public:
    explicit QtAudioSink(QObject* parent = nullptr);
    ~QtAudioSink() override;

    bool Open(int samplesPerSecond, int bitsPerSample) override;
    void PlayBlock(const QByteArray& block) override;
    void PlayMuLaw(const QByteArray& bytes) override;
    void Stop() override;

    // The system's default sound output, else the first output device any sound plugin offers;
    // null when there is none.
    static QAudioDeviceInfo OutputDevice();

private:
    std::unique_ptr<QAudioOutput> m_output;
    QIODevice* m_device = nullptr;
};
