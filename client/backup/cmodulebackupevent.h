#pragma once
// The window of a recorder's event backup page, made by the session at its first login and
// kept for the session's life; it relays the session's progress reports to the page.
#include <QDialog>

#include "session/backuphosts.h"

class CEventBackup;
class RecorderSession;

class CModuleBackupEvent : public QDialog, public EventBackupHost
{
    Q_OBJECT
public:
    CModuleBackupEvent(RecorderSession& device, QWidget* parent = nullptr);
    ~CModuleBackupEvent() override;

    bool IsBackupTime(int channel, int time, int weekDay) const override;
    bool IsRunning() const override;
    bool NeedsLive(int channel) const override;
    void StopBackup() override;
    void ShowWindow(const QString& title) override;
    CEventBackup* Page() const { return m_page; }

public slots:
    void OnEventResult(int channel, int date, int time, int weekDay, qlonglong size);
    void OnEventWriteFailed(int channel, int time, int weekDay, const QString& file, const QString& reason,
                            bool diskFull);

private:
    CEventBackup* m_page = nullptr;
};
