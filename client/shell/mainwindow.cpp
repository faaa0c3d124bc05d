#include "shell/mainwindow.h"

#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "session/moduledevice.h"
#include "shell/messagedlg.h"

MainWindow* g_pMainWindow = nullptr;

namespace {
constexpr int kChannels = 16;
constexpr int kShowBoxDelayMs = 10;
}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    // Everything built from here on, session objects included, may use the hub at once.
    g_pMainWindow = this;
    HubServices::Install(this);

    qDebug() << "Init start";
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setWindowTitle(tr("ZENT"));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget1"));
    setCentralWidget(central);

    m_programDirectory = QDir::currentPath();
    while (m_programDirectory.size() > 1 && m_programDirectory.endsWith(QLatin1Char('/')))
        m_programDirectory.chop(1);

    qDebug() << "Main initialize finish";
    resize(1280, 900);
}

MainWindow::~MainWindow()
{
    if (HubServices::Instance() == this)
        HubServices::Install(nullptr);
    if (g_pMainWindow == this)
        g_pMainWindow = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Recorder table

CModuleDevice* MainWindow::GetDevice(int index) const
{
    if (!IsDeviceIndex(index) || !m_devices[index].inUse)
        return nullptr;
    return m_devices[index].device;
}

bool MainWindow::AddDevice(int index, CModuleDevice* device)
{
    if (!IsDeviceIndex(index) || !device) {
        qWarning() << "MainWindow::AddDevice: bad recorder index" << index << "or no session";
        return false;
    }
    DeviceSlot& slot = m_devices[index];
    if (slot.inUse)
        return false;
    slot.inUse = 1;
    slot.device = device;
    return true;
}

bool MainWindow::RemoveDevice(int index)
{
    if (!IsDeviceIndex(index)) {
        qWarning() << "MainWindow::RemoveDevice: bad recorder index" << index;
        return false;
    }
    DeviceSlot& slot = m_devices[index];
    if (!slot.inUse)
        return false;
    slot.inUse = 0;
    slot.device = nullptr;
    return true;
}

int MainWindow::GetFreeDeviceIndex() const
{
    for (int i = 0; i < kDeviceSlots; ++i) {
        if (!m_devices[i].inUse)
            return i;
    }
    return -1;
}

int MainWindow::FindDeviceByName(const QString& name) const
{
    if (name.isEmpty())
        return -1;
    for (int i = 0; i < kDeviceSlots; ++i) {
        const DeviceSlot& slot = m_devices[i];
        if (slot.inUse && slot.device && slot.device->GetDvrName() == name)
            return i;
    }
    return -1;
}

bool MainWindow::IsAnyDeviceConnected() const
{
    for (const DeviceSlot& slot : m_devices) {
        if (slot.inUse && slot.device && slot.device->m_loggedIn == 1)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Grid table

CCameo* MainWindow::GetCameo(int index) const
{
    if (!IsCameoIndex(index) || !m_cameos[index].inUse)
        return nullptr;
    return m_cameos[index].cameo;
}

bool MainWindow::AddCameo(int index, CCameo* cameo)
{
    if (!IsCameoIndex(index) || !cameo) {
        qWarning() << "MainWindow::AddCameo: bad grid index" << index << "or no grid";
        return false;
    }
    CameoSlot& slot = m_cameos[index];
    if (slot.inUse)
        return false;
    slot.inUse = 1;
    slot.cameo = cameo;
    return true;
}

bool MainWindow::RemoveCameo(int index)
{
    if (!IsCameoIndex(index)) {
        qWarning() << "MainWindow::RemoveCameo: bad grid index" << index;
        return false;
    }
    CameoSlot& slot = m_cameos[index];
    if (!slot.inUse)
        return false;
    slot.inUse = 0;
    slot.cameo = nullptr;
    return true;
}

int MainWindow::GetFreeCameoIndex() const
{
    for (int i = 0; i < kCameoSlots; ++i) {
        if (!m_cameos[i].inUse)
            return i;
    }
    return -1;
}

void MainWindow::CountCameoFrame(int deviceIndex, int channel, int cameoIndex, int cellIndex, int a, int b)
{
    Q_UNUSED(deviceIndex)
    Q_UNUSED(channel)
    Q_UNUSED(a)
    Q_UNUSED(b)
    if (cellIndex < 0 || !GetCameo(cameoIndex))
        return;
    // The hand-over to the grid's frame counter of the cell comes with the grid class.
}

void MainWindow::ClearDeviceCells(int deviceIndex, int channel, int kind)
{
    Q_UNUSED(kind)
    if (!IsDeviceIndex(deviceIndex) || channel < -1 || channel >= kChannels)
        return;
    for (int i = 0; i < kCameoSlots; ++i) {
        if (!m_cameos[i].inUse)
            continue;
        // The grid's clear operation for the channel (all 16 for -1) comes with the grid class.
    }
}

void MainWindow::OnDeviceConnected(int deviceIndex, int /*unused*/)
{
    if (!GetDevice(deviceIndex))
        return;
    // The alarm-out and microphone panels take the recorder into their lists once they exist.
}

void MainWindow::OnDeviceDisconnected(int deviceIndex, int kind)
{
    Q_UNUSED(kind)
    if (!IsDeviceIndex(deviceIndex))
        return;
    for (int i = 0; i < kCameoSlots; ++i) {
        if (!m_cameos[i].inUse)
            continue;
        // Clearing the recorder's cells of a matching grid comes with the grid class.
    }
    // The alarm-out and microphone lists (kind 0) are updated once those panels exist.
}

// ---------------------------------------------------------------------------------------------
// Child windows and forwarders

EmapView* MainWindow::GetEmapView(int index) const
{
    if (index != 0 && index != 1)
        return nullptr;
    return m_pEmapView[index];
}

void MainWindow::AddEventLog(const QString& name, const QString& text)
{
    Q_UNUSED(name)
    Q_UNUSED(text)
    if (!m_pValidationView)
        return;
    // The validation window's event list takes the row once that window exists.
}

void MainWindow::ShowCameraControl(int deviceIndex, int channel, int value)
{
    Q_UNUSED(deviceIndex)
    Q_UNUSED(channel)
    Q_UNUSED(value)
    if (!m_pCameraControl)
        return;
    // The camera control pop-up is handed the values and shown once it exists.
}

void MainWindow::SetFirmwareState(int code)
{
    Q_UNUSED(code)
    if (!m_pFirmwareManager)
        return;
    // The firmware manager's status handler is called once that window exists.
}

void MainWindow::SetAccountManagerState(int code)
{
    Q_UNUSED(code)
    if (!m_pAccountManager)
        return;
    // The account manager's status handler is called once that window exists.
}

void MainWindow::SetFirmwareProgress(qint64 done, qint64 total)
{
    Q_UNUSED(done)
    Q_UNUSED(total)
    if (!m_pFirmwareManager)
        return;
    // The firmware manager's progress bar is set once that window exists.
}

// ---------------------------------------------------------------------------------------------
// Shared settings

quint8 MainWindow::GetOsdFlag(int flag) const
{
    if (flag < 0 || flag >= OsdFlagCount)
        return 0;
    return m_osdFlags[flag];
}

void MainWindow::SetOsdFlag(int flag, quint8 value)
{
    if (flag < 0 || flag >= OsdFlagCount)
        return;
    m_osdFlags[flag] = value;
}

// ---------------------------------------------------------------------------------------------
// Shared message box

void MainWindow::MessageBoxOpened()
{
    ++m_openMessageBoxes;
}

void MainWindow::MessageBoxClosed()
{
    if (m_openMessageBoxes > 0)
        --m_openMessageBoxes;
}

void MainWindow::ShowMessageBox(const QString& title, const QString& text, const QString& option)
{
    m_msgOption = option;
    if (!text.isEmpty())
        m_msgText = text;
    if (title.isEmpty())
        return;
    m_msgTitle = title;
    if (!IsMessageBoxOpen())
        QTimer::singleShot(kShowBoxDelayMs, this, &MainWindow::timerShowMessageBox);
}

void MainWindow::timerShowMessageBox()
{
    if (IsMessageBoxOpen())
        return;

    int mode = MessageDlg::HubMessage;
    if (m_msgTitle == QLatin1String("Museum Search"))
        mode = MessageDlg::MuseumSearch;
    else if (m_msgText == QLatin1String("Please wait..."))
        mode = MessageDlg::Wait;

    // Run the box modally until it finishes. A local loop rather than exec(): the wait box hides
    // and shows itself while it runs, and hiding must not end it.
    QPointer<MessageDlg> box = new MessageDlg(this, mode);
    box->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(box.data(), &QDialog::finished, &loop, &QEventLoop::quit);
    connect(box.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    if (mode != MessageDlg::Wait)
        box->show();
    loop.exec(QEventLoop::DialogExec);
    delete box.data();
}

void MainWindow::ShowModalMessage(const QString& title, const QString& text)
{
    QPointer<MessageDlg> box = new MessageDlg(this, MessageDlg::Fixed);
    box->SetText(title, text);
    box->exec();
    delete box.data();
}
