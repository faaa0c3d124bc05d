#include "backup/cmodulebackupevent.h"

#include "backup/ceventbackup.h"
#include "session/recordersession.h"

#include <QApplication>
#include <QIcon>

CModuleBackupEvent::CModuleBackupEvent(RecorderSession& device, QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/43_Off.png")));
    // The selection colours of the backup pages, then the program's own style.
    setStyleSheet(QStringLiteral("QWidget {selection-color:#d4e6ff;selection-background-color: #7ba5de;}")
                  + qApp->styleSheet());
    setMinimumSize(910, 760);
    // The recorder's session owns this window; an open one never keeps the program running once
    // the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_page = new CEventBackup(this);
    m_page->setGeometry(10, 10, 890, 740);
    m_page->SetDeviceIndex(device.GetDeviceIndex());
    m_page->SetChannelCount(device.GetChannelCount());
    m_page->ResetPage();
    connect(&device, &RecorderSession::OnEventResult, this, &CModuleBackupEvent::OnEventResult);
    // Queued: the page stops the session's live video, which must not happen inside the frame
    // handler that reported the failure.
    connect(&device, &RecorderSession::OnEventWriteFailed, this, &CModuleBackupEvent::OnEventWriteFailed,
            Qt::QueuedConnection);
}

CModuleBackupEvent::~CModuleBackupEvent() = default;

bool CModuleBackupEvent::IsBackupTime(int channel, int time, int weekDay) const
{
    return m_page->IsBackupTime(channel, time, weekDay);
}

bool CModuleBackupEvent::IsRunning() const
{
    return m_page->IsRunning();
}

bool CModuleBackupEvent::NeedsLive(int channel) const
{
    return m_page->IsRunning() && m_page->Jobs().IsLiveStarted(channel);
}

void CModuleBackupEvent::StopBackup()
{
    m_page->StopBackup();
}

void CModuleBackupEvent::ShowWindow(const QString& title)
{
    setWindowTitle(title);
    show();
    raise();
}

void CModuleBackupEvent::OnEventResult(int channel, int date, int time, int weekDay, qlonglong size)
{
    m_page->OnEventResult(channel, date, time, weekDay, size);
}

void CModuleBackupEvent::OnEventWriteFailed(int channel, int time, int weekDay, const QString& file,
                                            const QString& reason, bool diskFull)
{
    ModuleRecord::WriteFailure failure;
    failure.file = file;
    failure.reason = reason;
    failure.diskFull = diskFull;
    m_page->OnEventWriteFailed(channel, time, weekDay, failure);
}
