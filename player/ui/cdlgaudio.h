#pragma once
// The live audio panel: a combo box of the hub's recorders, eight buttons that ask the chosen
// recorder for the live audio of channel 1 to 8, and the microphone toggle for talk-back. The
// player opens no recorder connection, so the combo box stays empty and the buttons end in
// their notices.
#include <array>
#include <functional>
#include <memory>

#include <QWidget>

#include "ui/wavecapture.h"

class CSkinButton;
class HPNetServer;
class HPNetwork;
class QComboBox;

class CDlgAudio : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kBlockBytes = 8000;
    static constexpr int kSamplesPerSecond = 8000;
    static constexpr int kBitsPerSample = 16;
    static constexpr QSize kSize{140, 100};

    using Notice = std::function<void(const QString& textKey, const QString& captionKey)>;

    // `notice` shows a language-table message box; `error` a top-most error box of the capture.
    CDlgAudio(HPNetwork& hub, std::unique_ptr<AudioCaptureDevice> device, Notice notice,
              WaveCapture::ErrorReport error, QWidget* parent = nullptr);
    ~CDlgAudio() override;

    bool CaptureAvailable() const { return m_captureAvailable; }
    bool Capturing() const { return m_capture.Running(); }
    CSkinButton* AudioButton(int channel) const { return m_audio[size_t(channel)]; }
    CSkinButton* MicButton() const { return m_mic; }
    QComboBox* Recorders() const { return m_recorders; }

    void OnAudio(int channel);
    void OnMic();
    // The combo box's list is dropping down: refill it from the hub, keeping the selection.
    void RefillRecorders();
    // A captured block (the capture's callback).
    void OnCaptured(const QByteArray& block);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    HPNetServer* SelectedRecorder() const;
    void ReleaseMic();

    HPNetwork& m_hub;
    Notice m_notice;
    WaveCapture m_capture;
    bool m_captureAvailable = false;
    std::array<CSkinButton*, 8> m_audio{};
    CSkinButton* m_mic = nullptr;
    QComboBox* m_recorders = nullptr;
};
