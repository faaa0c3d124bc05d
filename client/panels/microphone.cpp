#include "panels/microphone.h"

#include <QAudioInput>
#include <QComboBox>
#include <QPushButton>

#include "panels/audioinfo.h"
#include "panels/panelslog.h"
#include "panels/recorderlist.h"
#include "panels/relaylook.h"
#include "panels/renderarea.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

namespace {
constexpr int kReadLimit = 4096;
int g_talkBackRecorder = -1;
} // namespace

microphone::microphone(QWidget* parent)
    : QWidget(parent)
    , m_device(QAudioDeviceInfo::defaultInputDevice())
    , m_buffer(kReadLimit, 0)
{
    g_talkBackRecorder = -1;
    BuildForm();
    for (const QAudioDeviceInfo& device : QAudioDeviceInfo::availableDevices(QAudio::AudioInput))
        m_comboBox2->addItem(device.deviceName(), QVariant::fromValue(device));
    m_inputAvailable = m_comboBox2->count() > 0 && !m_device.isNull();
    m_pushButton->setEnabled(m_inputAvailable);
    if (!m_inputAvailable) {
        // A machine without a microphone is a normal state; the panel says so.
        // (The entry carries no device; the list stays disabled.)
        m_comboBox2->clear();
        m_comboBox2->addItem(tr("No audio input"));
        m_comboBox2->setEnabled(false);
        m_pushButton->setToolTip(tr("No audio input device"));
    }
    QMetaObject::connectSlotsByName(this);
    InitializeAudio();
}

microphone::~microphone()
{
    StopCapture();
    if (m_talking) {
        if (RecorderSession* device = TalkBackDevice())
            device->SendTalkStop();
    }
}

void microphone::BuildForm()
{
    setObjectName(QStringLiteral("microphone"));
    setWindowTitle(QStringLiteral("Dialog"));
    resize(315, 153);
    m_comboBox = new QComboBox(this);
    m_comboBox->setObjectName(QStringLiteral("comboBox"));
    m_comboBox->setGeometry(60, 30, 191, 21);
    m_pushButton = new QPushButton(QStringLiteral("Mic"), this);
    m_pushButton->setObjectName(QStringLiteral("pushButton_1"));
    m_pushButton->setGeometry(190, 70, 61, 21);
    m_comboBox2 = new QComboBox(this);
    m_comboBox2->setObjectName(QStringLiteral("comboBox_2"));
    m_comboBox2->setGeometry(60, 70, 121, 22);
    m_canvas = new RenderArea(this);
    m_canvas->setObjectName(QStringLiteral("meter"));
    m_canvas->setGeometry(60, 95, 191, 20);
}

int microphone::TalkBackRecorder()
{
    return g_talkBackRecorder;
}

RecorderSession* microphone::TalkBackDevice()
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(g_talkBackRecorder) : nullptr;
}

void microphone::InitializeAudio()
{
    m_format.setSampleRate(8000);
    m_format.setChannelCount(1);
    m_format.setSampleSize(16);
    m_format.setSampleType(QAudioFormat::SignedInt);
    m_format.setByteOrder(QAudioFormat::LittleEndian);
    m_format.setCodec(QStringLiteral("audio/pcm"));
    if (!m_device.isNull() && !m_device.isFormatSupported(m_format))
        m_format = m_device.nearestFormat(m_format);

    m_audioInfo = new AudioInfo(m_format, this);
    m_audioInfo->SetSink([this](const char* data, qint64 length) { SendCaptured(data, length); });
    connect(m_audioInfo, &AudioInfo::update, this, &microphone::refreshDisplay);
    CreateAudioInput();
}

void microphone::CreateAudioInput()
{
    if (!m_inputAvailable || m_device.isNull()) {
        qCDebug(lcPanels) << "AUDIO NULL";
        return;
    }
    m_audioInput = new QAudioInput(m_device, m_format, this);
    connect(m_audioInput, &QAudioInput::notify, this, &microphone::notified);
    connect(m_audioInput, &QAudioInput::stateChanged, this, &microphone::handleStateChanged);
    m_audioInfo->start();
    m_audioInput->start(m_audioInfo);
}

void microphone::StopCapture()
{
    if (m_audioInfo)
        m_audioInfo->stop();
    if (m_audioInput) {
        m_audioInput->stop();
        delete m_audioInput;
        m_audioInput = nullptr;
    }
    m_input = nullptr;
}

void microphone::SendCaptured(const char* data, qint64 length)
{
    if (!m_talking)
        return;
    if (RecorderSession* device = TalkBackDevice())
        device->SendTalkAudio(data, int(length));
}

void microphone::AddDevice(const QString& name, int recorder)
{
    RecorderList::Add(m_comboBox, name, recorder);
}

void microphone::RemoveDevice(const QString& /*name*/, int recorder)
{
    RecorderList::Remove(m_comboBox, recorder);
}

void microphone::on_pushButton_1_clicked()
{
    StopCapture();
    m_talking = !m_talking;
    if (m_talking) {
        const int entry = m_comboBox2->currentIndex();
        if (entry >= 0) {
            m_device = m_comboBox2->itemData(entry).value<QAudioDeviceInfo>();
            CreateAudioInput();
        }
        if (RecorderSession* device = TalkBackDevice())
            device->SendTalkStart();
        m_pushButton->setStyleSheet(RelayLook::On());
    } else {
        if (RecorderSession* device = TalkBackDevice())
            device->SendTalkStop();
        m_pushButton->setStyleSheet(RelayLook::Off());
    }
    update();
}

void microphone::on_comboBox_currentIndexChanged(int index)
{
    if (index < 0)
        return;
    if (RecorderSession* previous = TalkBackDevice())
        previous->SendTalkStop();
    g_talkBackRecorder = -1;
    const int recorder = RecorderList::RecorderAt(m_comboBox, index);
    SessionHub* hub = SessionHub::Instance();
    RecorderSession* device = hub ? hub->GetDevice(recorder) : nullptr;
    if (!device)
        return;
    g_talkBackRecorder = recorder;
    if (m_talking)
        device->SendTalkStart();
}

void microphone::on_comboBox_2_activated(int index)
{
    if (!m_talking || index < 0)
        return;
    StopCapture();
    m_device = m_comboBox2->itemData(index).value<QAudioDeviceInfo>();
    CreateAudioInput();
}

void microphone::on_comboBox_activated(int index)
{
    qCDebug(lcPanels) << "talk-back recorder" << RecorderList::RecorderAt(m_comboBox, index);
}

void microphone::refreshDisplay()
{
    m_canvas->setLevel(m_audioInfo->level());
}

void microphone::notified() {}

void microphone::handleStateChanged(QAudio::State state)
{
    qCDebug(lcPanels) << "audio input state" << state;
}

void microphone::readMore()
{
    if (!m_audioInput || !m_input)
        return;
    const qint64 ready = std::min<qint64>(m_audioInput->bytesReady(), kReadLimit);
    const qint64 read = m_input->read(m_buffer.data(), ready);
    if (read > 0)
        m_audioInfo->write(m_buffer.constData(), read);
}
