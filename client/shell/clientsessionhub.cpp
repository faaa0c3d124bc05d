#include "shell/clientsessionhub.h"

#include <QPointer>
#include <QStatusBar>
#include <QTime>
#include <QTimer>

#include "panels/calarmout.h"
#include "panels/cmodulenetworkstatus.h"
#include "panels/healthcheck.h"
#include "panels/microphone.h"
#include "session/recordersession.h"
#include "shell/adminwindows.h"
#include "shell/audiooutput.h"
#include "shell/ccameo.h"
#include "shell/configviewadapter.h"
#include "shell/mainwindow.h"
#include "widgets/messagedlg.h"

namespace {
// How long the notice of a lost recorder stays on the status bar.
constexpr int kLostNoticeMs = 60000;
} // namespace

ClientSessionHub::ClientSessionHub(MainWindow& window)
    : m_window(window)
{}

// ---------------------------------------------------------------------------------------------
// Recorder table

RecorderSession* ClientSessionHub::GetDevice(int index) const
{
    return m_devices.GetDevice(index);
}
bool ClientSessionHub::AddDevice(int index, CModuleDevice* device)
{
    return m_devices.AddDevice(index, device);
}
bool ClientSessionHub::RemoveDevice(int index)
{
    return m_devices.RemoveDevice(index);
}
int ClientSessionHub::GetFreeDeviceIndex() const
{
    return m_devices.GetFreeDeviceIndex();
}
int ClientSessionHub::FindDeviceByName(const QString& name) const
{
    return m_devices.FindDeviceByName(name);
}
bool ClientSessionHub::IsAnyDeviceConnected() const
{
    return m_devices.IsAnyDeviceConnected();
}

// ---------------------------------------------------------------------------------------------
// Grid table

CCameo* ClientSessionHub::GetCameo(int index) const
{
    return m_cameos.GetCameo(index);
}
bool ClientSessionHub::AddCameo(int index, CCameo* cameo)
{
    return m_cameos.AddCameo(index, cameo);
}
bool ClientSessionHub::RemoveCameo(int index)
{
    return m_cameos.RemoveCameo(index);
}
int ClientSessionHub::GetFreeCameoIndex() const
{
    return m_cameos.GetFreeCameoIndex();
}

void ClientSessionHub::CountCameoFrame(int deviceIndex, int channel, int cameoIndex, int cellIndex,
                                       int keepPicture, int cropPicture)
{
    m_cameos.CountCameoFrame(deviceIndex, channel, cameoIndex, cellIndex, keepPicture != 0, cropPicture != 0);
}

void ClientSessionHub::ClearDeviceCells(int deviceIndex, int channel, int /*kind*/)
{
    m_cameos.ClearDeviceCells(deviceIndex, channel);
}

// ---------------------------------------------------------------------------------------------
// Connection reports

void ClientSessionHub::OnDeviceConnected(int deviceIndex, int /*unused*/)
{
    RecorderSession* device = GetDevice(deviceIndex);
    if (!device)
        return;
    const QString name = device->GetDvrName();
    if (CAlarmOut* alarmOut = m_window.GetAlarmOut())
        alarmOut->AddDevice(name, deviceIndex);
    if (microphone* mic = m_window.GetMicrophone())
        mic->AddDevice(name, deviceIndex);
}

void ClientSessionHub::OnDeviceDisconnected(int deviceIndex, int kind)
{
    // Kind 1 clears remote-playback grids only, any other kind every grid.
    m_cameos.DisconnectRecorder(deviceIndex, kind == 1);
    if (kind != 0)
        return;
    const RecorderSession* device = GetDevice(deviceIndex);
    const QString name = device ? device->GetDvrName() : QString();
    if (CAlarmOut* alarmOut = m_window.GetAlarmOut())
        alarmOut->RemoveDevice(name, deviceIndex);
    if (microphone* mic = m_window.GetMicrophone())
        mic->RemoveDevice(name, deviceIndex);
}

void ClientSessionHub::ReportConnectionLost(int /*deviceIndex*/, const QString& recorderName)
{
    QStatusBar* status = m_window.statusBar();
    status->show();
    status->showMessage(MainWindow::tr("Connection to %1 lost at %2")
                            .arg(recorderName, QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))),
                        kLostNoticeMs);
}

// ---------------------------------------------------------------------------------------------
// Grids

