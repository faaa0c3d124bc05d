#include "session/firmwarepreparation.h"

#include <QDebug>
#include <QFile>
#include <QStringList>

#include "platform/process.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"

FirmwarePreparation::FirmwarePreparation(QObject* parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FirmwarePreparation::CheckOutput);
}

void FirmwarePreparation::Start(int deviceIndex, bool toolModel)
{
    m_deviceIndex = deviceIndex;
    SessionHub* hub = SessionHub::Instance();
    if (!hub)
        return;
    if (!toolModel) {
        SetState(2);
        return;
    }
    SetState(1);
    const QString dir = hub->ProgramDirectory();
    m_output = dir + QStringLiteral("/TempUpgrade/dvr_upgrade_auto.zip");
    const QStringList arguments{hub->FirmwarePath(), dir};
    qCDebug(lcSession) << "Firmware tool:" << dir + QStringLiteral("/Firmware.exe") << arguments;
    qCDebug(lcSession) << "Firmware output:" << m_output;
    QFile::remove(m_output);
    const int result = platform::Process::Execute(QStringLiteral("Firmware.exe"), arguments, dir);
    hub->SetFirmwarePath(m_output);
    if (result == platform::Process::kNotStarted) {
        Finish(-3);
        return;
    }
    m_attempts = 0;
    CheckOutput();
}

void FirmwarePreparation::CheckOutput()
{
    // The firmware manager's "Stop" ends the wait for the firmware tool.
    if (SessionHub* hub = SessionHub::Instance(); hub && hub->IsFirmwareCancelled()) {
        Finish(-3);
        return;
    }
    QFile output(m_output);
    if (output.open(QIODevice::ReadOnly) && output.size() > 0) {
        output.close();
        Finish(2);
        return;
    }
    if (++m_attempts >= kAttempts) {
        Finish(-3);
        return;
    }
    m_timer.start(kWaitMs);
}

void FirmwarePreparation::Finish(int code)
{
    m_timer.stop();
    SetState(code);
}

void FirmwarePreparation::SetState(int code)
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetFirmwareState(m_deviceIndex, code);
}
