#include "shell/adminwindows.h"
#include "adminui/caccountmanager.h"
#include "adminui/cemailsetup.h"
#include "adminui/cfirmwaremanager.h"
#include "adminui/smtp.h"
#include "session/recordersession.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "sitebook/itemkind.h"

#include <QTreeWidgetItem>

namespace {
template <typename Window>
void Raise(Window* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

AdminWindows::AdminWindows(MainWindow& hub)
    : QObject(&hub)
    , m_hub(hub)
{}

AdminWindows::~AdminWindows() = default;

CFirmwareManager* AdminWindows::FirmwareManager() const
{
    return m_firmware.data();
}

CAccountManager* AdminWindows::AccountManager() const
{
    return m_account.data();
}

void AdminWindows::exeFirmwareManager(QTreeWidgetItem* item)
{
    if (!m_firmware) {
        m_firmware = new CFirmwareManager(*this, &m_hub);
        m_firmware->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_firmware->AddDvrList(item);
    Raise(m_firmware.data());
}

void AdminWindows::exeAccountManager(QTreeWidgetItem* item)
{
    if (!m_account) {
        m_account = new CAccountManager(*this, *this, &m_hub);
        m_account->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_account->AddDvrList(item);
    Raise(m_account.data());
}

void AdminWindows::activateEmailSetup()
{
    auto* dialog = new CEmailSetup(*this, &m_hub);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void AdminWindows::sendEmail(const QString& path, int kind)
{
    auto* dialog = new Smtp(*this, &m_hub, path, kind);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void AdminWindows::SetFirmwareState(int recorderIndex, int code)
{
    if (m_firmware)
        m_firmware->SetUpgradeState(recorderIndex, code);
}

void AdminWindows::SetAccountManagerState(int recorderIndex, int code)
{
    if (m_account)
        m_account->SetAccountState(recorderIndex, code);
}

void AdminWindows::SetFirmwareProgress(int recorderIndex, qint64 done, qint64 total)
{
    if (m_firmware)
        m_firmware->SetProgress(recorderIndex, done, total);
}

QList<int> AdminWindows::RecordersOfItem(QTreeWidgetItem* item) const
{
    QList<int> recorders;
    if (!item)
        return recorders;
    // A recorder's item is its session object.
    const auto addRecorder = [&](QTreeWidgetItem* entry) {
        const auto* device = dynamic_cast<RecorderSession*>(entry);
        if (ItemKindOf(entry) == ItemKind::Recorder && device && HasRecorder(device->GetDeviceIndex()))
            recorders << device->GetDeviceIndex();
    };
    if (ItemKindOf(item) == ItemKind::Folder) {
        for (int i = 0; i < item->childCount(); ++i)
            addRecorder(item->child(i));
    } else {
        addRecorder(item);
    }
    return recorders;
}

RecorderSession* AdminWindows::Device(int index) const
{
    const ClientSessionHub* sessions = m_hub.Sessions();
    return sessions ? sessions->GetDevice(index) : nullptr;
}

bool AdminWindows::HasRecorder(int index) const
{
    return Device(index) != nullptr;
}

QString AdminWindows::RecorderName(int index) const
{
    const RecorderSession* device = Device(index);
    return device ? device->GetDvrName() : QString();
}

QString AdminWindows::RecorderAddress(int index) const
{
    const RecorderSession* device = Device(index);
    return device ? device->GetDvrAddr() : QString();
}

QString AdminWindows::RecorderFirmwareVersion(int index) const
{
    const RecorderSession* device = Device(index);
    return device ? device->GetFirmwareVersion() : QString();
}

bool AdminWindows::StartConnect(int index, int purpose)
{
    RecorderSession* device = Device(index);
    if (!device)
        return false;
    device->StartConnect(purpose);
    return true;
}

bool AdminWindows::SetConfigData(int index)
{
    RecorderSession* device = Device(index);
    if (!device)
        return false;
    device->SetConfigData();
    return true;
}

bool AdminWindows::SetFirmwareData(int index)
{
    RecorderSession* device = Device(index);
    if (!device)
        return false;
    device->SetFirmwareData();
    return true;
}

QString AdminWindows::ProgramDirectory() const
{
    return m_hub.ProgramDirectory();
}

QString AdminWindows::FirmwarePath() const
{
    const ClientSessionHub* sessions = m_hub.Sessions();
    return sessions ? sessions->FirmwarePath() : QString();
}

void AdminWindows::SetFirmwarePath(const QString& path)
{
    if (ClientSessionHub* sessions = m_hub.Sessions())
        sessions->SetFirmwarePath(path);
}

SmtpSettings AdminWindows::GetSmtpSettings() const
{
    return m_hub.Settings().GetSmtpSettings();
}

void AdminWindows::SetSmtpSettings(const SmtpSettings& settings)
{
    m_hub.Settings().SetSmtpSettings(settings);
}

void AdminWindows::ShowModalMessage(const QString& title, const QString& text)
{
    m_hub.ShowModalMessage(title, text);
}