void ClientSessionHub::ContinueFavorite()
{
    CCameo* cameo = GetCameo(m_favoriteCameoIndex);
    if (!cameo)
        return;
    // Posted, so that the next recorder's connect never runs inside the reporting session.
    QTimer::singleShot(0, cameo, [cameo]() { cameo->OnFavoriteNext(); });
}

void ClientSessionHub::GridTakesRecorder(int cameoIndex, int channels, int deviceIndex, bool closeAllFirst)
{
    CCameo* cameo = GetCameo(cameoIndex);
    if (!cameo)
        return;
    QPointer<CCameo> guard(cameo);
    if (closeAllFirst)
        cameo->CloseAllCameo();
    if (guard && GetDevice(deviceIndex))
        cameo->OnConnectDevice(channels, deviceIndex);
}

void ClientSessionHub::RedrawCameo(int cameoIndex)
{
    if (CCameo* cameo = GetCameo(cameoIndex))
        cameo->OnDrawCameo(-1);
}

// ---------------------------------------------------------------------------------------------
// Windows of the main window

int ClientSessionHub::ConsoleDeviceIndex() const
{
    const ConfigViewAdapter* consoles = m_window.ConfigViews();
    return consoles ? consoles->RecorderIndex() : -1;
}

RemoteConsole* ClientSessionHub::GetConfigView() const
{
    const ConfigViewAdapter* consoles = m_window.ConfigViews();
    return consoles ? consoles->Console() : nullptr;
}

HealthCheckView* ClientSessionHub::CreateHealthCheck()
{
    auto* health = new healthCheck(&m_window);
    health->setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    health->hide();
    return health;
}

void ClientSessionHub::ShowNetworkStatus(int deviceIndex)
{
    if (!GetDevice(deviceIndex))
        return;
    CModuleNetworkStatus status(&m_window);
    status.SetDevice(deviceIndex);
    status.exec();
}

QString ClientSessionHub::MessageTitle() const
{
    return m_window.Messages().MessageTitle();
}

bool ClientSessionHub::IsMessageBoxOpen() const
{
    return m_window.Messages().IsOpen();
}

bool ClientSessionHub::IsClosing() const
{
    return m_window.IsClosing();
}

void ClientSessionHub::SetAudioDeviceIndex(int deviceIndex)
{
    m_window.GetAudioOutput()->SetChosenRecorder(deviceIndex);
}

void ClientSessionHub::WriteAudioOutput(const char* data, qint64 length, int deviceIndex)
{
    m_window.GetAudioOutput()->WriteAudioOutput(data, length, deviceIndex);
}

int ClientSessionHub::GetProcessorLoad() const
{
    return m_window.GetProcessorLoad();
}

QString ClientSessionHub::ProgramDirectory() const
{
    return m_window.ProgramDirectory();
}

// The protocol engine and the sessions report every firmware and account transfer here; the
// open manager takes the codes of the recorder it works on.
bool ClientSessionHub::IsFirmwareCancelled() const
{
    const AdminWindows* admin = m_window.GetAdminWindows();
    return admin && admin->IsFirmwareCancelled();
}

void ClientSessionHub::SetFirmwareState(int recorderIndex, int code)
{
    m_window.SetFirmwareState(recorderIndex, code);
}

void ClientSessionHub::SetAccountManagerState(int recorderIndex, int code)
{
    m_window.SetAccountManagerState(recorderIndex, code);
}

void ClientSessionHub::SetFirmwareProgress(int recorderIndex, qint64 done, qint64 total)
{
    if (AdminWindows* admin = m_window.GetAdminWindows())
        admin->SetFirmwareProgress(recorderIndex, done, total);
}

void ClientSessionHub::ShowMessageBox(const QString& title, const QString& text, const QString& option)
{
    m_window.ShowMessageBox(title, text, option);
}

bool ClientSessionHub::TrustChangedCertificate(const QString& recorder, const QString& knownFingerprint,
                                               const QString& newFingerprint)
{
    const QString text = QStringLiteral("The recorder %1 presents a certificate other than the one it presented "
                                        "before.\nSomeone may be intercepting the connection.\n\n"
                                        "Known certificate (SHA-256):\n%2\n\nNew certificate (SHA-256):\n%3\n\n"
                                        "Trust the new certificate and log in?")
                             .arg(recorder, knownFingerprint, newFingerprint);
    QPointer<MessageDlg> box = new MessageDlg(&m_window, MessageDlg::Question);
    box->SetText(QStringLiteral("Certificate changed"), text);
    const int answer = box->exec();
    delete box.data();
    return answer == 1;
}
