#include "managers/firmwarerun.h"
#include "managers/managerslog.h"
#include "managers/recorderadmin.h"

#include <QTimer>

FirmwareRun::FirmwareRun(RecorderAdmin& admin, ManagerRows& rows, QObject* parent)
    : QObject(parent)
    , m_admin(admin)
    , m_rows(rows)
    , m_walk(admin, rows, kPurpose, StateText(0), StateText(-1))
    , m_uploadTimer(new QTimer(this))
{
    m_uploadTimer->setSingleShot(true);
    connect(m_uploadTimer, &QTimer::timeout, this, &FirmwareRun::StartUpload);
}

QString FirmwareRun::StateText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("Wait");
    case 1: return QStringLiteral("Firmware file check");
    case 2: return QStringLiteral("Firmware upload");
    case 3: return QStringLiteral("Firmware applied");
    case 4: return QStringLiteral("Finish");
    case -1: return QStringLiteral("Connect fail");
    case -2: return QStringLiteral("Don't have permision");
    case -3: return QStringLiteral("Firmware file error");
    case -4: return QStringLiteral("DVR Under a Upgrade Process");
    case -5: return QStringLiteral("Cancel");
    default: return QString();
    }
}

bool FirmwareRun::Start(const QString& package)
{
    if (m_busy) {
        Stop();
        return false;
    }
    SetProgressPercent(0);
    if (package.isEmpty() || !m_rows.AnyChecked())
        return false;
    return Begin(package, false);
}

bool FirmwareRun::Check()
{
    if (m_busy)
        return false;
    return Begin(m_admin.FirmwarePath(), true);
}

bool FirmwareRun::Begin(const QString& package, bool check)
{
    m_package = package;
    m_checkRun = check;
    m_admin.SetFirmwarePath(package);
    m_busy = true;
    m_rows.SetAllStatus(QStringLiteral("-"));
    emit busyChanged(true);
    SetProgressPercent(0);
    if (!m_walk.Begin([this] { PrepareRecorder(); })) {
        EndRun();
        return false;
    }
    return true;
}

void FirmwareRun::PrepareRecorder()
{
    m_uploading = false;
    m_applied = false;
    // The chosen package again: the previous recorder's session may have put its firmware
    // tool's output in its place.
    m_admin.SetFirmwarePath(m_package);
    m_admin.SetFirmwareCancel(false);
}

void FirmwareRun::NextOrEnd()
{
    SetProgressPercent(0);
    m_uploadTimer->stop();
    if (!m_walk.Advance([this] { PrepareRecorder(); }))
        EndRun();
}

void FirmwareRun::EndRun()
{
    m_uploadTimer->stop();
    const bool wasBusy = m_busy;
    m_busy = false;
    m_checkRun = false;
    m_walk.Finish();
    m_uploading = false;
    m_applied = false;
    if (wasBusy)
        emit busyChanged(false);
}

void FirmwareRun::Stop()
{
    if (!m_busy)
        return;
    m_admin.SetFirmwarePath(QString());
    m_admin.SetFirmwareCancel(true);
    m_walk.SetStatus(StateText(-5));
    SetProgressPercent(0);
    EndRun();
}

void FirmwareRun::SetUpgradeState(int recorder, int code)
{
    if (!m_walk.IsCurrent(recorder)) {
        qCDebug(lcManagers) << "firmware state" << code << "of recorder" << recorder << "ignored";
        return;
    }
    if (code == 4 && !m_applied) {
        // Gone before the package was taken: the upgrade did not happen.
        m_walk.SetStatus(StateText(-1));
        NextOrEnd();
        return;
    }
    if (code == 2 && m_checkRun) {
        // The recorder is ready to take a package: that is all a check asks, and the firmware
        // it runs is what the user checks for.
        const QString version = m_admin.RecorderFirmwareVersion(recorder);
        m_walk.SetStatus(version.isEmpty() ? StateText(4)
                                           : QStringLiteral("%1 (firmware %2)").arg(StateText(4), version));
        NextOrEnd();
        return;
    }
    m_walk.SetStatus(StateText(code));
    switch (code) {
    case 0:
        if (!m_walk.Reconnect())
            NextOrEnd();
        return;
    case 2:
        SetProgressPercent(0);
        m_uploading = true;
        m_uploadTimer->start(kUploadDelayMs);
        return;
    case 3: m_applied = true; return;
    case 4: NextOrEnd(); return;
    default:
        if (code < 0)
            NextOrEnd();
        return;
    }
}

void FirmwareRun::StartUpload()
{
    if (!m_busy || !m_walk.IsActive() || !m_uploading)
        return;
    if (!m_admin.SetFirmwareData(m_rows.At(m_walk.Current()).recorder)) {
        m_walk.SetStatus(StateText(-1));
        NextOrEnd();
    }
}

void FirmwareRun::SetProgress(int recorder, qint64 done, qint64 total)
{
    if (!m_walk.IsCurrent(recorder))
        return;
    if (total <= 0) {
        SetProgressPercent(0);
        return;
    }
    const qint64 clamped = qBound<qint64>(0, done, total);
    // done * 100 cannot overflow for any file a recorder takes; the division keeps it exact.
    SetProgressPercent(static_cast<int>(clamped / total * 100 + (clamped % total) * 100 / total));
}

void FirmwareRun::SetProgressPercent(int percent)
{
    if (m_progress == percent)
        return;
    m_progress = percent;
    emit progressChanged(percent);
}
