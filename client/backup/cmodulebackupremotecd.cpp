#include "backup/cmodulebackupremotecd.h"

#include "backup/ccdbackup.h"
#include "session/moduledevice.h"

#include <QIcon>

CModuleBackupRemoteCD::CModuleBackupRemoteCD(CModuleDevice& device, bool listBackup, QWidget* parent)
    : QDialog(parent)
    , m_listBackup(listBackup)
    , m_deviceIndex(device.GetDeviceIndex())
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/cd.png")));
    setStyleSheet(QStringLiteral("QWidget {selection-color:#d4e6ff;selection-background-color: #7ba5de;}"));
    setMinimumSize(910, 760);
    // pending: remote media list backup page (CCDListBackup) for recorders that write lists of
    // ranges; until it exists they get the single-range page, which they also understand.
    m_page = new CCDBackup(this);
    m_page->setGeometry(10, 10, 890, 740);
    m_page->SetDeviceIndex(m_deviceIndex);
    m_page->AttachDevice();
}

CModuleBackupRemoteCD::~CModuleBackupRemoteCD() = default;

void CModuleBackupRemoteCD::ShowWindow(const QString& title)
{
    setWindowTitle(title);
    show();
    raise();
}
