#pragma once
// The window of a recorder's remote media backup page, made by the session at its first login
// and kept for the session's life; the page comes bound to the recorder.
#include <QDialog>

#include "session/backuphosts.h"

class CCDBackup;
class CCDListBackup;
class RecorderSession;

class CModuleBackupRemoteCD : public QDialog, public RemoteCDBackupHost
{
    Q_OBJECT
public:
    CModuleBackupRemoteCD(RecorderSession& device, bool listBackup, QWidget* parent = nullptr);
    ~CModuleBackupRemoteCD() override;

    void ShowWindow(const QString& title) override;
    // Exactly one of the two pages exists: the list page for recorders that write lists.
    CCDBackup* Page() const { return m_page; }
    CCDListBackup* ListPage() const { return m_listPage; }
    bool IsListBackup() const { return m_listBackup; }

private:
    CCDBackup* m_page = nullptr;
    CCDListBackup* m_listPage = nullptr;
    bool m_listBackup = false;
    int m_deviceIndex = -1;
};
