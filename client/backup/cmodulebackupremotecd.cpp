#include "backup/cmodulebackupremotecd.h"

#include "backup/ccdbackup.h"
#include "backup/ccdlistbackup.h"
#include "session/recordersession.h"

#include <QIcon>

CModuleBackupRemoteCD::CModuleBackupRemoteCD(RecorderSession& device, bool listBackup, QWidget* parent)
    : QDialog(parent)
    , m_listBackup(listBackup)
    , m_deviceIndex(device.GetDeviceIndex())
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/cd.png")));
    setStyleSheet(QStringLiteral("QWidget {selection-color:#d4e6ff;selection-background-color: #7ba5de;}"));
    setMinimumSize(910, 760);
    // The recorder's session owns this window; an open one never keeps the program running once
    // the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    if (m_listBackup) {
        m_listPage = new CCDListBackup(this);
        m_listPage->setGeometry(10, 10, 890, 740);
        m_listPage->SetDeviceIndex(m_deviceIndex);
        m_listPage->AttachDevice();
    } else {
        m_page = new CCDBackup(this);
        m_page->setGeometry(10, 10, 890, 740);
        m_page->SetDeviceIndex(m_deviceIndex);
        m_page->AttachDevice();
    }
}

CModuleBackupRemoteCD::~CModuleBackupRemoteCD() = default;

void CModuleBackupRemoteCD::ShowWindow(const QString& title)
{
    setWindowTitle(title);
    show();
    raise();
}
