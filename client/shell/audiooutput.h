#pragma once
// The client's one sound output: 8 kHz mono 16-bit PCM pushed into the system's default output
// device. Only the sound of the chosen recorder (the one that most recently started live audio,
// chose a playback audio channel or started remote playback) is played; everything else is
// dropped. A machine without a sound device is a normal case: there is no output then and every
// write is dropped quietly.
//
// Writes come from the sessions' audio threads and are serialised by the audio lock. Sound the
// device cannot take at once is held in the 32768-byte period buffer and goes out, in order,
// before later sound. The held sound never grows past that buffer: a block that would not fit
// first waits until what is held has gone to the device, and a block larger than the whole
// buffer is written straight through. A device that takes nothing for kStallLimitMs is given up
// on for that write, so that a broken device cannot hold a session thread for ever.
#include <QAudio>
#include <QAudioDeviceInfo>
#include <QAudioFormat>
#include <QByteArray>
#include <QMutex>
#include <QObject>

#include <atomic>

class QAudioOutput;
class QIODevice;

class AudioOutput : public QObject
{
    Q_OBJECT

public:
    static constexpr int kPeriodBufferSize = 32768;
    static constexpr int kSampleRate = 8000;
    static constexpr int kStallLimitMs = 2000;

    explicit AudioOutput(QObject* parent = nullptr);
    ~AudioOutput() override;

    // Chooses the default output device and the format (the device's nearest when it does not
    // take 8 kHz mono 16-bit); logs the devices and what they support.
    void initializeAudio();
    // (Re)creates the output on the chosen device and starts it in push mode. Without a device
    // there is no output and writes are dropped.
    void createAudioOutput();
    void startAudioOutput();
    // Stops the output; later writes are dropped until it is started again.
    void stopAudioOutput();

    // Plays `length` bytes of PCM when `recorder` is the chosen recorder; see the header comment.
    void WriteAudioOutput(const char* data, qint64 length, int recorder);

    void SetChosenRecorder(int recorder) { m_chosenRecorder.store(recorder); }
    int GetChosenRecorder() const { return m_chosenRecorder.load(); }

    QAudioFormat Format() const { return m_format; }
    QAudioDeviceInfo Device() const { return m_device; }
    bool HasOutput() const;
    // Bytes held in the period buffer, not yet taken by the device.
    int HeldBytes() const;

    // Writes go to `device` from now on (createAudioOutput passes the output's push device;
    // tests pass a device of their own). Null drops every write. What was held is discarded.
    void AttachPushDevice(QIODevice* device);

public slots:
    // The output's notify: sends held sound the device has room for.
    void notified();

private:
    // Writes as much of the held sound as the device takes now. Under the audio lock.
    void DrainHeld();
    // Writes all of `data`, waiting for the device; false when the device failed or stalled and
    // the rest was dropped. Under the audio lock.
    bool WriteAll(const char* data, qint64 length);
    bool OutputBroken() const;

    QAudioDeviceInfo m_device;
    QAudioFormat m_format;
    QAudioOutput* m_output = nullptr;
    QIODevice* m_pushDevice = nullptr;

    mutable QMutex m_audioLock;
    QByteArray m_periodBuffer;
    int m_held = 0;

    std::atomic<int> m_chosenRecorder{-1};
};
