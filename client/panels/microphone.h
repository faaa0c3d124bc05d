#pragma once
// The "MicroPhone" dock panel: talk-back to one recorder. It captures the local audio input at
// 8 kHz mono, shows the level in a small meter, and while the "Mic" button is on hands the
// samples to the chosen recorder's session, which codes and sends them. A machine without an
// input device is a normal state: the button stays disabled and nothing is captured.
#include <QAudio>
#include <QAudioDeviceInfo>
#include <QAudioFormat>
#include <QByteArray>
#include <QWidget>
#include <memory>

class QAudioInput;
class QComboBox;
class QPushButton;
class AudioInfo;
class RecorderSession;
class RenderArea;

class microphone : public QWidget
{
    Q_OBJECT

public:
    explicit microphone(QWidget* parent = nullptr);
    ~microphone() override;

    void AddDevice(const QString& name, int recorder);
    void RemoveDevice(const QString& name, int recorder);

    // The recorder that hears the operator; -1 when none is chosen.
    static int TalkBackRecorder();
    bool IsTalking() const { return m_talking; }
    bool HasInput() const { return m_inputAvailable; }
    bool IsCapturing() const { return m_audioInput != nullptr; }
    AudioInfo* LevelDevice() const { return m_audioInfo; }
    RenderArea* Meter() const { return m_canvas; }

public slots:
    void on_pushButton_1_clicked();
    void on_comboBox_currentIndexChanged(int index);
    void on_comboBox_2_activated(int index);
    void on_comboBox_activated(int index);
    void refreshDisplay();
    void notified();
    void handleStateChanged(QAudio::State state);
    void readMore();

private:
    void BuildForm();
    void InitializeAudio();
    void CreateAudioInput();
    void StopCapture();
    static RecorderSession* TalkBackDevice();
    // Captured samples reach the recorder only while the operator talks.
    void SendCaptured(const char* data, qint64 length);

    QComboBox* m_comboBox = nullptr;
    QPushButton* m_pushButton = nullptr;
    QComboBox* m_comboBox2 = nullptr;
    RenderArea* m_canvas = nullptr;

    QAudioDeviceInfo m_device;
    QAudioFormat m_format;
    QAudioInput* m_audioInput = nullptr;
    AudioInfo* m_audioInfo = nullptr;
    QIODevice* m_input = nullptr;
    QByteArray m_buffer;
    bool m_pullMode = true;
    bool m_inputAvailable = false;
    bool m_talking = false;
};
