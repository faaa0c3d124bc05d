#pragma once
// The microphone through Qt Multimedia's default audio input, gathered into whole blocks.
#include <memory>

#include <QAudioFormat>

#include "ui/audiocapturedevice.h"

class QAudioInput;
class QIODevice;

class QtAudioCaptureDevice : public AudioCaptureDevice
{
public:
    QtAudioCaptureDevice();
    ~QtAudioCaptureDevice() override;

    bool HasOutputDevice() const override;
    bool Open(int samplesPerSecond, int bitsPerSample) override;
    bool Start(int blockBytes, std::function<void(const QByteArray&)> onBlock) override;
    void Stop() override;

private:
    void OnReadable();

    QAudioFormat m_format;
    std::unique_ptr<QAudioInput> m_input;
    QIODevice* m_stream = nullptr;
    QByteArray m_block;
    int m_blockBytes = 0;
    std::function<void(const QByteArray&)> m_onBlock;
};
