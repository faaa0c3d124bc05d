#include "ui/cdlgaudio.h"

#include <QComboBox>
#include <QPainter>

#include "playback/hpitemdvr.h"
#include "playback/hpnetserver.h"
#include "playback/hpnetwork.h"
#include "ui/cskinbutton.h"

namespace {

// A combo box that refills itself just before its list drops down.
class RecorderCombo : public QComboBox
{
public:
    RecorderCombo(std::function<void()> beforePopup, QWidget* parent)
        : QComboBox(parent)
        , m_beforePopup(std::move(beforePopup))
    {}
    void showPopup() override
    {
        m_beforePopup();
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_beforePopup;
};

} // namespace

CDlgAudio::CDlgAudio(HPNetwork& hub, std::unique_ptr<AudioCaptureDevice> device, Notice notice,
                     WaveCapture::ErrorReport error, QWidget* parent)
    : QWidget(parent)
    , m_hub(hub)
    , m_notice(std::move(notice))
    , m_capture(std::move(device), std::move(error))
{
    setFixedSize(kSize);
    m_recorders = new RecorderCombo([this] { RefillRecorders(); }, this);
    m_recorders->setGeometry(4, 4, kSize.width() - 8, 22);
    connect(m_recorders, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { m_recorders->setToolTip(m_recorders->currentText()); });
    for (int channel = 0; channel < 8; ++channel) {
        auto* button = new CSkinButton(QString::number(channel + 1), this);
        button->SetDrawCaption(true);
        button->setGeometry(4 + (channel % 4) * 33, 30 + (channel / 4) * 24, 31, 22);
        button->setToolTip(QStringLiteral("Audio%1").arg(channel + 1));
        connect(button, &QPushButton::clicked, this, [this, channel] { OnAudio(channel); });
        m_audio[size_t(channel)] = button;
    }
    m_mic = new CSkinButton(QStringLiteral("Mic"), this);
    m_mic->SetDrawCaption(true);
    m_mic->SetTextColours(Qt::white, Qt::yellow); // pressed while capturing
    m_mic->setGeometry(4, 80, kSize.width() - 8, 18);
    connect(m_mic, &QPushButton::clicked, this, &CDlgAudio::OnMic);
    m_captureAvailable = m_capture.Open(kBlockBytes, kSamplesPerSecond, kBitsPerSample,
                                        [this](const QByteArray& block) { OnCaptured(block); });
}

CDlgAudio::~CDlgAudio()
{
    m_capture.Stop();
}

HPNetServer* CDlgAudio::SelectedRecorder() const
{
    const int id = m_recorders->currentData().isValid() ? m_recorders->currentData().toInt() : -1;
    return m_recorders->currentIndex() < 0 ? nullptr : m_hub.GetServer(id);
}

void CDlgAudio::RefillRecorders()
{
    const QVariant selected = m_recorders->currentData();
    QSignalBlocker block(m_recorders);
    m_recorders->clear();
    for (int i = 0; i < m_hub.ServerCount(); ++i) {
        HPNetServer* server = m_hub.ServerAt(i);
        m_recorders->addItem(server->Item().Name(), server->RecorderId());
    }
    m_recorders->setCurrentIndex(selected.isValid() ? m_recorders->findData(selected) : -1);
    m_recorders->setToolTip(m_recorders->currentText());
}

void CDlgAudio::OnAudio(int channel)
{
    HPNetServer* recorder = SelectedRecorder();
    if (recorder && recorder->Connected())
        recorder->ReqPlayAudioClip(channel);
}

void CDlgAudio::OnMic()
{
    if (!m_captureAvailable) {
        m_mic->SetCheck(false);
        m_notice(QStringLiteral("NO_AUDIO_DEVICE"), QStringLiteral("NOTIFY"));
        return;
    }
    HPNetServer* recorder = SelectedRecorder();
    if (!recorder) {
        m_mic->SetCheck(false);
        m_notice(QStringLiteral("PLEASE_SELECT_SERVER"), QStringLiteral("NOTIFY"));
        return;
    }
    if (!recorder->Connected())
        return;
    if (m_mic->IsChecked()) {
        ReleaseMic();
    } else if (m_capture.Start()) {
        m_mic->SetCheck(true);
    }
}

void CDlgAudio::ReleaseMic()
{
    m_mic->SetCheck(false);
    m_capture.Stop();
}

void CDlgAudio::OnCaptured(const QByteArray&)
{
    // Talk-back is not sent anywhere: while the recorder is connected the block is dropped;
    // once it is gone the capture ends.
    HPNetServer* recorder = SelectedRecorder();
    if (recorder && recorder->Connected())
        return;
    ReleaseMic();
}

void CDlgAudio::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(139, 139, 139));
    // Button faces: the panel's buttons carry captions only.
    for (const CSkinButton* button : m_audio)
        painter.fillRect(button->geometry(), QColor(72, 108, 156));
    painter.fillRect(m_mic->geometry(), m_mic->IsChecked() ? QColor(40, 64, 98) : QColor(72, 108, 156));
}
