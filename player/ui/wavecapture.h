#pragma once
// The microphone capture: one block buffer re-queued after every block, handed to a callback
// while the capture runs.
#include <functional>
#include <memory>

#include <QByteArray>
#include <QString>

#include "ui/audiocapturedevice.h"

class WaveCapture
{
public:
    using Callback = std::function<void(const QByteArray&)>;
    // Shown as a top-most error box when the input refuses the buffer.
    using ErrorReport = std::function<void(const QString& text, const QString& caption)>;

    WaveCapture(std::unique_ptr<AudioCaptureDevice> device, ErrorReport error);

    // Fails without an output device or a usable input.
    bool Open(int blockBytes, int samplesPerSecond, int bitsPerSample, Callback callback);
    // Refused while running; false when the buffer cannot be queued (the error box is shown).
    bool Start();
    void Stop();
    bool Running() const { return m_running; }
    // A recorded block: ignored unless running; otherwise handed on.
    void OnBlockDone(const QByteArray& block);

private:
    std::unique_ptr<AudioCaptureDevice> m_device;
    ErrorReport m_error;
    Callback m_callback;
    int m_blockBytes = 0;
    bool m_open = false;
    bool m_running = false;
};
