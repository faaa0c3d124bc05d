#include "panels/calarmout.h"

#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "panels/panelslog.h"
#include "panels/recorderlist.h"
#include "panels/relaylook.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

CAlarmOut::CAlarmOut(QWidget* parent)
    : QWidget(parent)
{
    BuildForm();
    QMetaObject::connectSlotsByName(this);
    m_statusTimer = new QTimer(this);
    m_statusTimer->setObjectName(QStringLiteral("statusTimer"));
    connect(m_statusTimer, &QTimer::timeout, this, &CAlarmOut::timerRelayStatus);
    m_statusTimer->start(kRefreshMs);
}

CAlarmOut::~CAlarmOut()
{
    m_statusTimer->stop();
}

void CAlarmOut::BuildForm()
{
    setObjectName(QStringLiteral("CAlarmOut"));
    setWindowTitle(QStringLiteral("Form"));
    resize(315, 153);
    m_comboBox = new QComboBox(this);
    m_comboBox->setObjectName(QStringLiteral("comboBox"));
    m_comboBox->setGeometry(60, 20, 191, 21);
    for (int i = 0; i < kRelays; ++i) {
        auto* button = new QPushButton(QString::number(i + 1), this);
        button->setObjectName(QStringLiteral("pushButton_%1").arg(i + 1));
        button->setGeometry(i < 4 ? 60 : 164, 50 + 25 * (i % 4), 91, 20);
        m_buttons[size_t(i)] = button;
    }
}

RecorderSession* CAlarmOut::Device() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(m_recorder) : nullptr;
}

void CAlarmOut::AddDevice(const QString& name, int recorder)
{
    RecorderList::Add(m_comboBox, name, recorder);
}

void CAlarmOut::RemoveDevice(const QString& /*name*/, int recorder)
{
    if (recorder == m_recorder)
        m_statusTimer->stop();
    RecorderList::Remove(m_comboBox, recorder);
}

void CAlarmOut::on_comboBox_currentIndexChanged(int /*index*/)
{
    const int entry = m_comboBox->currentIndex();
    if (entry < 0)
        return;
    const int recorder = RecorderList::RecorderAt(m_comboBox, entry);
    m_recorder = -1;
    m_relayCount = -1;
    SessionHub* hub = SessionHub::Instance();
    RecorderSession* device = hub ? hub->GetDevice(recorder) : nullptr;
    if (!device)
        return;
    const int count = device->GetAlarmOutCount();
    for (int i = 0; i < kRelays; ++i) {
        QPushButton* button = m_buttons[size_t(i)];
        button->setVisible(i < count);
        button->setDown(false);
        button->update();
    }
    m_relayCount = count;
    m_recorder = recorder;
    // A recorder chosen after the last one left is refreshed again.
    if (!m_statusTimer->isActive())
        m_statusTimer->start(kRefreshMs);
}

void CAlarmOut::on_comboBox_activated(int index)
{
    qCDebug(lcPanels) << "alarm out recorder" << RecorderList::RecorderAt(m_comboBox, index);
}

// clang-format off
void CAlarmOut::on_pushButton_1_clicked() { ToggleRelay(0); }
void CAlarmOut::on_pushButton_2_clicked() { ToggleRelay(1); }
void CAlarmOut::on_pushButton_3_clicked() { ToggleRelay(2); }
void CAlarmOut::on_pushButton_4_clicked() { ToggleRelay(3); }
void CAlarmOut::on_pushButton_5_clicked() { ToggleRelay(4); }
void CAlarmOut::on_pushButton_6_clicked() { ToggleRelay(5); }
void CAlarmOut::on_pushButton_7_clicked() { ToggleRelay(6); }
void CAlarmOut::on_pushButton_8_clicked() { ToggleRelay(7); }
// clang-format on

void CAlarmOut::ToggleRelay(int relay)
{
    RecorderSession* device = Device();
    if (!device || relay < 0 || relay >= kRelays)
        return;
    const int on = device->GetRelayState(relay) ? 0 : 1;
    QPushButton* button = m_buttons[size_t(relay)];
    button->setStyleSheet(on ? RelayLook::On() : RelayLook::Off());
    button->update();
    device->SendRelayControl(relay, on);
}

void CAlarmOut::timerRelayStatus()
{
    RecorderSession* device = Device();
    if (!device || m_relayCount <= 0)
        return;
    const bool connected = device->IsLoggedIn();
    for (int i = 0; i < m_relayCount && i < kRelays; ++i) {
        QPushButton* button = m_buttons[size_t(i)];
        button->setStyleSheet(connected && device->GetRelayState(i) ? RelayLook::On() : RelayLook::Off());
        button->update();
    }
}
