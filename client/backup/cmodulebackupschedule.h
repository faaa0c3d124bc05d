#pragma once
// The window of a recorder's schedule backup page, made by the session at its first login and
// kept for the session's life; every playback frame of the session's live connection reaches
// the page through it.
#include <QDialog>

#include "session/backuphosts.h"

class RecorderSession;
class CScheduleBackup;

class CModuleBackupSchedule : public QDialog, public ScheduleBackupHost
{
    Q_OBJECT
public:
    CModuleBackupSchedule(RecorderSession& device, QWidget* parent = nullptr);
    ~CModuleBackupSchedule() override;

    void OnRecvPlaybackVideo(int channel, int size, int kind, int date, int time, int requestNumber, bool key,
                             char frameType, char sequence) override;
    void OnConnectionLost() override;
    void ShowWindow(const QString& title) override;
    CScheduleBackup* Page() const { return m_page; }

private:
    CScheduleBackup* m_page = nullptr;
};
