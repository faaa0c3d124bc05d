#include "backup/cmodulebackupschedule.h"

#include "backup/cschedulebackup.h"
#include "session/recordersession.h"

#include <QIcon>

CModuleBackupSchedule::CModuleBackupSchedule(RecorderSession& device, QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/seldate.png")));
    setStyleSheet(QStringLiteral("QWidget {selection-color:#d4e6ff;selection-background-color: #7ba5de;}"));
    setMinimumSize(910, 760);
    // The recorder's session owns this window; an open one never keeps the program running once
    // the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_page = new CScheduleBackup(this);
    m_page->setGeometry(10, 10, 890, 740);
    m_page->SetDeviceIndex(device.GetDeviceIndex());
    m_page->SetChannelCount(device.GetChannelCount());
    m_page->ResetPage();
}

CModuleBackupSchedule::~CModuleBackupSchedule() = default;

void CModuleBackupSchedule::OnRecvPlaybackVideo(int channel, int size, int kind, int date, int time,
                                                int requestNumber, bool key, char frameType, char sequence)
{
    m_page->OnRecvPlaybackVideo(channel, size, kind, date, time, requestNumber, key, frameType, sequence);
}

void CModuleBackupSchedule::OnConnectionLost()
{
    m_page->OnConnectionLost();
}

void CModuleBackupSchedule::ShowWindow(const QString& title)
{
    setWindowTitle(title);
    show();
    raise();
}
