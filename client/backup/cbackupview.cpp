#include "backup/cbackupview.h"

#include "backup/cdirectbackup.h"

#include <QCloseEvent>
#include <QIcon>

CBackupView::CBackupView(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Remote Backup"));
    setWindowIcon(QIcon(QStringLiteral(":/res/Resource/4.png")));
    setStyleSheet(QStringLiteral("QWidget {selection-color:#d4e6ff;selection-background-color: #7ba5de;}"));
    setMinimumSize(910, 760);
    m_page = new CDirectBackup(this);
    m_page->setGeometry(10, 10, 890, 740);
}

// The hub keeps a guarded pointer to this window, which clears itself here.
CBackupView::~CBackupView() = default;

void CBackupView::closeEvent(QCloseEvent* event)
{
    if (m_page->IsRunning()) {
        hide();
        event->ignore();
        return;
    }
    if (m_page->IsConnected())
        m_page->ResetView();
    QDialog::closeEvent(event);
}
